#include "exchange/dumps/Unit29.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/LimitedEdit.h"
#include "app/common/Widgets.h"
#include "db/error.h"
#include "exchange/dumps/TableDump.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm29 *Form29 = nullptr;

VORIK_MENU_COMMAND(Adatexport1, TForm29, Form29)

TForm29::TForm29(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form29"));
  setWindowTitle(QStringLiteral("Adat export"));
  setModal(true);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Widgets::makeLabel(this, "Label1", QStringLiteral("Exportálásra kerülö adatok:")));
  QCheckBox **boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6};
  const char *captions[] = {"Átvevö", "Östermelö", "Sorszám", "Termék", "QzFej", "QzSor"};
  for (int i = 0; i < 6; ++i) {
    auto *b = new QCheckBox(QString::fromUtf8(captions[i]), this);
    b->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
    b->setChecked(true);
    layout->addWidget(b);
    *boxes[i] = b;
  }
  layout->addWidget(Widgets::makeLabel(this, "Label2", QStringLiteral("Hová:")));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setText(QStringLiteral("c:\\"));
  Edit1->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
  layout->addWidget(Edit1);
  Button1 = MakeListButton(this, "Button1", "Export", &TForm29::Button1Click);
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Bezárás"));
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addStretch(1);
  layout->addLayout(buttons);
  FieldKeys::installEnterNavigation(this);
}

TForm29::~TForm29() = default;

void TForm29::Button1Click() {
  const QCheckBox *boxes[] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6};
  const auto &tables = tabledump::tables();
  for (size_t i = 0; i < tables.size(); ++i) {
    if (!boxes[i]->isChecked()) continue;
    const QString path = Edit1->text() + QLatin1String(tables[i].file);
    try {
      tabledump::dumpTable(*Data->ZQ60, tables[i], path);
    } catch (const tabledump::DumpError &e) {
      platform::error(e.message());
      return;
    } catch (const db::Error &e) {
      // The database refused the statement: this table's old file is gone
      // and no new one was made.
      platform::error(e.message());
      return;
    }
  }
  platform::confirmYes(QStringLiteral("Exportálás vége. "));
  accept();
}

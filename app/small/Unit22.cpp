#include "app/small/Unit22.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "app/small/PasswordDlg.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "platform/dialogs.h"

TForm22 *Form22 = nullptr;
QString AdatbazisKod;

VORIK_MENU_COMMAND(Adatbzis1, TForm22, Form22)

namespace {

db::Table *table(int i) {
  db::Table *const tables[] = {Data->IBTable1, Data->IBTable2, Data->IBTable3,
                               Data->IBTable4, Data->IBTable5, Data->IBTable6};
  return tables[i];
}

db::DataSource *source(int i) {
  db::DataSource *const sources[] = {Data->DS1, Data->DS2, Data->DS3, Data->DS4, Data->DS5, Data->DS6};
  return sources[i];
}

// Closes, sets the read-only flag and opens the first count tables.
void reopen(int count, bool readOnly) {
  for (int i = 0; i < count; ++i) {
    table(i)->close();
    table(i)->setReadOnly(readOnly);
    table(i)->open();
  }
}

}  // namespace

TForm22::TForm22(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form22"));
  setWindowTitle(QStringLiteral("Adatbázis"));
  setModal(true);
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  const char *tabs[] = {"QzFej", "QzSor", "Ostermelo", "Termek", "Sorszam", "Atvevo"};
  for (int i = 0; i < 6; ++i) {
    // The tables are opened by the start-up; one a commit has closed since is opened again.
    if (!table(i)->active()) RunGuarded([i] { table(i)->open(); });
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    DBGrid[i] = new QTableView(page);
    DBGrid[i]->setObjectName(QStringLiteral("DBGrid%1").arg(i + 1));
    auto *model = new db::DataSetModel(DBGrid[i]);
    model->setDataSource(source(i));
    DBGrid[i]->setModel(model);
    model->bindSelection(DBGrid[i]->selectionModel());
    connect(model, &db::DataSetModel::editFailed, this,
            [](const QString &message) { platform::error(message); });
    Navigator[i] = MakeNavigator(page, table(i), QStringLiteral("DBNavigator%1").arg(i + 1));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DBGrid[i]);
    layout->addWidget(Navigator[i]);
    PageControl1->addTab(page, QLatin1String(tabs[i]));
  }
  DBGrid[5]->setVisible(false);
  Navigator[5]->setVisible(false);

  Button6 = Widgets::makeButton(this, "Button6", QStringLiteral("Szerkeszt"));
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Mégsem"));
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button6);
  buttons->addWidget(Button1);
  auto *top = new QVBoxLayout(this);
  top->addWidget(PageControl1, 1);
  top->addLayout(buttons);
  resize(900, 500);
  connect(Button6, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button6Click(); }); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  Button6->installEventFilter(this);
  Button1->installEventFilter(this);
}

TForm22::~TForm22() = default;

bool TForm22::writable(int i) const { return !table(i)->readOnly(); }

void TForm22::unlock(int tables) {
  reopen(tables, false);
  if (tables == 6) {
    DBGrid[5]->setVisible(true);
    Navigator[5]->setVisible(true);
  }
}

void TForm22::Button6Click() {
  if (!PasswordDlgCreated) {
    PasswordDlgCreated = true;
    std::unique_ptr<TPasswordDlg> dialog(new TPasswordDlg(nullptr));
    PasswordDlg = dialog.get();
    dialog->exec();
    AdatbazisKod = dialog->Password->text();  // whichever button closed it
    PasswordDlg = nullptr;
  }
  if (AdatbazisKod == QLatin1String(kCode5)) {
    AdatbazisKod.clear();
    unlock(5);
  } else if (AdatbazisKod == QLatin1String(kCode6)) {
    AdatbazisKod.clear();
    unlock(6);
  }
}

void TForm22::done(int result) {
  AdatbazisKod.clear();
  RunGuarded([] { reopen(5, true); });  // ATVEVO keeps its state
  QDialog::done(result);
}

bool TForm22::eventFilter(QObject *watched, QEvent *event) {
  if ((watched == Button6 || watched == Button1) && event->type() == QEvent::KeyPress) {
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() == Qt::Key_A + (kServiceKey - 'A') &&
        !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      RunGuarded([this] { unlock(5); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

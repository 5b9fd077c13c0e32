#include "exchange/inventory/Unit41.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "db/datasetmodel.h"
#include "exchange/inventory/InventoryXml.h"
#include "platform/dialogs.h"
#include "platform/process_lock.h"
#include "platform/win_path.h"

#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TForm41 *Form41 = nullptr;

VORIK_MENU_COMMAND(Adattadskszlethez1, TForm41, Form41)

const QString kInventoryTarget = QStringLiteral("C:\\keszlet2025\\vorik_keszlethez.xml");

namespace {

const QString kFileName = QStringLiteral("vorik_keszlethez.xml");

}  // namespace

TForm41::TForm41(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form41"));
  setWindowTitle(QStringLiteral("Adatátadás a készlethez"));
  setModal(true);

  DateTimePicker1 = Widgets::makeDatePicker(this, "DateTimePicker1");
  DateTimePicker2 = Widgets::makeDatePicker(this, "DateTimePicker2");
  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DS21);
  DBGrid1 = MakeListGrid(this, model_);
  Label1 = Widgets::makeLabel(this, "Label1", QStringLiteral("Adatátadás helye :"));
  Label2 = Widgets::makeLabel(this, "Label2", QStringLiteral("( Könytárnak létezni kell )"));
  Label3 = Widgets::makeLabel(this, "Label3", QStringLiteral("Kigyüjtés ismételhetö. Az előző felülírásra kerül."));
  Label4 = Widgets::makeLabel(this, "Label4", QStringLiteral("Felvásárlási dátum :"));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setText(kInventoryTarget);
  Edit1->setToolTip(QStringLiteral("A könyvelö programban ezt a  utvonalat kell beállítani."));
  Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(kInventoryTarget) + 40);
  Button4 = MakeListButton(this, "Button4", "Kigyüjtés", &TForm41::Button4Click);
  Button2 = MakeListButton(this, "Button2", "Adatátadás", &TForm41::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TForm41::Button3Click);
  Button2->setEnabled(false);

  auto *dates = new QHBoxLayout;
  dates->addWidget(Label4);
  dates->addWidget(DateTimePicker1);
  dates->addWidget(Widgets::makeLabel(this, "Label5", QStringLiteral("-tól")));
  dates->addSpacing(12);
  dates->addWidget(DateTimePicker2);
  dates->addWidget(Widgets::makeLabel(this, "Label6", QStringLiteral("-ig")));
  dates->addStretch(1);
  auto *target = new QHBoxLayout;
  target->addWidget(Label1);
  target->addWidget(Edit1, 1);
  target->addWidget(Label2);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Label3);
  buttons->addStretch(1);
  for (QPushButton *b : {Button4, Button2, Button3}) buttons->addWidget(b);
  auto *top = new QVBoxLayout(this);
  top->addLayout(dates);
  top->addWidget(DBGrid1, 1);
  top->addLayout(target);
  top->addLayout(buttons);
  resize(std::max(760, sizeHint().width()), 480);
}

TForm41::~TForm41() = default;

void TForm41::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm41::FormShow() {
  DateTimePicker1->setDate(QDate::currentDate());
  DateTimePicker2->setDate(QDate::currentDate());
}

void TForm41::Button4Click() {
  // A save that fails leaves "Adatátadás" off until the next one succeeds.
  Button2->setEnabled(false);
  // The file in the working folder is one instance's from its collection to
  // its hand-over (the dialog closing).
  if (!hold_) {
    auto taken = platform::ProcessLock::take(
        QDir::currentPath(), QStringLiteral("keszlet"),
        QStringLiteral("Az adatátadás a készlethez egy másik programablakban folyik. Kérem próbálja újra, ha "
                       "ott az adatátadás ablaka bezárult."));
    if (!taken) {
      platform::showMessage(taken.reason());
      return;
    }
    hold_ = *std::move(taken);
  }
  db::Query *q = Data->ZQ21;
  q->setSql(inventory::SelectionSql());
  q->paramByName(QStringLiteral("p1")).setDate(DateTimePicker1->date());
  q->paramByName(QStringLiteral("p2")).setDate(DateTimePicker2->date());
  q->paramByName(QStringLiteral("p3")).setString(AtvevoKod);
  q->open();
  try {
    const QDomDocument doc = inventory::BuildDocument(*q);
    q->first();
    inventory::WriteFileWhole(QDir::current().filePath(kFileName), doc.toByteArray(1));
  } catch (const inventory::WriteError &e) {
    platform::error(QStringLiteral("Hiba! A(z) %1 mentése nem sikerült.\r").arg(kFileName) + e.reason());
    return;
  }
  Button2->setEnabled(true);
}

void TForm41::Button2Click() {
  try {
    inventory::CopyFileOver(QDir::current().filePath(kFileName), platform::mapWindowsPath(Edit1->text()));
  } catch (const inventory::WriteError &e) {
    platform::error(QStringLiteral("Hiba! Az adatátadás nem történt meg.\r") + e.reason());
    return;
  }
  platform::showMessage(QStringLiteral("Átmásolva. Adatátadás végrehajtva."));
  accept();
}

void TForm41::Button3Click() { reject(); }

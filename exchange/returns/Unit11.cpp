#include "exchange/returns/Unit11.h"

#include "app/MenuCommands.h"
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/LimitedEdit.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "app/options/IniOptions.h"
#include "db/datasetmodel.h"
#include "exchange/returns/Gather08M.h"
#include "platform/conv.h"
#include "platform/dialogs.h"
#include "report/expr/FR_Intrp.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TForm11 *Form11 = nullptr;

VORIK_MENU_COMMAND(N0808Mhozexport1, TForm11, Form11)

namespace {

QLabel *Bold(QLabel *l) {
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

}  // namespace

TForm11::TForm11(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form11"));
  setWindowTitle(QStringLiteral("NAV 2308M adat importnak a létrehozása"));
  setModal(true);

  using Widgets::makeLabel;
  DateTimePicker1 = Widgets::makeDatePicker(this, "DateTimePicker1");
  DateTimePicker2 = Widgets::makeDatePicker(this, "DateTimePicker2");
  Button5 = MakeListButton(this, "Button5", "OK", &TForm11::Button5Click);
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setReadOnly(true);
  Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(QStringLiteral("C:\\QZ2025\\00\\")) + 24);
  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DSQ20);
  DBGrid1 = MakeListGrid(this, model_);
  DBNavigator1 = MakeNavigator(this, Data->ZQ20);
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TForm11::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Nyomtatás", &TForm11::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TForm11::Button3Click);
  Button1->setEnabled(false);
  Button2->setEnabled(false);

  auto *period = new QHBoxLayout;
  period->addWidget(makeLabel(this, "Label2", QStringLiteral("Bevallási idöszak: ")));
  period->addWidget(DateTimePicker1);
  period->addWidget(makeLabel(this, "Label3", QStringLiteral("-tól")));
  period->addSpacing(12);
  period->addWidget(DateTimePicker2);
  period->addWidget(makeLabel(this, "Label4", QStringLiteral("-ig")));
  period->addSpacing(12);
  period->addWidget(Button5);
  period->addStretch(1);

  auto *folder = new QHBoxLayout;
  folder->addWidget(makeLabel(this, "Label7", QStringLiteral("Ide kerülnek az adatok:")));
  folder->addWidget(Edit1);
  folder->addWidget(makeLabel(this, "Label8", QStringLiteral("( Könytárnak létezni kell )")));
  folder->addStretch(1);

  auto *names = new QGridLayout;
  names->addWidget(makeLabel(this, "Label13", QStringLiteral("Csoportos importhoz a név:  ")), 0, 0);
  names->addWidget(Bold(makeLabel(this, "Label14", QStringLiteral("pl.: 2508M_20250101_0131.bat"))), 0, 1, 1, 3);
  names->addWidget(makeLabel(this, "Label15", QStringLiteral("Egyedi  importhoz a  név:")), 1, 0);
  names->addWidget(Bold(makeLabel(this, "Label16", QStringLiteral("pl:  2508M_202508_8123456789.imp"))), 1, 1, 1, 3);
  names->addWidget(makeLabel(this, "Label17", QStringLiteral("Nyomtatvány")), 2, 1);
  names->addWidget(makeLabel(this, "Label18", QStringLiteral("Hónap")), 2, 2);
  names->addWidget(makeLabel(this, "Label19", QStringLiteral("Adóazonositója")), 2, 3);
  names->setColumnStretch(4, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(DBNavigator1);
  buttons->addStretch(1);
  for (QPushButton *b : {Button1, Button2, Button3}) buttons->addWidget(b);

  auto *top = new QVBoxLayout(this);
  top->addWidget(Bold(makeLabel(this, "Label1", QStringLiteral("Fizetési dátum szerint"))));
  top->addLayout(period);
  top->addWidget(makeLabel(this, "Label5", QStringLiteral("Kigyüjtés ismételhetö.")));
  top->addWidget(makeLabel(this, "Label6", QStringLiteral("Könyvtár:  C:\\QZ2025\\ + a hónap száma + \\     pl:   C:\\QZ2025\\01\\")));
  top->addLayout(folder);
  top->addWidget(Bold(makeLabel(this, "Label9", QStringLiteral("NAV 2508M nyomtatványhoz  adatok kiexportálása. "))));
  top->addWidget(makeLabel(this, "Label10", QStringLiteral("Kifizetett összeg  a bevallás 401. sorba kerül beirásra.")));
  top->addWidget(
      makeLabel(this, "Label11", QStringLiteral(" Az adólevonás elmaradás oka (Bevallás 402.sor) = 1  (mert östermelö)")));
  top->addWidget(makeLabel(this, "Label12",
                           QStringLiteral("Csak dátumot figyel. (Ha nem volt nyomtatva akkor is bevallásba kerül)")));
  top->addLayout(names);
  top->addWidget(DBGrid1, 1);
  top->addLayout(buttons);

  connect(DateTimePicker1, &QDateEdit::dateChanged, this, &TForm11::DateTimePicker1Change);
  // A changed end date makes the checked period stale as well.
  connect(DateTimePicker2, &QDateEdit::dateChanged, this, &TForm11::DisableActions);
  DateTimePicker2->installEventFilter(this);
  FieldKeys::installEnterNavigation(this);

  resize(std::max(620, sizeHint().width()), 640);
  FormCreate();
}

TForm11::~TForm11() = default;

void TForm11::FormCreate() { ReadEdit15Visible(); }

void TForm11::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm11::FormShow() {
  Data->ZQ20->setSql(QStringLiteral("SELECT * FROM QZSOR WHERE s_bszam = :p1 "));
  Data->ZQ20->paramByName(QStringLiteral("p1")).setString(QStringLiteral(" "));
  Data->ZQ20->open();
  const QString year = platform::DateToStr(QDate::currentDate()).left(4);
  DateTimePicker1->setDate(platform::StrToDate(year + QStringLiteral(".01.01")));
  DateTimePicker2->setDate(platform::StrToDate(year + QStringLiteral(".12.31")));
}

bool TForm11::eventFilter(QObject *watched, QEvent *event) {
  if (watched == DateTimePicker2 && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    // Not when a box or the calendar takes the focus for a while.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      QMetaObject::invokeMethod(this, &TForm11::DateTimePicker2Exit, Qt::QueuedConnection);
  }
  return QDialog::eventFilter(watched, event);
}

void TForm11::DisableActions() {
  checked_ = false;
  Button1->setEnabled(false);
  Button2->setEnabled(false);
}

void TForm11::DateTimePicker1Change() { DisableActions(); }

void TForm11::DateTimePicker2Exit() {
  CheckPeriod(QStringLiteral("Hiba111! Csak egy hónap intervallum lehet."));
}

void TForm11::Button5Click() { CheckPeriod(QStringLiteral("Hiba112! Csak egy hónap intervallum lehet.")); }

void TForm11::CheckPeriod(const QString &message) {
  const returns::Period p{platform::DateToStr(DateTimePicker1->date()), platform::DateToStr(DateTimePicker2->date())};
  if (!returns::OneMonth(p)) {
    DisableActions();
    QApplication::beep();
    platform::showMessage(message);
    return;
  }
  // The same period again keeps a finished gather's print.
  if (!(checked_ && p.start == period_.start && p.end == period_.end)) Button2->setEnabled(false);
  period_ = p;
  checked_ = true;
  Edit1->setText(returns::MonthFolder(p.start));
  Button1->setEnabled(true);
}

void TForm11::Button1Click() {
  if (!checked_) return;
  Button2->setEnabled(false);
  try {
    osszesen_ = returns::Gather(period_, AtvevoKod, Edit15Option == QLatin1String("1")).receiverTotal;
  } catch (const returns::ReturnError &e) {
    platform::error(e.message());
    return;
  }
  Button2->setEnabled(true);
}

void TForm11::Button2Click() {
  if (!checked_) return;
  returns::OpenForPeriod(Data->ZQ20, returns::PrintSql(Edit15Option == QLatin1String("1")), period_, AtvevoKod);
  const QString total = returns::PrintedTotal(Data->ZQ20);
  if (!OpenReceiverRow()) return;
  ShowLayout(*Data->frNyomtat, QStringLiteral("QzLista3.frf"), QStringLiteral("08M bevallás őstermelőnként"), PrintOrientation::Portrait, [this, total] {
    report::frVariables->SetVariable(QStringLiteral("v_osszesen"), total);
    report::frVariables->SetVariable(QStringLiteral("v_tol"), period_.start);
    report::frVariables->SetVariable(QStringLiteral("v_ig"), period_.end);
  });
}

void TForm11::Button3Click() { reject(); }

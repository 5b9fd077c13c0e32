#include "app/tickets/Unit9.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

#include "app/common/Widgets.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "app/options/IniOptions.h"
#include "app/receivers/Checks.h"
#include "db/datasetmodel.h"
#include "db/dataset.h"
#include "db/datasource.h"
#include "db/error.h"
#include "db/transaction.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include "app/common/FieldKeys.h"
#include "app/common/Guarded.h"
#include "app/common/Navigator.h"
#include "app/producers/Unit4.h"
#include "app/tickets/NumberingHold.h"
#include "app/tickets/TicketModification.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit10.h"

TForm9 *Form9 = nullptr;

namespace {

using Widgets::makeEdit;
using Widgets::makeLabel;
using Widgets::makeButton;

// The producer list as a picker, opened on the ticket's producer
// (AktOstermeloKod); its current ZQ30 row is the choice.
bool pickFromProducerList(QWidget *) { return TForm4::Pick(); }

std::function<void()> &beforeSave() {
  static std::function<void()> hook;
  return hook;
}

TForm9::ProducerPicker &producerPicker() {
  static TForm9::ProducerPicker picker = pickFromProducerList;
  return picker;
}

// A total: read-only, wide for an amount with thousands separators.
LimitedEdit *makeReadOnly(QWidget *parent, const char *name) {
  LimitedEdit *e = makeEdit(parent, name);
  e->setAcceptedChars(QStringLiteral("0123456789-"));
  e->setWidthChars(14);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::ClickFocus);
  e->setAlignment(Qt::AlignRight);
  return e;
}

bool blank(const QLineEdit *e) { return checks::trimRight(e->text()).isEmpty(); }

// A whole number of forints as integer text ("1234", "-5").
QString integerText(long double v) {
  auto whole = TicketMath::wholeForints(v);
  return whole ? QString::number(*whole) : QString();
}

// With thousands separators and no decimals.
QString groupedText(long double v) {
  return platform::FormatFloat(QStringLiteral("#,##0"), TicketMath::roundHalfEven(v));
}

}  // namespace

void TForm9::setProducerPicker(ProducerPicker picker) {
  producerPicker() = picker ? std::move(picker) : ProducerPicker(pickFromProducerList);
}

bool TForm9::isNew() const { return JegyMod != kJegyModModositas; }

void TForm9::buildUi() {
  setObjectName(QStringLiteral("Form9"));
  setWindowTitle(QStringLiteral("Felvásárlási jegy bevitel"));
  setModal(true);

  Edit1 = makeEdit(this, "Edit1");
  Edit1->setAcceptedChars(QStringLiteral("0123456789"));  // a serial of 8 digits
  Edit1->setWidthChars(8);
  Edit1->setReadOnly(true);
  Edit1->setFocusPolicy(Qt::ClickFocus);
  Edit2 = makeEdit(this, "Edit2");
  Edit2->setVisible(false);
  Edit5 = makeEdit(this, "Edit5");
  Edit5->setVisible(false);
  Edit3 = makeEdit(this, "Edit3");
  FieldKeys::acceptOnly(Edit3, QStringLiteral("."));
  Edit10 = makeEdit(this, "Edit10");
  FieldKeys::acceptOnly(Edit10, QStringLiteral("."));
  Edit11 = makeEdit(this, "Edit11");
  FieldKeys::acceptOnly(Edit11, QStringLiteral("."));
  Edit11->setToolTip(QStringLiteral(
      "Dupla klikkre (átutalás esetén) östermelönél megadott banki nappal növelve ha nincs "
      "megadva akkor 8 nappal."));
  for (LimitedEdit *date : {Edit3, Edit10, Edit11}) date->setWidthChars(10);
  CheckBox1 = new QCheckBox(QStringLiteral("Átutalással"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setToolTip(
      QStringLiteral("Ha van bank szla száma akkor átutalással, de módosítható"));
  Edit6 = makeEdit(this, "Edit6");
  Edit6->setText(QStringLiteral("0"));
  FieldKeys::acceptOnly(Edit6);
  Edit14 = makeEdit(this, "Edit14");
  FieldKeys::acceptOnly(Edit14, QStringLiteral(","));
  Edit15 = makeEdit(this, "Edit15");
  FieldKeys::acceptOnly(Edit15, QStringLiteral(","));
  Edit13 = makeEdit(this, "Edit13");
  FieldKeys::acceptOnly(Edit13, QStringLiteral(","));
  // Rates in percent, the deduction in forints.
  Edit6->setWidthChars(4);
  for (LimitedEdit *rate : {Edit14, Edit15}) rate->setWidthChars(6);
  Edit13->setWidthChars(10);
  Edit4 = makeEdit(this, "Edit4", 200);
  CheckBox2 = new QCheckBox(QStringLiteral("Nyilatkozat:"), this);
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  CheckBox2->setChecked(true);
  Edit12 = makeEdit(this, "Edit12", 250);
  Edit12->setToolTip(QStringLiteral("A nyilatkozat szövegén itt változtathat"));
  Edit7 = makeReadOnly(this, "Edit7");
  Edit8 = makeReadOnly(this, "Edit8");
  Edit9 = makeReadOnly(this, "Edit9");
  Edit16 = makeReadOnly(this, "Edit16");
  Edit19 = makeReadOnly(this, "Edit19");
  Edit17 = makeReadOnly(this, "Edit17");
  Edit18 = makeReadOnly(this, "Edit18");
  Label14 = makeLabel(this, "Label14", QStringLiteral("Súlylevon.%"));
  Label15 = makeLabel(this, "Label15", QStringLiteral("Tagi h.járul.%"));
  Label13 = makeLabel(this, "Label13", QStringLiteral("Levonás (Ft)"));

  Button1 = makeButton(this, "Button1", QStringLiteral("Őstermelő"));
  Button2 = makeButton(this, "Button2", QStringLiteral("Új"));
  Button8 = makeButton(this, "Button8", QStringLiteral("Módosít"));
  Button9 = makeButton(this, "Button9", QStringLiteral("Töröl"));
  Button6 = makeButton(this, "Button6", QStringLiteral("OK"));
  Button4 = makeButton(this, "Button4", QStringLiteral("Mégsem"));

  // Header.
  auto *header = new QGridLayout;
  int r = 0;
  header->addWidget(makeLabel(this, "Label1", QStringLiteral("Sorszám")), r, 0);
  header->addWidget(Edit1, r, 1);
  header->addWidget(Button1, r, 2);
  ProducerLabel = makeLabel(this, "Label20", QString());
  header->addWidget(ProducerLabel, r, 3, 1, 3);
  ++r;
  header->addWidget(makeLabel(this, "Label3", QStringLiteral("Kiállítás ")), r, 0);
  header->addWidget(Edit3, r, 1);
  header->addWidget(makeLabel(this, "Label10", QStringLiteral("Felvásárlás")), r, 2);
  header->addWidget(Edit10, r, 3);
  header->addWidget(makeLabel(this, "Label11", QStringLiteral("Összeg átvétel/átutalás ")), r, 4);
  header->addWidget(Edit11, r, 5);
  ++r;
  header->addWidget(CheckBox1, r, 0);
  header->addWidget(makeLabel(this, "Label6", QStringLiteral("Szja %")), r, 2);
  header->addWidget(Edit6, r, 3);
  ++r;
  header->addWidget(Label14, r, 0);
  header->addWidget(Edit14, r, 1);
  header->addWidget(Label15, r, 2);
  header->addWidget(Edit15, r, 3);
  header->addWidget(Label13, r, 4);
  header->addWidget(Edit13, r, 5);
  ++r;
  header->addWidget(makeLabel(this, "Label4", QStringLiteral("Megjegyzés:")), r, 0);
  header->addWidget(Edit4, r, 1, 1, 5);
  ++r;
  header->addWidget(CheckBox2, r, 0);
  header->addWidget(Edit12, r, 1, 1, 5);

  // Lines and the producer's data.
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  auto *linesPage = new QWidget;
  linesPage->setObjectName(QStringLiteral("TabSheet1"));
  DBGrid1 = new QTableView(linesPage);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto *lineSource = new db::DataSource(DBGrid1);
  lineSource->setDataSet(Data->ZQ20);
  auto *lineModel = new db::DataSetModel(DBGrid1);
  lineModel->setDataSource(lineSource);
  lineModel->setColumns({{QStringLiteral("S_BSZAM"), QStringLiteral("Bizonylatszám")},
                         {QStringLiteral("S_TERMEKKOD"), QStringLiteral("Kód")},
                         {QStringLiteral("S_MEGNEVEZES"), QStringLiteral("Megnevezés")},
                         {QStringLiteral("S_BRUTTO"), QStringLiteral("Mennyiség")},
                         {QStringLiteral("S_MEGY"), QStringLiteral("M.egys.")},
                         {QStringLiteral("S_EAR"), QStringLiteral("Egységár")},
                         {QStringLiteral("S_FELVAR"), QStringLiteral("Felvásár. ár")},
                         {QStringLiteral("S_KOMPMERTEKE"), QStringLiteral("Komp. %")},
                         {QStringLiteral("S_KOMPFELAR"), QStringLiteral("Komp.felár")},
                         {QStringLiteral("S_VETELAR"), QStringLiteral("Vételár")},
                         {QStringLiteral("S_SZJA"), QStringLiteral("Szja %")},
                         {QStringLiteral("S_VTSZ"), QStringLiteral("VTSZ")},
                         {QStringLiteral("S_AKOD"), QStringLiteral("Átvevő")},
                         {QStringLiteral("ID_QZSOR"), QStringLiteral("ID")}});
  DBGrid1->setModel(lineModel);
  lineModel->bindSelection(DBGrid1->selectionModel());
  auto *lineButtons = new QHBoxLayout;
  lineButtons->addWidget(MakeNavigator(linesPage, Data->ZQ20));
  lineButtons->addWidget(Button2);
  lineButtons->addWidget(Button8);
  lineButtons->addWidget(Button9);
  lineButtons->addStretch();
  auto *linesLayout = new QVBoxLayout(linesPage);
  linesLayout->addWidget(DBGrid1);
  linesLayout->addLayout(lineButtons);
  PageControl1->addTab(linesPage, QStringLiteral("Tételsor"));
  auto *producerPage = new QWidget;
  producerPage->setObjectName(QStringLiteral("TabSheet2"));
  auto *producerForm = new QFormLayout(producerPage);
  const std::pair<const char *, const char *> producerFields[] = {
      {"Név:", "O_NEV"},           {"Kód:", "O_KOD"},          {"Irányítószám:", "O_IRSZAM"},
      {"Helység:", "O_HELYSEGNEV"}, {"Utca:", "O_UTCA"},        {"Adóazonosító:", "O_ADOAZON"},
      {"Adószám:", "O_ADOSZAM"},    {"Bankszámla:", "O_BANKSZLA"}, {"FELIR:", "O_FELIR"},
      {"OCSG:", "O_CSGAZD1"},       {"NÉBIH:", "O_IGSZAM1"},    {"Fizetési határidő:", "O_FHAT"}};
  for (const auto &[label, field] : producerFields) {
    auto *value = makeLabel(producerPage, field, QString());
    producerForm->addRow(QString::fromUtf8(label), value);
  }
  PageControl1->addTab(producerPage, QStringLiteral("őstermelő"));

  // Totals.
  auto *totals = new QGridLayout;
  totals->addWidget(makeLabel(this, "Label7", QStringLiteral("Felvásárlási ár")), 0, 1);
  totals->addWidget(makeLabel(this, "Label8", QStringLiteral("Komp.felár")), 0, 2);
  totals->addWidget(makeLabel(this, "Label9", QStringLiteral("Vételár")), 0, 3);
  totals->addWidget(makeLabel(this, "Label16", QStringLiteral("Fizetendö")), 0, 4);
  totals->addWidget(Edit7, 1, 1);
  totals->addWidget(Edit8, 1, 2);
  totals->addWidget(Edit9, 1, 3);
  totals->addWidget(Edit16, 1, 4);
  totals->addWidget(makeLabel(this, "Label19", QStringLiteral("Eddig mindösszesen: ")), 2, 0);
  totals->addWidget(Edit19, 2, 1);
  totals->addWidget(Edit17, 2, 2);
  totals->addWidget(Edit18, 2, 3);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button6);
  buttons->addWidget(Button4);

  auto *top = new QVBoxLayout(this);
  top->addLayout(header);
  top->addWidget(PageControl1, 1);
  top->addLayout(totals);
  top->addLayout(buttons);

  QWidget *order[] = {Button1, Edit3,  Edit10, Edit11, CheckBox1, Edit6, Edit14, Edit15, Edit13,
                      Edit4,   CheckBox2, Edit12, DBGrid1, Button2, Button8, Button9, Button6,
                      Button4};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { pickProducer(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { newLine(); }); });
  connect(Button8, &QPushButton::clicked, this, [this] { RunGuarded([this] { modifyLine(); }); });
  connect(Button9, &QPushButton::clicked, this, [this] { RunGuarded([this] { deleteLine(); }); });
  connect(Button6, &QPushButton::clicked, this, [this] { RunGuarded([this] { accept(); }); });
  connect(Button4, &QPushButton::clicked, this, &TForm9::reject);
  connect(CheckBox2, &QCheckBox::clicked, this, [this] { RunGuarded([this] { declarationClicked(); }); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] {
    RunGuarded([this] {
      transferChanged();
      recalc();
    });
  });
  // The rates and the deduction recompute the totals as they are edited.
  for (QLineEdit *e : {Edit6, Edit13, Edit15})
    connect(e, &QLineEdit::textEdited, this, [this] { recalc(); });
  Edit11->installEventFilter(this);
  CheckBox1->installEventFilter(this);
  FieldKeys::installEnterNavigation(this);
  FieldKeys::ignoreEscape(this);
}

TForm9::TForm9(QWidget *parent) : QDialog(parent) {
  buildUi();
  ReadForm9Options();  // FormCreate
}

TForm9::~TForm9() = default;

void TForm9::done(int result) {
  // A new ticket closed without its save takes its lines with it, while its
  // numbering is still held: no other entry can have taken the serial, and
  // the statement deletes only lines whose serial has no header.
  if (hold_ && hold_->held() && result != Accepted)
    RunGuarded([this] {
      TicketQueries::deleteOrphanLines(Edit1->text(),
                                       QStringLiteral("Hiba91: Qzsor DELETE törlése mert nem volt fejrésze "));
    });
  // The numbering goes with the dialog (after a save the commit ended it).
  hold_.reset();
  // A modification's changed lines are committed with the header: closed
  // without OK, with the totals of the lines, so that the stored payable and
  // price total never keep the old lines' values (the returns would disagree
  // with the printed ticket).
  if (modification_ && linesChanged_ && result != Accepted && !modification_->refused()) {
    linesChanged_ = false;
    RunGuarded([this] { storeTotalsOnClose(); });
  }
  modification_.reset();  // what was not committed is undone
  QDialog::done(result);
}

void TForm9::storeTotalsOnClose() {
  const qint64 headerId = Edit2->text().trimmed().toLongLong();
  Data->Write(modification_->transaction(), QStringLiteral("Hiba95: Módositás, UPDATE a Vorik fejben "),
              [&](WriteSteps &steps) {
                modification_->guard(steps, true);
                TicketQueries::storeHeaderTotals(modification_->transaction(), headerId);
              });
}

bool TForm9::closeIfRefused() {
  if (!modification_ || !modification_->refused()) return false;
  reject();
  return true;
}

// ---------------------------------------------------------------------------
// Start

void TForm9::applyOptions() {
  struct Optional {
    const QString &option;
    const QString &defaultText;
    LimitedEdit *field;
    QLabel *label;
  };
  const Optional fields[] = {{Edit14Option, Edit14Default, Edit14, Label14},
                             {Edit15Option, Edit15Default, Edit15, Label15},
                             {Edit13Option, Edit13Default, Edit13, Label13}};
  for (const Optional &o : fields) {
    if (o.option == QLatin1String("1")) {
      o.field->setVisible(true);
      o.label->setVisible(true);
      // The default passes the field's checks as a typed value would.
      if (isNew()) FieldKeys::setNumberDefault(o.field, o.defaultText);
    } else {
      o.field->setVisible(false);
      o.label->setVisible(false);
      o.field->setText(QStringLiteral("0"));
    }
  }
}

bool TForm9::StartNew() {
  if (started_) return ready_;
  started_ = true;
  // The receiver's last serial plus one, read under the hold on its
  // numbering, which lasts until the save or the close: no other entry or
  // cancelling, in this program or another one on the same database, can take
  // the same serial meanwhile. A serial that already has a header is skipped,
  // so a new ticket never takes over a saved one.
  QString serial;
  hold_ = TicketQueries::holdNumbering(AtvevoKod, &serial);
  if (!hold_) {
    ready_ = false;
    return false;
  }
  Edit1->setText(serial);
  // Lines an abandoned entry committed under this serial; a failure is
  // reported and the start goes on.
  TicketQueries::deleteOrphanLines(serial,
                                   QStringLiteral("Hiba91: Qzsor DELETE törlése mert nem volt fejrésze "));
  return true;
}

void TForm9::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm9::FormShow() {
  applyOptions();
  if (isNew()) {
    if (!StartNew()) {
      QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
      return;
    }
    TicketQueries::openLines(Edit1->text());
    const QString today = platform::DateToStr(QDate::currentDate());
    Edit3->setText(today);
    Edit10->setText(today);
    Edit11->setText(today);
    Edit5->clear();
    TicketQueries::openProducer(QString());
    AktOstermeloKod.clear();
    showProducer();
    Edit12->setText(AtvevoNyilatk);
    f_mindosszes();
  } else {
    recalc();  // a hidden field of a loaded ticket now counts as 0
  }
  Button1->setFocus();
}

void TForm9::LoadTicket() {
  db::Query &t = *Data->ZQ10;
  auto text = [&](const char *name) { return t.fieldByName(QLatin1String(name)).asString(); };
  auto date = [&](const char *name) {
    db::Field &f = t.fieldByName(QLatin1String(name));
    return f.isNull() ? QString() : platform::DateToStr(f.asDate());
  };
  Edit2->setText(text("ID_QZFEJ"));
  // From here on the lines are read in the modification's transaction.
  modification_.reset();
  modification_ = std::make_unique<TicketModification>(Edit2->text().trimmed().toLongLong());
  Edit1->setText(text("F_BSZAM"));
  Edit5->setText(text("F_OSTERMKOD"));
  Edit3->setText(date("F_KELT"));
  Edit10->setText(date("F_FELVKELT"));
  Edit11->setText(date("F_FIZKELT"));
  Edit6->setText(text("F_SZJA"));
  Edit13->setText(text("F_LEVONAS"));
  Edit15->setText(text("F_JARULSZAZ"));
  Edit4->setText(text("F_MEGJ"));
  const QString declaration = text("F_NYILATK");
  Edit12->setText(declaration);
  CheckBox1->setChecked(text("F_UTAL") == QLatin1String("x"));
  CheckBox2->setChecked(declaration.size() >= 6);
  UtolsoBszam = Edit1->text();
  TicketQueries::openLines(Edit1->text());
  db::Query &lines = *Data->ZQ20;
  if (!lines.isEmpty()) {
    lines.first();
    Edit14->setText(lines.fieldByName(QStringLiteral("S_LEVONSZAZ")).asString());
  }
  AktOstermeloKod = Edit5->text();
  TicketQueries::openProducer(Edit5->text());
  showProducer();
  setWindowTitle(JegyMod);
  f_mindosszes();
}

// ---------------------------------------------------------------------------
// Totals

void TForm9::readSums() {
  sums_ = TicketQueries::readLineSums(Edit1->text());
  producerTotals_ = TicketQueries::readProducerTotals(Edit5->text());
}

std::optional<TicketMath::Amounts> TForm9::computeAmounts(QLineEdit **badField,
                                                           QString *message) {
  TicketMath::Rates rates;
  const std::pair<QLineEdit *, long double *> inputs[] = {
      {Edit6, &rates.taxRate}, {Edit15, &rates.contributionRate}, {Edit13, &rates.deduction}};
  for (const auto &[field, target] : inputs) {
    try {
      *target = platform::StrToFloat(field->text());
    } catch (const platform::ConvertError &e) {
      if (badField) *badField = field;
      if (message) *message = e.message();
      return std::nullopt;
    }
  }
  const auto mode =
      CheckBox1->isChecked() ? TicketMath::PaymentMode::Transfer : TicketMath::PaymentMode::Cash;
  auto amounts = TicketMath::computeAmounts(sums_, rates, mode, JegyVariant);
  if (!amounts) {
    if (badField) *badField = Edit6;
    if (message) *message = QStringLiteral("A fizetendő összeg nem tárolható!");
  }
  return amounts;
}

bool TForm9::f_mindosszes() {
  readSums();
  return recalc();
}

bool TForm9::recalc() {
  // A rate or deduction that is no number leaves the totals as they were;
  // the save reports it.
  auto amounts = computeAmounts();
  if (!amounts) return false;
  Edit7->setText(integerText(sums_.far));
  Edit8->setText(integerText(sums_.kfelar));
  Edit9->setText(groupedText(sums_.var));
  JegyVetelar = static_cast<double>(amounts->price);
  JegySzja = static_cast<double>(amounts->tax);
  JegyJarul = static_cast<double>(amounts->contribution);
  JegyLevonas = static_cast<double>(amounts->deduction);
  FizetendoSzoveg = QString::number(amounts->payable);
  Edit16->setText(FizetendoSzoveg);
  Edit19->setText(groupedText(producerTotals_.far));
  Edit17->setText(groupedText(producerTotals_.kfelar));
  Edit18->setText(groupedText(producerTotals_.var));
  return true;
}

void TForm9::frissit() {
  TicketQueries::openProducer(Edit5->text());
  showProducer();
  // Only a save changes the list of headers; it is read again when a commit
  // or rollback closed it (it can hold a hundred thousand tickets).
  if (!Data->ZQ10->active())
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
  TicketQueries::openLines(Edit1->text());
}

void TForm9::showProducer() {
  db::Query &p = *Data->ZQ31;
  const bool has = p.active() && !p.isEmpty();
  ProducerLabel->setText(has ? p.fieldByName(QStringLiteral("O_NEV")).asString() : QString());
  for (QLabel *value : findChildren<QLabel *>()) {
    const QString name = value->objectName();
    if (!name.startsWith(QLatin1String("O_"))) continue;
    db::Field *f = has ? p.findField(name) : nullptr;
    value->setText(f ? f->asString() : QString());
  }
}

// ---------------------------------------------------------------------------
// Producer, declaration, payment date

void TForm9::pickProducer() {
  AktOstermeloKod = Edit5->text();
  if (!producerPicker()(this)) return;  // cancelled: nothing changes
  db::Query &p = *Data->ZQ30;
  Edit6->setText(p.fieldByName(QStringLiteral("O_SZJA")).asString());
  Edit5->setText(p.fieldByName(QStringLiteral("O_KOD")).asString());
  CheckBox1->setChecked(
      checks::trimText(p.fieldByName(QStringLiteral("O_BANKSZLA")).asString()).size() >= 8);
  frissit();
  if (CheckBox1->isChecked()) setTransferPaymentDate();
  f_mindosszes();
}

void TForm9::declarationClicked() {
  Edit12->setText(CheckBox2->isChecked() ? AtvevoNyilatk : QStringLiteral(" "));
}

std::optional<int> TForm9::producerTerm() const {
  db::Query &p = *Data->ZQ31;
  if (!p.active() || p.isEmpty()) return std::nullopt;
  db::Field &f = p.fieldByName(QStringLiteral("O_FHAT"));
  if (f.isNull()) return std::nullopt;
  return static_cast<int>(f.asInteger());
}

void TForm9::setTransferPaymentDate() {
  QDate purchase;
  try {
    purchase = platform::StrToDate(Edit10->text());
  } catch (const platform::ConvertError &e) {
    platform::error(e.message());  // the payment date stays as it was
    return;
  }
  const QDate due =
      TicketMath::paymentDate(purchase, TicketMath::PaymentMode::Transfer, producerTerm());
  Edit11->setText(platform::DateToStr(due));
}

void TForm9::transferChanged() {
  if (CheckBox1->isChecked())
    setTransferPaymentDate();
  else
    Edit11->setText(Edit10->text());
}

bool TForm9::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Edit11 && event->type() == QEvent::MouseButtonDblClick) {
    if (CheckBox1->isChecked()) RunGuarded([this] { setTransferPaymentDate(); });
    return true;
  }
  if (watched == CheckBox1 && event->type() == QEvent::FocusOut) {
    // Leaving the box for another control of the dialog; not the dialog
    // losing the focus to another window (a message box, a picker).
    const auto reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      RunGuarded([this] { transferChanged(); });
  }
  return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Lines

void TForm9::runLineDialog(bool modify) {
  TForm10::Ticket ticket{Edit1->text(), Edit14->text(), Edit5->text(), modification_.get()};
  std::unique_ptr<TForm10> dialog(new TForm10(ticket, nullptr));
  Form10 = dialog.get();
  if (modify) dialog->LoadLine();
  // The totals and the line list follow as the line dialog closes, before
  // anything else can run on the entry.
  connect(dialog.get(), &QDialog::finished, this, [this](int result) {
    if (result == Accepted) linesChanged_ = true;  // the line dialog's OK wrote its line
    f_mindosszes();
    frissit();
  });
  dialog->exec();
  Form10 = nullptr;
  closeIfRefused();
}

bool TForm9::weightDeductionReady() {
  // Every line is written with it: a text that is no number is refused here,
  // before a line is typed.
  const QString problem = TForm10::WeightDeductionProblem(Edit14->text());
  if (problem.isEmpty()) return true;
  platform::showMessage(problem);
  Edit14->setFocus();
  return false;
}

void TForm9::newLine() {
  if (!weightDeductionReady()) return;
  TetelMod = kTetelModUj;
  runLineDialog(false);
}

void TForm9::modifyLine() {
  if (!weightDeductionReady()) return;
  TetelMod = kJegyModModositas;
  runLineDialog(true);
}

void TForm9::deleteLine() {
  db::Query &lines = *Data->ZQ20;
  if (!lines.active() || lines.isEmpty()) return;  // no current line: nothing to delete
  const qint64 id = lines.fieldByName(QStringLiteral("ID_QZSOR")).asInteger();
  const QString message = QStringLiteral("Hiba92: Felvásárlási jegy tételsor DELETE törlésekor");
  auto statements = [&](WriteSteps &steps) {
    if (modification_) modification_->guard(steps, false);
    db::Query &q = *Data->ZQ21;
    TicketQueries::setSql(q, {QStringLiteral("DELETE FROM Qzsor WHERE ID_qzsor = :p1")});
    q.paramByName(QStringLiteral("p1")).setInteger(id);
    if (modification_) modification_->execute(steps, q);
    else q.execute();
  };
  // In a modification the deletion is committed with the header; otherwise
  // made durable at once, so no later rollback brings the line back.
  const bool deleted =
      modification_ ? Data->Write(modification_->transaction(), message, statements, false)
                    : Data->Write(message, statements, TData::CommitMode::CommitRetaining);
  if (closeIfRefused()) return;
  if (deleted) {
    if (modification_) modification_->lineDeleted(id);
    linesChanged_ = true;
    platform::showMessage(QStringLiteral("Az tételsor törölve!"));
  }
  TicketQueries::openLines(Edit1->text());
  if (!lines.isEmpty()) lines.last();
  f_mindosszes();
}

// ---------------------------------------------------------------------------
// Saving

bool TForm9::checksPass() {
  auto fail = [](const char *message, QWidget *focus) {
    platform::showMessage(QString::fromUtf8(message));
    focus->setFocus();
    return false;
  };
  if (blank(Edit3)) return fail("Nincs megadva a kiállítás dátuma!", Edit3);
  if (blank(Edit10)) return fail("Nincs megadva a felvásárlás dátuma!", Edit10);
  if (blank(Edit11)) return fail("Nincs megadva a átvétel dátum!", Edit11);
  if (blank(Edit6)) return fail("Nincs megadva az szja!", Edit6);
  if (blank(Edit5)) return fail("Nincs kiválasztva őstermelő!", Button1);
  if (blank(Edit13)) return fail("Nincs megadva vagy nem nulla a levonás!", Edit13);
  if (blank(Edit14)) return fail("Nincs megadva súlylevonás % -a vagy nem nulla!", Edit14);
  if (blank(Edit15)) return fail("Nincs megadva tagok hozzájárulása % -a vagy nem nulla!", Edit15);
  QDate issued, purchased, paid;
  if (!platform::TryStrToDate(Edit3->text(), issued))
    return fail("Hibás a kiállítás dátuma!", Edit3);
  if (!platform::TryStrToDate(Edit10->text(), purchased))
    return fail("Hibás a felvásárlás dátuma!", Edit10);
  if (!platform::TryStrToDate(Edit11->text(), paid))
    return fail("Hibás az átvétel/utalás dátuma!", Edit11);
  // Compared as dates: "2025.3.1" and "2025.03.01" are the same day.
  if (!CheckBox1->isChecked() && purchased != paid)
    return fail("Kp. fizetés: a felvásárlás és az összeg átvétel dátum nem azonos!", Edit11);

  db::Query &q = *Data->ZQ21;
  TicketQueries::setSql(q, {QStringLiteral("SELECT s_bszam, count(s_bszam) AS sdb FROM Qzsor "
                                           "WHERE s_Bszam = :p1 GROUP BY s_Bszam")});
  q.paramByName(QStringLiteral("p1")).setString(Edit1->text());
  q.open();
  if (q.isEmpty() || q.fieldByName(QStringLiteral("sdb")).asInteger() == 0)
    return fail("Nincs a felvásárlási jegynek tételsora!", Button1);

  TicketQueries::openProducer(Edit5->text());
  db::Query &p = *Data->ZQ31;
  auto field = [&](const char *name) {
    if (p.isEmpty()) return QString();
    db::Field *f = p.findField(QLatin1String(name));
    return f ? checks::trimText(f->asString()) : QString();
  };
  const QString felir = field("O_FELIR");
  const QString ocsg = field("O_CSGAZD1");
  const QString nebih = field("O_IGSZAM1");
  const char *problem = nullptr;
  if (felir.isEmpty() && ocsg.isEmpty() && nebih.isEmpty())
    problem = "FELIR, OCSG és NÉBIH egyik sem kitöltött!";
  else if (!felir.isEmpty() && felir.size() != 9)
    problem = "Nem 9 hosszú FELIR szám!";
  else if (!felir.isEmpty() && !checks::felirValid(felir))
    problem = "Hibás FELIR szám!";
  else if (!ocsg.isEmpty() && ocsg.size() != 13)
    problem = "Nem 13 hosszú OCSG szám!";
  else if (!ocsg.isEmpty() && !checks::ocsgValid(ocsg))
    problem = "Hibás OCSG szám!";
  if (problem) {
    AktOstermeloKod = Edit5->text();  // the producer list opens on the producer to fix
    return fail(problem, Button1);
  }
  return true;
}

void TForm9::accept() {
  if (!checksPass()) return;
  // The stored payable and price total are recomputed from the fields and
  // the lines as the save reads them; a rate that is no number, or a
  // payable that cannot be stored, stops the save here.
  readSums();
  QLineEdit *bad = nullptr;
  QString message;
  auto amounts = computeAmounts(&bad, &message);
  if (!amounts) {
    platform::error(message);
    if (bad) bad->setFocus();
    return;
  }
  recalc();
  if (beforeSave()) beforeSave()();
  if (save()) QDialog::accept();
  else closeIfRefused();
}

void TForm9::setBeforeSave(std::function<void()> hook) { beforeSave() = std::move(hook); }

bool TForm9::save() {
  // Every value is converted before anything is written.
  const QDate issued = platform::StrToDate(Edit3->text());
  const QDate purchased = platform::StrToDate(Edit10->text());
  const QDate paid = platform::StrToDate(Edit11->text());
  long double tax = 0, contribution = 0, deduction = 0;
  const std::pair<QLineEdit *, long double *> numbers[] = {
      {Edit6, &tax}, {Edit15, &contribution}, {Edit13, &deduction}};
  for (const auto &[field, target] : numbers) {
    try {
      *target = platform::StrToFloat(field->text());
    } catch (const platform::ConvertError &e) {
      platform::error(e.message());
      field->setFocus();
      return false;
    }
  }
  const QString serial = Edit1->text();
  const QString transfer = CheckBox1->isChecked() ? QStringLiteral("x") : QStringLiteral(" ");
  const QString declaration = CheckBox2->isChecked() ? Edit12->text() : QStringLiteral(" ");

  if (isNew() && !(hold_ && hold_->held())) {
    // The hold ended with an earlier save's commit: the serial is not the
    // dialog's any more.
    platform::warning(NumberingHold::busyMessage());
    return false;
  }
  bool saved = false;
  const QString previousPosition = UtolsoBszam;
  try {
    // Starting the transaction is the step outside the statements (Hiba96).
    if (!Data->IBTrans1->active()) Data->IBTrans1->start();
    // A new ticket's header is written in the hold's transaction, so that it
    // and the receiver's counter are committed together; a modified one's in
    // the modification's, with its lines.
    if (!isNew() && !modification_) throw db::Error(QStringLiteral("no ticket loaded for modification"));
    db::Query &q = isNew() ? hold_->query() : modification_->query();
    auto p = [&](const char *name) -> db::Param & { return q.paramByName(QLatin1String(name)); };
    // The totals from the lines as the write's transaction reads them, after
    // the header's lock in a modification: what another program committed
    // before is in them, and nothing can come in between.
    auto readTotals = [&](WriteSteps &steps) {
      const QString step = steps.message();
      readSums();
      steps.at(QStringLiteral("A fizetendő összeg nem tárolható!"));
      if (!recalc()) throw db::Error(QStringLiteral("the ticket's payable cannot be stored"));
      steps.at(step);
    };
    auto bindCommon = [&](const char *kelt, const char *szja, const char *megj,
                          const char *felvkelt, const char *fizkelt, const char *utal,
                          const char *nyilatk, const char *levonas, const char *jarulszaz,
                          const char *muvktg, const char *sumvar) {
      p("p1").setString(serial);
      p("p2").setString(AtvevoKod);
      p("p3").setString(Edit5->text());
      p(kelt).setDate(issued);
      p(szja).setFloat(static_cast<double>(tax));
      p(megj).setString(Edit4->text());
      p(felvkelt).setDate(purchased);
      p(fizkelt).setDate(paid);
      p(utal).setString(transfer);
      p(nyilatk).setString(declaration);
      p(levonas).setFloat(static_cast<double>(deduction));
      p(jarulszaz).setFloat(static_cast<double>(contribution));
      p(muvktg).setFloat(FizetendoSzoveg.toDouble());
      p(sumvar).setFloat(JegyVetelar);
    };
    if (isNew()) {
      // The header and the receiver's counter are stored together or not at
      // all; each step names the message its failure shows.
      saved = Data->Write(hold_->transaction(), QStringLiteral("Hiba94: Újban, INSERT a Qzfejben "),
                          [&](WriteSteps &steps) {
        readTotals(steps);
        TicketQueries::setSql(
            q, {QStringLiteral("INSERT INTO QzFej ( f_bszam, f_akod, f_ostermkod, f_kelt, f_szja, "
                               "f_megj, f_felvkelt, f_fizkelt, f_utal, f_nyilatk, f_levonas, "
                               "f_jarulszaz, f_muvktg, f_tipus, f_sumvar ) "),
                QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, "
                               ":p11, :p12, :p13, :p14, :p15 ) ")});
        bindCommon("p4", "p5", "p6", "p7", "p8", "p9", "p10", "p11", "p12", "p13", "p15");
        p("p14").setString(TipusNormal);
        q.execute();
        UtolsoBszam = serial;
        steps.at(QStringLiteral("Hiba93: Új UPDATE Sorszam -ba "));
        hold_->advance(serial);  // only from the value the serial was taken from
        steps.at(QStringLiteral("Hiba94: Újban, INSERT a Qzfejben "));  // the commit
      });
    } else {
      saved = Data->Write(modification_->transaction(), QStringLiteral("Hiba95: Módositás, UPDATE a Vorik fejben "),
                          [&](WriteSteps &steps) {
        // Not printed, cancelled or changed by another instance since it was
        // opened; the lock keeps it so until the commit.
        modification_->guard(steps, true);
        readTotals(steps);
        TicketQueries::setSql(
            q, {QStringLiteral("UPDATE QzFej SET ID_qzFej = :p0, f_bszam = :p1, f_akod = :p2, "
                               "f_ostermkod = :p3, f_kelt = :p4, f_szja = :p5, f_megj = :p6, "),
                QStringLiteral("  f_prn = :p7, f_felvkelt = :p8, f_fizkelt = :p9, f_utal = :p10, "
                               "f_nyilatk = :p11, f_levonas = :p12, f_jarulszaz = :p13, "),
                QStringLiteral("  f_muvktg = :p14, f_sumvar = :p15 WHERE ID_qzFej = :p0 ")});
        p("p0").setInteger(Edit2->text().trimmed().toLongLong());
        bindCommon("p4", "p5", "p6", "p8", "p9", "p10", "p11", "p12", "p13", "p14", "p15");
        p("p7").setString(QStringLiteral(" "));  // saving clears the printed mark
        q.execute();
        UtolsoBszam = serial;
      });
    }
    if (saved) {
      TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
    } else {
      // Nothing was stored. The rollback closed the datasets: show the list
      // and the lines again; the dialog stays open with the input, unless
      // the modification was refused (the caller closes it).
      UtolsoBszam = previousPosition;
      if (!(modification_ && modification_->refused())) frissit();
    }
  } catch (const std::exception &) {
    platform::showFailure(lcApp(), QStringLiteral("Hiba96: az INSERT vagy UPDATE közben a vorik fejben!"));
    return false;
  }
  return saved;
}

#include "app/tickets/Unit10.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "app/common/Widgets.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "app/options/IniOptions.h"
#include "app/receivers/Checks.h"
#include "app/tickets/TicketModification.h"
#include "app/tickets/TicketQueries.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/transaction.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include "app/common/FieldKeys.h"
#include "app/common/Guarded.h"
#include "app/products/Unit6.h"
#include "app/tickets/TicketState.h"

TForm10 *Form10 = nullptr;

namespace {

using Widgets::makeEdit;
using Widgets::makeLabel;
using Widgets::makeButton;

// The product list as a picker, opened on the first product whose name
// begins with the text typed; its current ZQ40 row is the choice.
bool pickFromProductList(QWidget *, const QString &namePrefix) {
  AktTermek = namePrefix;
  return TForm6::Pick();
}

TForm10::ProductPicker &productPicker() {
  static TForm10::ProductPicker picker = pickFromProductList;
  return picker;
}

// A text the database column can take as a number.
bool numberOf(const QString &text, double &value) {
  long double v = 0;
  if (!platform::TryStrToFloat(text, v) || !std::isfinite(static_cast<double>(v))) return false;
  value = static_cast<double>(v);
  return true;
}

}  // namespace

QString TForm10::NotANumberMessage(const QString &label, const QString &text) {
  return QStringLiteral("A \"%1\" mezőben nem szám áll: %2").arg(label, text);
}

QString TForm10::WeightDeductionProblem(const QString &text) {
  double value = 0;
  if (checks::trimRight(text).isEmpty())
    return QStringLiteral("Nincs megadva súlylevonás % -a vagy nem nulla!");
  if (!numberOf(text, value)) return NotANumberMessage(QStringLiteral("Súlylevon.%"), text);
  return QString();
}

void TForm10::setProductPicker(ProductPicker picker) {
  productPicker() = picker ? std::move(picker) : ProductPicker(pickFromProductList);
}

void TForm10::buildUi() {
  setObjectName(QStringLiteral("Form10"));
  setWindowTitle(QStringLiteral("Felvásárlási jegy tételsor"));
  setModal(true);

  Edit1 = makeEdit(this, "Edit1");
  Edit1->setReadOnly(true);
  Edit2 = makeEdit(this, "Edit2");
  Edit2->setVisible(false);
  Edit9 = makeEdit(this, "Edit9");
  Edit9->setReadOnly(true);
  Edit3 = makeEdit(this, "Edit3", 75);
  Edit3->setToolTip(QStringLiteral("Megnevezés kezdő betük beirása a \"Termék\" gomb előtt"));
  Edit4 = makeEdit(this, "Edit4", 10);
  Edit5 = makeEdit(this, "Edit5");
  FieldKeys::acceptOnly(Edit5, QStringLiteral(",-"));
  Edit6 = makeEdit(this, "Edit6", 10);
  Edit7 = makeEdit(this, "Edit7");
  FieldKeys::acceptOnly(Edit7, QStringLiteral(","));
  Edit8 = makeEdit(this, "Edit8");
  FieldKeys::acceptOnly(Edit8, QStringLiteral(","));
  Edit10 = makeEdit(this, "Edit10", 10);
  FieldKeys::acceptOnly(Edit10, QStringLiteral(","));
  // Widths of what the fields without a limit hold: serial, code, numbers.
  for (LimitedEdit *digits : {Edit1, Edit9}) digits->setAcceptedChars(QStringLiteral("0123456789"));
  Edit1->setWidthChars(8);
  Edit9->setWidthChars(5);
  for (LimitedEdit *number : {Edit5, Edit7}) number->setWidthChars(12);
  Edit8->setWidthChars(6);

  Button1 = makeButton(this, "Button1", QStringLiteral("Termék"));
  Button3 = makeButton(this, "Button3", QStringLiteral("OK"));
  Button6 = makeButton(this, "Button6", QStringLiteral("Mégsem"));
  Label10 = makeLabel(this, "Label10", QStringLiteral("Bizonylat"));

  auto *grid = new QGridLayout;
  int row = 0;
  auto add = [&](const char *labelName, const QString &label, QWidget *w, QWidget *extra = nullptr) {
    grid->addWidget(makeLabel(this, labelName, label), row, 0);
    grid->addWidget(w, row, 1);
    if (extra) grid->addWidget(extra, row, 2);
    ++row;
  };
  add("Label1", QStringLiteral("Bszám"), Edit1);
  add("Label9", QStringLiteral("Kód"), Edit9);
  add("Label3", QStringLiteral("Megnevezés"), Edit3, Button1);
  add("Label4", QStringLiteral("VTSZ"), Edit4);
  add("Label5", QStringLiteral("Mennyiség"), Edit5);
  add("Label6", QStringLiteral("Menny. egys."), Edit6);
  add("Label7", QStringLiteral("Egységár"), Edit7);
  add("Label8", QStringLiteral("Komp.mértéke"), Edit8);
  grid->addWidget(Label10, row, 0);
  grid->addWidget(Edit10, row, 1);
  grid->addWidget(Edit2, row, 2);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button3);
  buttons->addWidget(Button6);
  auto *top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);

  setTabOrder(Edit3, Button1);
  setTabOrder(Button1, Edit4);
  setTabOrder(Edit4, Edit5);
  setTabOrder(Edit5, Edit6);
  setTabOrder(Edit6, Edit7);
  setTabOrder(Edit7, Edit8);
  setTabOrder(Edit8, Edit10);
  setTabOrder(Edit10, Button3);
  setTabOrder(Button3, Button6);

  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { pickProduct(); }); });
  connect(Button3, &QPushButton::clicked, this, [this] { RunGuarded([this] { accept(); }); });
  connect(Button6, &QPushButton::clicked, this, &TForm10::reject);
  FieldKeys::installEnterNavigation(this);
  FieldKeys::ignoreEscape(this);
}

TForm10::TForm10(const Ticket &ticket, QWidget *parent) : QDialog(parent), ticket_(ticket) {
  buildUi();
  ReadForm10Options();  // FormCreate
}

void TForm10::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Edit1->setText(ticket_.serial);
  const bool documentVisible = Edit10Option == QLatin1String("1");
  Edit10->setVisible(documentVisible);
  Label10->setVisible(documentVisible);
  // The default passes the field's checks as a typed value would.
  if (TetelMod == kTetelModUj) FieldKeys::setNumberDefault(Edit8, Edit8Default);
  Edit3->setFocus();
}

void TForm10::LoadLine() {
  try {
    db::Query &q = *Data->ZQ20;
    if (!q.active() || q.isEmpty()) return;  // an empty grid loads empty fields
    auto text = [&](const char *name) { return q.fieldByName(QLatin1String(name)).asString(); };
    Edit2->setText(text("ID_qzsor"));
    Edit9->setText(text("s_termekkod"));
    Edit3->setText(text("s_megnevezes"));
    Edit4->setText(text("s_vtsz"));
    Edit5->setText(text("s_brutto"));
    Edit6->setText(text("s_megy"));
    Edit7->setText(text("s_ear"));
    Edit8->setText(text("s_kompmerteke"));
    Edit10->setText(text("s_bizonylat"));
  } catch (const std::exception &) {
    platform::showFailure(lcApp(),
                          QStringLiteral("Hiba101: a terméksor feltöltésben való megjelenitésekor!"));
  }
}

void TForm10::FillFromProduct() {
  try {
    db::Query &q = *Data->ZQ40;
    auto text = [&](const char *name) { return q.fieldByName(QLatin1String(name)).asString(); };
    Edit3->setText(text("t_megnevezes"));
    Edit4->setText(text("t_vtsz"));
    Edit6->setText(text("t_megy"));
    Edit7->setText(text("t_Ear"));
    Edit8->setText(text("t_kompmerteke"));
    Edit9->setText(text("t_kod"));
    Edit10->setText(text("t_bizonylat"));
  } catch (const std::exception &) {
    platform::showFailure(lcApp(), QStringLiteral("Hiba102: a termék feltöltésben való megjelenitésekor!"));
  }
}

void TForm10::pickProduct() {
  // A cancelled picker leaves the fields as they are.
  if (productPicker()(this, Edit3->text())) FillFromProduct();
  Edit5->setFocus();
}

void TForm10::accept() {
  const struct {
    QLineEdit *field;
    const char *message;
  } required[] = {
      {Edit3, "Nincs megadva a megnevezés!"},   {Edit4, "Nincs megadva a VTSZ!"},
      {Edit5, "Nincs megadva a mennyiség!"},    {Edit6, "Nincs megadva a mennyiség egység!"},
      {Edit7, "Nincs megadva az egységár!"},    {Edit8, "Nincs megadva a komp.mértéke!"},
  };
  for (const auto &r : required) {
    if (checks::trimRight(r.field->text()).isEmpty()) {
      platform::showMessage(QString::fromUtf8(r.message));
      r.field->setFocus();
      return;
    }
  }
  if (save()) QDialog::accept();
  // Refused: nothing of the modification can be stored any more.
  else if (ticket_.modification && ticket_.modification->refused()) reject();
}

bool TForm10::save() {
  const bool isNew = TetelMod == kTetelModUj;
  const QString stepMessage = isNew ? QStringLiteral("Hiba103: Új, INSERT a qzsorban ")
                                    : QStringLiteral("Hiba104: Módosit, UPDATE a qzsorban ");
  // The numbers are converted before anything is written: a text that is no
  // number is refused with a message naming its field, and the dialog stays
  // open with the input, on that field.
  const QString weightProblem = WeightDeductionProblem(ticket_.weightDeductionText);
  if (!weightProblem.isEmpty()) {
    platform::showMessage(weightProblem);
    return false;
  }
  struct Number {
    QLineEdit *field;  // null: the entry dialog's weight-deduction field
    QString label;
    QString text;
    double value = 0;
  };
  Number numbers[] = {{Edit5, QStringLiteral("Mennyiség"), Edit5->text()},
                      {Edit7, QStringLiteral("Egységár"), Edit7->text()},
                      {Edit8, QStringLiteral("Komp.mértéke"), Edit8->text()},
                      {nullptr, QString(), ticket_.weightDeductionText}};
  for (Number &n : numbers) {
    if (!numberOf(n.text, n.value)) {
      platform::showMessage(NotANumberMessage(n.label, n.text));
      if (n.field) n.field->setFocus();
      return false;
    }
  }

  // The write pattern: a failure shows the step's message, rolls back and
  // keeps the dialog open with the input. The line is committed at once, or
  // in a modification with the header.
  TicketModification *modification = ticket_.modification;
  bool written = false;
  try {
    // Starting the transaction is the step outside the statements (Hiba105).
    if (!Data->IBTrans1->active()) Data->IBTrans1->start();
    auto statements = [&](WriteSteps &steps) {
      if (modification) modification->guard(steps, false);
      db::Query &q = isNew ? *Data->ZQ20 : *Data->ZQ21;
      if (isNew) {
        TicketQueries::setSql(
            q, {QStringLiteral("INSERT INTO Qzsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, "
                               "s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, s_levonszaz, "
                               "s_bizonylat ) "),
                QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, "
                               ":p11 ) ")});
      } else {
        TicketQueries::setSql(
            q, {QStringLiteral("UPDATE Qzsor SET ID_qzsor = :p0, s_bszam = :p1, s_termekkod = "
                               ":p2, s_megnevezes = :p3, s_vtsz = :p4, s_brutto = :p5, "),
                QStringLiteral("  s_megy = :p6, s_ear = :p7, s_kompmerteke = :p8, s_akod = :p9, "
                               "s_levonszaz = :p10, s_bizonylat = :p11 "),
                QStringLiteral("  WHERE ID_qzsor = :p0 ")});
        q.paramByName(QStringLiteral("p0")).setInteger(Edit2->text().trimmed().toLongLong());
      }
      auto p = [&](const char *name) -> db::Param & { return q.paramByName(QLatin1String(name)); };
      p("p1").setString(Edit1->text());
      p("p2").setString(Edit9->text());
      p("p3").setString(Edit3->text());
      p("p4").setString(Edit4->text());
      p("p5").setFloat(numbers[0].value);
      p("p6").setString(Edit6->text());
      p("p7").setFloat(numbers[1].value);
      p("p8").setFloat(numbers[2].value);
      p("p9").setString(AtvevoKod);
      p("p10").setFloat(numbers[3].value);
      p("p11").setString(Edit10->text());
      if (modification) modification->execute(steps, q);
      else q.execute();
      // A modification that reaches no line (an empty grid, or a line deleted
      // meanwhile) stored nothing: a failure, not a silent close.
      if (!isNew && q.rowsAffected() == 0) throw db::Error(QStringLiteral("no QZSOR row"));
      UtolsoTetelId = Edit2->text();
    };
    written = modification ? Data->Write(modification->transaction(), stepMessage, statements, false)
                           // the ticket list behind stays open
                           : Data->Write(stepMessage, statements, TData::CommitMode::CommitRetaining);
    reopenLines();
  } catch (const std::exception &) {
    platform::showFailure(lcApp(),
                          QStringLiteral("Hiba105: az INSERT vagy UPDATE közben a terméksorban!"));
    return false;
  }
  return written;
}

void TForm10::reopenLines() {
  TicketQueries::openLines(ticket_.serial, UtolsoTetelId);
  TicketQueries::openProducer(ticket_.producerCode);
}

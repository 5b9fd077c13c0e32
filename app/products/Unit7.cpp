#include "app/products/Unit7.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/FieldKeys.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "app/logging.h"
#include "app/products/Unit6.h"
#include "app/receivers/Checks.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm7 *Form7 = nullptr;

namespace {

const QString kNew = QStringLiteral("Új termék");

bool empty(const QLineEdit *e) { return checks::trimRight(e->text()).isEmpty(); }

}  // namespace

TForm7::TForm7(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form7"));
  setWindowTitle(QStringLiteral("Termék"));
  setModal(true);

  auto *form = new QFormLayout;
  auto field = [&](LimitedEdit *&edit, const char *name, const QString &label, int max, const QString &keys,
                   const QString &text = QString()) {
    edit = Widgets::makeEdit(this, name, max);
    edit->setText(text);
    if (!keys.isNull()) FieldKeys::acceptOnly(edit, keys);
    form->addRow(label, edit);
  };
  const QString any;                    // no filter
  const QString digits = QLatin1String("");  // digits only
  const QString decimal = QStringLiteral(",");
  field(Edit1, "Edit1", QStringLiteral("ID"), 0, any);
  Edit1->setReadOnly(true);
  field(Edit2, "Edit2", QStringLiteral("Kód"), 0, digits);
  field(Edit3, "Edit3", QStringLiteral("Megnevezés"), 75, any);
  field(Edit4, "Edit4", QStringLiteral("VTSZ"), 10, any);
  field(Edit5, "Edit5", QStringLiteral("Egységár"), 0, decimal, QStringLiteral("0"));
  field(Edit6, "Edit6", QStringLiteral("Menny.egység"), 10, any);
  field(Edit7, "Edit7", QStringLiteral("Komp.mértéke"), 0, decimal, QStringLiteral("12,00"));
  field(Edit8, "Edit8", QStringLiteral("Tételszám"), 10, decimal);

  // Widths of the fields without a limit: ID, code, price, percentage.
  for (auto [edit, chars] : {std::pair{Edit1, 8}, {Edit2, 5}, {Edit5, 12}, {Edit7, 6}}) edit->setWidthChars(chars);

  QHBoxLayout *buttons = MakeEntryButtons(this, Button2, Button3, &TForm7::Button2Click, &TForm7::Button3Click);
  auto *root = new QVBoxLayout(this);
  root->addLayout(form);
  root->addLayout(buttons);

  FieldKeys::installEnterNavigation(this);
  FieldKeys::ignoreEscape(this);
}

TForm7::~TForm7() = default;

void TForm7::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!shown_) {
    shown_ = true;
    RunGuarded([this] { FormShow(); });
  }
}

void TForm7::FormShow() {
  if (TermekMod == kNew) Edit2->setText(NextProductCode());
  Edit2->setFocus();
}

void TForm7::LoadProduct() {
  try {
    db::Query *q = Data->ZQ40;
    auto s = [q](const char *name) { return q->fieldByName(QString::fromLatin1(name)).asString(); };
    Edit1->setText(s("ID_termek"));
    Edit2->setText(s("t_kod"));
    Edit3->setText(s("t_megnevezes"));
    Edit4->setText(s("t_VTSZ"));
    Edit5->setText(s("t_Ear"));
    Edit6->setText(s("t_megy"));
    Edit7->setText(s("t_Kompmerteke"));
    Edit8->setText(s("t_bizonylat"));
  } catch (const std::exception &) {
    platform::showFailure(lcApp(),
                          QStringLiteral("Hiba71 az őstermelő módosítás Edit-ben való megjelenitésekor!"));
  }
}

bool TForm7::Stop(const QString &message, QWidget *field) {
  platform::showMessage(message);
  field->setFocus();
  return false;
}

bool TForm7::Validate() {
  if (empty(Edit2)) return Stop(QStringLiteral("Nincs megadva a kód!"), Edit2);
  if (empty(Edit3)) return Stop(QStringLiteral("Nincs megadva a megnevezés!"), Edit3);
  if (empty(Edit5)) return Stop(QStringLiteral("Nincs megadva a mennyiség!"), Edit5);
  if (empty(Edit6)) return Stop(QStringLiteral("Nincs megadva a mennyiség egység!"), Edit6);
  if (empty(Edit7)) return Stop(QStringLiteral("Nincs megadva a komp.mérték!"), Edit7);
  // The column holds whole numbers: a fraction would be rounded away silently.
  // A text that is no number at all meets the conversion of the save.
  long double komp = 0;
  if (platform::TryStrToFloat(Edit7->text(), komp) && platform::Frac(komp) != 0)
    return Stop(QStringLiteral("A komp.mérték csak egész szám lehet!"), Edit7);
  return true;
}

// Two products with one code would make the code ambiguous for the lines and
// the lists: a code another row holds is refused.
bool TForm7::CodeIsFree() {
  // The parameter as a long text: a code longer than the column matches
  // nothing here and meets the column's width in the write.
  const bool taken = CodeHeldByAnother(
      Data->ZQ41,
      {QStringLiteral("SELECT count(*) AS db FROM termek "),
       QStringLiteral("  WHERE t_kod = CAST(:p1 AS VARCHAR(32765)) AND ID_termek <> :p0 ")},
      Edit2->text(), TermekMod == kNew ? -1 : platform::StrToInt(Edit1->text()));
  if (!taken) return true;
  // The system's notice for something that already exists: Yes only.
  platform::confirmYes(QStringLiteral("Már létezik!"));
  Edit2->setFocus();
  return false;
}

bool TForm7::Save() {
  const bool isNew = TermekMod == kNew;
  db::Query *q = Data->ZQ41;
  const bool ok = Data->Write(
      isNew ? QStringLiteral("Hiba72: Újban, INSERT  a termékben ")
            : QStringLiteral("Hiba73: Módositásban, UPDATE a termékben "),
      [&](WriteSteps &) {
        if (isNew) {
          q->setSql(
              {QStringLiteral(
                   "INSERT INTO termek ( t_kod, t_megnevezes, t_VTSZ, t_Ear, t_megy, t_Kompmerteke, t_bizonylat ) "),
               QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7 ) ")});
        } else {
          q->setSql({QStringLiteral("UPDATE termek              "),
                     QStringLiteral("  SET t_kod = :p1, t_megnevezes = :p2, t_VTSZ = :p3, t_Ear = :p4, "
                                    "t_megy = :p5, t_Kompmerteke = :p6, t_bizonylat = :p7 "),
                     QStringLiteral(" WHERE ID_termek    = :p0  ")});
          q->paramByName(QStringLiteral("p0")).setInteger(platform::StrToInt(Edit1->text()));
        }
        q->paramByName(QStringLiteral("p1")).setString(Edit2->text());
        q->paramByName(QStringLiteral("p2")).setString(Edit3->text());
        q->paramByName(QStringLiteral("p3")).setString(Edit4->text());
        q->paramByName(QStringLiteral("p4")).setFloat(static_cast<double>(platform::StrToFloat(Edit5->text())));
        q->paramByName(QStringLiteral("p5")).setString(Edit6->text());
        q->paramByName(QStringLiteral("p6")).setFloat(static_cast<double>(platform::StrToFloat(Edit7->text())));
        q->paramByName(QStringLiteral("p7")).setString(Edit8->text());
        q->execute();
      });
  if (!ok) return false;
  AktTermek = Edit2->text();
  // The stored code whole: a partial match of "1" would land on "12".
  ReopenListAtCode([] { OpenProductList(); }, Data->ZQ40, QStringLiteral("t_kod"), AktTermek,
                   QStringLiteral("Hiba74: az append vagy edit közben a termékben!"));
  return true;
}

void TForm7::Button2Click() {
  if (!Validate()) return;
  if (!CodeIsFree()) return;
  if (!Save()) return;
  if (onSaved) onSaved();
  accept();
}

void TForm7::Button3Click() { reject(); }

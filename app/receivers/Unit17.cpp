#include "app/receivers/Unit17.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/Widgets.h"
#include "app/logging.h"
#include "app/receivers/Checks.h"
#include "app/common/Guarded.h"
#include "app/receivers/RowText.h"
#include "db/dataset.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

TForm17 *Form17 = nullptr;

static const bool Lekrdezs2_menu_command_registered =
    RegisterMenuCommand(QStringLiteral("Lekrdezs2"), [] {
      ShowModalDialog<TForm17>(Form17, [](TForm17 *f) { f->AtvevoBetoltes(); });
    });

namespace {

const QString kTrue = QStringLiteral("true");
const QString kBlank = QStringLiteral(" ");

}  // namespace

TForm17::TForm17(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form17"));
  setWindowTitle(QStringLiteral("Átvevö adatai"));
  setModal(true);

  auto *grid = new QGridLayout;
  int row = 0;
  // A label and its field; maxLength 0 leaves the length unlimited.
  auto field = [&](LimitedEdit *&e, const QString &name, const QString &caption, bool editable,
                   int maxLength) {
    auto *l = new QLabel(caption, this);
    l->setObjectName(QStringLiteral("Label_") + name);
    e = Widgets::makeEdit(this, name.toLatin1().constData(), maxLength);
    e->setEnabled(editable);
    l->setBuddy(e);
    grid->addWidget(l, row, 0);
    grid->addWidget(e, row, 1);
    ++row;
  };
  field(Edit1, QStringLiteral("Edit1"), QStringLiteral("ID"), false, 0);
  field(Edit8, QStringLiteral("Edit8"), QStringLiteral("Kód"), false, 0);
  field(Edit2, QStringLiteral("Edit2"), QStringLiteral("Átvevő neve"), false, 0);
  field(Edit5, QStringLiteral("Edit5"), QStringLiteral("Irányitószám"), false, 0);
  field(Edit3, QStringLiteral("Edit3"), QStringLiteral("Helységnév"), false, 0);
  field(Edit13, QStringLiteral("Edit13"), QStringLiteral("Kerület"), true, 20);
  field(Edit4, QStringLiteral("Edit4"), QStringLiteral("Utcanév"), true, 45);
  field(Edit14, QStringLiteral("Edit14"), QStringLiteral("Jelleg (út, krt)"), true, 20);
  field(Edit15, QStringLiteral("Edit15"), QStringLiteral("Házszám"), true, 20);
  field(Edit16, QStringLiteral("Edit16"), QStringLiteral("Épület"), true, 20);
  field(Edit17, QStringLiteral("Edit17"), QStringLiteral("Lécsőház"), true, 20);
  field(Edit18, QStringLiteral("Edit18"), QStringLiteral("Szint"), true, 20);
  field(Edit19, QStringLiteral("Edit19"), QStringLiteral("Ajtó"), true, 20);
  field(Edit6, QStringLiteral("Edit6"), QStringLiteral("Adószám"), false, 0);
  field(Edit11, QStringLiteral("Edit11"), QStringLiteral("Közösségi adószám:"), true, 20);
  field(Edit12, QStringLiteral("Edit12"), QStringLiteral("Bankszámlaszám"), true, 26);
  field(Edit10, QStringLiteral("Edit10"),
        QStringLiteral("Nyilatkozat szövege (250 betü hosszban)"), true, 250);
  field(Edit7, QStringLiteral("Edit7"), QStringLiteral("Verzió"), true, 45);  // column width
  // The shown-only fields are as wide as their columns.
  for (auto [edit, chars] : {std::pair{Edit1, 8}, {Edit8, 5}, {Edit2, 75}, {Edit5, 8}, {Edit3, 45}, {Edit6, 11}})
    edit->setWidthChars(chars);
  CheckBox1 = new QCheckBox(QStringLiteral("Egyéni vállalkozó"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  grid->addWidget(CheckBox1, row++, 1);
  field(Edit21, QStringLiteral("Edit21"), QStringLiteral("Egyéni vállalkozó neve"), true, 45);
  field(Edit9, QStringLiteral("Edit9"), QStringLiteral("Adóazonositó (egyéni vállalkozónál)"),
        true, 10);
  field(Edit20, QStringLiteral("Edit20"), QStringLiteral("E.V. nyilvántartási szám"), true, 20);
  CheckBox2 = new QCheckBox(QStringLiteral("Kisadózó"), this);
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  grid->addWidget(CheckBox2, row++, 1);

  Button2 = new QPushButton(QStringLiteral("Letárol"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setAutoDefault(false);
  Button2->setEnabled(false);
  Button5 = new QPushButton(QStringLiteral("Mégsem"), this);
  Button5->setObjectName(QStringLiteral("Button5"));
  Button5->setAutoDefault(false);
  Button5->installEventFilter(this);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button5);

  auto *top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);

  connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button2Click(); }); });
  connect(Button5, &QPushButton::clicked, this, &QDialog::close);
  FieldKeys::ignoreEscape(this);
}

void TForm17::AtvevoBetoltes() {
  try {
    TData::openCurrentReceiver(*Data->ZQ60);
    FillFields();
  } catch (const std::exception &) {
    platform::showFailure(lcApp(),
                          QStringLiteral("Hiba172 az atvevo módosítás Edit-ben való megjelenitésekor!"));
  }
}

void TForm17::FillFields() {
  db::Query &q = *Data->ZQ60;
  const struct {
    QLineEdit *edit;
    const char *column;
  } map[] = {{Edit1, "ID_ATVEVO"}, {Edit8, "V_AKOD"},        {Edit2, "V_NEVE"},
             {Edit5, "V_IRSZAM"},  {Edit3, "V_HELYSEG"},     {Edit13, "V_KERULET"},
             {Edit4, "V_UTCA"},    {Edit14, "V_JELLEG"},     {Edit15, "V_HAZSZAM"},
             {Edit16, "V_EPULET"}, {Edit17, "V_LEPCSO"},     {Edit18, "V_SZINT"},
             {Edit19, "V_AJTO"},   {Edit6, "V_ADOSZAM"},     {Edit11, "V_KOZADOSZAM"},
             {Edit12, "V_BANKSZLA"}, {Edit10, "V_NYILATK"}, {Edit7, "V_VERZIO"},
             {Edit21, "V_EV_NEVE"}, {Edit9, "V_ADOAZON"},    {Edit20, "V_EVNYILV"}};
  for (const auto &m : map) m.edit->setText(RowText(q, m.column));
  CheckBox1->setChecked(RowText(q, "V_EV") == kTrue);
  CheckBox2->setChecked(RowText(q, "V_KISADO") == kTrue);
}

void TForm17::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm17::FormShow() {
  TData::openCurrentReceiver(*Data->ZQ60);
  CheckBox1->setChecked(RowText(*Data->ZQ60, "V_EV") == kTrue);

  db::Query &c = *Data->ZQ11;
  c.setSql({QStringLiteral("SELECT  f_akod, count(f_akod) AS sdb "), QStringLiteral("  FROM Qzfej         "),
            QStringLiteral("  WHERE f_akod = :p1 "), QStringLiteral("  GROUP BY f_akod    ")});
  c.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
  c.open();
  const bool hasTicket = !c.isEmpty() && c.fieldByName(QStringLiteral("SDB")).asInteger() >= 1;
  if (hasTicket) {
    Button2->setEnabled(false);
    platform::showMessage(QStringLiteral("Már készült felvásárlási jegy! Nem módositható."));
  } else {
    Button2->setEnabled(true);
  }
}

void TForm17::Button2Click() {
  auto refuse = [](QLineEdit *field, const QString &text) {
    platform::showMessage(text);
    field->setFocus();
  };
  const QString kozAdoszam = checks::trimText(Edit11->text());
  if (!kozAdoszam.isEmpty() && kozAdoszam.size() < 8)
    return refuse(Edit11, QStringLiteral("Közösségi adószám kevesebb mint 8 karakter!"));
  if (CheckBox1->isChecked()) {
    if (checks::trimRight(Edit9->text()).isEmpty())
      return refuse(Edit9, QStringLiteral("Nincs megadva az egyéni váll.adóazonositó száma!"));
    if (checks::trimRight(Edit20->text()).isEmpty())
      return refuse(Edit20, QStringLiteral("Nincs megadva az egyéni váll.nyilvántart.száma!"));
    if (checks::trimRight(Edit21->text()).isEmpty())
      return refuse(Edit21, QStringLiteral("Nincs megadva az egyéni váll. neve!"));
  } else {
    Edit9->setText(kBlank);
    Edit20->setText(kBlank);
    Edit21->setText(kBlank);
  }

  const QString ev = CheckBox1->isChecked() ? kTrue : kBlank;
  const QString kisado = CheckBox2->isChecked() ? kTrue : kBlank;
  try {
    const bool stored = Data->Write(QStringLiteral("Hiba170: UPDATE atvevo "), [&](WriteSteps &) {
      db::Query &q = *Data->ZQ61;
      q.setSql(QStringList());
      for (const char *line :
           {"UPDATE atvevo            ", "  SET  V_UTCA     = :p2,  ", "       V_BANKSZLA = :p5,  ",
            "       V_ADOAZON  = :p6,  ", "       V_NYILATK  = :p7,  ", "       V_VERZIO   = :p10, ",
            "       V_EV       = :p11, ", "       V_EVNYILV  = :p12, ", "       V_KERULET  = :p13, ",
            "       V_JELLEG   = :p14, ", "       V_HAZSZAM  = :p15, ", "       V_EPULET   = :p16, ",
            "       V_LEPCSO   = :p17, ", "       V_SZINT    = :p18, ", "       V_AJTO     = :p19, ",
            "       V_KISADO   = :p21, ", "       V_KOZADOSZAM = :p22,", "       V_EV_NEVE  = :p23  ",
            " WHERE V_AKOD     = :p20  "})
        q.sql().add(QString::fromUtf8(line));
      const struct {
        const char *param;
        QString value;
      } values[] = {{"p2", Edit4->text()},   {"p5", Edit12->text()},  {"p6", Edit9->text()},
                    {"p7", Edit10->text()},  {"p10", Edit7->text()},  {"p11", ev},
                    {"p12", Edit20->text()}, {"p13", Edit13->text()}, {"p14", Edit14->text()},
                    {"p15", Edit15->text()}, {"p16", Edit16->text()}, {"p17", Edit17->text()},
                    {"p18", Edit18->text()}, {"p19", Edit19->text()}, {"p21", kisado},
                    {"p22", Edit11->text()}, {"p23", Edit21->text()}, {"p20", AtvevoKod}};
      for (const auto &v : values) q.paramByName(QLatin1String(v.param)).setString(v.value);
      q.execute();
    });
    if (!stored) return;  // message shown, rolled back; the input stays

    TData::openCurrentReceiver(*Data->ZQ60);
    AtvevoNyilatk = RowText(*Data->ZQ60, "V_NYILATK");
    const QString verzio = RowText(*Data->ZQ60, "V_VERZIO");
    JegyVariant = checks::trimText(verzio).isEmpty() ? QString() : verzio.left(1);
  } catch (const std::exception &) {
    platform::showFailure(lcApp(), QStringLiteral("Hiba171: UPDATE az atvevo "));
    if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
    return;
  }
  close();
}

bool TForm17::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Button5 && event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->text().size() == 1 && key->text().at(0).toUpper() == QChar(ServiceKey)) {
      Button2->setEnabled(true);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

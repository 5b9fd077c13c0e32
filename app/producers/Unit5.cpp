#include "app/producers/Unit5.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/FieldKeys.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "app/logging.h"
#include "app/producers/Unit4.h"
#include "app/receivers/Checks.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QVBoxLayout>

TForm5 *Form5 = nullptr;

namespace {

const QString kNew = QStringLiteral("Új őstermelő");

enum class Keys { Any, Digits, DigitsDot, DigitsSlash, Chamber, Sex, Pension };

// Empty: nothing left after removing the trailing blanks.
bool empty(const QLineEdit *e) { return checks::trimRight(e->text()).isEmpty(); }
// Given: something left after trimming both ends.
bool given(const QLineEdit *e) { return !checks::trimText(e->text()).isEmpty(); }

QString dateText(const db::Field &f) {
  return f.isNull() ? QString() : platform::FormatDateTime(QStringLiteral("yyyy.mm.dd"), f.asDate());
}

}  // namespace

TForm5::TForm5(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(OstermeloMod);
  setModal(true);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  auto *page1 = new QWidget;
  page1->setObjectName(QStringLiteral("TabSheet1"));
  auto *page2 = new QWidget;
  page2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(page1, QStringLiteral("Adatok"));
  PageControl1->addTab(page2, QStringLiteral("Feljegyzés"));
  auto *grid = new QGridLayout(page1);

  int row = 0, col = 0;
  auto field = [&](LimitedEdit *&edit, const char *name, const QString &label, int max, Keys keys,
                   const QString &hint = QString(), const QString &text = QString()) {
    edit = Widgets::makeEdit(page1, name, max);
    edit->setText(text);
    if (!hint.isEmpty()) edit->setToolTip(hint);
    switch (keys) {
      case Keys::Any: break;
      case Keys::Digits: FieldKeys::acceptOnly(edit); break;
      case Keys::DigitsDot: FieldKeys::acceptOnly(edit, QStringLiteral(".")); break;
      case Keys::DigitsSlash: FieldKeys::acceptOnly(edit, QStringLiteral("/")); break;
      case Keys::Chamber: FieldKeys::acceptOnly(edit, QStringLiteral("Oo")); break;
      case Keys::Sex: edit->setAcceptedChars(QStringLiteral("12")); break;
      case Keys::Pension: edit->setAcceptedChars(QStringLiteral(" IiNn")); break;
    }
    auto *l = new QLabel(label, page1);
    l->setBuddy(edit);
    grid->addWidget(l, row, col * 2);
    grid->addWidget(edit, row, col * 2 + 1);
    if (++row == 13) {
      row = 0;
      ++col;
    }
  };

  field(Edit1, "Edit1", QStringLiteral("ID"), 0, Keys::Any);
  Edit1->setReadOnly(true);
  field(Edit2, "Edit2", QStringLiteral("Kód"), 0, Keys::Any);
  Edit2->setReadOnly(true);
  field(Edit3, "Edit3", QStringLiteral("Neve"), 45, Keys::Any);
  field(Edit4, "Edit4", QStringLiteral("Ir.szám"), 4, Keys::Digits);
  field(Edit5, "Edit5", QStringLiteral("Helységnév"), 45, Keys::Any);
  field(Edit6, "Edit6", QStringLiteral("Utcanév"), 45, Keys::Any, QStringLiteral("Csak az utca neve"));
  field(Edit7, "Edit7", QStringLiteral("Adóazonositó"), 10, Keys::Digits);
  field(Edit10, "Edit10", QStringLiteral("Szja %"), 3, Keys::Digits, QStringLiteral("Szja levonás % -a."),
        QStringLiteral("0"));
  field(Edit11, "Edit11", QStringLiteral("Születési hely"), 45, Keys::Any);
  field(Edit12, "Edit12", QStringLiteral("Születési idő"), 0, Keys::DigitsDot);
  field(Edit13, "Edit13", QStringLiteral("Anyja neve"), 45, Keys::Any);
  field(Edit16, "Edit16", QStringLiteral("Neme"), 0, Keys::Sex, QString(), QStringLiteral("1"));
  field(Edit17, "Edit17", QStringLiteral("Születési név"), 45, Keys::Any);
  field(Edit19, "Edit19", QStringLiteral("Adószám"), 11, Keys::DigitsSlash, QStringLiteral("Kötöjel nélkül"));
  field(Edit20, "Edit20", QStringLiteral("Bank szla"), 26, Keys::Any);
  field(Edit23, "Edit23", QStringLiteral("Kamarai nyilv.szám"), 20, Keys::Chamber,
        QStringLiteral("16 karakterből álló agrárkamarai nyilvántartási szám."));
  field(Edit24, "Edit24", QStringLiteral("FELIR azonosító:"), 9, Keys::Any);
  field(Edit25, "Edit25", QStringLiteral("Kerület"), 20, Keys::Any);
  field(Edit26, "Edit26", QStringLiteral("Közterület"), 20, Keys::Any, QStringLiteral("Utca, tér, körút, stb."));
  field(Edit27, "Edit27", QStringLiteral("Házszám"), 20, Keys::Any);
  field(Edit28, "Edit28", QStringLiteral("Épület"), 20, Keys::Any);
  field(Edit29, "Edit29", QStringLiteral("Lépcsőház"), 20, Keys::Any);
  field(Edit30, "Edit30", QStringLiteral("Szint"), 20, Keys::Any);
  field(Edit31, "Edit31", QStringLiteral("Ajtó"), 20, Keys::Any);
  field(Edit32, "Edit32", QStringLiteral("Fiz.hat. nap"), 0, Keys::Digits, QStringLiteral("Banki fizetés, napokban"),
        QStringLiteral("0"));
  field(Edit33, "Edit33", QStringLiteral("Közösségi adószám"), 20, Keys::Any);
  field(Edit34, "Edit34", QStringLiteral("Nébih tevékenység azonositó"), 15, Keys::Any,
        QStringLiteral("Dupla klikk: NEBIH"));
  field(Edit35, "Edit35", QStringLiteral("Érvényesség kezdete"), 10, Keys::Any,
        QStringLiteral("Dupla klikk: 2021.01.01"));
  field(Edit36, "Edit36", QStringLiteral("Családi gazd.nyilv.száma 2021. évtől"), 13, Keys::Any,
        QStringLiteral("Dupla klikk: OCSG-"));
  field(Edit8, "Edit8", QString(), 7, Keys::Any,
        QStringLiteral("Az új (kártya alapú) östermelöi igazolvány elsö hét karaktere."));
  field(Edit9, "Edit9", QStringLiteral("Reg.szám"), 10, Keys::Any);
  field(Edit15, "Edit15", QStringLiteral("Családi gazd.szám 2021.01.01 -ig"), 8, Keys::DigitsSlash,
        QStringLiteral("8 karakter kötőjelek nélkül."));
  field(Edit18, "Edit18", QStringLiteral("TAJ"), 9, Keys::Digits);
  field(Edit21, "Edit21", QStringLiteral("Érvényesítve"), 10, Keys::Any,
        QStringLiteral("Igazolvány hatályosság vég dátuma."));
  field(Edit14, "Edit14", QStringLiteral("M.nyugdíj pénztártag"), 1, Keys::Pension,
        QStringLiteral("I = igen, N = nem, üres = nem"));
  field(Edit22, "Edit22", QStringLiteral("Betétlap száma"), 12, Keys::Any);

  // Widths of the fields without a limit: ID, code, date, sex, days.
  for (auto [edit, chars] : {std::pair{Edit1, 8}, {Edit2, 5}, {Edit12, 10}, {Edit16, 2}, {Edit32, 4}})
    edit->setWidthChars(chars);

  Memo1 = new QPlainTextEdit(page2);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setTabChangesFocus(true);
  auto *notes = new QVBoxLayout(page2);
  notes->addWidget(Memo1);
  // At most 1000 characters, typed or pasted.
  connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
    const QString t = Memo1->toPlainText();
    if (t.size() > 1000) {
      Memo1->setPlainText(t.left(1000));
      Memo1->moveCursor(QTextCursor::End);
    }
  });

  QHBoxLayout *buttons = MakeEntryButtons(this, Button2, Button3, &TForm5::Button2Click, &TForm5::Button3Click);

  auto *root = new QVBoxLayout(this);
  root->addWidget(PageControl1);
  root->addLayout(buttons);

  for (QLineEdit *e : {Edit16, Edit34, Edit35, Edit36}) e->installEventFilter(this);
  FieldKeys::installEnterNavigation(this);
  FieldKeys::ignoreEscape(this);
}

TForm5::~TForm5() = default;

void TForm5::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!shown_) {
    shown_ = true;
    RunGuarded([this] { FormShow(); });
  }
}

void TForm5::FormShow() {
  setWindowTitle(OstermeloMod);
  if (OstermeloMod == kNew) Edit2->setText(NextProducerCode());
  Edit3->setFocus();
}

void TForm5::LoadProducer() {
  try {
    db::Query *q = Data->ZQ30;
    auto s = [q](const char *name) { return q->fieldByName(QString::fromLatin1(name)).asString(); };
    auto d = [q](const char *name) { return dateText(q->fieldByName(QString::fromLatin1(name))); };
    Edit1->setText(s("ID_ostermelo"));
    Edit2->setText(s("o_kod"));
    Edit3->setText(s("o_Nev"));
    Edit4->setText(s("o_Irszam"));
    Edit5->setText(s("o_Helysegnev"));
    Edit6->setText(s("o_Utca"));
    Edit7->setText(s("o_Adoazon"));
    Edit8->setText(s("o_Igszam"));
    Edit9->setText(s("o_Regszam"));
    Edit10->setText(s("o_Szja"));
    Edit11->setText(s("o_Szulhely"));
    Edit12->setText(d("o_Szido"));
    Edit13->setText(s("o_Anyja"));
    Edit14->setText(s("O_MNYPTAG"));
    Edit15->setText(s("o_Csgazd"));
    Edit16->setText(s("o_Neme"));
    Edit17->setText(s("o_Szulnev"));
    Edit18->setText(s("o_TAJ"));
    Edit19->setText(s("o_Adoszam"));
    Edit20->setText(s("o_Bankszla"));
    Edit21->setText(d("O_ERVKELT"));
    Edit22->setText(s("O_BETETLAP"));
    Edit23->setText(s("o_kamara"));
    Edit24->setText(s("o_felir"));
    Edit25->setText(s("O_KERULET"));
    Edit26->setText(s("O_JELLEG"));
    Edit27->setText(s("O_HAZSZAM"));
    Edit28->setText(s("O_EPULET"));
    Edit29->setText(s("O_LEPCSO"));
    Edit30->setText(s("O_SZINT"));
    Edit31->setText(s("O_AJTO"));
    Edit32->setText(s("O_FHAT"));
    Edit33->setText(s("O_KOZADOSZAM"));
    Edit34->setText(s("o_Igszam1"));
    Edit35->setText(d("O_ERVKELT1"));
    Edit36->setText(s("o_Csgazd1"));
    Memo1->setPlainText(s("O_FELJEGYZ"));
  } catch (const std::exception &) {
    platform::showFailure(lcApp(),
                          QStringLiteral("Hiba51 az őstermelő módosítás Edit-ben való megjelenitésekor!"));
  }
}

void TForm5::Edit16Exit() {
  if (Edit16->text() == QLatin1String("1")) Edit17->setText(Edit3->text());
}

bool TForm5::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Edit16 && event->type() == QEvent::FocusOut) {
    Edit16Exit();
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == Edit34) Edit34->setText(QStringLiteral("NEBIH"));
    if (watched == Edit35) Edit35->setText(QStringLiteral("2021.01.01"));
    if (watched == Edit36) Edit36->setText(QStringLiteral("OCSG-"));
  }
  return QDialog::eventFilter(watched, event);
}

bool TForm5::Stop(const QString &message, QWidget *field) {
  platform::showMessage(message);
  PageControl1->setCurrentIndex(0);
  field->setFocus();
  return false;
}

bool TForm5::Validate() {
  if (empty(Edit3)) return Stop(QStringLiteral("Nincs megadva a neve!"), Edit3);
  if (empty(Edit4)) return Stop(QStringLiteral("Nincs megadva az irányitószám!"), Edit4);
  if (checks::trimText(Edit4->text()).size() < 4)
    return Stop(QStringLiteral("Az irányitószám kevesebb mint 4 karakter!"), Edit4);
  if (empty(Edit5)) return Stop(QStringLiteral("Nincs megadva a helységnév!"), Edit5);
  if (empty(Edit6)) return Stop(QStringLiteral("Nincs megadva az utca!"), Edit6);
  if (empty(Edit7)) return Stop(QStringLiteral("Nincs megadva az adóazonositó!"), Edit7);
  if (empty(Edit10)) return Stop(QStringLiteral("Nincs megadva az szja!"), Edit10);
  if (empty(Edit11)) return Stop(QStringLiteral("Nincs megadva a születési hely!"), Edit11);
  if (empty(Edit12)) return Stop(QStringLiteral("Nincs megadva a születési idő!"), Edit12);
  if (empty(Edit13)) return Stop(QStringLiteral("Nincs megadva az anyja neve!"), Edit13);
  if (empty(Edit16)) return Stop(QStringLiteral("Nincs megadva a neme!"), Edit16);
  if (empty(Edit17)) return Stop(QStringLiteral("Nincs megadva a születési neve!"), Edit17);
  if (empty(Edit32)) return Stop(QStringLiteral("Nincs megadva a napok száma vagy nulla!"), Edit32);
  // An out-of-range number raises the class library's conversion error.
  if (platform::StrToInt(Edit32->text()) < 0) return Stop(QStringLiteral("Hibás szám vagy nullát adjon meg!"), Edit32);
  const int community = checks::trimText(Edit33->text()).size();
  if (community >= 1 && community <= 7)
    return Stop(QStringLiteral("Közösségi adószám kevesebb mint 8 karakter!"), Edit33);
  if (empty(Edit19)) return Stop(QStringLiteral("Nincs megadva az adószáma!"), Edit19);
  QDate date;
  if (!platform::TryStrToDate(Edit12->text(), date))
    return Stop(QStringLiteral("A születési idö dátum formátuma nem megfelelö!"), Edit12);
  if (Edit7->text().size() != 10) return Stop(QStringLiteral("Nem 10 hosszú számsor"), Edit7);
  if (!Data->AdoazonEllenorzes(Edit7->text())) return Stop(QStringLiteral("Hibás adóazonositó"), Edit7);
  if (Edit19->text().size() != 11) return Stop(QStringLiteral("Kevesebb mint 11 hosszú számsor"), Edit19);
  if (!Data->AdoszamEllenorzes(Edit19->text())) return Stop(QStringLiteral("Hibás adószám"), Edit19);
  if (!platform::TryStrToDate(Edit35->text(), date))
    return Stop(QStringLiteral("Az érvényesség kezdete dátum formátuma nem megfelelö!"), Edit35);
  if (!given(Edit24) && !given(Edit36) && !given(Edit34))
    return Stop(QStringLiteral("FELIR vagy OCSG vagy NÉBIH nem kitöltött!"), Edit24);
  if (given(Edit24)) {
    if (Edit24->text().size() != 9) return Stop(QStringLiteral("Nem 9 hosszú FELIR szám!"), Edit24);
    Data->felir(Edit24->text());
    if (FelirHiba == QLatin1String("1")) return Stop(QStringLiteral("Hibás FELIR szám!"), Edit24);
  }
  if (given(Edit36)) {
    if (Edit36->text().size() != 13) return Stop(QStringLiteral("Nem 13 hosszú OCSG szám!"), Edit36);
    Data->ocsg(Edit36->text());
    if (OcsgHiba == QLatin1String("1")) return Stop(QStringLiteral("Hibás OCSG szám!"), Edit36);
  }
  if (given(Edit34)) {
    if (Edit34->text().size() != 15) return Stop(QStringLiteral("Nem 15 hosszú NÉBIH azonositó!"), Edit34);
    Data->nebih(Edit34->text());
    if (NebihHiba == QLatin1String("1")) return Stop(QStringLiteral("Hibás NÉBIH azonositó!"), Edit34);
  }
  return true;
}

// Two producers with one code would both be joined to the tickets of that
// code: a code another row holds is refused (in a new entry a fresh code is
// proposed, as another user may have taken this one meanwhile).
bool TForm5::CodeIsFree() {
  const bool isNew = OstermeloMod == kNew;
  const bool taken = CodeHeldByAnother(
      Data->ZQ31,
      {QStringLiteral("SELECT count(*) AS db FROM ostermelo "),
       QStringLiteral("  WHERE o_kod = CAST(:p1 AS VARCHAR(32765)) AND ID_ostermelo <> :p0 ")},
      Edit2->text(), isNew ? -1 : platform::StrToInt(Edit1->text()));
  if (!taken) return true;
  // The system's notice for something that already exists: Yes only.
  platform::confirmYes(QStringLiteral("Már létezik!"));
  if (isNew) Edit2->setText(NextProducerCode());
  return false;
}

bool TForm5::Save() {
  const bool isNew = OstermeloMod == kNew;
  db::Query *q = Data->ZQ30;
  const bool ok = Data->Write(
      isNew ? QStringLiteral("Hiba52: Újban, INSERT az östermelöben ")
            : QStringLiteral("Hiba53: Módositás, Update a östermelöben "),
      [&](WriteSteps &) {
        if (isNew) {
          QString values = QStringLiteral("  VALUES ( ");
          for (int i = 1; i <= 36; ++i)
            values += QStringLiteral(":p%1%2").arg(i).arg(i < 36 ? QStringLiteral(", ") : QStringLiteral(" ) "));
          q->setSql(
              {QStringLiteral("INSERT INTO ostermelo ( o_kod, o_Nev, o_Irszam, o_Helysegnev, o_Utca, "
                              "o_Adoazon, o_Adoszam, o_TAJ, o_Igszam, o_Regszam, o_Csgazd, o_Szulnev, "),
               QStringLiteral("  o_Szulhely, o_Szido, o_Anyja, o_Neme, o_Bankszla, o_Szja, o_Ervkelt, "
                              "o_mnyptag, o_betetlap, o_kamara, o_felir, "),
               QStringLiteral("  O_KERULET, O_JELLEG, O_HAZSZAM, O_EPULET, O_LEPCSO, O_SZINT, O_AJTO, "
                              "O_FHAT, O_KOZADOSZAM, O_FELJEGYZ, O_IGSZAM1, O_ERVKELT1, O_CSGAZD1 ) "),
               values});
        } else {
          q->setSql(QStringLiteral("UPDATE ostermelo SET ID_ostermelo = :p0, "));
          q->sql().add(QStringLiteral("  o_kod = :p1, o_Nev = :p2, o_Irszam = :p3, o_Helysegnev = :p4, o_Utca = :p5, "
                                      "o_Adoazon = :p6, o_Adoszam = :p7, o_TAJ = :p8, o_Igszam = :p9, "));
          q->sql().add(QStringLiteral("  o_Regszam = :p10, o_Csgazd = :p11, o_Szulnev = :p12, o_Szulhely = :p13, "
                                      "o_Szido = :p14, o_Anyja = :p15, o_Neme = :p16, o_Bankszla = :p17, "));
          q->sql().add(QStringLiteral("  o_Szja = :p18, o_Ervkelt = :p19, o_mnyptag = :p20, o_betetlap = :p21, "
                                      "o_kamara = :p22, o_felir = :p23, O_KERULET = :p24, O_JELLEG = :p25, "));
          q->sql().add(QStringLiteral("  O_HAZSZAM = :p26, O_EPULET = :p27, O_LEPCSO = :p28, O_SZINT = :p29, "
                                      "O_AJTO = :p30, O_FHAT = :p31, O_KOZADOSZAM = :p32, O_FELJEGYZ = :p33, "));
          q->sql().add(QStringLiteral("  O_IGSZAM1 = :p34, O_ERVKELT1 = :p35, O_CSGAZD1 = :p36 "));
          q->sql().add(QStringLiteral("  WHERE ID_ostermelo = :p0 "));
          q->paramByName(QStringLiteral("p0")).setInteger(platform::StrToInt(Edit1->text()));
        }
        auto str = [q](int n, const QString &v) { q->paramByName(QStringLiteral("p%1").arg(n)).setString(v); };
        str(1, Edit2->text());
        str(2, Edit3->text());
        str(3, Edit4->text());
        str(4, Edit5->text());
        str(5, Edit6->text());
        str(6, Edit7->text());
        str(7, Edit19->text());
        str(8, Edit18->text());
        str(9, Edit8->text());
        str(10, Edit9->text());
        str(11, Edit15->text());
        str(12, Edit17->text());
        str(13, Edit11->text());
        q->paramByName(QStringLiteral("p14")).setDate(platform::StrToDate(Edit12->text()));
        str(15, Edit13->text());
        str(16, Edit16->text());
        str(17, Edit20->text());
        q->paramByName(QStringLiteral("p18")).setFloat(static_cast<double>(platform::StrToFloat(Edit10->text())));
        if (isNew) {
          q->paramByName(QStringLiteral("p19")).setDate(QDate(1900, 1, 1));
        } else if (checks::trimText(Edit21->text()).isEmpty()) {
          // A producer stored without this date (an import) stays without it.
          q->paramByName(QStringLiteral("p19")).setNull();
        } else {
          q->paramByName(QStringLiteral("p19")).setDate(platform::StrToDate(Edit21->text()));
        }
        str(20, Edit14->text());
        str(21, Edit22->text());
        str(22, Edit23->text());
        str(23, Edit24->text());
        str(24, Edit25->text());
        str(25, Edit26->text());
        str(26, Edit27->text());
        str(27, Edit28->text());
        str(28, Edit29->text());
        str(29, Edit30->text());
        str(30, Edit31->text());
        q->paramByName(QStringLiteral("p31")).setInteger(platform::StrToInt(Edit32->text()));
        str(32, Edit33->text());
        str(33, Memo1->toPlainText());
        str(34, Edit34->text());
        q->paramByName(QStringLiteral("p35")).setDate(platform::StrToDate(Edit35->text()));
        str(36, Edit36->text());
        q->execute();
      });
  if (!ok) return false;
  AktOstermeloKod = Edit2->text();
  ReopenListAtCode([] { OpenProducerList(); }, Data->ZQ30, QStringLiteral("o_kod"), AktOstermeloKod,
                   QStringLiteral("Hiba54: az append vagy edit közben az östermelöben!"));
  return true;
}

void TForm5::Button2Click() {
  if (!Validate()) return;
  if (!CodeIsFree()) return;
  if (!Save()) return;
  if (onSaved) onSaved();
  accept();
}

void TForm5::Button3Click() { reject(); }

// The data checks dialog driven as the user drives it over a real embedded
// database: one producer or ticket line per kind of fault, findings compared
// line by line with the texts written out here, the single checks with a
// right and a wrong value each.
#include "support/data_fixture.h"
#include "grid_check.h"
#include "app/MenuCommands.h"
#include "exchange/checks/CheckFindings.h"
#include "exchange/checks/Unit14.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>

using namespace vorik::test;

namespace {

class DataChecks : public DataModuleTest {
 protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    AtvevoKod = QStringLiteral("1");
  }

  // A producer whose data passes every check, under code and name, with the
  // columns of changes replaced (an empty text stands for NULL).
  void producer(const QString &kod, const QString &nev, const QHash<QString, QString> &changes = {}) {
    QList<QPair<QString, QString>> cols = {
        {"o_kod", kod},           {"o_nev", nev},           {"o_adoszam", "12345676123"},
        {"o_adoazon", "8123456786"}, {"o_taj", "111111110"}, {"o_irszam", "6000"},
        {"o_helysegnev", "Kecskemét"}, {"o_utca", "Fő"},     {"o_igszam", "AB123456"},
        {"o_szulhely", "Szeged"}, {"o_szido", "1970-05-06"}, {"o_anyja", "Minta Mária"},
        {"o_neme", "1"},          {"o_szulnev", "Minta Név"}};
    QStringList names, values;
    for (auto &[c, v] : cols) {
      names << c;
      const QString value = changes.contains(c) ? changes.value(c) : v;
      values << (value.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + value + QLatin1Char('\''));
    }
    exec(QStringLiteral("INSERT INTO ostermelo (%1) VALUES (%2)").arg(names.join(", "), values.join(", ")));
  }

  // A ticket of serial n (25000000 + n) with one line. Header and line
  // columns as for a clean printed ticket, with changes applied ("" = NULL).
  void ticket(int n, const QString &producerCode, const QHash<QString, QString> &changes = {}) {
    const QString serial = QString::number(25000000 + n);
    auto v = [&](const char *column, const QString &value) {
      const QString x = changes.contains(column) ? changes.value(column) : value;
      return x.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + x + QLatin1Char('\'');
    };
    exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_ostermkod, f_akod, f_fizkelt, f_szja, f_prn) "
                        "VALUES ('%1', %2, %3, %4, %5, %6)")
             .arg(serial, v("f_ostermkod", producerCode), v("f_akod", "1"), v("f_fizkelt", "2025-03-10"),
                  v("f_szja", "15"), v("f_prn", "I")));
    exec(QStringLiteral("INSERT INTO qzsor (s_bszam, s_termekkod, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
                        "VALUES ('%1', %2, %3, 0, %4, %5)")
             .arg(serial, v("s_termekkod", "1"), v("s_brutto", "10"), v("s_ear", "100"), v("s_kompmerteke", "12")));
  }

  // Every kind of fault the checks report, one producer or line each.
  void faultFixture() {
    producer("1", "Termelő Egy");
    producer("2", "Termelő Kettő", {{"o_adoszam", "12345677123"}});
    producer("3", "Termelő Három", {{"o_adoszam", "1234567"}});
    producer("4", "Termelő Négy", {{"o_adoazon", "8123456784"}});
    producer("5", "Termelő Öt", {{"o_adoazon", "812345678"}});
    producer("6", "Termelő Hat", {{"o_taj", "111111111"}});
    producer("7", "Termelő Hét", {{"o_taj", "11111111X"}});
    producer("8", "Termelő Nyolc", {{"o_taj", ""}});
    producer("9", "Termelő Kilenc",
             {{"o_irszam", ""}, {"o_helysegnev", ""}, {"o_utca", ""}, {"o_igszam", ""}, {"o_szulhely", ""},
              {"o_szido", ""}, {"o_anyja", ""}, {"o_neme", ""}, {"o_szulnev", ""}});
    producer("10", "");
    for (int i = 1; i <= 8; ++i) ticket(i, QString::number(i));
    ticket(9, "");  // no producer on the ticket
    ticket(10, "9");
    ticket(11, "1", {{"f_szja", ""}, {"f_prn", ""}, {"s_termekkod", ""}});
    ticket(12, "1", {{"s_brutto", ""}});
    ticket(13, "1", {{"s_brutto", "0"}});
    ticket(14, "1", {{"s_brutto", "-10"}});  // a cancelling document's line passes
    ticket(15, "1", {{"s_ear", ""}});
    ticket(16, "1", {{"s_ear", "0"}});
    ticket(17, "1", {{"s_ear", "-5"}});
    ticket(18, "1", {{"s_kompmerteke", ""}});
    ticket(19, "1", {{"s_kompmerteke", "10"}});
    ticket(20, "1", {{"s_kompmerteke", "12.5"}});
    ticket(21, "1", {{"s_kompmerteke", "7"}});
    ticket(22, "2", {{"f_fizkelt", "2024-12-31"}});  // outside the range
    ticket(23, "2", {{"f_akod", "2"}});              // another receiver's
    ticket(24, "10");
  }

  // Runs steps on the dialog opened through its menu command.
  void withDialog(const std::function<void(TForm14 *)> &steps) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      steps(qobject_cast<TForm14 *>(dlg));
      closeWindow(dlg);
    });
    ASSERT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("Ellenrzs2")); }));
  }

  static void setRange(TForm14 *f, QDate from, QDate to) {
    f->DateTimePicker1->setDate(from);
    f->DateTimePicker2->setDate(to);
  }
};

// The lines of one check: start, findings, end, a blank line.
QStringList check(const QString &name, const QStringList &findings) {
  return QStringList{"    " + name + " ellenörzés... "} + findings +
         QStringList{"    " + name + " ellenörzés vége. ", " "};
}

const char *const kTicketChecks[] = {"Adószám", "Adóazonositó", "TAJ", "Östermelökód", "Östermelö név",
                                     "Östermelö irányitószám", "Östermelö Helységnév", "Östermelö Utca",
                                     "Östermelö ig.szám", "Östermelö születési hely", "Östermelö születési idö",
                                     "Östermelö anyja neve", "Östermelö neme", "Östermelö születési neve", "Szja",
                                     "Volt-e nyomtatva?", "Termékkód", "Mennyiség", "Egységár", "Komp.felár"};
const QString kClosing = QStringLiteral("Klikk az ablakba és kurzor billentyüvel mozoghat benne. ");

QStringList emptyTicketReport() {
  QStringList l;
  for (const char *name : kTicketChecks) l += check(QString::fromUtf8(name), {});
  return l << kClosing;
}

QStringList memoLines(QPlainTextEdit *m) { return m->toPlainText().split(QLatin1Char('\n')); }

TEST_F(DataChecks, TicketChecksGiveEachFindingInOrderAndACleanLineGivesNone) {
  faultFixture();
  QStringList memo;
  withDialog([&](TForm14 *f) {
    setRange(f, QDate(2025, 1, 1), QDate(2025, 12, 31));
    f->Button1Click();
    f->Button2Click();
    memo = memoLines(f->Memo1);
  });
  QStringList expected;
  expected += check("Adószám", {"Hiba (hibás adószám): 12345677123 Termelő Kettő Kódja: 2",
                                "Hiba (kevesebb nyolc számnál): 1234567 Termelő Három Kódja: 3",
                                "Hiba (kevesebb nyolc számnál):   Kódja: "});
  expected += check("Adóazonositó", {"Hiba (hibás adóazonositó): 8123456784 Termelő Négy Kódja: 4",
                                     "Hiba (kevesebb tiz számnál): 812345678 Termelő Öt Kódja: 5",
                                     "Hiba (kevesebb tiz számnál):   Kódja: "});
  expected += check("TAJ", {"Hiba (hibás TAJ): 111111111 Termelő Hat Kódja: 6",
                            "Hiba (hibás TAJ): 11111111X Termelő Hét Kódja: 7",
                            "Hiba (kevesebb 9 számnál):  Termelő Nyolc Kódja: 8",
                            "Hiba (kevesebb 9 számnál):   Kódja: "});
  expected += check("Östermelökód", {"Hiba (nincs östermelö megadva): 25000009"});
  expected += check("Östermelö név", {"Hiba (nincs östermelö név megadva): 25000009",
                                      "Hiba (nincs östermelö név megadva): 25000024"});
  expected += check("Östermelö irányitószám", {"Hiba (nincs östermelö irányitószám megadva): 25000009",
                                               "Hiba (nincs östermelö irányitószám megadva): 25000010"});
  expected += check("Östermelö Helységnév", {"Hiba (nincs östermelö Helységnév megadva): 25000009",
                                             "Hiba (nincs östermelö Helységnév megadva): 25000010"});
  expected += check("Östermelö Utca", {"Hiba (nincs östermelö Utca megadva): 25000009",
                                       "Hiba (nincs östermelö Utca megadva): 25000010"});
  expected += check("Östermelö ig.szám", {"Hiba (nincs östermelö ig.szám megadva): 25000009",
                                          "Hiba (nincs östermelö ig.szám megadva): 25000010"});
  expected += check("Östermelö születési hely", {"Hiba (nincs östermelö születési hely megadva): 25000009",
                                                 "Hiba (nincs östermelö születési hely megadva): 25000010"});
  expected += check("Östermelö születési idö", {"Hiba (nincs östermelö születési idö megadva): 25000009",
                                                "Hiba (nincs östermelö születési idö megadva): 25000010"});
  expected += check("Östermelö anyja neve", {"Hiba (nincs östermelö anyja neve megadva): 25000009",
                                             "Hiba (nincs östermelö anyja neve megadva): 25000010"});
  expected += check("Östermelö neme", {"Hiba (nincs östermelö neme megadva): 25000009",
                                       "Hiba (nincs östermelö neme megadva): 25000010"});
  expected += check("Östermelö születési neve", {"Hiba (nincs östermelö születési neve megadva): 25000009",
                                                 "Hiba (nincs östermelö születési neve megadva): 25000010"});
  expected += check("Szja", {"Hiba (nincs szja (minimum 0) megadva): 25000011"});
  expected += check("Volt-e nyomtatva?", {"Figyelmeztetés (még nincs kinyomtatva): 25000011"});
  expected += check("Termékkód", {"Figyelmeztetés (nincs termékkód megadva): 25000011"});
  expected += check("Mennyiség", {"Hiba (nincs mennyiség megadva): 25000012",
                                  "Hiba (nullás mennyiség van megadva): 25000013"});
  expected += check("Egységár", {"Hiba (nincs egységár megadva): 25000015",
                                 "Hiba (nullás egységár van megadva): 25000016",
                                 "Hiba (nulla vagy minuszos egységár van megadva): 25000017"});
  expected += check("Komp.felár", {"Hiba (nincs Komp.felár megadva): 25000018",
                                   "Hiba (nem 7, 12 % van megadva): 25000019",
                                   "Hiba (nem 7, 12 % van megadva): 25000020"});
  expected << kClosing;
  EXPECT_EQ(memo, expected);
}

TEST_F(DataChecks, AProducerIsReportedOncePerLineAndAnEmptyRangeGivesOnlyTheFrame) {
  producer("1", "Termelő Egy", {{"o_taj", ""}});
  ticket(1, "1");
  exec("INSERT INTO qzsor (s_bszam, s_termekkod, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
       "VALUES ('25000001', '2', 5, 0, 10, 7)");
  QStringList inRange, empty;
  withDialog([&](TForm14 *f) {
    setRange(f, QDate(2025, 3, 10), QDate(2025, 3, 10));  // both ends included
    f->Button1Click();
    f->Button2Click();
    inRange = memoLines(f->Memo1);
    setRange(f, QDate(2025, 3, 11), QDate(2025, 12, 31));
    f->Button1Click();
    f->Button2Click();
    empty = memoLines(f->Memo1);
  });
  ASSERT_GT(inRange.size(), 10);
  EXPECT_EQ(inRange.mid(6, 4), QStringList({"    TAJ ellenörzés... ", "Hiba (kevesebb 9 számnál):  Termelő Egy Kódja: 1",
                                            "Hiba (kevesebb 9 számnál):  Termelő Egy Kódja: 1",
                                            "    TAJ ellenörzés vége. "}));
  EXPECT_EQ(empty, emptyTicketReport());
}

TEST_F(DataChecks, EachTabChecksOnlyItsOwnGatheredRows) {
  faultFixture();
  QStringList ticketsBefore, producersBefore, producersAfterTicketGather, ticketsAfterProducerGather;
  withDialog([&](TForm14 *f) {
    // Rows another dialog left in the shared query are not this dialog's.
    Data->ZQ20->sql().clear();
    Data->ZQ20->sql().add("SELECT * FROM ostermelo");
    Data->ZQ20->open();
    setRange(f, QDate(2025, 1, 1), QDate(2025, 12, 31));
    f->Button2Click();
    ticketsBefore = memoLines(f->Memo1);
    f->Button13Click();
    producersBefore = memoLines(f->Memo2);
    f->Button1Click();  // tickets gathered: the producer tab still has none
    f->Button13Click();
    producersAfterTicketGather = memoLines(f->Memo2);
    f->Button12Click();  // producers gathered: the ticket tab keeps its lines
    f->Button2Click();
    ticketsAfterProducerGather = memoLines(f->Memo1);
  });
  EXPECT_EQ(ticketsBefore, emptyTicketReport());
  EXPECT_EQ(producersBefore.size(), 13 * 3);
  EXPECT_TRUE(producersBefore.filter("Hiba").isEmpty());
  EXPECT_EQ(producersAfterTicketGather, producersBefore);
  EXPECT_TRUE(ticketsAfterProducerGather.contains("Hiba (nincs östermelö megadva): 25000009"));
  EXPECT_EQ(ticketsAfterProducerGather.filter("Kódja: 10").size(), 0);  // producer 10 has a line only as 25000024
}

TEST_F(DataChecks, ProducerChecksOverAllProducers) {
  faultFixture();
  QStringList memo;
  withDialog([&](TForm14 *f) {
    f->PageControl1->setCurrentIndex(2);
    f->Button12Click();
    f->Button13Click();
    memo = memoLines(f->Memo2);
  });
  QStringList expected;
  expected += check("Adószám", {"Hiba (hibás adószám): 12345677123 Termelő Kettő Kódja: 2",
                                "Hiba (kevesebb nyolc számnál): 1234567 Termelő Három Kódja: 3"});
  expected += check("Adóazonositó", {"Hiba (hibás adóazonositó): 8123456784 Termelő Négy Kódja: 4",
                                     "Hiba (kevesebb tiz számnál): 812345678 Termelő Öt Kódja: 5"});
  expected += check("TAJ", {"Hiba (hibás TAJ): 111111111 Termelő Hat Kódja: 6",
                            "Hiba (hibás TAJ): 11111111X Termelő Hét Kódja: 7",
                            "Hiba (kevesebb 9 számnál):  Termelő Nyolc Kódja: 8"});
  expected += check("Östermelö név", {"Hiba (nincs östermelö név megadva)   Kódja: 10"});
  expected += check("Östermelö irányitószám", {"Hiba (nincs östermelö irányitószám megadva)  Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö Helységnév", {"Hiba (nincs östermelö Helységnév megadva):  Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö Utca", {"Hiba (nincs östermelö Utca megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö ig.szám", {"Hiba (nincs östermelö ig.szám megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö születési hely",
                    {"Hiba (nincs östermelö születési hely megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö születési idö",
                    {"Hiba (nincs östermelö születési idö megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö anyja neve", {"Hiba (nincs östermelö anyja neve megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö neme", {"Hiba (nincs östermelö neme megadva)   Termelő Kilenc Kódja: 9"});
  expected += check("Östermelö születési neve",
                    {"Hiba (nincs östermelö születési neve megadva)   Termelő Kilenc Kódja: 9"});
  EXPECT_EQ(memo, expected);
}

TEST(DataCheckFindings, ABirthDateTextThatIsNoDateIsReported) {
  datachecks::ProducerCheckRow r{"5", "12345676123", "8123456786", "111111110", "Kiss Anna", "6000", "Szeged",
                                 "Fő", "AB123456", "Szeged", "2025.02.30", "Minta Mária", "2", "Kiss Anna"};
  const QStringList lines = datachecks::producerCheckLines(datachecks::readFrom(std::vector{r}));
  EXPECT_EQ(lines.filter("Hiba"), QStringList({"Hiba (Hibás östermelö születési idö )   Kiss Anna Kódja: 5"}));
  r.oSzido = "1970.05.06";
  EXPECT_TRUE(datachecks::producerCheckLines(datachecks::readFrom(std::vector{r})).filter("Hiba").isEmpty());
}

TEST_F(DataChecks, SingleChecksGiveTheirVerdicts) {
  struct Case {
    const char *edit, *button, *label, *text, *verdict;
  };
  const Case cases[] = {
      {"Edit1", "Button4", "Label6", "12345676-1-23", "Az adószám rendben"},
      {"Edit1", "Button4", "Label6", "12345676123", "Az adószám rendben"},
      {"Edit1", "Button4", "Label6", "12345677-1-23", "Hibaüzenet: Hibás adószám"},
      {"Edit1", "Button4", "Label6", "1234567/-1-23", "Hibaüzenet: Hibás adószám"},
      {"Edit1", "Button4", "Label6", "123456761", "Hibaüzenet: Nem 11 vagy 13 hosszú számsor"},
      {"Edit2", "Button5", "Label8", "8123456786", "Az azóazonositó rendben"},
      {"Edit2", "Button5", "Label8", "8123456784", "Hibaüzenet: Hibás adóazonositó"},
      {"Edit2", "Button5", "Label8", "81234X6786", "Hibaüzenet: Hibás adóazonositó"},
      {"Edit2", "Button5", "Label8", "812345678", "Hibaüzenet: Nem 10 hosszú számsor"},
      {"Edit3", "Button8", "Label10", "111 111 110", "A TAJ rendben"},
      {"Edit3", "Button8", "Label10", "111111110", "A TAJ rendben"},
      {"Edit3", "Button8", "Label10", "111111111", "Hibaüzenet: Hibás TAJ"},
      {"Edit3", "Button8", "Label10", "11111111X", "Hibaüzenet: Hibás TAJ"},
      {"Edit3", "Button8", "Label10", "1111111100", "Hibaüzenet: Nem 9 vagy 11 hosszú számsor"},
  };
  withDialog([&](TForm14 *f) {
    f->PageControl1->setCurrentIndex(1);
    for (const Case &c : cases) {
      f->findChild<QLineEdit *>(c.edit)->setText(QString::fromUtf8(c.text));
      f->findChild<QPushButton *>(c.button)->click();
      EXPECT_EQ(textOf(f, c.label), QString::fromUtf8(c.verdict)) << c.text;
    }
  });
}

TEST_F(DataChecks, DayCountOfNapokAgainstTheTaxIdentificationNumber) {
  // 1970.05.06 is 37745 days after 1867.01.01.
  struct Case {
    QString adoazon;
    QDate birth;
    QString days, digits, verdict;
  };
  const Case cases[] = {
      {"8377450000", QDate(1970, 5, 6), "37745", "37745", "Az adóazonositó és születési dátum összevetése rendben"},
      {"8377460000", QDate(1970, 5, 6), "37745", "37746", "Hibaüzenet: Az adóazonositó és/vagy szül.dátum hiba !"},
      {"8000010000", QDate(1867, 1, 2), "1", "00001", "Az adóazonositó és születési dátum összevetése rendben"},
      {"8ABCDE0000", QDate(1867, 1, 2), "1", "ABCDE", "Hibaüzenet: Az adóazonositó és/vagy szül.dátum hiba !"},
      {"800001000", QDate(1867, 1, 2), "1", "00001", "Hibaüzenet: Nem 10 hosszú számsor !"},
  };
  withDialog([&](TForm14 *f) {
    for (const Case &c : cases) {
      f->Edit4->setText(c.adoazon);
      f->DateTimePicker3->setDate(c.birth);
      f->Button10->click();
      EXPECT_EQ(f->Label14->text(), c.days) << c.adoazon.toStdString();
      EXPECT_EQ(f->Label16->text(), c.digits);
      EXPECT_EQ(f->Label18->text(), c.verdict);
    }
  });
  EXPECT_EQ(datachecks::daysSince1867(QDate(1866, 12, 31)), 1);  // the larger date minus the smaller
}

TEST(DataCheckFindings, AnyTypedTextGivesAVerdictOfItsSet) {
  const QStringList adoszam{"Az adószám rendben", "Hibaüzenet: Hibás adószám", "Hibaüzenet: Nem 11 vagy 13 hosszú számsor"};
  const QStringList taj{"A TAJ rendben", "Hibaüzenet: Hibás TAJ", "Hibaüzenet: Nem 9 vagy 11 hosszú számsor"};
  const QString alphabet = QStringLiteral("0123456789 -/xÁŐЖ✓\t");
  QRandomGenerator rng(19);
  for (int i = 0; i < 20000; ++i) {
    QString s;
    const int n = rng.bounded(15);
    for (int k = 0; k < n; ++k) s += alphabet.at(rng.bounded(alphabet.size()));
    bool failed = false;
    const QString v = datachecks::adoszamVerdict(s, &failed);
    ASSERT_TRUE(adoszam.contains(v)) << s.toStdString();
    EXPECT_EQ(failed, v != adoszam[0]);
    ASSERT_TRUE(taj.contains(datachecks::tajVerdict(s)));
    datachecks::adoazonVerdict(s);
    datachecks::napokVerdict(s, QDate(1970, 5, 6));
  }
}

TEST_F(DataChecks, TheDialogOpensWithNothingCut) {
  faultFixture();
  withDialog([&](TForm14 *f) {
    EXPECT_EQ(f->DateTimePicker1->date(), QDate(QDate::currentDate().year(), 1, 1));
    EXPECT_EQ(f->DateTimePicker2->date(), QDate(QDate::currentDate().year(), 12, 31));
    setRange(f, QDate(2025, 1, 1), QDate(2025, 12, 31));
    f->Button1Click();
    f->Button2Click();
    // The longest verdicts in their labels.
    f->Edit1->setText("123456761");
    f->Button4Click();
    f->Edit2->setText("8123456784");
    f->Button5Click();
    f->Edit3->setText("1111");
    f->Button8Click();
    f->Edit4->setText("8ABCDE0000");
    f->Button10Click();
    QDir().mkpath(QStringLiteral(VORIK_BINARY_DIR "/grabs"));
    for (int tab : {0, 1, 2}) {
      f->PageControl1->setCurrentIndex(tab);
      for (int inner = 0; inner < (tab == 1 ? 4 : 1); ++inner) {
        if (tab == 1) f->PageControl2->setCurrentIndex(inner);
        QApplication::processEvents();
        f->grab().save(QStringLiteral(VORIK_BINARY_DIR "/grabs/Form14_%1_%2.png").arg(tab).arg(inner));
        if (tab == 0) expectGridReadable(f, QStringLiteral("DBGrid1"));
        for (QWidget *w : f->findChildren<QWidget *>()) {
          if (w->isVisible() && (qobject_cast<QLabel *>(w) || qobject_cast<QPushButton *>(w) ||
                                 qobject_cast<QDateEdit *>(w))) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
          }
        }
      }
    }
  });
}

}  // namespace

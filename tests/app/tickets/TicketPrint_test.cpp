// Ticket printing: the report variables worked out from the lines and the
// header, what the program's ticket layout draws from them, the printed mark,
// and layouts that are missing or broken.
#include "app/tickets/TicketPrint.h"

#include "app/tickets/TicketQueries.h"
#include "db/transaction.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit8.h"
#include "app/tickets/Unit39.h"
#include "app/tickets/Unit9.h"
#include "app/producers/Unit4.h"
#include "support/cups_fixture.h"
#include "support/print_fixture.h"
#include "support/system_printers.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_View.h"
#include "tools/layouts/LayoutBuilder.h"

#include <QFile>
#include <QKeyEvent>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace vorik::test;
using TicketPrint::PrepareVariables;
using TicketPrint::Ticket;

namespace {

const report::Variant *find(const TicketPrint::Prepared &p, const char *name) {
  for (const auto &[n, v] : p.variables)
    if (n == QLatin1String(name)) return &v;
  ADD_FAILURE() << "no variable " << name;
  static const report::Variant none;
  return &none;
}
bool writeFile(const QString &name, const QByteArray &bytes) {
  QFile f(name);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString text(const TicketPrint::Prepared &p, const char *name) { return find(p, name)->toString(); }
double number(const TicketPrint::Prepared &p, const char *name) { return find(p, name)->toFloat(); }

// The worked ticket: purchase prices 8000, surcharges 960, price 8960; tax 15 %,
// contribution 2 %, no deduction.
Ticket workedTicket(bool transfer) {
  Ticket t;
  t.sums.add(8000, 960, 8960);
  t.rates = {15, 2, 0};
  t.transfer = transfer;
  t.paymentDate = QStringLiteral("2025.03.09");
  return t;
}

TEST(TicketVariables, WorkedValuesByLayoutLetter) {
  QString error;
  auto l = PrepareVariables(workedTicket(true), QStringLiteral("L"), error);
  ASSERT_TRUE(l) << error.toStdString();
  EXPECT_DOUBLE_EQ(number(*l, "v_szja2"), 1344);
  EXPECT_DOUBLE_EQ(number(*l, "v_jarul"), 160);
  EXPECT_EQ(text(*l, "v_kif"), "7456");
  EXPECT_EQ(text(*l, "v_azaz"), "hétezer-négyszázötvenhat  00/100 Forint");
  EXPECT_EQ(text(*l, "v_fizmod"), "Fizetés módja: Átutalás");
  EXPECT_EQ(text(*l, "v_utal"), "Átutalás határideje:  2025.03.09");
  EXPECT_EQ(text(*l, "v_kp1"), "");

  auto o = PrepareVariables(workedTicket(true), QStringLiteral("O"), error);
  ASSERT_TRUE(o);
  EXPECT_NEAR(number(*o, "v_jarul"), 179.2, 1e-9);
  EXPECT_EQ(text(*o, "v_kif"), "7437");

  auto other = PrepareVariables(workedTicket(true), QStringLiteral("A"), error);
  ASSERT_TRUE(other);
  EXPECT_NEAR(number(*other, "v_jarul"), 152.32, 1e-9);
  EXPECT_EQ(text(*other, "v_kif"), "7464");

  // The variables in the order the layout's names are set.
  QStringList names;
  for (const auto &v : other->variables) names << v.first;
  EXPECT_EQ(names.join(' '),
            "v_ostermeloutca v_atvevoutca v_far v_kar v_var v_szja v_szja2 v_jszaz v_jarul v_levon v_kif "
            "v_azaz v_fizmod v_utal v_kp1 v_kp2 v_kp3 v_kp4 v_kp5 v_nyilatk1 v_nyilatk2 v_nyilatk3 "
            "v_masolat v_ervenyteleniti");
}

TEST(TicketVariables, CashReceiptDeclarationCopyAndCancelling) {
  QString error;
  Ticket t = workedTicket(false);
  auto cash = PrepareVariables(t, QStringLiteral("A"), error);
  ASSERT_TRUE(cash);
  EXPECT_EQ(text(*cash, "v_kif"), "7465");  // 7464 to a multiple of 5
  EXPECT_EQ(text(*cash, "v_kp1"), "Az adóelöleggel csökkentett vételár összegét 7465 Ft -ot, azaz");
  EXPECT_EQ(text(*cash, "v_kp2"), "hétezer-négyszázhatvanöt  00/100 Forint -ot a mai napon átvettem.");
  EXPECT_EQ(text(*cash, "v_kp3"), "Az összeg átvételének idöpontja:2025.03.09");
  EXPECT_EQ(text(*cash, "v_kp4"), QString(77, '.'));
  EXPECT_EQ(text(*cash, "v_utal"), " ");
  EXPECT_EQ(text(*cash, "v_masolat"), " ");
  EXPECT_EQ(text(*cash, "v_nyilatk1"), " ");
  EXPECT_EQ(text(*cash, "v_nyilatk3"), "  ");
  EXPECT_EQ(text(*cash, "v_ervenyteleniti"), "");

  t.rates.taxRate = 0;
  t.declaration = QStringLiteral("  Őstermelő vagyok.  ");
  t.printed = true;
  t.cancelling = true;
  t.cancelledSerial = QStringLiteral("25000007");
  auto other = PrepareVariables(t, QStringLiteral("A"), error);
  ASSERT_TRUE(other);
  EXPECT_TRUE(text(*other, "v_kp1").startsWith("A vételár összegét "));
  EXPECT_EQ(text(*other, "v_nyilatk1"), "Nyilatkozat: Őstermelő vagyok.");
  EXPECT_EQ(text(*other, "v_nyilatk2"), QString(77, '.'));
  EXPECT_EQ(text(*other, "v_masolat"), "MÁSOLATI PÉLDÁNY");
  EXPECT_EQ(text(*other, "v_ervenyteleniti"), "Érvényteleníti a 25000007 számú bizonylatot.");

  t.declaration = QStringLiteral("12345");  // five characters: no declaration block
  EXPECT_EQ(text(*PrepareVariables(t, QStringLiteral("A"), error), "v_nyilatk1"), " ");
}

TEST(TicketVariables, EmptyNegativeAndUnprintableAmounts) {
  QString error;
  auto empty = PrepareVariables(Ticket{}, QString(), error);
  ASSERT_TRUE(empty);
  EXPECT_EQ(text(*empty, "v_kif"), "0");
  EXPECT_EQ(text(*empty, "v_azaz"), "nulla 00/100 Forint");
  EXPECT_EQ(text(*empty, "v_kp1"), "A vételár összegét 0 Ft -ot, azaz");

  // A cancelling document: every amount negated.
  Ticket negative;
  negative.sums.add(-8000, -960, -8960);
  negative.rates = {15, 2, 0};
  auto cancel = PrepareVariables(negative, QStringLiteral("A"), error);
  ASSERT_TRUE(cancel);
  EXPECT_EQ(text(*cancel, "v_kif"), "-7465");
  EXPECT_TRUE(text(*cancel, "v_azaz").startsWith("mínusz hétezer-"));

  // A payable outside 32 bits cannot be written on the ticket: a message, no variables.
  Ticket huge;
  huge.sums.add(3e9, 0, 3e9);
  EXPECT_FALSE(PrepareVariables(huge, QString(), error));
  EXPECT_TRUE(error.contains("3000000000")) << error.toStdString();
  huge.sums = {};
  huge.sums.add(0, 0, -2147483649.0);
  EXPECT_FALSE(PrepareVariables(huge, QString(), error));

  Ticket broken;
  broken.sums.add(0, 0, std::numeric_limits<double>::quiet_NaN());
  error.clear();
  EXPECT_FALSE(PrepareVariables(broken, QString(), error));
  EXPECT_FALSE(error.isEmpty());
  broken.sums = {};
  broken.sums.add(0, 0, std::numeric_limits<double>::infinity());
  EXPECT_FALSE(PrepareVariables(broken, QString(), error));
}

class TicketPrinting : public PrintFixture {
 protected:
  void SetUp() override {
    PrintFixture::SetUp();
    producer_ = QStringLiteral("P%1").arg(counter_, 3, 10, QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_JELLEG, "
                        "O_HAZSZAM, O_ADOAZON, O_ADOSZAM, O_IGSZAM) VALUES ('%1', 'Kovács Éva', '6100', "
                        "'Kiskunfélegyháza', 'Petőfi', 'utca', '3.', '8123456784', '', 'AB123456')")
             .arg(producer_));
    JegyVariant = QStringLiteral("L");
    NyomtatMod = QStringLiteral("Megtekint");
    UtolsoBszam.clear();
  }
  void TearDown() override {
    form_.reset();
    PrintFixture::TearDown();
  }

  QString serial(int n) const { return QStringLiteral("%1").arg(counter_ * 1000 + n, 8, 10, QLatin1Char('0')); }

  // A ticket with lines of (gross quantity, unit price, compensation %).
  QString addTicket(int n, const std::vector<std::array<double, 3>> &lines, bool transfer = true,
                    const QString &prn = QStringLiteral(" ")) {
    const QString s = serial(n);
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                        "F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_TIPUS, F_MUVKTG, "
                        "F_SUMVAR) VALUES ('%1', '%2', '%3', '2025-03-01', '2025-03-01', '2025-03-09', "
                        "'%4', '%5', 15, 2, 0, ' ', '1', 0, 0)")
             .arg(s, receiver_, producer_, transfer ? QStringLiteral("x") : QStringLiteral(" "), prn));
    int i = 0;
    for (const auto &l : lines)
      exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                          "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('%1', 'Alma %2', '0808', %3, 'kg', "
                          "%4, %5, '%6', 0)")
               .arg(s)
               .arg(++i)
               .arg(l[0])
               .arg(l[1])
               .arg(l[2])
               .arg(receiver_));
    return s;
  }

  // The ticket list on a serial, what another program does meanwhile, and
  // the list's print command in a mode.
  void print(const QString &s, const char *mode, const std::function<void()> &meanwhile = {}) {
    if (!form_) form_ = std::make_unique<TForm8>(nullptr);
    TicketQueries::openTicketList();  // tickets added since
    ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), s, {}));
    if (meanwhile) meanwhile();
    NyomtatMod = QString::fromUtf8(mode);
    pages_.clear();
    previewed_ = nullptr;
    form_->PrintTicket();
  }
  QString printedMark(const QString &s) {
    return scalar(QStringLiteral("SELECT F_PRN FROM QZFEJ WHERE F_BSZAM = '%1'").arg(s)).trimmed();
  }

  QString producer_;
  std::unique_ptr<TForm8> form_;
};

TEST_F(TicketPrinting, DrawnTextsCarryTheWorkedValuesOfEachLayoutLetter) {
  const QString s = addTicket(1, {{100, 80, 12}});
  print(s, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(previewed_, Data->frMegtekint);
  EXPECT_TRUE(modal_);
  EXPECT_TRUE(shows(QStringLiteral("Sorszám: ") + s));
  EXPECT_TRUE(shows(QStringLiteral("Kovács Éva")));
  EXPECT_TRUE(shows(QStringLiteral("Kalász Felvásárló Kft.")));
  // The addresses without blanks for the empty district and other parts.
  EXPECT_TRUE(shows(QStringLiteral("6100 Kiskunfélegyháza, Petőfi utca 3.")));
  EXPECT_TRUE(shows(QStringLiteral("6000 Kecskemét, Szolnoki út 12.")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("8\u00A0960,00 Ft")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("1\u00A0344,00 Ft")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("160,00 Ft")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("7\u00A0456,00 Ft")));  // grouped as every amount
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Azaz: hétezer-négyszázötvenhat  00/100 Forint")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("1/1")));
  EXPECT_EQ(FizetendoSzoveg, "7456");
  drawShown(0, 1.0, QStringLiteral("ticket_one_line.png"));

  JegyVariant = QStringLiteral("O");
  print(s, "Megtekint");
  EXPECT_TRUE(allTexts().contains(QStringLiteral("179,20 Ft")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("7\u00A0437,00 Ft")));

  JegyVariant = QStringLiteral("A");
  print(s, "Megtekint");
  EXPECT_TRUE(allTexts().contains(QStringLiteral("152,32 Ft")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("7\u00A0464,00 Ft")));

  // Cash: rounded to 7465 and the receipt block printed.
  const QString cash = addTicket(2, {{100, 80, 12}}, false);
  print(cash, "Megtekint");
  EXPECT_TRUE(allTexts().contains(QStringLiteral("7\u00A0465,00 Ft")));
  EXPECT_TRUE(shows(QStringLiteral("Az adóelöleggel csökkentett vételár összegét 7465 Ft -ot, azaz")));
  EXPECT_TRUE(shows(QStringLiteral("Az összeg átvételének idöpontja:2025.03.09")));
}

// A ticket has one payable: the entry's OK and an entry closing on changed
// lines store the contribution on the base of the receiver's layout letter,
// as the paper prints it, and the cancelling document negates that payable.
TEST_F(TicketPrinting, EntryStoresAndCancelsThePayableThePaperPrints) {
  exec(QStringLiteral("UPDATE OSTERMELO SET O_FELIR = 'AB1234567' WHERE O_KOD = '%1'").arg(producer_));
  exec(QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('%1', '%2')").arg(receiver_, serial(50)));
  Edit15Option = QStringLiteral("1");  // the contribution rate is shown and kept
  const struct {
    const char *letter, *payable;
  } cases[] = {{"L", "7456"}, {"O", "7437"}, {"A", "7464"}, {"l", "7464"}};
  int n = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.letter);
    JegyVariant = QString::fromLatin1(c.letter);
    exec(QStringLiteral("UPDATE ATVEVO SET V_VERZIO = '%1' WHERE V_AKOD = '%2'").arg(JegyVariant, receiver_));
    const QString s = addTicket(++n, {{100, 80, 12}});
    const QString payable = QString::fromLatin1(c.payable);
    auto stored = [&](const QString &serial) {
      return scalar(QStringLiteral("SELECT F_MUVKTG FROM QZFEJ WHERE F_BSZAM = '%1'").arg(serial));
    };
    TicketQueries::openTicketList();
    ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), s, {}));
    {
      db::Transaction t;
      t.setConnection(Data->ZCon1);
      TicketQueries::storeHeaderTotals(t, Data->ZQ10->fieldByName(QStringLiteral("ID_QZFEJ")).asInteger());
      t.commit();
    }
    EXPECT_EQ(stored(s), payable);

    exec(QStringLiteral("UPDATE QZFEJ SET F_MUVKTG = 0 WHERE F_BSZAM = '%1'").arg(s));
    TicketQueries::openTicketList();
    ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), s, {}));
    JegyMod = kJegyModModositas;
    {
      TForm9 entry(nullptr);
      entry.LoadTicket();
      entry.show();
      EXPECT_EQ(entry.Edit16->text(), payable);
      for (const MessageSeen &box : answerBoxes([&] { entry.Button6->click(); })) ADD_FAILURE() << box.text.toStdString();
    }
    EXPECT_EQ(stored(s), payable);
    print(s, "Nyomtat");
    // Printed grouped, as every amount: "7 456,00 Ft".
    const QString printed = payable.left(1) + QChar(0xA0) + payable.mid(1) + QStringLiteral(",00 Ft");
    EXPECT_TRUE(allTexts().contains(printed));

    ErvenytelenBszam = s;
    TForm39 cancel(nullptr);
    ASSERT_TRUE(cancel.Start());
    cancel.Edit6->setText(QStringLiteral("2025.04.01"));
    ASSERT_TRUE(cancel.WriteDocument());
    const QString document = cancel.Edit1->text();
    EXPECT_EQ(stored(document), QStringLiteral("-") + payable);
    // The cancelling dialog's document prints through the ticket layout,
    // naming the ticket, with its line and amounts negated.
    print(document, "Megtekint");
    EXPECT_TRUE(allTexts().contains(QStringLiteral("-") + printed));
    EXPECT_TRUE(allTexts().contains(QStringLiteral("Érvényteleníti a %1 számú bizonylatot.").arg(s)));
    EXPECT_TRUE(shows(QStringLiteral("Azaz: mínusz ")));
    EXPECT_TRUE(allTexts().contains(QStringLiteral("-100\u00A0kg")));
  }
}

TEST_F(TicketPrinting, FirstPrintMarksTheTicketLaterPrintsAreCopiesAndPreviewNeverMarks) {
  const QString s = addTicket(1, {{10, 100, 12}});
  print(s, "Megtekint");
  EXPECT_EQ(printedMark(s), "");
  EXPECT_FALSE(shows(QStringLiteral("MÁSOLATI PÉLDÁNY")));

  print(s, "Nyomtat");
  EXPECT_EQ(previewed_, Data->frNyomtat);
  EXPECT_EQ(printedMark(s), "I");  // committed at once
  EXPECT_FALSE(shows(QStringLiteral("MÁSOLATI PÉLDÁNY")));
  // The header row stays available to the layout at the marking print.
  EXPECT_TRUE(shows(QStringLiteral("Sorszám: ") + s));
  EXPECT_TRUE(shows(QStringLiteral("Kelte: 2025.03.01")));
  // The list is reopened in serial order afterwards.
  EXPECT_EQ(form_->Label9->text(), QStringLiteral("A lista, \"Bszám\" szerint"));

  print(s, "Nyomtat");
  EXPECT_TRUE(shows(QStringLiteral("MÁSOLATI PÉLDÁNY")));
  print(s, "Megtekint");
  EXPECT_TRUE(shows(QStringLiteral("MÁSOLATI PÉLDÁNY")));
  EXPECT_EQ(printedMark(s), "I");
}

TEST_F(TicketPrinting, AHeaderAnotherProgramIsWritingStopsThePrintWithAMessage) {
  const QString s = addTicket(1, {{100, 80, 12}});
  // Another program holds the header row: the print's lock fails at once
  // (nowait), before anything is read, and nothing is printed.
  db::Transaction other;
  other.setConnection(Data->ZCon1);
  other.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
  db::Query hold;
  hold.setTransaction(&other);
  hold.sql().add(QStringLiteral("UPDATE QZFEJ SET F_MEGJ = 'x' WHERE F_BSZAM = '%1'").arg(s));
  hold.execute();
  const QString message = messageOf([&] { print(s, "Nyomtat"); });
  EXPECT_EQ(message, TicketPrint::busyMessage(s));
  EXPECT_TRUE(message.contains(s));
  EXPECT_EQ(printedMark(s), "");
  EXPECT_TRUE(pages_.empty());
  // A preview takes no lock; once the row is free the print marks it.
  print(s, "Megtekint");
  EXPECT_EQ(pages_.size(), 1u);
  other.rollback();
  print(s, "Nyomtat");
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(printedMark(s), "I");
  EXPECT_TRUE(shows(QStringLiteral("Kovács Éva")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Alma 1 (0808)")));  // the product with its customs number
}

TEST_F(TicketPrinting, MissingOrBrokenLayoutNamesTheFileAndLeavesTheTicketUnmarked) {
  const QString s = addTicket(1, {{10, 100, 12}});
  // "L" prints only with its own layout, which names its contribution's base.
  ASSERT_TRUE(QFile::rename(QStringLiteral("QzLista7L.frf"), QStringLiteral("QzLista7L.off")));
  JegyVariant = QStringLiteral("L");
  QString message = messageOf([&] { print(s, "Nyomtat"); });
  ASSERT_TRUE(QFile::rename(QStringLiteral("QzLista7L.off"), QStringLiteral("QzLista7L.frf")));
  EXPECT_TRUE(message.contains(QStringLiteral("QzLista7L.frf"))) << message.toStdString();
  EXPECT_TRUE(pages_.empty());
  EXPECT_EQ(printedMark(s), "");

  // Garbage that looks like a layout of the current version.
  static const char garbage[] = "\x17\x01\x00garbage\xff\xff\xff\x00 not a layout";
  ASSERT_TRUE(writeFile(QStringLiteral("QzLista7#.frf"), QByteArray(garbage, sizeof garbage - 1)));
  JegyVariant = QStringLiteral("#");
  message = messageOf([&] { print(s, "Nyomtat"); });
  EXPECT_TRUE(message.contains(QStringLiteral("QzLista7#.frf"))) << message.toStdString();
  EXPECT_TRUE(pages_.empty());
  EXPECT_EQ(printedMark(s), "");

  // A version the engine does not know: its own box, then the one naming the file.
  ASSERT_TRUE(writeFile(QStringLiteral("QzLista7$.frf"), QByteArray("\x63 version 99", 12)));
  JegyVariant = QStringLiteral("$");
  ModalScript script;
  MessageSeen engine, ours;
  script.then(answer(QMessageBox::Ok, &engine)).then(answer(QMessageBox::Ok, &ours));
  script.run([&] { print(s, "Nyomtat"); }, 5000);
  ASSERT_TRUE(script.done()) << script.failure().toStdString();
  EXPECT_EQ(engine.text, "Unsupported FRF format");
  EXPECT_TRUE(ours.text.contains(QStringLiteral("QzLista7$.frf")));
  EXPECT_TRUE(pages_.empty());
  EXPECT_EQ(printedMark(s), "");
}

// A receiver's "Verzió" is free text: "lux" looks for "QzLista7l.frf", which
// the original's file system found as "QzLista7L.frf". The title names the
// ticket, so each print proposes its own PDF file.
TEST_F(TicketPrinting, LayoutIsFoundWithoutRegardToCaseUnderATitleNamingTheTicket) {
  const QString s = addTicket(1, {{100, 80, 12}});
  JegyVariant = QStringLiteral("l");
  const auto boxes = answerBoxes([&] { print(s, "Nyomtat"); });
  for (const MessageSeen &box : boxes) ADD_FAILURE() << box.text.toStdString();
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(previewed_, Data->frNyomtat);
  EXPECT_TRUE(shows(QStringLiteral("Sorszám: ") + s));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("152,32 Ft")));  // "l" is not "L": price less tax
  // ... and the footnote names that base, not the "L" layout's purchase price.
  EXPECT_TRUE(shows(QStringLiteral("A tagi hozzájárulás alapja az adóelőleggel csökkentett vételár.")));
  EXPECT_FALSE(shows(QStringLiteral("A tagi hozzájárulás alapja a felvásárlási ár.")));
  JegyVariant = QStringLiteral("o");
  print(s, "Megtekint");
  EXPECT_TRUE(allTexts().contains(QStringLiteral("152,32 Ft")));
  EXPECT_TRUE(shows(QStringLiteral("A tagi hozzájárulás alapja az adóelőleggel csökkentett vételár.")));
  JegyVariant = QStringLiteral("L");
  print(s, "Megtekint");
  EXPECT_TRUE(allTexts().contains(QStringLiteral("160,00 Ft")));
  EXPECT_TRUE(shows(QStringLiteral("A tagi hozzájárulás alapja a felvásárlási ár.")));
  JegyVariant = QStringLiteral("l");
  EXPECT_EQ(printedMark(s), "I");
  EXPECT_EQ(previewed_->Title, QStringLiteral("Felvásárlási jegy ") + s);
  EXPECT_EQ(report::TfrPrinter::JobTitle(previewed_->Title), QStringLiteral("Quorvane: Felvásárlási jegy ") + s);

  // A character no layout exists for ("Verzió" 2025, a blank) prints with the
  // layout of no letter, whose footnote names the base its amounts are on.
  for (const QString &version : {QStringLiteral("2025"), QStringLiteral(" ")}) {
    JegyVariant = version.left(1);
    const auto shown = answerBoxes([&] { print(s, "Megtekint"); });
    for (const MessageSeen &box : shown) ADD_FAILURE() << box.text.toStdString();
    ASSERT_EQ(pages_.size(), 1u) << version.toStdString();
    EXPECT_EQ(previewed_->FileName.section(QLatin1Char('/'), -1), QStringLiteral("QzLista7.frf"));
    EXPECT_TRUE(allTexts().contains(QStringLiteral("152,32 Ft")));
    EXPECT_TRUE(shows(QStringLiteral("A tagi hozzájárulás alapja az adóelőleggel csökkentett vételár.")));
  }
  drawShown(0, 1.0, QStringLiteral("ticket_version_2025.png"));
  // One of its own in the working folder is that character's layout.
  ASSERT_TRUE(QFile::copy(QStringLiteral("QzLista7L.frf"), QStringLiteral("QzLista72.frf")));
  JegyVariant = QStringLiteral("2");
  print(s, "Megtekint");
  ASSERT_TRUE(QFile::remove(QStringLiteral("QzLista72.frf")));
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(previewed_->FileName.section(QLatin1Char('/'), -1), QStringLiteral("QzLista72.frf"));
}

// Framed table cells print their text inside the rules with room on both
// sides: the line number does not run into the product ("1Alma 1").
TEST_F(TicketPrinting, TableTextKeepsOffTheCellRules) {
  const QString s = addTicket(1, {{100, 80, 12}});
  print(s, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  for (const QString &text : {QStringLiteral("Alma 1 (0808)"), QStringLiteral("8\u00A0960,00"),
                              QStringLiteral("Megnevezés (VTSZ)"), QStringLiteral("Összesen:"),
                              QStringLiteral("Felvásárló (átvevő)"), QStringLiteral("Fizetés módja: Átutalás")}) {
    const auto rooms = roomBesideText(0, text);
    ASSERT_FALSE(rooms.empty()) << text.toStdString();
    for (const auto &[left, right] : rooms) {
      EXPECT_GE(left, report::layouts::LayoutBuilder::kCellPadding) << text.toStdString();
      EXPECT_GE(right, report::layouts::LayoutBuilder::kCellPadding) << text.toStdString();
    }
  }
  drawShown(0, 2.0, QStringLiteral("ticket_cells.png"));
}

// What another program changed after the list was read is what the print
// goes by: the producer the header names now, as its row holds it now, and a
// message naming a producer or receiver that has gone.
TEST_F(TicketPrinting, WhatAnotherProgramChangedAfterTheListWasReadIsWhatPrints) {
  const QString other = QStringLiteral("Q%1").arg(counter_, 3, 10, QLatin1Char('0'));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_JELLEG, O_HAZSZAM) "
                      "VALUES ('%1', 'Nagy Péter', '6000', 'Kecskemét', 'Rákóczi', 'út', '5.')")
           .arg(other));
  const struct {
    const char *changes;  // ";" between statements: {s} the serial, {p} its producer, {q} the other, {r} the receiver
    const char *shown;    // on the page, or in the message when gone is set
    bool gone;
  } cases[] = {
      {"UPDATE OSTERMELO SET O_UTCA = 'Kossuth' WHERE O_KOD = '{p}'", "6100 Kiskunfélegyháza, Kossuth utca 3.", false},
      {"UPDATE QZFEJ SET F_OSTERMKOD = '{q}' WHERE F_BSZAM = '{s}'", "Nagy Péter|6000 Kecskemét, Rákóczi út 5.", false},
      {"DELETE FROM OSTERMELO WHERE O_KOD = '{p}'", "({p})", true},
      {"UPDATE QZFEJ SET F_OSTERMKOD = '{q}' WHERE F_BSZAM = '{s}';DELETE FROM ATVEVO WHERE V_AKOD = '{r}'", "{r}", true},
  };
  int n = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.changes);
    const QString s = addTicket(++n, {{10, 100, 12}});
    const auto filled = [&](const char *text) {
      return QString::fromUtf8(text).replace("{s}", s).replace("{p}", producer_).replace("{q}", other).replace(
          "{r}", receiver_);
    };
    const auto boxes = answerBoxes([&] {
      print(s, "Nyomtat", [&] {
        for (const QString &sql : filled(c.changes).split(QLatin1Char(';'))) exec(sql);
      });
    });
    // The page, or the message that came instead.
    const QString seen = boxes.empty() ? allTexts().join(QLatin1Char('\n')) : boxes[0].text;
    EXPECT_TRUE(seen.contains(filled(c.shown))) << seen.toStdString();
    EXPECT_EQ(boxes.size(), c.gone ? 1u : 0u);
    EXPECT_EQ(pages_.empty(), c.gone);
    EXPECT_EQ(printedMark(s), c.gone ? "" : "I");
  }
}

TEST_F(TicketPrinting, EmptyShortAndLongTicketsBuildWithTotalsOnTheLastPageOnly) {
  const QString empty = addTicket(1, {});
  print(empty, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Azaz: nulla 00/100 Forint")));
  EXPECT_FALSE(shows(QStringLiteral("Összesen:")));  // no lines, no line totals

  const QString shortOne = addTicket(2, {{10, 100, 12}, {20.5, 48.375, 0}, {3, 1000, 12}});
  print(shortOne, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  for (const char *name : {"Alma 1 (0808)", "Alma 2 (0808)", "Alma 3 (0808)"})
    EXPECT_TRUE(allTexts().contains(QString::fromUtf8(name)));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("20,5\u00A0kg")));  // quantity without needless decimals, its unit
  // Unit prices with the decimals they are stored with, at least two.
  EXPECT_TRUE(allTexts().contains(QStringLiteral("48,375")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("100,00")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Összesen:")));
  EXPECT_FALSE(shows(QStringLiteral("(folytatás)")));

  std::vector<std::array<double, 3>> many(120, {1, 10, 12});
  const QString longOne = addTicket(3, many);
  print(longOne, "Megtekint");
  ASSERT_GE(pages_.size(), 3u);
  const int total = static_cast<int>(pages_.size());
  for (int p = 0; p < total; ++p) {
    const bool last = p == total - 1;
    EXPECT_EQ(pages_[p].contains(QStringLiteral("Összesen:")), last) << p;
    EXPECT_EQ(pages_[p].contains(QStringLiteral("Fizetendő:")), last) << p;
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("%1/%2").arg(p + 1).arg(total))) << p;
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("Megnevezés (VTSZ)"))) << p;  // titles on every page
    // Pages after the first name the ticket and its producer.
    EXPECT_EQ(pages_[p].contains(QStringLiteral("FELVÁSÁRLÁSI JEGY (folytatás)")), p > 0) << p;
    EXPECT_EQ(pages_[p].contains(QStringLiteral("Eladó: Kovács Éva")), p > 0) << p;
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("Sorszám: ") + longOne)) << p;
  }
  EXPECT_TRUE(allTexts().contains(QStringLiteral("120")));  // the last line's number
  EXPECT_FALSE(allTexts().contains(QStringLiteral("121")));

  // As many lines as fill the first page: the totals go to the next page,
  // under the column titles, with the last line above them.
  const auto linesOn = [&](int p) {
    return static_cast<int>(std::count_if(pages_[p].begin(), pages_[p].end(),
                                          [](const QString &t) { return t.startsWith(QStringLiteral("Alma ")); }));
  };
  const int full = linesOn(0);
  const QString exact = addTicket(4, std::vector<std::array<double, 3>>(full, {1, 10, 12}));
  print(exact, "Megtekint");
  ASSERT_EQ(pages_.size(), 2u);
  EXPECT_EQ(linesOn(0), full - 1);
  EXPECT_EQ(linesOn(1), 1);
  EXPECT_FALSE(pages_[0].contains(QStringLiteral("Összesen:")));
  const QStringList &second = pages_[1];
  ASSERT_TRUE(second.contains(QStringLiteral("Összesen:")));
  EXPECT_TRUE(second.contains(QStringLiteral("Megnevezés (VTSZ)")));
  EXPECT_TRUE(second.contains(QStringLiteral("Vételár (Ft)")));
  EXPECT_LT(second.indexOf(QStringLiteral("Vételár (Ft)")), second.indexOf(QStringLiteral("Összesen:")));
  EXPECT_TRUE(second.contains(QStringLiteral("Sorszám: ") + exact));
  for (int p = 0; p < 2; ++p) drawShown(p, 1.0, QStringLiteral("ticket_full-%1.png").arg(p + 1));

  // A transfer of 23 lines without a declaration: no room is kept for a
  // receipt or a declaration, so the payable and the signatures stay on its
  // only page.
  const QString transfer = addTicket(5, std::vector<std::array<double, 3>>(23, {1, 10, 12}));
  print(transfer, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  for (const char *text : {"Fizetendő:", "eladó (őstermelő) aláírása", "Alma 23 (0808)"})
    EXPECT_TRUE(pages_[0].contains(QString::fromUtf8(text))) << text;
  drawShown(0, 1.0, QStringLiteral("ticket_transfer_23.png"));
}

}  // namespace

namespace {

// The darkest pixels of a strip of the image: ink where there should be none.
int inkIn(const QImage &img, const QRect &strip) {
  int ink = 0;
  for (int y = strip.top(); y <= strip.bottom(); ++y)
    for (int x = strip.left(); x <= strip.right(); ++x)
      if (qGray(img.pixel(x, y)) < 128) ++ink;
  return ink;
}

TEST_F(TicketPrinting, TicketPageStaysWithinItsMargins) {
  const QString s = addTicket(1, {{1234.5, 80, 12}, {20, 150, 0}, {3, 1000, 12}}, false);
  exec(QStringLiteral("UPDATE QZFEJ SET F_NYILATK = 'Kijelentem, hogy a termékeket saját gazdaságomban "
                      "állítottam elő.' WHERE F_BSZAM = '%1'").arg(s));
  JegyVariant = QStringLiteral("A");
  print(s, "Nyomtat");
  print(s, "Nyomtat");  // a copy, with its mark
  ASSERT_EQ(pages_.size(), 1u);
  const QImage page = drawShown(0, 2.0, QStringLiteral("ticket.png"));
  ASSERT_FALSE(page.isNull());
  // Ink in the body, none in the 8 mm strips beside the right edge and below the footer.
  EXPECT_GT(inkIn(page, QRect(0, 0, page.width(), page.height() / 2)), 1000);
  EXPECT_EQ(inkIn(page, QRect(page.width() - 40, 0, 40, page.height())), 0);
  EXPECT_EQ(inkIn(page, QRect(0, page.height() - 40, page.width(), 40)), 0);

  // A cancelling document paid by transfer: its line, negative amounts, the due date.
  const QString cancel = addTicket(2, {{-1234.5, 80, 12}});
  exec(QStringLiteral("UPDATE QZFEJ SET F_TIPUS = '4', F_ERVENYT = '%1' WHERE F_BSZAM = '%2'").arg(s, cancel));
  print(cancel, "Megtekint");
  ASSERT_EQ(pages_.size(), 1u);
  // Headed as a paper that voids another, naming it in a line as large as the serial.
  EXPECT_TRUE(allTexts().contains(QStringLiteral("ÉRVÉNYTELENÍTŐ BIZONYLAT")));
  EXPECT_FALSE(shows(QStringLiteral("FELVÁSÁRLÁSI JEGY")));
  bool named = false;
  for (const auto &v : report::TfrEMFPages::ReadObjects(shown_->GetPageRec(0)->Stream))
    if (textOf(*v) == QStringLiteral("Érvényteleníti a %1 számú bizonylatot.").arg(s)) {
      named = true;
      const auto *m = dynamic_cast<const report::TfrMemoView *>(v.get());
      ASSERT_NE(m, nullptr);
      EXPECT_GE(m->Font.Size, 12);
      EXPECT_TRUE(m->Font.Style & report::fsBold);
    }
  EXPECT_TRUE(named);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Átutalás határideje:  2025.03.09")));
  EXPECT_TRUE(shows(QStringLiteral("Azaz: mínusz ")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("-1\u00A0234,5\u00A0kg")));
  const QImage cancelling = drawShown(0, 2.0, QStringLiteral("ticket_cancel.png"));
  EXPECT_EQ(inkIn(cancelling, QRect(cancelling.width() - 40, 0, 40, cancelling.height())), 0);
}


}  // namespace

namespace {

// A poppler tool's output for a file; a failure when it cannot run.
QString poppler(const QString &tool, const QStringList &args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString() << " failed (tools/setup-deps.sh installs poppler-utils)";
    return QString();
  }
  return QString::fromUtf8(p.readAllStandardOutput());
}
// The texts of a PDF file, its lines joined by blanks.
QString pdfText(const QString &file) {
  return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")}).simplified();
}

// The system's printers and the real preview window for one test; the
// printer "PDF" writes to the file *answer names (empty: the question is cancelled).
class RealPrinting : SystemPrinters {
 public:
  explicit RealPrinting(const QString *answer) : SystemPrinters(answer) {
    report::frShowPreview = report::frShowPreviewWindow;
  }
};

// The print dialog's step: a printer chosen in the list, the copies and the
// page list (empty: all pages) typed, then OK.
ModalScript::Step printOn(const QString &printer, int copies = 1, const QString &pages = QString()) {
  return [=](QWidget *w) {
    auto *d = qobject_cast<report::TfrPrintForm *>(w);
    ASSERT_NE(d, nullptr);
    const int index = d->CB1->findText(printer);
    ASSERT_GE(index, 0) << printer.toStdString() << " is not in the printer list";
    d->CB1->setCurrentIndex(index);
    emit d->CB1->activated(index);
    setText(w, QStringLiteral("E1"), QString::number(copies));
    if (!pages.isEmpty()) {
      setChecked(w, QStringLiteral("RB3"), true);
      setText(w, QStringLiteral("E2"), pages);
    }
    click(w, QStringLiteral("Button1"));
  };
}
// The printer "PDF", then OK.
void printToPdf(QWidget *w) { printOn(report::frPdfPrinterName())(w); }

// The preview open() shows: its print button, the dialog's step, the box
// when one is expected, the preview closed.
std::vector<MessageSeen> runPreview(const std::function<void()> &open, const ModalScript::Step &dialog, bool box) {
  std::vector<MessageSeen> boxes;
  // The box comes from the print that runs once the dialog has closed; the
  // preview is a step again only once that print has returned.
  const auto boxOrClose = [&boxes](QWidget *w) {
    if (auto *b = qobject_cast<QMessageBox *>(w)) {
      boxes.push_back(readMessage(b));
      answer(QMessageBox::Ok)(b);
      return;
    }
    click(w, QStringLiteral("ExitBtn"));
  };
  ModalScript script;
  script.then([](QWidget *w) {
    ASSERT_NE(qobject_cast<report::TfrPreviewForm *>(w), nullptr);
    click(w, QStringLiteral("PrintBtn"));
  });
  script.then(dialog).then(boxOrClose);
  if (box) script.then(boxOrClose);
  script.run(open, 60000);
  EXPECT_TRUE(script.done()) << script.failure().toStdString();
  return boxes;
}

// Through the ticket list's buttons, the real preview window, its print
// dialog and the printer "PDF".
// The list stays on the ticket looked at: the next "Nyomtat" prints that one,
// not the list's first row.
TEST_F(TicketPrinting, ListButtonsOpenThePreviewAndPrintToAPdfFile) {
  const QString other = addTicket(1, {{100, 80, 12}});
  const QString s = addTicket(2, {{100, 80, 12}});
  JegyVariant = QStringLiteral("L");
  form_ = std::make_unique<TForm8>(nullptr);
  form_->show();
  for (const QChar c : s) {  // typed in "Bizonylat:"
    QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
    QApplication::sendEvent(form_->Edit1, &press);
  }

  const QString pdf = dir_->file(QStringLiteral("jegy.pdf"));
  RealPrinting printing(&pdf);

  // "Megtekint": the preview holds the ticket; closing it leaves the ticket unmarked.
  QStringList previewed;
  ModalScript look;
  look.then([&](QWidget *w) {
    auto *preview = qobject_cast<report::TfrPreviewForm *>(w);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->PrintBtn->isHidden());
    previewed = textsOf(*preview->Pages(), 0);
    click(w, QStringLiteral("ExitBtn"));
  });
  look.run([&] { click(form_.get(), QStringLiteral("Button3")); });
  ASSERT_TRUE(look.done()) << look.failure().toStdString();
  EXPECT_TRUE(previewed.contains(QStringLiteral("Sorszám: ") + s));
  bool producer = false;  // the producer's block: name, then address
  for (const QString &t : previewed) producer |= t.startsWith(QStringLiteral("Kovács Éva|6100 Kiskunfélegyháza"));
  EXPECT_TRUE(producer) << previewed.join('\n').toStdString();
  EXPECT_TRUE(previewed.contains(QStringLiteral("Azaz: hétezer-négyszázötvenhat  00/100 Forint")));
  EXPECT_EQ(printedMark(s), "");

  // "Nyomtat": the preview's print button, the printer "PDF" in the print dialog.
  for (const MessageSeen &box : runPreview([&] { click(form_.get(), QStringLiteral("Button5")); }, printToPdf, false))
    ADD_FAILURE() << box.text.toStdString();
  EXPECT_EQ(printedMark(s), "I");
  EXPECT_EQ(printedMark(other), "");
  ASSERT_TRUE(QFile::exists(pdf));
  const QString text = pdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Sorszám: ") + s)) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Kovács Éva")));
  EXPECT_TRUE(text.contains(QStringLiteral("Azaz: hétezer-négyszázötvenhat 00/100 Forint")));
  EXPECT_TRUE(text.contains(QStringLiteral("7 456,00 Ft")));
}


// A landscape list printed to "PDF" through its preview, then a ticket whose
// print is given up at the file question: the ticket's preview shows its page
// as before the print, not at the landscape list's geometry.
TEST_F(TicketPrinting, ATicketPrintGivenUpAfterALandscapeListLeavesThePreviewAsItWas) {
  const QString s = addTicket(1, {{100, 80, 12}});
  QString answer = dir_->file(QStringLiteral("lista.pdf"));
  RealPrinting printing(&answer);

  TForm4 producers(nullptr);
  EXPECT_TRUE(runPreview([&] { producers.Button7Click(); }, printToPdf, false).empty());
  ASSERT_TRUE(QFile::exists(answer));

  JegyVariant = QStringLiteral("L");
  form_ = std::make_unique<TForm8>(nullptr);
  form_->show();
  ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), s, {}));
  answer.clear();  // the file question is cancelled
  QRect before, after;
  report::TfrPageGeometry geometryBefore, geometryAfter;
  ModalScript ticket;
  ticket.then([&](QWidget *w) {
    auto *preview = qobject_cast<report::TfrPreviewForm *>(w);
    ASSERT_NE(preview, nullptr);
    before = preview->PageRect(0);
    geometryBefore = preview->Pages()->GetPageRec(0)->PrnInfo;
    click(w, QStringLiteral("PrintBtn"));
  });
  ticket.then([&](QWidget *w) { click(w, QStringLiteral("Button1")); });
  ticket.then([&](QWidget *w) {
    auto *preview = qobject_cast<report::TfrPreviewForm *>(w);
    ASSERT_NE(preview, nullptr);
    after = preview->PageRect(0);
    geometryAfter = preview->Pages()->GetPageRec(0)->PrnInfo;
    click(w, QStringLiteral("ExitBtn"));
  });
  ticket.run([&] { click(form_.get(), QStringLiteral("Button5")); });
  ASSERT_TRUE(ticket.done()) << ticket.failure().toStdString();
  ASSERT_GT(before.height(), before.width()) << "a portrait ticket";
  EXPECT_EQ(after, before);
  EXPECT_EQ(geometryAfter.pageWidth, geometryBefore.pageWidth);
  EXPECT_EQ(geometryAfter.pageHeight, geometryBefore.pageHeight);
  EXPECT_EQ(geometryAfter.printPixWidth, geometryBefore.printPixWidth);
}

}  // namespace

namespace {

// "595 x 842" for each page of a PDF file, as pdfinfo gives its size, with
// " rotated 90" when the page is shown turned.
QStringList pdfPageSizes(const QString &file) {
  const QString info = poppler(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                           QStringLiteral("-l"), QStringLiteral("999"), file});
  QStringList sizes;
  const QRegularExpression size(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts"));
  const QRegularExpression rot(QStringLiteral("Page +\\d+ rot: +(\\d+)"));
  auto r = rot.globalMatch(info);
  for (auto m = size.globalMatch(info); m.hasNext();) {
    const auto s = m.next();
    QString text = QStringLiteral("%1 x %2").arg(qRound(s.captured(1).toDouble())).arg(qRound(s.captured(2).toDouble()));
    if (r.hasNext()) {
      const int degrees = r.next().captured(1).toInt();
      if (degrees) text += QStringLiteral(" rotated %1").arg(degrees);
    }
    sizes << text;
  }
  return sizes;
}
// Where a word stands on the first page of a PDF file (points), for each time it is printed.
QList<QRectF> wordBoxes(const QString &file, const QString &word) {
  const QString xml = poppler(QStringLiteral("pdftotext"),
                              {QStringLiteral("-bbox"), QStringLiteral("-l"), QStringLiteral("1"), file,
                               QStringLiteral("-")});
  QList<QRectF> boxes;
  const QRegularExpression re(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                                             "yMax=\"([\\d.]+)\">%1</word>")
                                  .arg(QRegularExpression::escape(word)));
  for (auto m = re.globalMatch(xml); m.hasNext();) {
    const auto w = m.next();
    boxes << QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                    QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()));
  }
  return boxes;
}
// True when the word is printed across the sheet, false when it runs along
// its long side (a landscape page on a portrait sheet).
bool printedAcross(const QString &file, const QString &word) {
  const QList<QRectF> boxes = wordBoxes(file, word);
  EXPECT_FALSE(boxes.isEmpty()) << word.toStdString() << " is not printed";
  return !boxes.isEmpty() && boxes[0].width() > boxes[0].height();
}
// The text of each page of a PDF file, simplified.
QStringList pdfPages(const QString &file) {
  QStringList pages = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")})
                          .split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  for (QString &p : pages) p = p.simplified();
  return pages;
}

// Printing to a real print server: a private scheduler with cups-pdf queues,
// one for the suite, the printer chosen in the preview's print dialog as a
// user chooses it, and the PDF files that arrive read back.
class CupsPrinting : public TicketPrinting {
 protected:
  static void SetUpTestSuite() {
    TicketPrinting::SetUpTestSuite();
    server_ = new CupsServer;
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
    TicketPrinting::TearDownTestSuite();
  }
  void SetUp() override {
    TicketPrinting::SetUp();
    if (!server_->missing().isEmpty())
      GTEST_SKIP() << "No print server for this test: " << server_->missing().toStdString();
    ASSERT_TRUE(server_->failure().isEmpty()) << server_->failure().toStdString();
    printing_ = std::make_unique<RealPrinting>(&pdfAnswer_);
  }
  void TearDown() override {
    printing_.reset();
    TicketPrinting::TearDown();
  }

  // The ticket list on serial s; "Nyomtat", the preview's print button and
  // the print dialog's step; the box the print shows when one is expected;
  // the preview closed. The boxes seen.
  std::vector<MessageSeen> printTicket(const QString &s, const ModalScript::Step &dialog, bool box = false) {
    form_ = std::make_unique<TForm8>(nullptr);
    form_->show();
    TicketQueries::openTicketList();
    EXPECT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), s, {}));
    return runPreview([&] { click(form_.get(), QStringLiteral("Button5")); }, dialog, box);
  }
  static CupsServer *server_;
  QString pdfAnswer_;
  std::unique_ptr<RealPrinting> printing_;
};
CupsServer *CupsPrinting::server_ = nullptr;

const QString kCupsPrinter = QString::fromLatin1(CupsServer::kPrinter);

TEST_F(CupsPrinting, ATicketChosenForTheQueueArrivesAsAnA4PortraitPdfWithItsSerialAndAmounts) {
  const QString s = addTicket(1, {{100, 80, 12}});
  JegyVariant = QStringLiteral("L");
  const auto boxes = printTicket(s, printOn(kCupsPrinter));
  for (const MessageSeen &b : boxes) ADD_FAILURE() << b.text.toStdString();
  const QStringList pdfs = server_->waitForNewPdfs(1);
  ASSERT_EQ(pdfs.size(), 1) << server_->logTail().toStdString();
  EXPECT_EQ(pdfPageSizes(pdfs[0]), QStringList{QStringLiteral("595 x 842")});
  EXPECT_TRUE(printedAcross(pdfs[0], QStringLiteral("Sorszám:")));
  const QStringList pages = pdfPages(pdfs[0]);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(pages[0].contains(QStringLiteral("Sorszám: ") + s)) << pages[0].toStdString();
  EXPECT_TRUE(pages[0].contains(QStringLiteral("7 456,00 Ft")));
  EXPECT_TRUE(pages[0].contains(QStringLiteral("Azaz: hétezer-négyszázötvenhat 00/100 Forint")));
  EXPECT_EQ(printedMark(s), "I");
}

TEST_F(CupsPrinting, ALandscapeListAfterAPortraitTicketArrivesLandscape) {
  const QString s = addTicket(1, {{100, 80, 12}});
  JegyVariant = QStringLiteral("L");
  printTicket(s, printOn(kCupsPrinter));
  QStringList pdfs = server_->waitForNewPdfs(1);
  ASSERT_EQ(pdfs.size(), 1) << server_->logTail().toStdString();
  EXPECT_EQ(pdfPageSizes(pdfs[0]), QStringList{QStringLiteral("595 x 842")});
  EXPECT_TRUE(printedAcross(pdfs[0], QStringLiteral("Sorszám:")));

  TForm4 producers(nullptr);
  const auto boxes = runPreview([&] { producers.Button7Click(); }, printOn(kCupsPrinter), false);
  EXPECT_TRUE(boxes.empty());
  pdfs = server_->waitForNewPdfs(1);
  ASSERT_EQ(pdfs.size(), 1) << server_->logTail().toStdString();
  // The printer turns a landscape page on its A4 sheet, as it feeds it.
  const QStringList sizes = pdfPageSizes(pdfs[0]);
  ASSERT_FALSE(sizes.isEmpty());
  EXPECT_EQ(sizes[0], QStringLiteral("595 x 842"));
  EXPECT_FALSE(printedAcross(pdfs[0], QStringLiteral("listája")));
  EXPECT_TRUE(pdfPages(pdfs[0]).value(0).contains(QStringLiteral("Kovács Éva"))) << pdfPages(pdfs[0]).value(0).toStdString();
}

TEST_F(CupsPrinting, TwoCopiesOfAPageListArriveEachPageTwiceInARow) {
  std::vector<std::array<double, 3>> many(120, {1, 10, 12});
  const QString s = addTicket(1, many);
  JegyVariant = QStringLiteral("L");
  printTicket(s, printOn(kCupsPrinter, 2, QStringLiteral("2-3")));
  const QStringList pdfs = server_->waitForNewPdfs(1);
  ASSERT_EQ(pdfs.size(), 1) << server_->logTail().toStdString();
  const QStringList pages = pdfPages(pdfs[0]);
  ASSERT_EQ(pages.size(), 4);
  const QRegularExpression pageNumber(QStringLiteral("\\b(\\d)/(\\d)\\b"));
  const char *expected[] = {"2/", "2/", "3/", "3/"};
  for (int i = 0; i < 4; ++i) {
    const auto m = pageNumber.match(pages[i]);
    ASSERT_TRUE(m.hasMatch()) << pages[i].toStdString();
    EXPECT_TRUE(m.captured(0).startsWith(QLatin1String(expected[i]))) << i << " " << m.captured(0).toStdString();
  }
  EXPECT_EQ(pdfPageSizes(pdfs[0]), QStringList(4, QStringLiteral("595 x 842")));
}

// "Properties" with a CUPS printer: the platform's print dialog, on the
// printer the job goes through. Two copies and landscape chosen there (the
// latter in its own properties) are taken over: the copies into the print
// dialog, the ticket built again on landscape paper.
TEST_F(CupsPrinting, WhatThePlatformDialogOfPropertiesSetsGoesWithTheJob) {
  const QString s = addTicket(1, {{100, 80, 12}});
  JegyVariant = QStringLiteral("L");
  QString copiesShown;
  printTicket(s, [&](QWidget *w) {
    auto *d = qobject_cast<report::TfrPrintForm *>(w);
    ASSERT_NE(d, nullptr);
    const int index = d->CB1->findText(kCupsPrinter);
    d->CB1->setCurrentIndex(index);
    emit d->CB1->activated(index);
    ModalScript platform;
    platform.then([](QWidget *p) {
      EXPECT_EQ(p->objectName(), QStringLiteral("PrintSetupDialog"));
      EXPECT_EQ(vorik::test::textOf(p, QStringLiteral("printers")), kCupsPrinter);
      child<QSpinBox>(p, QStringLiteral("copies"))->setValue(2);
      click(p, QStringLiteral("properties"));
    });
    platform.then([](QWidget *p) {
      child<QRadioButton>(p, QStringLiteral("landscape"))->click();
      QMetaObject::invokeMethod(p, "accept", Qt::QueuedConnection);
    });
    platform.then([](QWidget *p) { QMetaObject::invokeMethod(p, "accept", Qt::QueuedConnection); });
    platform.run([&] { d->PropButton->click(); });
    EXPECT_TRUE(platform.done()) << platform.failure().toStdString();
    copiesShown = d->E1->text();
    click(w, QStringLiteral("Button1"));
  });
  EXPECT_EQ(copiesShown, QStringLiteral("2"));
  const QStringList pdfs = server_->waitForNewPdfs(1);
  ASSERT_EQ(pdfs.size(), 1) << server_->logTail().toStdString();
  // Each page of the landscape ticket is printed twice in a row (the server
  // makes no further copies), turned on its A4 sheet.
  const QStringList pages = pdfPages(pdfs[0]);
  ASSERT_GE(pages.size(), 2);
  ASSERT_EQ(pages.size() % 2, 0);
  EXPECT_EQ(pdfPageSizes(pdfs[0]), QStringList(pages.size(), QStringLiteral("595 x 842")));
  EXPECT_FALSE(printedAcross(pdfs[0], QStringLiteral("Sorszám:")));
  for (int i = 0; i < pages.size(); i += 2) EXPECT_EQ(pages[i], pages[i + 1]) << i;
  EXPECT_TRUE(pages.front().contains(QStringLiteral("Sorszám: ") + s)) << pages.front().toStdString();
  EXPECT_TRUE(pages.back().contains(QStringLiteral("7 456,00 Ft"))) << pages.back().toStdString();
}

// A queue that would hold the job, one that takes no jobs, and one whose
// server refuses the job once it is handed over: each a message naming the
// printer.
TEST_F(CupsPrinting, AStoppedOrRejectingQueueSaysSoNamingThePrinterAndPrintsNothing) {
  const QString s = addTicket(1, {{100, 80, 12}});
  JegyVariant = QStringLiteral("L");
  struct Case {
    const char *queue, *says;
  };
  for (const Case &c : {Case{CupsServer::kStopped, "is stopped"}, Case{CupsServer::kRejecting, "does not accept jobs"},
                        Case{CupsServer::kRefusing, "did not take the job"}}) {
    const QString name = QString::fromLatin1(c.queue);
    const auto boxes = printTicket(s, printOn(name), true);
    ASSERT_EQ(boxes.size(), 1u) << c.queue;
    EXPECT_EQ(boxes[0].kind, QStringLiteral("Error"));
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("\"%1\"").arg(name))) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(QLatin1String(c.says))) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.endsWith(QStringLiteral("Nothing was printed."))) << boxes[0].text.toStdString();
  }
  // Nothing was held or written; the queue that works still prints.
  printTicket(s, printOn(kCupsPrinter));
  EXPECT_EQ(server_->waitForNewPdfs(1).size(), 1);
}

}  // namespace

// The lists printed from their dialogs on the program's own layouts: the
// texts of the built pages (receiver header, period, group headers, lines,
// group sums, grand totals, page numbers), several pages, long names, and
// the first page of each list drawn for a look.
#include "support/print_fixture.h"

#include "exchange/lists/Unit13.h"
#include "exchange/lists/Unit19.h"
#include "exchange/lists/Unit30.h"
#include "exchange/lists/Unit31.h"
#include "exchange/lists/Unit32.h"
#include "app/common/LimitedEdit.h"
#include "report/expr/FR_Intrp.h"
#include "tools/layouts/LayoutBuilder.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>

#include <algorithm>

using namespace vorik::test;

namespace {

const QString kNbsp = QString(QChar(0xA0));

class ListPrinting : public PrintFixture {
 protected:
  // A producer code and a serial of this test's own (the database is the suite's).
  QString producer(int n) const { return QStringLiteral("%1%2").arg(receiver_.right(3)).arg(n); }
  QString serial(int n) const { return QStringLiteral("9%1%2").arg(counter_, 3, 10, QLatin1Char('0')).arg(n, 4, 10, QLatin1Char('0')); }

  void ticket(int n, int prod, const QString &bought, const QString &paid, const QString &transfer = QStringLiteral(" ")) {
    exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_ostermkod, f_akod, f_felvkelt, f_fizkelt, f_utal, f_tipus, f_muvktg) "
                        "VALUES ('%1', '%2', '%3', '%4', '%5', '%6', '1', 0)")
             .arg(serial(n), producer(prod), receiver_, bought, paid, transfer));
  }
  void line(int n, const QString &product, double quantity, double price, double compensation = 0) {
    exec(QStringLiteral("INSERT INTO qzsor (s_bszam, s_megnevezes, s_brutto, s_ear, s_kompmerteke, s_levonszaz, s_akod, "
                        "s_megy) VALUES ('%1', '%2', %3, %4, %6, 0, '%5', 'kg')")
             .arg(serial(n), QString(product).replace(QLatin1Char('\''), QStringLiteral("''")))
             .arg(quantity)
             .arg(price)
             .arg(receiver_)
             .arg(compensation));
  }
  // Two producers and a missing one; March tickets paid on the first and
  // bought on the last day of the month, one paid in April.
  void marchData() {
    exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', 'Kiss Anna')").arg(producer(1)));
    exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', 'Nagy Béla')").arg(producer(2)));
    ticket(1, 1, "2025-03-01", "2025-03-01");
    line(1, "Búza", 10, 100);
    line(1, "Árpa", 5, 50);
    ticket(2, 2, "2025-03-31", "2025-04-15", "x");
    line(2, "Zab", 1, 10);
    line(2, "búza", 2, 100);
    line(2, "Alma", 1, 20);
    ticket(3, 9, "2025-02-28", "2025-03-10");  // no such producer
    line(3, "Búza", 1, 34.5);
  }
  template <class Form>
  void gatherAndPrint(Form &f, bool byPayment) {
    f.DateTimePicker1->setDate(QDate(2025, 3, 1));
    f.DateTimePicker2->setDate(QDate(2025, 3, 31));
    (byPayment ? f.RadioButton1 : f.RadioButton2)->setChecked(true);
    f.Button1Click();
    print([&] { f.Button2Click(); });
  }
  // Runs a print; a message box instead of the preview fails the test.
  static void print(const std::function<void()> &button) {
    ModalScript script;
    MessageSeen seen;
    script.then(answer(QMessageBox::Ok, &seen));
    script.runUntilReturn(button, 5000);
    EXPECT_TRUE(seen.text.isEmpty()) << seen.text.toStdString();
  }
  int indexOf(const QString &text, int from = 0) const { return allTexts().indexOf(text, from); }
};

TEST_F(ListPrinting, ProductListShowsGroupsLinesSumsAndTheGrandTotal) {
  marchData();
  TForm13 form(nullptr);
  gatherAndPrint(form, true);
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_TRUE(shows(QStringLiteral("Kalász Felvásárló Kft. ") + receiver_));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Fizetési dátum szerint: 2025.03.01 – 2025.03.31")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Termékenkénti lista")));
  // Búza: the March 1 line listed; the line of the missing producer counts
  // in the group's sum (10 + 1 kg, 1034,50 Ft) but has no producer to list.
  const int wheat = indexOf(QStringLiteral("Búza"));
  ASSERT_GE(wheat, 0);
  EXPECT_EQ(allTexts()[wheat + 2], "1" + kNbsp + "034,50 Ft");  // beside it in its framed cell
  const int wheatLine = indexOf(serial(1), wheat);
  const int wheatSum = indexOf(QStringLiteral("Összesen: Búza"), wheat);
  EXPECT_LT(wheatLine, wheatSum);
  EXPECT_EQ(allTexts().indexOf(serial(3)), -1);
  EXPECT_EQ(allTexts().mid(wheatSum, 4), (QStringList{"Összesen: Búza", "11", "", "1" + kNbsp + "034,50"}));
  EXPECT_GE(indexOf(QStringLiteral("Összesen: Árpa")), 0);
  // Paid in April: not in a March list by payment date.
  EXPECT_EQ(indexOf(QStringLiteral("Zab")), -1);
  EXPECT_TRUE(allTexts().contains("Mindösszesen: 1" + kNbsp + "284,50 Ft"));  // as the amounts above it
  EXPECT_TRUE(allTexts().contains(QStringLiteral("1/1")));
  // The price is what the lines sum, not a payment.
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Vételár (Ft)")));
  EXPECT_FALSE(allTexts().join(QLatin1Char(' ')).contains(QStringLiteral("Kifizet")));
  drawShown(0, 1.5, QStringLiteral("QzLista5.png"));

  // By purchase date the same range holds the March 31 purchase; "búza" is a group of its own.
  gatherAndPrint(form, false);
  EXPECT_GE(indexOf(QStringLiteral("Összesen: búza")), 0);
  EXPECT_GE(indexOf(QStringLiteral("Összesen: Zab")), 0);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Felvásárlási dátum szerint: 2025.03.01 – 2025.03.31")));
  EXPECT_TRUE(allTexts().contains("Mindösszesen: 1" + kNbsp + "480,00 Ft"));
}

TEST_F(ListPrinting, ProducerListOrdersEveryProducersLinesByProduct) {
  marchData();
  ticket(4, 1, "2025-03-20", "2025-03-20");
  line(4, "Alma", 12.5, 1500.05, 12);
  TForm19 form(nullptr);
  gatherAndPrint(form, false);
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Őstermelőnkénti lista")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Felvásárlási dátum szerint: 2025.03.01 – 2025.03.31")));
  // Every row checkable: 12,5 x 1 500,05 and its 12 % surcharge give the
  // price beside them (framed cells: every second text).
  const int apple = indexOf(serial(4));
  ASSERT_GE(apple, 0);
  QStringList row;
  for (int i = 0; i < 9; ++i) row << allTexts().value(apple + 2 * i);
  EXPECT_EQ(row, (QStringList{serial(4), "2025.03.20", "2025.03.20", "Alma", "12,5", "kg", "1" + kNbsp + "500,05",
                              "12", "21" + kNbsp + "000,70"}));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Komp. %")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Vételár (Ft)")));
  const QStringList t = allTexts();
  // Each group's lines come by product name, the first group's and the later ones'.
  const int first = t.indexOf(producer(1) + QStringLiteral("  Kiss Anna"));
  const int second = t.indexOf(producer(2) + QStringLiteral("  Nagy Béla"));
  ASSERT_GE(first, 0);
  ASSERT_GT(second, first);
  auto products = [&](int from, int to) {
    QStringList out;
    for (int i = from; i < to; ++i)
      if (QStringList{"Alma", "Zab", "búza", "Búza", "Árpa"}.contains(t[i])) out << t[i];
    return out;
  };
  EXPECT_EQ(products(first, second), (QStringList{"Alma", "Árpa", "Búza"}));
  EXPECT_EQ(products(second, t.size()), (QStringList{"Alma", "búza", "Zab"}));
  const int sum = t.indexOf(QStringLiteral("Összesen: Nagy Béla"));
  ASSERT_GE(sum, 0);
  EXPECT_EQ(t[sum + 1], "230,00");
  EXPECT_TRUE(t.contains("Mindösszesen: 22" + kNbsp + "480,70 Ft"));
  drawShown(0, 1.5, QStringLiteral("QzLista8.png"));

  // By payment date the producer without a row forms the empty group, with
  // its sum and no lines, so the group sums add up to the grand total.
  gatherAndPrint(form, true);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Fizetési dátum szerint: 2025.03.01 – 2025.03.31")));
  const int empty = allTexts().indexOf(QStringLiteral("  "));
  ASSERT_GE(empty, 0);
  EXPECT_EQ(allTexts()[empty + 2], "34,50 Ft");
  EXPECT_TRUE(allTexts().contains(QString("22" + kNbsp + "250,70 Ft")));
}

TEST_F(ListPrinting, ManyLinesRunOverPagesWithHeadersNumbersAndLongNames) {
  exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', '%2')").arg(producer(1), QString(45, QLatin1Char('W'))));
  const QString longProduct = QStringLiteral("Nagyon hosszú nevű ") + QString(56, QLatin1Char('M'));
  for (int i = 1; i <= 120; ++i) {
    ticket(i, 1, "2025-05-02", "2025-05-02");
    line(i, i % 2 ? longProduct : QStringLiteral("Kukorica"), 1, 10);
  }
  TForm13 form(nullptr);
  form.DateTimePicker1->setDate(QDate(2025, 5, 1));
  form.DateTimePicker2->setDate(QDate(2025, 5, 31));
  form.Button1Click();
  print([&] { form.Button2Click(); });
  ASSERT_GE(pages_.size(), 3u);
  const int total = static_cast<int>(pages_.size());
  for (int p = 0; p < total; ++p) {
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("%1/%2").arg(p + 1).arg(total))) << p;
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("Őstermelő"))) << p;  // column titles on every page
  }
  EXPECT_TRUE(pages_.back().contains("Mindösszesen: 1" + kNbsp + "200,00 Ft"));
  drawShown(1, 1.5, QStringLiteral("QzLista5_long.png"));
}

// Groups of one to nine lines and one of 90 over several pages: a group's
// heading is never the last thing on a page without a line of it under it,
// and a page that goes on with a group's lines names the group above them.
TEST_F(ListPrinting, GroupHeadingsKeepWithTheirLinesAndContinuedGroupsNameThemselves) {
  exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', 'Kiss Anna')").arg(producer(1)));
  QStringList groups;
  int n = 0;
  for (int g = 1; g <= 40; ++g) {
    const QString name = g == 40 ? QStringLiteral("Zab") : QStringLiteral("Termék %1").arg(g, 2, 10, QLatin1Char('0'));
    groups << name;
    const int count = g == 40 ? 90 : 1 + (g * 5) % 9;
    for (int i = 0; i < count; ++i) {
      ticket(++n, 1, "2025-05-02", "2025-05-02");
      line(n, name, 1, 10);
    }
  }
  TForm13 form(nullptr);
  form.DateTimePicker1->setDate(QDate(2025, 5, 1));
  form.DateTimePicker2->setDate(QDate(2025, 5, 31));
  form.Button1Click();
  print([&] { form.Button2Click(); });
  ASSERT_GE(pages_.size(), 4u);
  QStringList serials;
  for (int i = 1; i <= n; ++i) serials << serial(i);
  QString current;  // the group whose lines the last page ended in
  for (size_t p = 0; p < pages_.size(); ++p) {
    const QStringList &t = pages_[p];
    int lastHeading = -1, lastLine = -1, firstLine = -1, firstHeading = -1;
    for (int i = 0; i < t.size(); ++i) {
      if (groups.contains(t[i])) {
        lastHeading = i;
        if (firstHeading < 0) firstHeading = i;
      }
      if (serials.contains(t[i])) {
        lastLine = i;
        if (firstLine < 0) firstLine = i;
      }
    }
    if (lastHeading >= 0) {
      EXPECT_GT(lastLine, lastHeading) << "page " << p + 1 << " ends in the heading " << t[lastHeading].toStdString();
    }
    if (p > 0 && firstLine >= 0 && (firstHeading < 0 || firstLine < firstHeading)) {
      const int named = t.indexOf(current + QStringLiteral(" (folytatás)"));
      EXPECT_TRUE(named >= 0 && named < firstLine) << "page " << p + 1 << " goes on with " << current.toStdString();
    }
    if (lastHeading >= 0) current = t[lastHeading];
    // No page names a group as continued that starts on it.
    for (const QString &g : groups) {
      if (t.contains(g)) {
        EXPECT_FALSE(t.contains(g + QStringLiteral(" (folytatás)"))) << g.toStdString();
      }
    }
  }
  drawShown(static_cast<int>(pages_.size()) - 1, 1.0, QStringLiteral("QzLista5_groups.png"));  // "Zab" goes on
}

TEST_F(ListPrinting, MonthlyCashAndStatisticsListsPrintTheirRowsAndTotals) {
  marchData();
  TForm30 month(nullptr);
  month.Edit4->setText(producer(1));
  // What the producer pick sets.
  report::frVariables->SetVariable(QStringLiteral("v_nev"), QStringLiteral("Kiss Anna"));
  report::frVariables->SetVariable(QStringLiteral("v_cim"), QStringLiteral("6720  Szeged  Tisza u. 2."));
  report::frVariables->SetVariable(QStringLiteral("v_szido"), QStringLiteral("Szül.idö: 1970.05.06  Anyja neve: Minta Mária"));
  month.Button2Click();
  print([&] { month.Button3Click(); });
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Kiss Anna havi bontásban termékenként")));
  EXPECT_TRUE(allTexts().contains("Felvásárlási ár: 1" + kNbsp + "250,00 Ft    Komp. felár: 0,00 Ft    Vételár: 1" + kNbsp +
                                   "250,00 Ft"));
  EXPECT_TRUE(allTexts().contains(QString("1" + kNbsp + "000,00")));
  // Prices before tax, contribution and deduction are not called paid.
  auto saysPaid = [&] { return allTexts().join(QLatin1Char(' ')).contains(QStringLiteral("Kifizet")); };
  EXPECT_FALSE(saysPaid());
  drawShown(0, 1.5, QStringLiteral("QzLista9.png"));

  TForm31 cash(nullptr);
  cash.Button1Click();
  print([&] { cash.Button2Click(); });
  // Paid in cash on 1 and 10 March (the April payment was a transfer).
  EXPECT_TRUE(allTexts().contains(QStringLiteral("2025.03.01")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Kp. napi lista")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Készpénzben kifizetve (Ft)")));  // the payables
  {
    // The narrow table's total ends where its amounts end, not at the margin.
    int tableRight = 0, totalRight = -1;
    for (const auto &v : report::TfrEMFPages::ReadObjects(shown_->GetPageRec(0)->Stream)) {
      if (v->FrameTyp != 0) tableRight = std::max(tableRight, v->x + v->dx);
      if (textOf(*v).startsWith(QStringLiteral("Összesen: "))) totalRight = v->x + v->dx;
    }
    EXPECT_LE(totalRight, tableRight);
    EXPECT_GE(totalRight, tableRight - 2 * report::layouts::LayoutBuilder::kCellPadding);
  }
  drawShown(0, 1.5, QStringLiteral("QzLista10.png"));
  cash.CheckBox1->setChecked(true);
  cash.Button1Click();
  print([&] { cash.Button2Click(); });
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Kp. napi lista termékenként")));
  EXPECT_TRUE(allTexts().contains(QString("Összesen: 1" + kNbsp + "284,50 Ft")));
  // Per product the lines' prices, before the tickets' tax and deductions.
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Vételár (Ft)")));
  EXPECT_FALSE(allTexts().contains(QStringLiteral("Készpénzben kifizetve (Ft)")));
  drawShown(0, 1.5, QStringLiteral("QzLista11.png"));

  // A ticket and its cancelling document: the average left empty.
  ticket(5, 1, "2025-06-03", "2025-06-03");
  line(5, "Kukorica", 10, 50);
  ticket(6, 1, "2025-06-03", "2025-06-03");
  line(6, "Kukorica", -10, 50);
  TForm32 stats(nullptr);
  stats.Button1Click();
  print([&] { stats.Button2Click(); });
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Termékenként, a felvásárlás hónapja szerint")));
  EXPECT_TRUE(allTexts().contains("Felvásárlási ár összesen: 1" + kNbsp + "514,50 Ft    Vételár összesen: 1" + kNbsp +
                                   "514,50 Ft"));
  const int corn = allTexts().indexOf(QStringLiteral("Kukorica"));
  ASSERT_GE(corn, 0);
  // Each framed cell is an empty box and its text inside: every second text.
  QStringList cells;
  for (int i = 0; i < 5; ++i) cells << allTexts().value(corn + 2 * i);
  EXPECT_EQ(cells, (QStringList{"Kukorica", "6", "0", "", "0,00"}));
  EXPECT_FALSE(saysPaid());
  drawShown(0, 1.5, QStringLiteral("QzLista12.png"));
  stats.CheckBox1->setChecked(true);
  stats.Button1Click();
  print([&] { stats.Button2Click(); });
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Termékenként mindösszesen")));
  EXPECT_FALSE(saysPaid());
  drawShown(0, 1.5, QStringLiteral("QzLista13.png"));

  // Half fillérs round up on their decimal value (1,005 is 1,00499... in
  // binary), averages keep four places, totals add the printed rows.
  ticket(7, 1, "2025-06-04", "2025-06-04");
  for (const char *product : {"Dió", "Tök"}) line(7, product, 1, 1.005);
  line(7, "Mák", 3, 100);
  line(7, "Mák", 4, 81.25);  // 625 Ft for 7 kg
  const std::pair<std::function<void()>, QStringList> printed[] = {
      {[&] { month.Button2Click(), month.Button3Click(); }, {"1,005", "89,2857", "Vételár: 1" + kNbsp + "877,02 Ft"}},
      {[&] { cash.Button1Click(), cash.Button2Click(); }, {"1,01", "Összesen: 1" + kNbsp + "911,52 Ft"}},
      {[&] { stats.Button1Click(), stats.Button2Click(); }, {"1,005", "89,2857", "összesen: 2" + kNbsp + "141,52 Ft"}}};
  for (const auto &[button, texts] : printed) {
    print(button);
    for (const QString &t : texts) EXPECT_TRUE(allTexts().join(QLatin1Char('\n')).contains(t)) << t.toStdString();
  }
}

// The texts of both group lists on a small year: several producers with
// several tickets and products, decimals, a producer without a row, a
// cancelling line, both date kinds. Compared, sorted (groups and lines may
// come in another order, their texts and totals may not change), with the
// texts the lists printed when they were first written down; this test's
// own codes and serials are replaced by stable names.
TEST_F(ListPrinting, GroupListsPrintTheSameTextsAndTotalsAsWrittenDown) {
  marchData();
  for (int p = 3; p <= 6; ++p)
    exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', 'Termelő %2')").arg(producer(p)).arg(p));
  const char *products[] = {"Búza", "Árpa", "Zab", "Kukorica", "Napraforgó"};
  for (int n = 10; n < 40; ++n) {
    const int p = 1 + n % 6;
    ticket(n, p, QStringLiteral("2025-03-%1").arg(1 + n % 28, 2, 10, QLatin1Char('0')),
           QStringLiteral("2025-03-%1").arg(1 + (n * 3) % 31, 2, 10, QLatin1Char('0')));
    line(n, QString::fromUtf8(products[n % 5]), 1.25 * (n % 7) + 0.5, 33.3 + n);
    if (n % 3 == 0) line(n, QString::fromUtf8(products[(n + 2) % 5]), n % 4 - 1.5, 41.7);
  }
  auto normalised = [&] {
    QStringList out;
    for (QString t : allTexts()) {
      if (t.isEmpty() || t.startsWith(QStringLiteral("Nyomtatva"))) continue;
      for (int n = 1; n < 40; ++n) t.replace(serial(n), QStringLiteral("S%1").arg(n));
      t.replace(receiver_, QStringLiteral("R"));
      for (int p = 1; p <= 9; ++p)
        t.replace(QRegularExpression(QStringLiteral("\\b%1\\b").arg(producer(p))), QStringLiteral("P%1").arg(p));
      out << t;
    }
    out.sort();
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
  };
  QString texts;
  TForm19 producers(nullptr);
  TForm13 productsForm(nullptr);
  for (bool byPayment : {true, false}) {
    gatherAndPrint(producers, byPayment);
    texts += QStringLiteral("== producers ") + (byPayment ? "paid\n" : "bought\n") + normalised();
    gatherAndPrint(productsForm, byPayment);
    texts += QStringLiteral("== products ") + (byPayment ? "paid\n" : "bought\n") + normalised();
  }
  const QString golden = sourcePath(QStringLiteral("tests/exchange/lists/group_lists.txt"));
  if (qEnvironmentVariableIsSet("VORIK_WRITE_GOLDEN")) {
    ASSERT_TRUE(writeFile(golden, texts.toUtf8()));
  }
  QFile in(golden);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << golden.toStdString();
  EXPECT_EQ(texts, QString::fromUtf8(in.readAll()));
}

}  // namespace

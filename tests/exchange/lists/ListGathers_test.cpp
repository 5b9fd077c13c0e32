// The gathers of the lists on a real database: range ends, date kinds,
// spellings, missing producers, months of two years, the transfer mark,
// cancelling documents and the other receiver's tickets.
#include "list_fixture.h"

#include "exchange/lists/ListGathers.h"
#include "report/core/FR_Class_Report.h"
#include "report/core/FR_Class_View.h"
#include "report/data/FR_DSet.h"

using namespace vorik::test;
using lists::Range;

namespace {

using Sums = std::map<QString, QString>;

const Range kMarchPaid{true, QDate(2025, 3, 1), QDate(2025, 3, 31), QStringLiteral("1")};
const Range kMarchBought{false, QDate(2025, 3, 1), QDate(2025, 3, 31), QStringLiteral("1")};

TEST(ListNumberText, GeneralFormat) {
  EXPECT_EQ(lists::NumberText(1234.5), "1234,5");
  EXPECT_EQ(lists::NumberText(1234), "1234");
  EXPECT_EQ(lists::NumberText(0), "0");
  EXPECT_EQ(lists::NumberText(-35), "-35");
}

class ProductAndProducerGathers : public ListsTest {};

TEST_F(ProductAndProducerGathers, ProductGroupsOfTheRangeWithBothEndsAndEverySpelling) {
  marchTickets();
  // By payment date: 1 March (first day) and 10 March count, the April
  // payment does not; the line of the missing producer counts in Búza.
  EXPECT_EQ(lists::GatherProducts(kMarchPaid), "1284,5");
  EXPECT_EQ(pairs(Data->ZQ20, "S_MEGNEVEZES", "KIFIZETETT"), (Sums{{"Búza", "1034,5"}, {"Árpa", "250"}}));
  EXPECT_EQ(pairs(Data->ZQ20, "S_MEGNEVEZES", "MENNYISEG"), (Sums{{"Búza", "11"}, {"Árpa", "5"}}));
  // The first group's lines are ready for the list, with its name.
  EXPECT_EQ(ListaTermekNev, column(Data->ZQ20, "S_MEGNEVEZES").first());
  EXPECT_TRUE(Data->ZQ21->active());

  // By purchase date the same range holds other groups: 31 March (last day)
  // counts, the February purchase does not; "búza" is a group of its own.
  EXPECT_EQ(lists::GatherProducts(kMarchBought), "1480");
  EXPECT_EQ(pairs(Data->ZQ20, "S_MEGNEVEZES", "KIFIZETETT"),
            (Sums{{"Alma", "20"}, {"Búza", "1000"}, {"Zab", "10"}, {"búza", "200"}, {"Árpa", "250"}}));
  // In Hungarian alphabetical order: "Árpa" beside "Alma", lower case beside upper case.
  EXPECT_EQ(column(Data->ZQ20, "S_MEGNEVEZES"), (QStringList{"Alma", "Árpa", "búza", "Búza", "Zab"}));
}

TEST_F(ProductAndProducerGathers, TotalsKeepTheirDecimalsOnlyWhenThereAreAny) {
  marchTickets();
  EXPECT_EQ(lists::GatherProducts({false, QDate(2025, 3, 31), QDate(2025, 3, 31), "1"}), "230");
  EXPECT_EQ(lists::GatherProducers({true, QDate(2025, 3, 10), QDate(2025, 3, 10), "1"}), "34,5");
}

TEST_F(ProductAndProducerGathers, ReversedEmptyOrForeignRangesGiveAnEmptyListAndZero) {
  marchTickets();
  for (const Range &r : {Range{true, QDate(2025, 3, 31), QDate(2025, 3, 1), "1"},
                         Range{true, QDate(2026, 1, 1), QDate(2026, 12, 31), "1"},
                         Range{true, QDate(2025, 1, 1), QDate(2025, 12, 31), "7"}}) {
    EXPECT_EQ(lists::GatherProducts(r), "0");
    EXPECT_TRUE(Data->ZQ20->isEmpty());
    EXPECT_EQ(lists::GatherProducers(r), "0");
    EXPECT_TRUE(Data->ZQ20->isEmpty());
  }
}

TEST_F(ProductAndProducerGathers, ProducerGroupsWithTheMissingProducerAsAnEmptyGroup) {
  marchTickets();
  EXPECT_EQ(lists::GatherProducers(kMarchPaid), "1284,5");
  EXPECT_EQ(pairs(Data->ZQ20, "O_KOD", "NEVOSSZESEN"), (Sums{{"", "34,5"}, {"10", "1250"}}));
  QStringList names = column(Data->ZQ20, "O_NEV");
  names.sort();
  EXPECT_EQ(names, (QStringList{"", "Kiss Anna"}));
  // The range as gathered is what the list sources use.
  EXPECT_TRUE(Data->ListaSzuro.FizetesiDatum);
  EXPECT_EQ(Data->ListaSzuro.Tol, QDate(2025, 3, 1));
  EXPECT_EQ(Data->ListaSzuro.AtvevoKod, "1");

  EXPECT_EQ(lists::GatherProducers(kMarchBought), "1480");
  EXPECT_EQ(pairs(Data->ZQ20, "O_KOD", "NEVOSSZESEN"), (Sums{{"10", "1250"}, {"20", "230"}}));
}

// The producer's total of each group in ZQ80, as the list's layout may bind
// it, group by group as the sources walk them; the group of codes without a
// producer row finds it empty, as its own statement would.
TEST_F(ProductAndProducerGathers, EachProducerGroupFindsItsTotalInZQ80) {
  marchTickets();
  ticket("25000011", "20", "2025-03-12", "2025-03-12", " ", 0);
  line("25000011", "Zab", 3, 7.5);
  // The totals are read for a layout that names them.
  auto total = std::make_unique<report::TfrMemoView>();
  total->Memo = QStringList{QStringLiteral("[ZQ80.\"NEVOSSZESEN\"]")};
  Data->frNyomtat->Pages.Add()->Add(std::move(total));
  report::frCurrentReport = Data->frNyomtat;
  for (const Range &range : {kMarchPaid, kMarchBought}) {
    lists::GatherProducers(range);
    lists::SeedProducerGroup();
    Sums seen;
    for (int group = 0; !Data->ZQ20->eof(); ++group) {
      const QString code = Data->ZQ20->fieldByName(QStringLiteral("O_KOD")).asString();
      if (code.isEmpty()) {
        EXPECT_TRUE(Data->ZQ80->isEmpty()) << group;
      } else {
        EXPECT_EQ(Data->ZQ80->fieldByName(QStringLiteral("O_KOD")).asString(), code);
        seen[code] = lists::NumberText(Data->ZQ80->fieldByName(QStringLiteral("NEVOSSZESEN")).asFloat());
      }
      Data->frUserDataset3Next(nullptr);
    }
    EXPECT_EQ(seen, range.byPayment ? (Sums{{"10", "1250"}, {"20", "22,5"}})
                                    : (Sums{{"10", "1250"}, {"20", "252,5"}}));
  }
}

// Names in Hungarian alphabetical order in every name-ordered list, names
// differing only in case or accents still apart; producer groups by the
// numbers of their codes.
TEST_F(ProductAndProducerGathers, HungarianOrderOfNamesAndNumericOrderOfCodes) {
  const QStringList names{"Zala", "Őri", "Öreg", "Érsek", "Ábel", "abel", "Abel", "Olga", "Otto"};
  const QStringList codes{"2", "12", "1", "11", "A7"};
  for (const QString &c : codes) exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('%1', 'T %1')").arg(c));
  for (int i = 0; i < names.size(); ++i) {
    const QString serial = QStringLiteral("2600%1").arg(i, 4, 10, QLatin1Char('0'));
    ticket(serial, codes[i % codes.size()], "2026-05-02", "2026-05-02", " ", 10);
    line(serial, names[i], 1, 10);
  }
  const QStringList hungarian{"abel", "Abel", "Ábel", "Érsek", "Olga", "Otto", "Öreg", "Őri", "Zala"};
  const Range may{true, QDate(2026, 5, 1), QDate(2026, 5, 31), QStringLiteral("1")};
  lists::GatherProducts(may);
  EXPECT_EQ(column(Data->ZQ20, "S_MEGNEVEZES"), hungarian);
  lists::GatherProducers(may);
  EXPECT_EQ(column(Data->ZQ20, "O_KOD"), (QStringList{"1", "2", "11", "12", "A7"}));
  // Every producer's lines by product in the same order.
  lists::SeedProducerGroup();
  auto lines = [] {
    QStringList out;
    for (Data->frUserDataset4->First(); !Data->frUserDataset4->Eof(); Data->frUserDataset4->Next())
      out << Data->ZQ21->fieldByName(QStringLiteral("S_MEGNEVEZES")).asString();
    return out;
  };
  EXPECT_EQ(lines(), (QStringList{"Olga", "Öreg"}));
  Data->frUserDataset3Next(nullptr);
  EXPECT_EQ(lines(), (QStringList{"abel", "Zala"}));

  lists::GatherStatistics(QStringLiteral("1"), true);
  QStringList stats = column(Data->ZQ11, "S_MEGNEVEZES");
  for (const QString &n : QStringList{"Alma", "Búza", "búza", "Kukorica", "Zab", "Árpa"}) stats.removeAll(n);
  EXPECT_EQ(stats, hungarian);
  lists::GatherCash(QStringLiteral("1"), true);
  QStringList cash;
  for (Data->ZQ11->first(); !Data->ZQ11->eof(); Data->ZQ11->next())
    if (Data->ZQ11->fieldByName(QStringLiteral("F_FIZKELT")).asDate() == QDate(2026, 5, 2))
      cash << Data->ZQ11->fieldByName(QStringLiteral("S_MEGNEVEZES")).asString();
  EXPECT_EQ(cash, hungarian);
}

TEST_F(ProductAndProducerGathers, QuotesAndLongNamesAreData) {
  const QString quoted = QStringLiteral("O'Neil \"Bio\" búza; DROP TABLE qzsor");
  const QString longName = QString(75, QLatin1Char('W'));
  ticket("25000001", "10", "2025-05-02", "2025-05-02", " ", 100);
  line("25000001", quoted, 1, 40);
  line("25000001", longName, 2, 30);
  EXPECT_EQ(lists::GatherProducts({true, QDate(2025, 5, 1), QDate(2025, 5, 31), "1"}), "100");
  EXPECT_EQ(pairs(Data->ZQ20, "S_MEGNEVEZES", "KIFIZETETT"), (Sums{{quoted, "40"}, {longName, "60"}}));
}

class MonthlyCashStatistics : public ListsTest {};

TEST_F(MonthlyCashStatistics, ProducerMonthsJoinYearsAndBreakDownLineByLine) {
  marchTickets();
  line("25000001", "Búza", 4, 100, 10);  // a second wheat line in March 2025, 10 % compensation
  const lists::ProducerTotals t = lists::GatherProducerMonths("10", "1", false);
  EXPECT_DOUBLE_EQ(t.felvar, 1000 + 250 + 400 + 300);
  EXPECT_DOUBLE_EQ(t.felar, 40);
  EXPECT_DOUBLE_EQ(t.vetelar, 1990);
  // March 2024 and March 2025 share month 3; the other receiver's ticket is apart.
  EXPECT_EQ(column(Data->ZQ11, "HO"), (QStringList{"3", "3"}));
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_MENNY"), (Sums{{"Búza", "17"}, {"Árpa", "5"}}));
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_ATLAR"), (Sums{{"Búza", "100"}, {"Árpa", "50"}}));
  EXPECT_EQ(Data->ZQ11->recNo(), Data->ZQ11->recordCount());  // on the last row

  lists::GatherProducerMonths("10", "1", true);
  EXPECT_EQ(Data->ZQ11->recordCount(), 4);
  EXPECT_NE(Data->ZQ11->findField("ID_QZSOR"), nullptr);
}

TEST_F(MonthlyCashStatistics, ProducerWithoutTicketsGivesZerosAndNoRows) {
  marchTickets();
  const lists::ProducerTotals t = lists::GatherProducerMonths("30", "1", false);
  EXPECT_EQ(t.felvar, 0);
  EXPECT_EQ(t.felar, 0);
  EXPECT_EQ(t.vetelar, 0);
  EXPECT_TRUE(Data->ZQ11->isEmpty());
}

TEST_F(MonthlyCashStatistics, ATicketAndItsCancellingDocumentLeaveTheAverageEmpty) {
  ticket("25000001", "10", "2025-06-03", "2025-06-03", " ", 500);
  line("25000001", "Kukorica", 10, 50);
  ticket("25000002", "10", "2025-06-03", "2025-06-03", " ", -500, "4");
  line("25000002", "Kukorica", -10, 50);
  ticket("25000003", "10", "2025-06-04", "2025-06-04", " ", 90);
  line("25000003", "Napraforgó", 1, 90);

  const lists::StatisticsTotals s = lists::GatherStatistics("1", false);
  EXPECT_DOUBLE_EQ(s.felvar, 90);
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_ATLAR"), (Sums{{"Kukorica", "null"}, {"Napraforgó", "90"}}));
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_FELVAR"), (Sums{{"Kukorica", "0"}, {"Napraforgó", "90"}}));
  lists::GatherStatistics("1", true);
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_ATLAR"), (Sums{{"Kukorica", "null"}, {"Napraforgó", "90"}}));
  lists::GatherProducerMonths("10", "1", false);
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_ATLAR"), (Sums{{"Kukorica", "null"}, {"Napraforgó", "90"}}));
}

TEST_F(MonthlyCashStatistics, CashCountsUnmarkedTicketsOfEveryTypeAndNoNullMark) {
  ticket("25000001", "10", "2025-06-03", "2025-06-03", " ", 500);
  line("25000001", "Búza", 5, 100);
  ticket("25000002", "10", "2025-06-03", "2025-06-03", " ", -500, "4");  // cancelling document
  line("25000002", "Búza", -5, 100);
  ticket("25000003", "20", "2025-06-03", "2025-06-03", " ", 75);
  line("25000003", "búza", 1, 75);
  ticket("25000004", "20", "2025-06-03", "2025-06-20", "x", 1000);  // by transfer
  line("25000004", "Búza", 10, 100);
  ticket("25000005", "20", "2025-06-04", "2025-06-04", "", 40);  // null mark
  line("25000005", "Búza", 1, 40);
  ticket("25000006", "20", "2025-06-05", "2025-06-05", " ", 20, "1", "2");  // another receiver
  line("25000006", "Búza", 1, 20, 0, "2");

  lists::GatherCash("1", false);
  EXPECT_EQ(pairs(Data->ZQ11, "F_FIZKELT", "V_KIFIZ1").size(), 1u);
  EXPECT_EQ(column(Data->ZQ11, "V_KIFIZ1"), (QStringList{"75"}));
  EXPECT_EQ(Data->ZQ11->recNo(), 1);

  lists::GatherCash("1", true);
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_KIFIZ2"), (Sums{{"Búza", "0"}, {"búza", "75"}}));
}

TEST_F(MonthlyCashStatistics, StatisticsByMonthKeepSpellingsApartAndJoinYears) {
  marchTickets();
  const lists::StatisticsTotals s = lists::GatherStatistics("1", false);
  EXPECT_DOUBLE_EQ(s.felvar, 1000 + 250 + 10 + 200 + 20 + 34.5 + 300);
  EXPECT_DOUBLE_EQ(s.kifiz, s.felvar);
  // Wheat bought in March 2025 (10) and March 2024 (3) shares month 3; the
  // line bought on 28 February is month 2.
  std::map<QString, QString> byMonth;
  Data->ZQ11->first();
  while (!Data->ZQ11->eof()) {
    byMonth[Data->ZQ11->fieldByName("S_MEGNEVEZES").asString() + "/" + Data->ZQ11->fieldByName("HO").asString()] =
        lists::NumberText(Data->ZQ11->fieldByName("V_MENNY").asFloat());
    Data->ZQ11->next();
  }
  EXPECT_EQ(byMonth, (Sums{{"Alma/3", "1"},
                           {"Búza/2", "1"},
                           {"Búza/3", "13"},
                           {"Zab/3", "1"},
                           {"búza/3", "2"},
                           {"Árpa/3", "5"}}));

  lists::GatherStatistics("1", true);
  EXPECT_EQ(Data->ZQ11->findField("HO"), nullptr);
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_MENNY"),
            (Sums{{"Alma", "1"}, {"Búza", "14"}, {"Zab", "1"}, {"búza", "2"}, {"Árpa", "5"}}));
  // 1334,5 / 14 = 95,321428...: the decimal of the unit price's four places.
  EXPECT_EQ(pairs(Data->ZQ11, "S_MEGNEVEZES", "V_ATLAR").at("Búza"), QStringLiteral("95,3214"));

  // A receiver without tickets: zero totals, no rows.
  const lists::StatisticsTotals none = lists::GatherStatistics("7", false);
  EXPECT_EQ(none.felvar, 0);
  EXPECT_TRUE(Data->ZQ11->isEmpty());
}

}  // namespace

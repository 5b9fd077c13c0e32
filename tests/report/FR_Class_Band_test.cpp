// Page filling: lists over pages with headers, footers and page totals,
// groups, master/detail, bands that move or split at a page end, subreports,
// columns and build errors, on layouts written with the stream writer.
#include "report_fixture.h"

#include "report/expr/FR_Class_Funcs.h"
#include "report/expr/FR_Intrp.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

using namespace report;
using namespace report::test;

namespace {

class PageFilling : public ReportTest {
 protected:
  // Field values of the current records, by name.
  void Fields(std::function<bool(const QString &, Variant &)> f) { rep.OnGetValue = std::move(f); }
  int PageHeight() const { return frPaperGeometry(9, 2100, 2970, 0).pageHeight; }
};

// A list of n records: page header, a data band of 20 pixels, and a page
// footer "Page N of TOTALPAGES" on every page.
void ListLayout(LayoutBuilder &l, const QString &source) {
  l.Band(btPageHeader, 0, 30, {}, flBandOnFirstPage);
  l.Memo(0, 0, 300, 20, {"Header"});
  l.Band(btMasterData, 40, 20, source);
  l.Memo(0, 40, 100, 20, {"[Name]"});
  l.Memo(100, 40, 100, 20, {"[LINE#]"});
  l.Band(btPageFooter, 980, 30, {}, flBandOnFirstPage | flBandOnLastPage);
  l.Memo(0, 980, 300, 20, {"Page [PAGE#] of [TOTALPAGES]"});
}

TEST_F(PageFilling, AThousandRecordsInTwoPassesNumberEveryPageOfTheTotal) {
  TfrUserDataset *ds = Records(&owner, "List", [] { return 1000; });
  Fields([ds](const QString &n, Variant &v) {
    if (n != "Name") return false;
    v = Variant(QStringLiteral("R%1").arg(ds->RecNo + 1));
    return true;
  });
  LayoutBuilder l;
  ListLayout(l, "List");
  l.src.DoublePass = true;
  Build(l);
  ASSERT_TRUE(built);
  const int pages = rep.EMFPages->Count();
  ASSERT_GT(pages, 10);

  int expected = 1;
  const int footerTop = PageHeight() - 30;
  for (int p = 0; p < pages; ++p) {
    const auto objs = PageObjects(rep, p);
    ASSERT_GE(objs.size(), 2u);
    EXPECT_EQ(objs.front().text, "Header") << "page " << p + 1;
    // The footer of each page stands at the page bottom and names the total.
    const PrintedObject &footer = objs.back();
    EXPECT_EQ(footer.text, QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages));
    EXPECT_EQ(footer.y, footerTop);
    for (const PrintedObject &o : objs) {
      if (!o.text.startsWith('R')) continue;
      EXPECT_EQ(o.text, QStringLiteral("R%1").arg(expected)) << "page " << p + 1;
      EXPECT_LE(o.y + o.dy, footerTop) << "a record overwrites the page footer";
      ++expected;
    }
  }
  EXPECT_EQ(expected, 1001) << "every record printed exactly once";
}

TEST_F(PageFilling, OnePassLeavesTotalPagesAtZeroAndAFooterWithoutFirstPageSkipsIt) {
  Records(&owner, "List", [] { return 120; });
  Fields([](const QString &n, Variant &v) {
    if (n != "Name") return false;
    v = Variant(QStringLiteral("x"));
    return true;
  });
  LayoutBuilder l;
  ListLayout(l, "List");
  l.src.Pages[0]->Objects[5]->Flags = flBandOnLastPage;  // the footer band: not on the first page
  Build(l);
  ASSERT_TRUE(built);
  ASSERT_GE(rep.EMFPages->Count(), 3);
  EXPECT_FALSE(PageTexts(rep, 0).join(',').contains("Page"));
  EXPECT_EQ(PageTexts(rep, 1).last(), "Page 2 of 0");
}

TEST_F(PageFilling, APageFooterResetsItsTotalsOnlyAfterItPrinted) {
  Records(&owner, "List", [] { return 120; });
  auto layout = [](LayoutBuilder &l, quint16 footerFlags) {
    l.Band(btMasterData, 0, 20, "List");
    l.Memo(0, 0, 100, 20, {"r"});
    l.Band(btPageFooter, 980, 30, {}, footerFlags);
    l.Memo(0, 980, 300, 20, {"Sum [SUM(1)] [COUNT(x)]"});
  };
  auto rows = [this](int page) { return int(PageTexts(rep, page).count("r")); };
  auto footer = [this](int page) { return PageTexts(rep, page).filter("Sum"); };

  // On every page: each footer totals its own page.
  LayoutBuilder every;
  layout(every, flBandOnFirstPage | flBandOnLastPage);
  Build(every);
  ASSERT_TRUE(built);
  const int pages = rep.EMFPages->Count();
  ASSERT_GE(pages, 3);
  for (int p = 0; p < pages; ++p)
    EXPECT_EQ(footer(p), QStringList{QStringLiteral("Sum %1 %1").arg(rows(p))}) << "page " << p + 1;

  // Not on the first page: that page's records stay in the totals and the
  // second page's footer counts both pages; later pages count their own.
  LayoutBuilder later;
  layout(later, flBandOnLastPage);
  Build(later);
  ASSERT_TRUE(built);
  ASSERT_EQ(rep.EMFPages->Count(), pages);
  EXPECT_TRUE(footer(0).isEmpty());
  EXPECT_EQ(footer(1), QStringList{QStringLiteral("Sum %1 %1").arg(rows(0) + rows(1))});
  for (int p = 2; p < pages; ++p)
    EXPECT_EQ(footer(p), QStringList{QStringLiteral("Sum %1 %1").arg(rows(p))}) << "page " << p + 1;
}

TEST_F(PageFilling, LineNumbersCountRecordsAndRestartPerRun) {
  Records(&owner, "List", [] { return 3; });
  LayoutBuilder l;
  l.Band(btMasterData, 0, 20, "List");
  l.Memo(0, 0, 100, 20, {"[LINE#]/[LINETHROUGH#]/[CURRENT#]"});
  Build(l);
  EXPECT_EQ(AllTexts(rep), (QStringList{"1/1/1", "2/2/2", "3/3/3"}));
  // A band named by a count prints that many records.
  LayoutBuilder c;
  c.Band(btMasterData, 0, 20, "4");
  c.Memo(0, 0, 100, 20, {"[LINE#]"});
  Build(c);
  EXPECT_EQ(AllTexts(rep), (QStringList{"1", "2", "3", "4"}));
}

TEST_F(PageFilling, AnEmptySourcePrintsNeitherHeaderNorFooter) {
  Records(&owner, "Empty", [] { return 0; });
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"Title"});
  l.Band(btMasterHeader, 30, 20);
  l.Memo(0, 30, 100, 20, {"Head"});
  l.Band(btMasterData, 60, 20, "Empty");
  l.Memo(0, 60, 100, 20, {"row"});
  l.Band(btMasterFooter, 90, 20);
  l.Memo(0, 90, 100, 20, {"Foot"});
  Build(l);
  EXPECT_EQ(AllTexts(rep), (QStringList{"Title"}));
}

// Groups: a key per record and amounts 1, 2, 3 in group A, 10, 20 in group B.
class Groups : public PageFilling {
 protected:
  void SetUp() override {
    PageFilling::SetUp();
    ds = Records(&owner, "Lines", [this] { return int(keys.size()); });
    Fields([this](const QString &n, Variant &v) {
      const int i = std::min<int>(ds->RecNo, int(keys.size()) - 1);
      if (n == "Key") v = Variant(keys[size_t(i)]);
      else if (n == "Amount") v = Variant(amounts[size_t(i)]);
      else return false;
      return true;
    });
  }
  void GroupLayout(LayoutBuilder &l, const QStringList &footer) {
    l.Band(btGroupHeader, 0, 20, "[Key]");
    l.Memo(0, 0, 100, 20, {"G [Key] [LINE#]"});
    l.Band(btMasterData, 30, 20, "Lines", 0, "MasterData1");
    l.Memo(0, 30, 100, 20, {"[Amount] [LINE#]/[LINETHROUGH#]"});
    l.Band(btGroupFooter, 60, 20);
    l.Memo(0, 60, 300, 20, footer);
    l.Band(btReportSummary, 90, 20);
    l.Memo(0, 90, 300, 20, {"Total [SUM([Amount])]"});
  }
  std::vector<QString> keys{"A", "A", "A", "B", "B"};
  std::vector<int> amounts{1, 2, 3, 10, 20};
  TfrUserDataset *ds = nullptr;
};

TEST_F(Groups, FootersSumTheirGroupAndLineNumbersRestart) {
  LayoutBuilder l;
  GroupLayout(l, {"S [SUM([Amount])] A [AVG([Amount])] N [MIN([Amount])] X [MAX([Amount])] C [COUNT(x)]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"G A 1", "1 1/1", "2 2/2", "3 3/3", "S 6 A 2 N 1 X 3 C 3",
                                       "G B 2", "10 1/4", "20 2/5", "S 30 A 15 N 10 X 20 C 2",
                                       "Total 36"}));
}

TEST_F(Groups, OneAggregateTwiceInAFooterCountsEachRecordOnce) {
  LayoutBuilder l;
  GroupLayout(l, {"[SUM([Amount])]"});
  l.Memo(200, 60, 100, 20, {"[SUM([Amount])]"});
  Build(l);
  const QStringList t = AllTexts(rep);
  EXPECT_EQ(t.count("6"), 2);
  EXPECT_EQ(t.count("30"), 2);
}

// A footer evaluates on every record only the texts that call an aggregate;
// a word that merely holds a name's letters is no call.
TEST(Aggregates, OnlyATextThatCallsOneIsCollected) {
  const std::pair<QStringList, bool> cases[] = {
      {{"Mindösszesen: [v_osszesen]"}, false},
      {{"Összesen", "[SUM([ZQ21.\"S_VETELAR\"])]"}, true},
      {{"[sum ([Amount])]"}, true},
      {{"[COUNT(MasterData1)]"}, true},
      {{"[MAXIMUM] [Minimum(1)] [MY_SUM([x])] [MIN]"}, false},
      {{"=[Avg([x])]"}, true},
      {{}, false},
  };
  for (const auto &[text, calls] : cases)
    EXPECT_EQ(frCallsAggregate(text), calls) << text.join('|').toStdString();
}

TEST_F(Groups, InvisibleRecordsAreLeftOutUnlessCounted) {
  // The data band is hidden for the record with amount 2.
  rep.OnBeginBand = [this](TfrBand *b) {
    if (b->Typ == btMasterData) b->Visible = amounts[size_t(ds->RecNo)] != 2;
  };
  LayoutBuilder l;
  // Aggregates are kept by function and first argument: the counting ones differ in their text.
  GroupLayout(l, {"[SUM([Amount])];[SUM([Amount]+0,MasterData1,1)];[COUNT(x)];[COUNT(y,MasterData1,1)];"
                  "[AVG([Amount])]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  const QStringList t = AllTexts(rep);
  EXPECT_TRUE(t.contains("4;6;2;3;2")) << t.join(" | ").toStdString();
  EXPECT_FALSE(t.contains("2 2/2")) << "the hidden record prints";
}

TEST_F(Groups, AGroupChangePrintsFootersInnermostFirstThenNewHeaders) {
  keys = {"A", "A", "B", "B"};
  amounts = {1, 2, 3, 4};
  std::vector<QString> outer{"X", "X", "X", "Y"};
  Fields([this, outer](const QString &n, Variant &v) {
    const int i = std::min<int>(ds->RecNo, 3);
    if (n == "Key") v = Variant(keys[size_t(i)]);
    else if (n == "Outer") v = Variant(outer[size_t(i)]);
    else if (n == "Amount") v = Variant(amounts[size_t(i)]);
    else return false;
    return true;
  });
  // Group headers and footers pair by their tops: the first header (outer)
  // closes with the first footer, the second (inner) with the second.
  LayoutBuilder l;
  l.Band(btGroupHeader, 0, 20, "[Outer]");
  l.Memo(0, 0, 100, 20, {"H1 [Outer] [LINE#]"});
  l.Band(btGroupHeader, 30, 20, "[Key]");
  l.Memo(0, 30, 100, 20, {"H2 [Key] [LINE#]"});
  l.Band(btMasterHeader, 60, 20);
  l.Memo(0, 60, 100, 20, {"DH"});
  l.Band(btMasterData, 90, 20, "Lines");
  l.Memo(0, 90, 100, 20, {"[Amount]"});
  l.Band(btMasterFooter, 120, 20);
  l.Memo(0, 120, 100, 20, {"DF"});
  l.Band(btGroupFooter, 150, 20);
  l.Memo(0, 150, 100, 20, {"F1 [SUM([Amount])]"});
  l.Band(btGroupFooter, 180, 20);
  l.Memo(0, 180, 100, 20, {"F2 [SUM([Amount])]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"H1 X 1", "H2 A 1", "DH", "1", "2", "DF", "F2 3", "H2 B 2", "DH", "3",
                                       "DF", "F2 3", "F1 6", "H1 Y 2", "H2 B 1", "DH", "4", "DF", "F2 4",
                                       "F1 4"}));
}

TEST_F(Groups, EveryDataLoopStartsTheGroupCountersAgain) {
  // Two data bands in a chain, each with its own run over the records: the
  // group headers count their groups afresh in each run.
  keys = {"A", "A", "B"};
  amounts = {1, 2, 3};
  LayoutBuilder l;
  l.Band(btGroupHeader, 0, 20, "[Key]");
  l.Memo(0, 0, 100, 20, {"G [Key] [LINE#]/[LINETHROUGH#]"});
  l.Band(btMasterData, 30, 20, "Lines");
  l.Memo(0, 30, 100, 20, {"a[Amount]"});
  l.Band(btMasterData, 60, 20, "Lines");
  l.Memo(0, 60, 100, 20, {"b[Amount]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"G A 1/1", "a1", "a2", "G B 2/2", "a3",
                                       "G A 1/1", "b1", "b2", "G B 2/2", "b3"}));
}

TEST_F(Groups, RepeatedHeadersOpenEveryPageAndForceNewPageStartsEachGroup) {
  keys.assign(120, "A");
  amounts.assign(120, 1);
  for (int i = 60; i < 120; ++i) keys[size_t(i)] = "B";
  LayoutBuilder l;
  l.Band(btPageHeader, 0, 20, {}, flBandOnFirstPage);
  l.Memo(0, 0, 100, 20, {"PH [PAGE#]"});
  l.Band(btGroupHeader, 30, 20, "[Key]", flBandRepeatHeader | flBandNewPageAfter);
  l.Memo(0, 30, 100, 20, {"G [Key]"});
  l.Band(btMasterHeader, 60, 20, {}, flBandRepeatHeader);
  l.Memo(0, 60, 100, 20, {"MH"});
  l.Band(btMasterData, 90, 20, "Lines");
  l.Memo(0, 90, 100, 20, {"[LINE#]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  // 60 records of 20 pixels do not fit one page: each group takes two pages.
  ASSERT_EQ(rep.EMFPages->Count(), 4);
  for (int p = 0; p < 4; ++p) {
    const QStringList t = PageTexts(rep, p);
    ASSERT_GE(t.size(), 4);
    EXPECT_EQ(t[0], QStringLiteral("PH %1").arg(p + 1));
    EXPECT_EQ(t[1], p < 2 ? "G A" : "G B") << "page " << p + 1;
    EXPECT_EQ(t[2], "MH");
  }
  EXPECT_EQ(PageTexts(rep, 2)[3], "1") << "the second group starts on a new page";
  const QStringList all = AllTexts(rep);
  EXPECT_EQ(all.count("G A"), 2);
  EXPECT_EQ(all.count("G B"), 2);
}

// A footer that does not fit under the last row takes that row along to the
// next page, below the group's and the data band's headers (on repeat); a
// footer under a group's only row moves alone, still below both headers.
TEST_F(Groups, AFooterThatMovesTakesItsLastRowAndStandsUnderTheRepeatedTitles) {
  const int fill = (PageHeight() - 40) / 20;  // rows that fill page 1 under the two headers
  const QString last = QString::number(fill);
  const std::tuple<TfrBandType, int, QStringList> cases[] = {
      {btGroupFooter, fill, {"G A", "MH", last, "F " + last}},
      {btMasterFooter, fill, {"G A", "MH", last, "F " + last}},
      {btGroupFooter, 1, {"G A", "MH", "F 1"}}};
  for (const auto &[footer, rows, page2] : cases) {
    keys.assign(size_t(rows), "A");
    amounts.assign(size_t(rows), 1);
    LayoutBuilder l;
    const char *texts[] = {"G [Key]", "MH", "[LINE#]", "F [SUM([Amount])]"};
    const TfrBandType types[] = {btGroupHeader, btMasterHeader, btMasterData, footer};
    for (int i = 0; i < 4; ++i) {
      l.Band(types[i], 30 * i, 20, i == 0 ? "[Key]" : i == 2 ? "Lines" : "", i < 2 ? flBandRepeatHeader : 0);
      l.Memo(0, 30 * i, 100, 20, {texts[i]});
    }
    if (rows == 1) {  // the row ends 10 pixels above the bottom
      l.Band(btReportTitle, 120, PageHeight() - 70);
      l.Memo(0, 120, 100, 20, {"T"});
    }
    Build(l);
    ASSERT_EQ(rep.EMFPages->Count(), 2);
    EXPECT_EQ(PageTexts(rep, 1), page2) << rows;
    const auto objs = PageObjects(rep, 1);
    for (size_t i = 0; i < objs.size(); ++i) EXPECT_EQ(objs[i].y, 20 * int(i)) << objs[i].text.toStdString();
  }
}

TEST_F(PageFilling, MasterDetailSkipsMastersWithoutDetailsUnlessAskedTo) {
  std::map<int, std::vector<QString>> details{{0, {"a1", "a2"}}, {1, {}}, {2, {"c1"}}};
  TfrUserDataset *master = Records(&owner, "Master", [] { return 3; });
  TfrUserDataset *detail = Records(&owner, "Detail", [&] { return int(details[master->RecNo].size()); });
  Fields([&](const QString &n, Variant &v) {
    if (n == "M") v = Variant(QString(QChar('A' + master->RecNo)));
    else if (n == "D") v = Variant(details[master->RecNo][size_t(detail->RecNo)]);
    else return false;
    return true;
  });
  auto layout = [&](LayoutBuilder &l, quint16 masterFlags) {
    l.Band(btMasterData, 0, 20, "Master", masterFlags);
    l.Memo(0, 0, 100, 20, {"M [M] [LINE#]"});
    l.Band(btDetailHeader, 30, 20);
    l.Memo(0, 30, 100, 20, {"DH"});
    l.Band(btDetailData, 60, 20, "Detail");
    l.Memo(0, 60, 100, 20, {"[D]"});
    l.Band(btDetailFooter, 90, 20);
    l.Memo(0, 90, 100, 20, {"DF [COUNT(x)]"});
  };
  LayoutBuilder l1;
  layout(l1, 0);
  Build(l1);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"M A 1", "DH", "a1", "a2", "DF 2", "M C 2", "DH", "c1", "DF 1"}));
  LayoutBuilder l2;
  layout(l2, flBandPrintIfSubsetEmpty);
  Build(l2);
  EXPECT_EQ(AllTexts(rep), (QStringList{"M A 1", "DH", "a1", "a2", "DF 2", "M B 2", "M C 3", "DH", "c1",
                                       "DF 1"}));
}

TEST_F(PageFilling, ABandThatDoesNotFitMovesWholeToTheNextPage) {
  Records(&owner, "List", [] { return 1; });
  const int h = PageHeight();
  LayoutBuilder l;
  l.Band(btReportTitle, 0, h - 100);
  l.Memo(0, 0, 100, 20, {"Title"});
  l.Band(btMasterData, h - 90, 150, "List");
  l.Memo(0, h - 90, 100, 20, {"Top"});
  l.Memo(0, h - 90 + 130, 100, 20, {"Bottom"});
  Build(l);
  ASSERT_EQ(rep.EMFPages->Count(), 2);
  EXPECT_EQ(PageTexts(rep, 0), (QStringList{"Title"}));
  const auto objs = PageObjects(rep, 1);
  ASSERT_EQ(objs.size(), 2u);
  EXPECT_EQ(objs[0].y, 0);
  EXPECT_EQ(objs[1].y, 130);
}

TEST_F(PageFilling, ASplitBandCarriesItsTextOverPagesWithoutLosingALine) {
  Records(&owner, "List", [] { return 1; });
  QStringList lines;
  for (int i = 1; i <= 120; ++i) lines << QStringLiteral("line %1").arg(i);
  LayoutBuilder l;
  l.Band(btPageHeader, 0, 20, {}, flBandOnFirstPage);
  l.Memo(0, 0, 100, 20, {"PH"});
  l.Band(btMasterData, 40, 20, "List", flStretched | flBandBreaked);
  l.Memo(0, 40, 300, 20, lines, flStretched | flWordWrap);
  l.Band(btPageFooter, 960, 20, {}, flBandOnFirstPage | flBandOnLastPage);
  l.Memo(0, 960, 100, 20, {"PF [PAGE#]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  ASSERT_GE(rep.EMFPages->Count(), 2);
  QStringList printed;
  for (int p = 0; p < rep.EMFPages->Count(); ++p) {
    const auto objs = PageObjects(rep, p);
    EXPECT_EQ(objs.front().text, "PH");
    EXPECT_EQ(objs.back().text, QStringLiteral("PF %1").arg(p + 1));
    for (const PrintedObject &o : objs)
      if (o.text.startsWith("line")) {
        printed << o.text.split('|', Qt::SkipEmptyParts);
        EXPECT_LE(o.y + o.dy, PageHeight() - 20);
      }
  }
  EXPECT_EQ(printed, lines);
}

TEST_F(PageFilling, TheRecordAfterASplitBandPrintsItsTextInItsPlace) {
  // Each record's text is long enough to continue on a second page; the
  // next record's band starts with its label and its text below it again.
  Records(&owner, "List", [] { return 3; });
  QStringList lines;
  for (int i = 1; i <= 70; ++i) lines << QStringLiteral("line %1").arg(i);
  LayoutBuilder l;
  l.Band(btMasterData, 0, 50, "List", flStretched | flBandBreaked);
  l.Memo(0, 0, 100, 20, {"Label"});
  l.Memo(0, 30, 300, 20, lines, flStretched | flWordWrap);
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  int labels = 0;
  for (int p = 0; p < rep.EMFPages->Count(); ++p) {
    const auto objs = PageObjects(rep, p);
    for (size_t i = 0; i < objs.size(); ++i) {
      EXPECT_GE(objs[i].y, 0) << "page " << p + 1;
      if (objs[i].text != "Label") continue;
      ++labels;
      ASSERT_LT(i + 1, objs.size()) << "page " << p + 1;
      EXPECT_TRUE(objs[i + 1].text.startsWith("line 1|")) << objs[i + 1].text.toStdString();
      EXPECT_EQ(objs[i + 1].y, objs[i].y + 30) << "page " << p + 1;
    }
  }
  EXPECT_EQ(labels, 3);
}

TEST_F(PageFilling, ASplitBandWithoutRoomOnAFreshPageEndsTheBuildSayingSo) {
  // The page header leaves no room: the band would wait for a page forever.
  Records(&owner, "List", [] { return 2; });
  LayoutBuilder l;
  l.Band(btPageHeader, 0, PageHeight() - 1, {}, flBandOnFirstPage);
  l.Memo(0, 0, 100, 20, {"PH"});
  l.Band(btMasterData, PageHeight(), 40, "List", flStretched | flBandBreaked);
  l.Memo(0, PageHeight(), 300, 40, {"a", "b", "c", "d"}, flStretched | flWordWrap);
  l.LoadInto(rep);
  rep.ShowReport();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "An error occured during calculating\rThe band does not fit on the page\r"
                       "Report: frNyomtat\rBand: Master data");
  EXPECT_EQ(rep.EMFPages->Count(), 0);
}

TEST_F(PageFilling, ABandTallerThanAPageEndsTheBuild) {
  Records(&owner, "List", [] { return 3; });
  LayoutBuilder l;
  l.Band(btMasterData, 0, 3000, "List");
  l.Memo(0, 0, 100, 3000, {"huge"}, 0);
  l.Band(btPageFooter, 980, 20, {}, flBandOnFirstPage | flBandOnLastPage);
  l.Memo(0, 980, 100, 20, {"PF"});
  Build(l);
  // The band is cut at the page bottom; the footer keeps its place.
  ASSERT_EQ(rep.EMFPages->Count(), 3);
  for (int p = 0; p < 3; ++p) {
    const auto objs = PageObjects(rep, p);
    ASSERT_EQ(objs.size(), 2u);
    EXPECT_LE(objs[0].y + objs[0].dy, PageHeight() - 20);
    EXPECT_EQ(objs[1].text, "PF");
  }
}

TEST_F(PageFilling, HeadersRepeatedOnEveryPageAndScriptsThatAskForPages) {
  Records(&owner, "List", [] { return 3; });
  LayoutBuilder l;
  l.Band(btPageHeader, 0, 20, {}, flBandOnFirstPage);
  l.Memo(0, 0, 100, 20, {"PH [PAGE#]"});
  TfrBandView *data = l.Band(btMasterData, 30, 20, "List");
  data->Script = {"if [LINE#] > 1 then newpage(0)"};
  l.Memo(0, 30, 100, 20, {"R [LINE#]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  EXPECT_EQ(rep.EMFPages->Count(), 3);
  EXPECT_EQ(PageTexts(rep, 0), (QStringList{"PH 1", "R 1"}));
  EXPECT_EQ(PageTexts(rep, 2), (QStringList{"PH 3", "R 3"}));
  // The run-time objects are gone after the build: no script may reach them.
  EXPECT_EQ(frInterpretator->Context.CurView, nullptr);
}

TEST_F(PageFilling, ColumnsFillDownThenAcrossBelowThePageHeader) {
  Records(&owner, "List", [] { return 300; });
  LayoutBuilder l;
  l.src.Pages[0]->ColCount = 2;
  l.src.Pages[0]->ColGap = 10;
  l.Band(btPageHeader, 0, 40, {}, flBandOnFirstPage);
  l.Memo(0, 0, 100, 20, {"PH"});
  l.Band(btMasterData, 50, 20, "List");
  l.Memo(0, 50, 100, 20, {"[LINE#]"});
  Build(l);
  ASSERT_TRUE(built);
  const int perColumn = (PageHeight() - 40) / 20;
  for (int p = 0; p < 2; ++p) {
    const auto objs = PageObjects(rep, p);
    ASSERT_EQ(objs.size(), size_t(1 + 2 * perColumn)) << "page " << p + 1;
    EXPECT_EQ(objs[0].text, "PH");
    EXPECT_EQ(objs[1].y, 40);
    EXPECT_EQ(objs[size_t(perColumn)].x, 0);
    // The second column starts at the top of the column row, to the right.
    EXPECT_GT(objs[size_t(perColumn + 1)].x, 300);
    EXPECT_EQ(objs[size_t(perColumn + 1)].y, 40);
    EXPECT_EQ(objs[size_t(perColumn + 1)].text, QString::number(p * 2 * perColumn + perColumn + 1));
  }
}

TEST_F(PageFilling, ChainedDataBandsWithoutASourcePrintWithTheFirst) {
  Records(&owner, "List", [] { return 2; });
  LayoutBuilder l;
  l.Band(btMasterData, 0, 20, "List");
  l.Memo(0, 0, 100, 20, {"a [LINE#]"});
  l.Band(btMasterData, 30, 20);
  l.Memo(0, 30, 100, 20, {"b [LINE#]"});
  Build(l);
  EXPECT_EQ(AllTexts(rep), (QStringList{"a 1", "b 1", "a 2", "b 2"}));
}

TEST_F(PageFilling, AMultipleReportIsBuiltOncePerRecordOfItsSource) {
  TfrUserDataset *per = Records(&owner, "Per", [] { return 3; });
  rep.Dataset = per;
  rep.ReportType = TfrReport::rtMultiple;
  Fields([per](const QString &n, Variant &v) {
    if (n != "Who") return false;
    v = Variant(QStringLiteral("W%1").arg(per->RecNo + 1));
    return true;
  });
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"[Who] [PAGE#]"});
  Build(l);
  ASSERT_EQ(rep.EMFPages->Count(), 3);
  EXPECT_EQ(AllTexts(rep), (QStringList{"W1 1", "W2 2", "W3 3"}));
  rep.Dataset = nullptr;
}

TEST_F(PageFilling, ASubreportPrintsItsPageBesideTheBand) {
  Records(&owner, "Sub", [] { return 3; });
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 40);
  l.Memo(0, 0, 100, 20, {"Title"});
  l.SubReport(200, 20, 200, 20, 1);
  l.Band(btReportSummary, 100, 20);
  l.Memo(0, 100, 100, 20, {"Summary"});
  l.AddPage();
  l.Band(btMasterData, 0, 20, "Sub");
  l.Memo(0, 0, 100, 20, {"sub [LINE#]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  ASSERT_EQ(rep.EMFPages->Count(), 1);  // the subreport's page prints only inside the band
  const auto objs = PageObjects(rep, 0);
  QStringList t;
  for (const auto &o : objs) t << o.text;
  EXPECT_EQ(t, (QStringList{"Title", "sub 1", "sub 2", "sub 3", "Summary"}));
  EXPECT_EQ(objs[1].x, 200);
  EXPECT_EQ(objs[1].y, 20);
  EXPECT_EQ(objs[3].y, 60);
  EXPECT_GE(objs[4].y, 80);
}

// Values as the page prints them: the time alone without the date of day 0,
// a number held as text under a format that prints another separator, and a
// value ending in a line break (a script's Text) without an empty line after
// it, in the text and in the stretched height.
TEST_F(PageFilling, ValuesPrintWithoutADateOfDayZeroAConversionErrorOrATrailingEmptyLine) {
  QString lines = QStringLiteral("egy\r\nkettő");
  Fields([&](const QString &name, Variant &v) {
    if (name == QLatin1String("SOROK")) v = Variant(lines);
    else if (name == QLatin1String("OSSZEG")) v = Variant(QStringLiteral("1234,5"));
    else return false;
    return true;
  });
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20, {}, flStretched);
  l.Memo(0, 0, 100, 20, {"[TIME]"});
  l.Memo(100, 0, 200, 20, {"Összesen: [OSSZEG #N#,##0.] Ft"});
  l.Memo(300, 0, 200, 10, {"[SOROK]"}, flStretched);
  l.Band(btReportSummary, 100, 20);
  l.Memo(0, 100, 100, 20, {"vége"});
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  const int belowTwoLines = PageObjects(rep, 0).back().y;
  lines += QStringLiteral("\r\n");
  Build(l);
  ASSERT_TRUE(built) << errors.join("\n").toStdString();
  const auto objs = PageObjects(rep, 0);
  ASSERT_EQ(objs.size(), 4u);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2}:\\d\\d:\\d\\d$")).match(objs[0].text).hasMatch())
      << objs[0].text.toStdString();
  EXPECT_EQ(objs[1].text, QStringLiteral("Összesen: 1\u00A0235 Ft"));
  EXPECT_EQ(objs[2].text, QStringLiteral("egy|kettő"));
  EXPECT_EQ(objs[3].y, belowTwoLines);
}

TEST_F(PageFilling, AnErrorGivesTheCollectedTextAndNoPages) {
  Records(&owner, "List", [] { return 5; });
  bool previewed = false;
  frShowPreview = [&](TfrReport &, std::unique_ptr<TfrEMFPages>, const QString &, bool) { previewed = true; };
  LayoutBuilder l;
  l.Band(btMasterData, 0, 20, "List");
  l.Memo(0, 0, 100, 20, {"Value:", "[NoSuchName]"});
  l.LoadInto(rep);
  rep.ShowReport();
  EXPECT_FALSE(previewed);
  EXPECT_EQ(rep.EMFPages->Count(), 0);
  ASSERT_EQ(errors.size(), 1);
  // The engine's text, then the band's and the object's names and the reason.
  EXPECT_EQ(errors[0], "An error occured during calculating\rValue:\r[NoSuchName]\rReport: frNyomtat\r"
                       "Band: Master data (Band1)\rObject: Memo2\rUndefined symbol \"NOSUCHNAME\"");
  frShowPreview = nullptr;
}

// A condition that cannot be evaluated is named with its object, not the
// object's text: a highlight and a group condition.
TEST_F(Groups, ABrokenHighlightOrGroupConditionIsNamedInTheError) {
  LayoutBuilder l;
  GroupLayout(l, {"Footer"});
  l.LoadInto(rep);
  TfrMemoView *amount = nullptr;
  for (const auto &v : rep.Pages[0]->Objects)
    if (v->Typ == gtMemo && v->Memo.value(0).startsWith("[Amount]"))
      amount = static_cast<TfrMemoView *>(v.get());
  ASSERT_NE(amount, nullptr);
  amount->HighlightStr = "[Amount] >";
  rep.ShowReport();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "An error occured during calculating\rHighlight of " + amount->Name +
                           ":\r[Amount] >\rReport: frNyomtat\rBand: Master data");
  amount->HighlightStr = "[Amount] > 5";
  TfrView *group = nullptr;
  for (const auto &v : rep.Pages[0]->Objects)
    if (v->Typ == gtBand && static_cast<TfrBandView *>(v.get())->BandType() == btGroupHeader) group = v.get();
  ASSERT_NE(group, nullptr);
  static_cast<TfrBandView *>(group)->FormatStr = "[Key] +";
  errors.clear();
  rep.ShowReport();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "An error occured during calculating\rGroup condition of " + group->Name +
                           ":\r[Key] +\r"
                           "Report: frNyomtat\rBand: Group header");
}

TEST_F(PageFilling, AnUnknownSourceNameGivesNoSourceAndAMasterBandTakesTheReportDataset) {
  auto layout = [](LayoutBuilder &l) {
    l.Band(btReportTitle, 0, 20);
    l.Memo(0, 0, 100, 20, {"T"});
    l.Band(btMasterData, 30, 20, "NoSuchSource");
    l.Memo(0, 30, 100, 20, {"m[LINE#]"});
  };
  LayoutBuilder l1;
  layout(l1);
  Build(l1);
  EXPECT_TRUE(built);
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"T"})) << "no source: the band prints nothing";

  // The report's Dataset stands in for the master band's missing source.
  rep.Dataset = Records(&owner, "Three", [] { return 3; });
  LayoutBuilder l2;
  layout(l2);
  Build(l2);
  EXPECT_TRUE(built);
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
  EXPECT_EQ(AllTexts(rep), (QStringList{"T", "m1", "m2", "m3"}));

  // Not in a report built once per record of its Dataset.
  rep.ReportType = TfrReport::rtMultiple;
  rep.Dataset = Records(&owner, "One", [] { return 1; });
  LayoutBuilder l3;
  layout(l3);
  Build(l3);
  EXPECT_EQ(AllTexts(rep), (QStringList{"T"}));
  rep.ReportType = TfrReport::rtSimple;
  rep.Dataset = nullptr;
}

}  // namespace

namespace {

// Random layouts: bands of any height (taller than a page too), stretching
// texts of any length, split, force-new-page and repeat flags, groups. Every
// build ends, and nothing is printed over the page footer.
TEST_F(PageFilling, AnyLayoutEndsAndLeavesThePageFooterFree) {
  quint32 seed = qEnvironmentVariableIsSet("RFILL_SEED") ? quint32(qEnvironmentVariableIntValue("RFILL_SEED")) : 12345u;
  auto rnd = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % quint32(n));
  };
  TfrUserDataset *ds = Records(&owner, "List", [] { return 40; });
  Fields([ds](const QString &n, Variant &v) {
    if (n == "Key") v = Variant(ds->RecNo / 7);
    else return false;
    return true;
  });
  const int h = PageHeight();
  for (int round = 0; round < 150; ++round) {
    LayoutBuilder l;
    int y = 0;
    const int types[] = {btReportTitle, btPageHeader, btGroupHeader, btMasterHeader, btMasterData,
                         btMasterFooter, btGroupFooter, btReportSummary, btColumnHeader, btColumnFooter};
    for (int t : types) {
      if (rnd(4) == 0 && t != btMasterData) continue;
      const int dy = rnd(6) == 0 ? h + rnd(800) : 5 + rnd(120);
      quint16 flags = 0;
      if (rnd(3) == 0) flags |= flStretched;
      if (rnd(4) == 0) flags |= flBandBreaked;
      if (rnd(6) == 0) flags |= flBandNewPageAfter;
      if (rnd(3) == 0) flags |= flBandRepeatHeader;
      if (rnd(2) == 0) flags |= flBandOnFirstPage;
      l.Band(t, y, dy, t == btMasterData ? QStringLiteral("List") : t == btGroupHeader ? QStringLiteral("[Key]") : QString(), flags);
      QStringList text;
      const int lines = rnd(5) == 0 ? 80 + rnd(80) : 1 + rnd(3);
      for (int i = 0; i < lines; ++i) text << QStringLiteral("t%1 line %2").arg(t).arg(i);
      // The object lies within its band (as the designer draws it).
      const int top = rnd(std::max(1, dy / 2));
      l.Memo(rnd(200), y + top, 200, std::min(dy - top, 20 + rnd(200)), text,
             rnd(2) ? quint16(flStretched | flWordWrap) : quint16(0));
      y += dy + 5;
    }
    if (rnd(3) == 0) l.src.Pages[0]->ColCount = 2;
    l.Band(btPageFooter, y, 30, {}, flBandOnFirstPage | flBandOnLastPage);
    l.Memo(0, y, 100, 20, {"PF"});
    Build(l);
    const int footerTop = h - 30;
    for (int p = 0; p < rep.EMFPages->Count(); ++p)
      for (const PrintedObject &o : PageObjects(rep, p)) {
        if (o.text == "PF") {
          EXPECT_EQ(o.y, footerTop);
          continue;
        }
        EXPECT_LE(o.y + o.dy, footerTop) << "round " << round << " page " << p + 1 << ": " << o.text.left(20).toStdString();
      }
    EXPECT_LT(rep.EMFPages->Count(), 400) << "round " << round;
    errors.clear();
  }
}

}  // namespace

namespace {

// The same for master/detail levels and subreports whose bands may be
// taller than a page.
TEST_F(PageFilling, AnyLayoutWithDetailsAndSubreportsEnds) {
  quint32 seed = qEnvironmentVariableIsSet("RFILL_SEED") ? quint32(qEnvironmentVariableIntValue("RFILL_SEED")) : 777u;
  auto rnd = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % quint32(n));
  };
  const int h = PageHeight();
  auto bands = [&](LayoutBuilder &l, std::initializer_list<int> types, bool sub) {
    int y = 0;
    for (int t : types) {
      if (rnd(4) == 0 && t != btMasterData) continue;
      const int dy = rnd(8) == 0 ? h + rnd(600) : 10 + rnd(100);
      quint16 flags = 0;
      if (rnd(3) == 0) flags |= flStretched;
      if (rnd(4) == 0) flags |= flBandBreaked;
      if (rnd(6) == 0) flags |= flBandNewPageAfter;
      if (rnd(4) == 0) flags |= flBandPrintIfSubsetEmpty;
      QString source;
      if (t == btMasterData) source = QString::number(1 + rnd(4));
      if (t == btDetailData) source = QString::number(1 + rnd(3));
      if (t == btSubDetailData) source = QString::number(1 + rnd(2));
      l.Band(t, y, dy, source, flags);
      QStringList text;
      const int lines = rnd(5) == 0 ? 60 + rnd(80) : 1 + rnd(3);
      for (int i = 0; i < lines; ++i) text << QStringLiteral("t%1 %2").arg(t).arg(i);
      const int top = rnd(std::max(1, dy / 2));
      l.Memo(rnd(200), y + top, 200, std::min(dy - top, 20 + rnd(100)), text,
             rnd(2) ? quint16(flStretched | flWordWrap) : quint16(0));
      if (!sub && t == btMasterData && rnd(2) == 0) l.SubReport(400, y, 200, std::min(dy, 20), 1);
      y += dy + 5;
    }
    return y;
  };
  for (int round = 0; round < 100; ++round) {
    LayoutBuilder l;
    const int y = bands(l, {btReportTitle, btPageHeader, btMasterHeader, btMasterData, btDetailHeader, btDetailData,
                            btSubDetailData, btDetailFooter, btMasterFooter, btReportSummary},
                        false);
    l.Band(btPageFooter, y, 30, {}, flBandOnFirstPage | flBandOnLastPage);
    l.Memo(0, y, 100, 20, {"PF"});
    l.AddPage();
    bands(l, {btMasterHeader, btMasterData, btDetailData, btMasterFooter}, true);
    Build(l);
    const int footerTop = h - 30;
    // Pages of the second design page (when no subreport uses it) have no footer.
    for (int p = 0; p < rep.EMFPages->Count(); ++p)
      for (const PrintedObject &o : PageObjects(rep, p)) {
        if (!PageTexts(rep, p).contains("PF") || o.text == "PF") continue;
        EXPECT_LE(o.y + o.dy, footerTop) << "round " << round << " page " << p + 1 << ": "
                                         << o.text.left(20).toStdString();
      }
    EXPECT_LT(rep.EMFPages->Count(), 600) << "round " << round;
    errors.clear();
  }
}

}  // namespace

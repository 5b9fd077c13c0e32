// The report component around a build: printing page lists on the fake
// printer, paper changes, the preview hand-over, progress and Cancel, two
// passes, composite reports, printer change, and dataset aggregates over a
// real query.
#include "report_fixture.h"

#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Prntr_Fake.h"
#include "support/db_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace report;
using namespace report::test;

namespace {

class ReportComponent : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    FakePrinters({"Laser"});
    rep.Title = "Lista";
  }
  // n records, one page each.
  void PagedList(TfrReport &r, int n) {
    LayoutBuilder l;
    l.Band(btMasterData, 0, 20, QString::number(n), flBandNewPageAfter);
    l.Memo(0, 0, 100, 20, {"Page [PAGE#]"});
    l.LoadInto(r);
  }
};

TEST_F(ReportComponent, PrintsTheChosenPagesInOrderEachCopyInARow) {
  PagedList(rep, 6);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_EQ(rep.EMFPages->Count(), 6);
  std::vector<int> printed;
  rep.OnProgress = [&](int p) { printed.push_back(p); };

  ASSERT_TRUE(rep.PrintPreparedReport("5-4", 1));
  EXPECT_EQ(printed, (std::vector<int>{4, 5})) << "a range written backwards";
  printed.clear();
  ASSERT_TRUE(rep.PrintPreparedReport("1,3-5", 2));
  EXPECT_EQ(printed, (std::vector<int>{1, 1, 3, 3, 4, 4, 5, 5}));
  ASSERT_EQ(backend.jobs.size(), 2u);
  EXPECT_EQ(backend.jobs[1].title, "Quorvane: Lista");
  EXPECT_EQ(backend.jobs[1].pages, 8);
  EXPECT_TRUE(backend.jobs[1].ended);

  // An empty list prints every page; a huge range is clamped, not expanded.
  printed.clear();
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(printed.size(), 6u);
  printed.clear();
  ASSERT_TRUE(rep.PrintPreparedReport("2-2000000000", 0));
  EXPECT_EQ(printed, (std::vector<int>{2, 3, 4, 5, 6}));

  // Without a title the job is "Quorvane: Untitled".
  rep.Title.clear();
  ASSERT_TRUE(rep.PrintPreparedReport("2", 1));
  EXPECT_EQ(backend.jobs.back().title, "Quorvane: Untitled");
}

TEST_F(ReportComponent, AListThatIsNotAPageListPrintsNothingAndSaysWhy) {
  PagedList(rep, 3);
  ASSERT_TRUE(rep.PrepareReport());
  const size_t jobs = backend.jobs.size();
  for (const char *bad : {"1,x", "1-", "-3", "1;2", "2-b"}) {
    errors.clear();
    EXPECT_FALSE(rep.PrintPreparedReport(bad, 1)) << bad;
    ASSERT_EQ(errors.size(), 1) << bad;
    EXPECT_TRUE(errors[0].endsWith("is not a valid integer value")) << errors[0].toStdString();
  }
  EXPECT_EQ(backend.jobs.size(), jobs);
  EXPECT_EQ(rep.EMFPages->Count(), 3) << "the prepared pages stay";
}

TEST_F(ReportComponent, AListThatNamesNoPageStartsNoJob) {
  PagedList(rep, 3);
  ASSERT_TRUE(rep.PrepareReport());
  for (const char *none : {"0", "999", "4-9", " 0 , 999 "}) {
    errors.clear();
    EXPECT_FALSE(rep.PrintPreparedReport(none, 1)) << none;
    ASSERT_EQ(errors.size(), 1) << none;
    EXPECT_EQ(errors[0], QStringLiteral("The page list \"%1\" names no page of the report (pages 1 to 3).").arg(none));
  }
  EXPECT_TRUE(backend.jobs.empty());
  // Empty parts are skipped; a list reaching past the end prints what exists.
  std::vector<int> printed;
  rep.OnProgress = [&](int p) { printed.push_back(p); };
  ASSERT_TRUE(rep.PrintPreparedReport("1,,2", 1));
  ASSERT_TRUE(rep.PrintPreparedReport("3,999", 1));
  EXPECT_EQ(printed, (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(backend.jobs.size(), 2u);
  EXPECT_EQ(backend.jobs[1].pages, 1);
}

TEST_F(ReportComponent, DefaultPrinterPrintsOnTheSystemsPrinterAtItsGeometry) {
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Matrix", 300, 300));
  backend.current = 1;
  prn.SetPrinter(&backend);
  prn.SetPrinterIndex(prn.DefaultPrinterIndex());
  PagedList(rep, 1);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(backend.jobs[0].printer, "Matrix");
  EXPECT_EQ(prn.Printers.at(prn.PrinterIndex()), "Matrix");
  // Drawn in the printer's device units (300 dpi), not onto an empty area.
  const QRect drawn = backend.jobs[0].pictures[0].boundingRect();
  EXPECT_GT(drawn.width(), 100);
  EXPECT_LT(drawn.right(), rep.EMFPages->GetPageRec(0)->PrnInfo.printWidth);
  EXPECT_EQ(rep.EMFPages->GetPageRec(0)->PrnInfo.physWidth, 2480);  // A4 at 300 dpi

  // No printer at all: "Default printer" cannot print.
  backend.printers.clear();
  prn.SetPrinter(&backend);
  errors.clear();
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(errors, (QStringList{"Printer selected is not valid"}));
  EXPECT_EQ(backend.jobs.size(), 1u);
}

TEST_F(ReportComponent, APrinterGoneBeforeThePrintSaysSoAndPrintsNothing) {
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Matrix"));
  prn.SetPrinter(&backend);
  PagedList(rep, 2);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_TRUE(rep.ChangePrinter(0, 1));
  backend.removePrinter("Matrix");
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(errors, (QStringList{"The printer \"Matrix\" is not available any more. Nothing was printed."}));
  EXPECT_TRUE(backend.jobs.empty());
  EXPECT_EQ(rep.EMFPages->Count(), 2);

  // Gone while the first page prints: the job is dropped, not handed over half done.
  errors.clear();
  rep.OnProgress = [&](int) { backend.removePrinter("Laser"); };
  ASSERT_TRUE(rep.ChangePrinter(1, 0));
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(errors, (QStringList{"The printer \"Laser\" is not available any more. Nothing was printed."}));
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_TRUE(backend.jobs[0].aborted);
  EXPECT_FALSE(backend.jobs[0].ended);
}

TEST_F(ReportComponent, AChangeOfPaperStartsASecondJobUnderTheSameTitle) {
  LoadPortraitThenLandscape(rep);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_EQ(rep.EMFPages->Count(), 2);
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  ASSERT_EQ(backend.jobs.size(), 2u);
  EXPECT_EQ(backend.jobs[0].title, backend.jobs[1].title);
  EXPECT_EQ(backend.jobs[0].orientation, 0);
  EXPECT_EQ(backend.jobs[1].orientation, 1);

  // The landscape page alone: one job on its paper, no empty portrait job before it.
  ASSERT_TRUE(rep.PrintPreparedReport("2", 1));
  ASSERT_EQ(backend.jobs.size(), 3u);
  EXPECT_EQ(backend.jobs[2].orientation, 1);
  EXPECT_EQ(backend.jobs[2].pages, 1);
}

TEST_F(ReportComponent, ThePreviewTakesThePagesOverAndNothingOpensWithoutPages) {
  int shown = 0;
  QString caption;
  bool modal = false;
  frShowPreview = [&](TfrReport &r, std::unique_ptr<TfrEMFPages> pages, const QString &c, bool m) {
    EXPECT_EQ(&r, &rep);
    shown = pages->Count();
    caption = c;
    modal = m;
  };
  PagedList(rep, 2);
  rep.ShowReport();
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(caption, "Preview - Lista");
  EXPECT_TRUE(modal);
  EXPECT_EQ(rep.EMFPages->Count(), 0) << "the window owns the pages now";

  // A build that prints nothing opens no preview and shows no message.
  shown = -1;
  rep.OnManualBuild = [](TfrPage *) {};
  rep.ShowReport();
  EXPECT_EQ(shown, -1);
  EXPECT_TRUE(errors.isEmpty());
}

class CancellingProgress : public TfrProgressForm {
 public:
  void Start(const QString &c, const QString &label) override {
    caption = c;
    labels << label;
  }
  void SetLabel(const QString &label) override {
    labels << label;
    if (label == cancelAt && frCurrentReport) frCurrentReport->Terminated = true;
  }
  void Finish() override { ++finished; }
  QString caption, cancelAt;
  QStringList labels;
  int finished = 0;
};

TEST_F(ReportComponent, CancelStopsTheBuildAndACancelledFirstPassOnlyShortensTheTotal) {
  CancellingProgress progress;
  frProgressForm = &progress;
  rep.ShowProgress = true;
  LayoutBuilder l;
  l.Band(btMasterData, 0, 20, "10", flBandNewPageAfter);
  l.Memo(0, 0, 100, 20, {"[PAGE#] of [TOTALPAGES]"});
  l.LoadInto(rep);

  progress.cancelAt = "Processing page:  4";
  EXPECT_FALSE(rep.PrepareReport());
  EXPECT_EQ(progress.caption, "Report preparing - Lista");
  EXPECT_LT(rep.EMFPages->Count(), 10);
  EXPECT_EQ(progress.finished, 1);

  rep.DoublePass = true;
  progress.labels.clear();
  progress.cancelAt = "Performing 1st pass:  4";
  EXPECT_TRUE(rep.PrepareReport());
  ASSERT_EQ(rep.EMFPages->Count(), 10);
  const int total = PageTexts(rep, 0)[0].section(" of ", 1).toInt();
  EXPECT_GT(total, 0);
  EXPECT_LT(total, 10);
  EXPECT_TRUE(progress.labels.contains(QStringLiteral("Processing page:  2 from %1").arg(total)))
      << progress.labels.join(" | ").toStdString();
}

TEST_F(ReportComponent, PagesThatPrintToThePreviousPageContinueOnIt) {
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"first"});
  l.AddPage()->PrintToPrevPage = true;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"second"});
  l.LoadInto(rep);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_EQ(rep.EMFPages->Count(), 1);
  const auto objs = PageObjects(rep, 0);
  ASSERT_EQ(objs.size(), 2u);
  EXPECT_EQ(objs[1].text, "second");
  EXPECT_GT(objs[1].y, objs[0].y);

  // A composite: the second report's first page continues the first report's page.
  TfrReport a, b;
  LayoutBuilder la, lb;
  la.Band(btReportTitle, 0, 20);
  la.Memo(0, 0, 100, 20, {"A [PAGE#]"});
  lb.src.Pages[0]->PrintToPrevPage = true;
  lb.Band(btReportTitle, 0, 20);
  lb.Memo(0, 0, 100, 20, {"B [PAGE#]"});
  la.LoadInto(a);
  lb.LoadInto(b);
  TfrCompositeReport c;
  c.Reports = {&a, &b, &a};
  ASSERT_TRUE(c.PrepareReport());
  ASSERT_EQ(c.EMFPages->Count(), 2);
  EXPECT_EQ(PageTexts(c, 0), (QStringList{"A 1", "B 1"}));
  EXPECT_EQ(PageTexts(c, 1), (QStringList{"A 2"}));
  EXPECT_EQ(a.EMFPages->Count(), 0) << "the reports write into the composite's pages";
}

TEST_F(ReportComponent, AnUnusablePrinterKeepsTheOldOne) {
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Gone"));
  prn.SetPrinter(&backend);
  PagedList(rep, 1);
  ASSERT_TRUE(rep.ChangePrinter(0, 1));
  EXPECT_EQ(prn.PrinterIndex(), 1);
  backend.removePrinter("Laser");
  EXPECT_FALSE(rep.ChangePrinter(1, 0));
  EXPECT_EQ(errors, (QStringList{"Printer selected is not valid"}));
  EXPECT_EQ(prn.PrinterIndex(), 1);
}

TEST_F(ReportComponent, PreparedReportFilesKeepThePagesAndStopRebuilds) {
  PagedList(rep, 3);
  ASSERT_TRUE(rep.PrepareReport());
  EXPECT_TRUE(rep.CanRebuild);
  const QString file = QDir::temp().filePath(QStringLiteral("rfill_%1.frp").arg(QCoreApplication::applicationPid()));
  rep.SavePreparedReport(file);
  TfrReport other;
  other.LoadPreparedReport(file);
  QFile::remove(file);
  EXPECT_FALSE(other.CanRebuild);
  ASSERT_EQ(other.EMFPages->Count(), 3);
  EXPECT_EQ(PageTexts(other, 2), (QStringList{"Page 3"}));
}

// Aggregates over a dataset named in the expression, on a real query.
class DatasetAggregates : public vorik::test::DatabaseTest {
 protected:
  void SetUp() override {
    owner.setObjectName("Data");
    q = query().release();
    q->setParent(&owner);
    q->setObjectName("Query1");
    q->sql().setText(
        "SELECT 1 AS N FROM RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE UNION ALL "
        "SELECT 3 FROM RDB$DATABASE UNION ALL SELECT NULL FROM RDB$DATABASE UNION ALL SELECT 4 FROM RDB$DATABASE");
    src = new TfrDBDataSet(&owner);
    src->setObjectName("frDBDataSet1");
    src->SetDataSet(q);
    frSetReportOwner(&owner);
  }
  void TearDown() override {
    frSetReportOwner(nullptr);
    DatabaseTest::TearDown();
  }
  QObject owner;
  db::Query *q = nullptr;
  TfrDBDataSet *src = nullptr;
};

TEST_F(DatasetAggregates, AClosedDatasetIsWalkedAsAnOpenOne) {
  // In a title, where no band collects: each aggregate walks the whole
  // dataset, the first one on a dataset not yet open.
  ASSERT_FALSE(q->active());
  TfrReport rep;
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 300, 20, {"[SUM(Query1.N)] [COUNT(Query1)] [SUM(Query1.N)] [MAX(Query1.N)]"});
  l.Band(btReportSummary, 30, 20);
  l.Memo(0, 30, 300, 20, {"[MIN(Data.Query1.N)] [AVG(Query1.N)] [SUM(Query1.Nope)]"});
  l.LoadInto(rep);
  frRegisterGlobalComponent(&owner);
  ASSERT_TRUE(rep.PrepareReport());
  EXPECT_EQ(AllTexts(rep), (QStringList{"10 5 10 4", "0 2 "}));
  q->close();
  LayoutBuilder s;
  s.Band(btReportSummary, 0, 20);
  s.Memo(0, 0, 300, 20, {"[MIN(Data.Query1.N)] [MAX(Query1.N)]"});
  s.LoadInto(rep);
  ASSERT_TRUE(rep.PrepareReport());
  EXPECT_EQ(AllTexts(rep), (QStringList{"0 4"}));
  frUnregisterGlobalComponent(&owner);
}

TEST_F(DatasetAggregates, ASumInAHeaderLeavesTheDataBandPrintingAllRecords) {
  TfrReport rep;
  LayoutBuilder l;
  l.Band(btMasterHeader, 0, 20);
  l.Memo(0, 0, 300, 20, {"[SUM(Query1.N)] [COUNT(Query1)] [MIN(Query1.N)] [MAX(Query1.N)] [AVG(Query1.N)]"});
  l.Band(btMasterData, 30, 20, "frDBDataSet1");
  l.Memo(0, 30, 100, 20, {"n[N]"});
  l.Band(btMasterFooter, 60, 20);
  l.Memo(0, 60, 100, 20, {"[SUM([N])]"});
  l.LoadInto(rep);
  ASSERT_TRUE(rep.PrepareReport());
  EXPECT_EQ(AllTexts(rep), (QStringList{"10 5 0 4 2", "n1", "n2", "n3", "n", "n4", "10"}));
}

}  // namespace

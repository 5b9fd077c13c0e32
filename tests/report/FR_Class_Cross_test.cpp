// Cross-tabs: cells of cross header, data and footer bands printed column by
// column for every band that holds them, the column events, and objects that
// watch others being printed.
#include "report_fixture.h"

#include "report/expr/FR_Intrp.h"

#include <gtest/gtest.h>

#include <optional>

using namespace report;
using namespace report::test;

namespace {

// An object that keeps the texts of the objects it hears of.
QStringList heard;
class Watcher : public TfrView {
 public:
  QString ClassName() const override { return QStringLiteral("TTestWatcher"); }
  void NotifyPrinted(TfrView *printed) override { heard << printed->Memo1.join(QLatin1Char('|')); }
};

class CrossTab : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    rows = Records(&owner, "Rows", [this] { return rowCount; });
    cols = Records(&owner, "Cols", [this] { return colCount; });
    // Row r, column c: the cell (r+1)*(c+1); a row's total over its columns.
    rep.OnGetValue = [this](const QString &n, Variant &v) {
      if (n == "RowName") v = Variant(QStringLiteral("R%1").arg(rows->RecNo + 1));
      else if (n == "ColName") v = Variant(QStringLiteral("C%1").arg(cols->RecNo + 1));
      else if (n == "Cell") v = Variant((rows->RecNo + 1) * (cols->RecNo + 1));
      else if (n == "RowTotal") v = Variant((rows->RecNo + 1) * colCount * (colCount + 1) / 2);
      else if (n == "Tall")  // three lines in row 1, column 3
        v = rows->RecNo == 0 && cols->RecNo == 2 ? Variant(QStringLiteral("3\nx\ny"))
                                                  : Variant((rows->RecNo + 1) * (cols->RecNo + 1));
      else return false;
      return true;
    };
    heard.clear();
  }
  // Cross header 0-100, cross data 100-160 over "Cols", cross footer 200-280;
  // a header row and a data row over "Rows", each with a cell in every cross
  // band and a plain text right of them.
  void Layout(LayoutBuilder &l, quint16 dataFlags = 0, const QString &crossSource = "Cols") {
    l.Band(btMasterHeader, 0, 20);
    l.Band(btMasterData, 40, 20, "Rows", dataFlags);
    TfrBandView *ch = l.Band(btCrossHeader, 0, 200, {}, 0, "CrossHeader");
    ch->x = 0, ch->dx = 100;
    TfrBandView *cd = l.Band(btCrossData, 0, 200, crossSource, 0, "CrossData");
    cd->x = 100, cd->dx = 60;
    TfrBandView *cf = l.Band(btCrossFooter, 0, 200, {}, 0, "CrossFooter");
    cf->x = 200, cf->dx = 80;
    l.Memo(0, 0, 100, 20, {"Product"});
    l.Memo(100, 0, 60, 20, {"[ColName]"});
    l.Memo(200, 0, 80, 20, {"Total"});
    l.Memo(600, 0, 60, 20, {"plain"});
    l.Memo(0, 40, 100, 20, {"[RowName]"});
    cell = l.Memo(100, 40, 60, 20, {"[Cell]"});
    l.Memo(200, 40, 80, 20, {"[RowTotal]"});
    l.Memo(600, 40, 60, 20, {"[LINE#]"});
  }
  // The printed object with this text on the first page (a copy: the next
  // call reads the page again).
  std::optional<PrintedObject> Find(const QString &text) {
    objs = PageObjects(rep, 0);
    for (const PrintedObject &o : objs)
      if (o.text == text) return o;
    return std::nullopt;
  }

  TfrUserDataset *rows = nullptr, *cols = nullptr;
  int rowCount = 3, colCount = 4;
  TfrMemoView *cell = nullptr;
  std::vector<PrintedObject> objs;
};

TEST_F(CrossTab, EveryRowPrintsItsHeaderCellColumnsAndFooterCellInPlace) {
  LayoutBuilder l;
  Layout(l);
  Build(l);
  ASSERT_TRUE(built);
  ASSERT_EQ(rep.EMFPages->Count(), 1);
  // Header row at the top, data rows below it, 20 pixels each.
  const QStringList header = {"Product", "C1", "C2", "C3", "C4", "Total"};
  const int xs[] = {0, 100, 160, 220, 280, 380};  // the footer follows the fourth column
  for (int i = 0; i < 6; ++i) {
    const auto o = Find(header[i]);
    ASSERT_TRUE(o) << header[i].toStdString();
    EXPECT_EQ(o->x, xs[i]) << header[i].toStdString();
    EXPECT_EQ(o->y, 0);
  }
  for (int r = 1; r <= 3; ++r) {
    const int y = 20 * r;
    QStringList row;
    for (const PrintedObject &o : PageObjects(rep, 0))
      if (o.y == y) row << QStringLiteral("%1@%2").arg(o.text).arg(o.x);
    EXPECT_EQ(row, (QStringList{QStringLiteral("%1@600").arg(r), QStringLiteral("R%1@0").arg(r),
                                QStringLiteral("%1@100").arg(r),
                                QStringLiteral("%1@160").arg(2 * r), QStringLiteral("%1@220").arg(3 * r),
                                QStringLiteral("%1@280").arg(4 * r), QStringLiteral("%1@380").arg(10 * r)}))
        << "row " << r;
  }
  // Cells keep their own size.
  EXPECT_EQ(Find("C3")->dx, 60);
  EXPECT_EQ(Find("Total")->dx, 80);
}

TEST_F(CrossTab, ColumnEventsComeInOrderAndSetTheWidths) {
  QStringList events;
  rep.OnBeginColumn = [&](TfrBand *b) {
    events << QStringLiteral("begin %1 %2").arg(b->Name()).arg(cols->RecNo + 1);
  };
  rep.OnPrintColumn = [&](int colNo, int &width) {
    EXPECT_EQ(width, 60) << "the band's own width is offered";
    events << QStringLiteral("print %1").arg(colNo);
    width = 40 + 10 * colNo;
  };
  rowCount = 1;
  colCount = 3;
  LayoutBuilder l;
  Layout(l);
  Build(l);
  ASSERT_TRUE(built);
  const QStringList once = {"begin CrossData 1", "print 1", "begin CrossData 2", "print 2",
                            "begin CrossData 3", "print 3"};
  EXPECT_EQ(events, once + once) << "the header row, then the data row";
  // Columns 50, 60 and 70 wide; what stands right of them moves by 180 - 60.
  EXPECT_EQ(Find("C1")->x, 100);
  EXPECT_EQ(Find("C2")->x, 150);
  EXPECT_EQ(Find("C3")->x, 210);
  EXPECT_EQ(Find("Total")->x, 320);
  EXPECT_EQ(Find("6")->x, 320) << "the row total under the footer's title";
  EXPECT_EQ(Find("plain")->x, 600) << "objects outside the cross bands stay";
}

TEST_F(CrossTab, TheDesignersPerBandEntriesGiveTheCrossDataBandItsOwnSource) {
  // The designer's cross band dialog stores "band=source;" for every cross
  // band; the data band takes the entry of its own name, without regard to case.
  LayoutBuilder l;
  Layout(l, 0, "CrossHeader=[None];crossdata=Cols;CrossFooter=[None];");
  Build(l);
  ASSERT_TRUE(built);
  EXPECT_TRUE(Find("C4"));
  EXPECT_EQ(Find("Total")->x, 380);

  // No entry of its own: as a band without a source.
  LayoutBuilder none;
  Layout(none, 0, "Other=Cols;");
  Build(none);
  ASSERT_TRUE(built);
  const auto withoutEntry = PageObjects(rep, 0);
  LayoutBuilder empty;
  Layout(empty, 0, "");
  Build(empty);
  ASSERT_TRUE(built);
  const auto withoutSource = PageObjects(rep, 0);
  ASSERT_EQ(withoutEntry.size(), withoutSource.size());
  for (size_t i = 0; i < withoutEntry.size(); ++i) {
    EXPECT_EQ(withoutEntry[i].text, withoutSource[i].text);
    EXPECT_EQ(withoutEntry[i].x, withoutSource[i].x);
  }
  EXPECT_FALSE(Find("C1"));
}

TEST_F(CrossTab, AnEmptyColumnSourceCollapsesTheColumns) {
  int begun = 0;
  rep.OnBeginColumn = [&](TfrBand *) { ++begun; };
  colCount = 0;
  LayoutBuilder l;
  Layout(l);
  Build(l);
  ASSERT_TRUE(built);
  EXPECT_EQ(begun, 0);
  EXPECT_EQ(Find("Product")->x, 0);
  EXPECT_EQ(Find("Total")->x, 140) << "the footer takes the place of the missing columns";
  EXPECT_EQ(Find("R3")->y, 60) << "the rows print as usual";
}

TEST_F(CrossTab, ColumnsPastThePageEdgeEndTheBuildWithAnError) {
  // 40 columns of 60 pixels do not fit on an A4 page; a source that never
  // ends neither: both end with the error, not with a hang.
  for (int round = 0; round < 2; ++round) {
    colCount = 40;
    if (round == 1) cols->OnCheckEOF = [](QObject *, bool &eof) { eof = false; };
    rep.OnPrintColumn = [&](int, int &width) {
      if (round == 1) width = 0;  // a column without width still moves on
    };
    errors.clear();
    LayoutBuilder l;
    Layout(l);
    l.LoadInto(rep);
    rep.ShowReport();
    ASSERT_EQ(errors.size(), 1) << "round " << round;
    EXPECT_EQ(errors[0], "An error occured during calculating\rThe cross-tab does not fit on the page\r"
                         "Report: frNyomtat\rBand: Master header");
    EXPECT_EQ(rep.EMFPages->Count(), 0);
  }
}

TEST_F(CrossTab, AStretchedRowTakesItsTallestColumnAndCallsEachColumnOnce) {
  int begun = 0;
  rep.OnBeginColumn = [&](TfrBand *) { ++begun; };
  rowCount = 2;
  colCount = 3;
  LayoutBuilder l;
  Layout(l, flStretched);
  cell->Memo = {"[Tall]"};
  cell->Flags = flStretched | flWordWrap;
  Build(l);
  ASSERT_TRUE(built) << errors.join('\n').toStdString();
  EXPECT_EQ(begun, 3 + 2 * 3) << "once per column and row, measured or not";
  // Row 1's third column holds three lines; every cell of that row reaches the band's bottom.
  const auto tall = Find("3|x|y");
  ASSERT_TRUE(tall);
  EXPECT_EQ(tall->x, 220);
  const PrintedObject *first = nullptr;
  for (const PrintedObject &o : objs)
    if (o.x == 100 && o.y == 20) first = &o;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text, "1");
  EXPECT_EQ(first->dy, tall->dy);
  EXPECT_GT(tall->dy, 20);
  EXPECT_EQ(Find("R2")->y, 20 + tall->dy) << "the next row below the tallest cell";
}

TEST_F(CrossTab, AFooterRowSumsEachColumnApart) {
  LayoutBuilder l;
  Layout(l);
  l.Band(btMasterFooter, 80, 20);
  l.Memo(0, 80, 100, 20, {"Sum"});
  l.Memo(100, 80, 60, 20, {"[SUM([Cell])]"});
  l.Memo(200, 80, 80, 20, {"[SUM([RowTotal])]"});
  l.Memo(600, 80, 60, 20, {"[COUNT(Rows)]"});
  Build(l);
  ASSERT_TRUE(built) << errors.join('\n').toStdString();
  QStringList row;
  for (const PrintedObject &o : PageObjects(rep, 0))
    if (o.y == 80) row << QStringLiteral("%1@%2").arg(o.text).arg(o.x);
  // Column c sums (1 + 2 + 3) * c; the footer cell the row totals.
  EXPECT_EQ(row, (QStringList{"3@600", "Sum@0", "6@100", "12@160", "18@220", "24@280", "60@380"}));
}

TEST_F(CrossTab, ASplitRowPrintsItsCellsWithItsFirstPart) {
  rowCount = 1;
  colCount = 3;
  LayoutBuilder l;
  Layout(l, flStretched | flBandBreaked);
  QStringList lines;
  for (int i = 0; i < 150; ++i) lines << QStringLiteral("line %1").arg(i);
  l.src.Pages[0]->Objects.back()->Memo = lines;  // the plain text of the row: [LINE#] before
  l.src.Pages[0]->Objects.back()->Flags = flStretched | flWordWrap;
  cell->Flags = flStretched | flWordWrap;  // reaches down to the tallest cell, not the whole band
  cell->Memo = {"[Tall]"};
  Build(l);
  ASSERT_TRUE(built) << errors.join('\n').toStdString();
  ASSERT_GE(rep.EMFPages->Count(), 2);
  QStringList first;
  for (const PrintedObject &o : PageObjects(rep, 0))
    if (o.y == 20 && o.x < 600) first << QStringLiteral("%1@%2").arg(o.text).arg(o.x);
  EXPECT_EQ(first, (QStringList{"R1@0", "1@100", "2@160", "3|x|y@220", "6@320"}));
  for (const PrintedObject &o : PageObjects(rep, 0))
    if (o.text == "3|x|y" || o.text == "1") {  // three 10-point lines of 15 pixels and the gaps
      EXPECT_EQ(o.dy, 3 * 15 + 2) << o.text.toStdString();
    }
  // The text goes on over the next pages with no line lost, the cells not again.
  QStringList text;
  for (int p = 0; p < rep.EMFPages->Count(); ++p)
    for (const PrintedObject &o : PageObjects(rep, p)) {
      if (o.x == 600 && o.text.startsWith("line")) text << o.text.split('|');
      if (p > 0) {
        EXPECT_NE(o.text, "R1");
      }
    }
  EXPECT_EQ(text, lines);
}

TEST_F(CrossTab, AnErrorInACellNamesItsTextAndBand) {
  LayoutBuilder l;
  Layout(l);
  cell->Memo = {"[NoSuchName]"};
  l.LoadInto(rep);
  rep.ShowReport();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "An error occured during calculating\r[NoSuchName]\rReport: frNyomtat\r"
                       "Band: Master data (Band2)\rObject: Memo8\rUndefined symbol \"NOSUCHNAME\"");
}

// Watching objects hear of every text printed, in order, cross cells included.
TEST_F(CrossTab, AWatchingObjectHearsOfEveryTextPrinted) {
  frRegisterAddIn("TTestWatcher", [] { return std::make_unique<Watcher>(); });
  rowCount = 1;
  colCount = 2;
  for (const bool watching : {true, false}) {
    heard.clear();
    LayoutBuilder l;
    Layout(l);
    auto w = std::make_unique<Watcher>();
    w->Typ = gtAddIn;
    w->x = 650, w->y = 300, w->dx = 10, w->dy = 10;  // on no band
    w->Flags = watching ? flWantHook : 0;
    w->Name = "Watcher1";
    l.src.Pages[0]->Add(std::move(w));
    Build(l);
    ASSERT_TRUE(built);
    if (watching) {
      EXPECT_EQ(heard, (QStringList{"plain", "Product", "C1", "C2", "Total", "1", "R1", "1", "2", "3"}));
    } else {
      EXPECT_TRUE(heard.isEmpty());
    }
  }
}

// A cross band's script runs once per column it prints, before the column's
// cells, with its cross band current: what it sets, the cells read. Stretched
// rows are measured and then drawn, and the script still runs once a column.
TEST_F(CrossTab, CrossBandScriptsRunOncePerColumnBeforeItsCells) {
  frVariables->SetVariable("Runs", Variant(0));
  frVariables->SetVariable("Rows", Variant(0));
  frVariables->SetVariable("Mark", Variant(QString()));
  QStringList order;
  rep.OnBeginColumn = [&](TfrBand *) { order << QStringLiteral("begin ") + frVariables->GetVariable("Mark").toString(); };
  rep.OnPrintColumn = [&](int, int &) { order << QStringLiteral("print ") + frVariables->GetVariable("Mark").toString(); };
  LayoutBuilder l;
  Layout(l, flStretched);
  TfrBandView *data = static_cast<TfrBandView *>(l.src.Pages[0]->FindObject("CrossData"));
  ASSERT_NE(data, nullptr);
  // The third column is hidden by its script: it stays empty but keeps its place.
  data->Script = {"begin", "  Runs := Runs + 1;", "  Mark := 'm' + [ColName];",
                  "  if [ColName] = 'C3' then Visible := 0 else Visible := 1", "end"};
  static_cast<TfrBandView *>(l.src.Pages[0]->FindObject("CrossHeader"))->Script = {"begin Rows := Rows + 1 end"};
  cell->Memo = {"[Mark]/[Cell]"};
  Build(l);
  ASSERT_TRUE(built) << frBuild.ErrorText.toStdString();
  EXPECT_EQ(frVariables->GetVariable("Runs").toInt(), 4 * 4) << "the header row and three rows, four columns each";
  EXPECT_EQ(frVariables->GetVariable("Rows").toInt(), 4) << "the header band's script once a row";
  ASSERT_GE(order.size(), 4);
  EXPECT_EQ(order.mid(0, 4), (QStringList{"begin ", "print mC1", "begin mC1", "print mC2"}))
      << "OnBeginColumn, the script, then OnPrintColumn";
  QStringList row2;
  for (const PrintedObject &o : PageObjects(rep, 0))
    if (o.y == 40 && o.x >= 100 && o.x < 380) row2 << QStringLiteral("%1@%2").arg(o.text).arg(o.x);
  row2.sort();
  EXPECT_EQ(row2, (QStringList{"mC1/2@100", "mC2/4@160", "mC4/8@280"})) << "the third column left empty";
  EXPECT_EQ(Find("C4")->x, 280);
  EXPECT_FALSE(Find("C3").has_value()) << "hidden in the header row too";
  EXPECT_EQ(Find("Total")->x, 380) << "the footer still follows four columns";
}

// A failing cross band script ends the build with the collected error text,
// as a failing band script does (a row's own band too): the script's lines as
// written, not compiled, and the band's type.
TEST_F(CrossTab, AFailingBandScriptEndsTheBuildWithItsLinesAndBand) {
  const std::pair<int, QString> cases[] = {
      {btCrossData, "Cross data"}, {btCrossFooter, "Cross footer"}, {btMasterData, "Master data"}};
  for (const auto &[type, bandName] : cases) {
    LayoutBuilder l;
    Layout(l);
    TfrBandView *band = nullptr;
    for (int i = 0; i < l.src.Pages[0]->Count(); ++i)
      if (TfrView *v = l.src.Pages[0]->Object(i); v->Typ == gtBand && static_cast<TfrBandView *>(v)->BandType() == type)
        band = static_cast<TfrBandView *>(v);
    ASSERT_NE(band, nullptr);
    band->Script = {"begin", "  Mark := NoSuchName", "end"};
    errors.clear();
    l.LoadInto(rep);
    rep.ShowReport();
    EXPECT_EQ(rep.EMFPages->Count(), 0) << type;
    ASSERT_EQ(errors.size(), 1) << type;
    EXPECT_EQ(errors[0], "An error occured during calculating\rbegin\r  Mark := NoSuchName\rend\rReport: frNyomtat\rBand: " +
                             bandName);
  }
}

// Random cross-tabs: any number of columns of any width, bands stretched,
// split or taller than a page. Every build ends, nothing lies past the right
// edge or over the page footer, and a build that ends early says why.
TEST_F(CrossTab, AnyCrossTabEndsAndStaysOnThePage) {
  quint32 seed = qEnvironmentVariableIsSet("RCROSS_SEED") ? quint32(qEnvironmentVariableIntValue("RCROSS_SEED")) : 4242u;
  auto rnd = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % quint32(n));
  };
  const TfrPageGeometry g = frPaperGeometry(9, 2100, 2970, 0);
  int widthStep = 0;
  rep.OnPrintColumn = [&](int colNo, int &width) {
    if (widthStep) width = (colNo * widthStep) % 120;
  };
  for (int round = 0; round < 120; ++round) {
    rowCount = rnd(30);
    colCount = rnd(5) == 0 ? 10 + rnd(60) : rnd(8);
    widthStep = rnd(3) == 0 ? 1 + rnd(50) : 0;
    LayoutBuilder l;
    int y = 0;
    for (int t : {btReportTitle, btPageHeader, btMasterHeader, btMasterData, btMasterFooter, btReportSummary}) {
      if (rnd(3) == 0 && t != btMasterData) continue;
      const int dy = rnd(10) == 0 ? g.pageHeight + rnd(400) : 10 + rnd(100);
      quint16 flags = 0;
      if (rnd(2) == 0) flags |= flStretched;
      if (rnd(4) == 0) flags |= flBandBreaked;
      if (rnd(8) == 0) flags |= flBandNewPageAfter;
      if (t == btPageHeader) flags |= flBandOnFirstPage;
      l.Band(t, y, dy, t == btMasterData ? QStringLiteral("Rows") : QString(), flags);
      QStringList text;
      const int lines = rnd(6) == 0 ? 30 + rnd(60) : 1 + rnd(2);
      for (int i = 0; i < lines; ++i) text << QStringLiteral("[Cell] %1").arg(i);
      if ((t == btMasterFooter || t == btReportSummary) && rnd(2) == 0) text[0] = QStringLiteral("[SUM([Cell])]");
      const quint16 mf = rnd(2) ? quint16(flStretched | flWordWrap) : quint16(0);
      l.Memo(rnd(60), y, 40, std::min(dy, 20), {"h"}, mf);
      const int top = rnd(std::max(1, dy / 2));
      l.Memo(100 + rnd(20), y + top, 40, std::min(dy - top, 15 + rnd(60)), text, mf);
      l.Memo(200 + rnd(30), y, 50, std::min(dy, 20), {"f"}, mf);
      y += dy + 5;
    }
    l.Band(btPageFooter, y, 30, {}, flBandOnFirstPage | flBandOnLastPage);
    l.Memo(600, y, 100, 20, {"PF"});
    for (int t : {btCrossHeader, btCrossData, btCrossFooter}) {
      const int dx = t == btCrossData ? 60 + rnd(40) : 100;
      TfrBandView *b = l.Band(t, 0, y, t == btCrossData ? QStringLiteral("Cols") : QString());
      b->x = t == btCrossHeader ? 0 : t == btCrossData ? 100 : 200;
      b->dx = dx;
      // Scripts that hide columns, ask for pages or move the band: a row still never breaks.
      static const QStringList scripts[] = {
          {"begin if [ColName] = 'C2' then Visible := 0 else Visible := 1 end"},
          {"begin newpage; newcolumn; end"},
          {"begin Width := 5000; Left := 0; Height := 3000 end"},
          {"begin Visible := 0 end"}};
      if (rnd(3) == 0) b->Script = scripts[rnd(4)];
    }
    if (rnd(4) == 0) l.src.Pages[0]->ColCount = 2;
    errors.clear();
    Build(l);
    const int footerTop = g.pageHeight - 30;
    for (int p = 0; p < rep.EMFPages->Count(); ++p)
      for (const PrintedObject &o : PageObjects(rep, p)) {
        EXPECT_LE(o.x + o.dx, g.pageWidth) << "round " << round << " page " << p + 1;
        if (o.text == "PF") continue;
        EXPECT_LE(o.y + o.dy, footerTop) << "round " << round << " page " << p + 1 << ": "
                                         << o.text.left(20).toStdString();
      }
    EXPECT_LT(rep.EMFPages->Count(), 400) << "round " << round;
    // A build that ended early says why.
    if (!built) {
      EXPECT_TRUE(frBuild.ErrorFlag) << "round " << round;
    }
  }
}

}  // namespace

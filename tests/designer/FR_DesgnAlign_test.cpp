// The alignment palette, fit to grid and the object editors: what each tool
// needs, the anchor, integer halves, numeric ordering and undo of each step.
#include "designer_fixture.h"

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

using AlignTest = DesignerTest;

TEST_F(AlignTest, EdgesAndCentresFollowTheAnchor) {
  Show();
  TfrMemoView *a = Memo(10, 10, 40, 20, "A");
  TfrMemoView *b = Memo(100, 50, 21, 11, "B");
  SelectOnly({a});
  const int steps = form->UndoCount();
  form->AlignB[0]->click();  // needs two
  EXPECT_EQ(a->x, 10);
  EXPECT_EQ(form->UndoCount(), steps);
  SelectOnly({a, b});  // the topmost (B) is the anchor
  form->AlignB[0]->click();
  EXPECT_EQ(a->x, 100);
  form->AlignB[4]->click();  // right edges
  EXPECT_EQ(a->x + a->dx, 121);
  form->AlignB[1]->click();  // horizontal centres: 100 + 10 - 20
  EXPECT_EQ(a->x, 90);
  form->AlignB[9]->click();  // bottoms
  EXPECT_EQ(a->y + a->dy, 61);
  form->AlignB[6]->click();  // vertical centres: 50 + 5 - 10
  EXPECT_EQ(a->y, 45);
  form->AnchorObject = a;
  form->AlignB[5]->click();  // tops, A now the anchor
  EXPECT_EQ(b->y, 45);
  // Each tool is one step.
  form->Undo();
  EXPECT_EQ(P().FindObject("B")->y, 50);
}

TEST_F(AlignTest, CentringInTheWindowWorksWithOneObject) {
  Show();
  TfrMemoView *a = Memo(10, 10, 41, 20, "A");
  SelectOnly({a});
  form->AlignB[2]->click();
  const int w = form->PageView->width();
  EXPECT_EQ(a->x, 10 - (10 + (41 - w) / 2));
  EXPECT_LE(std::abs(a->x - (w - a->dx - a->x)), 1);
  form->AlignB[7]->click();
  const int h = form->PageView->height();
  EXPECT_LE(std::abs(a->y - (h - a->dy - a->y)), 1);
}

TEST_F(AlignTest, SpaceEquallyOrdersByPlaceAsNumbers) {
  Show();
  TfrMemoView *m = Memo(10, 0, 5, 5, "M");
  TfrMemoView *l = Memo(0, 0, 5, 5, "L");
  TfrMemoView *r = Memo(100, 0, 5, 5, "R");
  SelectOnly({m, l});
  form->AlignB[3]->click();  // needs three
  EXPECT_EQ(m->x, 10);
  SelectOnly({m, l, r});
  form->AlignB[3]->click();
  EXPECT_EQ(l->x, 0);
  EXPECT_EQ(m->x, 50);
  EXPECT_EQ(r->x, 100);
  // Negative and five-digit places keep their numeric order.
  l->y = -30;
  m->y = 10000;
  r->y = 200;
  form->AlignB[8]->click();
  EXPECT_EQ(l->y, -30);
  EXPECT_EQ(m->y, 10000);
  EXPECT_EQ(r->y, 4985);
}

TEST_F(AlignTest, FitToGridRoundsPlacesAndSizes) {
  Show();
  form->SetGridSize(8);
  TfrMemoView *a = Memo(13, 4, 3, 2, "A");
  TfrMemoView *b = Memo(12, 20, 20, 28, "B");
  SelectOnly({a, b});
  EXPECT_TRUE(form->GB3->isEnabled());
  form->GB3->click();
  EXPECT_EQ(a->x, 16);
  EXPECT_EQ(a->y, 0);   // 0.5 goes to the even neighbour
  EXPECT_EQ(a->dx, 8);
  EXPECT_EQ(a->dy, 8);  // 0 becomes the grid size
  EXPECT_EQ(b->x, 16);  // 1.5 up to 2
  EXPECT_EQ(b->y, 16);  // 2.5 down to 2
  EXPECT_EQ(b->dy, 32);
  form->Undo();
  EXPECT_EQ(P().FindObject("A")->x, 13);
  form->ClearSelection();
  form->SelectionChanged();
  EXPECT_FALSE(form->GB3->isEnabled());
}

TEST_F(AlignTest, ObjectEditorByKindAndNoneForADetailFooter) {
  Show();
  QStringList opened;
  form->EditMemo = [&](TfrView &v) { return opened << "memo " + v.Name, true; };
  form->EditPicture = [&](TfrView &v) { return opened << "picture " + v.Name, true; };
  form->EditBand = [&](TfrBandView &v, int kind) { return opened << QString("band %1 %2").arg(v.Name).arg(kind), true; };
  TfrMemoView *m = Memo(8, 8, 40, 18, "Memo1");
  SelectOnly({m});
  form->N36->trigger();
  for (auto [type, name] : {std::pair{btMasterData, "MasterData1"}, {btDetailData, "DetailData1"},
                            {btGroupHeader, "GroupHeader1"}, {btCrossData, "CrossData1"},
                            {btDetailFooter, "DetailFooter1"}, {btPageHeader, "PageHeader1"}}) {
    SelectOnly({Band(type, 300, 20, name)});
    const QPoint p(form->Selection().front()->x + 300, 305);
    Mouse(QEvent::MouseButtonDblClick, p);
    Mouse(QEvent::MouseButtonRelease, p);
  }
  EXPECT_EQ(opened, QStringList({"memo Memo1", "band MasterData1 0", "band DetailData1 0", "band GroupHeader1 1",
                                 "band CrossData1 2"}));
  // A subreport opens its page; one whose page is missing opens nothing.
  report->Pages.Add();
  auto s = std::make_unique<TfrSubReportView>();
  s->Name = "SubReport1";
  s->SubPage = 1;
  TfrView *sub = P().Add(std::move(s));
  SelectOnly({sub});
  form->ShowObjectEditor();
  EXPECT_EQ(form->CurPage, 1);
  form->SetCurPage(0);
  static_cast<TfrSubReportView *>(P().FindObject("SubReport1"))->SubPage = 7;
  SelectOnly({P().FindObject("SubReport1")});
  form->ShowObjectEditor();
  EXPECT_EQ(form->CurPage, 0);
}

}  // namespace

namespace {

TEST_F(AlignTest, InsertedFieldsFitThePrintableWidthWithHeadersNoWiderThanTheirData) {
  Show();
  P().UseMargins = true;
  P().pgMargins = TfrMargins{36, 40, 36, 36};
  form->SetGridSize(4);
  const int printable = form->PageView->width() - 72;
  TfrInsertFieldsChoice c;
  c.DataSet = "Query1";
  c.DataSource = "frDBDataSet1";
  c.Fields = {{"NEV", 200, "Név", {}}, {"CIM", 250, "", {}}, {"KOD", 300, "Kód", {}}};
  c.Horizontal = true;
  c.Headers = true;
  c.Bands = true;
  form->InsertDBFields(c);
  // Headers, data objects, a page header and a master data band: one step.
  ASSERT_EQ(P().Count(), 8);
  EXPECT_EQ(form->UndoCount(), 1);
  EXPECT_EQ(form->SelNum, 8);
  std::vector<TfrView *> data, headers;
  for (const auto &v : P().Objects) {
    if (v->Typ != gtMemo) continue;
    (v->Memo.value(0).startsWith('[') ? data : headers).push_back(v.get());
  }
  ASSERT_EQ(data.size(), 3u);
  EXPECT_EQ(data[0]->Memo, QStringList{"[Query1.\"NEV\"]"});
  EXPECT_EQ(headers[0]->Memo, QStringList{"Név"});
  EXPECT_EQ(headers[1]->Memo, QStringList{"CIM"});
  EXPECT_EQ(static_cast<TfrMemoView *>(headers[0])->Font.Style, fsBold);
  EXPECT_LE(data[2]->x + data[2]->dx - 36, printable + 1);
  EXPECT_GE(data[0]->x, 36);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_LE(headers[i]->dx, data[i]->dx) << i;
    EXPECT_EQ(data[i]->y, 40 + 72);
    if (i > 0) {
      EXPECT_GT(data[i]->x, data[i - 1]->x);
    }
  }
  // A display width of 300 counts as 6 characters: narrower than 200 or 250 ones.
  EXPECT_LT(data[2]->dx, data[0]->dx);
  const TfrView *master = P().FindObject("MasterData1");
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->FormatStr, "frDBDataSet1");
  EXPECT_EQ(master->y, 40 + 72);
  EXPECT_EQ(master->dy, headers.back()->y + headers.back()->dy - 40);
  ASSERT_NE(P().FindObject("PageHeader1"), nullptr);
  EXPECT_EQ(P().Object(0)->Typ, gtBand);  // bands first
  form->Undo();
  EXPECT_EQ(P().Count(), 0);
}

TEST_F(AlignTest, InsertedFieldsVerticallyAndNothingWithoutFields) {
  Show();
  form->SetGridSize(8);
  TfrInsertFieldsChoice c;
  c.DataSet = "Query1";
  form->InsertDBFields(c);
  EXPECT_EQ(P().Count(), 0);
  c.Fields = {{"A", 300, "", {}}, {"B", 0, "", {}}};
  c.Horizontal = false;
  c.Bands = true;
  form->InsertDBFields(c);
  ASSERT_EQ(P().Count(), 3);
  const TfrView *a = P().Object(0)->Typ == gtBand ? P().Object(1) : P().Object(0);
  const TfrView *b = P().Object(2);
  EXPECT_EQ(a->dx, b->dx);  // both 6 characters
  EXPECT_EQ(b->y, a->y + a->dy + 8);
  EXPECT_EQ(a->dx % 8, 0);
  const TfrView *band = P().FindObject("MasterData1");
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->dy, b->y + b->dy);
}

}  // namespace

namespace {

TEST_F(AlignTest, DesignerOptionsAreShownAndTakenBackOnlyOnOk) {
  Show();
  TfrDesignerOptions seen;
  form->DesignerOptions = [&](TfrDesignerOptions &o) {
    seen = o;
    o.GridSize = 5;  // neither 4 nor 8
    o.Units = 1;
    o.ColoredButtons = false;
    o.ObjectMoving = 0;
    return false;
  };
  form->N14->trigger();
  EXPECT_EQ(seen.GridSize, 4);
  EXPECT_TRUE(seen.ColoredButtons);
  EXPECT_EQ(form->GridSize, 4);  // cancelled: nothing taken
  EXPECT_EQ(form->Units, 0);
  form->DesignerOptions = [](TfrDesignerOptions &o) {
    o.GridSize = 5;
    o.Units = 1;
    o.ColoredButtons = false;
    o.ObjectMoving = 0;
    return true;
  };
  form->N14->trigger();
  EXPECT_EQ(form->GridSize, 18);
  EXPECT_EQ(form->Units, 1);
  EXPECT_TRUE(form->GrayButtons);
  EXPECT_EQ(form->ObjectMoving, 0);
  EXPECT_EQ(form->StatusUnits->text(), "MM");
  // Page options: the page is marked changed only when confirmed.
  form->PageOptions = [](TfrPage &) { return false; };
  form->FileModified = false;
  form->PgB3->click();
  EXPECT_FALSE(form->FileModified);
  form->PageOptions = [](TfrPage &p) { return p.ColCount = 2, true; };
  form->N25->trigger();
  EXPECT_TRUE(form->FileModified);
  EXPECT_EQ(P().ColCount, 2);
}

}  // namespace

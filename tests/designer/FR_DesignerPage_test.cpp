// The design surface driven with the mouse and the keys: grid steps, rubber
// bands, bands carrying their objects, inserting with each tool, lines,
// resizing (also several objects, also without extent), the arrow keys.
#include "designer_fixture.h"

#include "support/gui_driver.h"

#include <QRadioButton>
#include <QTabBar>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

TEST_F(DesignerTest, DragsMoveByWholeGridStepsAndRecordOneStepAtTheFirstRealMove) {
  Show();
  form->SetGridSize(8);
  TfrMemoView *m = Memo(40, 40, 96, 16, "Memo1");
  // Less than one grid step: nothing moves, nothing is recorded.
  Drag({50, 45}, {55, 50});
  EXPECT_EQ(m->x, 40);
  EXPECT_EQ(m->y, 40);
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_TRUE(m->Selected);
  // 2.5 grid steps move 2.
  Drag({50, 45}, {70, 45});
  EXPECT_EQ(m->x, 56);
  EXPECT_EQ(m->y, 40);
  EXPECT_EQ(form->UndoCount(), 1);
  // Several moves of one drag are one step.
  Mouse(QEvent::MouseButtonPress, {60, 45});
  for (int x = 61; x <= 90; ++x) Mouse(QEvent::MouseMove, {x, 45});
  Mouse(QEvent::MouseButtonRelease, {90, 45});
  EXPECT_EQ(m->x, 80);
  EXPECT_EQ(form->UndoCount(), 2);
  form->Undo();
  EXPECT_EQ(m->x, 56);
  // Without grid alignment every pixel counts.
  form->SetGridAlign(false);
  Drag({60, 45}, {63, 47});
  EXPECT_EQ(P().Object(0)->x, 59);
  EXPECT_EQ(P().Object(0)->y, 42);
}

TEST_F(DesignerTest, RubberBandSelectsTouchedObjectsButNeverBands) {
  Show();
  Band(btMasterData, 0, 200, "MasterData1");
  Memo(40, 40, 40, 16, "Memo1");
  Memo(100, 40, 40, 16, "Memo2");
  Memo(300, 40, 40, 16, "Memo3");
  // A rubber band needs a start on no object: Ctrl starts one anywhere.
  Drag({30, 30}, {100, 50}, Qt::ControlModifier);
  EXPECT_EQ(form->SelNum, 2);
  EXPECT_FALSE(P().Object(0)->Selected);  // the band under it
  EXPECT_TRUE(P().Object(1)->Selected);
  EXPECT_TRUE(P().Object(2)->Selected);  // its edge touches
  EXPECT_FALSE(P().Object(3)->Selected);
  EXPECT_TRUE(form->PageView->MultiFrame());
  EXPECT_EQ(form->PageView->Frame(), QRect(QPoint(40, 40), QPoint(140, 56)));
  // A band alone is never taken.
  Drag({500, 150}, {690, 190}, Qt::ControlModifier);
  EXPECT_EQ(form->SelNum, 0);
}

TEST_F(DesignerTest, ALoneBandCarriesTheObjectsWhollyInsideIt) {
  Show();
  TfrBandView *band = Band(btMasterData, 100, 40, "MasterData1");
  TfrMemoView *inside = Memo(40, 110, 40, 16, "Memo1");
  TfrMemoView *across = Memo(100, 130, 40, 40, "Memo2");
  Click({600, 120});
  ASSERT_EQ(form->SelNum, 1);
  ASSERT_TRUE(band->Selected);
  Drag({600, 120}, {600, 160});
  EXPECT_EQ(band->y, 140);
  EXPECT_EQ(inside->y, 150);
  EXPECT_EQ(across->y, 130);
  // One step takes the band and its objects back.
  form->Undo();
  EXPECT_EQ(P().Object(0)->y, 100);
  EXPECT_EQ(P().FindObject("Memo1")->y, 110);
  // With Alt the band goes alone.
  Click({600, 120});
  Drag({600, 120}, {600, 160}, Qt::AltModifier);
  EXPECT_EQ(P().FindObject("MasterData1")->y, 140);
  EXPECT_EQ(P().FindObject("Memo1")->y, 110);
}

// With band titles shown, a band's title tab above it hits the band: a click
// selects it, a drag moves it, whether another band, a text of the band above
// or nothing lies under the tab. A click selects what is drawn on top: the tab
// over the texts, a band's own body up to its edge.
TEST_F(DesignerTest, ABandsTitleTabSelectsAndDragsTheBand) {
  ShowActive();
  Band(btPageHeader, 40, 60, "PageHeader1");
  TfrBandView *data = Band(btMasterData, 100, 40, "MasterData1");
  TfrBandView *summary = Band(btReportSummary, 300, 40, "ReportSummary1");
  Memo(38, 80, 262, 18, "Fejlec");
  for (auto [at, name] : {std::pair{QPoint(50, 91), "MasterData1"}, {QPoint(400, 95), "PageHeader1"}}) {
    RealClick(at);
    EXPECT_EQ(form->Selection().front()->Name, name) << at.y();
  }
  for (TfrBandView *band : {data, summary}) {
    const QPoint tab(50, band->y - 9);
    RealClick(tab);
    EXPECT_EQ(form->SelNum, 1) << band->Name.toStdString();
    EXPECT_TRUE(band->Selected) << band->Name.toStdString();
    const int y = band->y;
    RealDrag(tab, tab + QPoint(0, 40));
    EXPECT_EQ(band->y, y + 40) << band->Name.toStdString();
    EXPECT_EQ(P().FindObject("PageHeader1")->y, 40) << band->Name.toStdString();
  }
}

TEST_F(DesignerTest, EachToolInsertsItsObject) {
  Show();
  form->SetGridSize(8);
  // A click without drag: the default size at the snapped point.
  form->SetTool(toolText);
  Click({45, 61});
  ASSERT_EQ(P().Count(), 1);
  TfrView *t = P().Object(0);
  EXPECT_EQ(t->Typ, gtMemo);
  EXPECT_EQ(QRect(t->x, t->y, t->dx, t->dy), QRect(40, 56, 96, 18));
  EXPECT_EQ(t->Name, "Memo1");
  EXPECT_EQ(form->Tool(), toolSelect);  // the select tool is back
  EXPECT_EQ(form->UndoCount(), 1);
  EXPECT_EQ(static_cast<TfrMemoView *>(t)->Font.Size, 10);
  // A drawn frame, snapped and normalised.
  form->SetTool(toolPicture);
  Drag({205, 203}, {101, 101});
  ASSERT_EQ(P().Count(), 2);
  EXPECT_EQ(QRect(P().Object(1)->x, P().Object(1)->y, P().Object(1)->dx, P().Object(1)->dy), QRect(96, 96, 104, 104));
  // A band of the chosen type across the page, 40 high, with its type's name;
  // editing after insert opens its data source dialog, cancelled here.
  auto insertBand = [&](QPoint p) {
    ModalScript script;
    script.then([](QWidget *w) { click(w, "Button2"); });
    EXPECT_TRUE(script.run([&] { Click(p); }));
  };
  form->ChooseBandType = [] { return int(btMasterData); };
  form->SetTool(toolBand);
  insertBand({3, 300});
  ASSERT_EQ(P().Count(), 3);
  EXPECT_EQ(P().Object(0)->Typ, gtBand);  // bands go first
  EXPECT_EQ(P().Object(0)->Name, "MasterData1");
  EXPECT_EQ(P().Object(0)->dx, form->PageView->width());
  EXPECT_EQ(P().Object(0)->dy, 40);
  // A cancelled band type inserts nothing.
  form->ChooseBandType = [] { return -1; };
  form->SetTool(toolBand);
  Click({3, 400});
  EXPECT_EQ(P().Count(), 3);
  // A cross band wider than the surface becomes 40 wide.
  form->ChooseBandType = [] { return int(btCrossData); };
  form->SetTool(toolBand);
  insertBand({0, 500});
  EXPECT_EQ(P().FindObject("CrossData1")->dx, 40);
  // A subreport gets a new page; its tab follows at the next page switch.
  form->SetTool(toolSubReport);
  Click({300, 600});
  EXPECT_EQ(report->Pages.Count(), 2);
  EXPECT_EQ(static_cast<TfrSubReportView *>(report->Pages[0]->FindObject("SubReport1"))->SubPage, 1);
  EXPECT_EQ(form->CurPage, 1);  // editing after insert opens the subreport's page
  form->SetCurPage(0);
  EXPECT_EQ(form->Tab1->tabText(1), "SubReport1");
  // Shift keeps the tool for the next insertion.
  form->SetTool(toolText, true);
  Click({400, 700});
  EXPECT_EQ(form->Tool(), toolText);
  Click({400, 740});
  EXPECT_EQ(P().FindObject("Memo3")->y, 736);
  // The object editor opens after an insert when the option says so.
  int edited = 0;
  form->ShowEditor = [&](TfrView &) { ++edited; };
  Click({500, 800});
  form->EditAfterInsert = false;
  Click({500, 840});
  EXPECT_EQ(edited, 1);
}

TEST_F(DesignerTest, TheBandTypeListOffersUsedTypesOnlyWhenTheyMayRepeat) {
  Show();
  Band(btReportTitle, 0, 40, "ReportTitle1");
  Band(btMasterData, 40, 40, "MasterData1");
  form->SetTool(toolBand);
  ModalScript script;
  bool titleEnabled = true, dataEnabled = false;
  script.then([&](QWidget *w) {
    titleEnabled = child<QRadioButton>(w, "RB1")->isEnabled();
    dataEnabled = child<QRadioButton>(w, "RB6")->isEnabled();
    setChecked(w, "RB6", true);
    click(w, "Button1");
  });
  // The new band's editor follows.
  QString next;
  script.then([&](QWidget *w) {
    next = w->objectName();
    click(w, "Button2");
  });
  EXPECT_TRUE(script.run([&] { Click({3, 300}); }));
  EXPECT_FALSE(titleEnabled);
  EXPECT_TRUE(dataEnabled);
  EXPECT_EQ(next, "frBandEditorForm");
  ASSERT_NE(P().FindObject("MasterData2"), nullptr);
  EXPECT_EQ(P().FindObject("MasterData2")->y, 300);
}

TEST_F(DesignerTest, LinesAreHorizontalOrVerticalAndStartOnCornersOrTheGrid) {
  Show();
  form->SetGridSize(8);
  form->SetTool(toolLine);
  // Farther down than across: vertical, from the nearest grid point.
  Drag({21, 19}, {30, 90});
  ASSERT_EQ(P().Count(), 1);
  TfrView *l = P().Object(0);
  EXPECT_EQ(l->Typ, gtLine);
  EXPECT_EQ(QRect(l->x, l->y, l->dx, l->dy), QRect(24, 16, 0, 74));
  EXPECT_TRUE(l->Selected);
  EXPECT_EQ(form->UndoCount(), 1);
  // A tie is vertical too; drawn leftwards it is still positive.
  form->SetTool(toolLine);
  Drag({200, 200}, {150, 204});
  TfrView *h = P().Object(1);
  EXPECT_EQ(QRect(h->x, h->y, h->dx, h->dy), QRect(150, 200, 50, 0));
  // A start near an object's corner snaps to the corner.
  Memo(301, 301, 50, 20, "Memo1");
  form->SetTool(toolLine);
  Drag({304, 303}, {400, 303});
  TfrView *c = P().Object(3);
  EXPECT_EQ(c->x, 301);
  EXPECT_EQ(c->y, 301);
}

TEST_F(DesignerTest, ResizingOneObjectAndSeveralWithoutDivisionByZero) {
  Show();
  form->SetGridAlign(false);
  TfrMemoView *m = Memo(40, 40, 100, 20, "Memo1");
  Click({60, 50});
  // Bottom-right handle.
  Mouse(QEvent::MouseMove, {140, 60}, Qt::NoButton);
  Drag({140, 60}, {160, 90});
  EXPECT_EQ(QRect(m->x, m->y, m->dx, m->dy), QRect(40, 40, 120, 50));
  // Past the opposite edge: normalised at the end.
  Mouse(QEvent::MouseMove, {160, 90}, Qt::NoButton);
  Drag({160, 90}, {20, 90});
  EXPECT_EQ(QRect(m->x, m->y, m->dx, m->dy), QRect(20, 40, 20, 50));

  // Two stacked vertical lines: no width; the resize keeps the x scale.
  form->ClearSelection();
  P().Clear();
  auto line = [&](int y) {
    auto v = std::make_unique<TfrLineView>();
    v->x = 100, v->y = y, v->dx = 0, v->dy = 40;
    v->Name = QStringLiteral("Line%1").arg(y);
    form->Select(P().Add(std::move(v)));
  };
  line(100);
  line(160);
  form->PageView->ComputeMultiFrame();
  ASSERT_EQ(form->PageView->Frame(), QRect(QPoint(100, 100), QPoint(100, 200)));
  Mouse(QEvent::MouseMove, {100, 200}, Qt::NoButton);
  Drag({100, 200}, {130, 300});
  EXPECT_EQ(P().Object(0)->x, 100);
  EXPECT_EQ(P().Object(0)->dx, 0);
  EXPECT_EQ(P().Object(0)->dy, 80);
  EXPECT_EQ(P().Object(1)->y, 220);
  EXPECT_EQ(P().Object(1)->dy, 80);
  // Shrunk past the origin: every object normalised.
  Mouse(QEvent::MouseMove, {100, 300}, Qt::NoButton);
  Drag({100, 300}, {100, 0});
  for (int i = 0; i < 2; ++i) EXPECT_GE(P().Object(i)->dy, 0);
}

TEST_F(DesignerTest, SplitDragMovesTheCommonEdgeOfTwoNeighbours) {
  Show();
  form->SetGridAlign(false);
  TfrMemoView *a = Memo(40, 40, 60, 20, "Memo1");
  TfrMemoView *b = Memo(100, 40, 60, 20, "Memo2");
  form->Select(a);
  form->Select(b);
  form->PageView->ComputeMultiFrame();
  Mouse(QEvent::MouseMove, {100, 50}, Qt::NoButton);
  Drag({100, 50}, {120, 50});
  EXPECT_EQ(a->dx, 80);
  EXPECT_EQ(b->x, 120);
  EXPECT_EQ(b->dx, 40);
  // An edge that would leave no width stays.
  Mouse(QEvent::MouseMove, {120, 50}, Qt::NoButton);
  Drag({120, 50}, {170, 50});
  EXPECT_EQ(b->x, 120);
}

TEST_F(DesignerTest, KeysMoveResizeAndChooseNeighbours) {
  Show();
  TfrMemoView *a = Memo(40, 40, 2, 20, "Memo1");
  TfrMemoView *b = Memo(200, 44, 40, 20, "Memo2");
  TfrMemoView *c = Memo(44, 100, 40, 20, "Memo3");
  Click({41, 50});
  ASSERT_TRUE(a->Selected);
  // Ctrl+arrow moves by a pixel; Shift+arrow resizes and stops at 0.
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(a->x, 41);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(a->dx, 0);
  EXPECT_EQ(form->UndoCount(), 4);
  a->dx = 40;
  // Plain arrows pick the nearest object that way; none leaves the selection.
  Key(Qt::Key_Up);
  EXPECT_TRUE(a->Selected);
  Key(Qt::Key_Down);  // c lies closer below than b, which is only a little lower
  EXPECT_TRUE(c->Selected);
  EXPECT_FALSE(a->Selected);
  Key(Qt::Key_Right);
  EXPECT_TRUE(b->Selected);
  Key(Qt::Key_Left);
  EXPECT_TRUE(a->Selected);
  EXPECT_EQ(form->SelNum, 1);
  Key(Qt::Key_Down);
  EXPECT_TRUE(c->Selected);
  // Alt+arrow moves against the neighbour and can be undone.
  const int steps = form->UndoCount();
  Key(Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(c->y, 60);
  EXPECT_EQ(form->UndoCount(), steps + 1);
  form->Undo();
  EXPECT_EQ(P().FindObject("Memo3")->y, 100);
  // Ctrl+G and Ctrl+B toggle the grid and its alignment.
  Key(Qt::Key_G, Qt::ControlModifier);
  EXPECT_FALSE(form->ShowGrid);
  Key(Qt::Key_B, Qt::ControlModifier);
  EXPECT_FALSE(form->GridAlign);
}

// Keys of the keyboard table through the window: Ctrl+digit sets the frame
// width, Ctrl+F and Ctrl+D all frame lines and none; key moves and resizes show
// in the inspector and the status bar; Ctrl+Enter opens the text editor, Enter
// the object's own.
TEST_F(DesignerTest, FrameKeysKeyMovesAndEnterKeysThroughTheWindow) {
  ShowActive();
  TfrMemoView *a = Memo(40, 40, 96, 20, "Memo1");
  TfrMemoView *b = Memo(40, 100, 96, 20, "Memo2");
  auto pic = std::make_unique<TfrPictureView>();
  pic->Name = "Picture1";
  pic->x = 300, pic->y = 40, pic->dx = 40, pic->dy = 40;
  TfrView *picture = P().Add(std::move(pic));
  RealClick({50, 50});
  RealClick({50, 110}, Qt::ShiftModifier);
  ASSERT_EQ(form->SelNum, 2);
  const int steps = form->UndoCount();
  RealKey(Qt::Key_3, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(a->FrameWidth, 3);
  EXPECT_DOUBLE_EQ(b->FrameWidth, 3);
  RealKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(a->FrameTyp, 15);
  EXPECT_EQ(b->FrameTyp, 15);
  RealKey(Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(a->FrameTyp, 0);
  EXPECT_EQ(b->FrameTyp, 0);
  EXPECT_EQ(form->UndoCount(), steps + 3);
  form->Undo();
  EXPECT_EQ(P().FindObject("Memo1")->FrameTyp, 15);
  a = static_cast<TfrMemoView *>(P().FindObject("Memo1"));
  b = static_cast<TfrMemoView *>(P().FindObject("Memo2"));
  // Ctrl+arrow and Shift+arrow: the inspector and the status bar follow.
  RealClick({600, 600});
  RealClick({50, 50});
  ASSERT_EQ(form->SelNum, 1);
  RealKey(Qt::Key_Right, Qt::ControlModifier);
  RealKey(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(a->x, 41);
  EXPECT_EQ(a->dx, 97);
  EXPECT_EQ(*form->InspForm->Row(1).Value, "41");
  EXPECT_EQ(*form->InspForm->Row(3).Value, "97");
  EXPECT_EQ(form->StatusPos->text(), "41;40");
  EXPECT_EQ(form->StatusSize->text(), "97;20");
  // Enter: the object's editor; Ctrl+Enter: the text editor, for a picture too.
  QStringList opened;
  form->EditMemo = [&](TfrView &v) { return opened << "text " + v.Name, false; };
  form->EditPicture = [&](TfrView &v) { return opened << "picture " + v.Name, false; };
  RealKey(Qt::Key_Return);
  RealKey(Qt::Key_Return, Qt::ControlModifier);
  RealClick({310, 50});
  RealKey(Qt::Key_Return);
  RealKey(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(opened, QStringList({"text Memo1", "text Memo1", "picture Picture1", "text Picture1"}));
  EXPECT_TRUE(picture->Selected);
}

// A double click arrives as press, release, press, double click, release: the
// click after it selects, and a drag after it moves.
TEST_F(DesignerTest, TheClickAfterADoubleClickIsTheUsersNextClick) {
  ShowActive();
  TfrMemoView *a = Memo(40, 40, 96, 20, "Memo1");
  TfrMemoView *b = Memo(40, 100, 96, 20, "Memo2");
  QList<TfrView *> edited;
  form->EditMemo = [&](TfrView &v) { return edited << &v, false; };
  RealDoubleClick({60, 50});
  EXPECT_EQ(edited, QList<TfrView *>({a}));
  RealClick({60, 110});
  EXPECT_TRUE(b->Selected);
  EXPECT_FALSE(a->Selected);
  EXPECT_EQ(form->SelNum, 1);
  RealDoubleClick({60, 110});
  EXPECT_EQ(edited, QList<TfrView *>({a, b}));
  RealDrag({60, 110}, {100, 150});
  EXPECT_EQ(b->x, 80);
  EXPECT_EQ(b->y, 140);
  EXPECT_EQ(a->y, 40);
  // A double click on the empty page opens the page options; the click after it selects.
  int pageOptions = 0;
  form->PageOptions = [&](TfrPage &) { return ++pageOptions, false; };
  RealDoubleClick({400, 400});
  EXPECT_EQ(pageOptions, 1);
  RealClick({60, 50});
  EXPECT_TRUE(a->Selected);
  EXPECT_EQ(edited.size(), 2);
}

TEST_F(DesignerTest, DeletingSeveralObjectsIsOneStep) {
  Show();
  Memo(40, 40, 40, 16, "Memo1");
  Memo(100, 40, 40, 16, "Memo2");
  Memo(200, 40, 40, 16, "Memo3");
  Click({50, 45});
  Click({110, 45}, Qt::ShiftModifier);
  EXPECT_EQ(form->SelNum, 2);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Names(), QStringList({"Memo3"}));
  EXPECT_EQ(form->UndoCount(), 1);
  form->Undo();
  EXPECT_EQ(Names(), QStringList({"Memo1", "Memo2", "Memo3"}));
  form->Redo();
  EXPECT_EQ(Names(), QStringList({"Memo3"}));
}

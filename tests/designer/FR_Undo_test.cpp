// Undo and redo (the bounded histories, each kind of step, steps of another
// page, objects gone), the internal clipboard and the z-order commands with
// the fixed place of bands.
#include "designer_fixture.h"

#include <QScrollArea>
#include <QScrollBar>

using namespace designer;
using namespace designer::test;

TEST_F(DesignerTest, TheHundredAndFirstStepDropsTheOldest) {
  Show();
  TfrMemoView *m = Memo(0, 0, 40, 16, "Memo1");
  form->Select(m);
  for (int i = 1; i <= 101; ++i) {
    form->AddUndoAction(acEdit);
    m->x = i;
  }
  EXPECT_EQ(form->UndoCount(), 100);
  int undone = 0;
  while (form->UndoCount() > 0) {
    form->Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 100);
  // The oldest step (x 0 -> 1) is gone: the object stays at 1.
  EXPECT_EQ(P().Object(0)->x, 1);
  EXPECT_EQ(form->RedoCount(), 100);
  EXPECT_FALSE(form->UndoB->isEnabled());
  EXPECT_TRUE(form->RedoB->isEnabled());
  for (int i = 0; i < 100; ++i) form->Redo();
  EXPECT_EQ(P().Object(0)->x, 101);
}

TEST_F(DesignerTest, ANewStepAfterUndoEmptiesRedoAndUndoOfAnotherPageWaits) {
  Show();
  TfrMemoView *m = Memo(0, 0, 40, 16, "Memo1");
  form->Select(m);
  form->AddUndoAction(acEdit);
  m->x = 10;
  form->Undo();
  EXPECT_EQ(form->RedoCount(), 1);
  form->Select(P().Object(0));
  form->AddUndoAction(acEdit);
  EXPECT_EQ(form->RedoCount(), 0);
  EXPECT_EQ(form->UndoCount(), 1);
  // The step belongs to page 0; on page 1 it does nothing and stays.
  report->Pages.Add();
  form->SetCurPage(1);
  form->Undo();
  EXPECT_EQ(form->UndoCount(), 1);
  form->SetCurPage(0);
  form->Undo();
  EXPECT_EQ(form->UndoCount(), 0);
}

TEST_F(DesignerTest, StepsSkipObjectsThatAreGoneAndFindMovedOnesByID) {
  Show();
  Memo(0, 0, 40, 16, "Memo1");
  Memo(50, 0, 40, 16, "Memo2");
  form->SelectAll();
  form->AddUndoAction(acEdit);
  P().Object(0)->x = 5;
  P().Object(1)->x = 55;
  // Memo1 disappears without a step; Memo2 is now at index 0.
  P().Delete(0);
  form->Undo();
  ASSERT_EQ(P().Count(), 1);
  EXPECT_EQ(P().Object(0)->Name, "Memo2");
  EXPECT_EQ(P().Object(0)->x, 50);
  // An insert step whose object is gone.
  form->Select(P().Object(0));
  form->AddUndoAction(acInsert);
  P().Clear();
  form->Undo();
  EXPECT_EQ(P().Count(), 0);
}

TEST_F(DesignerTest, PasteLandsAtTheVisibleTopLeftOnTheGrid) {
  Show(400, 400);  // the page is wider than the window
  form->SetGridSize(8);
  Memo(100, 120, 40, 16, "Memo1");
  Memo(130, 150, 40, 16, "Memo2");
  form->SelectAll();
  form->Copy();
  form->ScrollBox1->horizontalScrollBar()->setValue(60);
  form->ScrollBox1->verticalScrollBar()->setValue(0);
  ASSERT_EQ(form->SurfaceOrigin().x(), -50);
  form->Paste();
  ASSERT_EQ(P().Count(), 4);
  EXPECT_EQ(P().Object(2)->x, 48);
  EXPECT_EQ(P().Object(2)->y, 0);
  EXPECT_EQ(P().Object(3)->x, 78);
  EXPECT_EQ(P().Object(3)->y, 30);
  EXPECT_EQ(form->SelNum, 2);
  EXPECT_TRUE(P().Object(2)->Selected);
  EXPECT_EQ(form->UndoCount(), 1);
  // Names that exist get new ones; a second paste lands on the first.
  EXPECT_EQ(P().Object(2)->Name, "Memo3");
  form->Paste();
  EXPECT_EQ(P().Object(4)->x, 48);
  EXPECT_EQ(P().Object(4)->Name, "Memo5");
  EXPECT_NE(P().Object(4)->ID, P().Object(2)->ID);
  form->Undo();
  EXPECT_EQ(P().Count(), 4);
}

TEST_F(DesignerTest, PasteSkipsBandsThatMayNotRepeatAndSubreportsWithoutTheirPage) {
  Show();
  Band(btReportTitle, 0, 40, "ReportTitle1");
  Band(btMasterData, 40, 40, "MasterData1");
  Memo(10, 10, 40, 16, "Memo1");
  report->Pages.Add();
  auto sub = std::make_unique<TfrSubReportView>();
  sub->Name = "SubReport1";
  sub->SubPage = 1;
  form->Select(P().Add(std::move(sub)));
  form->SelectAll();
  form->Cut();
  EXPECT_EQ(P().Count(), 0);
  EXPECT_TRUE(form->PstB->isEnabled());
  // A page that already has a title: the title is skipped, master data repeats.
  Band(btReportTitle, 0, 40, "ReportTitle9");
  Band(btMasterData, 40, 40, "MasterData9");
  form->Paste();
  QStringList names = Names();
  EXPECT_EQ(names.count("ReportTitle1"), 0);
  EXPECT_EQ(names.count("MasterData1"), 1);
  EXPECT_EQ(names.count("SubReport1"), 1);
  EXPECT_EQ(P().Count(), 5);
  // After New the subreport's page is gone: the subreport is left out.
  form->FileModified = false;
  ASSERT_TRUE(form->New());
  form->Paste();
  names = Names();
  EXPECT_EQ(names.count("SubReport1"), 0);
  EXPECT_EQ(names.count("ReportTitle1"), 1);
  EXPECT_EQ(names.count("Memo1"), 1);
}

TEST_F(DesignerTest, BringToFrontAndSendToBackKeepOrderAndUndoRestoresIt) {
  Show();
  Band(btMasterData, 0, 40, "MasterData1");
  Memo(0, 0, 10, 10, "A");
  Memo(0, 0, 10, 10, "B");
  Memo(0, 0, 10, 10, "C");
  Memo(0, 0, 10, 10, "D");
  Band(btPageHeader, 0, 40, "PageHeader1");
  form->ArrangeBands();
  const QStringList before = Names();
  EXPECT_EQ(before, QStringList({"MasterData1", "PageHeader1", "A", "B", "C", "D"}));
  form->Select(P().FindObject("C"));
  form->Select(P().FindObject("A"));
  form->Select(P().FindObject("MasterData1"));
  form->BringToFront();
  // The band stays in the band block; A and C on top in their order.
  EXPECT_EQ(Names(), QStringList({"PageHeader1", "MasterData1", "B", "D", "A", "C"}));
  form->Undo();
  EXPECT_EQ(Names(), before);
  form->Redo();
  EXPECT_EQ(Names(), QStringList({"PageHeader1", "MasterData1", "B", "D", "A", "C"}));
  form->ClearSelection();
  form->Select(P().FindObject("D"));
  form->Select(P().FindObject("C"));
  form->SendToBack();
  EXPECT_EQ(Names(), QStringList({"PageHeader1", "MasterData1", "D", "C", "B", "A"}));
}

TEST_F(DesignerTest, ArrangeBandsIsStableWithCrossBandsAndTheOverlay) {
  Show();
  Memo(0, 0, 10, 10, "M");
  Band(btCrossData, 0, 40, "CrossData1");
  Band(btMasterData, 0, 40, "MasterData1");
  Band(btCrossHeader, 0, 40, "CrossHeader1");
  Band(btOverlay, 0, 40, "Overlay1");
  Band(btCrossData, 0, 40, "CrossData2");
  form->ArrangeBands();
  const QStringList once = Names();
  EXPECT_EQ(once, QStringList({"Overlay1", "MasterData1", "CrossData1", "CrossHeader1", "CrossData2", "M"}));
  for (int i = 0; i < 3; ++i) form->ArrangeBands();
  EXPECT_EQ(Names(), once);
  // An edit step of a cross band finds it by ID even after the order changed.
  form->Select(P().FindObject("CrossData2"));
  form->AddUndoAction(acEdit);
  P().FindObject("CrossData2")->x = 99;
  std::swap(P().Objects[2], P().Objects[4]);
  form->Undo();
  EXPECT_EQ(P().FindObject("CrossData2")->x, 0);
  EXPECT_EQ(P().FindObject("CrossData1")->x, 0);
  EXPECT_TRUE(form->BandTypeExists(btOverlay));
  EXPECT_FALSE(form->BandTypeExists(btReportTitle));
}

TEST_F(DesignerTest, CutAndUndoPutObjectsBackWhereTheyWere) {
  Show();
  Memo(0, 0, 10, 10, "A");
  Memo(0, 0, 10, 10, "B");
  Memo(0, 0, 10, 10, "C");
  const int idB = P().Object(1)->ID;
  form->Select(P().Object(1));
  form->Cut();
  EXPECT_EQ(Names(), QStringList({"A", "C"}));
  form->Undo();
  EXPECT_EQ(Names(), QStringList({"A", "B", "C"}));
  EXPECT_EQ(P().Object(1)->ID, idB);
  form->Redo();
  EXPECT_EQ(Names(), QStringList({"A", "C"}));
  // The clipboard survives New and a page change.
  form->FileModified = false;
  form->New();
  form->Paste();
  EXPECT_EQ(Names(), QStringList({"B"}));
}

// An insert moves bands to the front of the list; undoing every step gives the
// saved file back and clears the changed mark.
TEST_F(DesignerTest, UndoToTheStartGivesTheSavedFileAndClearsTheChangedMark) {
  ShowActive();
  Memo(40, 40, 96, 18, "Cim");
  Band(btReportTitle, 20, 60, "ReportTitle1");
  ASSERT_TRUE(form->SaveAsFile(tmp.file("sorrend.frf"), 1));
  const QByteArray saved = report->SaveToBytes();
  RealClick({60, 48});
  RealKey(Qt::Key_C, Qt::ControlModifier);
  RealKey(Qt::Key_V, Qt::ControlModifier);
  RealKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(report->SaveToBytes(), saved);
  EXPECT_FALSE(form->FileModified);
}

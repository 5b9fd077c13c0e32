// The group condition dialog: the stored condition, the field picker button,
// OK as one undo step, Cancel leaving the band.
#include "band_editor_fixture.h"

#include "designer/FR_GrpEd.h"

#include <QLineEdit>
#include <QToolButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

TEST_F(BandEditorTest, GroupConditionFromTheFieldPickerAndStoredOnOk) {
  Show();
  TfrBandView *g = Band(btGroupHeader, 40, 20, "GroupHeader1");
  g->FormatStr = "[Customers.\"City\"]";
  // The window's group editor picks fields with the field picker.
  Edit(g, [&](QWidget *w) {
    EXPECT_EQ(textOf(w, "Edit1"), "[Customers.\"City\"]");
    EXPECT_TRUE(child<QToolButton>(w, "SB1")->isEnabled());
    EXPECT_EQ(child<QToolButton>(w, "SB1")->toolTip(), "Insert DB field");
    setText(w, "Edit1", "[Customers.\"Zip\"]");
    click(w, "Button1");
  });
  EXPECT_EQ(g->FormatStr, "[Customers.\"Zip\"]");
  EXPECT_EQ(form->UndoCount(), 1);

  TfrGroupEditorForm dlg(form.get());
  int picked = 0;
  dlg.PickField = [&](QString &field) {
    // The first pick is cancelled, the second chooses a field.
    if (++picked == 1) return false;
    field = "[Orders.\"Date\"]";
    return true;
  };
  QString afterCancel, afterPick;
  Dialog([&] { dlg.ShowEditor(*g, form.get()); },
         [&](QWidget *w) {
           EXPECT_TRUE(child<QToolButton>(w, "SB1")->isEnabled());
           child<QToolButton>(w, "SB1")->click();
           afterCancel = textOf(w, "Edit1");
           child<QToolButton>(w, "SB1")->click();
           afterPick = textOf(w, "Edit1");
           click(w, "Button2");
         });
  EXPECT_EQ(afterCancel, "[Customers.\"Zip\"]");
  EXPECT_EQ(afterPick, "[Orders.\"Date\"]");
  EXPECT_EQ(g->FormatStr, "[Customers.\"Zip\"]");
  EXPECT_EQ(form->UndoCount(), 1);
  form->Undo();
  EXPECT_EQ(static_cast<TfrBandView *>(P().FindObject("GroupHeader1"))->FormatStr, "[Customers.\"City\"]");
}

// OK on a group condition the engine's parser cannot evaluate is refused with
// its message; the band keeps its condition until one that can is confirmed.
TEST_F(BandEditorTest, GroupOkRefusesAConditionTheParserCannotEvaluate) {
  TfrBandView *g = Band(btGroupHeader, 40, 20, "GroupHeader1");
  g->FormatStr = "[Key]";
  TfrGroupEditorForm dlg(form.get());
  bool stayed = false;
  QString shownError;
  Dialog([&] { dlg.ShowEditor(*g, form.get()); },
         [&](QWidget *w) {
           auto *edit = child<QLineEdit>(w, "Edit1");
           QTest::keyClick(edit, Qt::Key_End);
           QTest::keyClicks(edit, " +");
           QTest::keyClick(edit, Qt::Key_Return);
           stayed = w->isVisible();
           shownError = errors.join('\n');
           QTest::keyClick(edit, Qt::Key_End);  // the refused text is selected
           QTest::keyClicks(edit, " 1");
           QTest::keyClick(edit, Qt::Key_Return);
         });
  EXPECT_TRUE(stayed);
  EXPECT_EQ(shownError, "Missing operand in expression");
  EXPECT_EQ(g->FormatStr, "[Key] + 1");
}

TEST_F(BandEditorTest, GroupDialogFitsItsTexts) {
  TfrBandView *g = Band(btGroupHeader, 40, 20, "GroupHeader1");
  TfrGroupEditorForm dlg(form.get());
  QStringList problems;
  Dialog([&] { dlg.ShowEditor(*g, form.get()); },
         [&](QWidget *w) {
           EXPECT_EQ(w->objectName(), "frGroupEditorForm");
           EXPECT_EQ(w->windowTitle(), "Group");
           EXPECT_EQ(textOf(w, "Label1"), "&Condition");
           problems = Layout(w, "frGroupEditorForm");
           click(w, "Button2");
         });
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

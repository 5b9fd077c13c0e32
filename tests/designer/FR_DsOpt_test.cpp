// The designer options dialog as the Options command shows it: the window's
// options in its controls, taken back on OK only.
#include "designer_fixture.h"
#include "dialog_steps.h"

#include "designer/FR_DsOpt.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

using DsOptTest = DesignerTest;

TEST_F(DsOptTest, TheOptionsCommandShowsTheWindowsOptionsAndTakesThemOnOk) {
  Show();
  form->SetGridSize(8);
  form->SetUnits(2);
  form->ObjectMoving = 0;
  form->EditAfterInsert = false;
  frShowBandTitles = true;
  ModalScript cancel;
  cancel.then([](QWidget *w) {
    auto *dlg = qobject_cast<TfrDesOptionsForm *>(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->RB2->isChecked());
    EXPECT_TRUE(dlg->RB8->isChecked());
    EXPECT_TRUE(dlg->RB4->isChecked());
    EXPECT_FALSE(dlg->CB4->isChecked());
    EXPECT_TRUE(dlg->CB5->isChecked());
    EXPECT_TRUE(dlg->CB3->isChecked());
    expectLaidOut(dlg);
    dlg->RB3->setChecked(true);
    dlg->CB3->setChecked(false);
    click(dlg, "Button2");
  });
  EXPECT_TRUE(cancel.run([&] { form->N14->trigger(); }));
  EXPECT_EQ(form->GridSize, 8);
  EXPECT_FALSE(form->GrayButtons);

  ModalScript ok;
  ok.then([](QWidget *w) {
    setChecked(w, "RB3", true);
    setChecked(w, "RB7", true);
    setChecked(w, "RB5", true);
    setChecked(w, "CB1", false);
    setChecked(w, "CB3", false);
    setChecked(w, "CB4", true);
    setChecked(w, "CB5", false);
    click(w, "Button1");
  });
  EXPECT_TRUE(ok.run([&] { form->N14->trigger(); }));
  EXPECT_EQ(form->GridSize, 18);
  EXPECT_EQ(form->Units, 1);
  EXPECT_EQ(form->ObjectMoving, 1);
  EXPECT_FALSE(form->ShowGrid);
  EXPECT_TRUE(form->GrayButtons);
  EXPECT_TRUE(form->EditAfterInsert);
  EXPECT_FALSE(frShowBandTitles);
  frShowBandTitles = true;
}

}  // namespace

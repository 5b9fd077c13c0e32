// The highlight dialog: the background switches, the colour buttons through
// the colour dialog, and the designer's highlight button writing the object
// only on OK as one undo step.
#include "designer_fixture.h"
#include "dialog_steps.h"

#include "designer/FR_Hilit.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QRadioButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

using HilitTest = DesignerTest;

TEST_F(HilitTest, ATransparentBackgroundOpensWithTransparentCheckedAndItsButtonOff) {
  Show();
  TfrHighlight hl;
  hl.FontStyle = fsItalic | fsUnderline;
  hl.FontColor = 0x0000FF;
  hl.FillColor = clTransparent;
  QString condition = QStringLiteral("[Value] > 10");
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrHilightForm *>(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->RB1->isChecked());
    EXPECT_FALSE(dlg->RB2->isChecked());
    EXPECT_FALSE(dlg->SpeedButton2->isEnabled());
    EXPECT_FALSE(dlg->CB1->isChecked());
    EXPECT_TRUE(dlg->CB2->isChecked());
    EXPECT_TRUE(dlg->CB3->isChecked());
    EXPECT_EQ(dlg->Edit1->text(), "[Value] > 10");
    expectLaidOut(dlg);
    dlg->RB2->setChecked(true);
    EXPECT_TRUE(dlg->SpeedButton2->isEnabled());
    dlg->RB1->setChecked(true);
    EXPECT_FALSE(dlg->SpeedButton2->isEnabled());
    click(dlg, "Button2");
  });
  bool ok = true;
  EXPECT_TRUE(script.run([&] { ok = EditHighlight(*form, hl, condition); }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(hl.FillColor, clTransparent);
  EXPECT_EQ(hl.FontStyle, fsItalic | fsUnderline);
}

// OK (Enter) on a condition the engine's parser cannot evaluate is refused with
// its message and the dialog stays: a malformed expression, a division by a
// zero constant. Names are no fault, their values come later.
TEST_F(HilitTest, OkRefusesAConditionTheParserCannotEvaluate) {
  Show();
  TfrHighlight hl;
  QString condition = QStringLiteral("[Value] > 10");
  std::vector<bool> stayed;
  QString focused;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrHilightForm *>(w);
    ASSERT_NE(dlg, nullptr);
    for (const char *bad : {"[Value] >", "[Value] > 5 mod 0", "[["}) {
      QTest::keyClick(dlg->Edit1, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(dlg->Edit1, bad);
      QTest::keyClick(dlg->Edit1, Qt::Key_Return);
      stayed.push_back(dlg->isVisible() && dlg->result() != QDialog::Accepted);
    }
    focused = dlg->focusWidget() ? dlg->focusWidget()->objectName() : QString();
    QTest::keyClick(dlg->Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dlg->Edit1, "[Value] mod [Limit] = 0 and [Name] = 'Nagy'");
    QTest::keyClick(dlg->Edit1, Qt::Key_Return);
  });
  bool ok = false;
  EXPECT_TRUE(script.run([&] { ok = EditHighlight(*form, hl, condition); }));
  EXPECT_EQ(stayed, std::vector<bool>({true, true, true}));
  EXPECT_EQ(focused, "Edit1");
  EXPECT_EQ(errors, QStringList({"Missing operand in expression", "Division by zero",
                                 "'[[' cannot be evaluated: a \"[\" is not closed by \"]\"."}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(condition, "[Value] mod [Limit] = 0 and [Name] = 'Nagy'");
}

// Tab goes through the colour buttons in the order of the controls, and Space
// on one opens the colour dialog.
TEST_F(HilitTest, TabReachesTheColourButtonsAndSpacePressesThem) {
  Show();
  TfrHighlight hl;
  hl.FillColor = 0x00FFFF;
  QString condition;
  QStringList order;
  bool colourDialog = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrHilightForm *>(w);
    ASSERT_NE(dlg, nullptr);
    dlg->Edit1->setFocus();
    for (int i = 0; i < 12; ++i) {
      QTest::keyClick(dlg->focusWidget(), Qt::Key_Tab);
      QWidget *f = dlg->focusWidget();
      if (!f || f == dlg->Edit1) break;
      order << f->objectName();
    }
    dlg->SpeedButton1->setFocus();
    QMetaObject::invokeMethod(
        dlg, [dlg] { QTest::keyClick(dlg->SpeedButton1, Qt::Key_Space); }, Qt::QueuedConnection);
  });
  script.then([&](QWidget *w) {
    colourDialog = qobject_cast<QColorDialog *>(w) != nullptr;
    qobject_cast<QDialog *>(w)->reject();
  });
  script.then([](QWidget *w) { click(w, "Button2"); });
  EXPECT_TRUE(script.run([&] { EditHighlight(*form, hl, condition); }));
  EXPECT_EQ(order.mid(0, 1), QStringList({"SpeedButton1"}));
  EXPECT_GT(order.indexOf("SpeedButton2"), order.indexOf("CB3"));
  EXPECT_LT(order.indexOf("SpeedButton2"), order.indexOf("Button1"));
  EXPECT_TRUE(colourDialog);
}

TEST_F(HilitTest, ColourButtonsTakeTheColourDialogsChoiceAndTransparentDropsTheBackground) {
  Show();
  TfrHighlight hl;
  hl.FillColor = 0x00FFFF;
  QString condition;
  ModalScript script;
  TfrHilightForm *form1 = nullptr;
  script.then([&](QWidget *w) {
    form1 = qobject_cast<TfrHilightForm *>(w);
    ASSERT_NE(form1, nullptr);
    EXPECT_TRUE(form1->RB2->isChecked());
    EXPECT_TRUE(form1->SpeedButton2->isEnabled());
    click(form1, "SpeedButton1");
  });
  script.then([](QWidget *w) {
    auto *c = qobject_cast<QColorDialog *>(w);
    ASSERT_NE(c, nullptr);
    c->setCurrentColor(QColor(0x10, 0x20, 0x30));
    c->accept();
  });
  script.then([&](QWidget *w) {
    ASSERT_EQ(w, form1);
    EXPECT_EQ(form1->FontColor(), 0x302010u);
    EXPECT_EQ(form->ButtonColor(form1->SpeedButton1), 0x302010u);
    click(form1, "SpeedButton2");
  });
  script.then([](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });  // the colour dialog cancelled
  script.then([&](QWidget *w) {
    EXPECT_EQ(form1->FillColor(), 0x00FFFFu);
    setChecked(w, "CB1", true);
    setText(w, "Edit1", "[Count] = 0");
    click(w, "Button1");
  });
  bool ok = false;
  EXPECT_TRUE(script.run([&] { ok = EditHighlight(*form, hl, condition); }));
  ASSERT_TRUE(ok);
  EXPECT_EQ(hl.FontColor, 0x302010u);
  EXPECT_EQ(hl.FillColor, 0x00FFFFu);
  EXPECT_EQ(hl.FontStyle, fsBold);
  EXPECT_EQ(condition, "[Count] = 0");

  // "Transparent" drops the background colour.
  ModalScript again;
  again.then([](QWidget *w) {
    setChecked(w, "RB1", true);
    click(w, "Button1");
  });
  EXPECT_TRUE(again.run([&] { EditHighlight(*form, hl, condition); }));
  EXPECT_EQ(hl.FillColor, clTransparent);
}

TEST_F(HilitTest, TheHighlightButtonWritesTheObjectOnlyOnOk) {
  Show();
  TfrMemoView *m = Memo(8, 8, 96, 18, "Memo1");
  SelectOnly({m});
  const QByteArray before = report->SaveToBytes();
  const int steps = form->UndoCount();
  ModalScript cancel;
  cancel.then([](QWidget *w) {
    setText(w, "Edit1", "1 = 1");
    click(w, "Button2");
  });
  EXPECT_TRUE(cancel.run([&] { form->HlB1->click(); }));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), steps);

  ModalScript ok;
  ok.then([](QWidget *w) {
    setText(w, "Edit1", "1 = 1");
    setChecked(w, "CB1", false);
    setChecked(w, "CB2", true);
    click(w, "Button1");
  });
  EXPECT_TRUE(ok.run([&] { form->HlB1->click(); }));
  EXPECT_EQ(m->HighlightStr, "1 = 1");
  EXPECT_EQ(m->Highlight.FontStyle, fsItalic);
  EXPECT_EQ(form->UndoCount(), steps + 1);
}

}  // namespace

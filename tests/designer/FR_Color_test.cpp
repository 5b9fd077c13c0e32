// The colour selector: the engine's named colours on its buttons, the chosen
// colour marked, "Transparent" and "Other...", and the designer's colour
// buttons opening it under themselves and applying only a choice.
#include "designer_fixture.h"

#include "designer/FR_Color.h"
#include "report/expr/FR_Intrp.h"
#include "support/layout_check.h"

#include <QApplication>
#include <QColorDialog>
#include <QTimer>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

using ColorTest = DesignerTest;

// The selector that is open now, once it shows up, handed to act.
void whenSelectorOpens(const std::function<void(TColorSelector *)> &act) {
  auto *timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto *s = qobject_cast<TColorSelector *>(QApplication::activePopupWidget())) {
      timer->stop();
      timer->deleteLater();
      act(s);
    }
  });
  timer->start(5);
}

TEST_F(ColorTest, ButtonsChooseTheEngineColoursAndMarkTheCurrentOne) {
  TColorSelector s;
  std::vector<TColor> chosen;
  QObject::connect(&s, &TColorSelector::ColorSelected, [&](TColor c) { chosen.push_back(c); });
  qint32 maroon = 0;
  ASSERT_TRUE(TInterpretator::ColorByName("clMaroon", maroon));
  s.show();
  EXPECT_TRUE(layoutProblems(&s).isEmpty()) << layoutProblems(&s).join('\n').toStdString();
  s.grab().save("/tmp/ColorSelector.png");
  s.Buttons[2]->click();
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0], static_cast<quint32>(maroon));
  EXPECT_FALSE(s.isVisible());
  EXPECT_TRUE(s.Buttons[2]->Down());
  // Setting a colour marks its button alone; one not in the table marks
  // none and shows on "Other...".
  s.SetColor(0xFFFF00);  // clAqua, the last
  EXPECT_TRUE(s.Buttons[15]->Down());
  EXPECT_FALSE(s.Buttons[2]->Down());
  EXPECT_TRUE(s.OtherButton->Glyph().isNull());
  s.SetColor(0x123456);
  for (auto *b : s.Buttons) EXPECT_FALSE(b->Down());
  EXPECT_EQ(s.OtherButton->Glyph().size(), QSize(12, 13));
  s.show();
  s.TransparentButton->click();
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(chosen[1], 0x1FFFFFFFu);
}

TEST_F(ColorTest, OtherTakesTheColourDialogsChoiceAndNothingOnCancel) {
  TColorSelector s;
  std::vector<TColor> chosen;
  int closed = 0;
  QObject::connect(&s, &TColorSelector::ColorSelected, [&](TColor c) { chosen.push_back(c); });
  QObject::connect(&s, &TColorSelector::Closed, [&] { ++closed; });
  s.show();
  ModalScript cancel;
  cancel.then([](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });
  EXPECT_TRUE(cancel.run([&] { s.OtherButton->click(); }));
  EXPECT_TRUE(chosen.empty());
  EXPECT_EQ(closed, 1);
  s.show();
  ModalScript ok;
  ok.then([](QWidget *w) {
    auto *c = qobject_cast<QColorDialog *>(w);
    ASSERT_NE(c, nullptr);
    c->setCurrentColor(QColor(1, 2, 3));
    c->accept();
  });
  EXPECT_TRUE(ok.run([&] { s.OtherButton->click(); }));
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0], 0x030201u);
  EXPECT_EQ(s.Color(), 0x030201u);
}

TEST_F(ColorTest, ColourButtonsOpenTheSelectorBelowThemAndApplyOnlyAChoice) {
  Show();
  TfrMemoView *m = Memo(8, 8, 96, 18, "Memo1");
  m->FillColor = clTransparent;
  SelectOnly({m});
  const int steps = form->UndoCount();
  QPoint at;
  whenSelectorOpens([&](TColorSelector *s) {
    at = s->frameGeometry().topLeft();
    // Marks the button's present colour: none of the 16 for transparent.
    for (auto *b : s->Buttons) EXPECT_FALSE(b->Down());
    s->Buttons[10]->click();  // clRed
  });
  form->ClB1->click();
  // 26 pixels below the button's top (the platform may add its frame of a few pixels).
  EXPECT_LE((at - form->ClB1->mapToGlobal(QPoint(0, 26))).manhattanLength(), 4);
  EXPECT_EQ(m->FillColor, 0x0000FFu);
  EXPECT_EQ(form->ButtonColor(form->ClB1), 0x0000FFu);
  EXPECT_EQ(form->UndoCount(), steps + 1);

  // Closed without a choice: nothing changes, no step.
  const QByteArray before = report->SaveToBytes();
  whenSelectorOpens([](TColorSelector *s) {
    EXPECT_TRUE(s->Buttons[10]->Down());
    s->close();
  });
  form->ClB1->click();
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), steps + 1);

  // The font colour button through "Transparent".
  whenSelectorOpens([](TColorSelector *s) { s->TransparentButton->click(); });
  form->ClB2->click();
  EXPECT_EQ(m->Font.Color, clTransparent);
}

}  // namespace

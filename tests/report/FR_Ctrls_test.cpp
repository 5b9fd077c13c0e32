// The engine's string table and its toolbar controls: grey glyphs until the
// mouse enters, mouse tracking of flat buttons only, margins, groups and the
// separator's direction in a vertical toolbar.
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace report;

namespace {

TEST(StringTable, HoldsTheEngineAndDesignerTextsByIdAndMatchesThePaperTable) {
  EXPECT_EQ(frLoadStr(53000), "Find text");
  EXPECT_EQ(frLoadStr(53048), "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
  EXPECT_EQ(frLoadStr(55000), "OK");
  EXPECT_EQ(frLoadStr(55001), "Cancel");
  EXPECT_EQ(frLoadStr(55007), frDefaultPrinterName());
  // The designer's ranges: the caption given by id inside the hint range, the
  // band type names, the last format type.
  EXPECT_EQ(frLoadStr(53105), "Close");
  EXPECT_EQ(frLoadStr(53147), "Align bottoms");
  EXPECT_EQ(frLoadStr(53190), "Select &all");
  EXPECT_EQ(frLoadStr(55077), "Report title");
  EXPECT_EQ(frLoadStr(55097), "Cross footer");
  EXPECT_EQ(frLoadStr(55174), "Custom");
  // Paper names 55008-55074 are the printer's table in row order.
  for (int i = 0; i < frPaperCount; ++i)
    EXPECT_EQ(frLoadStr(55008 + i), QString::fromUtf8(frPaperInfo[static_cast<size_t>(i)].name)) << i;
  EXPECT_TRUE(frLoadStr(54999).isEmpty());
  EXPECT_TRUE(frLoadStr(-1).isEmpty());
}

TEST(StringTable, EveryGlyphLoadsWithTransparentOlive) {
  for (const char *name : {"zoom", "open", "save", "print", "find", "help", "exit", "arrow_up", "arrow_down",
                           "page_up", "page_down"}) {
    const QImage g = frGlyph(QLatin1String(name));
    ASSERT_FALSE(g.isNull()) << name;
    EXPECT_EQ(g.pixel(0, 0), frGlyphTransparent) << name;
    EXPECT_EQ(frGlyphPixmap(QLatin1String(name)).toImage().pixelColor(0, 0).alpha(), 0) << name;
  }
  EXPECT_EQ(frGlyph("printer").size(), QSize(18, 16));
  EXPECT_TRUE(frGlyph("nonexistent").isNull());
}

// Counts a signal's emissions.
struct Count {
  template <class Sender, class Signal>
  Count(Sender *sender, Signal signal) {
    QObject::connect(sender, signal, [this] { ++n; });
  }
  int count() const { return n; }
  int n = 0;
};

void enter(QWidget *w) {
  QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(w, &e);
}
void leave(QWidget *w) {
  QEvent e(QEvent::Leave);
  QCoreApplication::sendEvent(w, &e);
}

// A 2 x 1 glyph: a red pixel and an olive (transparent) one.
QImage redAndOlive() {
  QImage g(2, 1, QImage::Format_ARGB32);
  g.setPixel(0, 0, qRgb(255, 0, 0));
  g.setPixel(1, 0, frGlyphTransparent);
  return g;
}

TEST(SpeedButton, AFlatGreyedButtonShowsGreyUntilTheMouseEntersAndAgainAfterItLeaves) {
  QWidget parent;
  TfrSpeedButton b(&parent);
  b.SetFlat(true);
  b.SetGlyph(redAndOlive());
  b.SetNumGlyphs(1);
  Count entered(&b, &TfrSpeedButton::mouseEnter), left(&b, &TfrSpeedButton::mouseLeave);
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsInactive);
  const QImage grey = b.StateImage(TfrSpeedButton::bsInactive);
  EXPECT_EQ(grey.pixel(0, 0), frInactiveGray(qRgb(255, 0, 0)));
  EXPECT_EQ(qRed(grey.pixel(0, 0)), (77 * 255) >> 8);
  EXPECT_EQ(qAlpha(grey.pixel(1, 0)), 0);  // the olive stays transparent
  enter(&b);
  EXPECT_EQ(entered.count(), 1);
  EXPECT_TRUE(b.MouseInControl());
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsUp);
  EXPECT_EQ(b.StateImage(TfrSpeedButton::bsUp).pixel(0, 0), qRgb(255, 0, 0));
  leave(&b);
  EXPECT_EQ(left.count(), 1);
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsInactive);

  // Without GrayedInactive the coloured glyph shows at once; disabled buttons embossed.
  b.SetGrayedInactive(false);
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsUp);
  b.setEnabled(false);
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsDisabled);
  enter(&b);
  EXPECT_EQ(entered.count(), 1);  // a disabled button does not track the mouse
}

TEST(SpeedButton, ANonFlatButtonNeverTracksTheMouse) {
  TfrSpeedButton b;
  b.SetGlyph(redAndOlive());
  Count entered(&b, &TfrSpeedButton::mouseEnter), left(&b, &TfrSpeedButton::mouseLeave);
  enter(&b);
  leave(&b);
  EXPECT_EQ(entered.count(), 0);
  EXPECT_EQ(left.count(), 0);
  EXPECT_EQ(b.GlyphState(), TfrSpeedButton::bsUp);  // greyed only when flat
}

TEST(SpeedButton, MarginRefusesBelowMinusOneAndTheSameValueAsksNoRepaint) {
  TfrSpeedButton b;
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.Spacing(), 4);
  EXPECT_EQ(b.size(), QSize(22, 22));
  EXPECT_TRUE(b.GrayedInactive());
  EXPECT_FALSE(b.Flat());
  b.SetMargin(-2);
  EXPECT_EQ(b.Margin(), -1);
  b.SetMargin(3);
  EXPECT_EQ(b.Margin(), 3);
  const int repaints = b.Repaints();
  b.SetMargin(3);
  EXPECT_EQ(b.Repaints(), repaints);
  b.SetMargin(4);
  EXPECT_EQ(b.Repaints(), repaints + 1);
}

TEST(SpeedButton, GroupedButtonsReleaseEachOtherAndUngroupedOnesNeverStayDown) {
  QWidget parent;
  TfrSpeedButton a(&parent), b(&parent), loose(&parent);
  a.SetGroupIndex(1);
  b.SetGroupIndex(1);
  a.click();
  EXPECT_TRUE(a.Down());
  b.click();
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  b.click();  // without AllowAllUp the last one stays down
  EXPECT_TRUE(b.Down());
  a.SetAllowAllUp(true);
  EXPECT_TRUE(b.AllowAllUp());  // the group shares it
  b.click();
  EXPECT_FALSE(b.Down());
  loose.SetDown(true);
  EXPECT_FALSE(loose.Down());

  Count dbl(&a, &TfrSpeedButton::doubleClicked);
  a.SetDown(true);
  QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(&a, &press);
  EXPECT_EQ(dbl.count(), 1);
}

TEST(ToolbarControls, FollowTheToolbarsDirectionAndTheSeparatorDrawsItsBevelAcross) {
  QWidget vertical, horizontal;
  vertical.setProperty("Align", int(alLeft));
  horizontal.setProperty("Align", int(alTop));
  TfrTBSeparator sepV(&vertical), sepH(&horizontal);
  TfrTBButton btnV(&vertical), btnH(&horizontal);
  TfrTBPanel panel(&vertical);
  EXPECT_EQ(sepV.Align(), alTop);
  EXPECT_EQ(btnV.Align(), alTop);
  EXPECT_EQ(panel.Align(), alTop);
  EXPECT_EQ(sepH.Align(), alLeft);
  EXPECT_EQ(btnH.Align(), alLeft);
  EXPECT_TRUE(btnH.Flat());
  sepH.setParent(&vertical);  // moved into a vertical toolbar
  EXPECT_EQ(sepH.Align(), alTop);

  sepV.resize(20, 8);
  const QImage img = sepV.grab().toImage();
  const QColor shadow = sepV.palette().color(QPalette::Dark), light = sepV.palette().color(QPalette::Light);
  // Horizontal lines: shadow at height / 2 - 1, highlight at height / 2, from x = 2.
  for (int x = 2; x < 18; ++x) {
    EXPECT_EQ(img.pixel(x, 3), shadow.rgb()) << x;
    EXPECT_EQ(img.pixel(x, 4), light.rgb()) << x;
  }
  EXPECT_NE(img.pixel(10, 1), shadow.rgb());
}

}  // namespace

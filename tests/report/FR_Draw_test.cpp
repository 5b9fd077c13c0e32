// Frames, backgrounds, regions for hit testing, picture placement, auto size.
#include "report/output/FR_Draw.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

template <class T>
int countOf(const TfrRecordCanvas &rec) {
  int n = 0;
  for (const auto &c : rec.calls()) n += std::holds_alternative<T>(c) ? 1 : 0;
  return n;
}

}  // namespace

TEST(FrameTest, FrameLinesFollowTypeWidthAndStyle) {
  TfrDrawGeometry g = frScaleGeometry(10, 10, 100, 40, 15, 2, 1.5, 1.5, 0, 0);
  {
    TfrRecordCanvas rec;
    frDrawFrame(rec, g, 0, 0, 0);  // no frame lines: nothing drawn
    EXPECT_TRUE(rec.calls().empty());
  }
  {
    TfrRecordCanvas rec;
    frDrawFrame(rec, g, 15, 0x0000FF, 0);  // four solid lines: one rectangle
    ASSERT_EQ(rec.calls().size(), 1u);
    const auto &r = std::get<TfrRecordCanvas::Rect>(rec.calls()[0]);
    EXPECT_EQ(r.rect, QRectF(15, 15, 150, 60));
    EXPECT_EQ(r.pen, (TfrPen{0x0000FF, 3, 0}));
  }
  {
    TfrRecordCanvas rec;
    frDrawFrame(rec, g, 1 | 2, 0, 1);  // right and bottom, dashed
    ASSERT_EQ(countOf<TfrRecordCanvas::Line>(rec), 2);
    const auto &right = std::get<TfrRecordCanvas::Line>(rec.calls()[0]);
    EXPECT_EQ(right.a, QPointF(165, 15));
    EXPECT_EQ(right.b, QPointF(165, 75));
    EXPECT_EQ(right.pen.style, 1);
  }
  {
    TfrRecordCanvas rec;
    frDrawFrame(rec, g, 15, 0, 5);  // double: two lines per side
    EXPECT_EQ(countOf<TfrRecordCanvas::Line>(rec), 8);
  }
}

TEST(FrameTest, BackgroundFillsTheDrawingRectangleUnlessTransparent) {
  TfrDrawGeometry g = frScaleGeometry(0, 0, 50, 20, 15, 1, 1, 1, 0, 0);
  TfrRecordCanvas rec;
  frDrawBackground(rec, g, frTransparent);
  EXPECT_TRUE(rec.calls().empty());
  frDrawBackground(rec, g, 0xFFFFFF);
  ASSERT_EQ(rec.calls().size(), 1u);
  EXPECT_EQ(std::get<TfrRecordCanvas::Fill>(rec.calls()[0]).rect, QRect(0, 0, 49, 19));
}

TEST(RegionTest, ObjectsWidenByTheirFrameLines) {
  // Frame width 3 on every side: left/top by Round(1.5) = 2, right/bottom by Round(1) = 1.
  EXPECT_EQ(frObjectRegion(10, 10, 20, 20, 15, 3, 0, false).boundingRect(),
            QRect(QPoint(8, 8), QPoint(10 + 20 + 1, 10 + 20 + 1)));
  // Only the sides that have a line.
  EXPECT_EQ(frObjectRegion(10, 10, 20, 20, 4, 3, 0, false).boundingRect(),
            QRect(QPoint(8, 10), QPoint(30, 30)));
  // Double style: Round(4.5) = 4 and Round(1 + 3) = 4; hit testing adds 10.
  EXPECT_EQ(frObjectRegion(10, 10, 20, 20, 15, 3, 5, true).boundingRect(),
            QRect(QPoint(10 - 4 - 10, 10 - 4 - 10), QPoint(30 + 4 + 10, 30 + 4 + 10)));
  // A horizontal line widens across, not along.
  EXPECT_EQ(frLineRegion(10, 50, 100, 0, 4, 0, false).boundingRect(), QRect(QPoint(10, 48), QPoint(110, 52)));
  EXPECT_EQ(frLineRegion(10, 50, 0, 100, 4, 0, false).boundingRect(), QRect(QPoint(8, 50), QPoint(12, 150)));
}

TEST(RegionTest, BandTitleTabsHitAboveOrLeftOfTheBand) {
  QRegion band = frBandTitleRegion(0, 100, 500, 40, 5, false);  // master data
  EXPECT_TRUE(band.contains(QPoint(50, 90)));    // inside the tab above
  EXPECT_FALSE(band.contains(QPoint(150, 90)));  // beside the tab
  EXPECT_TRUE(band.contains(QPoint(250, 120)));
  QRegion cross = frBandTitleRegion(100, 0, 40, 500, 19, false);  // cross data
  EXPECT_TRUE(cross.contains(QPoint(90, 50)));
  EXPECT_FALSE(cross.contains(QPoint(90, 150)));
  EXPECT_TRUE(frBandTitleRegion(0, 100, 500, 40, 5, true).contains(QPoint(505, 145)));
}

TEST(PictureTest, PlacementByStretchCentreAndRatio) {
  const QRect area(10, 10, 200, 100);
  const QSize pic(50, 25);
  EXPECT_EQ(frPicturePlace(area, pic, 1, 1, false, false, false), QRect(10, 10, 50, 25));
  EXPECT_EQ(frPicturePlace(area, pic, 2, 2, false, false, false), QRect(10, 10, 100, 50));
  EXPECT_EQ(frPicturePlace(area, pic, 1, 1, false, true, false), QRect(10 + 75, 10 + 37, 50, 25));
  EXPECT_EQ(frPicturePlace(area, pic, 1, 1, true, false, false), area);
  EXPECT_EQ(frPicturePlace(area, pic, 1, 1, true, false, true), QRect(10, 10, 200, 100));
  EXPECT_EQ(frPicturePlace(area, QSize(100, 100), 1, 1, true, true, true), QRect(60, 10, 100, 100));
  EXPECT_TRUE(frPicturePlace(area, QSize(), 1, 1, true, true, true).isNull());
}

TEST(AutoSizeTest, WidthFromTheWidestLineKeepingTheRightEdgeWhenAligned) {
  // Frame width 1, widest line 50: 50 + 2 + 2.
  TfrAutoSize right = frAutoSize(100, 80, 50, 1, frAlignRight, true);
  EXPECT_EQ(right.width, 54);
  EXPECT_EQ(right.left, 126);
  EXPECT_EQ(right.left + right.width, 180);
  EXPECT_EQ(frAutoSize(100, 80, 50, 1, frAlignLeft, true).left, 100);
  EXPECT_EQ(frAutoSize(100, 80, 50, 1, frAlignJustify | frRotated, true).left, 126);
  EXPECT_EQ(frAutoSize(100, 80, 50, 1, frAlignRight, false).left, 100);  // height measuring
}

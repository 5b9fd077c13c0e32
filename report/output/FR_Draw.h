#pragma once
// Drawing rules shared by the report objects: background and frame lines,
// clipping regions for the designer's hit testing, picture placement and the
// auto-size width of a text object.
#include "report/output/FR_TextLayout.h"

#include <QRegion>
#include <QSize>

namespace report {

// Fills the drawing rectangle unless the colour is "no colour".
void frDrawBackground(TfrCanvas &canvas, const TfrDrawGeometry &g, quint32 fillColor);

// Draws the frame lines selected by frameTyp (1 right, 2 bottom, 4 left, 8 top)
// on the edges of the scaled box, with the scaled frame width rounded. Style 5
// draws a double line; four solid lines are one rectangle.
void frDrawFrame(TfrCanvas &canvas, const TfrDrawGeometry &g, int frameTyp, quint32 color,
                 int style);

// Region an object covers, widened by its frame lines (and by 10 pixels on
// every side for hit testing).
QRegion frObjectRegion(int left, int top, int width, int height, int frameTyp, double frameWidth,
                       int frameStyle, bool hitTest);
// A line object: its rectangle widened across the line by half the frame width
// (1.5 times it for the double style).
QRegion frLineRegion(int left, int top, int width, int height, double frameWidth, int frameStyle,
                     bool hitTest);
// A band with the band titles shown: its rectangle joined with its title tab.
QRegion frBandTitleRegion(int left, int top, int width, int height, int bandType, bool hitTest);

// Where a picture of the given size goes in a rectangle: at its own size
// (scaled), centred when asked; stretched into the rectangle, uniformly when
// the aspect ratio is kept.
QRect frPicturePlace(const QRect &area, QSize picture, double scaleX, double scaleY,
                     bool stretched, bool centre, bool keepRatio);

// Auto size of a text object: the new left and width for a widest line.
struct TfrAutoSize {
  int left;
  int width;
};
TfrAutoSize frAutoSize(int left, int width, int widestLine, double frameWidth, int adjust,
                       bool keepRightEdge);

// What of its text a text object cannot show in its box at scale 1, as its
// drawing lays the text out (FR_Class_Draw.cpp); the object is not changed.
class TfrMemoView;
TfrTextFit frMemoTextFit(const TfrMemoView &m);

}  // namespace report

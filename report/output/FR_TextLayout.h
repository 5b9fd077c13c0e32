#pragma once
// Text layout of text objects: word wrap, hyphenation, the laid-out lines with
// their measured widths, and the placement of those lines on a canvas
// (alignment, justification, vertical position, rotation, clipping).
// Layout always measures at scale 1, so line breaks and widths are the same
// on the screen at any zoom and on the printer.
#include "report/output/FR_Canvas.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace report {

// Round half to even to a whole pixel, held within the int range (geometry
// read from a file may be anything).
int frRound(double v);

// Geometry read from a file or set by a script may be anything; the drawing
// code holds every coordinate and size within this many pixels either way, so
// that a few of them added stay well inside int and no target is asked to
// draw at absurd places.
constexpr int frMaxPixel = 1 << 24;
// A whole-pixel value (exact sum of ints) held within +-frMaxPixel.
int frClampPixel(long long v);
// Rounded as frRound, held within +-frMaxPixel; not a number gives 0.
int frPixel(double v);

// Adjust word of a text object.
enum : int {
  frAlignLeft = 0, frAlignRight = 1, frAlignCenter = 2, frAlignJustify = 3,
  frRotated = 4,
  frVAlignTop = 0, frVAlignCenter = 8, frVAlignBottom = 16, frVAlignMask = 0x18,
};

// Paragraph mark that ends the last line of a paragraph in a printed text.
constexpr char16_t frParaMark = 1;

// One laid-out line: its text, whether it ends a paragraph, its width at scale 1.
struct TfrTextLine {
  QString text;
  bool paraEnd = false;
  int width = 0;
  bool operator==(const TfrTextLine &) const = default;
};

// A laid-out line as it stands in a printed text: the text, the paragraph mark
// when it ends one, then the width as two characters (high byte, low byte,
// each the Windows-1250 character of that byte, so that the stream writer
// stores exactly those bytes).
QString frPackLine(const TfrTextLine &line);
// The reverse: the two last characters are the width; a trailing mark before
// them ends a paragraph. A line shorter than two characters has no width.
TfrTextLine frUnpackLine(const QString &packed);
// True when a printed text holds a paragraph mark anywhere: it was laid out
// when it printed and is drawn without a new layout.
bool frHasParaMark(const QStringList &text);

// Break positions of a word: each n means the word may be split after its
// n-th character. Words shorter than 5 characters have none.
QList<int> frHyphenate(const QString &word);

// Breaks one printed line into lines no wider than maxWidth. A comma, dot or
// hyphen between two digits (a number, date, tax number, bank account) breaks
// only when nothing before it on the line does or the number would not fit
// whole on the next line. A word wider than the line is
// broken before the character that does not fit (at least one character per
// line), so nothing is lost; wordCut, when given, is set then, and when a
// number was broken inside.
// Widths are filled in.
std::vector<TfrTextLine> frWrapLine(const QString &line, const TfrFontSpec &font, int maxWidth,
                                    bool hyphenate, bool *wordCut = nullptr);

struct TfrTextLayoutParams {
  TfrFontSpec font;        // the layout font (height = Round(size * 96 / 72))
  int width = 0;           // the object's box at scale 1
  int height = 0;
  int gapX = 2, gapY = 1;  // text gaps at scale 1
  int lineSpacing = 2;
  int adjust = 0;
  bool wordWrap = true;
  bool hyphenate = false;
};

struct TfrTextLayout {
  std::vector<TfrTextLine> lines;
  int lineHeight = 0;
  int textHeight = 0;  // lines * line height + 2 * gap (gapY, or gapX when rotated)
  bool wordCut = false;  // a word or number wider than the line was broken inside
};

TfrTextLayout frLayoutText(const QStringList &text, const TfrTextLayoutParams &p);

// What of a laid-out text its object cannot show, at scale 1: a line wider
// than the box is cut at its edge, lines beyond its height are cut off, a
// word wider than the line was broken inside.
struct TfrTextFit {
  bool tooWide = false;
  bool tooHigh = false;
  bool wordCut = false;
  bool fits() const { return !tooWide && !tooHigh && !wordCut; }
};
TfrTextFit frTextFit(const TfrTextLayout &layout, const TfrTextLayoutParams &p);

// Width of the widest line of a text for auto size, measured without word
// breaks; line breaks inside a line start new lines.
int frWidestLine(const QStringList &text, const TfrFontSpec &font);

// Integer rectangle with exclusive right and bottom edges.
struct TfrRectI {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return frClampPixel(static_cast<long long>(right) - left); }
  int height() const { return frClampPixel(static_cast<long long>(bottom) - top); }
  QRect toQRect() const {
    const int l = frClampPixel(left), t = frClampPixel(top);
    return QRect(l, t, frClampPixel(static_cast<long long>(right) - l),
                 frClampPixel(static_cast<long long>(bottom) - t));
  }
  bool operator==(const TfrRectI &) const = default;
};

// Geometry of an object for one drawing: the scaled box, the drawing
// rectangle inside the frame lines and the text gaps.
struct TfrDrawGeometry {
  int left = 0, top = 0, width = 0, height = 0;  // scaled box
  double frameWidth = 1;                         // scaled frame width
  TfrRectI drawRect;
  int gapX = 0, gapY = 0;
};

// frameTyp bits: 1 right, 2 bottom, 4 left, 8 top. Every result is held
// within +-frMaxPixel (the frame width likewise; not a number counts as 0).
TfrDrawGeometry frScaleGeometry(int left, int top, int width, int height, int frameTyp,
                                double frameWidth, double scaleX, double scaleY, int offsX,
                                int offsY);

struct TfrTextDrawParams {
  TfrDrawGeometry geo;
  TfrFontSpec font;  // the drawing font: height = Round(size * 96 / 72 * scaleY)
  int lineSpacing = 2;
  double scaleX = 1, scaleY = 1;
  int adjust = 0;
  int textHeight = 0;    // text height of the layout at scale 1 (vertical placement)
  bool stopAtClip = false;  // measuring a cut text: stop at the first line that does not fit
};

// Draws laid-out lines; returns how many lines were put out.
int frDrawTextLines(TfrCanvas &canvas, const std::vector<TfrTextLine> &lines,
                    const TfrTextDrawParams &p);

// Clip rectangle of a text: the drawing rectangle with its left edge one pixel
// further right, its right edge two pixels further left and its bottom one higher.
QRect frTextClip(const TfrRectI &drawRect);

}  // namespace report

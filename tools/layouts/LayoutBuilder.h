#pragma once
// Builds report layouts in code through the engine's own object model: pages,
// bands and the objects on them. The program's layouts (ProgramLayouts) and
// the engine's tests put their layouts together with it; a layout written
// with SaveToBytes is what a layout file holds.
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Report.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace report::layouts {

constexpr quint16 kBox = frbLeft | frbTop | frbRight | frbBottom;

// Alignment values of a text object's adjust field.
enum Align : int { alLeft = 0, alRight = 1, alCenter = 2, alMiddle = 8 };

// How a text object looks.
struct TextStyle {
  int size = 9;             // points
  TFontStyles style = 0;    // fsBold, fsItalic, ...
  int align = alLeft;       // Align values, added
  quint16 frame = 0;        // frame lines (kBox for all four)
  bool wrap = true;
  bool stretch = false;     // grows with a stretching band (table cells)
  TColor fill = clTransparent;
  QString font = QStringLiteral("Arial");

  TextStyle sized(int points) const { TextStyle s = *this; s.size = points; return s; }
  TextStyle bold() const { TextStyle s = *this; s.style |= fsBold; return s; }
  TextStyle italic() const { TextStyle s = *this; s.style |= fsItalic; return s; }
  TextStyle aligned(int a) const { TextStyle s = *this; s.align = a; return s; }
  TextStyle framed(quint16 f = kBox) const { TextStyle s = *this; s.frame = f; return s; }
  TextStyle filled(TColor c) const { TextStyle s = *this; s.fill = c; return s; }
  TextStyle oneLine() const { TextStyle s = *this; s.wrap = false; return s; }
  TextStyle stretching() const { TextStyle s = *this; s.stretch = true; return s; }
};

// One cell of a table row: its width, its text (bracket expressions allowed)
// and its alignment.
struct Cell {
  int width;
  QString text;
  int align = alLeft;
};

// A column of a list: its title, the value its rows print, width and
// alignment, and the widest value it must show on one line (numbers, dates,
// codes: what cannot wrap at a blank); other values wrap.
struct Column {
  QString title;
  QString value;
  int width;
  int align = alLeft;
  QString widest = QString();
};
std::vector<Cell> Titles(const std::vector<Column> &columns);  // titles centred
std::vector<Cell> Values(const std::vector<Column> &columns);

// The text styles of a table's titles and cells.
const TextStyle kTitleText = TextStyle{}.sized(8).bold();
const TextStyle kCellText = TextStyle{}.sized(8);
// Height of a text object showing lines lines of a style, its gaps included.
int TextHeight(const TextStyle &style, int lines = 1);
// Width a text takes on one line in a style, the text object's gaps included.
int TextWidth(const QString &text, const TextStyle &style);
// Least width of a framed table cell (padding included) whose text breaks
// only at blanks into at most maxLines lines.
int CellWidth(const QString &text, const TextStyle &style, int maxLines);
// The columns' widths scaled to fill a total width (the last takes the
// rest), each then at least as wide as its title needs in two lines of
// titleStyle and its widest value in valueStyle, taken from the columns with
// the most room to spare.
std::vector<Column> FitWidth(std::vector<Column> columns, int total, const TextStyle &titleStyle = kTitleText,
                             const TextStyle &valueStyle = kCellText);

class LayoutBuilder {
 public:
  LayoutBuilder() { AddPage(); }

  // A new A4 portrait page without margins; it becomes the current page.
  TfrPage *AddPage();
  // The current page's paper orientation (0 portrait, 1 landscape) and
  // margins in design pixels, which are then used.
  void SetPaper(int orientation, const TfrMargins &margins);
  // Width of the current page, and between its margins, in design pixels.
  int PageWidth() const;
  int ContentWidth() const;

  // Objects at page coordinates. A band is as wide as the page, as the
  // designer's band tool makes it, so that it holds every object it prints.
  TfrBandView *Band(int type, int y, int dy, const QString &source = {}, quint16 flags = 0,
                    const QString &name = {});
  TfrMemoView *Memo(int x, int y, int dx, int dy, const QStringList &text, quint16 flags = 0);
  TfrSubReportView *SubReport(int x, int y, int dx, int dy, int subPage);
  TfrLineView *Line(int x, int y, int dx, int dy, double width = 1);

  // Bands stacked one below the other: NextBand starts a band under the last
  // one; Text, Rule and Row place objects relative to its top and left margin.
  TfrBandView *NextBand(int type, int height, const QString &source = {}, quint16 flags = 0,
                        const QString &name = {});
  TfrMemoView *Text(int x, int y, int dx, int dy, const QString &text, const TextStyle &style = {});
  TfrLineView *Rule(int x, int y, int dx, double width = 1);
  // Cells side by side from x. With a frame in the style each cell is a
  // framed (and filled) box with its text kCellPadding inside the rules on
  // either side, as a printed table keeps its columns apart.
  static constexpr int kCellPadding = 4;  // design pixels, about 1.1 mm
  void Row(int x, int y, int dy, const std::vector<Cell> &cells, const TextStyle &style);

  // Written and read back as a layout file would be.
  void LoadInto(TfrReport &r) { r.LoadFromBytes(src.SaveToBytes()); }
  QByteArray Bytes() { return src.SaveToBytes(); }

  TfrReport src;
  int page = 0;

 private:
  TfrView *add(std::unique_ptr<TfrView> v, const QString &baseName);
  int count_ = 0;
  int bandTop_ = 0;   // top of the band objects are placed in
  int nextTop_ = 0;   // where the next stacked band starts
};

}  // namespace report::layouts

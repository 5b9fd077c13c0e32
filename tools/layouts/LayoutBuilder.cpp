#include "tools/layouts/LayoutBuilder.h"

#include "report/output/FR_Prntr.h"
#include "report/output/FR_TextLayout.h"

#include <algorithm>
#include <cmath>

namespace report::layouts {

namespace {

constexpr int kBandGap = 8;  // between stacked bands, so no object sits on two

template <class T>
std::unique_ptr<T> placed(int x, int y, int dx, int dy) {
  auto v = std::make_unique<T>();
  v->x = x;
  v->y = y;
  v->dx = dx;
  v->dy = dy;
  return v;
}

}  // namespace

TfrPage *LayoutBuilder::AddPage() {
  TfrPage *p = src.Pages.Add();
  p->UseMargins = false;
  page = src.Pages.Count() - 1;
  bandTop_ = nextTop_ = 0;
  return p;
}

void LayoutBuilder::SetPaper(int orientation, const TfrMargins &margins) {
  TfrPage *p = src.Pages[page];
  p->pgOr = static_cast<quint8>(orientation);
  p->pgMargins = margins;
  p->UseMargins = true;
}

int LayoutBuilder::PageWidth() const {
  const TfrPage *p = src.Pages[page];
  const int tenthsMm = p->pgOr == 0 ? p->pgWidth : p->pgHeight;
  return static_cast<int>(std::lround(tenthsMm / 254.0 * frPixelsX));
}

int LayoutBuilder::ContentWidth() const {
  const TfrPage *p = src.Pages[page];
  const int width = PageWidth();
  return p->UseMargins ? width - p->pgMargins.Left - p->pgMargins.Right : width;
}

TfrView *LayoutBuilder::add(std::unique_ptr<TfrView> v, const QString &baseName) {
  if (v->Name.isEmpty()) v->Name = baseName + QString::number(++count_);
  return src.Pages[page]->Add(std::move(v));
}

TfrBandView *LayoutBuilder::Band(int type, int y, int dy, const QString &source, quint16 flags,
                                 const QString &name) {
  auto v = placed<TfrBandView>(0, y, PageWidth(), dy);
  v->SetBandType(type);
  v->FormatStr = source;
  v->Flags = flags;
  v->Name = name;
  return static_cast<TfrBandView *>(add(std::move(v), QStringLiteral("Band")));
}

TfrMemoView *LayoutBuilder::Memo(int x, int y, int dx, int dy, const QStringList &text, quint16 flags) {
  auto v = placed<TfrMemoView>(x, y, dx, dy);
  v->Memo = text;
  v->Flags = flags;
  return static_cast<TfrMemoView *>(add(std::move(v), QStringLiteral("Memo")));
}

TfrSubReportView *LayoutBuilder::SubReport(int x, int y, int dx, int dy, int subPage) {
  auto v = placed<TfrSubReportView>(x, y, dx, dy);
  v->SubPage = subPage;
  return static_cast<TfrSubReportView *>(add(std::move(v), QStringLiteral("SubReport")));
}

TfrLineView *LayoutBuilder::Line(int x, int y, int dx, int dy, double width) {
  auto v = placed<TfrLineView>(x, y, dx, dy);
  v->FrameWidth = width;
  return static_cast<TfrLineView *>(add(std::move(v), QStringLiteral("Line")));
}

TfrBandView *LayoutBuilder::NextBand(int type, int height, const QString &source, quint16 flags,
                                     const QString &name) {
  TfrBandView *b = Band(type, nextTop_, height, source, flags, name);
  bandTop_ = nextTop_;
  nextTop_ += height + kBandGap;
  return b;
}

TfrMemoView *LayoutBuilder::Text(int x, int y, int dx, int dy, const QString &text, const TextStyle &style) {
  const TfrPage *p = src.Pages[page];
  const int left = p->UseMargins ? p->pgMargins.Left : 0;
  quint16 flags = style.wrap ? flWordWrap : 0;
  if (style.stretch) flags |= flStretched;
  TfrMemoView *m = Memo(left + x, bandTop_ + y, dx, dy, text.split(QLatin1Char('\n')), flags);
  m->Font.Name = style.font;
  m->Font.Size = style.size;
  m->Font.Style = style.style;
  m->Adjust = style.align;
  m->FrameTyp = style.frame;
  m->FillColor = style.fill;
  return m;
}

TfrLineView *LayoutBuilder::Rule(int x, int y, int dx, double width) {
  const TfrPage *p = src.Pages[page];
  const int left = p->UseMargins ? p->pgMargins.Left : 0;
  return Line(left + x, bandTop_ + y, dx, 0, width);
}

void LayoutBuilder::Row(int x, int y, int dy, const std::vector<Cell> &cells, const TextStyle &style) {
  for (const Cell &c : cells) {
    const TextStyle text = style.aligned(c.align | (style.align & alMiddle));
    if (style.frame == 0) {
      Text(x, y, c.width, dy, c.text, text);
    } else {
      // The frame and fill on an empty cell, the text inset from its rules.
      Text(x, y, c.width, dy, QString(), style);
      TextStyle inner = text;
      inner.frame = 0;
      inner.fill = clTransparent;
      const int pad = std::min(kCellPadding, std::max(0, (c.width - 4) / 2));
      Text(x + pad, y, c.width - 2 * pad, dy, c.text, inner);
    }
    x += c.width;
  }
}

std::vector<Cell> Titles(const std::vector<Column> &columns) {
  std::vector<Cell> cells;
  for (const Column &c : columns) cells.push_back({c.width, c.title, alCenter});
  return cells;
}

std::vector<Cell> Values(const std::vector<Column> &columns) {
  std::vector<Cell> cells;
  for (const Column &c : columns) cells.push_back({c.width, c.value, c.align});
  return cells;
}

namespace {

// The layout parameters of a text object of a style and width, as the
// engine lays its text out (frame width 1: gaps of 2 and 1 pixels).
TfrTextLayoutParams textParams(const TextStyle &style, int width) {
  TfrTextLayoutParams p;
  p.font.name = style.font;
  p.font.height = frPixel(style.size * 96.0 / 72.0);
  p.font.style = style.style;
  p.width = width;
  p.height = 1 << 20;
  p.wordWrap = style.wrap;
  return p;
}

}  // namespace

int TextHeight(const TextStyle &style, int lines) {
  const TfrTextLayoutParams p = textParams(style, 0);
  return lines * (static_cast<int>(p.font.height) + p.lineSpacing) + 2 * p.gapY;
}

int TextWidth(const QString &text, const TextStyle &style) {
  const TfrTextLayoutParams p = textParams(style, 0);
  return p.font.face().textWidth(text, p.font.height) + 2 * p.gapX + 1;
}

int CellWidth(const QString &text, const TextStyle &style, int maxLines) {
  int longestWord = 0;
  for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    longestWord = std::max(longestWord, TextWidth(word, style));
  const int most = std::max(longestWord, TextWidth(text, style));
  int width = longestWord;
  for (; width < most; width += 2) {
    const TfrTextLayout l = frLayoutText({text}, textParams(style, width));
    if (!l.wordCut && static_cast<int>(l.lines.size()) <= maxLines) break;
  }
  return width + 2 * LayoutBuilder::kCellPadding;
}

std::vector<Column> FitWidth(std::vector<Column> columns, int total, const TextStyle &titleStyle,
                             const TextStyle &valueStyle) {
  int sum = 0;
  for (const Column &c : columns) sum += c.width;
  if (columns.empty() || sum <= 0) return columns;
  int used = 0;
  for (size_t i = 0; i + 1 < columns.size(); ++i) {
    columns[i].width = columns[i].width * total / sum;
    used += columns[i].width;
  }
  columns.back().width = total - used;
  // Each column as wide as it must be; the excess comes off the column that
  // has the most to spare, a pixel at a time.
  std::vector<int> least;
  int excess = 0;
  for (Column &c : columns) {
    int w = CellWidth(c.title, titleStyle, 2);
    if (!c.widest.isEmpty()) w = std::max(w, TextWidth(c.widest, valueStyle) + 2 * LayoutBuilder::kCellPadding);
    least.push_back(w);
    if (c.width < w) {
      excess += w - c.width;
      c.width = w;
    }
  }
  while (excess > 0) {
    size_t most = 0;
    for (size_t i = 1; i < columns.size(); ++i)
      if (columns[i].width - least[i] > columns[most].width - least[most]) most = i;
    if (columns[most].width <= least[most]) break;  // no room anywhere: wider than the page
    --columns[most].width;
    --excess;
  }
  return columns;
}

}  // namespace report::layouts

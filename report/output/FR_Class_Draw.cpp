// Drawing side of the report objects: every class draws itself scaled onto a
// canvas, text objects lay out, measure and draw their text.
#include "report/core/FR_Class_View.h"
#include "report/output/FR_Draw.h"
#include "report/output/FR_TextLayout.h"

#include <array>
#include <cstring>

namespace report {

bool frDesignMode = false;

QString frBandName(int bandType) {
  static const std::array<const char *, 22> names = {
      "Report title", "Report summary", "Page header", "Page footer", "Master header",
      "Master data", "Master footer", "Detail header", "Detail data", "Detail footer",
      "Subdetail header", "Subdetail data", "Subdetail footer", "Overlay", "Column header",
      "Column footer", "Group header", "Group footer", "Cross header", "Cross data",
      "Cross footer", "None"};
  if (bandType < 0 || bandType >= static_cast<int>(names.size())) bandType = btNone;
  return QString::fromLatin1(names[static_cast<size_t>(bandType)]);
}

namespace {

constexpr quint32 clBtnFace = 0x8000000F;

// Character height of a font at a vertical scale: Round(size * 96 / 72 * scale).
int fontPixels(const TfrFont &f, double scaleY) { return frPixel(f.Size * 96.0 / 72.0 * scaleY); }

TfrFontSpec fontSpec(const TfrFont &f, double scaleY) {
  TfrFontSpec s;
  s.name = f.Name;
  s.height = fontPixels(f, scaleY);
  s.style = f.Style;
  s.color = f.Color;
  return s;
}

bool isRotated(int adjust) { return (adjust & frRotated) != 0; }

// Short black marks at the corners of an object in the designer.
void cornerMarks(TfrCanvas &c, const TfrDrawGeometry &g) {
  const TfrPen pen{clBlack, 1, 0};
  const double l = g.left, t = g.top, r = l + g.width, b = t + g.height;
  c.drawLine({l, t}, {l + 3, t}, pen);
  c.drawLine({l, t}, {l, t + 3}, pen);
  c.drawLine({r - 3, t}, {r, t}, pen);
  c.drawLine({r, t}, {r, t + 3}, pen);
  c.drawLine({l, b}, {l + 3, b}, pen);
  c.drawLine({l, b - 3}, {l, b}, pen);
  c.drawLine({r - 3, b}, {r, b}, pen);
  c.drawLine({r, b - 3}, {r, b}, pen);
}

}  // namespace

// ---------------------------------------------------------------- TfrView

TfrDrawGeometry TfrView::DrawGeometry() const {
  return frScaleGeometry(x, y, dx, dy, FrameTyp, FrameWidth, ScaleX, ScaleY, OffsX, OffsY);
}

void TfrView::DrawBackground(TfrCanvas &canvas) {
  const TfrDrawGeometry g = DrawGeometry();
  frDrawBackground(canvas, g, FillColor);
  if (frDesignMode && dx >= 1 && dy >= 1) cornerMarks(canvas, g);
}

void TfrView::DrawFrame(TfrCanvas &canvas) {
  frDrawFrame(canvas, DrawGeometry(), FrameTyp, FrameColor, FrameStyle);
}

void TfrView::Draw(TfrCanvas &canvas) {
  DrawBackground(canvas);
  DrawFrame(canvas);
}

QRegion TfrView::GetClipRgn(bool hitTest) const {
  return frObjectRegion(x, y, dx, dy, FrameTyp, FrameWidth, FrameStyle, hitTest);
}

// ---------------------------------------------------------------- text

namespace {

TfrTextLayoutParams computeLayoutParams(const TfrMemoView &m) {
  const TfrDrawGeometry g1 = frScaleGeometry(m.x, m.y, m.dx, m.dy, m.FrameTyp, m.FrameWidth, 1, 1, 0, 0);
  TfrTextLayoutParams p;
  p.font = fontSpec(m.Font, 1);
  p.width = g1.width;  // the box held within the pixel range
  p.height = g1.height;
  p.gapX = g1.gapX;
  p.gapY = g1.gapY;
  p.lineSpacing = frClampPixel(m.LineSpacing);
  p.adjust = m.Adjust;
  p.wordWrap = (m.Flags & flWordWrap) != 0;
  p.hyphenate = (m.Flags & flWordBreak) != 0;
  return p;
}

// The layout parameters of the last texts measured, by what they are made of:
// a list measures the same few columns on every record.
TfrTextLayoutParams layoutParams(const TfrMemoView &m) {
  struct Entry {
    bool used = false;
    int dx = 0, dy = 0, lineSpacing = 0, adjust = 0;
    quint32 flags = 0;
    double frameWidth = 0;
    TfrFont font;
    TfrTextLayoutParams params;
  };
  thread_local std::array<Entry, 16> cache;
  const quint32 flags = m.Flags & (flWordWrap | flWordBreak);
  Entry &e = cache[static_cast<size_t>(static_cast<unsigned>(m.dx) * 31u + static_cast<unsigned>(m.Adjust)) % cache.size()];
  // Frame widths compare bit for bit: a NaN width is as much a key as any.
  if (e.used && e.dx == m.dx && e.dy == m.dy && e.lineSpacing == m.LineSpacing && e.adjust == m.Adjust &&
      e.flags == flags && std::memcmp(&e.frameWidth, &m.FrameWidth, sizeof(double)) == 0 && e.font == m.Font)
    return e.params;
  e.used = true;
  e.dx = m.dx;
  e.dy = m.dy;
  e.lineSpacing = m.LineSpacing;
  e.adjust = m.Adjust;
  e.flags = flags;
  e.frameWidth = m.FrameWidth;
  e.font = m.Font;
  e.params = computeLayoutParams(m);
  return e.params;
}

// The lines of a text laid out when it printed: a last line holding only the
// mark is dropped, each line's width characters are read back.
std::vector<TfrTextLine> unpackText(QStringList text) {
  if (!text.isEmpty() && text.last() == QString(QChar(frParaMark))) text.removeLast();
  std::vector<TfrTextLine> lines;
  lines.reserve(static_cast<size_t>(text.size()));
  for (const QString &s : text) lines.push_back(frUnpackLine(s));
  return lines;
}

// Lines to draw and the text height for them.
using MemoLines = TfrTextLayout;

MemoLines memoLines(const TfrMemoView &m, const QStringList &text) {
  MemoLines r;
  const TfrTextLayoutParams p = layoutParams(m);
  if (!frHasParaMark(text)) {
    r = frLayoutText(text, p);
  } else {
    // Laid out already: the height is that of these lines as a layout gives it.
    r.lines = unpackText(text);
    r.lineHeight = static_cast<int>(p.font.height) + p.lineSpacing;
    r.textHeight = frClampPixel(static_cast<long long>(r.lines.size()) * r.lineHeight +
                                2LL * (isRotated(m.Adjust) ? p.gapX : p.gapY));
  }
  return r;
}

int widestLine(const TfrMemoView &m, const QStringList &text) {
  return frWidestLine(text, fontSpec(m.Font, 1));
}

}  // namespace

TfrTextFit frMemoTextFit(const TfrMemoView &m) { return frTextFit(memoLines(m, m.Memo), layoutParams(m)); }

void TfrMemoView::Draw(TfrCanvas &canvas) {
  if (!frDesignMode && (Flags & flAutoSize) && !Memo.isEmpty()) {
    const TfrAutoSize a = frAutoSize(x, dx, widestLine(*this, Memo), FrameWidth, Adjust, true);
    x = a.left;
    dx = a.width;
  }
  Memo1 = Memo;
  const MemoLines ml = memoLines(*this, Memo1);
  const TfrDrawGeometry g = DrawGeometry();
  frDrawBackground(canvas, g, FillColor);
  if (frDesignMode && dx >= 1 && dy >= 1) cornerMarks(canvas, g);
  frDrawFrame(canvas, g, FrameTyp, FrameColor, FrameStyle);
  if (!ml.lines.empty()) {
    TfrTextDrawParams p;
    p.geo = g;
    p.font = fontSpec(Font, ScaleY);
    p.lineSpacing = LineSpacing;
    p.scaleX = ScaleX;
    p.scaleY = ScaleY;
    p.adjust = Adjust;
    p.textHeight = ml.textHeight;
    p.stopAtClip = CutPrinting && canvas.kind() == TfrCanvasKind::Measure;
    DrawnLines = frDrawTextLines(canvas, ml.lines, p);
  } else {
    DrawnLines = 0;
  }
  CutPrinting = false;
}

int TfrMemoView::MeasureHeight() {
  if (!Visible || Memo1.isEmpty()) return 0;
  if (!frDesignMode && (Flags & flAutoSize))
    dx = frAutoSize(x, dx, widestLine(*this, Memo1), FrameWidth, Adjust, false).width;
  const MemoLines ml = memoLines(*this, Memo1);
  LastLineHeight = ml.lineHeight;
  return ml.textHeight;
}

int TfrMemoView::MinimumHeight() { return fontPixels(Font, 1) + frClampPixel(LineSpacing); }

int TfrMemoView::RemainingHeight() {
  if (Memo1.isEmpty()) return 0;
  const MemoLines ml = memoLines(*this, Memo1);
  LastLineHeight = ml.lineHeight;
  const int left = static_cast<int>(ml.lines.size()) - DrawnLines;
  return left > 0 ? frClampPixel(static_cast<long long>(left) * ml.lineHeight) : 0;
}

QStringList TfrMemoView::LaidOutText() {
  if (frHasParaMark(Memo1)) return Memo1;
  const MemoLines ml = memoLines(*this, Memo1);
  LastLineHeight = ml.lineHeight;
  QStringList out;
  out.reserve(static_cast<qsizetype>(ml.lines.size()));
  for (const TfrTextLine &l : ml.lines) out << frPackLine(l);
  return out;
}

// ---------------------------------------------------------------- picture

void TfrPictureView::Draw(TfrCanvas &canvas) {
  const TfrDrawGeometry g = DrawGeometry();
  DrawBackground(canvas);
  const QRect area = g.drawRect.toQRect();
  if (Picture.kind() == TfrPicture::pkMetafile && !Picture.isEmpty()) {
    // Metafiles are kept but not drawn: a grey outline stands for them.
    canvas.drawRect(QRectF(area), TfrPen{0x808080, 1, 0});
  } else {
    // Unreadable image data leaves the frame empty.
    const QImage img = Picture.image();
    if (!img.isNull()) {
      const QRect target = frPicturePlace(area, img.size(), ScaleX, ScaleY, (Flags & flStretched) != 0,
                                          (Flags & flPictCenter) != 0, (Flags & flPictRatio) != 0);
      if (!target.isEmpty()) canvas.drawImage(target, img, area);
    }
  }
  DrawFrame(canvas);
}

// ---------------------------------------------------------------- line

void TfrLineView::Draw(TfrCanvas &canvas) {
  const bool vertical = dx <= dy;
  const int typ = vertical ? frbLeft : frbTop;
  const TfrDrawGeometry g = frScaleGeometry(x, y, vertical ? 0 : dx, vertical ? dy : 0, typ, FrameWidth,
                                            ScaleX, ScaleY, OffsX, OffsY);
  frDrawFrame(canvas, g, typ, FrameColor, FrameStyle);
}

QRegion TfrLineView::GetClipRgn(bool hitTest) const {
  return frLineRegion(x, y, dx, dy, FrameWidth, FrameStyle, hitTest);
}

// ---------------------------------------------------------------- band, subreport

void TfrBandView::Draw(TfrCanvas &canvas) {
  if (!frDesignMode) return;
  const TfrDrawGeometry g = frScaleGeometry(x, y, dx, dy, 0, 0, ScaleX, ScaleY, OffsX, OffsY);
  canvas.fillRect(QRect(g.left, g.top, g.width, g.height), clBtnFace);
  const bool cross = BandType() >= btCrossHeader && BandType() <= btCrossFooter;
  TfrFontSpec f;
  f.name = QStringLiteral("Arial");
  f.height = fontPixels(TfrFont{}, ScaleY);
  TfrTextOut t;
  t.text = frBandName(BandType());
  t.font = f;
  t.font.rotated = cross;
  if (frShowBandTitles) {
    QRect tab = cross ? QRect(g.left - 18, g.top, 18, 100) : QRect(g.left, g.top - 18, 100, 18);
    canvas.fillRect(tab, clBtnFace);
    canvas.drawRect(QRectF(tab), TfrPen{0x808080, 1, 0});
    t.clip = tab;
    t.pos = cross ? QPointF(tab.left() + 2, tab.bottom() - 2) : QPointF(tab.left() + 2, tab.top() + 2);
  } else {
    t.clip = QRect(g.left, g.top, g.width, g.height);
    t.pos = cross ? QPointF(g.left + 2, g.top + g.height - 2) : QPointF(g.left + 2, g.top + 2);
  }
  canvas.textOut(t);
}

QRegion TfrBandView::GetClipRgn(bool hitTest) const {
  if (!frShowBandTitles) return frObjectRegion(x, y, dx, dy, 0, FrameWidth, FrameStyle, hitTest);
  return frBandTitleRegion(x, y, dx, dy, BandType(), hitTest);
}

void TfrSubReportView::Draw(TfrCanvas &canvas) {
  if (!frDesignMode) return;
  const TfrDrawGeometry g = frScaleGeometry(x, y, dx, dy, 15, 1, ScaleX, ScaleY, OffsX, OffsY);
  canvas.fillRect(QRect(g.left, g.top, g.width, g.height), clWhite);
  frDrawFrame(canvas, g, 15, clBlack, frsSolid);
  TfrTextOut t;
  t.font.name = QStringLiteral("Arial");
  t.font.height = fontPixels(TfrFont{}, ScaleY);
  t.text = QStringLiteral("Page") + QString::number(SubPage + 1);
  t.pos = QPointF(g.left + g.gapX, g.top + g.gapY);
  t.clip = frTextClip(g.drawRect);
  canvas.textOut(t);
}

}  // namespace report

#include "report/output/FR_Canvas.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace report {

QColor frColor(quint32 c) {
  if (c & 0x80000000u) {
    // System colours: fixed values so that every machine draws alike.
    switch (c & 0xFF) {
      case 5: return QColor(255, 255, 255);   // window
      case 8: return QColor(0, 0, 0);         // window text
      case 15: return QColor(240, 240, 240);  // button face
      case 16: return QColor(160, 160, 160);  // button shadow
      case 18: return QColor(0, 0, 0);        // button text
      default: return QColor(192, 192, 192);
    }
  }
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

std::vector<double> TfrTextOut::offsets() const {
  const TfrFontFace &f = font.face();
  const qsizetype n = text.size();
  std::vector<double> off(static_cast<size_t>(n) + 1, 0.0);
  double x = 0;
  for (qsizetype i = 0; i < n; ++i) {
    off[static_cast<size_t>(i)] = x;
    x += f.charWidth(text[i].unicode(), font.height);
  }
  off[static_cast<size_t>(n)] = x;
  if (spreadTo >= 0 && x > 0 && spreadTo != x) {
    const double k = spreadTo / x;
    for (double &o : off) o *= k;
  }
  if (justify != 0) {
    int blanks = 0;
    for (QChar c : text)
      if (c == QLatin1Char(' ')) ++blanks;
    if (blanks > 0) {
      // As the system's text justification: an equal share per blank, the
      // remainder one pixel each to the first blanks.
      const int share = justify / blanks;
      int rest = justify % blanks;
      double shift = 0;
      for (qsizetype i = 0; i < n; ++i) {
        off[static_cast<size_t>(i)] += shift;
        if (text[i] == QLatin1Char(' ')) {
          shift += share;
          if (rest > 0) {
            ++shift;
            --rest;
          } else if (rest < 0) {
            --shift;
            ++rest;
          }
        }
      }
      off[static_cast<size_t>(n)] += shift;
    }
  }
  return off;
}

// ---------------------------------------------------------------- painter

TfrPainterCanvas::TfrPainterCanvas(QPainter *painter, TfrCanvasKind kind)
    : TfrCanvas(kind), p_(painter) {}

namespace {

QPen makePen(const TfrPen &pen) {
  QPen p(frColor(pen.color));
  // Qt refuses widths from 32768 on (with a warning each time): a wider frame
  // from a file is drawn as wide as it allows.
  p.setWidthF(!(pen.width > 0) ? 1 : std::min(pen.width, 32767.0));
  switch (pen.style) {
    case 1: p.setStyle(Qt::DashLine); break;
    case 2: p.setStyle(Qt::DotLine); break;
    case 3: p.setStyle(Qt::DashDotLine); break;
    case 4: p.setStyle(Qt::DashDotDotLine); break;
    default: p.setStyle(Qt::SolidLine); break;
  }
  p.setCapStyle(pen.style == 0 ? Qt::SquareCap : Qt::FlatCap);
  p.setJoinStyle(Qt::MiterJoin);
  return p;
}

}  // namespace

void TfrPainterCanvas::fillRect(const QRect &r, quint32 color) {
  if (color == frTransparent) return;
  p_->fillRect(r, frColor(color));
}

void TfrPainterCanvas::drawLine(const QPointF &a, const QPointF &b, const TfrPen &pen) {
  p_->setPen(makePen(pen));
  p_->drawLine(a, b);
}

void TfrPainterCanvas::drawRect(const QRectF &r, const TfrPen &pen) {
  p_->setPen(makePen(pen));
  p_->setBrush(Qt::NoBrush);
  p_->drawRect(r);
}

void TfrPainterCanvas::textOut(const TfrTextOut &t) {
  if (t.text.isEmpty()) return;
  const TfrFontFace &face = t.font.face();
  const QRawFont &raw = face.raw(t.font.height);
  if (!raw.isValid()) return;
  const std::vector<double> off = t.offsets();
  const double ascent = face.ascent(t.font.height);
  QList<quint32> glyphs;
  QList<QPointF> pos;
  glyphs.reserve(t.text.size());
  pos.reserve(t.text.size());
  for (qsizetype i = 0; i < t.text.size(); ++i) {
    glyphs.append(face.glyph(t.text[i].unicode()));
    pos.append(QPointF(off[static_cast<size_t>(i)], ascent));
  }
  QGlyphRun run;
  run.setRawFont(raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(pos);
  run.setUnderline((t.font.style & frUnderline) != 0);
  run.setStrikeOut((t.font.style & frStrikeOut) != 0);
  p_->save();
  if (!t.clip.isNull()) p_->setClipRect(t.clip, Qt::IntersectClip);
  p_->translate(t.pos);
  if (t.font.rotated) p_->rotate(-90);
  p_->setPen(frColor(t.font.color));
  p_->drawGlyphRun(QPointF(0, 0), run);
  p_->restore();
}

void TfrPainterCanvas::drawImage(const QRect &target, const QImage &image, const QRect &clip) {
  if (image.isNull()) return;
  p_->save();
  if (!clip.isNull()) p_->setClipRect(clip, Qt::IntersectClip);
  p_->drawImage(target, image);
  p_->restore();
}

QRect TfrPainterCanvas::visibleRect() const {
  if (kind() != TfrCanvasKind::Screen || !p_->hasClipping()) return {};
  return p_->clipBoundingRect().toAlignedRect();
}

TfrCanvas &frMeasureCanvas() {
  static TfrMeasureCanvas canvas;
  return canvas;
}

// ---------------------------------------------------------------- recording

void TfrRecordCanvas::fillRect(const QRect &r, quint32 color) {
  calls_.emplace_back(std::in_place_type<Fill>, Fill{r, color});
}
void TfrRecordCanvas::drawLine(const QPointF &a, const QPointF &b, const TfrPen &pen) {
  calls_.emplace_back(std::in_place_type<Line>, Line{a, b, pen});
}
void TfrRecordCanvas::drawRect(const QRectF &r, const TfrPen &pen) {
  calls_.emplace_back(std::in_place_type<Rect>, Rect{r, pen});
}
void TfrRecordCanvas::textOut(const TfrTextOut &t) {
  calls_.emplace_back(std::in_place_type<TfrTextOut>, t);
}
void TfrRecordCanvas::drawImage(const QRect &target, const QImage &image, const QRect &clip) {
  calls_.emplace_back(std::in_place_type<Image>, Image{target, image, clip});
}

std::vector<const TfrTextOut *> TfrRecordCanvas::textCalls() const {
  std::vector<const TfrTextOut *> out;
  for (const Call &c : calls_)
    if (const auto *t = std::get_if<TfrTextOut>(&c)) out.push_back(t);
  return out;
}

QStringList TfrRecordCanvas::texts() const {
  QStringList out;
  for (const TfrTextOut *t : textCalls()) out << t->text;
  return out;
}

void TfrRecordCanvas::replay(TfrCanvas &target) const {
  for (const Call &c : calls_) {
    std::visit(
        [&target](const auto &v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, Fill>) target.fillRect(v.rect, v.color);
          else if constexpr (std::is_same_v<T, Line>) target.drawLine(v.a, v.b, v.pen);
          else if constexpr (std::is_same_v<T, Rect>) target.drawRect(v.rect, v.pen);
          else if constexpr (std::is_same_v<T, TfrTextOut>) target.textOut(v);
          else target.drawImage(v.target, v.image, v.clip);
        },
        c);
  }
}

}  // namespace report

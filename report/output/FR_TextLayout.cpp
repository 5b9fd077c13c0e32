#include "report/output/FR_TextLayout.h"

#include "platform/conv.h"
#include "platform/cp1250.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {


bool isBreakChar(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char('-') ||
         c == QLatin1Char('.');
}

bool isLineBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// A comma, dot or hyphen between two digits belongs to a number, date, tax
// number or bank account ("2 222 222,00", "1970.05.14", "11773016-12345678").
bool insideNumber(const QString &t, qsizetype i) {
  return t[i] != QLatin1Char(' ') && i > 0 && i + 1 < t.size() && t[i - 1].isDigit() && t[i + 1].isDigit();
}

QChar byteChar(int b) {
  const char c = static_cast<char>(b);
  return platform::fromCp1250(std::string_view(&c, 1)).at(0);
}

// A font height in whole pixels as the line height takes it (truncated),
// held within the pixel range.
int heightPixels(double h) {
  return h == h ? static_cast<int>(std::clamp<double>(h, -frMaxPixel, frMaxPixel)) : 0;
}

int charByte(QChar c) {
  int b = platform::cp1250Byte(c.unicode());
  return b < 0 ? 0 : b;
}

// Breaks a piece of a line that holds no line-break characters.
void wrapSegment(const QString &t, const TfrFontSpec &font, int maxWidth, bool hyphenate,
                 std::vector<TfrTextLine> &out, bool *wordCut) {
  const TfrFontFace &face = font.face();
  const double h = font.height;
  const qsizetype n = t.size();
  qsizetype start = 0;
  const size_t first = out.size();
  while (start < n) {
    // Find the first character that makes the line too wide.
    long long w = 0;
    qsizetype k = start;
    for (; k < n; ++k) {
      w += face.charWidth(t[k].unicode(), h);
      if (w > maxWidth) break;
    }
    if (k >= n) {
      out.push_back({t.mid(start), false, 0});
      break;
    }
    // Last break character before it (the offending character itself only
    // when it is a blank, which the break drops). A number is broken before
    // it rather than inside, unless it does not fit whole on the next line.
    qsizetype b = -1, inNumber = -1;
    for (qsizetype i = k; i >= start; --i) {
      if (i == k && t[i] != QLatin1Char(' ')) continue;
      if (!isBreakChar(t[i])) continue;
      if (t[i] == QLatin1Char(' ') && i == start) continue;  // would give an empty line
      if (insideNumber(t, i)) {
        if (inNumber < 0) inNumber = i;
        continue;
      }
      b = i;
      break;
    }
    // The number goes to the next line only when it fits there whole;
    // otherwise the line breaks after its last break character.
    if (inNumber >= 0 && b >= 0) {
      qsizetype end = inNumber;
      while (end < n && (!isBreakChar(t[end]) || insideNumber(t, end))) ++end;
      if (face.textWidth(t.mid(b + 1, end - b - 1), h) > maxWidth) b = -1;
    }
    if (b < 0 && inNumber >= 0) {
      b = inNumber;
      if (wordCut) *wordCut = true;
    }
    if (hyphenate && t[k] != QLatin1Char(' ')) {
      const qsizetype wordStart = b >= 0 ? b + 1 : start;
      qsizetype wordEnd = k;
      while (wordEnd < n && !isBreakChar(t[wordEnd])) ++wordEnd;
      const QList<int> pos = frHyphenate(t.mid(wordStart, wordEnd - wordStart));
      bool done = false;
      for (qsizetype j = pos.size() - 1; j >= 0; --j) {
        const qsizetype cut = wordStart + pos[j];
        if (cut <= start) continue;
        QString part = t.mid(start, cut - start) + QLatin1Char('-');
        if (face.textWidth(part, h) <= maxWidth) {
          out.push_back({part, false, 0});
          start = cut;
          done = true;
          break;
        }
      }
      if (done) continue;
    }
    if (b >= 0) {
      out.push_back({t.mid(start, t[b] == QLatin1Char(' ') ? b - start : b - start + 1), false, 0});
      start = b + 1;
    } else {
      // No break before the word: break before the character that does not
      // fit, and go on with the rest on the next line.
      const qsizetype end = k > start ? k : start + 1;
      if (wordCut && end < n && !isBreakChar(t[end - 1]) && !isBreakChar(t[end])) *wordCut = true;
      out.push_back({t.mid(start, end - start), false, 0});
      start = end;
    }
  }
  if (out.size() == first) out.push_back({QString(), false, 0});
  out.back().paraEnd = true;
}

}  // namespace

int frRound(double v) {
  if (!(v == v)) return 0;
  // Half to even on the double itself, whatever the rounding mode: the
  // geometry of every object drawn passes here, and the extended-precision
  // routine with its rounding-mode guard cost a seventh of a list's build.
  double r = std::round(v);
  if (std::fabs(r - v) == 0.5) r = 2.0 * std::round(v / 2.0);
  if (r >= 2147483647.0) return 2147483647;
  if (r <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(r);
}

int frClampPixel(long long v) { return static_cast<int>(std::clamp<long long>(v, -frMaxPixel, frMaxPixel)); }

int frPixel(double v) { return frClampPixel(frRound(v)); }

QString frPackLine(const TfrTextLine &line) {
  QString s = line.text;
  if (line.paraEnd) s += QChar(frParaMark);
  const int w = line.width & 0xFFFF;
  s += byteChar(w >> 8);
  s += byteChar(w & 0xFF);
  return s;
}

TfrTextLine frUnpackLine(const QString &packed) {
  TfrTextLine l;
  if (packed.size() < 2) {
    l.text = packed;
  } else {
    l.width = (charByte(packed[packed.size() - 2]) << 8) | charByte(packed[packed.size() - 1]);
    l.text = packed.left(packed.size() - 2);
  }
  if (l.text.endsWith(QChar(frParaMark))) {
    l.text.chop(1);
    l.paraEnd = true;
  }
  if (l.text.isEmpty()) l.paraEnd = true;
  return l;
}

bool frHasParaMark(const QStringList &text) {
  for (const QString &s : text)
    if (s.contains(QChar(frParaMark))) return true;
  return false;
}

QList<int> frHyphenate(const QString &word) {
  QList<int> res;
  const QString u = word.toUpper();
  const qsizetype len = u.size();
  if (len < 5) return res;
  auto code = [&u](qsizetype i1) { return platform::cp1250Byte(u[i1 - 1].unicode()); };  // 1-based
  auto vowel = [](int c) {
    switch (c) {
      case 168: case 192: case 197: case 200: case 206:
      case 211: case 219: case 221: case 222: case 223: return true;
      default: return false;
    }
  };
  auto sign = [](int c) { return c == 218 || c == 220; };
  for (qsizetype i = 2; i <= len - 2; ++i) {
    const int a = code(i), b = code(i + 1), c = code(i + 2);
    const bool ok = (vowel(a) && vowel(b)) ||
                    (((vowel(a) && !vowel(b)) || (!vowel(a) && !vowel(b) && !sign(b))) && vowel(c));
    if (ok) res << static_cast<int>(i);
  }
  return res;
}

std::vector<TfrTextLine> frWrapLine(const QString &line, const TfrFontSpec &font, int maxWidth,
                                    bool hyphenate, bool *wordCut) {
  std::vector<TfrTextLine> out;
  const TfrFontFace &face = font.face();
  bool hasBreak = false;
  for (QChar c : line)
    if (isLineBreak(c)) {
      hasBreak = true;
      break;
    }
  // A line that fits is measured once: its width is the line's width.
  const int whole = hasBreak ? 0 : face.textWidth(line, font.height);
  if (!hasBreak && (line.size() < 2 || whole <= maxWidth)) {
    out.push_back({line, true, whole & 0xFFFF});
    return out;
  }
  // Line-break characters end a line; a run of them is one break.
  qsizetype beg = 0;
  const qsizetype n = line.size();
  qsizetype i = 0;
  while (i < n) {
    if (isLineBreak(line[i])) {
      wrapSegment(line.mid(beg, i - beg), font, maxWidth, hyphenate, out, wordCut);
      while (i < n && isLineBreak(line[i])) ++i;
      beg = i;
    } else {
      ++i;
    }
  }
  if (beg < n) wrapSegment(line.mid(beg), font, maxWidth, hyphenate, out, wordCut);
  for (TfrTextLine &l : out) l.width = face.textWidth(l.text, font.height) & 0xFFFF;
  return out;
}

TfrTextLayout frLayoutText(const QStringList &text, const TfrTextLayoutParams &p) {
  TfrTextLayout res;
  const bool rotated = (p.adjust & frRotated) != 0;
  const int lineHeight = frClampPixel(static_cast<long long>(heightPixels(p.font.height)) + frClampPixel(p.lineSpacing));
  const int maxWidth = rotated ? frClampPixel(static_cast<long long>(p.height) - 2LL * p.gapY)
                               : frClampPixel(static_cast<long long>(p.width) - 2LL * p.gapX);
  const TfrFontFace &face = p.font.face();
  for (const QString &line : text) {
    if (p.wordWrap) {
      std::vector<TfrTextLine> w = frWrapLine(line, p.font, maxWidth, p.hyphenate, &res.wordCut);
      if (res.lines.empty()) res.lines = std::move(w);
      else for (TfrTextLine &l : w) res.lines.push_back(std::move(l));
    } else {
      res.lines.push_back({line, true, face.textWidth(line, p.font.height) & 0xFFFF});
    }
  }
  res.lineHeight = lineHeight;
  res.textHeight = frClampPixel(static_cast<long long>(res.lines.size()) * lineHeight +
                                2LL * (rotated ? p.gapX : p.gapY));
  return res;
}

TfrTextFit frTextFit(const TfrTextLayout &layout, const TfrTextLayoutParams &p) {
  // As frDrawTextLines places the lines at scale 1: each line's glyphs must
  // lie inside the box less its gaps, across and along the lines.
  using ll = long long;
  TfrTextFit fit;
  fit.wordCut = layout.wordCut;
  const bool rotated = (p.adjust & frRotated) != 0;
  const ll across = rotated ? ll(p.height) - 2LL * p.gapY : ll(p.width) - 2LL * p.gapX;
  const ll along = rotated ? p.width : p.height;
  const ll gap = rotated ? p.gapX : p.gapY;
  for (const TfrTextLine &l : layout.lines)
    if (!l.text.isEmpty() && l.width > across) fit.tooWide = true;
  const auto n = static_cast<ll>(layout.lines.size());
  if (n > 0) {
    ll offset = 0;
    switch (p.adjust & frVAlignMask) {
      case frVAlignCenter: offset = (along - layout.textHeight) / 2; break;
      case frVAlignBottom: offset = along - layout.textHeight; break;
      default: break;
    }
    const ll first = offset + gap;
    const ll lastBottom = first + (n - 1) * layout.lineHeight + heightPixels(p.font.height);
    fit.tooHigh = first < 0 || lastBottom > along - gap;
  }
  return fit;
}

int frWidestLine(const QStringList &text, const TfrFontSpec &font) {
  const TfrFontFace &face = font.face();
  int widest = 0;
  for (const QString &line : text) {
    qsizetype beg = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
      if (i == line.size() || isLineBreak(line[i])) {
        widest = std::max(widest, face.textWidth(QStringView(line).mid(beg, i - beg), font.height));
        // CR LF is one break
        if (i + 1 < line.size() && line[i] == QLatin1Char('\r') && line[i + 1] == QLatin1Char('\n')) ++i;
        beg = i + 1;
      }
    }
  }
  return widest;
}

TfrDrawGeometry frScaleGeometry(int left, int top, int width, int height, int frameTyp,
                                double frameWidth, double scaleX, double scaleY, int offsX,
                                int offsY) {
  TfrDrawGeometry g;
  if (scaleX == 1 && scaleY == 1) {
    // Unscaled (every object measured while a report is built): whole
    // numbers round to themselves.
    g.left = frClampPixel(static_cast<long long>(left) + offsX);
    g.top = frClampPixel(static_cast<long long>(top) + offsY);
    g.width = frClampPixel(width);
    g.height = frClampPixel(height);
  } else {
    g.left = frClampPixel(static_cast<long long>(frRound(left * scaleX)) + offsX);
    g.top = frClampPixel(static_cast<long long>(frRound(top * scaleY)) + offsY);
    g.width = frPixel(width * scaleX);
    g.height = frPixel(height * scaleY);
  }
  const double fw = frameWidth * scaleX;
  g.frameWidth = fw == fw ? std::clamp<double>(fw, -frMaxPixel, frMaxPixel) : 0;
  const double half = g.frameWidth / 2;
  g.drawRect = {g.left, g.top, g.left + g.width, g.top + g.height};
  if (frameTyp & 4) g.drawRect.left += static_cast<int>(std::floor(half));
  if (frameTyp & 8) g.drawRect.top += static_cast<int>(std::floor(half));
  if (frameTyp & 1) g.drawRect.right -= static_cast<int>(std::ceil(half));
  if (frameTyp & 2) g.drawRect.bottom -= static_cast<int>(std::ceil(half));
  g.gapX = frRound(g.frameWidth / 2) + 2;
  g.gapY = frPixel(frameWidth * scaleY / 2) / 2 + 1;
  return g;
}

QRect frTextClip(const TfrRectI &r) {
  TfrRectI c{frClampPixel(r.left + 1LL), frClampPixel(r.top), frClampPixel(r.right - 2LL),
             frClampPixel(r.bottom - 1LL)};
  return c.toQRect();
}

int frDrawTextLines(TfrCanvas &canvas, const std::vector<TfrTextLine> &lines,
                    const TfrTextDrawParams &p) {
  // Positions are worked out in 64 bits: many lines of a huge height run far
  // past any pixel range without wrapping round; each is put out held within it.
  using ll = long long;
  const TfrDrawGeometry &g = p.geo;
  const QRect clip = frTextClip(g.drawRect);
  const ll clipBottom = ll(g.drawRect.bottom) - 1;
  const ll lineHeight = ll(heightPixels(p.font.height)) + frPixel(p.lineSpacing * p.scaleY);
  const ll th = frPixel(p.textHeight * p.scaleY);
  const ll left = frClampPixel(g.left), top = frClampPixel(g.top);
  const ll width = frClampPixel(g.width), height = frClampPixel(g.height);
  const ll gapX = frClampPixel(g.gapX), gapY = frClampPixel(g.gapY);
  const int align = p.adjust & 3;
  int count = 0;
  if ((p.adjust & frRotated) == 0) {
    ll y = top + gapY;
    switch (p.adjust & frVAlignMask) {
      case frVAlignCenter: y += (height - th) / 2; break;
      case frVAlignBottom: y += height - th; break;
      default: break;
    }
    for (const TfrTextLine &l : lines) {
      if (p.stopAtClip && y + lineHeight > clipBottom) break;
      const ll w = frPixel(l.width * p.scaleX);
      TfrTextOut t;
      t.text = l.text;
      t.font = p.font;
      t.font.rotated = false;
      t.clip = clip;
      t.spreadTo = static_cast<int>(w);
      ll x = left + gapX;
      switch (align) {
        case frAlignRight: x = left + width - 1 - gapX - w; break;
        case frAlignCenter: x = left + gapX + (width - 2 * gapX - w) / 2; break;
        case frAlignJustify:
          if (!l.paraEnd && l.text.contains(QLatin1Char(' ')))
            t.justify = frClampPixel(width - 2 * gapX - w);
          break;
        default: break;
      }
      t.pos = QPointF(frClampPixel(x), frClampPixel(y));
      if (!l.text.isEmpty()) canvas.textOut(t);
      ++count;
      y += lineHeight;
    }
  } else {
    ll x = left + gapX;
    switch (p.adjust & frVAlignMask) {
      case frVAlignCenter: x += (width - th) / 2; break;
      case frVAlignBottom: x += width - th; break;
      default: break;
    }
    for (const TfrTextLine &l : lines) {
      // The rotated line keeps the drawing font's own width.
      TfrTextOut t;
      t.text = l.text;
      t.font = p.font;
      t.font.rotated = true;
      t.clip = clip;
      const ll w = frClampPixel(TfrCanvas::textWidth(t.font, l.text));
      ll y = top + height - gapY;
      switch (align) {
        case frAlignRight: y = top + gapY + w; break;
        case frAlignCenter: y = top + height - 1 - gapY - (height - 2 * gapY - w) / 2; break;
        case frAlignJustify:
          if (!l.paraEnd && l.text.contains(QLatin1Char(' ')))
            t.justify = frClampPixel(height - 2 * gapY - w);
          break;
        default: break;
      }
      t.pos = QPointF(frClampPixel(x), frClampPixel(y));
      if (!l.text.isEmpty()) canvas.textOut(t);
      ++count;
      x += lineHeight;
    }
  }
  return count;
}

}  // namespace report

#include "report/output/FR_Draw.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

// A region rectangle from edges held within the pixel range.
QRect regionRect(long long l, long long t, long long r, long long b) {
  const int x = frClampPixel(l), y = frClampPixel(t);
  return QRect(x, y, frClampPixel(r - x), frClampPixel(b - y));
}

}  // namespace

void frDrawBackground(TfrCanvas &canvas, const TfrDrawGeometry &g, quint32 fillColor) {
  if (fillColor == frTransparent) return;
  if (g.drawRect.width() <= 0 || g.drawRect.height() <= 0) return;
  canvas.fillRect(g.drawRect.toQRect(), fillColor);
}

void frDrawFrame(TfrCanvas &canvas, const TfrDrawGeometry &g, int frameTyp, quint32 color,
                 int style) {
  frameTyp &= 15;
  if (frameTyp == 0) return;
  const double w = std::max(1, frRound(g.frameWidth));
  const double l = g.left, t = g.top, r = l + g.width, b = t + g.height;
  if (style == 5) {
    // Double line: two lines of the frame width, one frame width outside and
    // one inside the edge.
    const TfrPen pen{color, w, 0};
    const double d = w;
    if (frameTyp & 1) {
      canvas.drawLine({r + d, t - d}, {r + d, b + d}, pen);
      canvas.drawLine({r - d, t + d}, {r - d, b - d}, pen);
    }
    if (frameTyp & 2) {
      canvas.drawLine({l - d, b + d}, {r + d, b + d}, pen);
      canvas.drawLine({l + d, b - d}, {r - d, b - d}, pen);
    }
    if (frameTyp & 4) {
      canvas.drawLine({l - d, t - d}, {l - d, b + d}, pen);
      canvas.drawLine({l + d, t + d}, {l + d, b - d}, pen);
    }
    if (frameTyp & 8) {
      canvas.drawLine({l - d, t - d}, {r + d, t - d}, pen);
      canvas.drawLine({l + d, t + d}, {r - d, t + d}, pen);
    }
    return;
  }
  const TfrPen pen{color, w, style};
  if (frameTyp == 15 && style == 0) {
    canvas.drawRect(QRectF(l, t, g.width, g.height), pen);
    return;
  }
  if (frameTyp & 1) canvas.drawLine({r, t}, {r, b}, pen);
  if (frameTyp & 2) canvas.drawLine({l, b}, {r, b}, pen);
  if (frameTyp & 4) canvas.drawLine({l, t}, {l, b}, pen);
  if (frameTyp & 8) canvas.drawLine({l, t}, {r, t}, pen);
}

QRegion frObjectRegion(int left, int top, int width, int height, int frameTyp, double fw,
                       int frameStyle, bool hitTest) {
  left = frClampPixel(left), top = frClampPixel(top);
  long long l = left, t = top, r = l + frClampPixel(width) + 1, b = t + frClampPixel(height) + 1;
  const bool dbl = frameStyle == 5;
  const int lt = dbl ? frPixel(fw * 1.5) : frPixel(fw / 2);
  const int rb = dbl ? frPixel((fw - 1) / 2 + fw) : frPixel((fw - 1) / 2);
  if (frameTyp & 4) l -= lt;
  if (frameTyp & 8) t -= lt;
  if (frameTyp & 1) r += rb;
  if (frameTyp & 2) b += rb;
  if (hitTest) {
    l -= 10, t -= 10, r += 10, b += 10;
  }
  return QRegion(regionRect(l, t, r, b));
}

QRegion frLineRegion(int left, int top, int width, int height, double fw, int frameStyle,
                     bool hitTest) {
  const long long half = frPixel(frameStyle == 5 ? fw * 1.5 : fw / 2);
  left = frClampPixel(left), top = frClampPixel(top);
  width = frClampPixel(width), height = frClampPixel(height);
  long long l, t, r, b;
  if (width <= height) {  // vertical
    l = left - half, r = left + half + 1, t = top, b = top + height + 1;
  } else {
    l = left, r = left + width + 1, t = top - half, b = top + half + 1;
  }
  if (hitTest) {
    l -= 10, t -= 10, r += 10, b += 10;
  }
  return QRegion(regionRect(l, t, r, b));
}

QRegion frBandTitleRegion(int left, int top, int width, int height, int bandType, bool hitTest) {
  left = frClampPixel(left), top = frClampPixel(top);
  width = frClampPixel(width), height = frClampPixel(height);
  QRegion band = hitTest ? QRegion(QRect(QPoint(left - 10, top - 10), QPoint(left + width + 9, top + height + 9)))
                         : QRegion(QRect(left, top, width + 1, height + 1));
  const bool cross = bandType >= 18 && bandType <= 20;
  QRect tab = cross ? QRect(left - 18, top, 18, 100) : QRect(left, top - 18, 100, 18);
  return band.united(tab);
}

QRect frPicturePlace(const QRect &area, QSize pic, double scaleX, double scaleY, bool stretched,
                     bool centre, bool keepRatio) {
  if (pic.isEmpty()) return {};
  int w, h;
  if (!stretched) {
    w = frPixel(pic.width() * scaleX);
    h = frPixel(pic.height() * scaleY);
  } else if (keepRatio) {
    const double k = std::min(double(area.width()) / pic.width(), double(area.height()) / pic.height());
    w = frPixel(pic.width() * k);
    h = frPixel(pic.height() * k);
  } else {
    return area;
  }
  int x = frClampPixel(area.left()), y = frClampPixel(area.top());
  if (centre) {
    x += (frClampPixel(area.width()) - w) / 2;
    y += (frClampPixel(area.height()) - h) / 2;
  }
  return QRect(x, y, w, h);
}

TfrAutoSize frAutoSize(int left, int width, int widestLine, double frameWidth, int adjust,
                       bool keepRightEdge) {
  const int nw = frClampPixel(static_cast<long long>(frClampPixel(widestLine)) + frPixel(2 * frameWidth) + 2);
  TfrAutoSize r{left, nw};
  if (keepRightEdge && (adjust & 1)) r.left = frClampPixel(static_cast<long long>(left) + width - nw);
  return r;
}

}  // namespace report

#include "designer/FR_DesignerPage.h"

#include "designer/FR_Desgn.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_TextLayout.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace designer {

using namespace report;

namespace {

// Sizes beyond this are not laid out on screen (a broken or custom paper).
constexpr int kMaxSurface = 32000;

QRect objectRect(const TfrView *v) { return QRect(v->x, v->y, v->dx, v->dy); }

bool isBand(const TfrView *v) { return v->Typ == gtBand; }

// An object's area, normalised, for hit tests.
QRect ownAreaOf(const TfrView *v) { return objectRect(v).normalized().adjusted(-3, -3, 4, 4); }

// What repaints with an object: its area and a band's title tab.
QRect areaOf(const TfrView *v) {
  const QRect own = ownAreaOf(v);
  return isBand(v) ? own.united(v->GetClipRgn(false).boundingRect()) : own;
}

// A band's title tab (empty without band titles): its drawn region less its body.
QRegion titleTabOf(TfrView *band) {
  band->ScaleX = band->ScaleY = 1;
  band->OffsX = band->OffsY = 0;
  return band->GetClipRgn(false) - QRegion(band->x, band->y, band->dx + 1, band->dy + 1);
}

// x div g * g, truncated toward zero.
int truncTo(int v, int g) { return v / g * g; }

}  // namespace

QString frBandBaseName(int type) {
  QString base = frBandName(type);
  const qsizetype blank = base.indexOf(QLatin1Char(' '));
  if (blank >= 0 && blank + 1 < base.size()) base = base.left(blank) + base.mid(blank + 1, 1).toUpper() + base.mid(blank + 2);
  return base;
}

TfrDesignerPage::TfrDesignerPage(TfrDesignerForm *form) : QWidget(nullptr), form_(form) {
  setObjectName(QStringLiteral("PageView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::NoContextMenu);
}

void TfrDesignerPage::SetPage() {
  TfrPage *page = form_->Page;
  QSize size(0, 0);
  if (page) {
    const TfrPageGeometry g = frPaperGeometry(page->pgSize, page->pgWidth, page->pgHeight, page->pgOr);
    size = QSize(std::clamp(g.pageWidth, 1, kMaxSurface), std::clamp(g.pageHeight, 1, kMaxSurface));
  }
  resize(size);
  QWidget *canvas = parentWidget();
  if (!canvas) return;
  const int visible = form_->ScrollBox1->viewport()->width();
  const int left = size.width() + 20 <= visible ? (visible - size.width()) / 2 : 10;
  move(left, 10);
  canvas->resize(std::max(visible, left + size.width() + 10), size.height() + 20);
}

QPoint TfrDesignerPage::SnapToGrid(QPoint p) const {
  if (!form_->GridAlign) return p;
  return {truncTo(p.x(), form_->GridSize), truncTo(p.y(), form_->GridSize)};
}

QSize TfrDesignerPage::GetDefaultSize() const {
  const int w = form_->GridSize == 18 ? 108 : 96;
  const int fs = frLastAttributes.FontSize;
  const int h = fs == 12 || fs == 13 ? 20 : (fs >= 14 && fs <= 16) ? 24 : 18;
  return {w, h};
}

TfrView *TfrDesignerPage::ObjectAt(QPoint p) const {
  TfrPage *page = form_->Page;
  if (!page) return nullptr;
  // What is drawn on top at the point: the title tabs lie above everything
  // (the last band's on top), then the objects in reverse drawing order. A band
  // is hit where it is drawn only, so the bands above and below keep theirs.
  const std::vector<TfrView *> order = frDrawingOrder(*page);
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (isBand(*it) && titleTabOf(*it).contains(p)) return *it;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    TfrView *v = *it;
    v->ScaleX = v->ScaleY = 1;
    v->OffsX = v->OffsY = 0;
    if (isBand(v)) {
      if (v->GetClipRgn(false).contains(p)) return v;
      continue;
    }
    if (ownAreaOf(v).contains(p) && v->GetClipRgn(true).contains(p)) return v;
  }
  return nullptr;
}

void TfrDesignerPage::ComputeMultiFrame() {
  multiFrame_ = false;
  bottomRightIndex_ = -1;
  TfrPage *page = form_->Page;
  if (!page || form_->SelNum < 2) return;
  saved_.clear();
  int minX = INT32_MAX, minY = INT32_MAX;
  for (int i = 0; i < page->Count(); ++i) {
    TfrView *v = page->Object(i);
    if (!v->Selected) continue;
    saved_.push_back(objectRect(v));
    minX = std::min(minX, v->x);
    minY = std::min(minY, v->y);
    if (bottomRightIndex_ < 0) {
      bottomRightIndex_ = i;
      continue;
    }
    const TfrView *b = page->Object(bottomRightIndex_);
    const qint64 r = qint64(v->x) + v->dx, br = qint64(b->x) + b->dx;
    if (r > br || (r == br && qint64(v->y) + v->dy > qint64(b->y) + b->dy)) bottomRightIndex_ = i;
  }
  const TfrView *b = page->Object(bottomRightIndex_);
  frameOrigin_ = QPoint(minX, minY);
  frame_ = QRect(QPoint(minX, minY), QPoint(b->x + b->dx, b->y + b->dy));
  oldFrame_ = frame_;
  savedFrame_ = frame_;
  multiFrame_ = true;
}

void TfrDesignerPage::ResetDrag() {
  down_ = moved_ = drawingFrame_ = false;
  resizeSide_ = 0;
  mode_ = mdNone;
  following_ = QRect();
  unsetCursor();
}

// ---------------------------------------------------------------- painting

void TfrDesignerPage::drawPage(QPainter &p, const QRect &clip) const {
  TfrPage *page = form_->Page;
  const int g = form_->GridSize;
  if (!form_->ShowGrid || g == 18) {
    p.fillRect(clip, Qt::white);
  } else {
    static const QPixmap pattern4 = [] {
      QImage img(8, 8, QImage::Format_RGB32);
      img.fill(Qt::white);
      for (QPoint d : {QPoint(0, 0), QPoint(4, 0), QPoint(0, 4), QPoint(4, 4)}) img.setPixel(d, qRgb(0, 0, 0));
      return QPixmap::fromImage(img);
    }();
    static const QPixmap pattern8 = [] {
      QImage img(8, 8, QImage::Format_RGB32);
      img.fill(Qt::white);
      img.setPixel(0, 0, qRgb(0, 0, 0));
      return QPixmap::fromImage(img);
    }();
    p.fillRect(clip, QBrush(g == 4 ? pattern4 : pattern8));
  }
  if (form_->ShowGrid && g == 18) {
    p.setPen(Qt::black);
    for (int y = clip.top() / 18 * 18; y <= clip.bottom(); y += 18)
      for (int x = clip.left() / 18 * 18; x <= clip.right(); x += 18) p.drawPoint(x, y);
  }
  if (!page) return;
  const int w = width(), h = height();
  const TfrMargins &m = page->pgMargins;
  if (page->UseMargins) {
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(m.Left, m.Top), QPoint(w - m.Right, h - m.Bottom)));
  }
  if (page->ColCount > 1) {
    const int cw = (w - m.Right - m.Left) / page->ColCount;
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
    for (int i = 0; i < page->ColCount && i < 100; ++i) {
      const int x = m.Left + i * (cw + page->ColGap);
      p.drawRect(QRect(QPoint(x, -1), QPoint(x + cw, h + 1)));
    }
  }
}

void TfrDesignerPage::drawHandles(QPainter &p) const {
  TfrPage *page = form_->Page;
  if (!page || form_->SelNum == 0) return;
  auto dot = [&p](int x, int y, QColor c) { p.fillRect(QRect(x - 2, y - 2, 5, 5), c); };
  for (int i = 0; i < page->Count(); ++i) {
    const TfrView *v = page->Object(i);
    if (!v->Selected) continue;
    const int l = v->x, t = v->y, r = v->x + v->dx, b = v->y + v->dy;
    const QColor c(0, 0, 0);
    dot(l, t, c);
    dot(r, t, c);
    dot(l, b, c);
    dot(r, b, i == bottomRightIndex_ ? QColor(0x80, 0x80, 0x00) : c);
    if (form_->SelNum == 1) {
      dot((l + r) / 2, t, c);
      dot((l + r) / 2, b, c);
      dot(l, (t + b) / 2, c);
      dot(r, (t + b) / 2, c);
    }
  }
}

void TfrDesignerPage::paintEvent(QPaintEvent *e) {
  QPainter p(this);
  const QRect clip = e->rect();
  drawPage(p, clip);
  TfrPage *page = form_->Page;
  if (!page) return;
  // Objects in list order: the last one lies on top.
  const bool design = frDesignMode;
  frDesignMode = true;
  TfrPainterCanvas canvas(&p);
  for (TfrView *v : frDrawingOrder(*page)) {
    if (!areaOf(v).intersects(clip)) continue;
    v->ScaleX = v->ScaleY = 1;
    v->OffsX = v->OffsY = 0;
    p.save();
    p.setClipRect(clip);
    v->Draw(canvas);
    p.restore();
  }
  // The title tabs again, above the objects of the band they stand in.
  for (TfrView *v : frDrawingOrder(*page)) {
    if (!isBand(v)) continue;
    const QRegion tab = titleTabOf(v) & clip;
    if (tab.isEmpty()) continue;
    p.save();
    p.setClipRegion(tab);
    v->Draw(canvas);
    p.restore();
  }
  frDesignMode = design;

  if (!down_ || mode_ == mdNone) drawHandles(p);
  p.setBrush(Qt::NoBrush);
  if (down_ && form_->ObjectMoving == 0 && (mode_ == mdMove || mode_ == mdResize || mode_ == mdMultiResize)) {
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
    for (const auto &v : page->Objects)
      if (v->Selected) p.drawRect(objectRect(v.get()).normalized());
  }
  if (drawingFrame_ && (mode_ == mdRubber || mode_ == mdInsert)) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(QRect(frame_.topLeft(), frame_.bottomRight()).normalized());
  }
  if (drawingFrame_ && mode_ == mdLine) {
    const QPoint a = frame_.topLeft(), b = frame_.bottomRight();
    const bool vertical = std::abs(b.y() - a.y()) >= std::abs(b.x() - a.x());
    p.setPen(QPen(Qt::black, std::max(1, frRound(frLastAttributes.LineWidth))));
    p.drawLine(a, vertical ? QPoint(a.x(), b.y()) : QPoint(b.x(), a.y()));
  }
  if (!following_.isNull() && !down_) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(following_);
  }
  if (mode_ == mdSplit && down_) {
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawLine(splitX_, 0, splitX_, height());
  }
}

// ---------------------------------------------------------------- mouse

int TfrDesignerPage::handleAt(QPoint p) {
  TfrPage *page = form_->Page;
  if (!page || form_->SelNum == 0 || form_->Tool() != toolSelect) return 0;
  auto near = [&p](int x, int y) { return p.x() >= x - 2 && p.x() <= x + 3 && p.y() >= y - 2 && p.y() <= y + 3; };
  if (form_->SelNum == 1) {
    const TfrView *v = form_->Selection().front();
    const int l = v->x, t = v->y, r = v->x + v->dx, b = v->y + v->dy;
    if (near(l, t) || near(r, b)) return 1;
    if (near(r, t) || near(l, b)) return 2;
    if (near(l, (t + b) / 2) || near(r, (t + b) / 2)) return 3;
    if (near((l + r) / 2, t) || near((l + r) / 2, b)) return 4;
    return 0;
  }
  if (multiFrame_ && near(frame_.right(), frame_.bottom())) return 5;
  // Two selected neighbours sharing an edge: the split.
  for (TfrView *a : form_->Selection()) {
    if (isBand(a) || !objectRect(a).normalized().contains(p)) continue;
    for (TfrView *b : form_->Selection()) {
      if (a == b || isBand(b)) continue;
      TfrView *l = nullptr, *r = nullptr;
      if (a->x + a->dx == b->x) l = a, r = b;
      else if (b->x + b->dx == a->x) l = b, r = a;
      if (!l || std::abs(p.x() - (l->x + l->dx)) > 2) continue;
      splitLeft_ = l;
      splitRight_ = r;
      splitEdge_ = l->x + l->dx;
      return 6;
    }
  }
  return 0;
}

QRect TfrDesignerPage::followingFrame(QPoint p) const {
  const QPoint s = SnapToGrid(p);
  if (form_->Tool() == toolBand) return QRect(s.x(), s.y(), width(), 40);
  return QRect(s, GetDefaultSize());
}

bool TfrDesignerPage::takeStep(QPoint p, int &sx, int &sy) const {
  sx = p.x() - lastX_;
  sy = p.y() - lastY_;
  if (form_->GridAlign) {
    const int g = form_->GridSize;
    if (std::abs(sx) < g && std::abs(sy) < g) return false;
    sx = truncTo(sx, g);
    sy = truncTo(sy, g);
  }
  return sx != 0 || sy != 0;
}

void TfrDesignerPage::mousePressEvent(QMouseEvent *e) {
  setFocus();
  const QPoint pt = e->position().toPoint();
  const bool right = e->button() == Qt::RightButton;
  drawingFrame_ = false;
  down_ = true;
  const int tool = form_->Tool();
  const bool insertTool = tool != toolSelect && tool != toolLine;
  if ((e->modifiers() & Qt::ControlModifier && tool == toolSelect) || insertTool) {
    QPoint s = pt;
    if (insertTool) {
      s = SnapToGrid(pt);
      oldFrame_ = followingFrame(pt);
      following_ = QRect();
    }
    frame_ = QRect(s, s);
    form_->ClearSelection();
    bottomRightIndex_ = -1;
    multiFrame_ = false;
    mode_ = insertTool ? mdInsert : mdRubber;
    drawingFrame_ = !right;
    update();
    form_->UpdateStatus();
    return;
  }
  if (tool == toolLine) {
    QPoint s = pt;
    if (form_->GridAlign) {
      // The nearest object corner closer than a grid step, else the nearest grid point.
      const int g = form_->GridSize;
      double best = g;
      bool found = false;
      const int count = form_->Page ? form_->Page->Count() : 0;
      for (int i = 0; i < count; ++i) {
        const TfrView *v = form_->Page->Object(i);
        for (QPoint c : {QPoint(v->x, v->y), QPoint(v->x + v->dx, v->y), QPoint(v->x, v->y + v->dy),
                         QPoint(v->x + v->dx, v->y + v->dy)}) {
          const double d = std::hypot(double(c.x() - pt.x()), double(c.y() - pt.y()));
          if (d < best) {
            best = d;
            s = c;
            found = true;
          }
        }
      }
      if (!found) s = QPoint(frRound(double(pt.x()) / g) * g, frRound(double(pt.y()) / g) * g);
    }
    frame_ = QRect(s, s);
    form_->ClearSelection();
    multiFrame_ = false;
    lastX_ = s.x();
    lastY_ = s.y();
    mode_ = mdLine;
    drawingFrame_ = !right;
    update();
    return;
  }

  // The select tool.
  const QRect before = selectionArea();
  hoverHandle_ = handleAt(pt);
  bool clickedSelected = false;
  if (hoverHandle_ != 0 && !right) {
    mode_ = hoverHandle_ == 5 ? mdMultiResize : hoverHandle_ == 6 ? mdSplit : mdResize;
    if (mode_ == mdSplit) splitX_ = splitEdge_;
    resizeSide_ = 0;
  } else {
    TfrView *hit = ObjectAt(pt);
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    if (hit && shift) {
      hit->Selected = !hit->Selected;
      form_->SelNum += hit->Selected ? 1 : -1;
    } else if (hit && !hit->Selected) {
      form_->ClearSelection();
      form_->Select(hit);
    } else if (hit) {
      clickedSelected = true;
    }
    if (hit) {
      if (form_->SelNum == 1 && hit->Selected) form_->AnchorObject = hit;
      else if (form_->SelNum == 0 || !hit->Selected) form_->AnchorObject = nullptr;
      mode_ = form_->SelNum > 0 ? mdMove : mdNone;
    } else {
      form_->ClearSelection();
      mode_ = right ? mdNone : mdRubber;
      if (!right) {
        frame_ = QRect(pt, pt);
        drawingFrame_ = true;
      }
    }
    ComputeMultiFrame();
    if (!clickedSelected) form_->SelectionChanged();
  }
  lastX_ = pt.x();
  lastY_ = pt.y();
  moved_ = false;
  firstMove_ = firstDragMove_ = true;
  if (mode_ == mdMultiResize) savedFrame_ = frame_;
  if (right) {
    down_ = false;
    mode_ = mdNone;
    update(before.united(selectionArea()));
    form_->Popup1Popup();
    form_->Popup1->popup(e->globalPosition().toPoint());
    return;
  }
  // The handles go while a drag runs: the old and new selections' places.
  update(drawingFrame_ ? rect() : before.united(selectionArea()));
}

void TfrDesignerPage::mouseMoveEvent(QMouseEvent *e) {
  const QPoint pt = e->position().toPoint();
  moved_ = true;
  if (!down_) {
    const int tool = form_->Tool();
    if (tool != toolSelect && tool != toolLine) {
      const QRect old = following_;
      following_ = followingFrame(pt);
      update(old.adjusted(-2, -2, 2, 2));
      update(following_.adjusted(-2, -2, 2, 2));
      form_->UpdateStatus();
      return;
    }
    if (!following_.isNull()) {
      following_ = QRect();
      form_->UpdateStatus();
    }
    static const Qt::CursorShape shapes[] = {Qt::ArrowCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor,
                                             Qt::SizeHorCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor,
                                             Qt::SplitHCursor};
    hoverHandle_ = handleAt(pt);
    setCursor(tool == toolLine ? Qt::CrossCursor : shapes[hoverHandle_]);
    return;
  }
  if (drawingFrame_ && (mode_ == mdRubber || mode_ == mdInsert)) {
    frame_.setBottomRight(mode_ == mdInsert ? SnapToGrid(pt) : pt);
    update();
    if (mode_ == mdInsert) form_->UpdateStatus();
    return;
  }
  if (drawingFrame_ && mode_ == mdLine) {
    frame_.setBottomRight(pt);
    update();
    return;
  }
  int sx = 0, sy = 0;
  if (!takeStep(pt, sx, sy)) return;
  TfrPage *page = form_->Page;
  if (!page) return;
  // Only the old and the new places of the changed objects are repainted.
  const QRect before = selectionArea();
  // The undo step of a drag is taken at its first real movement.
  if (firstMove_ && (mode_ == mdMove || mode_ == mdResize || mode_ == mdMultiResize || mode_ == mdSplit)) {
    firstMove_ = false;
    form_->AddUndoAction(acEdit);
  }
  if (mode_ == mdMove) {
    if (firstDragMove_ && form_->SelNum == 1 && !(e->modifiers() & Qt::AltModifier)) {
      // A lone band carries the objects that lie wholly inside it.
      TfrView *band = form_->Selection().front();
      if (isBand(band)) {
        const QRect b = objectRect(band).normalized();
        bool added = false;
        for (const auto &v : page->Objects)
          if (!isBand(v.get()) && !v->Selected && b.contains(objectRect(v.get()).normalized())) {
            form_->Select(v.get());
            added = true;
          }
        if (added) {
          // The carried objects go back with the band on Undo.
          form_->undo_.TakeLast();
          form_->AddUndoAction(acEdit);
        }
      }
    }
    firstDragMove_ = false;
    for (TfrView *v : form_->Selection()) {
      v->x += sx;
      v->y += sy;
    }
    if (multiFrame_) frame_.translate(sx, sy);
  } else if (mode_ == mdResize && form_->SelNum == 1) {
    TfrView *v = form_->Selection().front();
    if (resizeSide_ == 0) {
      const auto on = [&](int x, int y) { return std::abs(lastX_ - x) <= 3 && std::abs(lastY_ - y) <= 3; };
      const int l = v->x, t = v->y, r = v->x + v->dx, b = v->y + v->dy;
      switch (hoverHandle_) {
        case 1: resizeSide_ = on(l, t) ? 1 : 2; break;
        case 2: resizeSide_ = on(r, t) ? 3 : 4; break;
        case 3: resizeSide_ = on(l, (t + b) / 2) ? 5 : 6; break;
        default: resizeSide_ = on((l + r) / 2, t) ? 7 : 8; break;
      }
    }
    switch (resizeSide_) {
      case 1: v->x += sx, v->y += sy, v->dx -= sx, v->dy -= sy; break;
      case 2: v->dx += sx, v->dy += sy; break;
      case 3: v->y += sy, v->dx += sx, v->dy -= sy; break;
      case 4: v->x += sx, v->dx -= sx, v->dy += sy; break;
      case 5: v->x += sx, v->dx -= sx; break;
      case 6: v->dx += sx; break;
      case 7: v->y += sy, v->dy -= sy; break;
      default: v->dy += sy; break;
    }
  } else if (mode_ == mdMultiResize) {
    frame_.setBottomRight(frame_.bottomRight() + QPoint(sx, sy));
    // An axis of no extent keeps its scale.
    const int ow = savedFrame_.right() - savedFrame_.left(), oh = savedFrame_.bottom() - savedFrame_.top();
    const double kx = ow != 0 ? double(frame_.right() - frame_.left()) / ow : 1.0;
    const double ky = oh != 0 ? double(frame_.bottom() - frame_.top()) / oh : 1.0;
    size_t k = 0;
    for (TfrView *v : form_->Selection()) {
      if (k >= saved_.size()) break;
      const QRect &s = saved_[k++];
      const double a = (s.x() - frameOrigin_.x()) * kx, b = s.width() * kx;
      const int ra = frRound(a), rab = frRound(a + b);
      v->x = frameOrigin_.x() + ra;
      v->dx = rab - ra;
      const double c = (s.y() - frameOrigin_.y()) * ky, d = s.height() * ky;
      const int rc = frRound(c), rcd = frRound(c + d);
      v->y = frameOrigin_.y() + rc;
      v->dy = rcd - rc;
    }
  } else if (mode_ == mdSplit) {
    splitX_ += sx;
    lastX_ += sx;
    update();
    return;
  }
  lastX_ += sx;
  lastY_ += sy;
  update(before.united(selectionArea()));
  form_->UpdateStatus();
}

QString TfrDesignerPage::ResizeRatio() const {
  if (!down_ || mode_ != mdMultiResize) return {};
  // No ratio on an axis that had no extent.
  const int ow = savedFrame_.right() - savedFrame_.left(), oh = savedFrame_.bottom() - savedFrame_.top();
  if (ow == 0 || oh == 0) return {};
  const int rx = frRound(double(frame_.right() - frame_.left()) * 100 / ow);
  const int ry = frRound(double(frame_.bottom() - frame_.top()) * 100 / oh);
  return QStringLiteral("% ") + QString::number(rx) + QLatin1Char(',') + QString::number(ry);
}

bool TfrDesignerPage::NewObjectFrame(QRect &r) const {
  if (down_ && drawingFrame_ && mode_ == mdInsert) {
    const int l = std::min(frame_.left(), frame_.right()), t = std::min(frame_.top(), frame_.bottom());
    r = QRect(l, t, std::abs(frame_.right() - frame_.left()), std::abs(frame_.bottom() - frame_.top()));
    return true;
  }
  if (!down_ && !following_.isNull()) {
    r = following_;
    return true;
  }
  return false;
}

QRect TfrDesignerPage::selectionArea() const {
  QRect r;
  if (form_->Page)
    for (const auto &v : form_->Page->Objects)
      if (v->Selected) r = r.united(areaOf(v.get()));
  if (multiFrame_) r = r.united(Frame().normalized().adjusted(-3, -3, 4, 4));
  return r;
}

void TfrDesignerPage::mouseReleaseEvent(QMouseEvent *e) {
  if (e->button() != Qt::LeftButton || !down_) {
    down_ = false;
    return;
  }
  down_ = false;
  const bool local = mode_ == mdMove || mode_ == mdResize || mode_ == mdMultiResize || mode_ == mdNone;
  const QRect before = selectionArea();
  switch (mode_) {
    case mdInsert: insertObject(e->modifiers()); break;
    case mdLine: insertLine(); break;
    case mdRubber: endRubberBand(); break;
    case mdSplit:
      if (moved_ && splitLeft_ && splitRight_) {
        const int d = splitX_ - splitEdge_;
        if (splitLeft_->dx + d > 0 && splitRight_->dx - d > 0) {
          splitLeft_->dx += d;
          splitRight_->x += d;
          splitRight_->dx -= d;
        }
      }
      break;
    case mdMove:
    case mdResize:
    case mdMultiResize: endMoveOrResize(); break;
    default: break;
  }
  drawingFrame_ = false;
  mode_ = mdNone;
  moved_ = false;
  resizeSide_ = 0;
  update(local ? before.united(selectionArea()) : rect());
}

void TfrDesignerPage::endMoveOrResize() {
  if (!moved_) return;
  // Negative sizes become positive, the object keeping its place.
  for (TfrView *v : form_->Selection()) {
    if (v->dx < 0) v->x += v->dx, v->dx = -v->dx;
    if (v->dy < 0) v->y += v->dy, v->dy = -v->dy;
  }
  ComputeMultiFrame();
  form_->SelectionChanged();
}

void TfrDesignerPage::endRubberBand() {
  TfrPage *page = form_->Page;
  drawingFrame_ = false;
  if (!page) return;
  const QRect r = QRect(frame_.topLeft(), frame_.bottomRight()).normalized();
  for (const auto &v : page->Objects) {
    if (isBand(v.get())) continue;
    const QRect o = objectRect(v.get()).normalized();
    // Touching edges count.
    if (o.left() <= r.right() + 1 && o.left() + o.width() >= r.left() && o.top() <= r.bottom() + 1 &&
        o.top() + o.height() >= r.top())
      form_->Select(v.get());
  }
  ComputeMultiFrame();
  form_->SelectionChanged();
}

void TfrDesignerPage::insertObject(Qt::KeyboardModifiers) {
  TfrPage *page = form_->Page;
  TfrReport *report = form_->Report();
  drawingFrame_ = false;
  if (!page || !report) return;
  QRect f = QRect(frame_.topLeft(), frame_.bottomRight());
  if (f.topLeft() == f.bottomRight()) f = oldFrame_;
  const int l = std::min(f.left(), f.right()), t = std::min(f.top(), f.bottom());
  int w = std::abs(f.right() - f.left()), h = std::abs(f.bottom() - f.top());
  if (f == oldFrame_) w = oldFrame_.width(), h = oldFrame_.height();
  const int tool = form_->Tool();
  std::unique_ptr<TfrView> v;
  if (tool == toolBand) {
    const int type = form_->ChooseBandType ? form_->ChooseBandType() : -1;
    if (type < 0 || type >= btNone) return;
    auto band = std::make_unique<TfrBandView>();
    band->SetBandType(type);
    band->BaseName = frBandBaseName(type);
    v = std::move(band);
  } else if (tool == toolSubReport) {
    report->Pages.Add();
    auto sub = std::make_unique<TfrSubReportView>();
    sub->SubPage = report->Pages.Count() - 1;
    v = std::move(sub);
  } else {
    try {
      v = CreateReportObject(tool >= 10 ? gtAddIn : tool, QString());
    } catch (const std::exception &) {
      v.reset();
    }
  }
  if (!v) return;
  v->Name = CreateUniqueName(*v, report->Pages);
  if (w == 0 || h == 0) {
    const QSize d = tool == toolText ? GetDefaultSize() : QSize(40, 40);
    w = d.width();
    h = d.height();
  }
  form_->ClearSelection();
  v->x = l;
  v->y = t;
  v->dx = w;
  v->dy = h;
  if (tool == toolBand) {
    const int type = static_cast<TfrBandView *>(v.get())->BandType();
    if (type >= btCrossHeader && type <= btCrossFooter && v->dx > width() - 10) v->dx = 40;
  }
  v->FrameWidth = frLastAttributes.FrameWidth;
  v->FrameColor = frLastAttributes.FrameColor;
  v->FillColor = frLastAttributes.FillColor;
  if (tool != toolBand) v->FrameTyp = static_cast<quint16>(frLastAttributes.FrameLines);
  if (auto *m = dynamic_cast<TfrMemoView *>(v.get())) {
    m->Font.Name = frLastAttributes.FontName;
    m->Font.Size = frLastAttributes.FontSize;
    m->Font.Color = frLastAttributes.FontColor;
    m->Font.Style = static_cast<TFontStyles>(frLastAttributes.FontStyle);
    m->Adjust = frLastAttributes.Alignment;
  }
  const std::vector<int> order = frObjectOrder(*page);
  TfrView *added = page->Add(std::move(v));
  form_->Select(added);
  if (tool == toolBand) form_->ArrangeBands();
  form_->SelectionChanged();
  form_->AddUndoAction(acInsert, form_->Selection(), order);
  if (form_->EditAfterInsert && form_->ShowEditor) form_->ShowEditor(*added);
  if (!form_->stickyInsert_) form_->SetTool(toolSelect);
}

void TfrDesignerPage::insertLine() {
  TfrPage *page = form_->Page;
  TfrReport *report = form_->Report();
  drawingFrame_ = false;
  if (!page || !report) return;
  const QPoint a = frame_.topLeft(), b = frame_.bottomRight();
  if (a == b) return;
  auto v = std::make_unique<TfrLineView>();
  v->Name = CreateUniqueName(*v, report->Pages);
  // The rubber line is vertical or horizontal: the larger distance wins.
  int dx = b.x() - a.x(), dy = b.y() - a.y();
  if (std::abs(dy) >= std::abs(dx)) dx = 0;
  else dy = 0;
  v->x = dx < 0 ? a.x() + dx : a.x();
  v->y = dy < 0 ? a.y() + dy : a.y();
  v->dx = std::abs(dx);
  v->dy = std::abs(dy);
  form_->ClearSelection();
  v->FrameWidth = frLastAttributes.LineWidth;
  v->FrameColor = frLastAttributes.FrameColor;
  form_->Select(page->Add(std::move(v)));
  form_->SelectionChanged();
  form_->AddUndoAction(acInsert);
}

// The double click comes after the second press, which has already been taken
// as a click; the release after it ends nothing, and the next press is the
// user's next click.
void TfrDesignerPage::mouseDoubleClickEvent(QMouseEvent *e) {
  down_ = drawingFrame_ = false;
  mode_ = mdNone;
  if (e->button() != Qt::LeftButton) return;
  if (form_->SelNum == 0 && form_->Page) form_->PageOptionsClick();
  else if (form_->SelNum == 1 && form_->ShowEditor) form_->ShowEditor(*form_->Selection().front());
}

void TfrDesignerPage::leaveEvent(QEvent *) {
  if (!down_ && !following_.isNull()) {
    following_ = QRect();
    update();
    form_->UpdateStatus();
  }
}

void TfrDesignerPage::keyPressEvent(QKeyEvent *e) {
  if (!form_->FormKeyDown(e->key(), e->modifiers())) e->ignore();
}

}  // namespace designer

#include "report/ui/FR_Ctrls.h"

#include "report/ui/FR_Const.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolBar>

namespace report {

namespace {

QColor buttonFace(const QWidget *w) { return w->palette().color(QPalette::Button); }

// The 8 x 8 pattern of exclusive buttons: button face with white pixels where
// the column and row have the same parity.
QBrush exclusiveBrush(const QWidget *w) {
  QImage p(8, 8, QImage::Format_RGB32);
  const QRgb face = buttonFace(w).rgb();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) p.setPixel(x, y, (x % 2) == (y % 2) ? qRgb(255, 255, 255) : face);
  return QBrush(p);
}

// Alignment a toolbar control takes under a parent.
TfrAlign alignUnder(const QWidget *parent) {
  const TfrAlign a = frToolbarAlign(parent);
  return a == alLeft || a == alRight ? alTop : alLeft;
}

}  // namespace

TfrAlign frToolbarAlign(const QWidget *toolbar) {
  if (!toolbar) return alNone;
  if (auto *tb = qobject_cast<const QToolBar *>(toolbar)) return tb->orientation() == Qt::Vertical ? alLeft : alTop;
  const QVariant v = toolbar->property("Align");
  return v.isValid() ? static_cast<TfrAlign>(v.toInt()) : alNone;
}

QRgb frInactiveGray(QRgb c) {
  const int g = (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) >> 8;
  return qRgba(g, g, g, qAlpha(c));
}

// ---------------------------------------------------------------- TfrSpeedButton

TfrSpeedButton::TfrSpeedButton(QWidget *parent) : QAbstractButton(parent) {
  resize(22, 22);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
  connect(this, &QAbstractButton::clicked, this, &TfrSpeedButton::onClicked);
}

QSize TfrSpeedButton::sizeHint() const {
  const int gw = glyph_.isNull() ? 0 : glyph_.width() / numGlyphs_;
  const int gh = glyph_.isNull() ? 0 : glyph_.height();
  if (text().isEmpty()) return {std::max(22, gw + 6), std::max(22, gh + 6)};
  const QFontMetrics fm(font());
  const int tw = fm.horizontalAdvance(QString(text()).remove(QLatin1Char('&')));
  if (layout_ == blGlyphTop || layout_ == blGlyphBottom)
    return {std::max(22, std::max(gw, tw) + 8), gh + fm.height() + spacing_ + 6};
  return {gw + (gw ? spacing_ : 0) + tw + 10, std::max(22, std::max(gh, fm.height()) + 6)};
}

void TfrSpeedButton::invalidate() {
  ++repaints_;
  update();
}

void TfrSpeedButton::SetGlyph(const QImage &glyph) {
  glyph_ = glyph.convertToFormat(QImage::Format_ARGB32);
  if (!glyph_.isNull() && glyph_.width() % glyph_.height() == 0) {
    const int n = glyph_.width() / glyph_.height();
    numGlyphs_ = std::clamp(n, 1, 4);
  }
  for (auto &p : images_) p = QPixmap();
  invalidate();
}

void TfrSpeedButton::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 4);
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  for (auto &p : images_) p = QPixmap();
  invalidate();
}

void TfrSpeedButton::SetGrayedInactive(bool on) {
  if (on == grayedInactive_) return;
  grayedInactive_ = on;
  invalidate();
}

void TfrSpeedButton::SetFlat(bool on) {
  if (on == flat_) return;
  flat_ = on;
  if (!flat_) mouseIn_ = false;
  invalidate();
}

void TfrSpeedButton::SetDown(bool down) {
  if (groupIndex_ == 0) down = false;  // only grouped buttons stay down
  if (down == down_) return;
  if (!down && groupIndex_ != 0 && !allowAllUp_) {
    // The last down button of a group without AllowAllUp stays down.
    return;
  }
  down_ = down;
  if (down_) updateExclusive();
  invalidate();
}

void TfrSpeedButton::SetGroupIndex(int index) {
  if (index == groupIndex_) return;
  groupIndex_ = index;
  if (groupIndex_ == 0) down_ = false;
  updateExclusive();
  invalidate();
}

void TfrSpeedButton::SetAllowAllUp(bool on) {
  if (on == allowAllUp_) return;
  allowAllUp_ = on;
  updateExclusive();
}

void TfrSpeedButton::SetLayout(TButtonLayout layout) {
  if (layout == layout_) return;
  layout_ = layout;
  invalidate();
}

void TfrSpeedButton::SetSpacing(int spacing) {
  if (spacing == spacing_) return;
  spacing_ = spacing;
  invalidate();
}

void TfrSpeedButton::SetMargin(int margin) {
  if (margin == margin_ || margin < -1) return;
  margin_ = margin;
  invalidate();
}

// The button that changed tells the others of its group: one down at a time,
// and all share its AllowAllUp.
void TfrSpeedButton::updateExclusive() {
  if (groupIndex_ == 0 || !parentWidget()) return;
  for (auto *b : parentWidget()->findChildren<TfrSpeedButton *>(Qt::FindDirectChildrenOnly)) {
    if (b == this || b->groupIndex_ != groupIndex_) continue;
    b->allowAllUp_ = allowAllUp_;
    if (down_ && b->down_) {
      b->down_ = false;
      b->invalidate();
    }
  }
}

void TfrSpeedButton::onClicked() {
  if (groupIndex_ == 0) return;
  if (down_) {
    if (allowAllUp_) SetDown(false);
  } else {
    SetDown(true);
  }
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent *e) {
  if (down_) emit doubleClicked();
  QAbstractButton::mouseDoubleClickEvent(e);
}

void TfrSpeedButton::enterEvent(QEnterEvent *e) {
  QAbstractButton::enterEvent(e);
  if (!flat_ || !isEnabled() || mouseIn_) return;
  mouseIn_ = true;
  emit mouseEnter();
  invalidate();
}

void TfrSpeedButton::leaveEvent(QEvent *e) {
  QAbstractButton::leaveEvent(e);
  if (!flat_ || !mouseIn_) return;
  mouseIn_ = false;
  emit mouseLeave();
  invalidate();
}

void TfrSpeedButton::changeEvent(QEvent *e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) mouseIn_ = false;
    invalidate();
  }
  QAbstractButton::changeEvent(e);
}

bool TfrSpeedButton::event(QEvent *e) {
  // An accelerator of the caption clicks the enabled button.
  if (e->type() == QEvent::Shortcut && !isEnabled()) return true;
  return QAbstractButton::event(e);
}

TfrSpeedButton::TButtonState TfrSpeedButton::drawState() const {
  if (!isEnabled()) return bsDisabled;
  if (isDown()) return bsDown;
  if (down_) return groupIndex_ != 0 ? bsExclusive : bsDown;
  return bsUp;
}

TfrSpeedButton::TButtonState TfrSpeedButton::GlyphState() const {
  const TButtonState s = drawState();
  if (grayedInactive_ && flat_ && isEnabled() && !mouseIn_) return bsInactive;
  return s;
}

QImage TfrSpeedButton::StateImage(TButtonState state) const {
  if (glyph_.isNull()) return {};
  QPixmap &cached = images_[state];
  if (!cached.isNull()) return cached.toImage();
  const int w = glyph_.width() / numGlyphs_, h = glyph_.height();
  // Images present in the glyph: 0 up, 1 disabled, 2 down, 3 exclusive.
  auto part = [&](int i) { return glyph_.copy(std::min(i, numGlyphs_ - 1) * w, 0, w, h); };
  QImage img;
  const QRgb face = buttonFace(this).rgb() | 0xFF000000;
  switch (state) {
    case bsUp: img = part(0); break;
    case bsDown: img = part(numGlyphs_ > 2 ? 2 : 0); break;
    case bsExclusive: img = part(numGlyphs_ > 3 ? 3 : (numGlyphs_ > 2 ? 2 : 0)); break;
    case bsInactive:
      img = part(0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const QRgb c = img.pixel(x, y) | 0xFF000000;
          if (c != frGlyphTransparent && c != face) img.setPixel(x, y, frInactiveGray(c));
        }
      break;
    case bsDisabled:
      if (numGlyphs_ > 1) {
        img = part(1);
      } else {
        // Embossed: white one pixel down-right under a shadow-coloured mask of
        // the glyph's dark pixels.
        const QImage up = part(0);
        img = QImage(w, h, QImage::Format_ARGB32);
        img.fill(frGlyphTransparent);
        const QRgb shadow = palette().color(QPalette::Dark).rgb();
        auto dark = [&](int x, int y) {
          const QRgb c = up.pixel(x, y) | 0xFF000000;
          return c != frGlyphTransparent && qGray(c) < 192;
        };
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (dark(x, y) && x + 1 < w && y + 1 < h) img.setPixel(x + 1, y + 1, qRgb(255, 255, 255));
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (dark(x, y)) img.setPixel(x, y, shadow);
      }
      break;
  }
  // The transparent colour becomes transparent.
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) | 0xFF000000) == frGlyphTransparent) img.setPixel(x, y, 0);
  cached = QPixmap::fromImage(img);
  return img;
}

void TfrSpeedButton::paintEvent(QPaintEvent *) {
  QPainter p(this);
  const QRect r = rect();
  const TButtonState state = drawState();
  const bool pushed = state == bsDown || state == bsExclusive;
  if (flat_) {
    p.fillRect(r, buttonFace(this));
  } else {
    QStyleOptionButton o;
    o.initFrom(this);
    o.rect = r;
    o.state |= pushed ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &o, &p, this);
  }
  if (state == bsExclusive || (flat_ && isDown() && !mouseIn_)) p.fillRect(r.adjusted(1, 1, -1, -1), exclusiveBrush(this));

  // Glyph and caption placed by layout, margin and spacing.
  const QImage g = StateImage(GlyphState());
  const QString caption = text();
  const QFontMetrics fm(font());
  const QSize ts = caption.isEmpty() ? QSize() : QSize(fm.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))), fm.height());
  const QSize gs = g.size();
  const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  const int space = (gs.isEmpty() || ts.isEmpty()) ? 0 : spacing_;
  const int total = horizontal ? gs.width() + space + ts.width() : gs.height() + space + ts.height();
  const int extent = horizontal ? r.width() : r.height();
  int start = margin_ < 0 ? (extent - total) / 2 : margin_;
  if (layout_ == blGlyphRight || layout_ == blGlyphBottom) start = margin_ < 0 ? start : extent - margin_ - total;
  QPoint gp, tp;
  if (horizontal) {
    const bool glyphFirst = layout_ == blGlyphLeft;
    gp = QPoint(glyphFirst ? start : start + ts.width() + space, (r.height() - gs.height()) / 2);
    tp = QPoint(glyphFirst ? start + gs.width() + space : start, (r.height() - ts.height()) / 2);
  } else {
    const bool glyphFirst = layout_ == blGlyphTop;
    gp = QPoint((r.width() - gs.width()) / 2, glyphFirst ? start : start + ts.height() + space);
    tp = QPoint((r.width() - ts.width()) / 2, glyphFirst ? start + gs.height() + space : start);
  }
  const QPoint shift = pushed ? QPoint(1, 1) : QPoint();
  if (!g.isNull()) p.drawImage(gp + shift, g);
  if (!caption.isEmpty()) {
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(QRect(tp + shift, ts), Qt::TextShowMnemonic | Qt::AlignCenter, caption);
  }

  // The 1-pixel frame of a flat button under the mouse or exclusive.
  if (flat_ && ((isEnabled() && mouseIn_) || state == bsExclusive)) {
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    const QColor tl = pushed ? dark : light, br = pushed ? light : dark;
    p.setPen(tl);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(br);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
}

// ---------------------------------------------------------------- toolbar controls

TfrTBButton::TfrTBButton(QWidget *parent) : TfrSpeedButton(parent) {
  SetFlat(true);
  if (parent) align_ = alignUnder(parent);
}

bool TfrTBButton::event(QEvent *e) {
  if (e->type() == QEvent::ParentChange) align_ = alignUnder(parentWidget());
  return TfrSpeedButton::event(e);
}

TfrTBSeparator::TfrTBSeparator(QWidget *parent) : QWidget(parent) {
  resize(8, 8);
  if (parent) align_ = alignUnder(parent);
}

void TfrTBSeparator::SetAlign(TfrAlign a) {
  if (a == align_) return;
  align_ = a;
  update();
}

void TfrTBSeparator::SetDrawBevel(bool on) {
  if (on == drawBevel_) return;
  drawBevel_ = on;
  update();
}

bool TfrTBSeparator::event(QEvent *e) {
  if (e->type() == QEvent::ParentChange) SetAlign(alignUnder(parentWidget()));
  return QWidget::event(e);
}

void TfrTBSeparator::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), buttonFace(this));
  if (!drawBevel_) return;
  const QColor shadow = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
  const int w = width(), h = height();
  if (align_ == alTop || align_ == alBottom) {
    p.setPen(shadow);
    p.drawLine(2, h / 2 - 1, w - 2, h / 2 - 1);
    p.setPen(light);
    p.drawLine(2, h / 2, w - 2, h / 2);
  } else {
    p.setPen(shadow);
    p.drawLine(w / 2 - 1, 2, w / 2 - 1, h - 2);
    p.setPen(light);
    p.drawLine(w / 2, 2, w / 2, h - 2);
  }
}

TfrTBPanel::TfrTBPanel(QWidget *parent) : QFrame(parent) {
  resize(8, 8);
  setAutoFillBackground(true);
  if (parent) align_ = alignUnder(parent);
}

bool TfrTBPanel::event(QEvent *e) {
  if (e->type() == QEvent::ParentChange) align_ = alignUnder(parentWidget());
  return QFrame::event(e);
}

}  // namespace report

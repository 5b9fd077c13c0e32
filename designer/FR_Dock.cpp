#include "designer/FR_Dock.h"

#include "platform/settings_store.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace designer {

using report::TfrAlign;

namespace {

constexpr int kGrip = 11;
constexpr int kFloatAfter = 20;  // pixels before the row's start that make a toolbar float

QString toolBarKey(const QWidget *w) { return QStringLiteral("ToolBar\\") + w->objectName(); }

// A control's length along the toolbar: its fixed size, else its preferred one.
QSize controlSize(const QWidget *w) {
  const QSize hint = w->sizeHint().expandedTo(QSize(1, 1));
  return {w->minimumWidth() == w->maximumWidth() ? w->minimumWidth() : hint.width(),
          w->minimumHeight() == w->maximumHeight() ? w->minimumHeight() : hint.height()};
}

int along(const QWidget *w, bool horizontal) { return horizontal ? w->x() : w->y(); }
int across(const QWidget *w, bool horizontal) { return horizontal ? w->y() : w->x(); }
int length(const QWidget *w, bool horizontal) { return horizontal ? w->width() : w->height(); }
int thickOf(const QWidget *w, bool horizontal) { return horizontal ? w->height() : w->width(); }
void place(QWidget *w, bool horizontal, int a, int c) { horizontal ? w->move(a, c) : w->move(c, a); }

}  // namespace

std::vector<TfrToolBar *> &FloatingToolBars() {
  static std::vector<TfrToolBar *> list;
  return list;
}

int frReadInt(const QString &key, const QString &name, int def) {
  bool ok = false;
  const int v = platform::readRegistry(key, name, QString::number(def)).toString().trimmed().toInt(&ok);
  return ok ? v : def;
}

bool frReadBool(const QString &key, const QString &name, bool def) {
  const QString v = platform::readRegistry(key, name, def ? "1" : "0").toString();
  return v == QLatin1String("1") ? true : v == QLatin1String("0") ? false : def;
}

void frWriteBool(const QString &key, const QString &name, bool value) {
  platform::writeRegistry(key, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

// ---------------------------------------------------------------- dock

TfrDock::TfrDock(QWidget *parent, TfrAlign side) : QWidget(parent), side_(side) {
  setAutoFillBackground(true);
  setThickness(1);
}

std::vector<TfrToolBar *> TfrDock::ToolBars() const {
  std::vector<TfrToolBar *> r;
  for (QObject *o : children())
    if (auto *t = qobject_cast<TfrToolBar *>(o)) r.push_back(t);
  return r;
}

bool TfrDock::Accepts(const TfrToolBar *t) const {
  return !(t->Orientation == toVertOnly && Horizontal()) && !(t->Orientation == toHorzOnly && !Horizontal());
}

void TfrDock::setThickness(int t) {
  if (Horizontal()) setFixedHeight(t);
  else setFixedWidth(t);
}

void TfrDock::Arrange() {
  if (updating_ > 0) return;
  const bool h = Horizontal(), outer = FromOuterEdge();
  const std::vector<TfrToolBar *> all = ToolBars();
  if (all.empty()) {
    setThickness(1);
    return;
  }
  // Places across the dock, measured from its outer edge for bottom and right docks.
  const int before = Thickness();
  std::vector<int> c(all.size());
  for (size_t i = 0; i < all.size(); ++i)
    c[i] = outer ? before - (across(all[i], h) + thickOf(all[i], h)) : across(all[i], h);
  auto visible = [&](size_t i) { return !all[i]->isHidden(); };
  // Toolbars before the first row move onto it.
  int low = 0;
  for (size_t i = 0; i < all.size(); ++i)
    if (visible(i)) low = std::min(low, c[i]);
  for (int &v : c) v -= low;
  int rows = before / RowSize;
  for (int r = 0; r < rows;) {
    const int pos = r * RowSize;
    bool used = false;
    for (size_t i = 0; i < all.size(); ++i)
      used = used || (visible(i) && c[i] <= pos && c[i] + thickOf(all[i], h) > pos);
    if (used) {
      ++r;
      continue;
    }
    for (size_t i = 0; i < all.size(); ++i)
      if (visible(i) && c[i] > pos) c[i] -= RowSize;
    --rows;
  }
  int thick = rows * RowSize + 1;
  bool any = false;
  for (size_t i = 0; i < all.size(); ++i)
    if (visible(i)) {
      thick = std::max(thick, c[i] + thickOf(all[i], h) + 1);
      any = true;
    }
  if (!any) thick = 1;
  setThickness(thick);
  for (size_t i = 0; i < all.size(); ++i)
    place(all[i], h, along(all[i], h), outer ? thick - c[i] - thickOf(all[i], h) : c[i]);
}

void TfrDock::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  // Places read for an outer-edge dock belong to the thickness they were kept
  // with: at least as thick as the farthest of them reaches.
  if (FromOuterEdge()) {
    const bool h = Horizontal();
    int reach = Thickness();
    for (TfrToolBar *t : ToolBars())
      if (!t->isHidden()) reach = std::max(reach, across(t, h) + thickOf(t, h));
    setThickness(reach);
  }
  Arrange();
}

void TfrDock::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
}

// ---------------------------------------------------------------- grip

TfrDragBox::TfrDragBox(TfrToolBar *bar) : QWidget(bar), bar_(bar) {
  setObjectName(QStringLiteral("DragBox"));
  setFixedSize(kGrip, kGrip);
  setCursor(Qt::SizeAllCursor);
}

void TfrDragBox::paintEvent(QPaintEvent *) {
  QPainter p(this);
  const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
  for (int i : {2, 5}) {
    const QRect r = bar_->Vertical() ? QRect(0, i, width(), 3) : QRect(i, 0, 3, height());
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
}

void TfrDragBox::mousePressEvent(QMouseEvent *e) { bar_->BeginDrag(e->globalPosition().toPoint()); }
void TfrDragBox::mouseMoveEvent(QMouseEvent *e) { bar_->DragTo(e->globalPosition().toPoint()); }
void TfrDragBox::mouseReleaseEvent(QMouseEvent *) { bar_->EndDrag(); }

// ---------------------------------------------------------------- float window

TfrDragFrame::TfrDragFrame()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput) {
  setObjectName(QStringLiteral("DragFrame"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

void TfrDragFrame::resizeEvent(QResizeEvent *) {
  // Only the border is part of the window: what lies under it stays visible.
  const QRegion outer(rect());
  setMask(outer.subtracted(QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
}

void TfrDragFrame::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
}

TfrFloatWindow::TfrFloatWindow(TfrToolBar *bar)
    : QWidget(bar->owner_, Qt::Tool | Qt::WindowStaysOnTopHint), ToolBar(bar), frame_(new TfrDragFrame) {
  setObjectName(QStringLiteral("FloatWindow_") + bar->objectName());
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(bar->Caption);
}

TfrFloatWindow::~TfrFloatWindow() {
  delete frame_;
  if (ToolBar && ToolBar->FloatWindow == this) ToolBar->FloatWindow = nullptr;
}

void TfrFloatWindow::closeEvent(QCloseEvent *e) {
  e->ignore();
  hide();
}

void TfrFloatWindow::BeginDrag(QPoint global) {
  grab_ = global - pos();
  dragging_ = true;
}

void TfrFloatWindow::DragTo(QPoint global) {
  if (!dragging_ || !ToolBar) return;
  // Over a dock that takes the toolbar: dock there at the cursor.
  for (TfrDock *d : ToolBar->owner_->findChildren<TfrDock *>()) {
    if (!d->Accepts(ToolBar)) continue;
    const QPoint local = d->mapFromGlobal(global);
    if (!d->rect().contains(local)) continue;
    dragging_ = false;
    frame_->hide();
    TfrToolBar *bar = ToolBar;
    bar->DockTo(d, local.x(), local.y());
    bar->BeginDrag(global);
    return;
  }
  frame_->setGeometry(QRect(global - grab_, frameGeometry().size()));
  frame_->show();
  frame_->raise();
}

void TfrFloatWindow::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  if (frame_->isVisible()) move(frame_->pos());
  frame_->hide();
}

void TfrFloatWindow::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::LeftButton) BeginDrag(e->globalPosition().toPoint());
}

void TfrFloatWindow::mouseMoveEvent(QMouseEvent *e) { DragTo(e->globalPosition().toPoint()); }

void TfrFloatWindow::mouseReleaseEvent(QMouseEvent *) { EndDrag(); }

// ---------------------------------------------------------------- toolbar

TfrToolBar::TfrToolBar(const QString &caption, QWidget *owner) : QWidget(owner), Caption(caption), owner_(owner) {
  setProperty("Align", static_cast<int>(report::alTop));
  DragBox = new TfrDragBox(this);
  resize(kGrip + 6, 26);
}

TfrToolBar::~TfrToolBar() {
  auto &list = FloatingToolBars();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (FloatWindow) {
    FloatWindow->ToolBar = nullptr;
    FloatWindow->deleteLater();
  }
}

void TfrToolBar::addWidget(QWidget *w) {
  w->setParent(this);
  controls_.push_back(w);
  w->show();
  AdjustBounds();
}

TfrDock *TfrToolBar::Dock() const { return qobject_cast<TfrDock *>(parentWidget()); }

bool TfrToolBar::Vertical() const {
  const TfrDock *d = Dock();
  return d && !d->Horizontal();
}

void TfrToolBar::AdjustBounds() {
  const bool h = !Vertical();
  setProperty("Align", static_cast<int>(h ? report::alTop : report::alLeft));
  int pos = 2;
  place(DragBox, h, pos, (26 - kGrip) / 2);
  pos += kGrip + 1;
  for (QWidget *w : controls_) {
    if (w->isHidden()) continue;
    const QSize s = controlSize(w);
    w->resize(s);
    place(w, h, pos, std::max(1, (26 - (h ? s.height() : s.width())) / 2));
    pos += h ? s.width() : s.height();
  }
  // The events of the controls follow the toolbar's direction.
  for (QWidget *w : controls_) {
    QEvent e(QEvent::ParentChange);
    QCoreApplication::sendEvent(w, &e);
  }
  resize(BoundsFor(h));
  if (FloatWindow) FloatWindow->setFixedSize(size());
}

QSize TfrToolBar::BoundsFor(bool horizontal) const {
  int len = 2 + kGrip + 1, thick = 26;
  for (QWidget *w : controls_) {
    if (w->isHidden()) continue;
    const QSize s = controlSize(w);
    thick = std::max(thick, (horizontal ? s.height() : s.width()) + 4);
    len += horizontal ? s.width() : s.height();
  }
  len += 2;
  return horizontal ? QSize(len, thick) : QSize(thick, len);
}

void TfrToolBar::DockTo(TfrDock *dock, int x, int y) {
  TfrDock *old = Dock();
  const bool wasVisible = IsVisible();
  TfrFloatWindow *fw = FloatWindow;
  FloatWindow = nullptr;
  setParent(dock);
  if (fw) {
    fw->ToolBar = nullptr;
    fw->hide();
    fw->deleteLater();
  }
  AdjustBounds();
  move(x, y);
  setVisible(wasVisible);
  if (old && old != dock) old->Arrange();
  dock->Arrange();
  auto &list = FloatingToolBars();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TfrToolBar::AddToDock(TfrDock *dock) {
  // A new row at the dock's inner edge; its thickness once it lies along the dock.
  const QSize b = BoundsFor(dock->Horizontal());
  const int thick = dock->Horizontal() ? b.height() : b.width();
  switch (dock->Side()) {
    case report::alBottom: DockTo(dock, 0, 1 - thick); break;
    case report::alRight: DockTo(dock, 1 - thick, 0); break;
    case report::alLeft: DockTo(dock, dock->width() - 1, 0); break;
    default: DockTo(dock, 0, dock->height() - 1); break;
  }
}

void TfrToolBar::MakeFloat(int x, int y) {
  TfrDock *old = Dock();
  const bool wasVisible = isVisible() || (!isHidden());
  if (!FloatWindow) FloatWindow = new TfrFloatWindow(this);
  setParent(FloatWindow);
  AdjustBounds();
  move(0, 0);
  show();
  FloatWindow->setFixedSize(size());
  FloatWindow->move(x, y);
  FloatWindow->setVisible(wasVisible);
  if (old) old->Arrange();
  auto &list = FloatingToolBars();
  if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
}

bool TfrToolBar::IsVisible() const { return FloatWindow ? FloatWindow->isVisibleTo(owner_) || FloatWindow->isVisible() : !isHidden(); }

void TfrToolBar::SetVisible(bool on) {
  if (FloatWindow) {
    FloatWindow->setVisible(on);
    return;
  }
  setVisible(on);
  if (TfrDock *d = Dock()) d->Arrange();
}

void TfrToolBar::SaveState() const {
  const QString key = toolBarKey(this);
  frWriteBool(key, "isFloat", IsFloat());
  frWriteBool(key, "isVisible", IsVisible());
  const QPoint p = FloatWindow ? FloatWindow->pos() : pos();
  platform::writeRegistry(key, "XPosition", QString::number(p.x()));
  platform::writeRegistry(key, "YPosition", QString::number(p.y()));
  platform::writeRegistry(key, "Width", QString::number(width()));
  platform::writeRegistry(key, "Height", QString::number(height()));
  if (const TfrDock *d = Dock()) platform::writeRegistry(key, "DockName", d->objectName());
}

void TfrToolBar::RestoreState() {
  const QString key = toolBarKey(this);
  hide();
  const int x = frReadInt(key, "XPosition", FloatWindow ? FloatWindow->x() : this->x());
  const int y = frReadInt(key, "YPosition", FloatWindow ? FloatWindow->y() : this->y());
  if (!frReadBool(key, "isFloat", false)) {
    TfrDock *dock = Dock();
    const QString name = platform::readRegistry(key, "DockName", dock ? dock->objectName() : QString()).toString();
    TfrDock *target = dock;
    for (TfrDock *d : owner_->findChildren<TfrDock *>(name))
      if (d->Accepts(this)) target = d;
    // Places out of any dock's reach are brought in by Arrange.
    const int cx = std::clamp(x, 0, 4000), cy = std::clamp(y, 0, 4000);
    if (target && target != dock) {
      DockTo(target, cx, cy);
    } else if (target) {
      move(cx, cy);
      AdjustBounds();
    }
  } else {
    MakeFloat(std::clamp(x, -10000, 10000), std::clamp(y, -10000, 10000));
  }
  SetVisible(frReadBool(key, "isVisible", true));
}

// ---------------------------------------------------------------- dragging

void TfrToolBar::BeginDrag(QPoint global) {
  dragPos_ = global;
  dragging_ = true;
}

void TfrToolBar::DragTo(QPoint global) {
  TfrDock *dock = Dock();
  // Made float during this drag: the float window carries it on.
  if (!dock && FloatWindow) {
    FloatWindow->DragTo(global);
    return;
  }
  if (!dragging_ || !dock) return;
  const bool h = dock->Horizontal();
  const QPoint d = global - dragPos_;
  const int stepAlong = h ? d.x() : d.y();
  const int stepAcross = (h ? d.y() : d.x()) / dock->RowSize;
  if (stepAlong != 0) {
    int a = along(this, h) + stepAlong;
    if (a < -kFloatAfter && CanFloat) {
      dragging_ = false;
      MakeFloat(global.x(), global.y());
      FloatWindow->BeginDrag(global);
      return;
    }
    a = std::clamp(a, 0, std::max(0, length(dock, h) - length(this, h)));
    // Neighbours in the same row stop the toolbar at their edge, however long the step.
    const int from = along(this, h), len = length(this, h);
    for (TfrToolBar *o : dock->ToolBars()) {
      if (o == this || o->isHidden() || across(o, h) != across(this, h)) continue;
      const int oa = along(o, h), ol = length(o, h);
      if (stepAlong > 0 && oa >= from + len) a = std::min(a, oa - len);
      if (stepAlong < 0 && oa + ol <= from) a = std::max(a, oa + ol);
    }
    place(this, h, a, across(this, h));
    dragPos_ += h ? QPoint(stepAlong, 0) : QPoint(0, stepAlong);
  }
  if (stepAcross != 0) {
    const int before = dock->Thickness();
    const int c = across(this, h) + stepAcross * dock->RowSize;
    place(this, h, along(this, h), c);
    dock->Arrange();
    dragPos_ += h ? QPoint(0, stepAcross * dock->RowSize) : QPoint(stepAcross * dock->RowSize, 0);
    if ((c < 0 || c >= before) && dock->Thickness() == before && CanFloat) {
      dragging_ = false;
      MakeFloat(global.x(), global.y());
      FloatWindow->BeginDrag(global);
    }
  }
}

void TfrToolBar::EndDrag() {
  dragging_ = false;
  if (FloatWindow) FloatWindow->EndDrag();
}

// ---------------------------------------------------------------- forms

void frSaveFormPosition(QWidget *form) {
  const QString key = QStringLiteral("Form\\") + form->objectName();
  frWriteBool(key, "isVisible", form->isVisible());
  platform::writeRegistry(key, "XPosition", QString::number(form->x()));
  platform::writeRegistry(key, "YPosition", QString::number(form->y()));
  platform::writeRegistry(key, "Width", QString::number(form->width()));
  platform::writeRegistry(key, "Height", QString::number(form->height()));
}

void frRestoreFormPosition(QWidget *form) {
  const QString key = QStringLiteral("Form\\") + form->objectName();
  form->hide();
  const int x = frReadInt(key, "XPosition", form->x()), y = frReadInt(key, "YPosition", form->y());
  int w = frReadInt(key, "Width", form->width()), h = frReadInt(key, "Height", form->height());
  if (w <= 0 || w > 10000) w = form->width();
  if (h <= 0 || h > 10000) h = form->height();
  form->move(std::clamp(x, -10000, 10000), std::clamp(y, -10000, 10000));
  form->resize(w, h);
  if (frReadBool(key, "isVisible", true)) form->show();
}

}  // namespace designer

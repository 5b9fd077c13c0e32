#pragma once
// Dockable toolbars: dock areas along the window's sides that hold toolbars
// in rows of RowSize pixels, toolbars that live in a dock or float in a small
// tool window, the grip they are dragged by, and the saving and restoring of
// toolbar and window positions in the settings store.
#include "report/ui/FR_Ctrls.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <vector>

namespace designer {

enum TfrOrientation { toAny, toVertOnly, toHorzOnly };

class TfrToolBar;

class TfrDock : public QWidget {
  Q_OBJECT
 public:
  TfrDock(QWidget *parent, report::TfrAlign side);
  int RowSize = 26;
  report::TfrAlign Side() const { return side_; }
  bool Horizontal() const { return side_ == report::alTop || side_ == report::alBottom; }
  // The toolbars docked here.
  std::vector<TfrToolBar *> ToolBars() const;
  // Drops empty rows, normalises the toolbars' places and sets the thickness.
  // Bottom and right docks count their rows from the outer edge: the first row
  // lies there and new rows grow toward the window's centre.
  void Arrange();
  bool FromOuterEdge() const { return side_ == report::alBottom || side_ == report::alRight; }
  // Arranging waits while several toolbars are placed at once (restoring
  // places that belong together); EndUpdate arranges once.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  int Thickness() const { return Horizontal() ? height() : width(); }
  bool Accepts(const TfrToolBar *t) const;

 protected:
  void paintEvent(QPaintEvent *) override;

 private:
  void setThickness(int t);
  report::TfrAlign side_;
  int updating_ = 0;
};

// The grip at a toolbar's start.
class TfrDragBox : public QWidget {
  Q_OBJECT
 public:
  explicit TfrDragBox(TfrToolBar *bar);

 protected:
  void paintEvent(QPaintEvent *) override;
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;

 private:
  TfrToolBar *bar_;
};

// The dotted 4-pixel frame that follows the cursor while a float window is
// dragged; the window moves to it on release.
class TfrDragFrame : public QWidget {
  Q_OBJECT
 public:
  TfrDragFrame();
  static constexpr int kWidth = 4;

 protected:
  void paintEvent(QPaintEvent *) override;
  void resizeEvent(QResizeEvent *) override;
};

class TfrFloatWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TfrFloatWindow(TfrToolBar *bar);
  ~TfrFloatWindow() override;
  TfrToolBar *ToolBar;
  // Dragging by the client area as by a caption (global positions): the drag
  // frame follows, and over a dock that takes the toolbar it docks there.
  void BeginDrag(QPoint global);
  void DragTo(QPoint global);
  void EndDrag();
  bool Dragging() const { return dragging_; }
  TfrDragFrame *DragFrame() const { return frame_; }

 protected:
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;
  void closeEvent(QCloseEvent *e) override;

 private:
  QPoint grab_;
  bool dragging_ = false;
  TfrDragFrame *frame_;
};

class TfrToolBar : public QWidget {
  Q_OBJECT
 public:
  TfrToolBar(const QString &caption, QWidget *owner);
  ~TfrToolBar() override;

  bool CanFloat = true;
  TfrOrientation Orientation = toAny;
  TfrDragBox *DragBox;
  TfrFloatWindow *FloatWindow = nullptr;
  QString Caption;

  void addWidget(QWidget *w);
  TfrDock *Dock() const;
  bool IsFloat() const { return FloatWindow != nullptr; }
  bool Vertical() const;
  // Places the controls along the toolbar's direction and sets its size.
  void AdjustBounds();
  // The size the toolbar takes lying horizontally or vertically.
  QSize BoundsFor(bool horizontal) const;
  void DockTo(TfrDock *dock, int x, int y);
  void AddToDock(TfrDock *dock);
  void MakeFloat(int x, int y);
  bool IsVisible() const;
  void SetVisible(bool on);
  void SaveState() const;
  void RestoreState();

  // Dragging by the grip (global positions).
  void BeginDrag(QPoint global);
  void DragTo(QPoint global);
  void EndDrag();

 private:
  friend class TfrFloatWindow;
  QWidget *owner_;
  std::vector<QWidget *> controls_;
  QPoint dragPos_;
  bool dragging_ = false;
};

// The toolbars floating now.
std::vector<TfrToolBar *> &FloatingToolBars();

// A window's bounds and visibility under "Form\" + its name.
void frSaveFormPosition(QWidget *form);
void frRestoreFormPosition(QWidget *form);

// Values of the settings store; text that is not a value of the kind gives the default.
int frReadInt(const QString &key, const QString &name, int def);
bool frReadBool(const QString &key, const QString &name, bool def);
void frWriteBool(const QString &key, const QString &name, bool value);

}  // namespace designer

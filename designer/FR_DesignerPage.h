#pragma once
// The design surface: one design page drawn at one pixel per design pixel
// with its grid, margins, columns and objects, and edited with the mouse:
// selection (click, Shift, rubber band), moving and resizing with the grid,
// splitting two neighbours' common edge, inserting with each tool, drawing lines.
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace report {
class TfrView;
}

namespace designer {

class TfrDesignerForm;

// The base of a new band's name: its type's name without the blank ("MasterData").
QString frBandBaseName(int type);

// Insert tools: the tag of the objects toolbar's pressed button.
enum : int { toolSelect = -1, toolText = 0, toolPicture = 1, toolBand = 2, toolSubReport = 3, toolLine = 4 };

class TfrDesignerPage : public QWidget {
  Q_OBJECT
 public:
  explicit TfrDesignerPage(TfrDesignerForm *form);

  // Places the surface for the current page: its size is the page's; 10
  // pixels from the top, centred in the visible width when it fits, else 10
  // from the left.
  void SetPage();
  // A point on the grid (truncated toward zero) when grid alignment is on.
  QPoint SnapToGrid(QPoint p) const;
  // The default size of a new object.
  QSize GetDefaultSize() const;
  // The object under a point (topmost), or nullptr.
  report::TfrView *ObjectAt(QPoint p) const;
  // Computes the multi-selection frame.
  void ComputeMultiFrame();
  // Forgets a drag in progress (each show of the window).
  void ResetDrag();
  // While a multi-selection is resized: "% " and its width and height against
  // the start of the drag, in percent; empty otherwise.
  QString ResizeRatio() const;
  // The frame of a new object while an insert tool draws it or follows the
  // pointer (normalised, in page pixels); false when there is none.
  bool NewObjectFrame(QRect &r) const;
  // Repaints the whole surface.
  void Redraw() { update(); }

  // The frame of a multi-selection and the object at its bottom-right.
  bool MultiFrame() const { return multiFrame_; }
  QRect Frame() const { return QRect(QPoint(frame_.left(), frame_.top()), QPoint(frame_.right(), frame_.bottom())); }
  int BottomRightIndex() const { return bottomRightIndex_; }

 protected:
  void paintEvent(QPaintEvent *e) override;
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;
  void mouseDoubleClickEvent(QMouseEvent *e) override;
  void leaveEvent(QEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;

 private:
  enum Mode { mdNone, mdRubber, mdInsert, mdLine, mdMove, mdResize, mdMultiResize, mdSplit };
  // Which handle the pointer is over: 0 none; 1 NW-SE, 2 NE-SW, 3 W-E, 4 N-S
  // (one object); 5 the bottom-right of a multi-selection; 6 a common edge.
  int handleAt(QPoint p);
  void drawPage(class QPainter &p, const QRect &clip) const;
  void drawHandles(QPainter &p) const;
  QRect followingFrame(QPoint p) const;
  QRect selectionArea() const;  // the selected objects' areas with their handles
  bool takeStep(QPoint p, int &sx, int &sy) const;
  void insertObject(Qt::KeyboardModifiers mods);
  void insertLine();
  void endRubberBand();
  void endMoveOrResize();

  TfrDesignerForm *form_;
  Mode mode_ = mdNone;
  bool down_ = false;
  bool moved_ = false;
  bool drawingFrame_ = false;
  int resizeSide_ = 0;
  int hoverHandle_ = 0;
  int lastX_ = 0, lastY_ = 0;
  bool firstMove_ = false;
  bool firstDragMove_ = false;
  int bottomRightIndex_ = -1;
  QPoint frameOrigin_;
  QRect frame_;     // corners as given (may be unnormalised): topLeft and bottomRight
  QRect oldFrame_;  // the frame that followed the pointer
  QRect following_; // the insert tool's frame under the pointer; null when none
  bool multiFrame_ = false;
  std::vector<QRect> saved_;  // the selected objects' rectangles at a multi-selection resize
  QRect savedFrame_;
  // Split: the marker's x, the common edge and the two objects.
  int splitX_ = 0, splitEdge_ = 0;
  report::TfrView *splitLeft_ = nullptr, *splitRight_ = nullptr;
};

}  // namespace designer

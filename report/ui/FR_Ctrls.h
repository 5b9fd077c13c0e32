#pragma once
// The engine's own toolbar controls, shared with the designer: a glyph button
// that can be flat and drawn grey until the mouse is over it, the same button
// set up for toolbars, a separator and a panel for other controls. The three
// toolbar controls follow the direction of the toolbar that holds them.
#include <QAbstractButton>
#include <QFrame>
#include <QImage>
#include <QPixmap>

#include <array>

namespace report {

// Where a control sits in its parent; a toolbar aligned left or right is vertical.
enum TfrAlign { alNone, alTop, alBottom, alLeft, alRight };

// The alignment of a toolbar: its "Align" property (a TfrAlign), or its
// orientation when it is a QToolBar. alNone for anything else.
TfrAlign frToolbarAlign(const QWidget *toolbar);

class TfrSpeedButton : public QAbstractButton {
  Q_OBJECT
 public:
  enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
  enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

  explicit TfrSpeedButton(QWidget *parent = nullptr);

  // 1 to 4 images side by side: up, disabled, down, exclusive. Olive pixels
  // (0x808000) are transparent.
  void SetGlyph(const QImage &glyph);
  const QImage &Glyph() const { return glyph_; }
  void SetNumGlyphs(int n);
  int NumGlyphs() const { return numGlyphs_; }

  void SetGrayedInactive(bool on);
  bool GrayedInactive() const { return grayedInactive_; }
  void SetFlat(bool on);
  bool Flat() const { return flat_; }
  void SetDown(bool down);
  bool Down() const { return down_; }
  void SetGroupIndex(int index);
  int GroupIndex() const { return groupIndex_; }
  void SetAllowAllUp(bool on);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetLayout(TButtonLayout layout);
  TButtonLayout Layout() const { return layout_; }
  void SetSpacing(int spacing);
  int Spacing() const { return spacing_; }
  // -1 centres glyph and caption; values below -1 are ignored.
  void SetMargin(int margin);
  int Margin() const { return margin_; }

  bool MouseInControl() const { return mouseIn_; }
  // The state the glyph is drawn in now (bsInactive while greyed).
  TButtonState GlyphState() const;
  // The glyph image of a state as it is drawn (made on first use).
  QImage StateImage(TButtonState state) const;
  // Repaints requested by property changes (a change to the same value asks none).
  int Repaints() const { return repaints_; }

  QSize sizeHint() const override;

 signals:
  void mouseEnter();
  void mouseLeave();
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent *) override;
  void enterEvent(QEnterEvent *) override;
  void leaveEvent(QEvent *) override;
  void changeEvent(QEvent *) override;
  void mouseDoubleClickEvent(QMouseEvent *) override;
  void nextCheckState() override {}
  bool event(QEvent *e) override;
  void invalidate();

 private:
  void onClicked();
  void updateExclusive();
  TButtonState drawState() const;

  QImage glyph_;
  int numGlyphs_ = 1;
  bool grayedInactive_ = true;
  bool flat_ = false;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
  bool mouseIn_ = false;
  int repaints_ = 0;
  mutable std::array<QPixmap, 5> images_;
};

// A flat toolbar button, aligned to the toolbar's direction.
class TfrTBButton : public TfrSpeedButton {
  Q_OBJECT
 public:
  explicit TfrTBButton(QWidget *parent = nullptr);
  TfrAlign Align() const { return align_; }
  void SetAlign(TfrAlign a) { align_ = a; }

 protected:
  bool event(QEvent *e) override;

 private:
  TfrAlign align_ = alLeft;
};

// A separator line between toolbar buttons: vertical in a horizontal toolbar,
// horizontal in a vertical one.
class TfrTBSeparator : public QWidget {
  Q_OBJECT
 public:
  explicit TfrTBSeparator(QWidget *parent = nullptr);
  TfrAlign Align() const { return align_; }
  void SetAlign(TfrAlign a);
  bool DrawBevel() const { return drawBevel_; }
  void SetDrawBevel(bool on);
  QSize sizeHint() const override { return {8, 8}; }

 protected:
  bool event(QEvent *e) override;
  void paintEvent(QPaintEvent *) override;

 private:
  TfrAlign align_ = alLeft;
  bool drawBevel_ = true;
};

// A container for other controls inside a toolbar.
class TfrTBPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TfrTBPanel(QWidget *parent = nullptr);
  TfrAlign Align() const { return align_; }

 protected:
  bool event(QEvent *e) override;

 private:
  TfrAlign align_ = alLeft;
};

// The grey of the inactive glyph: (77 R + 150 G + 29 B) >> 8 on all channels.
QRgb frInactiveGray(QRgb c);

}  // namespace report

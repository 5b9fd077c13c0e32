#pragma once
// The drop-down colour palette of the designer's colour buttons: the engine's
// 16 named colours, "Transparent" and "Other..." (the colour dialog). A
// choice hides the palette and is announced once; closing it without a
// choice announces nothing.
#include "report/core/FR_Utils.h"

#include <QFrame>

namespace report {
class TfrSpeedButton;
}

namespace designer {

using report::TColor;

class TColorSelector : public QFrame {
  Q_OBJECT
 public:
  // A popup window: it closes when the user clicks elsewhere.
  explicit TColorSelector(QWidget *parent = nullptr);

  // Marks the button of that colour as down; a colour not among the 16
  // shows as a swatch on the "Other..." button.
  void SetColor(TColor color);
  TColor Color() const { return color_; }

  report::TfrSpeedButton *Buttons[16];
  report::TfrSpeedButton *TransparentButton, *OtherButton;

 signals:
  void ColorSelected(TColor color);
  // The selector went away: a choice (then ColorSelected follows), a click
  // elsewhere, Esc, or a cancelled colour dialog.
  void Closed();

 protected:
  void hideEvent(QHideEvent *e) override;

 private:
  void choose(TColor color);
  TColor color_ = 0;
  bool inOther_ = false;  // the colour dialog is open on the selector's behalf
};

// The colour dialog on a colour; true with the chosen colour on OK, the
// colour untouched on Cancel.
bool frColorDialog(QWidget *parent, TColor &color);

// Shows a selector under a widget (26 pixels below its top) on the given
// colour and waits for the user: true with the chosen colour, false when the
// selector closed without a choice.
bool frSelectColor(QWidget *under, TColor &color);

}  // namespace designer

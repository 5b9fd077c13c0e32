#pragma once
// The highlight dialog of a text object: the condition and the font style,
// font colour and background that apply while it holds.
#include "report/core/FR_Class_View.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace report {
class TfrSpeedButton;
}

namespace designer {

class TfrDesignerForm;

class TfrHilightForm : public QDialog {
  Q_OBJECT
 public:
  // The colour buttons' glyphs are the designer window's (its colour bars).
  explicit TfrHilightForm(TfrDesignerForm &designer, QWidget *parent = nullptr);

  // Fills the controls; Highlight reads them back (the background is
  // transparent, 0x1FFFFFFF, while "Transparent" is checked).
  void SetHighlight(const report::TfrHighlight &hl, const QString &condition);
  report::TfrHighlight Highlight() const;
  QString Condition() const;
  report::TColor FontColor() const { return fontColor_; }
  report::TColor FillColor() const { return fillColor_; }

  QLabel *Label1;
  QLineEdit *Edit1;
  QGroupBox *GroupBox1, *GroupBox2;
  report::TfrSpeedButton *SpeedButton1, *SpeedButton2;
  QCheckBox *CB1, *CB2, *CB3;
  QRadioButton *RB1, *RB2;
  QPushButton *Button1, *Button2;

 protected:
  // OK is refused, with the parser's message, while the condition cannot be evaluated.
  void done(int result) override;

 private:
  void showColors();
  void pickColor(report::TColor &color);

  TfrDesignerForm &designer_;
  report::TColor fontColor_ = report::clBlack;
  report::TColor fillColor_ = report::clTransparent;
};

// The engine parser's message for a condition that cannot be evaluated (an
// operand missing, nested too deeply, brackets or parentheses that do not
// match, ...); empty when it can. Names are not looked up: they have their
// values only while a report builds.
QString frConditionError(const QString &condition);

// A message when the expressions of a text do not close: a "[" without its
// "]" or the reverse, parentheses or a quote not closed inside a "[...]".
// whole: the text is one expression (a condition), not a text holding some.
// Empty when they close; the engine would read such a text as something else.
QString frExpressionTextError(const QString &text, bool whole);

// OK of a condition dialog: refused with the parser's message, and the focus in
// the condition's box, while the condition cannot be evaluated.
bool frConditionAccepted(QLineEdit *edit);

// The dialog on a highlight and its condition: true with both changed on OK.
bool EditHighlight(TfrDesignerForm &designer, report::TfrHighlight &hl, QString &condition);

}  // namespace designer

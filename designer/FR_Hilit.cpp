#include "designer/FR_Hilit.h"

#include "designer/FR_Color.h"
#include "designer/FR_Desgn.h"
#include "platform/conv.h"
#include "platform/error_text.h"
#include "report/core/FR_Class_Report.h"
#include "report/expr/FR_Pars.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace designer {

using namespace report;

TfrHilightForm::TfrHilightForm(TfrDesignerForm &designer, QWidget *parent)
    : QDialog(parent), designer_(designer) {
  setObjectName(QStringLiteral("frHilightForm"));
  setWindowTitle(frLoadStr(53520));
  Label1 = frNamed(new QLabel(frLoadStr(53521), this), "Label1");
  Edit1 = frNamed(new QLineEdit(this), "Edit1");
  frSetMinWidthInChars(Edit1, 36, '0');
  Label1->setBuddy(Edit1);
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53522), this), "GroupBox1");
  SpeedButton1 = frNamed(new TfrSpeedButton(GroupBox1), "SpeedButton1");
  SpeedButton1->setText(frLoadStr(53523));
  CB1 = frNamed(new QCheckBox(frLoadStr(53524), GroupBox1), "CB1");
  CB2 = frNamed(new QCheckBox(frLoadStr(53525), GroupBox1), "CB2");
  CB3 = frNamed(new QCheckBox(frLoadStr(53526), GroupBox1), "CB3");
  GroupBox2 = frNamed(new QGroupBox(frLoadStr(53527), this), "GroupBox2");
  RB1 = frNamed(new QRadioButton(frLoadStr(53529), GroupBox2), "RB1");
  RB2 = frNamed(new QRadioButton(frLoadStr(53530), GroupBox2), "RB2");
  SpeedButton2 = frNamed(new TfrSpeedButton(GroupBox2), "SpeedButton2");
  SpeedButton2->setText(frLoadStr(53528));
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  // The colour buttons take the focus by Tab, in the order of the controls, and Space presses them.
  for (TfrSpeedButton *b : {SpeedButton1, SpeedButton2}) b->setFocusPolicy(Qt::TabFocus);

  frColumn(GroupBox1, {SpeedButton1, CB1, CB2, CB3}, true);
  frColumn(GroupBox2, {RB1, RB2, SpeedButton2}, true);
  auto *groups = new QHBoxLayout;
  groups->addWidget(GroupBox1);
  groups->addWidget(GroupBox2);
  auto *lay = new QVBoxLayout(this);
  lay->setSizeConstraint(QLayout::SetFixedSize);
  lay->addWidget(Label1);
  lay->addWidget(Edit1);
  lay->addLayout(groups);
  lay->addLayout(buttons);

  connect(RB1, &QRadioButton::toggled, this, [this](bool on) {
    SpeedButton2->setEnabled(!on);
    if (on) {
      fillColor_ = clTransparent;
      showColors();
    }
  });
  connect(RB2, &QRadioButton::toggled, this, [this](bool on) { SpeedButton2->setEnabled(on); });
  connect(SpeedButton1, &QAbstractButton::clicked, this, [this] { pickColor(fontColor_); });
  connect(SpeedButton2, &QAbstractButton::clicked, this, [this] { pickColor(fillColor_); });
  SetHighlight(TfrHighlight{}, QString());
}

void TfrHilightForm::SetHighlight(const TfrHighlight &hl, const QString &condition) {
  Edit1->setText(condition);
  fontColor_ = hl.FontColor;
  fillColor_ = hl.FillColor;
  CB1->setChecked(hl.FontStyle & fsBold);
  CB2->setChecked(hl.FontStyle & fsItalic);
  CB3->setChecked(hl.FontStyle & fsUnderline);
  const bool transparent = fillColor_ == clTransparent;
  RB2->setChecked(!transparent);
  RB1->setChecked(transparent);
  SpeedButton2->setEnabled(!transparent);
  showColors();
}

TfrHighlight TfrHilightForm::Highlight() const {
  TfrHighlight hl;
  hl.FontStyle = (CB1->isChecked() ? fsBold : 0) | (CB2->isChecked() ? fsItalic : 0) |
                 (CB3->isChecked() ? fsUnderline : 0);
  hl.FontColor = fontColor_;
  hl.FillColor = RB1->isChecked() ? clTransparent : fillColor_;
  return hl;
}

QString TfrHilightForm::Condition() const { return Edit1->text(); }

void TfrHilightForm::showColors() {
  designer_.SetButtonColorGlyph(fontColor_, SpeedButton1, 0);
  designer_.SetButtonColorGlyph(fillColor_, SpeedButton2, 1);
}

void TfrHilightForm::pickColor(TColor &color) {
  if (!frColorDialog(this, color)) return;
  showColors();
}

void TfrHilightForm::done(int result) {
  if (result == Accepted && !frConditionAccepted(Edit1)) return;
  QDialog::done(result);
}

QString frExpressionTextError(const QString &text, bool whole) {
  auto refused = [&text](const QString &why) {
    return QStringLiteral("'%1' cannot be evaluated: %2.").arg(text, why);
  };
  int brackets = 0, parens = 0;
  bool quoted = false;
  for (const QChar c : text) {
    const bool inside = whole || brackets > 0;
    if (inside && c == u'\'') quoted = !quoted;
    if (quoted) continue;
    if (c == u'[') {
      ++brackets;
    } else if (c == u']') {
      if (--brackets < 0) return refused(QStringLiteral("a \"]\" has no \"[\" before it"));
      if (brackets == 0 && !whole && parens != 0)
        return refused(QStringLiteral("its parentheses do not match"));
    } else if (inside && (c == u'(' || c == u')')) {
      parens += c == u'(' ? 1 : -1;
      if (parens < 0) return refused(QStringLiteral("its parentheses do not match"));
    }
  }
  if (quoted) return refused(QStringLiteral("a quote is not closed"));
  if (brackets > 0) return refused(QStringLiteral("a \"[\" is not closed by \"]\""));
  if (parens != 0) return refused(QStringLiteral("its parentheses do not match"));
  return {};
}

QString frConditionError(const QString &condition) {
  if (condition.trimmed().isEmpty()) return {};
  if (QString error = frExpressionTextError(condition, true); !error.isEmpty()) return error;
  // A parser of its own: the global one's callbacks belong to a build. Every
  // name is null here, and a conversion failing on what an operator made of a
  // null (a comparison's 0 against a text) says nothing of the real values:
  // only that is passed over. Any other failure is the text's own (a malformed
  // expression, a division by a zero constant) or the check's, and is shown.
  TfrParser parser;
  try {
    parser.Calc(condition);
  } catch (const platform::ConvertError &) {
  } catch (const std::exception &e) {
    return platform::exceptionText(e);
  }
  return {};
}

bool frConditionAccepted(QLineEdit *edit) {
  const QString error = frConditionError(edit->text());
  if (error.isEmpty()) return true;
  edit->setFocus();
  edit->selectAll();
  if (frErrorBox) frErrorBox(error);
  return false;
}

bool EditHighlight(TfrDesignerForm &designer, TfrHighlight &hl, QString &condition) {
  TfrHilightForm dlg(designer, &designer);
  dlg.SetHighlight(hl, condition);
  if (dlg.exec() != QDialog::Accepted) return false;
  hl = dlg.Highlight();
  condition = dlg.Condition();
  return true;
}

}  // namespace designer

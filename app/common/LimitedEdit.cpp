#include "app/common/LimitedEdit.h"

#include <QValidator>

#include <algorithm>

namespace {

// A length QLineEdit never cuts to: its default maximum.
constexpr int kQtNoLimit = 32767;

}  // namespace

// Watches every change of the field's text before it is shown or signalled.
// A change the program makes (setText) leaves the edit's undo history empty:
// it passes untouched. A change by the user (typing, pasting, dropping, the
// insert() and paste() slots) is on that history: a character outside the
// key filter refuses it, and text beyond the limit is cut from what was put
// in. No input makes a text longer than the limit, nor a text already longer
// (a stored one) any longer: it can be shortened, or a part replaced by no
// more than it had. A cut clears the edit's undo history.
class LimitedEditValidator : public QValidator {
 public:
  explicit LimitedEditValidator(LimitedEdit *edit) : QValidator(edit), edit_(edit) {}

  State validate(QString &input, int &pos) const override {
    if (!edit_->isUndoAvailable()) return Acceptable;  // set by the program
    const QString &before = edit_->before_;
    // The changed part: before = prefix + removed + suffix,
    // input = prefix + inserted + suffix.
    const int shorter = static_cast<int>(std::min(before.size(), input.size()));
    int prefix = 0;
    while (prefix < shorter && before[prefix] == input[prefix]) ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix])
      ++suffix;
    const int inserted = static_cast<int>(input.size()) - prefix - suffix;
    if (!edit_->accepted_.isEmpty()) {
      for (int i = prefix; i < prefix + inserted; ++i)
        if (!edit_->accepted_.contains(input[i])) return Invalid;
    }
    const int cap = std::max(edit_->limit_, static_cast<int>(before.size()));
    if (edit_->limit_ <= 0 || input.size() <= cap) return Acceptable;
    const int keep = inserted - static_cast<int>(input.size() - cap);
    if (keep <= 0 && input.size() - inserted == before.size()) return Invalid;  // nothing fits
    input = input.left(prefix + keep) + input.right(suffix);
    pos = prefix + keep;
    edit_->cut_ = true;  // Qt sets the cut text as if the program had
    return Acceptable;
  }

 private:
  LimitedEdit *edit_;
};

LimitedEdit::LimitedEdit(QWidget *parent) : QLineEdit(parent) {
  setMaxLength(kQtNoLimit);
  setValidator(new LimitedEditValidator(this));
  connect(this, &QLineEdit::textChanged, this, [this] {
    before_ = text();
    // A text the program put in is shown from its beginning.
    if (!isUndoAvailable() && !hasFocus() && !cut_) setCursorPosition(0);
    cut_ = false;
  });
}

void LimitedEdit::setLimit(int chars) {
  limit_ = std::max(0, chars);
  updateGeometry();
}

void LimitedEdit::setAcceptedChars(const QString &chars) {
  accepted_ = chars;
  updateGeometry();
}

bool LimitedEdit::accepts(const QString &text) const {
  if (limit_ > 0 && text.size() > limit_) return false;
  if (accepted_.isEmpty()) return true;
  return std::all_of(text.begin(), text.end(), [this](QChar c) { return accepted_.contains(c); });
}

void LimitedEdit::setWidthChars(int chars) {
  widthChars_ = std::max(1, chars);
  updateGeometry();
}

int LimitedEdit::widthChars() const {
  if (widthChars_ > 0) return widthChars_;
  if (limit_ > 0) return std::min(limit_, kWidestChars);
  return kDefaultWidthChars;
}

QString LimitedEdit::sampleText(int chars, const QString &acceptedChars) {
  QString sample;
  if (acceptedChars.contains(QLatin1Char('0'))) {
    sample.fill(QLatin1Char('0'), chars);
  } else if (!acceptedChars.isEmpty()) {
    // The widest of a few accepted letters ("I", "N", "1", "2"): capitals.
    QChar widest = acceptedChars.at(0);
    for (QChar c : acceptedChars)
      if (c.isUpper() || (c.isDigit() && !widest.isUpper())) widest = c;
    sample.fill(widest, chars);
  } else {
    // Names and addresses with their share of capitals and wide letters.
    static const QString text =
        QStringLiteral("Wéber-Kovács Mária Dr., Mezőkövesd, Wesselényi Miklós tér 12/B, ");
    while (sample.size() < chars) sample += text;
    sample.truncate(chars);
  }
  return sample;
}

QSize LimitedEdit::sizeHint() const {
  // QLineEdit asks for 17 "x" plus its margins and frame: the same margins
  // and frame around the sample text and the cursor. Free text gets a
  // twentieth more, as a real name can run wider than the sample.
  const QSize base = QLineEdit::sizeHint();
  const QFontMetrics fm = fontMetrics();
  const int margins = base.width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
  int text = fm.horizontalAdvance(sampleText(widthChars(), accepted_));
  if (accepted_.isEmpty()) {
    // Free text may as well be a number written in full (an account number),
    // which runs wider than names in many fonts.
    text = std::max(text + text / 20, fm.horizontalAdvance(sampleText(widthChars(), QStringLiteral("0"))));
  }
  return {margins + text + 2, base.height()};
}

QSize LimitedEdit::minimumSizeHint() const {
  return {sizeHint().width(), QLineEdit::minimumSizeHint().height()};
}

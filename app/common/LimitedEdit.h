#pragma once
// The edit field of every entry dialog.
// - Its length limit holds for what the user types, pastes or drops; a text
//   the program puts in (a stored value) is kept whole however long, so a
//   field saved untouched writes back what was read. Qt's own maximum length
//   would cut such a text, so it is never set.
// - Its key filter (the characters it accepts) holds for the same input; text
//   set by the program is not filtered. The user can always delete.
// - It asks the layout for the width of its longest allowed content, or of
//   widthChars() characters when it has no limit or a very long one.
#include <QLineEdit>
#include <QString>

class LimitedEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit LimitedEdit(QWidget *parent = nullptr);

  // 0: no limit.
  void setLimit(int chars);
  int limit() const { return limit_; }

  // The characters typing and pasting may put in; empty accepts any.
  void setAcceptedChars(const QString &chars);
  QString acceptedChars() const { return accepted_; }

  // Whether typing text into the empty field would put all of it in.
  bool accepts(const QString &text) const;

  // Characters the field is wide for: its limit, at most kWidestChars; for
  // a field without a limit setWidthChars() decides (kDefaultWidthChars).
  static constexpr int kWidestChars = 80;
  static constexpr int kDefaultWidthChars = 20;
  void setWidthChars(int chars);
  int widthChars() const;

  // The text the width is measured on: chars characters of what the field
  // holds: digits for a field that accepts digits, else a Hungarian name and
  // address mix. A field that accepts any text is as wide as the wider of
  // that mix and as many digits.
  static QString sampleText(int chars, const QString &acceptedChars);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 private:
  friend class LimitedEditValidator;
  int limit_ = 0;
  int widthChars_ = 0;
  QString accepted_;
  QString before_;  // the text before the change being validated
  bool cut_ = false;  // the change being made is an input cut to the limit
};

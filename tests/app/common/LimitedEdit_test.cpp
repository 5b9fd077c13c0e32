// The entry dialogs' edit: its limit and key filter hold for typing, pasting
// and dropping; text the program sets is kept whole.
#include "app/common/FieldKeys.h"
#include "app/common/LimitedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

void type(QWidget *w, const QString &text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

void backspace(QWidget *w) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

}  // namespace

TEST(LimitedEdit, TypingAndPastingStopAtTheLimitButSetTextKeepsItWhole) {
  LimitedEdit e;
  e.setLimit(7);
  type(&e, QStringLiteral("123456789"));
  EXPECT_EQ(e.text(), QStringLiteral("1234567"));

  // A paste is cut to what fits, at the cursor.
  e.clear();
  type(&e, QStringLiteral("ab"));
  e.setCursorPosition(1);
  QApplication::clipboard()->setText(QStringLiteral("XYZXYZXYZ"));
  e.paste();
  EXPECT_EQ(e.text(), QStringLiteral("aXYZXYb"));
  EXPECT_EQ(e.cursorPosition(), 6);

  // A stored value longer than the limit stays whole; no input makes it
  // longer, but it can be shortened and a part replaced by no more than it had.
  e.setText(QStringLiteral("123456789012"));
  EXPECT_EQ(e.text(), QStringLiteral("123456789012"));
  e.setCursorPosition(12);
  type(&e, QStringLiteral("3"));
  EXPECT_EQ(e.text(), QStringLiteral("123456789012"));
  backspace(&e);
  EXPECT_EQ(e.text(), QStringLiteral("12345678901"));
  e.setSelection(0, 2);
  QApplication::clipboard()->setText(QStringLiteral("ab"));
  e.paste();  // two in place of two
  EXPECT_EQ(e.text(), QStringLiteral("ab345678901"));
  e.setSelection(0, 1);
  e.insert(QStringLiteral("xyz"));  // one in place of one
  EXPECT_EQ(e.text(), QStringLiteral("xb345678901"));
  e.setSelection(0, 2);
  type(&e, QStringLiteral("cd"));  // the first key replaces, the second would add
  EXPECT_EQ(e.text(), QStringLiteral("c345678901"));

  // Without a limit anything goes.
  LimitedEdit free;
  free.insert(QString(300, QLatin1Char('x')));
  EXPECT_EQ(free.text().size(), 300);
}

TEST(LimitedEdit, KeyFilterJudgesWhatIsPutInNotWhatWasLoaded) {
  LimitedEdit e;
  e.setLimit(11);
  FieldKeys::acceptOnly(&e, QStringLiteral("/"));
  // A stored tax number with a letter (an import) is shown as it is, and the
  // user can still edit it with accepted characters.
  e.setText(QStringLiteral("1234567A123"));
  EXPECT_EQ(e.text(), QStringLiteral("1234567A123"));
  e.setCursorPosition(8);
  backspace(&e);
  EXPECT_EQ(e.text(), QStringLiteral("1234567123"));
  type(&e, QStringLiteral("x/"));
  EXPECT_EQ(e.text(), QStringLiteral("1234567/123"));
  e.setCursorPosition(0);
  QApplication::clipboard()->setText(QStringLiteral("9a"));
  e.paste();  // refused whole
  EXPECT_EQ(e.text(), QStringLiteral("1234567/123"));
}

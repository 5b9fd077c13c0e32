#include "dialog_layout.h"

#include "app/common/LimitedEdit.h"
#include "support/layout_check.h"

#include <QLineEdit>

#include <algorithm>

namespace vorik::test {

namespace {

void checkEdit(QLineEdit *edit, QStringList &problems) {
  auto *limited = qobject_cast<LimitedEdit *>(edit);
  if (!limited) {
    problems << describe(edit) + QStringLiteral(" is a plain QLineEdit, not a LimitedEdit");
    return;
  }
  const QFontMetrics fm = edit->fontMetrics();
  const int room = textRoom(edit);
  const int chars = limited->limit() > 0 ? std::min(limited->limit(), int(LimitedEdit::kWidestChars))
                                         : limited->widthChars();
  const QString longest = LimitedEdit::sampleText(chars, limited->acceptedChars());
  int need = fm.horizontalAdvance(longest) + 1;  // and the cursor
  // A field of any text may hold digits all along (an account number).
  if (limited->acceptedChars().isEmpty())
    need = std::max(need, fm.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 1);
  if (need > room)
    problems << QStringLiteral("%1: %2 characters need %3 px, it shows %4").arg(describe(edit)).arg(chars).arg(need).arg(room);
  // A text longer than the widest field need only show its beginning.
  const int shown = fm.horizontalAdvance(edit->text().left(LimitedEdit::kWidestChars)) + 1;
  if (edit->echoMode() == QLineEdit::Normal && shown > room)
    problems << QStringLiteral("%1: its text \"%2\" needs %3 px, it shows %4").arg(describe(edit), edit->text()).arg(shown).arg(room);
}

}  // namespace

QStringList dialogProblems(QWidget *window) { return layoutProblems(window, checkEdit); }

}  // namespace vorik::test

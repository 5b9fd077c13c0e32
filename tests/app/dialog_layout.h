#pragma once
// What a user would find cut in a shown window: every page of its tab
// widgets is looked at in turn.
// - An edit narrower than its longest allowed content in its own font: its
//   limit's worth of characters (LimitedEdit::sampleText, at most
//   LimitedEdit::kWidestChars), or the width it states for its kind when it
//   has no limit, and for a field of any text also as many digits; nor
//   narrower than the text it shows. Every edit of a dialog
//   is a LimitedEdit (an editable combo's own edit aside).
// - A label, check box or button narrower or lower than its text.
// - A control reaching outside the window, a window smaller than its layout's
//   minimum, or larger than a 1280 x 800 screen.
#include <QString>
#include <QStringList>

class QWidget;

namespace vorik::test {

QStringList layoutProblems(QWidget *window);

}  // namespace vorik::test

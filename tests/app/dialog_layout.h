#pragma once
// What a user would find cut in a register dialog: the checks of
// support/layout_check.h, with edits checked by this rule:
// - An edit narrower than its longest allowed content in its own font: its
//   limit's worth of characters (LimitedEdit::sampleText, at most
//   LimitedEdit::kWidestChars), or the width it states for its kind when it
//   has no limit, and for a field of any text also as many digits; nor
//   narrower than the text it shows. Every edit of a dialog
//   is a LimitedEdit (an editable combo's own edit aside).
#include "support/layout_check.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace vorik::test {

QStringList dialogProblems(QWidget *window);

}  // namespace vorik::test

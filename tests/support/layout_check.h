#pragma once
// What a user would find cut in a shown window: every page of its tab
// widgets is looked at in turn.
// - An edit narrower than the text it shows; by default also narrower than
//   its length limit's worth of digits (at most 40). A caller may check edits
//   by its own rule instead (the register's dialogs: tests/app/dialog_layout.h).
// - A label, check box or button narrower or lower than its text.
// - A control reaching outside the window, a window smaller than its layout's
//   minimum, or larger than a 1280 x 800 screen.
#include <QString>
#include <QStringList>

#include <functional>

class QLineEdit;
class QWidget;

namespace vorik::test {

using EditCheck = std::function<void(QLineEdit *edit, QStringList &problems)>;

QStringList layoutProblems(QWidget *window, const EditCheck &checkEdit = {});

// A widget as the problems name it: class and object name (or its text).
QString describe(const QWidget *w);
// The width in which an edit shows its text without scrolling it.
int textRoom(const QLineEdit *edit);
// The default edit rule.
void checkPlainEdit(QLineEdit *edit, QStringList &problems);

}  // namespace vorik::test

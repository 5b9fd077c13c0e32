#pragma once
// Small acts on a dialog that a test drives: typing as the user does (the
// edit's textEdited follows), choosing a list entry (activated follows), and
// the window layout check with the grab kept for looking at.
#include "support/layout_check.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <QWidget>

#include <gtest/gtest.h>

namespace designer::test {

inline void typeText(QLineEdit *edit, const QString &text) {
  edit->setText(text);
  QMetaObject::invokeMethod(edit, "textEdited", Q_ARG(QString, text));
}

inline void chooseEntry(QComboBox *combo, int index) {
  combo->setCurrentIndex(index);
  QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, index));
}

// Nothing cut in the shown window; its picture goes to /tmp/<objectName>.png.
inline void expectLaidOut(QWidget *window) {
  const QStringList problems = vorik::test::layoutProblems(window);
  EXPECT_TRUE(problems.isEmpty()) << window->objectName().toStdString() << ": "
                                  << problems.join(QLatin1Char('\n')).toStdString();
  window->grab().save(QStringLiteral("/tmp/%1.png").arg(window->objectName()));
}

}  // namespace designer::test

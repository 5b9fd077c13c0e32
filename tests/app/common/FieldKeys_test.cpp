#include "app/common/FieldKeys.h"
#include "app/common/LimitedEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

void type(QWidget *w, const QString &text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

void key(QWidget *w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, k, mods, k == Qt::Key_Return ? QStringLiteral("\r") : QString());
  QApplication::sendEvent(w, &press);
}

}  // namespace

TEST(FieldKeys, FilterAcceptsOnlyListedCharactersFromAnySource) {
  LimitedEdit date, decimal, signedDecimal, digits;
  FieldKeys::acceptOnly(&date, QStringLiteral("."));
  FieldKeys::acceptOnly(&decimal, QStringLiteral(","));
  FieldKeys::acceptOnly(&signedDecimal, QStringLiteral(",-"));
  FieldKeys::acceptOnly(&digits);
  type(&date, QStringLiteral("2025.03,01x"));
  EXPECT_EQ(date.text(), QStringLiteral("2025.0301"));
  type(&decimal, QStringLiteral("-12,5.e"));
  EXPECT_EQ(decimal.text(), QStringLiteral("12,5"));
  type(&signedDecimal, QStringLiteral("-12,5 "));
  EXPECT_EQ(signedDecimal.text(), QStringLiteral("-12,5"));
  type(&digits, QStringLiteral("1a2,3"));
  EXPECT_EQ(digits.text(), QStringLiteral("123"));
  // Backspace still works.
  key(&digits, Qt::Key_Backspace);
  EXPECT_EQ(digits.text(), QStringLiteral("12"));
  // Pasted text is held to the same characters.
  QApplication::clipboard()->setText(QStringLiteral("7x"));
  digits.paste();
  EXPECT_EQ(digits.text(), QStringLiteral("12"));
  QApplication::clipboard()->setText(QStringLiteral("78"));
  digits.paste();
  EXPECT_EQ(digits.text(), QStringLiteral("1278"));
}

TEST(FieldKeys, EnterMovesFocusAndNeverReachesTheDefaultButton) {
  QDialog dialog;
  auto *layout = new QVBoxLayout(&dialog);
  auto *a = new LimitedEdit(&dialog);
  auto *hidden = new QLineEdit(&dialog);
  auto *b = new QLineEdit(&dialog);
  auto *box = new QCheckBox(&dialog);
  auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
  for (QWidget *w : {static_cast<QWidget *>(a), static_cast<QWidget *>(hidden),
                     static_cast<QWidget *>(b), static_cast<QWidget *>(box),
                     static_cast<QWidget *>(ok)})
    layout->addWidget(w);
  ok->setDefault(true);
  bool accepted = false;
  QObject::connect(&dialog, &QDialog::accepted, [&] { accepted = true; });
  FieldKeys::acceptOnly(a);
  FieldKeys::installEnterNavigation(&dialog);
  hidden->setVisible(false);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  a->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), a);

  key(a, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), b);  // the hidden field is passed over
  EXPECT_TRUE(a->text().isEmpty());           // Enter is swallowed
  key(b, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), box);
  key(box, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), b);
  key(b, Qt::Key_Return);
  key(box, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), ok);
  key(ok, Qt::Key_Return);
  EXPECT_FALSE(accepted);
  // A widget added later is covered too.
  auto *late = new QLineEdit(&dialog);
  layout->addWidget(late);
  late->show();
  late->setFocus();
  QApplication::processEvents();
  key(late, Qt::Key_Return);
  EXPECT_NE(QApplication::focusWidget(), late);
  EXPECT_FALSE(accepted);
}

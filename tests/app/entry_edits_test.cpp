// In every dialog, each edit with a limit keeps a stored value longer than the
// limit whole (as loading sets it), takes no typed character beyond it, and
// takes typing up to the limit when emptied.
#include "app/About.h"
#include "app/common/LimitedEdit.h"
#include "dialog_factories.h"
#include "support/data_fixture.h"

#include <QApplication>
#include <QKeyEvent>

using namespace vorik::test;

namespace {

class EntryEdits : public DataModuleTest {
 protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    prepareDialogData();
    splash_ = TAboutBox::Interval();
    TAboutBox::SetInterval(600000);
  }
  void TearDown() override {
    TAboutBox::SetInterval(splash_);
    DataModuleTest::TearDown();
  }
  int splash_ = 0;
};

void typeChar(QWidget *w, QChar c) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
  QApplication::sendEvent(w, &press);
}

}  // namespace

TEST_F(EntryEdits, EveryLimitedEditKeepsALongerStoredValueWhole) {
  int checked = 0;
  for (const DialogFactory &factory : dialogFactories()) {
    SCOPED_TRACE(factory.name);
    std::unique_ptr<QWidget> dialog = factory.make();
    dialog->show();
    QApplication::processEvents();
    for (LimitedEdit *e : dialog->findChildren<LimitedEdit *>()) {
      if (e->limit() <= 0 || e->isReadOnly() || !e->isEnabled()) continue;
      const QString name = e->objectName();
      // A character the field's key filter accepts.
      const QChar c = e->acceptedChars().isEmpty() ? QLatin1Char('x') : e->acceptedChars().at(0);
      const QString stored(e->limit() + 3, c);
      e->setText(stored);
      EXPECT_EQ(e->text(), stored) << name.toStdString();
      e->setFocus();
      e->end(false);
      typeChar(e, c);
      EXPECT_EQ(e->text(), stored) << name.toStdString();
      e->clear();
      for (int i = 0; i < e->limit() + 2; ++i) typeChar(e, c);
      EXPECT_EQ(e->text().size(), e->limit()) << name.toStdString();
      ++checked;
    }
    dialog->hide();
  }
  EXPECT_GE(checked, 40);  // the producer entry alone has 33
}

// Escape in a field of an entry dialog keeps the dialog and what was typed;
// list and picker dialogs still close on it.
TEST_F(EntryEdits, EscapeClosesListsButNotEntryDialogs) {
  const QStringList entries = {QStringLiteral("TForm5"),  QStringLiteral("TForm7"),  QStringLiteral("TForm9"),
                               QStringLiteral("TForm10"), QStringLiteral("TForm17"), QStringLiteral("TForm39"),
                               QStringLiteral("TForm33")};
  const QStringList lists = {QStringLiteral("TForm4"), QStringLiteral("TForm6"), QStringLiteral("TForm8"),
                             QStringLiteral("TForm18")};
  int seen = 0;
  for (const DialogFactory &factory : dialogFactories()) {
    const QString name = QString::fromLatin1(factory.name);
    const bool entry = entries.contains(name);
    if (!entry && !lists.contains(name)) continue;
    SCOPED_TRACE(factory.name);
    ++seen;
    std::unique_ptr<QWidget> dialog = factory.make();
    dialog->show();
    QApplication::processEvents();
    // The first field that takes typing, else the dialog's own focus.
    QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog.get();
    for (LimitedEdit *e : dialog->findChildren<LimitedEdit *>()) {
      if (e->isVisible() && e->isEnabled() && !e->isReadOnly()) {
        target = e;
        break;
      }
    }
    target->setFocus();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &escape);
    QApplication::processEvents();
    EXPECT_EQ(dialog->isVisible(), entry);
    dialog->hide();
  }
  EXPECT_EQ(seen, entries.size() + lists.size());
}

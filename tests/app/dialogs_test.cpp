// Message boxes of each kind, read and answered through the GUI driver; also
// checks the driver itself on nested modal windows, on a step that never
// comes and on a step after a box whose code is still busy.
#include "platform/dialogs.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vorik::test;

namespace {

TEST(MessageBoxes, EachKindHasItsCaptionIconAndButtons) {
  struct Case {
    std::function<void()> show;
    QString kind, caption;
    QStringList buttons;
    QMessageBox::StandardButton press;
  };
  const QString text = QStringLiteral("Hiba41: östermelö DELETE törlésekor");
  const std::vector<Case> cases = {
      {[&] { platform::showMessage(text); }, "Message", "Vorik", {"OK"}, QMessageBox::Ok},
      {[&] { platform::information(text); }, "Information", "Information", {"OK"}, QMessageBox::Ok},
      {[&] { platform::warning(text); }, "Warning", "Warning", {"OK"}, QMessageBox::Ok},
      {[&] { platform::error(text); }, "Error", "Error", {"OK"}, QMessageBox::Ok},
      {[&] { platform::confirmYes(text); }, "Confirmation", "Confirmation", {"Yes"},
       QMessageBox::Yes},
  };
  QApplication::setApplicationName(QStringLiteral("Vorik"));
  for (const Case &c : cases) {
    MessageSeen seen;
    ModalScript script;
    script.then(answer(c.press, &seen));
    EXPECT_TRUE(script.run(c.show));
    EXPECT_EQ(seen.kind, c.kind);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.buttons, c.buttons) << c.kind.toStdString();
  }
}

TEST(MessageBoxes, QuestionsReturnTheAnswer) {
  bool yes = false;
  MessageSeen seen;
  ModalScript s1;
  s1.then(answer(QMessageBox::No, &seen));
  s1.run([&] { yes = platform::confirmYesNo(QStringLiteral("Törli?")); });
  EXPECT_TRUE(s1.done());
  EXPECT_FALSE(yes);
  EXPECT_EQ(seen.buttons, (QStringList{"Yes", "No"}));

  ModalScript s2;
  s2.then(answer(QMessageBox::Yes));
  s2.run([&] { yes = platform::confirmYesNo(QStringLiteral("Törli?")); });
  EXPECT_TRUE(yes);

  QMessageBox::StandardButton b = QMessageBox::NoButton;
  ModalScript s3;
  s3.then(answer(QMessageBox::Cancel, &seen));
  s3.run([&] { b = platform::confirmYesNoCancel(QStringLiteral("Menti?")); });
  EXPECT_EQ(b, QMessageBox::Cancel);
  EXPECT_EQ(seen.buttons, (QStringList{"Yes", "No", "Cancel"}));
}

TEST(MessageBoxes, ClosingWithoutAButtonAnswersTheEscapeButton) {
  // A one-button box answers its button; a Yes/No question answers No.
  QMessageBox::StandardButton b = QMessageBox::NoButton;
  ModalScript s1;
  s1.then([](QWidget *w) { closeWindow(w); });
  s1.run([&] {
    b = platform::messageBox(platform::MessageKind::Confirmation, QStringLiteral("x"),
                             QMessageBox::Yes);
  });
  EXPECT_EQ(b, QMessageBox::Yes);

  bool yes = true;
  ModalScript s2;
  s2.then([](QWidget *w) { closeWindow(w); });
  s2.run([&] { yes = platform::confirmYesNo(QStringLiteral("Törli?")); });
  EXPECT_FALSE(yes);
}

TEST(MessageBoxes, CarriageReturnBreaksTheLineAndTheTextIsKept) {
  const QString text = QStringLiteral("első sor") + QChar(13) + QStringLiteral("második sor");
  QString shown;
  MessageSeen seen;
  ModalScript script;
  script.then([&](QWidget *w) {
    shown = qobject_cast<QMessageBox *>(w)->text();
    answer(QMessageBox::Yes, &seen)(w);
  });
  script.run([&] { platform::confirmYes(text); });
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(shown, QStringLiteral("első sor\nmásodik sor"));
  EXPECT_EQ(shown.split('\n').size(), 2);
}

// A dialog whose button opens a nested box, as a dialog's failed save does.
class NestedDialog : public QDialog {
 public:
  NestedDialog() {
    setObjectName(QStringLiteral("Form99"));
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit1"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(edit);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this, edit] {
      if (edit->text().isEmpty()) {
        platform::confirmYes(QStringLiteral("Nincs megadva!"));
        return;  // stays open
      }
      saved = edit->text();
      accept();
    });
  }
  QString saved;
};

TEST(GuiDriver, AnswersNestedBoxesAndComesBackToTheDialog) {
  NestedDialog dlg;
  MessageSeen seen;
  QString secondTarget;
  ModalScript script;
  script.then([](QWidget *w) { click(w, "Button1"); })  // empty: the box
      .then(answer(QMessageBox::Yes, &seen))
      .then([&](QWidget *w) {  // the dialog again, still open
        secondTarget = w->objectName();
        setText(w, "Edit1", "123");
        click(w, "Button1");
      });
  int result = -1;
  EXPECT_TRUE(script.run([&] { result = dlg.exec(); }));
  EXPECT_EQ(seen.text, QStringLiteral("Nincs megadva!"));
  EXPECT_EQ(secondTarget, QStringLiteral("Form99"));
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dlg.saved, QStringLiteral("123"));
}

TEST(GuiDriver, AStepThatNeverComesEndsTheModalLoopsInsteadOfHanging) {
  NestedDialog dlg;
  ModalScript script;
  script.then([](QWidget *) {});  // leaves the dialog open
  script.then([](QWidget *) {});  // never comes
  int result = -1;
  script.run([&] { result = dlg.exec(); }, 300);
  EXPECT_FALSE(script.done());
  EXPECT_EQ(script.stepsRun(), 1);
  EXPECT_EQ(result, QDialog::Rejected);
}

// A dialog whose button shows a box and goes on working after it, letting
// events through, before it puts back what it changed: as an export restores
// the decimal separator only when it returns.
class BusyAfterTheBox : public QDialog {
 public:
  enum class After { ProcessEvents, NestedLoop };
  explicit BusyAfterTheBox(After after) {
    auto *go = new QPushButton(QStringLiteral("Go"), this);
    go->setObjectName(QStringLiteral("Button1"));
    connect(go, &QPushButton::clicked, this, [this, after] {
      state = QStringLiteral("changed");
      platform::information(QStringLiteral("Kész."));
      if (after == After::ProcessEvents) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 150) QCoreApplication::processEvents();
      } else {
        QEventLoop loop;
        QTimer::singleShot(150, &loop, &QEventLoop::quit);
        loop.exec();
      }
      state = QStringLiteral("restored");
    });
  }
  QString state = QStringLiteral("restored");
};

TEST(GuiDriver, AStepAfterABoxRunsOnlyOnceTheCodeThatShowedTheBoxHasReturned) {
  for (const auto after : {BusyAfterTheBox::After::ProcessEvents, BusyAfterTheBox::After::NestedLoop}) {
    BusyAfterTheBox dlg(after);
    QString stateInStep;
    ModalScript script;
    script.then([](QWidget *w) { click(w, "Button1"); })
        .then(answer(QMessageBox::Ok))
        .then([&](QWidget *w) {
          stateInStep = dlg.state;
          closeWindow(w);
        });
    EXPECT_TRUE(script.run([&] { dlg.exec(); }));
    EXPECT_EQ(stateInStep, QStringLiteral("restored")) << (after == BusyAfterTheBox::After::NestedLoop);
  }
}

}  // namespace

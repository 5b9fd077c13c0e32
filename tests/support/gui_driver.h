#pragma once
// Drives real modal dialogs from a test. A dialog's exec() blocks the test, so
// the test first lists what to do with each modal window as it appears, then
// runs the code that opens the first one:
//
//   vorik::test::ModalScript script;
//   script.then([](QWidget *dlg) {                 // the dialog
//     setText(dlg, "Edit1", "123");
//     click(dlg, "Button1");                        // queued: returns at once
//   });
//   script.then(answer(QMessageBox::Yes, &msg));    // the box Button1 opens
//   ASSERT_TRUE(script.run([&] { form->someCommand(); }));  // opens the dialog;
//                                                   // every step ran, else why not
//
// Each step runs on the active modal window once it differs from the window
// the previous step acted on (for the first step: from the one active when
// run() was called) and the event loop is idle: the innermost loop is about
// to wait for events, so no code of the program is on the stack above it.
// The report engine's progress window ("frProgressForm") is never a step's
// window. A window that a nested box covered is a new target once the box
// has closed and the loop the window last ran a step in is the innermost
// again: the code that showed the box has returned (restored what it
// changed) before the step reads anything. Buttons are clicked through
// queued calls so that a slot opening a nested modal loop runs after the
// step has returned. When the steps do not all run within the time limit,
// run() closes every modal window left, so a test never hangs.
#include "support/qt_print.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace vorik::test {

// Calls poll, while it lives, whenever the innermost event loop is about to
// wait for events: no code of the program is then on the stack above that
// loop (a QCoreApplication::processEvents() of the program does not wait, so
// it never polls). The rule every step of the driver keeps; for a test's
// own watch over windows that are no script's (a main window showing, boxes
// and dialogs of a child process's commands). A poll that starts a nested
// loop of its own posts it (a queued call) instead of running it there.
class OnIdle {
 public:
  explicit OnIdle(std::function<void()> poll);
  ~OnIdle();
  OnIdle(const OnIdle &) = delete;
  OnIdle &operator=(const OnIdle &) = delete;

 private:
  std::unique_ptr<QTimer> turn_;
};

// What a message box showed.
struct MessageSeen {
  QString kind;     // objectName: "Message", "Information", "Confirmation", "Warning", "Error"
  QString caption;  // window title
  QString text;     // as given to the box (a CR stays a CR)
  QStringList buttons;  // button objectNames, in the order OK, Yes, No, Cancel
};

class ModalScript {
 public:
  using Step = std::function<void(QWidget *)>;

  // Adds a step for the next modal window.
  ModalScript &then(Step step);

  // Calls open() (which may block in a modal loop) and, when it returns
  // before every step ran, keeps the event loop going until they have or
  // timeoutMs has passed. Succeeds when done(), else fails with failure().
  ::testing::AssertionResult run(const std::function<void()> &open, int timeoutMs = 10000);
  // Like run(), but stops waiting when open() returns: for windows that
  // may or may not appear while it runs (done() then tells which).
  ::testing::AssertionResult runUntilReturn(const std::function<void()> &open, int timeoutMs = 10000);

  bool done() const { return next_ == steps_.size() && failure_.isEmpty(); }
  int stepsRun() const { return static_cast<int>(next_); }
  QString failure() const;

 private:
  ::testing::AssertionResult played() const;
  void poll();
  void runImpl(const std::function<void()> &open, int timeoutMs, bool waitAfter);

  std::vector<Step> steps_;
  size_t next_ = 0;
  QPointer<QWidget> last_;
  // The window that was modal when the script started: the script drives it
  // from inside, so its coming back between two boxes is no step.
  QPointer<QWidget> start_;
  bool lastWasNull_ = true;
  QString failure_;
  bool inStep_ = false;
  unsigned run_ = 0;  // tells this run's marks on windows from earlier ones
};

// The active modal window, or null.
QWidget *activeModal();

// A new form of type T, shown (not modal), with the program's pointer to
// the open form (global) pointing to it.
template <class T>
std::unique_ptr<T> showForm(T *&global) {
  auto f = std::make_unique<T>(nullptr);
  global = f.get();
  f->show();
  return f;
}

// The child named name (objectName) of root, of type T; records a test
// failure and returns null when there is none.
QObject *findNamed(QObject *root, const QString &name);
template <class T>
T *child(QObject *root, const QString &name) {
  return qobject_cast<T *>(findNamed(root, name));
}

// Fills a line edit, text edit, plain text edit or combo box (editable: its
// text; otherwise the item with that text).
void setText(QObject *root, const QString &name, const QString &text);
// The displayed text of a label, line edit, text edit, combo box or button.
QString textOf(QObject *root, const QString &name);
// The column titles a grid (a table view) shows, in order.
QStringList columnTitles(QObject *root, const QString &name);
// Checks or unchecks a check box or radio button.
void setChecked(QObject *root, const QString &name, bool checked);
// Clicks a button or triggers an action, through a queued call.
void click(QObject *root, const QString &name);
// Closes a window through a queued call (as its close button would).
void closeWindow(QWidget *window);

// Reads a message box.
MessageSeen readMessage(QWidget *box);
// A step that reads the message box into *seen (when given) and presses the
// button (a queued click). Records a failure when the window is not a
// message box or has no such button.
ModalScript::Step answer(QMessageBox::StandardButton button, MessageSeen *seen = nullptr);

// Runs action, which shows one message box, answers it with button and
// returns its text (a test failure when no box came within timeoutMs).
QString messageOf(const std::function<void()> &action, QMessageBox::StandardButton button = QMessageBox::Ok,
                  int timeoutMs = 5000);

// Runs action and answers every message box it opens, in turn, with the next
// of answers (OK, or the only button, once they run out), each once the event
// loop is idle, as a script's steps are. Windows other than
// message boxes are left alone: a dialog that is active again between two
// boxes takes no answer. Returns the boxes seen, in order; records a failure
// when fewer boxes appeared than answers were given.
std::vector<MessageSeen> answerBoxes(const std::function<void()> &action,
                                     const std::vector<QMessageBox::StandardButton> &answers = {});

// Runs action and the events it posted, answering with OK the given number
// of boxes as they come, and waits no longer once action has returned
// (runUntilReturn); a test failure unless every one of them came. The boxes seen.
std::vector<MessageSeen> answerOk(const std::function<void()> &action, int boxes, int timeoutMs = 20000);

}  // namespace vorik::test

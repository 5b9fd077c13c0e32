#include "support/gui_driver.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace vorik::test {

ModalScript &ModalScript::then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

QString ModalScript::failure() const {
  if (!failure_.isEmpty()) return failure_;
  if (next_ < steps_.size())
    return QStringLiteral("only %1 of %2 modal steps ran").arg(next_).arg(steps_.size());
  return QString();
}

namespace {

// The event loop level at which a script's run last acted on a window,
// forgotten when the window hides (shown again, it may run at another level).
class ActedAt : public QObject {
 public:
  explicit ActedAt(QWidget *window) : QObject(window) { window->installEventFilter(this); }
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (watched == parent() && event->type() == QEvent::Hide) level = -1;
    return false;
  }
  unsigned run = 0;
  int level = -1;
};

// The mark a run left on window, or null.
ActedAt *actedAt(QWidget *window) {
  for (QObject *child : window->children())
    if (auto *mark = dynamic_cast<ActedAt *>(child)) return mark;
  return nullptr;
}

int loopLevel() { return QThread::currentThread()->loopLevel(); }

}  // namespace

// Its timer keeps the loops turning (each turn ends about to wait) and ends
// the calls with it.
OnIdle::OnIdle(std::function<void()> poll) : turn_(std::make_unique<QTimer>()) {
  turn_->setInterval(5);
  QObject::connect(turn_.get(), &QTimer::timeout, [] {});
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, turn_.get(),
                   std::move(poll));
  turn_->start();
}

OnIdle::~OnIdle() = default;

void ModalScript::poll() {
  if (inStep_ || next_ >= steps_.size()) return;
  QWidget *w = activeModal();
  if (!w || !w->isVisible()) return;
  // The report engine's progress window comes and goes by itself while a
  // report builds or prints; it is no step's window.
  if (w->objectName() == QLatin1String("frProgressForm")) return;
  if (w == start_) {
    last_ = w;
    lastWasNull_ = false;
    return;
  }
  if (!lastWasNull_ && last_ == w) return;
  // A window acted on before is active again as soon as the box over it has
  // closed, while the box's loop and the code that showed it may still be on
  // the stack: only once the loop it last ran a step in (or one below) is
  // the innermost again has that code returned.
  ActedAt *acted = actedAt(w);
  if (acted && acted->run == run_ && acted->level >= 0 && loopLevel() > acted->level) return;
  last_ = w;
  lastWasNull_ = false;
  if (!acted) acted = new ActedAt(w);
  acted->run = run_;
  acted->level = loopLevel();
  inStep_ = true;
  steps_[next_++](w);
  inStep_ = false;
}

::testing::AssertionResult ModalScript::run(const std::function<void()> &open, int timeoutMs) {
  runImpl(open, timeoutMs, true);
  return played();
}

::testing::AssertionResult ModalScript::runUntilReturn(const std::function<void()> &open, int timeoutMs) {
  runImpl(open, timeoutMs, false);
  return played();
}

::testing::AssertionResult ModalScript::played() const {
  if (done()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failure().toStdString();
}

void ModalScript::runImpl(const std::function<void()> &open, int timeoutMs, bool waitAfter) {
  static unsigned runs = 0;
  run_ = ++runs;
  QWidget *start = activeModal();
  start_ = start;
  last_ = start;
  lastWasNull_ = (start == nullptr);
  const OnIdle idle([this] { poll(); });
  QElapsedTimer clock;
  clock.start();
  // Past the time limit, modal windows are closed one by one so the test ends.
  QTimer guard;
  guard.setInterval(50);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    if (clock.elapsed() < timeoutMs) return;
    if (failure_.isEmpty()) failure_ = failure();
    if (failure_.isEmpty()) failure_ = QStringLiteral("modal windows still open after the time limit");
    if (QWidget *w = activeModal(); w && w != start) {
      if (auto *d = qobject_cast<QDialog *>(w)) d->reject();
      else w->close();
    }
  });
  guard.start();
  open();
  while (waitAfter && next_ < steps_.size() && clock.elapsed() < timeoutMs) {
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  if (waitAfter && next_ < steps_.size() && failure_.isEmpty()) failure_ = failure();
}

QWidget *activeModal() { return QApplication::activeModalWidget(); }

QObject *findNamed(QObject *root, const QString &name) {
  if (!root) {
    ADD_FAILURE() << "no window to look for " << name.toStdString() << " in";
    return nullptr;
  }
  if (root->objectName() == name) return root;
  QObject *found = root->findChild<QObject *>(name);
  if (!found)
    ADD_FAILURE() << "no " << name.toStdString() << " in " << root->objectName().toStdString();
  return found;
}

void setText(QObject *root, const QString &name, const QString &text) {
  QObject *o = findNamed(root, name);
  if (auto *e = qobject_cast<QLineEdit *>(o)) e->setText(text);
  else if (auto *t = qobject_cast<QTextEdit *>(o)) t->setPlainText(text);
  else if (auto *p = qobject_cast<QPlainTextEdit *>(o)) p->setPlainText(text);
  else if (auto *c = qobject_cast<QComboBox *>(o)) {
    if (c->isEditable()) c->setEditText(text);
    else c->setCurrentIndex(c->findText(text));
  } else if (o) ADD_FAILURE() << name.toStdString() << " takes no text";
}

QStringList columnTitles(QObject *root, const QString &name) {
  auto *grid = qobject_cast<QTableView *>(findNamed(root, name));
  QStringList titles;
  if (!grid || !grid->model()) return titles;
  for (int c = 0; c < grid->model()->columnCount(); ++c)
    titles << grid->model()->headerData(c, Qt::Horizontal).toString();
  return titles;
}

QString textOf(QObject *root, const QString &name) {
  QObject *o = findNamed(root, name);
  if (auto *l = qobject_cast<QLabel *>(o)) return l->text();
  if (auto *e = qobject_cast<QLineEdit *>(o)) return e->text();
  if (auto *t = qobject_cast<QTextEdit *>(o)) return t->toPlainText();
  if (auto *p = qobject_cast<QPlainTextEdit *>(o)) return p->toPlainText();
  if (auto *c = qobject_cast<QComboBox *>(o)) return c->currentText();
  if (auto *b = qobject_cast<QAbstractButton *>(o)) return b->text();
  if (auto *a = qobject_cast<QAction *>(o)) return a->text();
  if (auto *w = qobject_cast<QWidget *>(o)) return w->windowTitle();
  return QString();
}

void setChecked(QObject *root, const QString &name, bool checked) {
  QObject *o = findNamed(root, name);
  if (auto *b = qobject_cast<QAbstractButton *>(o)) b->setChecked(checked);
  else if (o) ADD_FAILURE() << name.toStdString() << " cannot be checked";
}

void click(QObject *root, const QString &name) {
  QObject *o = findNamed(root, name);
  if (auto *b = qobject_cast<QAbstractButton *>(o))
    QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
  else if (auto *a = qobject_cast<QAction *>(o))
    QMetaObject::invokeMethod(a, [a] { a->trigger(); }, Qt::QueuedConnection);
  else if (o) ADD_FAILURE() << name.toStdString() << " is not a button or action";
}

void closeWindow(QWidget *window) {
  QPointer<QWidget> w(window);
  QMetaObject::invokeMethod(
      qApp, [w] { if (w) w->close(); }, Qt::QueuedConnection);
}

MessageSeen readMessage(QWidget *box) {
  MessageSeen seen;
  auto *mb = qobject_cast<QMessageBox *>(box);
  if (!mb) return seen;
  seen.kind = mb->objectName();
  seen.caption = mb->windowTitle();
  QVariant raw = mb->property("rawText");
  seen.text = raw.isValid() ? raw.toString() : mb->text();
  // The layout's order depends on the desktop style; report a fixed one.
  QList<QAbstractButton *> buttons = mb->buttons();
  std::sort(buttons.begin(), buttons.end(), [mb](QAbstractButton *a, QAbstractButton *b) {
    return mb->standardButton(a) < mb->standardButton(b);
  });
  for (QAbstractButton *b : buttons) seen.buttons << b->objectName();
  return seen;
}

ModalScript::Step answer(QMessageBox::StandardButton button, MessageSeen *seen) {
  return [button, seen](QWidget *w) {
    auto *mb = qobject_cast<QMessageBox *>(w);
    if (!mb) {
      ADD_FAILURE() << "expected a message box, found "
                    << (w ? w->metaObject()->className() : "nothing");
      if (auto *d = qobject_cast<QDialog *>(w)) d->reject();
      return;
    }
    if (seen) *seen = readMessage(mb);
    QAbstractButton *b = mb->button(button);
    if (!b) {
      ADD_FAILURE() << "the box \"" << mb->text().toStdString() << "\" has no such button";
      b = mb->escapeButton();
    }
    if (b) QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
    else mb->reject();
  };
}

QString messageOf(const std::function<void()> &action, QMessageBox::StandardButton button, int timeoutMs) {
  ModalScript script;
  MessageSeen seen;
  script.then(answer(button, &seen));
  EXPECT_TRUE(script.run(action, timeoutMs));
  return seen.text;
}

std::vector<MessageSeen> answerOk(const std::function<void()> &action, int boxes, int timeoutMs) {
  std::vector<MessageSeen> seen(static_cast<std::size_t>(boxes));
  ModalScript script;
  for (auto &s : seen) script.then(answer(QMessageBox::Ok, &s));
  EXPECT_TRUE(script.runUntilReturn(
      [&] {
        action();
        QApplication::processEvents();
      },
      timeoutMs));
  return seen;
}

std::vector<MessageSeen> answerBoxes(const std::function<void()> &action,
                                     const std::vector<QMessageBox::StandardButton> &answers) {
  std::vector<MessageSeen> seen;
  const OnIdle idle([&] {
    auto *box = qobject_cast<QMessageBox *>(activeModal());
    if (!box || !box->isVisible() || box->property("answeredByTest").toBool()) return;
    box->setProperty("answeredByTest", true);
    const std::size_t i = seen.size();
    seen.push_back(readMessage(box));
    QAbstractButton *b = box->button(i < answers.size() ? answers[i] : QMessageBox::Ok);
    if (!b && i < answers.size()) ADD_FAILURE() << "the box \"" << box->text().toStdString() << "\" has no such button";
    if (!b) b = box->escapeButton();
    if (b) QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
    else box->reject();
  });
  action();
  if (seen.size() < answers.size()) ADD_FAILURE() << answers.size() << " boxes expected, " << seen.size() << " seen";
  return seen;
}

}  // namespace vorik::test

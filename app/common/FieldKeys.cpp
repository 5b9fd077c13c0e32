#include "app/common/FieldKeys.h"

#include "app/common/LimitedEdit.h"
#include "platform/conv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace FieldKeys {

void acceptOnly(LimitedEdit *edit, const QString &extra) {
  // Every edit (typed, pasted, dropped) that would put another character into
  // the field is refused; setText by the program is not affected.
  edit->setAcceptedChars(QStringLiteral("0123456789") + extra);
}

void setNumberDefault(LimitedEdit *edit, const QString &text) {
  long double number = 0;
  const bool typable = edit->accepts(text);
  edit->setText(typable && platform::TryStrToFloat(text, number) ? text : QString());
}

namespace {

class EnterNavigation : public QObject {
 public:
  explicit EnterNavigation(QWidget *dialog) : QObject(dialog), dialog_(dialog) { watch(dialog); }

  void watch(QWidget *w) {
    w->installEventFilter(this);
    for (QWidget *c : w->findChildren<QWidget *>()) c->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject *obj, QEvent *ev) override {
    if (ev->type() == QEvent::ChildAdded) {
      auto *ce = static_cast<QChildEvent *>(ev);
      if (ce->child()->isWidgetType()) watch(static_cast<QWidget *>(ce->child()));
      return false;
    }
    if (ev->type() != QEvent::KeyPress && ev->type() != QEvent::ShortcutOverride) return false;
    auto *ke = static_cast<QKeyEvent *>(ev);
    if (ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter) return false;
    if (ev->type() == QEvent::ShortcutOverride) {
      ev->accept();  // keep Enter away from shortcuts and default buttons
      return true;
    }
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != dialog_->window()) focus = qobject_cast<QWidget *>(obj);
    if (focus) {
      // focusNextPrevChild of the window walks the tab chain from the focus widget.
      const bool back = ke->modifiers().testFlag(Qt::ShiftModifier);
      QWidget *w = back ? focus->previousInFocusChain() : focus->nextInFocusChain();
      while (w && w != focus &&
             (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(dialog_->window()) ||
              !w->isEnabled() || w->window() != dialog_->window()))
        w = back ? w->previousInFocusChain() : w->nextInFocusChain();
      if (w && w != focus) w->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    }
    return true;
  }

 private:
  QWidget *dialog_;
};

// On the dialog itself: a control that uses Escape (an open drop-down) gets
// it first; what it passes on stops here instead of closing the dialog.
class EscapeIgnored : public QObject {
 public:
  explicit EscapeIgnored(QWidget *dialog) : QObject(dialog) { dialog->installEventFilter(this); }

 protected:
  bool eventFilter(QObject *, QEvent *ev) override {
    return ev->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(ev)->key() == Qt::Key_Escape;
  }
};

}  // namespace

void installEnterNavigation(QWidget *dialog) { new EnterNavigation(dialog); }

void ignoreEscape(QWidget *dialog) { new EscapeIgnored(dialog); }

}  // namespace FieldKeys

#include "layout_check.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include <algorithm>

namespace vorik::test {

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

}  // namespace

QString describe(const QWidget *w) {
  QString name = w->objectName();
  if (name.isEmpty()) {
    if (auto *l = qobject_cast<const QLabel *>(w)) name = QLatin1Char('"') + l->text() + QLatin1Char('"');
    if (auto *b = qobject_cast<const QAbstractButton *>(w)) name = QLatin1Char('"') + b->text() + QLatin1Char('"');
  }
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), name);
}

// The width in which an edit shows its text without scrolling it.
int textRoom(const QLineEdit *edit) {
  QStyleOptionFrame opt;
  opt.initFrom(edit);
  opt.rect = edit->rect();
  opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
  opt.midLineWidth = 0;
  opt.state |= QStyle::State_Sunken;
  const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
  const QMargins tm = edit->textMargins();
  constexpr int kHorizontalMargin = 2;  // QLineEdit's own, each side
  return contents.width() - 2 * kHorizontalMargin - tm.left() - tm.right();
}

void checkPlainEdit(QLineEdit *edit, QStringList &problems) {
  const QFontMetrics fm = edit->fontMetrics();
  const int room = textRoom(edit);
  // An edit with a length limit takes that many digits (at most 40).
  if (edit->maxLength() < 32767) {
    const int chars = std::min(edit->maxLength(), 40);
    const int need = fm.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 1;
    if (need > room)
      problems << QStringLiteral("%1: %2 characters need %3 px, it shows %4").arg(describe(edit)).arg(chars).arg(need).arg(room);
  }
  const int shown = fm.horizontalAdvance(edit->text().left(40)) + 1;
  if (edit->echoMode() == QLineEdit::Normal && shown > room)
    problems << QStringLiteral("%1: its text \"%2\" needs %3 px, it shows %4").arg(describe(edit), edit->text()).arg(shown).arg(room);
}

namespace {

// Widgets inside scrolling views (a grid's parts, a tab bar's arrows) are
// theirs to clip.
bool insideScrollArea(const QWidget *w, const QWidget *window) {
  for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
    if (p->inherits("QAbstractScrollArea")) return true;
  return false;
}

void checkVisible(QWidget *window, const EditCheck &checkEdit, QStringList &problems) {
  const QRect inside = window->rect();
  for (QWidget *w : window->findChildren<QWidget *>()) {
    if (!w->isVisibleTo(window) || w->isWindow()) continue;
    const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
    if (!inside.contains(at) && !insideScrollArea(w, window))
      problems << QStringLiteral("%1 reaches outside the window").arg(describe(w));
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
      if (qobject_cast<QComboBox *>(edit->parentWidget()) || qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
        continue;
      (checkEdit ? checkEdit : checkPlainEdit)(edit, problems);
    } else {
      // A label, check box or button: as wide and high as its text needs.
      auto *label = qobject_cast<QLabel *>(w);
      auto *button = qobject_cast<QAbstractButton *>(w);
      const QString text = label ? label->text() : button ? button->text() : QString();
      if (text.isEmpty() || (label && label->wordWrap())) continue;
      const QSize need = w->sizeHint();
      if (w->width() < need.width() || w->height() < need.height())
        problems << QStringLiteral("%1 is cut: %2 x %3 of %4 x %5")
                        .arg(describe(w))
                        .arg(w->width())
                        .arg(w->height())
                        .arg(need.width())
                        .arg(need.height());
    }
  }
}

}  // namespace

QStringList layoutProblems(QWidget *window, const EditCheck &checkEdit) {
  QStringList problems;
  const QSize minimum = window->minimumSizeHint();
  if (window->width() < minimum.width() || window->height() < minimum.height())
    problems << QStringLiteral("the window is %1 x %2, its layout needs %3 x %4")
                    .arg(window->width())
                    .arg(window->height())
                    .arg(minimum.width())
                    .arg(minimum.height());
  if (window->width() > kScreenWidth || window->height() > kScreenHeight)
    problems << QStringLiteral("the window is %1 x %2, larger than a %3 x %4 screen")
                    .arg(window->width())
                    .arg(window->height())
                    .arg(kScreenWidth)
                    .arg(kScreenHeight);
  // Each page of every tab widget in turn; the page shown at the start last.
  const QList<QTabWidget *> tabs = window->findChildren<QTabWidget *>();
  if (tabs.isEmpty()) {
    checkVisible(window, checkEdit, problems);
    return problems;
  }
  for (QTabWidget *t : tabs) {
    const int start = t->currentIndex();
    for (int i = 0; i < t->count(); ++i) {
      t->setCurrentIndex(i);
      QApplication::processEvents();
      QStringList found;
      checkVisible(window, checkEdit, found);
      for (const QString &p : found)
        if (!problems.contains(p)) problems << p;
    }
    t->setCurrentIndex(start);
  }
  QApplication::processEvents();
  return problems;
}

}  // namespace vorik::test

#include "app/common/Navigator.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QToolButton>

#include "app/common/Guarded.h"
#include "db/dataset.h"

QFrame *MakeNavigator(QWidget *parent, db::DataSet *dataSet, const QString &name) {
  auto *frame = new QFrame(parent);
  frame->setObjectName(name);
  auto *layout = new QHBoxLayout(frame);
  layout->setContentsMargins(0, 0, 0, 0);
  QPointer<db::DataSet> ds(dataSet);
  const struct {
    const char *name;
    const char *text;
    void (db::DataSet::*move)();
  } buttons[] = {{"NavFirst", "|<", &db::DataSet::first},
                 {"NavPrior", "<", &db::DataSet::prior},
                 {"NavNext", ">", &db::DataSet::next},
                 {"NavLast", ">|", &db::DataSet::last}};
  for (const auto &b : buttons) {
    auto *button = new QToolButton(frame);
    button->setObjectName(QLatin1String(b.name));
    button->setText(QLatin1String(b.text));
    button->setFocusPolicy(Qt::NoFocus);
    const auto move = b.move;
    // Moving may fetch rows; a failed fetch is shown, not thrown into the event loop.
    QObject::connect(button, &QToolButton::clicked, frame, [ds, move] {
      RunGuarded([&] {
        if (ds && ds->active() && !ds->isEmpty()) (ds.data()->*move)();
      });
    });
    layout->addWidget(button);
  }
  layout->addStretch();
  return frame;
}

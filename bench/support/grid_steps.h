// A shown list dialog's grid at each step a user takes, the grid's reactions
// included (events processed): the benchmark's second argument is the step,
// 0 a new dialog opened, 1 a search keystroke near the row, 2 one far away,
// 3 Ctrl+Home from the list's end, 4 Ctrl+End from its start; with the rows
// the grid holds after it.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QTableView>

#include <memory>

#include <benchmark/benchmark.h>

namespace bench {

// open gives a new dialog (with Edit1 and DBGrid1); search(dialog) acts on
// the text just put in Edit1; near and far are the texts typed in turn.
template <class Open, class Search>
void RunGridSteps(benchmark::State &state, Open open, Search search, const QStringList &near, const QStringList &far) {
  const int step = static_cast<int>(state.range(1));
  auto form = open();
  form->show();
  QApplication::processEvents();
  auto key = [&](Qt::Key k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::ControlModifier);
    QApplication::sendEvent(form->DBGrid1, &press);
    QApplication::processEvents();
  };
  qsizetype i = 0;
  for (auto _ : state) {
    switch (step) {
      case 0:
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
        form = open();
        form->show();
        QApplication::processEvents();
        break;
      case 1:
      case 2: {
        const QStringList &texts = step == 1 ? near : far;
        form->Edit1->setText(texts[i++ % texts.size()]);
        search(*form);
        QApplication::processEvents();
        break;
      }
      default:
        state.PauseTiming();
        key(step == 3 ? Qt::Key_End : Qt::Key_Home);
        state.ResumeTiming();
        key(step == 3 ? Qt::Key_Home : Qt::Key_End);
        break;
    }
  }
  state.counters["rows_held"] = form->DBGrid1->model()->rowCount();
}

}  // namespace bench

#include "app/common/ListGrid.h"

#include "app/common/ColumnTitles.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <memory>

namespace {

// Rows from the first row held at which the grid reads the rows before it.
constexpr int kMargin = 5;

db::DataSet *dataSetOf(db::DataSetModel *model) {
  db::DataSource *source = model->dataSource();
  db::DataSet *d = source ? source->dataSet() : nullptr;
  return d && d->active() ? d : nullptr;
}

// Ctrl+Home and Ctrl+End on the grid move the dataset, not the grid: the
// grid holds a stretch of the list only.
class ListKeys : public QObject {
 public:
  ListKeys(QTableView *grid, db::DataSetModel *model) : QObject(grid), model_(model) {}

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    if (!(ke->modifiers() & Qt::ControlModifier) || (ke->key() != Qt::Key_Home && ke->key() != Qt::Key_End))
      return QObject::eventFilter(watched, event);
    const bool home = ke->key() == Qt::Key_Home;
    RunGuarded([&] {
      if (db::DataSet *d = dataSetOf(model_); d && !d->isEmpty()) home ? d->first() : d->last();
    });
    return true;
  }

 private:
  QPointer<db::DataSetModel> model_;
};

// Whether the grid shows the whole height of row.
bool wholeRowShown(QTableView *grid, int row) {
  const int top = grid->rowViewportPosition(row);
  return top >= 0 && top + grid->rowHeight(row) <= grid->viewport()->height();
}

}  // namespace

void BindListGrid(QTableView *grid, db::DataSetModel *model, bool listTitles) {
  if (listTitles) model->setTitles(ListColumnTitles());
  grid->setModel(model);
  model->bindSelection(grid->selectionModel());
  grid->installEventFilter(new ListKeys(grid, model));
  // The rows before the first one held, once the grid comes near it; not
  // while the grid adjusts to rows put in front, nor while a list opened
  // anew is not yet shown on its current row (the grid then stands at its
  // top for a moment).
  auto busy = std::make_shared<bool>(false);
  auto settling = std::make_shared<bool>(false);
  auto nearStart = [grid, model, busy, settling] {
    if (*busy || *settling || model->startFetched()) return;
    const int top = grid->rowAt(0);
    if (top < 0 || top >= kMargin) return;
    *busy = true;
    model->fetchEarlier();
    *busy = false;
  };
  QObject::connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, grid, nearStart);
  // A list opened anew shows the whole of its current row (the scroll
  // bars laid out first: a horizontal one takes height from the rows), and
  // only then reads on.
  QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, grid, [settling] { *settling = true; });
  QObject::connect(model, &QAbstractItemModel::modelReset, grid, [grid, nearStart, settling] {
    QTimer::singleShot(0, grid, [grid, nearStart, settling] {
      grid->doItemsLayout();
      const QModelIndex current = grid->currentIndex();
      if (current.isValid() && !wholeRowShown(grid, current.row()))
        grid->scrollTo(current, grid->viewport()->rect().intersects(grid->visualRect(current))
                                    ? QAbstractItemView::EnsureVisible
                                    : QAbstractItemView::PositionAtCenter);
      *settling = false;
      nearStart();
    });
  });
  // Rows read before the first one shown come in front: the grid keeps
  // showing the rows it showed.
  QObject::connect(model, &QAbstractItemModel::rowsInserted, grid,
                   [grid, busy](const QModelIndex &, int first, int last) {
                     if (first != 0) return;
                     const int top = grid->rowAt(0);
                     if (top < 0) return;
                     const bool was = *busy;
                     *busy = true;
                     grid->doItemsLayout();  // the scroll range takes the new rows
                     grid->scrollTo(grid->model()->index(top + last + 1, 0), QAbstractItemView::PositionAtTop);
                     *busy = was;
                   });
}

QTableView *MakeListGrid(QWidget *parent, db::DataSetModel *model) {
  auto *grid = new QTableView(parent);
  grid->setObjectName(QStringLiteral("DBGrid1"));
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  BindListGrid(grid, model);
  return grid;
}

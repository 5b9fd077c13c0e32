#include "app/common/ListGrid.h"

#include "app/common/ColumnTitles.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "platform/conv.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

#include <algorithm>
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

// The dataset field under a grid column, or nullptr.
const db::Field *fieldOf(const db::DataSetModel *model, int column) {
  db::DataSource *source = model->dataSource();
  db::DataSet *d = source ? source->dataSet() : nullptr;
  const int f = d && d->active() ? model->fieldIndex(column) : -1;
  return f >= 0 ? &d->field(f) : nullptr;
}

const ColumnFormat *formatOf(const db::Field *field) {
  if (!field || !field->isNumeric()) return nullptr;
  const auto &formats = ListColumnFormats();
  auto it = formats.constFind(field->fieldName().toUpper());
  return it == formats.constEnd() ? nullptr : &*it;
}

class ListCells : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = ListCellText(index);
  }
};

// A text column asks for room for this many characters at most: a long
// remark does not push a name out of the window.
constexpr int kWidestText = 50;

// The widest text a column's values can have: the formatted widest value,
// the column's characters, or the widest value of its type.
QString widestValue(const db::Field &f) {
  if (const ColumnFormat *format = formatOf(&f)) return format->widest;
  switch (f.type()) {
    case db::FieldType::Text:
    case db::FieldType::FixedText: return QString(std::min(f.size(), kWidestText), QLatin1Char('n'));
    case db::FieldType::SmallInt: return QStringLiteral("-32768");
    case db::FieldType::Integer: return QStringLiteral("-2147483648");
    case db::FieldType::Date: return QStringLiteral("2025.12.31");
    case db::FieldType::Timestamp: return QStringLiteral("2025.12.31 23:59:59");
    case db::FieldType::Time: return QStringLiteral("23:59:59");
    default: return QStringLiteral("-999999999999999,9999");
  }
}

// Sizes the grid's columns to their titles and to the widest value each
// column allows, within the grid: when they do not fit, every column keeps
// its title and the room above the titles is shared in proportion to what
// each wants. When the titles alone do not fit, the grid scrolls anyway and
// every column gets what it wants.
void sizeColumns(QTableView *grid, db::DataSetModel *model) {
  QHeaderView *header = grid->horizontalHeader();
  const QFontMetrics cellFont(grid->font());
  const int cellPad = 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 8;
  const int n = model->columnCount();
  std::vector<int> least(n), wanted(n);
  long long leastSum = 0, wantedSum = 0;
  for (int c = 0; c < n; ++c) {
    least[c] = header->sectionSizeHint(c);  // the title as the style draws it
    // A column of no field of the dataset (looked up elsewhere): its rows shown.
    const db::Field *f = fieldOf(model, c);
    wanted[c] = std::max(least[c], f ? cellFont.horizontalAdvance(widestValue(*f)) + cellPad
                                     : static_cast<QAbstractItemView *>(grid)->sizeHintForColumn(c));
    leastSum += least[c];
    wantedSum += wanted[c];
  }
  const int room = grid->viewport()->width();
  const bool share = wantedSum > room && leastSum < room;
  for (int c = 0; c < n; ++c) {
    const int w = share ? least[c] + static_cast<int>((wanted[c] - least[c]) * (room - leastSum) / (wantedSum - leastSum))
                        : wanted[c];
    header->resizeSection(c, w);
  }
}

class ColumnFit : public QObject {
 public:
  explicit ColumnFit(QTableView *grid) : QObject(grid), grid_(grid) {}

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  QTableView *grid_;
};

// Whether the grid shows the whole height of row.
bool wholeRowShown(QTableView *grid, int row) {
  const int top = grid->rowViewportPosition(row);
  return top >= 0 && top + grid->rowHeight(row) <= grid->viewport()->height();
}

}  // namespace

QString ListCellText(const QModelIndex &index) {
  const auto *model = qobject_cast<const db::DataSetModel *>(index.model());
  const ColumnFormat *format = model ? formatOf(fieldOf(model, index.column())) : nullptr;
  // The number from the field's text: a decimal column's digits as stored.
  const QString text = index.data(Qt::DisplayRole).toString();
  long double value = 0;
  if (!format || !platform::TryStrToFloat(text, value)) return text;
  return platform::FormatFloat(format->mask, value);
}

void FitListColumns(QTableView *grid) {
  if (auto *model = qobject_cast<db::DataSetModel *>(grid->model())) sizeColumns(grid, model);
}

bool ColumnFit::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::Resize) FitListColumns(grid_);
  return QObject::eventFilter(watched, event);
}

void BindListGrid(QTableView *grid, db::DataSetModel *model, bool listTitles) {
  if (listTitles) model->setTitles(ListColumnTitles());
  grid->setModel(model);
  grid->setItemDelegate(new ListCells(grid));
  // The columns take their widths anew with each statement and each size
  // of the grid; not while the grid is being destroyed (its header goes
  // before the data source a grid may own).
  QObject::connect(model, &QAbstractItemModel::modelReset, grid->horizontalHeader(),
                   [grid] { FitListColumns(grid); });
  grid->viewport()->installEventFilter(new ColumnFit(grid));
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

#include "db/datasetmodel.h"

#include "db/dataset.h"
#include "db/datasource.h"
#include "db/error.h"
#include "db/logging.h"
#include "db/table.h"
#include "platform/error_text.h"

#include <QItemSelectionModel>

namespace db {

DataSetModel::DataSetModel(QObject *parent) : QAbstractTableModel(parent) {}

DataSet *DataSetModel::dataSet() const { return source_ ? source_->dataSet() : nullptr; }

void DataSetModel::setDataSource(DataSource *source) {
  if (source_) disconnect(source_, nullptr, this, nullptr);
  source_ = source;
  if (source) {
    connect(source, &DataSource::dataChanged, this, &DataSetModel::reset);
    connect(source, &DataSource::rowChanged, this, &DataSetModel::syncSelection);
    connect(source, &DataSource::rowsFetched, this, &DataSetModel::rowsFetched);
    connect(source, &DataSource::rowsPrepended, this, &DataSetModel::rowsPrepended);
    connect(source, &DataSource::rowUpdated, this, [this](int recNo) {
      if (recNo > 0 && columnCount() > 0) emit dataChanged(index(recNo - 1, 0), index(recNo - 1, columnCount() - 1));
    });
    connect(source, &QObject::destroyed, this, &DataSetModel::reset);
  }
  reset();
}

void DataSetModel::setColumns(const QList<Column> &columns) {
  columns_ = columns;
  reset();
}

void DataSetModel::setTitles(const QHash<QString, QString> &titles) {
  titles_ = titles;
  if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void DataSetModel::reset() {
  beginResetModel();
  fieldIndexes_.clear();
  DataSet *d = dataSet();
  rows_ = d && d->active() ? d->fetchedCount() : 0;
  if (d && d->active()) {
    if (columns_.isEmpty()) {
      for (int i = 0; i < d->fieldCount(); ++i) fieldIndexes_.push_back(i);
    } else {
      for (const Column &c : columns_) {
        Field *f = d->findField(c.fieldName);
        fieldIndexes_.push_back(f ? f->index() : -1);
      }
    }
  } else if (!columns_.isEmpty()) {
    fieldIndexes_.assign(static_cast<std::size_t>(columns_.size()), -1);
  }
  endResetModel();
  if (d && d->active()) syncSelection(d->recNo());
}

int DataSetModel::fieldIndex(int column) const {
  if (column < 0 || column >= static_cast<int>(fieldIndexes_.size())) return -1;
  return fieldIndexes_[static_cast<std::size_t>(column)];
}

int DataSetModel::rowCount(const QModelIndex &parent) const {
  if (parent.isValid()) return 0;
  return rows_;
}

bool DataSetModel::canFetchMore(const QModelIndex &parent) const {
  DataSet *d = dataSet();
  return !parent.isValid() && d && d->active() && !d->fetchedAll();
}

void DataSetModel::fetchMore(const QModelIndex &parent) {
  DataSet *d = dataSet();
  if (parent.isValid() || !d || !d->active()) return;
  try {
    d->fetchMore();  // the new rows arrive through rowsFetched
  } catch (const Error &e) {
    emit editFailed(e.message());
  }
}

void DataSetModel::rowsFetched(int count) {
  if (count <= rows_) return;
  beginInsertRows(QModelIndex(), rows_, count - 1);
  rows_ = count;
  endInsertRows();
}

void DataSetModel::rowsPrepended(int count) {
  if (count <= 0) return;
  beginInsertRows(QModelIndex(), 0, count - 1);
  rows_ += count;
  endInsertRows();
  // The rows' numbers show once the rows from the list's first are held.
  emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
}

bool DataSetModel::startFetched() const {
  DataSet *d = dataSet();
  return !d || !d->active() || d->startFetched();
}

void DataSetModel::fetchEarlier() {
  DataSet *d = dataSet();
  if (!d || !d->active()) return;
  try {
    d->fetchEarlier();  // the rows arrive through rowsPrepended
  } catch (const Error &e) {
    emit editFailed(e.message());
  }
}

int DataSetModel::columnCount(const QModelIndex &parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(fieldIndexes_.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const {
  DataSet *d = dataSet();
  const int f = fieldIndex(index.column());
  if (!d || !d->active() || f < 0 || !index.isValid()) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      try {  // a row not fetched yet is fetched; a failure shows an empty cell
        return role == Qt::DisplayRole ? QVariant(d->textAt(index.row(), f)) : d->valueAt(index.row(), f);
      } catch (const Error &) {
        platform::logCaught(lcDb(), QStringLiteral("%1: row %2").arg(d->objectName()).arg(index.row()));
        return QVariant();
      }
    case Qt::TextAlignmentRole:
      return d->field(f).isNumeric() ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                     : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default: return QVariant();
  }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  // A row's number is its position in the list: unknown while the rows
  // before the first one held are not read.
  if (orientation == Qt::Vertical) return startFetched() ? QVariant(section + 1) : QVariant();
  if (!columns_.isEmpty() && section < columns_.size()) {
    const Column &c = columns_[section];
    return !c.title.isEmpty() ? c.title : titles_.value(c.fieldName.toUpper(), c.fieldName);
  }
  DataSet *d = dataSet();
  const int f = fieldIndex(section);
  if (!d || f < 0) return QVariant();
  const QString name = d->field(f).fieldName();
  return titles_.value(name.toUpper(), name);
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const {
  Qt::ItemFlags fl = QAbstractTableModel::flags(index);
  auto *t = qobject_cast<Table *>(dataSet());
  if (t && !t->readOnly() && fieldIndex(index.column()) >= 0) fl |= Qt::ItemIsEditable;
  return fl;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
  DataSet *d = dataSet();
  const int f = fieldIndex(index.column());
  try {
    d->setRecNo(index.row() + 1);
    d->edit();
    d->field(f).setValue(value);
    d->post();
  } catch (const Error &e) {
    d->cancel();
    if (e.isLockConflict()) emit editConflict(index, value);
    else emit editFailed(e.message());
    return false;
  }
  return true;
}

void DataSetModel::bindSelection(QItemSelectionModel *selection) {
  if (selection_) disconnect(selection_, nullptr, this, nullptr);
  selection_ = selection;
  if (!selection) return;
  connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
    DataSet *d = dataSet();
    if (syncing_ || !d || !current.isValid()) return;
    syncing_ = true;
    try {
      d->setRecNo(current.row() + 1);
    } catch (const Error &e) {
      emit editFailed(e.message());
    }
    syncing_ = false;
  });
  if (DataSet *d = dataSet(); d && d->active()) syncSelection(d->recNo());
}

void DataSetModel::syncSelection(int recNo) {
  if (!selection_ || syncing_ || selection_->model() != this) return;
  syncing_ = true;
  if (recNo > 0 && columnCount() > 0) {
    const int column = selection_->currentIndex().isValid() ? selection_->currentIndex().column() : 0;
    selection_->setCurrentIndex(index(recNo - 1, std::min(column, columnCount() - 1)),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selection_->clear();
  }
  syncing_ = false;
}

}  // namespace db

#pragma once
// A table model over a data source's dataset, for grids. The rows are the
// dataset's rows fetched so far; a grid scrolled to the end fetches more
// (canFetchMore / fetchMore), and rows the dataset fetches itself are added.
// A dataset read around a position (db::KeysetList) gets the rows before its
// first one when its grid asks for them (fetchEarlier); they are inserted in
// front, and the rows are numbered only once the list's first row is held.
// The grid's current row is the dataset's current row, both ways, once a
// selection model is bound.
#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QStringList>

class QItemSelectionModel;

namespace db {

class DataSet;
class DataSource;

class DataSetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  struct Column {
    QString fieldName;
    QString title;  // empty: the field name
  };

  explicit DataSetModel(QObject *parent = nullptr);

  void setDataSource(DataSource *source);
  DataSource *dataSource() const { return source_; }
  // The columns shown, in order; none set: every field of the dataset.
  void setColumns(const QList<Column> &columns);
  // Titles by upper-case field name, for the columns without a title of
  // their own; a field without one shows its name.
  void setTitles(const QHash<QString, QString> &titles);
  // Binds a grid's selection: moving the grid's current index moves the
  // dataset, and the dataset's moves become the grid's current row.
  void bindSelection(QItemSelectionModel *selection);

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  int columnCount(const QModelIndex &parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex &parent) const override;
  void fetchMore(const QModelIndex &parent) override;
  // DisplayRole: the field's text (as Field::asString); EditRole: the value;
  // TextAlignmentRole: numbers right-aligned.
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Cells of a writable table are editable: the row is edited and posted.
  Qt::ItemFlags flags(const QModelIndex &index) const override;
  bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

  // The dataset field shown in a column (-1 when the field is missing).
  int fieldIndex(int column) const;

  // Whether the rows from the dataset's first are held; fetchEarlier()
  // puts a batch of the rows before the first one held in front.
  bool startFetched() const;
  void fetchEarlier();

 signals:
  // An edit through the grid failed (bad text, or the database refused the
  // post; the row keeps its stored values), or moving to a row or fetching
  // more rows failed.
  void editFailed(const QString &message);
  // An edit through the grid met a row that another transaction is writing
  // (a lock or update conflict); the row keeps its stored values and value
  // is what the edit would have posted at index.
  void editConflict(const QModelIndex &index, const QVariant &value);

 private:
  DataSet *dataSet() const;
  void reset();
  void syncSelection(int recNo);
  void rowsFetched(int count);
  void rowsPrepended(int count);

  QPointer<DataSource> source_;
  QList<Column> columns_;
  QHash<QString, QString> titles_;
  std::vector<int> fieldIndexes_;
  int rows_ = 0;
  QPointer<QItemSelectionModel> selection_;
  bool syncing_ = false;
};

}  // namespace db

#pragma once
// A data source ties a dataset's current row to what shows it: grids, labels,
// navigators, lookup lists and the report engine. Views listen to its
// signals instead of to the dataset, so a source can be switched to another
// dataset (or disabled) without rewiring them.
#include <QObject>
#include <QPointer>

namespace db {

class DataSet;

class DataSource : public QObject {
  Q_OBJECT
 public:
  explicit DataSource(QObject *parent = nullptr);

  void setDataSet(DataSet *d);
  DataSet *dataSet() const { return dataSet_; }
  // A disabled source passes no signals on (views keep what they show).
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

 signals:
  // The dataset was opened, closed or replaced: everything shown is stale.
  void dataChanged();
  // The current row moved (recNo 1-based, 0 when there is none).
  void rowChanged(int recNo);
  // The values of one row changed (after a post or cancel).
  void rowUpdated(int recNo);
  // The dataset entered or left edit mode.
  void stateChanged();
  // More rows of the dataset were fetched (count: the rows fetched now).
  void rowsFetched(int count);
  // count rows of the dataset were put in front of those fetched.
  void rowsPrepended(int count);

 private:
  QPointer<DataSet> dataSet_;
  bool enabled_ = true;
};

}  // namespace db

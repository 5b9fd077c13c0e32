#include "db/datasource.h"

#include "db/dataset.h"

namespace db {

DataSource::DataSource(QObject *parent) : QObject(parent) {}

void DataSource::setDataSet(DataSet *d) {
  if (d == dataSet_) return;
  if (dataSet_) disconnect(dataSet_, nullptr, this, nullptr);
  dataSet_ = d;
  if (d) {
    connect(d, &DataSet::opened, this, [this] {
      if (enabled_) emit dataChanged();
    });
    connect(d, &DataSet::closed, this, [this] {
      if (enabled_) emit dataChanged();
    });
    connect(d, &DataSet::currentRowChanged, this, [this](int recNo) {
      if (enabled_) emit rowChanged(recNo);
    });
    connect(d, &DataSet::rowUpdated, this, [this](int recNo) {
      if (enabled_) emit rowUpdated(recNo);
    });
    connect(d, &DataSet::stateChanged, this, [this] {
      if (enabled_) emit stateChanged();
    });
    connect(d, &DataSet::rowsFetched, this, [this](int count) {
      if (enabled_) emit rowsFetched(count);
    });
    connect(d, &DataSet::rowsPrepended, this, [this](int count) {
      if (enabled_) emit rowsPrepended(count);
    });
    connect(d, &QObject::destroyed, this, [this] {
      dataSet_ = nullptr;
      if (enabled_) emit dataChanged();
    });
  }
  if (enabled_) emit dataChanged();
}

void DataSource::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) emit dataChanged();
}

}  // namespace db

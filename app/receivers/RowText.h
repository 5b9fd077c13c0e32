#pragma once
// A column of a dataset's current row as text; an empty dataset (no such
// receiver, an empty table) reads as empty strings, as the dialogs expect.
#include "db/dataset.h"

#include <QString>

inline QString RowText(db::DataSet &ds, const QString &column) {
  if (!ds.active() || ds.isEmpty()) return QString();
  return ds.fieldByName(column).asString();
}
inline QString RowText(db::DataSet &ds, const char *column) {
  return RowText(ds, QLatin1String(column));
}

#pragma once
// A dataset's rows as the single sheet of a workbook file: a header row of
// the result's column names, then one row per record with each value in its
// own type (text, number or date; empty for null), fixed column widths, a
// bold header range and per-column alignment from the header to the last row.
#include "exchange/excel/Biff5.h"

#include <QString>

#include <functional>
#include <vector>

namespace db {
class DataSet;
class Field;
}  // namespace db

namespace excel {

struct ExportColumn {
  double width;  // characters
  HAlign align;
};

struct SheetSpec {
  // Result column n goes to sheet column n with these settings.
  std::vector<ExportColumn> columns;
  // The header row is bold from column A over this many columns.
  int boldColumns = 0;
};

// The value of the field in its dataset's current row, as a cell value.
CellValue CellOf(const db::Field &field);

// Writes every row of data (an open dataset, walked from its first row) into
// a new workbook saved at path, calling progress with the number of rows
// written after each. Before anything is written: a result that does not fit
// a sheet raises LimitError, an existing file that may not be replaced
// SaveError. A failed write raises SaveError; path is then as it was.
// Returns the number of texts cut to the format's limit.
int ExportDataSet(db::DataSet &data, const SheetSpec &spec, const QString &path,
                  const std::function<void(int)> &progress = {});

}  // namespace excel

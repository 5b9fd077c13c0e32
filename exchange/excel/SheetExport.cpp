#include "exchange/excel/SheetExport.h"

#include "db/dataset.h"
#include "exchange/excel/WorkbookFile.h"

#include <QTime>

#include <algorithm>

namespace excel {

CellValue CellOf(const db::Field &field) {
  if (field.isNull()) return {};
  switch (field.type()) {
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
    case db::FieldType::BigInt:
    case db::FieldType::Numeric:
    case db::FieldType::Float:
    case db::FieldType::Double:
      return field.asFloat();
    case db::FieldType::Boolean:
      return field.value().toBool() ? 1.0 : 0.0;
    case db::FieldType::Date:
      return QDateTime(field.asDate(), QTime(0, 0));
    case db::FieldType::Timestamp:
      return field.asDateTime();
    default:
      return field.asString();
  }
}

int ExportDataSet(db::DataSet &data, const SheetSpec &spec, const QString &path,
                  const std::function<void(int)> &progress) {
  const int rows = data.recordCount();
  const int columns = data.fieldCount();
  if (rows + 1 > kMaxRows)
    throw LimitError("more rows than a sheet holds");
  const QString refusal = ReplaceRefusal(path);
  if (!refusal.isEmpty()) throw SaveError(refusal);

  SheetLayout layout;
  layout.rowCount = rows + 1;
  layout.columnCount = columns;
  if (spec.boldColumns > 0) layout.bold.push_back({0, 0, spec.boldColumns - 1});
  const int specified = std::min(columns, static_cast<int>(spec.columns.size()));
  for (int c = 0; c < specified; ++c) {
    const ExportColumn &col = spec.columns[static_cast<std::size_t>(c)];
    layout.widths.push_back({c, col.width});
    layout.alignments.push_back({c, 0, rows, col.align});
  }

  WorkbookFile file(path);
  Biff5Writer writer([&file](const char *bytes, std::size_t size) { file.write(bytes, size); }, layout);
  std::vector<CellValue> row(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) row[static_cast<std::size_t>(c)] = data.field(c).fieldName();
  writer.writeRow(0, row);
  int written = 0;
  for (data.first(); !data.eof() && written < rows; data.next()) {
    for (int c = 0; c < columns; ++c) row[static_cast<std::size_t>(c)] = CellOf(data.field(c));
    writer.writeRow(++written, row);
    if (progress) progress(written);
  }
  writer.finish();
  file.commit();
  return writer.truncatedTexts();
}

}  // namespace excel

#pragma once
// Reading written workbooks back in tests, apart from the writer: the
// compound file through libgsf with the records of its workbook stream, and
// the whole workbook through xlrd (python3-xlrd), an independent reader.
#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <vector>

namespace vorik::test {

struct BiffRecord {
  unsigned id;
  QByteArray body;
  unsigned u16(int at) const;
  double f64(int at) const;
};

// The "Book" stream of the compound file at path; empty (with a test
// failure) when the file is no compound file or lacks the stream.
QByteArray ReadBookStream(const QString &path);
// The stream cut into records; a record running past the end is a failure.
std::vector<BiffRecord> SplitRecords(const QByteArray &stream);

// The workbook as xlrd reads it (see xls_dump.py); empty with a test
// failure when xlrd cannot open it. Without cells, only the sheets' names,
// sizes and column widths ("rows" empty).
QJsonObject ReadWithXlrd(const QString &path, bool cells = true);

}  // namespace vorik::test

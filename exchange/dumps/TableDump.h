#pragma once
// Plain-text dumps of the register's tables, one file per table:
// - one line per row, each ending in CR LF (the last one too);
// - a line is ":" value ":," ":" value ":," ... ":" value ":*";
// - a value is the column's text without display format (integers in
//   decimal, amounts in their shortest form with the decimal comma, dates
//   yyyy.mm.dd, texts as stored, null as empty); nothing is escaped, so a
//   separator or line break inside a value is written as it is;
// - Windows-1250 bytes; a character the code page lacks becomes "?".
// No header and no count line: a table without rows gives an empty file.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace db {
class Query;
}

namespace tabledump {

struct Table {
  const char *file;       // "atvevo.txt"
  QStringList sql;        // the statement's two lines
  QStringList columns;    // the columns written, in order
};

// The six tables in the order they are written: ATVEVO, OSTERMELO, SORSZAM,
// TERMEK, QZFEJ, QZSOR.
const std::vector<Table> &tables();

// The bytes of one line with its CR LF; replaced counts the characters that
// became "?".
QByteArray lineBytes(const QStringList &values, qint64 *replaced = nullptr);

// A file that could not be written or finished. The text names the file as
// the user typed its folder with the system's reason, and says that the old
// file is as it was.
class DumpError : public std::runtime_error {
 public:
  explicit DumpError(const QString &message);
  QString message() const { return QString::fromUtf8(what()); }
};

struct DumpResult {
  qint64 lines = 0;
  qint64 replaced = 0;  // characters written as "?"
};

// Writes table through q to winPath (a Windows path, mapped for the file
// system) whole or not at all: runs the statement (a refusal raises db::Error),
// writes every row in the order the database returns it, reading forward only
// so that memory stays the same however many rows there are, and replaces an
// existing file only when all is on the disk. A file that cannot be written
// raises DumpError, the old file as it was. q is closed afterwards.
DumpResult dumpTable(db::Query &q, const Table &table, const QString &winPath);

}  // namespace tabledump

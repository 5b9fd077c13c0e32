#pragma once
// The inventory hand-over document: the selected ticket lines as elements
// "Records" under the root "vorik_keszlethez", one element per column named
// as the column, holding the value in the text form of its field type
// (numbers not above 0 as "0", an empty text as "null", dates as
// "MM.DD.YYYY"). Files are written complete or not at all: to a temporary
// file in the target's folder, renamed over the target.
#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace db {
class DataSet;
class Field;
}  // namespace db

namespace inventory {

// The selection's statement (":p1", ":p2" the purchase-date range, ":p3" the
// receiver): ticket lines with their header's purchase date and producer.
QStringList SelectionSql();

// The text of a field's value in the document.
QString ValueText(const db::Field &field);

// The document of every row of rows (from its first), in row order;
// WriteError naming the document and the column for a text XML cannot hold.
QDomDocument BuildDocument(db::DataSet &rows);

// A file that could not be written; reason says why, with the file's name.
class WriteError : public std::runtime_error {
 public:
  explicit WriteError(const QString &reason) : std::runtime_error(reason.toStdString()), reason_(reason) {}
  QString reason() const { return reason_; }

 private:
  QString reason_;
};

// Writes bytes to path through a temporary file renamed over it: an old
// file at path stays as it was when anything fails (WriteError).
void WriteFileWhole(const QString &path, const QByteArray &bytes);
// Copies source to target the same way (WriteError when source cannot be
// read or target cannot be written).
void CopyFileOver(const QString &source, const QString &target);

}  // namespace inventory

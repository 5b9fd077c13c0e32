#pragma once
// Reading the producer, product and receiver files of the imports: the
// file's text (Windows-1250, or UTF-8 when the bytes are valid UTF-8; never a
// mix of the two), its lines, the fixed-width records of the older version's
// exports and the ";"-separated producer lines a spreadsheet saves. Everything here is pure:
// a record comes out as the typed values the insert binds, in its order, or
// as the reason it cannot be read.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <stdexcept>

namespace imports {

// A file that cannot be imported at all (missing, unreadable, not text).
class FileError : public std::runtime_error {
 public:
  explicit FileError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
  QString message() const { return message_; }

 private:
  QString message_;
};

// The text of a file's bytes: UTF-8 (a leading byte-order mark dropped) when
// the bytes are valid UTF-8, Windows-1250 otherwise. FileError for bytes that
// are no text in either (a NUL byte: binary data, or UTF-16 "Unicode text"),
// and for a file that mixes the two: not UTF-8 as a whole, yet with a line of
// UTF-8 beyond ASCII. Read either way some of its lines would come out
// garbled, so the message names a line of each (numbered as SplitLines
// numbers them); so does a Windows-1250 file with a line that happens to be
// valid UTF-8.
QString DecodeText(const QByteArray &bytes, const QString &fileName);
// The lines of a text: CR LF, LF or a lone CR end a line; a last line break
// makes no empty line after it.
QStringList SplitLines(const QString &text);
// Reads a file's lines (FileError naming the file when it cannot be opened
// or holds no text).
QStringList ReadLines(const QString &path);

// The class library's Trim: leading and trailing blanks and control
// characters removed.
QString Trim(const QString &text);

// A record read from a line: the values to bind in the insert's parameter
// order (QString, double, QDate, or a null QVariant), or why it cannot be read.
struct Record {
  QVariantList values;
  QString error;
  bool ok() const { return error.isEmpty(); }
};

// The older version's exports, fixed positions (1-based) as the export writes them.
// A text holding a control character, or a character Windows-1250 lacks, is
// not read: the record carries why, as a CSV line does.
// "exposterm.txt": o_kod .. o_aKod (20 values).
Record OldProducer(const QString &line);
// "exptermek.txt": t_kod .. t_akod (7 values).
Record OldProduct(const QString &line);
// "expatvevo.txt": v_akod (lineNumber from 1) .. v_adoszam (6 values).
Record OldReceiver(const QString &line, int lineNumber);

// The fields of a ";"-separated line, each trimmed; at most 24 (the rest of
// the line is ignored). A field that a spreadsheet quoted ("a;b", with ""
// for a quote) keeps its ";"; an unclosed quote sets *unclosed.
QStringList SplitCsv(const QString &line, bool *unclosed = nullptr);
// A producer line of the CSV import: o_kod .. o_Bankszla (18 values).
Record CsvProducer(const QString &line);

}  // namespace imports

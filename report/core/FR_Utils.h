#pragma once
// Byte streams of the engine's files and their primitive encodings: strings,
// line lists, short strings, 16-bit booleans and stored font styles.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace report {

using TColor = quint32;

// Errors of the engine. The message is kept as text; what() gives it in UTF-8.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString &message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString &message() const { return message_; }

 private:
  QString message_;
};

// A stream ended before a read was complete ("Stream read error").
class EReadError : public Exception {
 public:
  EReadError() : Exception(QStringLiteral("Stream read error")) {}
  explicit EReadError(const QString &message) : Exception(message) {}
};

// A value does not fit its stored form (a string or line longer than 65535 bytes).
class EWriteError : public Exception {
 public:
  using Exception::Exception;
};

// A layout stream that is well formed byte-wise but holds an invalid record.
class EInvalidLayout : public Exception {
 public:
  using Exception::Exception;
};

// Memory stream with a position: reads fail with EReadError when the data
// ends; writes at the position overwrite and extend the data.
class TfrStream {
 public:
  TfrStream() = default;
  explicit TfrStream(QByteArray data) : data_(std::move(data)) {}

  const QByteArray &Data() const { return data_; }
  // Hands the bytes over and leaves the stream empty.
  QByteArray TakeData() {
    pos_ = 0;
    return std::exchange(data_, QByteArray());
  }
  qint64 Size() const { return data_.size(); }
  qint64 Position() const { return pos_; }
  void Seek(qint64 pos);  // 0..Size; beyond raises EReadError
  bool AtEnd() const { return pos_ >= data_.size(); }
  qint64 Remaining() const { return data_.size() - pos_; }

  void Read(void *buf, qint64 n);
  QByteArray ReadBytes(qint64 n);
  quint8 ReadU8();
  quint16 ReadU16();
  qint32 ReadI32();
  quint32 ReadU32();
  bool ReadBool16() { return ReadU16() != 0; }

  void Write(const void *buf, qint64 n);
  void WriteBytes(const QByteArray &b) { Write(b.constData(), b.size()); }
  void WriteU8(quint8 v) { Write(&v, 1); }
  void WriteU16(quint16 v);
  void WriteI32(qint32 v);
  void WriteU32(quint32 v);
  void WriteBool16(bool v) { WriteU16(v ? 0xFFFF : 0); }

 private:
  QByteArray data_;
  qint64 pos_ = 0;
};

// Fields gathered in the stream's encodings and written in one piece: an
// object record is a few dozen small fields, each a write of its own otherwise.
class TfrBytes {
 public:
  void U8(quint8 v) { b_.append(static_cast<char>(v)); }
  void U16(quint16 v) {
    U8(static_cast<quint8>(v));
    U8(static_cast<quint8>(v >> 8));
  }
  void U32(quint32 v) {
    U16(static_cast<quint16>(v));
    U16(static_cast<quint16>(v >> 16));
  }
  void I32(qint32 v) { U32(static_cast<quint32>(v)); }
  void String(const QString &s);      // as frWriteString
  void Memo(const QStringList &lines);  // as frWriteMemo
  // Writes what was gathered and starts again empty.
  void WriteTo(TfrStream &stream);

 private:
  void len16(qsizetype n);
  void cp1250(const QString &s);
  QVarLengthArray<char, 512> b_;
};

// The version of the stream being read (21, 22 or 23). LoadFromStream of the
// report sets it from the first byte; writers set it to 23.
extern int frVersion;
constexpr int frCurrentVersion = 23;

// Version 23 encodings.
void frWriteString(TfrStream &stream, const QString &s);
QString frReadString(TfrStream &stream);
void frWriteMemo(TfrStream &stream, const QStringList &lines);
void frReadMemo(TfrStream &stream, QStringList &lines);
// Versions 21 and 22: 0-terminated strings, lines ended by 13 with a final 0.
QString frReadStringOld(TfrStream &stream);
void frReadMemoOld(TfrStream &stream, QStringList &lines);
// By frVersion.
QString ReadFrString(TfrStream &stream);
void ReadFrMemo(TfrStream &stream, QStringList &lines);

// Raw-byte forms of the line list (text that carries binary data), as read.
QList<QByteArray> frReadMemoBytes(TfrStream &stream);
QList<QByteArray> ReadFrMemoBytes(TfrStream &stream);

// u8 length and the bytes; longer texts are cut to 255 bytes.
void frWriteShortString(TfrStream &stream, const QString &s);
QString frReadShortString(TfrStream &stream);

// Font style set and its stored form (1 italic, 2 bold, 4 underline).
enum TFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;
TFontStyles frGetFontStyle(int stored);
int frSetFontStyle(TFontStyles style);

// Removes one pair of enclosing double quotes.
void frStripQuotes(QString &s);

}  // namespace report

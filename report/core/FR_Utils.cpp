#include "report/core/FR_Utils.h"

#include "platform/cp1250.h"

#include <cstring>

namespace report {

int frVersion = frCurrentVersion;

void TfrStream::Seek(qint64 pos) {
  if (pos < 0 || pos > data_.size()) throw EReadError();
  pos_ = pos;
}

void TfrStream::Read(void *buf, qint64 n) {
  if (n < 0 || n > data_.size() - pos_) throw EReadError();
  std::memcpy(buf, data_.constData() + pos_, static_cast<size_t>(n));
  pos_ += n;
}

QByteArray TfrStream::ReadBytes(qint64 n) {
  if (n < 0 || n > data_.size() - pos_) throw EReadError();
  QByteArray b = data_.mid(pos_, n);
  pos_ += n;
  return b;
}

quint8 TfrStream::ReadU8() {
  if (pos_ >= data_.size()) throw EReadError();
  return static_cast<quint8>(data_[pos_++]);
}

quint16 TfrStream::ReadU16() {
  unsigned char b[2];
  Read(b, 2);
  return static_cast<quint16>(b[0] | (b[1] << 8));
}

quint32 TfrStream::ReadU32() {
  unsigned char b[4];
  Read(b, 4);
  return static_cast<quint32>(b[0]) | (static_cast<quint32>(b[1]) << 8) |
         (static_cast<quint32>(b[2]) << 16) | (static_cast<quint32>(b[3]) << 24);
}

qint32 TfrStream::ReadI32() { return static_cast<qint32>(ReadU32()); }

void TfrStream::Write(const void *buf, qint64 n) {
  if (n <= 0) return;
  const qint64 end = pos_ + n;
  // Writing at the end (nearly every write) appends, growing the capacity
  // geometrically, rather than resizing and copying in two steps.
  if (pos_ == data_.size()) {
    data_.append(static_cast<const char *>(buf), n);
    pos_ = end;
    return;
  }
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buf, static_cast<size_t>(n));
  pos_ = end;
}

void TfrStream::WriteU16(quint16 v) {
  const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  Write(b, 2);
}

void TfrStream::WriteU32(quint32 v) {
  const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  Write(b, 4);
}

void TfrStream::WriteI32(qint32 v) { WriteU32(static_cast<quint32>(v)); }

void TfrBytes::len16(qsizetype n) {
  if (n > 0xFFFF) throw EWriteError(QStringLiteral("Text longer than 65535 bytes does not fit the stream"));
  U16(static_cast<quint16>(n));
}

// One byte per UTF-16 unit, as platform::toCp1250 gives them.
void TfrBytes::cp1250(const QString &s) {
  const qsizetype at = b_.size();
  b_.resize(at + s.size());
  char *dst = b_.data() + at;
  for (const QChar c : s) {
    const int b = platform::cp1250Byte(c.unicode());
    *dst++ = static_cast<char>(b < 0 ? '?' : b);
  }
}

void TfrBytes::String(const QString &s) {
  len16(s.size());
  cp1250(s);
  U8(0);
}

void TfrBytes::Memo(const QStringList &lines) {
  // The reader runs on the trailing bytes; the count only tells "none".
  const qsizetype c = lines.size();
  U16(static_cast<quint16>(c > 0xFFFF ? 0xFFFF : c));
  if (c == 0) {
    U8(0);
    return;
  }
  for (qsizetype i = 0; i < c; ++i) {
    len16(lines[i].size());
    cp1250(lines[i]);
    U8(i + 1 < c ? 13 : 0);
  }
}

void TfrBytes::WriteTo(TfrStream &stream) {
  stream.Write(b_.constData(), b_.size());
  b_.clear();
}

void frWriteString(TfrStream &stream, const QString &s) {
  TfrBytes b;
  b.String(s);
  b.WriteTo(stream);
}

QString frReadString(TfrStream &stream) {
  const quint16 n = stream.ReadU16();
  const QByteArray b = stream.ReadBytes(n);
  stream.ReadU8();  // the terminator, whatever it holds
  return platform::fromCp1250(b);
}

QList<QByteArray> frReadMemoBytes(TfrStream &stream) {
  QList<QByteArray> lines;
  const quint16 c = stream.ReadU16();
  if (c == 0) {
    stream.ReadU8();
    return lines;
  }
  for (;;) {
    const quint16 n = stream.ReadU16();
    lines.append(stream.ReadBytes(n));
    if (stream.ReadU8() == 0) break;
  }
  return lines;
}

void frWriteMemo(TfrStream &stream, const QStringList &lines) {
  TfrBytes b;
  b.Memo(lines);
  b.WriteTo(stream);
}

void frReadMemo(TfrStream &stream, QStringList &lines) {
  const QList<QByteArray> b = frReadMemoBytes(stream);
  lines.clear();
  lines.reserve(b.size());
  for (const QByteArray &l : b) lines.append(platform::fromCp1250(l));
}

QString frReadStringOld(TfrStream &stream) {
  const QByteArray &d = stream.Data();
  const qint64 start = stream.Position();
  const qsizetype zero = d.indexOf('\0', start);
  if (zero < 0) {
    stream.Seek(stream.Size());
    throw EReadError();
  }
  const QByteArray b = d.mid(start, zero - start);
  stream.Seek(zero + 1);
  return platform::fromCp1250(b);
}

namespace {

QList<QByteArray> readMemoOldBytes(TfrStream &stream) {
  QList<QByteArray> lines;
  QByteArray cur;
  for (;;) {
    const quint8 ch = stream.ReadU8();
    if (ch == 0) {
      if (!cur.isEmpty()) lines.append(cur);
      break;
    }
    if (ch == 13) {
      lines.append(cur);
      cur.clear();
    } else {
      cur.append(static_cast<char>(ch));
    }
  }
  return lines;
}

}  // namespace

void frReadMemoOld(TfrStream &stream, QStringList &lines) {
  const QList<QByteArray> b = readMemoOldBytes(stream);
  lines.clear();
  for (const QByteArray &l : b) lines.append(platform::fromCp1250(l));
}

QString ReadFrString(TfrStream &stream) {
  return frVersion >= 23 ? frReadString(stream) : frReadStringOld(stream);
}

void ReadFrMemo(TfrStream &stream, QStringList &lines) {
  if (frVersion >= 23)
    frReadMemo(stream, lines);
  else
    frReadMemoOld(stream, lines);
}

QList<QByteArray> ReadFrMemoBytes(TfrStream &stream) {
  return frVersion >= 23 ? frReadMemoBytes(stream) : readMemoOldBytes(stream);
}

void frWriteShortString(TfrStream &stream, const QString &s) {
  QByteArray b = platform::toCp1250(s);
  if (b.size() > 255) b.truncate(255);
  stream.WriteU8(static_cast<quint8>(b.size()));
  stream.WriteBytes(b);
}

QString frReadShortString(TfrStream &stream) {
  const quint8 n = stream.ReadU8();
  return platform::fromCp1250(stream.ReadBytes(n));
}

TFontStyles frGetFontStyle(int stored) {
  TFontStyles s = 0;
  if (stored & 1) s |= fsItalic;
  if (stored & 2) s |= fsBold;
  if (stored & 4) s |= fsUnderline;
  return s;
}

int frSetFontStyle(TFontStyles style) {
  int r = 0;
  if (style & fsItalic) r |= 1;
  if (style & fsBold) r |= 2;
  if (style & fsUnderline) r |= 4;
  return r;
}

void frStripQuotes(QString &s) {
  if (!s.isEmpty() && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"')))
    s = s.size() > 2 ? s.mid(1, s.size() - 2) : QString();
}

}  // namespace report

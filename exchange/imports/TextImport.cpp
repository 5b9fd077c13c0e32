#include "exchange/imports/TextImport.h"

#include "platform/conv.h"
#include "platform/cp1250.h"
#include "platform/whole_file.h"

#include <QDate>
#include <QStringDecoder>

#include <algorithm>

namespace imports {

namespace {

// A field at a 1-based position: fewer characters when the line is shorter.
QString At(const QString &line, int position, int length) { return line.mid(position - 1, length); }
QString Trimmed(const QString &line, int position, int length) { return Trim(At(line, position, length)); }

// A number of the older version's exports: the decimal comma, or a point
// (which the database itself would have taken); empty is no value.
bool Number(const QString &text, QVariant &value) {
  if (text.isEmpty()) {
    value = QVariant();
    return true;
  }
  QString t = text;
  if (!t.contains(QLatin1Char(','))) t.replace(QLatin1Char('.'), QLatin1Char(','));
  long double v = 0;
  if (!platform::TryStrToFloat(t, v)) return false;
  value = static_cast<double>(v);
  return true;
}

QString Quoted(const QString &text) { return QStringLiteral("\"") + text.left(40) + QStringLiteral("\""); }

// Why a field's text cannot be stored as it is: a control character (the
// exports could not write it), or one the database's Windows-1250 lacks
// (it would become "?"). Empty when it can.
QString FieldRefusal(const QString &field, int number) {
  for (const QChar c : field) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
      return QStringLiteral("vezérlőkarakter (%1) a(z) %2. mezőben")
          .arg(QStringLiteral("#%1").arg(static_cast<int>(u)))
          .arg(number);
    if (platform::cp1250Byte(u) < 0)
      return QStringLiteral("a(z) %1. mezőben Windows-1250 kódlapon kívüli karakter: \"%2\"").arg(number).arg(c);
  }
  return QString();
}

// Refuses a record of the older version's exports whose texts hold what
// FieldRefusal refuses; a value's number is its place in the insert.
Record Checked(Record r) {
  for (int i = 0; i < r.values.size() && r.error.isEmpty(); ++i)
    if (r.values[i].typeId() == QMetaType::QString) r.error = FieldRefusal(r.values[i].toString(), i + 1);
  return r;
}

}  // namespace

QString DecodeText(const QByteArray &bytes, const QString &fileName) {
  if (bytes.contains('\0'))
    throw FileError(QStringLiteral("Hiba! A(z) \"%1\" fájl nem szöveges fájl (vagy nem Windows-1250 / UTF-8 "
                                   "kódolású), nem importálható.")
                        .arg(fileName));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) {
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
  }
  // Not UTF-8 as a whole: Windows-1250, unless a line beyond ASCII is UTF-8.
  // Such a file was saved partly in each; read whole in either, some of its
  // lines would be stored garbled, so it is refused, naming a line of each.
  int number = 0, utf8Line = 0, cp1250Line = 0;
  // The lines as SplitLines cuts them, looked at in the bytes themselves.
  const qsizetype n = bytes.size();
  for (qsizetype start = 0, i = 0; start < n; start = ++i) {
    while (i < n && bytes[i] != '\r' && bytes[i] != '\n') ++i;
    ++number;
    const QByteArrayView line(bytes.constData() + start, i - start);
    if (i + 1 < n && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
    if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      continue;
    int &first = line.isValidUtf8() ? utf8Line : cp1250Line;
    if (first == 0) first = number;
    if (utf8Line != 0 && cp1250Line != 0)
      throw FileError(QStringLiteral("Hiba! A(z) \"%1\" fájl sorai vegyesen UTF-8 és Windows-1250 kódolásúak "
                                     "(a(z) %2. sor UTF-8, a(z) %3. sor Windows-1250 kódolású), nem importálható. "
                                     "Mentse a fájlt egyetlen kódolással, és importálja újra.")
                          .arg(fileName)
                          .arg(utf8Line)
                          .arg(cp1250Line));
  }
  return platform::fromCp1250(bytes);
}

QStringList SplitLines(const QString &text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
    lines << text.mid(start, i - start);
    if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < n) lines << text.mid(start);
  return lines;
}

QStringList ReadLines(const QString &path) {
  const platform::Result<QByteArray> bytes = platform::readFileWhole(path);
  if (!bytes) throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, bytes.reason()));
  return SplitLines(DecodeText(*bytes, path));
}

QString Trim(const QString &text) {
  qsizetype b = 0, e = text.size();
  while (b < e && text[b].unicode() <= ' ') ++b;
  while (e > b && text[e - 1].unicode() <= ' ') --e;
  return text.mid(b, e - b);
}

Record OldProducer(const QString &line) {
  Record r;
  QVariant birth;  // null unless the line has a date there
  if (At(line, 233, 1) == QLatin1String(".")) {
    QDate d;
    const QString text = Trimmed(line, 229, 10);
    if (!platform::TryStrToDate(text, d)) r.error = QStringLiteral("hibás születési dátum: ") + Quoted(text);
    else birth = d;
  }
  r.values = {QStringLiteral("1") + At(line, 2, 5), Trimmed(line, 7, 45), Trimmed(line, 53, 4),
              Trimmed(line, 58, 45), Trimmed(line, 104, 45), Trimmed(line, 150, 10), Trimmed(line, 161, 8),
              Trimmed(line, 170, 10), QVariant(qint64(0)), Trimmed(line, 183, 45), birth, Trimmed(line, 240, 45), QVariant(qint64(0)),
              Trimmed(line, 288, 8), At(line, 297, 1), Trimmed(line, 299, 45), Trimmed(line, 345, 9),
              Trimmed(line, 355, 11), Trimmed(line, 367, 26), QStringLiteral("1")};
  return Checked(r);
}

Record OldProduct(const QString &line) {
  Record r;
  QVariant price, compensation;
  const QString priceText = Trimmed(line, 94, 15), compensationText = Trimmed(line, 121, 3);
  if (!Number(priceText, price)) r.error = QStringLiteral("hibás egységár: ") + Quoted(priceText);
  else if (!Number(compensationText, compensation))
    r.error = QStringLiteral("hibás kompenzációs mérték: ") + Quoted(compensationText);
  r.values = {QStringLiteral("1") + At(line, 2, 5), Trimmed(line, 7, 75), Trimmed(line, 83, 10), price,
              Trimmed(line, 110, 10), compensation, QStringLiteral("1")};
  return Checked(r);
}

Record OldReceiver(const QString &line, int lineNumber) {
  Record r;
  r.values = {QString::number(lineNumber), Trimmed(line, 1, 45), Trimmed(line, 47, 45), Trimmed(line, 93, 45),
              Trimmed(line, 139, 4), Trimmed(line, 144, 11)};
  return Checked(r);
}

QStringList SplitCsv(const QString &line, bool *unclosed) {
  constexpr int kMaxFields = 24;
  QStringList fields;
  if (unclosed) *unclosed = false;
  const qsizetype n = line.size();
  qsizetype i = 0;
  while (fields.size() < kMaxFields) {
    QString field;
    // Blanks before a quote do not stop it from opening a quoted field.
    qsizetype j = i;
    while (j < n && line[j] == QLatin1Char(' ')) ++j;
    if (j < n && line[j] == QLatin1Char('"')) {
      i = j + 1;
      bool closed = false;
      while (i < n) {
        if (line[i] == QLatin1Char('"')) {
          if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
            field += QLatin1Char('"');
            i += 2;
            continue;
          }
          closed = true;
          ++i;
          break;
        }
        field += line[i++];
      }
      if (!closed && unclosed) *unclosed = true;
    }
    // The rest up to the next ";" (all of an unquoted field).
    qsizetype end = line.indexOf(QLatin1Char(';'), i);
    if (end < 0) end = n;
    field += line.mid(i, end - i);
    fields << Trim(field);
    if (end >= n) break;
    i = end + 1;
  }
  return fields;
}

Record CsvProducer(const QString &line) {
  Record r;
  bool unclosed = false;
  QStringList f = SplitCsv(line, &unclosed);
  if (unclosed) r.error = QStringLiteral("lezáratlan idézőjel");
  while (f.size() < 18) f << QString();
  for (int i = 0; i < 18 && r.error.isEmpty(); ++i)
    if (i != 8) r.error = FieldRefusal(f[i], i + 1);  // field 9 is not used
  QVariant birth = QDate(1900, 1, 1);
  if (f[10].size() > 6) {
    QDate d;
    if (!platform::TryStrToDate(f[10].left(10), d)) {
      if (r.error.isEmpty()) r.error = QStringLiteral("hibás születési dátum: ") + Quoted(f[10]);
    } else {
      birth = d;
    }
  }
  const QString &taj = f[15];
  const QString tajValue = taj.size() == 11 ? taj.mid(0, 3) + taj.mid(4, 3) + taj.mid(8, 3) : taj.left(9);
  r.values = {f[0].left(5),  f[1].left(45), f[2].left(4),  f[3].left(45), f[4].left(45), f[5].left(10),
              f[6].left(8),  f[7].left(10), QVariant(qint64(0)),           f[9].left(45), birth,         f[11].left(45),
              f[12].left(8), f[13].left(1), f[14].left(45), tajValue,     f[16],         f[17]};
  return r;
}

}  // namespace imports

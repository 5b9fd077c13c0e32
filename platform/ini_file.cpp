#include "platform/ini_file.h"

#include <QStringDecoder>

#include "platform/conv.h"
#include "platform/cp1250.h"
#include "platform/whole_file.h"

#include <QFile>
#include <QFileInfo>

namespace platform {
namespace {

bool isBlank(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\v' || u == u'\f' || u == u'\r';
}

QString trimBlanks(const QString &s) {
  qsizetype b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString oneLine(QString s) {
  s.replace(u'\r', u' ');
  s.replace(u'\n', u' ');
  return s;
}

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

}  // namespace

IniDocument::Line IniDocument::classify(const QString &text) {
  Line line;
  line.text = text;
  const QString t = trimBlanks(text);
  if (t.startsWith(u'[')) {
    const qsizetype close = t.lastIndexOf(u']');
    if (close > 0) {
      line.kind = Line::Section;
      line.name = trimBlanks(t.mid(1, close - 1));
      return line;
    }
  }
  if (t.startsWith(u';')) return line;
  const qsizetype eq = t.indexOf(u'=');
  if (eq <= 0) return line;
  QString name = trimBlanks(t.left(eq));
  if (name.isEmpty()) return line;
  QString value = trimBlanks(t.mid(eq + 1));
  if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    value = value.mid(1, value.size() - 2);
  line.kind = Line::Key;
  line.name = std::move(name);
  line.value = std::move(value);
  return line;
}

IniDocument IniDocument::parse(const QByteArray &bytes) {
  IniDocument doc;
  QByteArrayView data(bytes);
  if (data.startsWith(kUtf8Bom)) {
    doc.utf8_ = true;
    data = data.sliced(kUtf8Bom.size());
  }
  qsizetype start = 0;
  const qsizetype n = data.size();
  auto addLine = [&](qsizetype from, qsizetype to) {
    const QByteArrayView raw = data.sliced(from, to - from);
    // A byte-order mark inside the text is kept as a character: the plain
    // UTF-8 conversion would drop one at the start of each line.
    QString text;
    if (doc.utf8_) {
      QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
      text = utf8(raw);
    } else {
      text = fromCp1250(std::string_view(raw.data(), static_cast<size_t>(raw.size())));
    }
    doc.lines_.push_back(classify(text));
  };
  for (qsizetype i = 0; i < n; ++i) {
    const char c = data[i];
    if (c == '\n' || c == '\r') {
      addLine(start, i);
      if (c == '\r' && i + 1 < n && data[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) addLine(start, n);
  return doc;
}

QByteArray IniDocument::toBytes() const {
  QByteArray out;
  if (utf8_) out += kUtf8Bom;
  for (const Line &line : lines_) {
    out += utf8_ ? line.text.toUtf8() : toCp1250(line.text);
    out += "\r\n";
  }
  return out;
}

qsizetype IniDocument::findSection(const QString &section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Section && sameName(lines_[i].name, section)) return static_cast<qsizetype>(i);
  }
  return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
  size_t i = static_cast<size_t>(header) + 1;
  while (i < lines_.size() && lines_[i].kind != Line::Section) ++i;
  return static_cast<qsizetype>(i);
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const {
  const qsizetype h = findSection(section);
  if (h < 0) return std::nullopt;
  const qsizetype end = sectionEnd(h);
  for (qsizetype i = h + 1; i < end; ++i) {
    const Line &line = lines_[static_cast<size_t>(i)];
    if (line.kind == Line::Key && sameName(line.name, key)) return line.value;
  }
  return std::nullopt;
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value) {
  const QString sec = trimBlanks(oneLine(section));
  const QString k = trimBlanks(oneLine(key));
  const QString text = k + u'=' + oneLine(value);
  qsizetype h = findSection(sec);
  if (h < 0) {
    lines_.push_back(classify(u'[' + sec + u']'));
    lines_.push_back(classify(text));
    return;
  }
  const qsizetype end = sectionEnd(h);
  qsizetype insertAt = h + 1;
  for (qsizetype i = h + 1; i < end; ++i) {
    Line &line = lines_[static_cast<size_t>(i)];
    if (line.kind == Line::Key && sameName(line.name, k)) {
      line = classify(line.name + u'=' + oneLine(value));
      return;
    }
    if (!trimBlanks(line.text).isEmpty()) insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + insertAt, classify(text));
}

void IniDocument::removeKey(const QString &section, const QString &key) {
  const qsizetype h = findSection(section);
  if (h < 0) return;
  const qsizetype end = sectionEnd(h);
  for (qsizetype i = h + 1; i < end; ++i) {
    const Line &line = lines_[static_cast<size_t>(i)];
    if (line.kind == Line::Key && sameName(line.name, key)) {
      lines_.erase(lines_.begin() + i);
      return;
    }
  }
}

void IniDocument::removeSection(const QString &section) {
  for (qsizetype h = findSection(section); h >= 0; h = findSection(section)) {
    lines_.erase(lines_.begin() + h, lines_.begin() + sectionEnd(h));
  }
}

QStringList IniDocument::sections() const {
  QStringList out;
  for (const Line &line : lines_) {
    if (line.kind == Line::Section) out << line.name;
  }
  return out;
}

QStringList IniDocument::keys(const QString &section) const {
  QStringList out;
  const qsizetype h = findSection(section);
  if (h < 0) return out;
  const qsizetype end = sectionEnd(h);
  for (qsizetype i = h + 1; i < end; ++i) {
    const Line &line = lines_[static_cast<size_t>(i)];
    if (line.kind == Line::Key) out << line.name;
  }
  return out;
}

// ---------------------------------------------------------------------------

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName)) {}

IniDocument IniFile::load() const {
  const Result<QByteArray> bytes = readFileWhole(fileName_);
  return bytes ? IniDocument::parse(*bytes) : IniDocument();
}

IniDocument IniFile::loadForWrite() const {
  if (!QFile::exists(fileName_)) return {};
  // An existing file that cannot be read must not be replaced by one key.
  const Result<QByteArray> bytes = readFileWhole(fileName_);
  if (!bytes)
    throw IniFileError(QStringLiteral("Unable to write to %1. %2").arg(fileName_, bytes.reason()).toStdString());
  return IniDocument::parse(*bytes);
}

void IniFile::save(const IniDocument &doc) {
  if (const Done done = writeFileWhole(fileName_, doc.toBytes()); !done)
    throw IniFileError(QStringLiteral("Unable to write to %1. %2").arg(fileName_, done.reason()).toStdString());
}

QString IniFile::ReadString(const QString &section, const QString &ident, const QString &defaultValue) const {
  return load().value(section, ident).value_or(defaultValue);
}

int IniFile::ReadInteger(const QString &section, const QString &ident, int defaultValue) const {
  QString text = ReadString(section, ident, QString());
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) text = u'$' + text.mid(2);
  return StrToIntDef(text, defaultValue);
}

bool IniFile::ReadBool(const QString &section, const QString &ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

long double IniFile::ReadFloat(const QString &section, const QString &ident, long double defaultValue,
                               const FormatSettings &fs) const {
  const QString text = ReadString(section, ident, QString());
  long double v;
  return !text.isEmpty() && TryStrToFloat(text, v, fs) ? v : defaultValue;
}

void IniFile::WriteString(const QString &section, const QString &ident, const QString &value) {
  IniDocument doc = loadForWrite();
  doc.setValue(section, ident, value);
  save(doc);
}

void IniFile::WriteInteger(const QString &section, const QString &ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void IniFile::WriteBool(const QString &section, const QString &ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::WriteFloat(const QString &section, const QString &ident, long double value, const FormatSettings &fs) {
  WriteString(section, ident, FloatToStr(value, fs));
}

bool IniFile::SectionExists(const QString &section) const { return !ReadSection(section).isEmpty(); }

bool IniFile::ValueExists(const QString &section, const QString &ident) const {
  return load().value(section, ident).has_value();
}

QStringList IniFile::ReadSections() const { return load().sections(); }

QStringList IniFile::ReadSection(const QString &section) const { return load().keys(section); }

void IniFile::EraseSection(const QString &section) {
  IniDocument doc = loadForWrite();
  doc.removeSection(section);
  save(doc);
}

void IniFile::DeleteKey(const QString &section, const QString &ident) {
  IniDocument doc = loadForWrite();
  doc.removeKey(section, ident);
  save(doc);
}

}  // namespace platform

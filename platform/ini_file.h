#pragma once
// Windows-profile (ini) files, read and written the way the Windows profile
// functions do, in place of QSettings (whose escaping is not this format).
//
// Format: "[section]" lines and "key=value" lines; sections and keys compare
// without regard to case; key and value are taken around the first '=' with
// blanks trimmed; a value in one pair of matching quotes ("..." or '...')
// loses them; no escaping. Lines starting with ';', lines without '=' and
// keys before the first section are kept but never read. When a section or
// key occurs twice, the first counts. Bytes are Windows-1250 (a file that
// starts with a UTF-8 byte-order mark is read and written as UTF-8); lines end
// in CR LF when written. Any bytes parse: a malformed file reads as far as it
// is sound.
#include "platform/format_settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>
#include <vector>

namespace platform {

// The contents of one profile file, kept line by line so that writing a key
// leaves the other lines, their order and comments as they were.
class IniDocument {
 public:
  static IniDocument parse(const QByteArray &bytes);
  QByteArray toBytes() const;

  // The value of the first such key in the first such section.
  std::optional<QString> value(const QString &section, const QString &key) const;
  // Replaces the key's value, or adds the key at the end of its section, or
  // adds the section at the end. Line breaks in the texts become blanks.
  void setValue(const QString &section, const QString &key, const QString &value);
  void removeKey(const QString &section, const QString &key);
  void removeSection(const QString &section);  // every section of that name

  QStringList sections() const;                      // in file order
  QStringList keys(const QString &section) const;    // of the first such section

 private:
  struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    QString text;   // the line as read or written
    QString name;   // section or key name, trimmed
    QString value;  // key value, trimmed and unquoted
  };
  static Line classify(const QString &text);
  // Index of the first section header with this name, or -1.
  qsizetype findSection(const QString &section) const;
  // One past the last line belonging to the section starting at header.
  qsizetype sectionEnd(qsizetype header) const;

  std::vector<Line> lines_;
  bool utf8_ = false;
};

class IniFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A profile file on disk (a native path), with the class library's reading
// and writing operations. Every read reads the file afresh; every write reads
// it, changes the one key and replaces the file atomically (a temporary file
// in the same folder renamed over it). A missing or unreadable file reads as
// empty; a failed write throws IniFileError "Unable to write to <file>. <reason>" and
// leaves the file as it was.
class IniFile {
 public:
  explicit IniFile(QString fileName);
  const QString &fileName() const { return fileName_; }

  QString ReadString(const QString &section, const QString &ident, const QString &defaultValue) const;
  // A "0x" prefix reads as hex; text that is not a number gives the default.
  int ReadInteger(const QString &section, const QString &ident, int defaultValue) const;
  // Through ReadInteger: any number but 0 is true.
  bool ReadBool(const QString &section, const QString &ident, bool defaultValue) const;
  // Through StrToFloat; text that is not a number gives the default.
  long double ReadFloat(const QString &section, const QString &ident, long double defaultValue,
                        const FormatSettings &fs = regional()) const;

  void WriteString(const QString &section, const QString &ident, const QString &value);
  void WriteInteger(const QString &section, const QString &ident, int value);
  void WriteBool(const QString &section, const QString &ident, bool value);  // "1" / "0"
  void WriteFloat(const QString &section, const QString &ident, long double value,
                  const FormatSettings &fs = regional());

  bool SectionExists(const QString &section) const;  // a section with at least one key
  bool ValueExists(const QString &section, const QString &ident) const;
  QStringList ReadSections() const;
  QStringList ReadSection(const QString &section) const;  // its keys
  void EraseSection(const QString &section);
  void DeleteKey(const QString &section, const QString &ident);

 private:
  IniDocument load() const;
  IniDocument loadForWrite() const;
  void save(const IniDocument &doc);

  QString fileName_;
};

}  // namespace platform

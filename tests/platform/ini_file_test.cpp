#include "platform/ini_file.h"

#include "platform/error_text.h"

#include "platform/cp1250.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>

#include <gtest/gtest.h>

#include "qt_print.h"

using namespace platform;

namespace {

QByteArray readBytes(const QString &path) { return vorik::test::readFile(path, "<unreadable>"); }

}  // namespace

TEST(IniDocument, ReadsTheWindowsProfileFormat) {
  const IniDocument doc = IniDocument::parse(
      "; options\r\n"
      "[Form9]\r\n"
      "Edit14Visible=1\r\n"
      "  edit14text  =   2,5   \r\n"
      "Quoted=\"  kept blanks \"\r\n"
      "Single='x'\r\n"
      "Mismatched=\"x'\r\n"
      "Empty=\r\n"
      "Eq=a=b\r\n"
      ";Edit13Text=99\r\n"
      "Edit14Visible=0\r\n"
      "[ XML ]\n"
      "hova=C:\\QZ2016\\szamlak.xml\n"
      "[form9]\n"
      "Late=1\n");
  EXPECT_EQ(doc.value("FORM9", "EDIT14VISIBLE"), "1");  // the first of two counts
  EXPECT_EQ(doc.value("Form9", "Edit14Text"), "2,5");
  EXPECT_EQ(doc.value("Form9", "Quoted"), "  kept blanks ");
  EXPECT_EQ(doc.value("Form9", "Single"), "x");
  EXPECT_EQ(doc.value("Form9", "Mismatched"), "\"x'");
  EXPECT_EQ(doc.value("Form9", "Empty"), "");
  EXPECT_EQ(doc.value("Form9", "Eq"), "a=b");
  EXPECT_EQ(doc.value("Form9", "Edit13Text"), std::nullopt);  // a comment
  EXPECT_EQ(doc.value("Form9", ";Edit13Text"), std::nullopt);
  EXPECT_EQ(doc.value("xml", "Hova"), "C:\\QZ2016\\szamlak.xml");  // backslashes are not escapes
  EXPECT_EQ(doc.value("Form9", "Late"), std::nullopt);                // only the first section counts
  EXPECT_EQ(doc.value("Form10", "Edit8Text"), std::nullopt);
  EXPECT_EQ(doc.sections(), QStringList({"Form9", "XML", "form9"}));
  EXPECT_EQ(doc.keys("form9"), QStringList({"Edit14Visible", "edit14text", "Quoted", "Single", "Mismatched",
                                            "Empty", "Eq", "Edit14Visible"}));
}

TEST(IniDocument, MalformedBytesReadAsFarAsTheyAreSound) {
  QByteArray bytes("garbage without equals\r\n=no key\r\n[Broken\r\nA=1\r\n[Form10]\r\nEdit8Text=12\r\n");
  bytes += QByteArray("\x00\xff\x81\x90 junk\r\n", 11);
  bytes += "Edit10Visible=1\r\nnoequals\r\n[\r\n]\r\nTail=\x8a\r";
  const IniDocument doc = IniDocument::parse(bytes);
  EXPECT_EQ(doc.value("Form10", "Edit8Text"), "12");
  EXPECT_EQ(doc.value("Form10", "Edit10Visible"), "1");
  EXPECT_EQ(doc.value("Broken", "A"), std::nullopt);  // "[Broken" is no header
  EXPECT_EQ(doc.value("Form10", "Tail"), QString(QChar(0x0160)));  // lone CR ends a line; 0x8A is Š
  // Bytes survive a rewrite whatever they are.
  EXPECT_TRUE(doc.toBytes().contains(QByteArray("\x00\xff\x81\x90 junk\r\n", 11)));
  for (const QByteArray &b : {QByteArray(), QByteArray("["), QByteArray("="), QByteArray("\r\n\r\n"),
                              QByteArray("[a]"), QByteArray(1000, '[')}) {
    const IniDocument d = IniDocument::parse(b);
    EXPECT_EQ(d.value("a", "b"), std::nullopt);
  }
}

TEST(IniDocument, WritingKeepsTheRestOfTheFile) {
  IniDocument doc = IniDocument::parse(
      "; comment\n[Form9]\nEdit14Visible = 1\n\n[Form10]\nEdit8Text=12\n\n[Other]\nx=y\n");
  doc.setValue("FORM9", "edit14visible", "0");  // replaced in place, key spelling kept
  doc.setValue("form9", "Edit15Text", "3,5");   // added after the section's last line
  doc.setValue("New", "K", "v\r\nInjected=1");  // a new section at the end; no line breaks
  EXPECT_EQ(doc.toBytes(),
            "; comment\r\n[Form9]\r\nEdit14Visible=0\r\nEdit15Text=3,5\r\n\r\n[Form10]\r\nEdit8Text=12\r\n\r\n"
            "[Other]\r\nx=y\r\n[New]\r\nK=v  Injected=1\r\n");
  EXPECT_EQ(doc.value("New", "Injected"), std::nullopt);
  doc.removeKey("form10", "EDIT8TEXT");
  doc.removeSection("other");
  EXPECT_EQ(doc.value("Form10", "Edit8Text"), std::nullopt);
  EXPECT_EQ(doc.sections(), QStringList({"Form9", "Form10", "New"}));
  // Parse of the written bytes gives the same values.
  const IniDocument again = IniDocument::parse(doc.toBytes());
  EXPECT_EQ(again.value("Form9", "Edit15Text"), "3,5");
  EXPECT_EQ(again.toBytes(), doc.toBytes());
}

TEST(IniFile, ReadsWithTheCallersDefaults) {
  vorik::test::TempDir dir;
  const QString path = dir.file("progform9.ini");
  IniFile missing(dir.file("nothere.ini"));
  EXPECT_EQ(missing.ReadString("Form9", "Edit14Text", "def"), "def");
  EXPECT_EQ(missing.ReadInteger("Form9", "X", 7), 7);
  EXPECT_FALSE(missing.SectionExists("Form9"));

  vorik::test::writeFile(
      path,
      "[Form9]\r\nInt=42\r\nHex=0x1F\r\nDollar=$10\r\nBad=12a\r\nOn=1\r\nOff=0\r\nYes=yes\r\n"
      "F=12,5\r\nFDot=12.5\r\nNeg=-3\r\n[Empty]\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("form9", "int", 0), 42);
  EXPECT_EQ(ini.ReadInteger("Form9", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Form9", "Dollar", 0), 16);
  EXPECT_EQ(ini.ReadInteger("Form9", "Bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Form9", "Missing", -1), -1);
  EXPECT_TRUE(ini.ReadBool("Form9", "On", false));
  EXPECT_FALSE(ini.ReadBool("Form9", "Off", true));
  EXPECT_TRUE(ini.ReadBool("Form9", "Neg", false));
  EXPECT_TRUE(ini.ReadBool("Form9", "Yes", true));  // not a number: the default
  EXPECT_FALSE(ini.ReadBool("Form9", "Yes", false));
  EXPECT_EQ(ini.ReadFloat("Form9", "F", 0), 12.5L);
  EXPECT_EQ(ini.ReadFloat("Form9", "FDot", -1), -1);  // '.' is not the decimal separator
  FormatSettings dot;
  dot.decimalSeparator = u'.';
  EXPECT_EQ(ini.ReadFloat("Form9", "FDot", -1, dot), 12.5L);
  EXPECT_TRUE(ini.SectionExists("FORM9"));
  EXPECT_FALSE(ini.SectionExists("Empty"));  // a section without keys does not count
  EXPECT_TRUE(ini.ValueExists("Form9", "OFF"));
  EXPECT_FALSE(ini.ValueExists("Form9", "Nope"));
  EXPECT_EQ(ini.ReadSections(), QStringList({"Form9", "Empty"}));
}

TEST(IniFile, WritesWindows1250WithCrLfAndKeepsOtherLines) {
  vorik::test::TempDir dir;
  const QString path = dir.file("progXML.ini");
  IniFile ini(path);
  ini.WriteString("XML", "hova", "C:\\QZ2025\\szamlak.xml");
  ini.WriteString("XML", "papir", "Papír alapon számítógéppel kiállított");
  ini.WriteBool("XML", "onszla", true);
  ini.WriteInteger("Form9", "N", -5);
  ini.WriteFloat("Form9", "F", 1234.5L);
  const QByteArray expected = "[XML]\r\nhova=C:\\QZ2025\\szamlak.xml\r\npapir=" +
                              toCp1250("Papír alapon számítógéppel kiállított") +
                              "\r\nonszla=1\r\n[Form9]\r\nN=-5\r\nF=1234,5\r\n";
  EXPECT_EQ(readBytes(path), expected);
  EXPECT_EQ(ini.ReadString("xml", "PAPIR", ""), "Papír alapon számítógéppel kiállított");

  // Another writer's changes in between are kept: every write reads the file.
  vorik::test::writeFile(path, readBytes(path) + "; added by hand\r\n[Hand]\r\nA=1\r\n");
  ini.WriteString("XML", "hova", "D:\\x.xml");
  EXPECT_EQ(IniFile(path).ReadString("Hand", "A", ""), "1");
  EXPECT_TRUE(readBytes(path).contains("; added by hand\r\n"));
  ini.DeleteKey("XML", "onszla");
  ini.EraseSection("hand");
  EXPECT_EQ(ini.ReadSection("XML"), QStringList({"hova", "papir"}));
  EXPECT_EQ(ini.ReadSections(), QStringList({"XML", "Form9"}));
}

TEST(IniFile, Utf8FileWithByteOrderMarkStaysUtf8) {
  vorik::test::TempDir dir;
  const QString path = dir.file("u.ini");
  vorik::test::writeFile(path, "\xEF\xBB\xBF[S]\nName=\xC5\x90r\xC3\xBClt\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "Name", ""), "Őrült");
  ini.WriteString("S", "Other", "Űrhajós");
  EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[S]\r\nName=\xC5\x90r\xC3\xBClt\r\nOther=\xC5\xB0rhaj\xC3\xB3s\r\n");
}

TEST(IniFile, AFailedWriteChangesNothing) {
  vorik::test::TempDir dir;
  QDir(dir.path()).mkdir("folder.ini");
  const struct {
    const char *name;
    int error;
  } refused[] = {{"missing/sub/x.ini", ENOENT}, {"folder.ini", EISDIR}};
  for (const auto &c : refused) {
    IniFile ini(dir.file(c.name));
    try {
      ini.WriteString("S", "K", "v");
      ADD_FAILURE() << c.name << ": no error";
    } catch (const IniFileError &e) {
      EXPECT_EQ(QString::fromUtf8(e.what()),
                "Unable to write to " + dir.file(c.name) + ". " + platform::systemErrorText(c.error));
    }
  }
  EXPECT_FALSE(QFile::exists(dir.file("missing/sub/x.ini")));
  EXPECT_TRUE(QFileInfo(dir.file("folder.ini")).isDir());

  // A folder we may not write to: the old file stays whole, no temporary left behind.
  QDir(dir.path()).mkdir("ro");
  const QString path = dir.file("ro/x.ini");
  vorik::test::writeFile(path, "[S]\r\nK=old\r\n");
  QFile::setPermissions(dir.file("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const bool writable = QFileInfo(dir.file("ro")).isWritable();  // root may write anyway
  IniFile ini(path);
  if (!writable) {
    EXPECT_THROW(ini.WriteString("S", "K", "new"), IniFileError);
    EXPECT_EQ(readBytes(path), "[S]\r\nK=old\r\n");
    EXPECT_EQ(QDir(dir.file("ro")).entryList(QDir::Files | QDir::Hidden), QStringList({"x.ini"}));
  }
  QFile::setPermissions(dir.file("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

  // An existing file we cannot read is not replaced by a one-key file.
  QFile::setPermissions(path, QFileDevice::WriteOwner);
  if (!QFile(path).open(QIODevice::ReadOnly)) {
    EXPECT_THROW(ini.WriteString("S", "K2", "v"), IniFileError);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readBytes(path), "[S]\r\nK=old\r\n");
  }
}

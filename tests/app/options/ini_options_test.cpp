// Ticket options from the ini files beside the program.
#include "app/SharedState.h"
#include "app/options/IniOptions.h"

#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(IniOptions, FileNameBesideTheProgram) {
  // The extension of the program file is replaced...
  EXPECT_EQ(IniPathBeside(QStringLiteral("C:\\dir\\prog.exe"), QStringLiteral("form9.ini")),
            QStringLiteral("C:\\dir\\progform9.ini"));
  // ...and a file without one (Linux) gets the name appended.
  EXPECT_EQ(IniPathBeside(QStringLiteral("/opt/vorik/bin/vorik"), QStringLiteral("form10.ini")),
            QStringLiteral("/opt/vorik/bin/vorikform10.ini"));
  // A dot in a folder name is not an extension.
  EXPECT_EQ(IniPathBeside(QStringLiteral("/home/a.b/vorik"), QStringLiteral("form9.ini")),
            QStringLiteral("/home/a.b/vorikform9.ini"));
}

namespace {

void clearOptions() {
  for (QString *s : {&Edit14Option, &Edit15Option, &Edit13Option, &Edit14Default, &Edit15Default,
                     &Edit13Default, &Edit10Option, &Edit8Default})
    s->clear();
}

}  // namespace

TEST(IniOptions, ReadsSectionsAndKeysWithoutRegardToCase) {
  vorik::test::TempDir dir;
  clearOptions();
  vorik::test::writeFile(dir.file(QStringLiteral("vorikform9.ini")),
                         "[form9]\r\nEDIT14VISIBLE=1\r\nedit15visible = 0\r\nEdit13Visible=1\r\n"
                         "edit14text=2,5\r\nEdit15Text=\r\n[Other]\r\nEdit13Text=99\r\n");
  vorik::test::writeFile(dir.file(QStringLiteral("vorikform10.ini")),
                         "[FORM10]\r\nedit10visible=1\r\nEDIT8TEXT=12\r\n");
  ReadForm9Options(IniPathBeside(dir.file(QStringLiteral("vorik")), QStringLiteral("form9.ini")));
  ReadForm10Options(IniPathBeside(dir.file(QStringLiteral("vorik")), QStringLiteral("form10.ini")));
  EXPECT_EQ(Edit14Option, QStringLiteral("1"));
  EXPECT_EQ(Edit15Option, QStringLiteral("0"));
  EXPECT_EQ(Edit13Option, QStringLiteral("1"));
  EXPECT_EQ(Edit14Default, QStringLiteral("2,5"));
  EXPECT_EQ(Edit15Default, QString());  // present and empty
  EXPECT_EQ(Edit13Default, QString());  // only in another section
  EXPECT_EQ(Edit10Option, QStringLiteral("1"));
  EXPECT_EQ(Edit8Default, QStringLiteral("12"));
}

TEST(IniOptions, MissingOrBrokenFilesLeaveTheOptionsAsTheyWere) {
  vorik::test::TempDir dir;
  clearOptions();
  Edit14Option = QStringLiteral("1");
  Edit8Default = QStringLiteral("7");
  ReadForm9Options(dir.file(QStringLiteral("nincs-form9.ini")));
  ReadForm10Options(dir.file(QStringLiteral("nincs-form10.ini")));
  EXPECT_EQ(Edit14Option, QStringLiteral("1"));
  EXPECT_EQ(Edit8Default, QStringLiteral("7"));
  EXPECT_EQ(Edit15Option, QString());

  // Garbage bytes, a NUL, stray brackets and a header cut off at the end.
  const QString broken = dir.file(QStringLiteral("broken.ini"));
  vorik::test::writeFile(broken, QByteArray("\x00\xff\x81\r\n=\n[\n]\r\n[Other]\r\nEdit14Visible=0", 36) +
                                     QByteArray(1000, '\xfe') + QByteArray("\r\n[Form9"));
  ReadForm9Options(broken);
  EXPECT_EQ(Edit14Option, QStringLiteral("1"));
  // A folder where the file should be reads as a missing file.
  ReadForm10Options(dir.path());
  EXPECT_EQ(Edit8Default, QStringLiteral("7"));

  // The 08M return reads Edit15Visible alone.
  vorik::test::writeFile(dir.file(QStringLiteral("f9.ini")), "[Form9]\nEdit15Visible=1\nEdit14Visible=0\n");
  ReadEdit15Visible(dir.file(QStringLiteral("f9.ini")));
  EXPECT_EQ(Edit15Option, QStringLiteral("1"));
  EXPECT_EQ(Edit14Option, QStringLiteral("1"));
}

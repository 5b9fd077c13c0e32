// Ticket options from the ini files beside the program.
#include "app/SharedState.h"
#include "app/options/IniOptions.h"

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

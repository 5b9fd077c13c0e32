#pragma once
// The report component as the engine's tests build it: "frNyomtat", its data
// sources owned by "Data", error boxes collected instead of shown, no preview
// and no progress window, the fake printers when a test asks for them; the
// engine's process-wide state put back before and after.
#include "layout_builder.h"

#include "platform/error_text.h"
#include "report/core/FR_Class_Build.h"
#include "report/core/FR_Utils.h"
#include "report/output/FR_Prntr_Fake.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <cerrno>
#include <initializer_list>

namespace report::test {

// For each way a file to be read is not there, load(path of name in dir)
// throws the engine's "Cannot open file" naming the path and the reason.
template <class Load>
void ExpectUnreadableRefused(const QString &dir, const QString &name, Load load) {
  const QString path = QDir(dir).filePath(name);
  for (const vorik::test::UnreadableFile &c : vorik::test::unreadableFiles()) {
    SCOPED_TRACE(c.reason.toStdString());
    ASSERT_TRUE(vorik::test::makeUnreadable(path, c));
    try {
      load(path);
      ADD_FAILURE() << "no error";
    } catch (const Exception &e) {
      EXPECT_EQ(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, c.reason));
    }
  }
}

// save() on the filled disk throws the engine's error ending with the
// system's reason; the disk has room again afterwards.
template <class Save>
void ExpectFullDiskRefused(vorik::test::FullDisk &disk, Save save) {
  disk.fill();
  try {
    save();
    ADD_FAILURE() << "a full disk reported as success";
  } catch (const Exception &e) {
    EXPECT_TRUE(e.message().endsWith(platform::systemErrorText(disk.mounted() ? ENOSPC : EFBIG)))
        << e.message().toStdString();
  }
  disk.release();
}

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frResetGlobals();
    owner.setObjectName("Data");
    frSetReportOwner(&owner);
    frErrorBox = [this](const QString &t) { errors << t; };
    frShowPreview = nullptr;
    frProgressForm = nullptr;
    rep.Name = "frNyomtat";
    rep.ShowProgress = false;
  }
  void TearDown() override {
    frPrinter = nullptr;
    frSetReportOwner(nullptr);
    frResetGlobals();
  }
  // Prints on fake printers of these names (the first is current), through frPrinter.
  void FakePrinters(std::initializer_list<const char *> names) {
    for (const char *n : names) backend.printers.push_back(TfrFakePrinterBackend::standardPrinter(n));
    prn.SetPrinter(&backend);
    frPrinter = &prn;
  }
  // Loads the layout into the report and builds it (built: the build's result).
  void Build(LayoutBuilder &l) {
    l.LoadInto(rep);
    built = rep.PrepareReport();
  }

  QObject owner;
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
  TfrReport rep;
  QStringList errors;
  bool built = false;
};

}  // namespace report::test

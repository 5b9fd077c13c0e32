#pragma once
// The report component as the engine's tests build it: "frNyomtat", its data
// sources owned by "Data", error boxes collected instead of shown, no preview
// and no progress window, the fake printers when a test asks for them; the
// engine's process-wide state put back before and after.
#include "layout_builder.h"

#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Prntr_Fake.h"

#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>

namespace report::test {

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

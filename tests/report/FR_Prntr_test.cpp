#include "report/output/FR_Prntr.h"
#include "report/output/FR_Prntr_Fake.h"

#include <QPrinterInfo>

#include <gtest/gtest.h>

using namespace report;

namespace {

// Printer wrapper over a fake backend with nothing installed.
TEST(PrinterWrapper, NoPrinterHoldsOnlyDefaultPrinterAndBuiltInTable) {
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
  prn.SetPrinter(&backend);
  ASSERT_EQ(prn.Printers, QStringList{QStringLiteral("Default printer")});
  EXPECT_EQ(prn.PrinterIndex(), 0);
  EXPECT_TRUE(prn.IsDefaultPrinter());

  ASSERT_EQ(prn.PaperCount, 67);
  ASSERT_EQ(prn.PaperNames.size(), 67);
  EXPECT_EQ(prn.PaperNames.first(), QStringLiteral("Letter, 8 1/2 x 11\""));
  EXPECT_EQ(prn.PaperNames.at(19), QStringLiteral("#10 Envelope, 4 1/8  x 9 1/2\""));
  EXPECT_EQ(prn.PaperNames.last(), QStringLiteral("Custom"));
  EXPECT_EQ(prn.PaperCodes[66], 256);
  EXPECT_EQ(prn.PaperCodes[46], 47);
  EXPECT_EQ(prn.PaperCodes[47], 50);  // 48 and 49 are not in the table
  EXPECT_EQ(prn.PaperCodes[67], 0);

  // Without any backend the wrapper behaves the same.
  TfrPrinter bare;
  bare.SetPrinter(nullptr);
  EXPECT_EQ(bare.Printers, prn.Printers);
  EXPECT_EQ(bare.PaperCount, 67);
}

TEST(PrinterWrapper, DefaultPrinterA4GeometryPortraitAndLandscape) {
  TfrPrinter prn;
  prn.SetPrinter(nullptr);
  prn.SetPrinterInfo(9, 0, 0, 0);
  EXPECT_EQ(prn.PaperWidth, 2100);
  EXPECT_EQ(prn.PaperHeight, 2970);

  TfrPageGeometry g;
  g.physWidth = 1234;  // device-unit fields stay as they were
  prn.FillPageGeometry(g);
  EXPECT_EQ(g.pageWidth, 752);
  EXPECT_EQ(g.pageHeight, 1071);
  EXPECT_EQ(g.offsetX, 18);
  EXPECT_EQ(g.offsetY, 18);
  EXPECT_EQ(g.printPixWidth, 752 - 36);
  EXPECT_EQ(g.printPixHeight, 1071 - 36);
  EXPECT_EQ(g.physWidth, 1234);

  prn.SetPrinterInfo(9, 0, 0, 1);
  EXPECT_EQ(prn.PaperWidth, 2970);
  EXPECT_EQ(prn.PaperHeight, 2100);
  prn.FillPageGeometry(g);
  EXPECT_EQ(g.pageWidth, 1064);
  EXPECT_EQ(g.pageHeight, 758);
  EXPECT_EQ(g.printPixWidth, 1064 - 36);

  // A custom size is taken as given, also in landscape.
  prn.SetPrinterInfo(256, 1000, 500, 1);
  EXPECT_EQ(prn.PaperWidth, 1000);
  EXPECT_EQ(prn.PaperHeight, 500);
}

TEST(PrinterWrapper, IsEqualComparesSizesOnlyForCustomPaper) {
  TfrPrinter prn;
  prn.SetPrinter(nullptr);
  prn.SetPrinterInfo(9, 0, 0, 0);
  EXPECT_TRUE(prn.IsEqual(9, 1, 2, 0));
  EXPECT_FALSE(prn.IsEqual(9, 2100, 2970, 1));
  EXPECT_FALSE(prn.IsEqual(8, 2100, 2970, 0));
  prn.SetPrinterInfo(256, 1500, 1000, 0);
  EXPECT_TRUE(prn.IsEqual(256, 1500, 1000, 0));
  EXPECT_FALSE(prn.IsEqual(256, 1500, 1001, 0));
  // A paper marked unknown is re-applied by the next page.
  prn.PaperSize = -1;
  EXPECT_FALSE(prn.IsEqual(256, 1500, 1000, 0));
}

TEST(PrinterWrapper, PaperCodeIndexFallsBackToLastIndex) {
  TfrPrinter prn;
  prn.SetPrinter(nullptr);
  EXPECT_EQ(prn.PaperCodeIndex(9), 8);
  EXPECT_EQ(prn.PaperCodeIndex(50), 47);
  EXPECT_EQ(prn.PaperCodeIndex(48), 66);
  EXPECT_EQ(prn.PaperCodeIndex(256), 66);
}

class RealPrinters : public ::testing::Test {
 protected:
  void SetUp() override {
    backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser", 600, 600));
    backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Matrix", 300, 300));
    backend.current = 0;
  }
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
};

TEST_F(RealPrinters, ListEndsWithDefaultPrinterAndSelectsTheSystemsCurrent) {
  backend.current = 1;
  prn.SetPrinter(&backend);
  EXPECT_EQ(prn.Printers, (QStringList{"Laser", "Matrix", "Default printer"}));
  EXPECT_EQ(prn.DefaultPrinterIndex(), 2);
  EXPECT_EQ(prn.PrinterIndex(), 1);
  EXPECT_EQ(backend.selected(), QStringLiteral("Matrix"));
  // The settings of the printer: its papers, its paper, the size from the device.
  EXPECT_EQ(prn.PaperCount, 3);
  EXPECT_EQ(prn.PaperNames, (QStringList{"A4", "A3", "Letter"}));
  EXPECT_EQ(prn.PaperSize, 9);
  EXPECT_EQ(prn.PaperWidth, 2100);
  EXPECT_EQ(prn.PaperHeight, 2970);
  EXPECT_EQ(prn.PaperCodeIndex(1), 2);
  EXPECT_EQ(prn.PaperCodeIndex(11), 2);

  prn.SetPrinterIndex(2);
  EXPECT_TRUE(prn.IsDefaultPrinter());
  EXPECT_EQ(prn.PaperCount, 67);
  prn.SetPrinterIndex(0);
  EXPECT_EQ(backend.selected(), QStringLiteral("Laser"));
  EXPECT_EQ(prn.PaperCount, 3);
}

TEST_F(RealPrinters, PaperSettingsGoToThePrinterAndGeometryComesFromIt) {
  prn.SetPrinter(&backend);
  TfrPageGeometry g;
  prn.FillPageGeometry(g);
  // A4 at 600 dpi: 4961 x 7016 device pixels, 100 pixels unprintable on each edge.
  EXPECT_EQ(g.physWidth, 4961);
  EXPECT_EQ(g.physHeight, 7016);
  EXPECT_EQ(g.pageWidth, 752);
  EXPECT_EQ(g.pageHeight, 1071);
  EXPECT_EQ(g.physOffsetX, 100);
  EXPECT_EQ(g.offsetX, 15);
  EXPECT_EQ(g.offsetY, 15);
  EXPECT_EQ(g.printWidth, 4761);
  EXPECT_EQ(g.printPixWidth, 722);
  EXPECT_EQ(g.printPixHeight, 1041);

  prn.SetPrinterInfo(8, 0, 0, 1);
  EXPECT_EQ(backend.selectedPaper(), 8);
  EXPECT_EQ(backend.selectedOrientation(), 1);
  // The size is read back from the device, as the sheet lies.
  EXPECT_EQ(prn.PaperSize, 8);
  EXPECT_EQ(prn.PaperWidth, 4200);
  EXPECT_EQ(prn.PaperHeight, 2970);

  prn.SetPrinterInfo(256, 1000, 1500, 0);
  EXPECT_EQ(backend.selectedPaper(), 256);
  EXPECT_EQ(prn.PaperWidth, 1000);
  EXPECT_EQ(prn.PaperHeight, 1500);
}

TEST_F(RealPrinters, PaperListsAreBoundedAndNeverEmpty) {
  auto &laser = backend.printers[0];
  laser.papers.clear();
  for (int i = 0; i < 300; ++i)
    laser.papers.push_back({300 + i, QString(80, QChar('a' + i % 26)), 1000, 1000});
  prn.SetPrinter(&backend);
  EXPECT_EQ(prn.PaperCount, 256);
  EXPECT_EQ(prn.PaperNames.size(), 256);
  EXPECT_EQ(prn.PaperNames.first().size(), 64);
  EXPECT_EQ(prn.PaperCodes[255], 555);

  laser.papers.clear();
  prn.GetSettings();
  EXPECT_EQ(prn.PaperCount, 1);
  EXPECT_EQ(prn.PaperCodes[0], 256);
  EXPECT_EQ(prn.PaperCodeIndex(9), 0);
}

TEST_F(RealPrinters, UnusablePrinterIsRefusedAndSelectionKept) {
  backend.printers[1].dpiX = 0;
  prn.SetPrinter(&backend);
  ASSERT_EQ(prn.PrinterIndex(), 0);
  try {
    prn.SetPrinterIndex(1);
    FAIL() << "a printer without resolution was accepted";
  } catch (const EPrinterError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Printer selected is not valid"));
  }
  EXPECT_EQ(prn.PrinterIndex(), 0);
  EXPECT_EQ(backend.selected(), QStringLiteral("Laser"));
  EXPECT_THROW(prn.SetPrinterIndex(7), EPrinterError);
  EXPECT_THROW(prn.SetPrinterIndex(-1), EPrinterError);

  // The system's current printer unusable at binding: the virtual entry is taken.
  backend.current = 1;
  TfrPrinter other;
  other.SetPrinter(&backend);
  EXPECT_TRUE(other.IsDefaultPrinter());
  EXPECT_EQ(other.PaperCount, 67);
}

TEST_F(RealPrinters, JobsAreTitledAndAVanishedPrinterFails) {
  prn.SetPrinter(&backend);
  QPainter *canvas = prn.BeginDoc(QString());
  ASSERT_NE(canvas, nullptr);
  EXPECT_TRUE(canvas->isActive());
  prn.NewPage();
  prn.EndDoc();
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(backend.jobs[0].title, QStringLiteral("Quorvane: Untitled"));
  EXPECT_EQ(backend.jobs[0].pages, 2);
  EXPECT_TRUE(backend.jobs[0].ended);

  prn.SetPrinterInfo(9, 0, 0, 1);
  prn.BeginDoc(QStringLiteral("Felvásárlási jegyek"));
  prn.Abort();
  ASSERT_EQ(backend.jobs.size(), 2u);
  EXPECT_EQ(backend.jobs[1].title, QStringLiteral("Quorvane: Felvásárlási jegyek"));
  EXPECT_EQ(backend.jobs[1].orientation, 1);
  EXPECT_TRUE(backend.jobs[1].aborted);

  // The virtual entry prints on the system's current printer.
  prn.SetPrinterIndex(prn.DefaultPrinterIndex());
  backend.current = 1;
  prn.BeginDoc(QStringLiteral("x"));
  prn.EndDoc();
  EXPECT_EQ(backend.jobs.back().printer, QStringLiteral("Matrix"));

  // The printer disappears between the list and the job.
  prn.SetPrinterIndex(0);
  backend.removePrinter("Laser");
  try {
    prn.BeginDoc(QStringLiteral("x"));
    FAIL() << "a job started on a printer that is gone";
  } catch (const EPrinterError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("The printer \"Laser\" is not available any more. Nothing was printed."));
  }
  EXPECT_EQ(backend.jobs.size(), 3u);
}

TEST(PrinterWrapper, NoPrinterAtAllCannotStartAJob) {
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
  prn.SetPrinter(&backend);
  EXPECT_THROW(prn.BeginDoc(QString()), EPrinterError);
  EXPECT_EQ(prn.LastJobTitle(), QStringLiteral("Quorvane: Untitled"));
  EXPECT_TRUE(backend.jobs.empty());
}

TEST(PrinterWrapper, EngineStartUpCreatesTheGlobalWrapper) {
  TfrFakePrinterBackend backend;
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser"));
  frCreatePrinter(&backend);
  ASSERT_NE(frPrinter, nullptr);
  EXPECT_EQ(frPrinter->Printers, (QStringList{"Laser", "Default printer"}));
  frFreePrinter();
  EXPECT_EQ(frPrinter, nullptr);
  frCreatePrinter();
  ASSERT_NE(frPrinter, nullptr);
  EXPECT_EQ(frPrinter->Printers.last(), QStringLiteral("Default printer"));
  frFreePrinter();
}

TEST(PrinterWrapper, SystemBackendListsTheInstalledPrintersThenPdfThenDefaultPrinter) {
  auto backend = frCreateSystemPrinterBackend();
  TfrPrinter prn;
  prn.SetPrinter(backend.get());
  QStringList installed = QPrinterInfo::availablePrinterNames();
  installed.removeAll(QStringLiteral("PDF"));
  EXPECT_EQ(prn.Printers, installed + QStringList({"PDF", "Default printer"}));
  EXPECT_FALSE(prn.IsDefaultPrinter()) << "\"PDF\" is always there to print on";
  if (installed.isEmpty()) {
    EXPECT_EQ(prn.Printers.at(prn.PrinterIndex()), QStringLiteral("PDF"));
  }
  EXPECT_GT(prn.PaperCount, 0);
}

TEST(PrinterWrapper, SystemBackendMapsPaperCodesToItsPageSizes) {
  auto backend = frCreateSystemPrinterBackend();
  backend->applyPaper(9, 0, 0, 0);  // A4
  EXPECT_EQ(backend->paperCode(), 9);
  TfrDeviceCaps c = backend->deviceCaps();
  ASSERT_GT(c.dpiX, 0);
  EXPECT_NEAR(c.physWidth * 254.0 / c.dpiX, 2100, 2);
  EXPECT_NEAR(c.physHeight * 254.0 / c.dpiY, 2970, 2);
  EXPECT_LE(c.printWidth, c.physWidth);

  backend->applyPaper(8, 0, 0, 1);  // A3 landscape
  EXPECT_EQ(backend->paperCode(), 8);
  c = backend->deviceCaps();
  EXPECT_NEAR(c.physWidth * 254.0 / c.dpiX, 4200, 2);
  EXPECT_NEAR(c.physHeight * 254.0 / c.dpiY, 2970, 2);

  backend->applyPaper(256, 1000, 1500, 0);  // a custom size has no paper code
  EXPECT_EQ(backend->paperCode(), 256);
  c = backend->deviceCaps();
  EXPECT_NEAR(c.physWidth * 254.0 / c.dpiX, 1000, 2);
  EXPECT_NEAR(c.physHeight * 254.0 / c.dpiY, 1500, 2);

  // Codes without a page size change nothing.
  backend->applyPaper(48, 0, 0, 0);
  EXPECT_EQ(backend->paperCode(), 256);
  EXPECT_FALSE(backend->selectPrinter(QStringLiteral("No such printer")));
}

}  // namespace

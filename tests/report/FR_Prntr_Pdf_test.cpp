// The printer "PDF" of the system backend: its place in the printer list,
// its geometry, and whole reports printed through it, read back with
// poppler's pdftotext and pdfinfo: page order with copies, texts, paper
// changes in one file, the file question and its cancel, and jobs that fail
// or are cancelled leaving nothing behind.
#include "layout_builder.h"

#include "report/output/FR_Prntr.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

using namespace report;
using namespace report::test;

namespace {

// Runs a poppler tool; its standard output as text.
QString poppler(const QString &tool, const QStringList &args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString() << " failed (tools/setup-deps.sh installs poppler-utils): "
                  << p.readAllStandardError().toStdString();
    return QString();
  }
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The texts of one page of a PDF file, one line per text line.
QStringList pdfPageText(const QString &file, int page) {
  const QString n = QString::number(page);
  QStringList lines = poppler("pdftotext", {"-f", n, "-l", n, file, "-"}).split('\n');
  for (QString &l : lines) l = l.trimmed();
  lines.removeAll(QString());
  lines.removeAll(QStringLiteral("\f"));
  return lines;
}

int pdfPageCount(const QString &file) {
  const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(poppler("pdfinfo", {file}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// "595 x 842" for an A4 page, as pdfinfo gives it.
QString pdfPageSize(const QString &file, int page) {
  const QString n = QString::number(page);
  const auto m = QRegularExpression("size:\\s+([\\d.]+ x [\\d.]+) pts")
                     .match(poppler("pdfinfo", {"-f", n, "-l", n, file}));
  return m.captured(1);
}

class PdfPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = frCreateSystemPrinterBackend();
    prn.SetPrinter(backend.get());
    prn.SetPrinterIndex(int(prn.Printers.indexOf(QStringLiteral("PDF"))));
    frPrinter = &prn;
    frErrorBox = [this](const QString &t) { errors << t; };
    target = dir.file(QStringLiteral("out.pdf"));
    frAskPdfFileName = [this](const QString &proposed) {
      proposals << proposed;
      return answer;
    };
    answer = target;
    rep.Title = QStringLiteral("Lista");
  }
  void TearDown() override {
    frPrinter = nullptr;
    frErrorBox = nullptr;
    frAskPdfFileName = saved;
    frProgressForm = savedProgress;
  }
  // n records, one page each, with an accented text and the page number.
  void PagedList(int n) {
    LayoutBuilder l;
    l.Band(btMasterData, 0, 40, QString::number(n), flBandNewPageAfter);
    l.Memo(20, 0, 300, 20, {"Felvásárlási jegy [PAGE#]"});
    l.LoadInto(rep);
    ASSERT_TRUE(rep.PrepareReport());
    ASSERT_EQ(rep.EMFPages->Count(), n);
  }
  QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files); }

  vorik::test::TempDir dir;
  std::unique_ptr<TfrPrinterBackend> backend;
  TfrPrinter prn;
  TfrReport rep;
  TfrPdfFileNameProc saved = frAskPdfFileName;
  TfrProgressForm *savedProgress = frProgressForm;
  QStringList errors, proposals;
  QString target, answer;
};

TEST_F(PdfPrinting, ThePdfPrinterHasWholeSheetsAtTheEnginesGeometry) {
  ASSERT_EQ(prn.Printers.at(prn.PrinterIndex()), QStringLiteral("PDF"));
  EXPECT_EQ(prn.Printers.last(), QStringLiteral("Default printer"));
  EXPECT_EQ(prn.PaperCodes[prn.PaperCodeIndex(9)], 9);
  EXPECT_EQ(prn.PaperNames.at(prn.PaperCodeIndex(9)), QStringLiteral("A4 210 x 297 mm"));
  EXPECT_LT(prn.PaperCount, 67) << "only papers with a page size";

  // A PDF page is sized in whole points: A4 is 595 x 842 pt, so at 600 dpi
  // 4958 x 7017 device pixels, 209.9 x 297.1 mm.
  prn.SetPrinterInfo(9, 0, 0, 0);
  EXPECT_EQ(prn.PaperWidth, 2099);
  EXPECT_EQ(prn.PaperHeight, 2971);
  TfrPageGeometry g;
  prn.FillPageGeometry(g);
  EXPECT_EQ(g.physWidth, 4958);
  EXPECT_EQ(g.physHeight, 7017);
  EXPECT_EQ(g.pageWidth, 752);   // Round(4958 x 90.998 / 600)
  EXPECT_EQ(g.pageHeight, 1072);  // Round(7017 x 91.626 / 600)
  // No unprintable edge: the printable area is the page.
  EXPECT_EQ(g.offsetX, 0);
  EXPECT_EQ(g.physOffsetY, 0);
  EXPECT_EQ(g.printWidth, g.physWidth);
  EXPECT_EQ(g.printPixHeight, g.pageHeight);

  prn.SetPrinterInfo(8, 0, 0, 1);  // A3 landscape: 1191 x 842 pt
  EXPECT_EQ(prn.PaperSize, 8);
  EXPECT_EQ(prn.PaperWidth, 4202);
  EXPECT_EQ(prn.PaperHeight, 2971);
  prn.SetPrinterInfo(256, 1000, 1500, 0);  // 283 x 425 pt
  EXPECT_EQ(prn.PaperSize, 256);
  EXPECT_EQ(prn.PaperWidth, 998);
  EXPECT_EQ(prn.PaperHeight, 1499);
}

TEST_F(PdfPrinting, ThreePagesTwiceMakeOnePdfOfSixPagesEachCopyInARow) {
  PagedList(3);
  ASSERT_TRUE(rep.PrintPreparedReport("", 2));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  // Asked once, with the job title in the working folder, less its colon.
  EXPECT_EQ(proposals, QStringList{QDir::current().absoluteFilePath("Quorvane Lista.pdf")});
  EXPECT_EQ(filesInDir(), QStringList{"out.pdf"}) << "no temporary file is left";
  ASSERT_EQ(pdfPageCount(target), 6);
  const int order[] = {1, 1, 2, 2, 3, 3};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(pdfPageText(target, i + 1), QStringList{QStringLiteral("Felvásárlási jegy %1").arg(order[i])})
        << "sheet " << i + 1;
    EXPECT_EQ(pdfPageSize(target, i + 1), QStringLiteral("595 x 842"));
  }

  // A page list and no title: the pages named, the proposal "Quorvane Untitled.pdf".
  rep.Title.clear();
  proposals.clear();
  ASSERT_TRUE(rep.PrintPreparedReport("3,1", 1));
  EXPECT_EQ(proposals, QStringList{QDir::current().absoluteFilePath("Quorvane Untitled.pdf")});
  ASSERT_EQ(pdfPageCount(target), 2);
  EXPECT_EQ(pdfPageText(target, 1), QStringList{"Felvásárlási jegy 1"});
  EXPECT_EQ(pdfPageText(target, 2), QStringList{"Felvásárlási jegy 3"});

  // A title with a slash proposes a file in the working folder, not in a sub-folder.
  EXPECT_EQ(frPdfFileProposal("Quorvane: 2025/03"), QDir::current().absoluteFilePath("Quorvane 202503.pdf"));
}

// The proposal is a name a stick formatted for Windows takes: none of
// \ / : * ? " < > |, no control character, no blank or dot at its end; the
// job keeps its title. A name chosen without ".pdf" is written with it.
TEST_F(PdfPrinting, TheProposalHoldsOnlyWindowsFileNameCharactersAndTheFileEndsInPdf) {
  EXPECT_EQ(frPdfFileProposal(TfrPrinter::JobTitle("Felvásárlási jegy 25000001")),
            QDir::current().absoluteFilePath("Quorvane Felvásárlási jegy 25000001.pdf"));
  EXPECT_EQ(frPdfFileProposal("a\\b/c:d*e?f\"g<h>i|j\tk. "), QDir::current().absoluteFilePath("abcdefghijk.pdf"));
  EXPECT_EQ(frPdfFileProposal(":?"), QDir::current().absoluteFilePath("Untitled.pdf"));

  PagedList(1);
  rep.Title = QStringLiteral("Jegy: 1");
  answer = dir.file("kiadott");
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(filesInDir(), QStringList{"kiadott.pdf"});
  EXPECT_TRUE(poppler("pdfinfo", {dir.file("kiadott.pdf")}).contains("Quorvane: Jegy: 1")) << "the title is kept";
  answer = dir.file("Masik.PDF");
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_TRUE(filesInDir().contains("Masik.PDF"));
  EXPECT_EQ(filesInDir().size(), 2);
}

// The program's own file question: the proposal in the working folder, and
// a name typed without ".pdf" written with it.
TEST_F(PdfPrinting, TheFileQuestionProposesTheTitleAndWritesATypedNameWithPdf) {
  PagedList(1);
  frAskPdfFileName = frDefaultAskPdfFileName;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  QString proposed;
  vorik::test::ModalScript script;
  script.then([&](QWidget *w) {
    auto *fd = qobject_cast<QFileDialog *>(w);
    ASSERT_NE(fd, nullptr);
    EXPECT_EQ(fd->objectName(), "PdfFileDialog");
    // Without a printer of the system the question says why a file is asked for.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
      EXPECT_EQ(fd->windowTitle(), frNoPrinterPdfTitle());
    }
    proposed = vorik::test::textOf(fd, "fileNameEdit");
    vorik::test::setText(fd, "fileNameEdit", "kiadott");
    QMetaObject::invokeMethod(fd, "accept", Qt::QueuedConnection);
  });
  bool printed = false;
  script.run([&] { printed = rep.PrintPreparedReport("", 1); });
  QDir::setCurrent(previous);
  ASSERT_TRUE(script.done()) << script.failure().toStdString();
  EXPECT_TRUE(printed);
  EXPECT_EQ(proposed, "Quorvane Lista.pdf");
  EXPECT_EQ(filesInDir(), QStringList{"kiadott.pdf"});
  EXPECT_EQ(pdfPageCount(dir.file("kiadott.pdf")), 1);
}

TEST_F(PdfPrinting, PortraitAndLandscapePagesGoIntoOneFile) {
  LoadPortraitThenLandscape(rep);
  ASSERT_TRUE(rep.PrepareReport());
  ASSERT_EQ(rep.EMFPages->Count(), 2);
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(proposals.size(), 1) << "one file question for the whole print";
  ASSERT_EQ(pdfPageCount(target), 2);
  EXPECT_EQ(pdfPageSize(target, 1), QStringLiteral("595 x 842"));
  EXPECT_EQ(pdfPageSize(target, 2), QStringLiteral("842 x 595"));
  EXPECT_EQ(pdfPageText(target, 1), QStringList{"portrait"});
  EXPECT_EQ(pdfPageText(target, 2), QStringList{"landscape"});

  // Printing the landscape page alone starts the file in landscape.
  ASSERT_TRUE(rep.PrintPreparedReport("2", 1));
  ASSERT_EQ(pdfPageCount(target), 1);
  EXPECT_EQ(pdfPageSize(target, 1), QStringLiteral("842 x 595"));
}

TEST_F(PdfPrinting, CancelledQuestionFailedFolderAndCancelledPrintLeaveNothingBehind) {
  PagedList(4);
  ASSERT_TRUE(vorik::test::writeFile(target, "older printout"));
  auto oldFileIntact = [&] {
    QFile f(target);
    return f.open(QIODevice::ReadOnly) && f.readAll() == "older printout";
  };

  // The user cancels the file question: nothing printed, nothing said.
  answer.clear();
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_TRUE(oldFileIntact());

  // A folder that does not exist: a message naming the file.
  answer = dir.file("missing/out.pdf");
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("A(z) \"%1\" fájl nem írható: ").arg(answer)))
      << errors[0].toStdString();
  errors.clear();

  // Cancel while page 2 prints: the older file stays as it was, no temporary file remains.
  answer = target;
  rep.OnProgress = [&](int p) {
    if (p == 2) rep.Terminated = true;
  };
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_TRUE(oldFileIntact());
  EXPECT_EQ(filesInDir(), QStringList{"out.pdf"});
  EXPECT_EQ(rep.EMFPages->Count(), 4) << "the prepared pages stay";

  // The same print to its end replaces the file.
  rep.OnProgress = nullptr;
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(pdfPageCount(target), 4);
}

TEST_F(PdfPrinting, AFullDiskKeepsTheOlderFileAndSaysWhy) {
  PagedList(1);
  vorik::test::FullDisk disk;
  answer = disk.file(QStringLiteral("out.pdf"));
  ASSERT_TRUE(vorik::test::writeFile(answer, "older printout"));
  disk.fill();
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  disk.release();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], QStringLiteral("A(z) \"%1\" fájl nem írható: %2. Kérem válasszon másik mappát vagy "
                                      "fájlnevet, vagy szabadítson fel helyet a lemezen, és nyomtasson újra.")
                           .arg(answer, disk.reason()));
  QFile f(answer);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("older printout"));
}

// After a landscape job, a portrait report laid out on "Default printer" (as
// a layout naming it selects it) is printed, and the job does not complete:
// the file question cancelled, a folder that does not exist, Cancel while
// printing. The printer wrapper and the pages' geometry, which the preview
// draws from, are each time as before; a completed job then prints portrait.
TEST_F(PdfPrinting, AJobThatDoesNotCompleteLeavesThePrinterAndThePagesAsTheyWere) {
  TfrReport wide;
  LoadPortraitThenLandscape(wide);
  ASSERT_TRUE(wide.PrepareReport());
  ASSERT_TRUE(wide.PrintPreparedReport("2", 1));
  ASSERT_EQ(pdfPageSize(target, 1), QStringLiteral("842 x 595"));

  prn.Orientation = 0;
  prn.SetPrinterIndex(prn.DefaultPrinterIndex());
  PagedList(2);
  struct Seen {
    int index, size, width, height, orientation, papers;
    int pageWidth0, pageHeight0, pageWidth1, offsetX1;
    bool operator==(const Seen &) const = default;
  };
  auto seen = [&] {
    const TfrPageRec &p0 = *rep.EMFPages->GetPageRec(0), &p1 = *rep.EMFPages->GetPageRec(1);
    return Seen{prn.PrinterIndex(),      prn.PaperSize,         prn.PaperWidth,        prn.PaperHeight,
                prn.Orientation,         prn.PaperCount,        p0.PrnInfo.pageWidth, p0.PrnInfo.pageHeight,
                p1.PrnInfo.pageWidth,    p1.PrnInfo.offsetX};
  };
  const Seen before = seen();
  ASSERT_GT(before.pageHeight0, before.pageWidth0) << "portrait";
  ASSERT_GT(before.offsetX1, 0) << "the default printer's 5 mm edge";

  answer.clear();
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_TRUE(seen() == before) << "file question cancelled";

  answer = dir.file("missing/out.pdf");
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(errors.size(), 1);
  EXPECT_TRUE(seen() == before) << "job failed";

  answer = target;
  rep.OnProgress = [&](int p) {
    if (p == 1) rep.Terminated = true;
  };
  EXPECT_FALSE(rep.PrintPreparedReport("", 1));
  EXPECT_TRUE(seen() == before) << "cancelled while printing";

  rep.OnProgress = nullptr;
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(pdfPageSize(target, 1), QStringLiteral("595 x 842"));
  EXPECT_EQ(pdfPageSize(target, 2), QStringLiteral("595 x 842"));
}

// A progress window that notes whether queued events ran while printing.
class WatchingProgress : public TfrProgressForm {
 public:
  void Start(const QString &, const QString &) override {}
  void SetLabel(const QString &) override { ++labels; }
  void Finish() override {}
  int labels = 0;
};

TEST_F(PdfPrinting, TheWindowKeepsReceivingEventsWhilePagesPrint) {
  PagedList(20);
  WatchingProgress progress;
  frProgressForm = &progress;
  rep.ShowProgress = true;
  int labelsWhenTimerRan = -1;
  QTimer::singleShot(0, [&] { labelsWhenTimerRan = progress.labels; });
  ASSERT_TRUE(rep.PrintPreparedReport("", 1));
  EXPECT_EQ(progress.labels, 20);
  EXPECT_GE(labelsWhenTimerRan, 1);
  EXPECT_LT(labelsWhenTimerRan, 20) << "events wait for the whole print";
  EXPECT_EQ(pdfPageCount(target), 20);
}

}  // namespace

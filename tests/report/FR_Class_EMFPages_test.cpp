// Prepared pages: list operations, rebuilding and drawing pages, .frp files
// (round trip, identical bytes on resave, the older layout, broken files).
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_Prntr_Fake.h"
#include "report/output/FR_TextLayout.h"

#include "report_fixture.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace report;

namespace {

std::unique_ptr<TfrMemoView> memo(const QString &text, int x, int y) {
  auto m = std::make_unique<TfrMemoView>();
  m->x = x, m->y = y, m->dx = 200, m->dy = 20;
  m->Memo1 = {text};
  m->FrameTyp = 15;
  return m;
}

// A prepared report of two pages: texts, a line, a picture and a cut text.
void build(TfrEMFPages &pages) {
  TfrPage a4;
  TfrPage landscape(9, 2100, 2970, 1);
  landscape.UseMargins = false;
  pages.Add(a4);
  pages.Add(landscape);
  for (int i = 0; i < 5; ++i) pages.AddObject(0, *memo(QStringLiteral("Első oldal %1. sor").arg(i), 20, 20 + 25 * i));
  TfrLineView line;
  line.x = 20, line.y = 200, line.dx = 500, line.dy = 0;
  line.FrameWidth = 12;  // a whole width above 10
  pages.AddObject(0, line);
  auto half = memo(QStringLiteral("fél"), 20, 230);
  half->FrameWidth = 0.5;
  pages.AddObject(0, *half);
  TfrPictureView pic;
  pic.x = 300, pic.y = 20, pic.dx = 50, pic.dy = 50;
  QImage img(4, 4, QImage::Format_RGB32);
  img.fill(Qt::blue);
  pic.Picture.setImage(img);
  pages.AddObject(1, pic);
  auto cut = memo(QString(), 20, 100);
  cut->Memo1 = {frPackLine({QStringLiteral("vágott"), false, 33}), QString(QChar(frParaMark))};
  pages.AddObject(1, *cut);
  auto hidden = memo(QStringLiteral("rejtett"), 0, 0);
  hidden->Visible = false;
  pages.AddObject(1, *hidden);  // not stored
}

QByteArray save(TfrEMFPages &pages) {
  TfrStream s;
  pages.SaveToStream(s);
  return s.Data();
}

void load(TfrEMFPages &pages, const QByteArray &bytes) {
  TfrStream s(bytes);
  pages.LoadFromStream(s);
}

QStringList pageTexts(const QByteArray &stream) {
  QStringList out;
  for (const auto &v : TfrEMFPages::ReadObjects(stream)) out << v->Memo1.join(QLatin1Char('|'));
  return out;
}

}  // namespace

TEST(EMFPagesTest, InsertAddAndDeleteKeepPaperAndOrder) {
  TfrEMFPages pages;
  TfrPage a4, a3(8, 2970, 4200, 1);
  pages.Add(a4);
  pages.Insert(0, a3);
  pages.Insert(99, a4);
  ASSERT_EQ(pages.Count(), 3);
  EXPECT_EQ(pages[0]->pgSize, 8);
  EXPECT_EQ(pages[0]->pgOr, 1);
  EXPECT_EQ(pages[1]->pgSize, 9);
  EXPECT_TRUE(pages[1]->UseMargins);
  EXPECT_EQ(pages[1]->Stream, QByteArray(1, char(23)));
  // Landscape pages are wider than high in page pixels.
  EXPECT_GT(pages[0]->PrnInfo.pageWidth, pages[0]->PrnInfo.pageHeight);
  EXPECT_LT(pages[1]->PrnInfo.pageWidth, pages[1]->PrnInfo.pageHeight);
  pages.Delete(0);
  pages.Delete(7);  // out of range: nothing
  EXPECT_EQ(pages.Count(), 2);
  EXPECT_EQ(pages[0]->pgSize, 9);
  EXPECT_EQ(pages.GetPageRec(2), nullptr);
}

TEST(EMFPagesTest, SavedReportReopensWithTheSamePagesAndSavesToIdenticalBytes) {
  TfrEMFPages pages;
  build(pages);
  const QByteArray first = save(pages);
  EXPECT_EQ(first[0], 0);  // not compressed

  TfrEMFPages again;
  load(again, first);
  ASSERT_EQ(again.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(again[i]->pgSize, pages[i]->pgSize);
    EXPECT_EQ(again[i]->pgWidth, pages[i]->pgWidth);
    EXPECT_EQ(again[i]->pgHeight, pages[i]->pgHeight);
    EXPECT_EQ(again[i]->pgOr, pages[i]->pgOr);
    EXPECT_EQ(again[i]->UseMargins, pages[i]->UseMargins);
    EXPECT_EQ(pageTexts(again[i]->Stream), pageTexts(pages[i]->Stream));
  }
  EXPECT_EQ(pageTexts(again[0]->Stream).first(), QStringLiteral("Első oldal 0. sor"));
  EXPECT_EQ(pageTexts(again[1]->Stream).size(), 2);  // the invisible object was not stored
  EXPECT_EQ(save(again), first);

  // Frame widths survive: 12 stays 12, 0.5 stays 0.5.
  auto objects = TfrEMFPages::ReadObjects(again[0]->Stream);
  EXPECT_DOUBLE_EQ(objects[5]->FrameWidth, 12);
  EXPECT_DOUBLE_EQ(objects[6]->FrameWidth, 0.5);
  // The picture and the cut text come back as they were.
  auto second = TfrEMFPages::ReadObjects(again[1]->Stream);
  auto *pic = dynamic_cast<TfrPictureView *>(second[0].get());
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->Picture.image().size(), QSize(4, 4));
  EXPECT_EQ(frUnpackLine(second[1]->Memo1[0]), (TfrTextLine{QStringLiteral("vágott"), false, 33}));
}

TEST(EMFPagesTest, FilesRoundTripThroughDisk) {
  vorik::test::TempDir dir;
  TfrEMFPages pages;
  build(pages);
  const QString file = dir.file(QStringLiteral("lista.frp"));
  pages.SaveToFile(file);
  TfrEMFPages again;
  again.LoadFromFile(file);
  EXPECT_EQ(again.Count(), 2);
  test::ExpectUnreadableRefused(dir.path(), QStringLiteral("nincs.frp"),
                                [&](const QString &path) { again.LoadFromFile(path); });
  EXPECT_EQ(again.Count(), 2);
}

TEST(EMFPagesTest, AFullDiskKeepsTheOldFileAndSaysWhy) {
  vorik::test::FullDisk disk;
  const QString file = disk.file(QStringLiteral("lista.frp"));
  ASSERT_TRUE(vorik::test::writeFile(file, "older pages"));
  TfrEMFPages pages;
  build(pages);
  test::ExpectFullDiskRefused(disk, [&] { pages.SaveToFile(file); });
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("older pages"));
}

TEST(EMFPagesTest, NextPositionsLetAReaderSkipPages) {
  TfrEMFPages pages;
  build(pages);
  const QByteArray bytes = save(pages);
  TfrStream s(bytes);
  s.ReadU8();
  frReadString(s);
  ASSERT_EQ(s.ReadI32(), 2);
  const qint32 next = s.ReadI32();
  s.Seek(next);  // straight to the second page block
  const qint32 end = s.ReadI32();
  EXPECT_EQ(end, bytes.size());
  EXPECT_EQ(s.ReadU16(), 9);
  s.ReadI32();
  s.ReadI32();
  EXPECT_EQ(s.ReadU8(), 1);  // landscape
}

TEST(EMFPagesTest, DrawRebuildsThePageAndListsItsTextsInOrder) {
  TfrEMFPages pages;
  build(pages);
  TfrRecordCanvas rec;
  pages.Draw(0, rec, QRect(0, 0, 800, 1100));
  EXPECT_TRUE(rec.calls().empty());  // not visible: nothing drawn
  pages[0]->Visible = true;
  pages.Draw(0, rec, QRect(0, 0, pages[0]->PrnInfo.pageWidth, pages[0]->PrnInfo.pageHeight));
  EXPECT_EQ(rec.texts(), (QStringList{QStringLiteral("Első oldal 0. sor"), QStringLiteral("Első oldal 1. sor"),
                                      QStringLiteral("Első oldal 2. sor"), QStringLiteral("Első oldal 3. sor"),
                                      QStringLiteral("Első oldal 4. sor"), QStringLiteral("fél")}));
  EXPECT_EQ(rec.textCalls()[0]->pos, QPointF(22, 21));
  ASSERT_NE(pages[0]->Page, nullptr);
  // At twice the size everything is scaled and moved by the rectangle.
  TfrRecordCanvas big;
  pages.Draw(0, big, QRect(10, 10, 2 * pages[0]->PrnInfo.pageWidth, 2 * pages[0]->PrnInfo.pageHeight));
  EXPECT_EQ(big.texts(), rec.texts());
  EXPECT_EQ(big.textCalls()[0]->pos.x(), 10 + 40 + 3);  // gap Round(2 / 2) + 2
  // A page out of view frees its objects.
  pages[0]->Visible = false;
  pages.Draw(0, rec, QRect(0, 0, 10, 10));
  EXPECT_EQ(pages[0]->Page, nullptr);
}

TEST(EMFPagesTest, EditedObjectsAreStoredAsTheirNewPrintedText) {
  TfrEMFPages pages;
  build(pages);
  pages.ExpandPageObjects(0);
  TfrPage *page = pages[0]->Page.get();
  ASSERT_EQ(page->Count(), 7);
  EXPECT_FALSE(page->Object(0)->IsPrinting);
  EXPECT_EQ(page->Object(0)->Memo, QStringList{QStringLiteral("Első oldal 0. sor")});
  page->Object(0)->Memo = {QStringLiteral("javított")};
  page->Delete(1);
  pages.StorePageObjects(0);
  const QStringList texts = pageTexts(pages[0]->Stream);
  EXPECT_EQ(texts.size(), 6);
  EXPECT_EQ(texts[0], QStringLiteral("javított"));
  EXPECT_EQ(texts[1], QStringLiteral("Első oldal 2. sor"));
}

TEST(EMFPagesTest, OlderLayoutPagesBecomeOneMetafilePicture) {
  // Printer name as an old line list (the first byte is its first character),
  // the count, then per page its paper and a metafile.
  TfrStream s;
  s.WriteBytes(QByteArray("HP LaserJet\r", 12));
  s.WriteU8(0);
  s.WriteI32(2);
  const QByteArray metas[2] = {QByteArray("\x01\x00\x00\x00EMF page one", 16), QByteArray("\x01\x00\x00\x00two", 7)};
  for (const QByteArray &meta : metas) {
    const qint64 at = s.Position();
    s.WriteI32(0);
    s.WriteU16(9);
    s.WriteI32(2100);
    s.WriteI32(2970);
    s.WriteU8(0);
    s.WriteU8(1);
    s.WriteBytes(meta);
    const qint64 end = s.Position();
    s.Seek(at);
    s.WriteI32(static_cast<qint32>(end));
    s.Seek(end);
  }
  TfrEMFPages pages;
  load(pages, s.Data());
  EXPECT_EQ(pages.PrinterName, QStringLiteral("HP LaserJet"));
  ASSERT_EQ(pages.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    auto objects = TfrEMFPages::ReadObjects(pages[i]->Stream);
    ASSERT_EQ(objects.size(), 1u);
    auto *pic = dynamic_cast<TfrPictureView *>(objects[0].get());
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Picture.kind(), TfrPicture::pkMetafile);
    EXPECT_EQ(pic->Picture.data(), metas[i]);
    EXPECT_EQ(pic->dx, pages[i]->PrnInfo.pageWidth);
    EXPECT_EQ(pic->dy, pages[i]->PrnInfo.pageHeight);
  }
  EXPECT_TRUE(pages[0]->UseMargins);
  // Saved again it is a current file with the metafile bytes untouched.
  TfrEMFPages again;
  load(again, save(pages));
  auto objects = TfrEMFPages::ReadObjects(again[0]->Stream);
  EXPECT_EQ(dynamic_cast<TfrPictureView *>(objects[0].get())->Picture.data(), metas[0]);
}

TEST(EMFPagesTest, BrokenFilesFailAndLeaveThePagesAsTheyWere) {
  TfrEMFPages source;
  build(source);
  const QByteArray good = save(source);
  TfrEMFPages pages;
  build(pages);
  const QByteArray before = save(pages);
  auto expectRefused = [&](const QByteArray &bytes) {
    EXPECT_THROW(load(pages, bytes), Exception);
    EXPECT_EQ(save(pages), before);
  };
  // Every truncation of a good file.
  for (qsizetype n = 0; n < good.size(); ++n) expectRefused(good.left(n));
  // A compressed flag is refused with its own message.
  for (char flag : {'\x01', '\xFF'}) {
    QByteArray b = good;
    b[0] = flag;
    try {
      load(pages, b);
      ADD_FAILURE() << "loaded a compressed file";
    } catch (const EPreparedReportError &e) {
      EXPECT_EQ(e.message(), QStringLiteral("Compressed prepared reports are not supported"));
    }
  }
  const qint64 countAt = 1 + 2 + source.PrinterName.size() + frDefaultPrinterName().size() + 1;
  {
    QByteArray b = good;
    TfrStream s(b);
    s.Seek(countAt);
    s.WriteI32(-1);  // negative count
    expectRefused(s.Data());
    s.Seek(countAt);
    s.WriteI32(0x7FFFFFFF);  // more pages than the file can hold
    expectRefused(s.Data());
    s.Seek(countAt);
    s.WriteI32(2);
    s.WriteI32(countAt + 4);  // next position pointing backwards
    expectRefused(s.Data());
    s.Seek(countAt + 4);
    s.WriteI32(static_cast<qint32>(b.size()) + 100);  // past the end
    expectRefused(s.Data());
  }
  {
    // An unknown object type inside a page.
    QByteArray b = good;
    b[countAt + 4 + 4 + 2 + 4 + 4 + 1 + 1 + 1] = '\x07';
    expectRefused(b);
  }
  {
    // A file of page count 1 reads exactly one page, and what follows is ignored.
    QByteArray b = good;
    TfrStream s(b);
    s.Seek(countAt);
    s.WriteI32(1);
    load(pages, s.Data());
    EXPECT_EQ(pages.Count(), 1);
  }
}

// Golden prepared report: the pages built above must save to the bytes kept in
// data/prepared/report.frp, which load and save back to themselves and list
// their texts. VORIK_UPDATE_GOLDEN=1 rewrites the file after a deliberate change.
TEST(EMFPagesTest, GoldenFileKeepsItsBytesAndTexts) {
  // Through the engine's printer wrapper on a machine without printers.
  TfrFakePrinterBackend backend;
  frCreatePrinter(&backend);
  struct Free {
    ~Free() { frFreePrinter(); }
  } freeAfter;
  TfrEMFPages pages;
  build(pages);
  const QByteArray built = save(pages);
  const QString file = vorik::test::sourcePath(QStringLiteral("tests/report/data/prepared/report.frp"));
  if (!qEnvironmentVariableIsEmpty("VORIK_UPDATE_GOLDEN")) pages.SaveToFile(file);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
  const QByteArray golden = f.readAll();
  EXPECT_EQ(built, golden);
  TfrEMFPages loaded;
  load(loaded, golden);
  EXPECT_EQ(save(loaded), golden);
  TfrRecordCanvas rec;
  for (int i = 0; i < loaded.Count(); ++i) {
    loaded[i]->Visible = true;
    loaded.Draw(i, rec, QRect(0, 0, loaded[i]->PrnInfo.pageWidth, loaded[i]->PrnInfo.pageHeight));
  }
  QStringList expected;
  for (int i = 0; i < 5; ++i) expected << QStringLiteral("Első oldal %1. sor").arg(i);
  expected << QStringLiteral("fél") << QStringLiteral("vágott");
  EXPECT_EQ(rec.texts(), expected);
}

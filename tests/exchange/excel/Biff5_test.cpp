// The BIFF5 workbook stream: its record structure read back from the
// compound file, and the whole workbook read by xlrd.
#include "exchange/excel/Biff5.h"
#include "exchange/excel/WorkbookFile.h"
#include "support/temp_dir.h"
#include "workbook_reader.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorik::test;
using excel::Biff5Writer;
using excel::CellValue;
using excel::HAlign;
using excel::SheetLayout;

namespace {

// Writes rows (row i of the list is sheet row i) into a workbook file.
int WriteWorkbook(const QString &path, const SheetLayout &layout, const std::vector<std::vector<CellValue>> &rows) {
  excel::WorkbookFile file(path);
  Biff5Writer writer([&](const char *d, std::size_t n) { file.write(d, n); }, layout);
  for (std::size_t r = 0; r < rows.size(); ++r) writer.writeRow(static_cast<int>(r), rows[r]);
  writer.finish();
  file.commit();
  return writer.truncatedTexts();
}

QJsonObject Cell(const QJsonObject &book, int row, int column) {
  return book[QStringLiteral("sheets")][0][QStringLiteral("rows")][row][column].toObject();
}

QDateTime At(int y, int m, int d, int h = 0, int mi = 0) { return QDateTime(QDate(y, m, d), QTime(h, mi)); }

}  // namespace

TEST(Biff5Writer, RecordsAreWhereTheGlobalsSay) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("book.xls"));
  SheetLayout layout;
  layout.rowCount = 3;
  layout.columnCount = 2;
  layout.bold.push_back({0, 0, 4});  // reaches past the values: E1
  WriteWorkbook(path, layout, {{QStringLiteral("A"), QStringLiteral("B")}, {1.0, 2.0}, {3.0}});

  const QByteArray stream = ReadBookStream(path);
  const std::vector<BiffRecord> records = SplitRecords(stream);
  ASSERT_GE(records.size(), 10u);
  EXPECT_EQ(records.front().id, 0x0809u);
  EXPECT_EQ(records.front().u16(0), 0x0500u);  // BIFF5
  EXPECT_EQ(records.front().u16(2), 0x0005u);  // workbook globals
  EXPECT_EQ(records.back().id, 0x000Au);

  int fonts = 0, xfs = 0, sheets = 0, eofs = 0;
  qsizetype at = 0, sheetAt = -1, sheetBof = -1;
  for (const BiffRecord &r : records) {
    if (r.id == 0x0031) ++fonts;
    if (r.id == 0x00E0) ++xfs;
    if (r.id == 0x000A) ++eofs;
    if (r.id == 0x0042) {
      EXPECT_EQ(r.u16(0), 1250u);
    }
    if (r.id == 0x0085) {
      ++sheets;
      sheetAt = r.u16(0) | static_cast<qsizetype>(r.u16(2)) << 16;
    }
    if (r.id == 0x0809 && r.u16(2) == 0x0010) sheetBof = at;
    if (r.id == 0x0200) {
      EXPECT_EQ(r.u16(2), 3u) << "last row + 1";
      EXPECT_EQ(r.u16(6), 5u) << "last column + 1, the bold range included";
    }
    at += 4 + r.body.size();
  }
  EXPECT_EQ(fonts, 4);
  EXPECT_EQ(xfs, 16 + 12);
  EXPECT_EQ(sheets, 1);
  EXPECT_EQ(eofs, 2);
  EXPECT_EQ(sheetAt, sheetBof) << "the sheet's stream position in its directory entry";

  // Cells: two labels, three numbers; bold blanks C1 to E1 and nothing in B3.
  int labels = 0, numbers = 0, blanks = 0;
  for (const BiffRecord &r : records) {
    if (r.id == 0x0204) ++labels;
    if (r.id == 0x0203) ++numbers;
    if (r.id == 0x0201) {
      ++blanks;
      EXPECT_EQ(r.u16(0), 0u);
      EXPECT_GE(r.u16(2), 2u);
    }
  }
  EXPECT_EQ(labels, 2);
  EXPECT_EQ(numbers, 3);
  EXPECT_EQ(blanks, 3);
}

TEST(Biff5Writer, XlrdReadsValuesFormatsAndWidths) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("book.xls"));
  SheetLayout layout;
  layout.rowCount = 3;
  layout.columnCount = 4;
  layout.widths = {{0, 12}, {1, 45}, {3, 5}};
  layout.bold.push_back({0, 0, 5});
  layout.alignments = {{0, 0, 2, HAlign::Left}, {1, 0, 2, HAlign::Right}, {3, 0, 2, HAlign::Left}};
  WriteWorkbook(path, layout,
                {{QStringLiteral("F_FIZKELT"), QStringLiteral("O_NEV"), QStringLiteral("S_EAR"),
                  QStringLiteral("NEV")},
                 {At(2025, 3, 31), QStringLiteral("Kővári Ödön űrhajós, Árpád u."), -1234.5625, CellValue{}},
                 {At(2024, 2, 29, 18, 30), CellValue{}, 0.1, QStringLiteral("x")}});

  const QJsonObject book = ReadWithXlrd(path);
  ASSERT_FALSE(book.isEmpty());
  // xlrd tells Excel 95 (70) from Excel 5.0 (50) by the build year.
  EXPECT_EQ(book[QStringLiteral("biff")].toInt(), 70);
  EXPECT_EQ(book[QStringLiteral("codepage")].toInt(), 1250);
  const QJsonObject sheet = book[QStringLiteral("sheets")][0].toObject();
  EXPECT_EQ(sheet[QStringLiteral("name")].toString(), QStringLiteral("Munka1"));
  EXPECT_EQ(sheet[QStringLiteral("nrows")].toInt(), 3);
  EXPECT_EQ(sheet[QStringLiteral("ncols")].toInt(), 6);

  // xlrd's cell types: 1 text, 2 number, 3 date, 6 formatted blank.
  EXPECT_EQ(Cell(book, 1, 0)[QStringLiteral("t")].toInt(), 3);
  EXPECT_EQ(Cell(book, 1, 0)[QStringLiteral("v")].toArray(), (QJsonArray{2025, 3, 31, 0, 0, 0}));
  EXPECT_EQ(Cell(book, 2, 0)[QStringLiteral("v")].toArray(), (QJsonArray{2024, 2, 29, 18, 30, 0}));
  EXPECT_EQ(Cell(book, 1, 1)[QStringLiteral("v")].toString(), QStringLiteral("Kővári Ödön űrhajós, Árpád u."));
  EXPECT_EQ(Cell(book, 1, 2)[QStringLiteral("t")].toInt(), 2);
  EXPECT_EQ(Cell(book, 1, 2)[QStringLiteral("v")].toDouble(), -1234.5625);
  EXPECT_EQ(Cell(book, 2, 2)[QStringLiteral("v")].toDouble(), 0.1);
  EXPECT_EQ(Cell(book, 1, 3)[QStringLiteral("t")].toInt(), 6) << "null in an aligned column: a formatted blank";
  EXPECT_EQ(Cell(book, 2, 1)[QStringLiteral("t")].toInt(), 6);
  EXPECT_EQ(Cell(book, 0, 5)[QStringLiteral("t")].toInt(), 6) << "the bold range past the headers";

  // Bold exactly on row 1, A to F; alignment 1 left, 3 right, 0 general.
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Cell(book, r, c)[QStringLiteral("bold")].toBool(), r == 0) << r << c;
  }
  EXPECT_TRUE(Cell(book, 0, 5)[QStringLiteral("bold")].toBool());
  EXPECT_EQ(Cell(book, 2, 0)[QStringLiteral("align")].toInt(), 1);
  EXPECT_EQ(Cell(book, 2, 1)[QStringLiteral("align")].toInt(), 3);
  EXPECT_EQ(Cell(book, 2, 2)[QStringLiteral("align")].toInt(), 0);
  EXPECT_EQ(Cell(book, 0, 2)[QStringLiteral("align")].toInt(), 0);

  const QJsonObject widths = sheet[QStringLiteral("widths")].toObject();
  EXPECT_EQ(widths.size(), 3);
  EXPECT_EQ(widths[QStringLiteral("0")].toInt(), excel::StoredColumnWidth(12));
  EXPECT_EQ(widths[QStringLiteral("1")].toInt(), excel::StoredColumnWidth(45));
  EXPECT_EQ(widths[QStringLiteral("3")].toInt(), excel::StoredColumnWidth(5));
}

TEST(Biff5Writer, TextsAreCutToTheCellLimitAndKeptReadable) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("book.xls"));
  const QString longText = QString(250, QLatin1Char('a')) + QStringLiteral("őűáéúXXXXXXXXXX");
  const QString controls = QStringLiteral("Név\x01\tvége\r\nsor");
  // U+0081 is what the database gives for the byte the code page leaves
  // undefined; U+03A9 has no code in it.
  const QString undefined = QStringLiteral("a") + QChar(0x81) + QStringLiteral("b") + QChar(0x3A9);
  SheetLayout layout;
  layout.rowCount = 1;
  layout.columnCount = 4;
  const int cut = WriteWorkbook(path, layout, {{longText, controls, undefined, QString(255, QLatin1Char('z'))}});
  EXPECT_EQ(cut, 1);

  const QJsonObject book = ReadWithXlrd(path);
  ASSERT_FALSE(book.isEmpty());
  EXPECT_EQ(Cell(book, 0, 0)[QStringLiteral("v")].toString(), longText.left(255));
  EXPECT_EQ(Cell(book, 0, 1)[QStringLiteral("v")].toString(), controls);
  EXPECT_EQ(Cell(book, 0, 2)[QStringLiteral("v")].toString(), QStringLiteral("a?b?"));
  EXPECT_EQ(Cell(book, 0, 3)[QStringLiteral("v")].toString().size(), 255);
}

TEST(Biff5Writer, DatesOfTheNineteenHundredSystem) {
  double serial = 0;
  ASSERT_TRUE(excel::DateSerial(At(1900, 1, 1), serial));
  EXPECT_EQ(serial, 1);
  ASSERT_TRUE(excel::DateSerial(At(1900, 2, 28), serial));
  EXPECT_EQ(serial, 59);
  ASSERT_TRUE(excel::DateSerial(At(1900, 3, 1), serial));
  EXPECT_EQ(serial, 61) << "the system's 1900-02-29 is counted";
  ASSERT_TRUE(excel::DateSerial(At(2025, 1, 1, 12), serial));
  EXPECT_EQ(serial, 45658.5);
  EXPECT_FALSE(excel::DateSerial(At(1899, 12, 31), serial));
  EXPECT_FALSE(excel::DateSerial(QDateTime(), serial));

  // A date the format cannot hold as a date is kept as its text.
  TempDir dir;
  const QString path = dir.file(QStringLiteral("book.xls"));
  SheetLayout layout;
  layout.rowCount = 1;
  layout.columnCount = 2;
  WriteWorkbook(path, layout, {{At(1899, 5, 6), At(1900, 3, 1)}});
  const QJsonObject book = ReadWithXlrd(path);
  ASSERT_FALSE(book.isEmpty());
  EXPECT_EQ(Cell(book, 0, 0)[QStringLiteral("v")].toString(), QStringLiteral("1899.05.06"));
  EXPECT_EQ(Cell(book, 0, 1)[QStringLiteral("v")].toArray(), (QJsonArray{1900, 3, 1, 0, 0, 0}));
}

TEST(Biff5Writer, ColumnWidthsCountPaddingAsTheSpreadsheetDoes) {
  EXPECT_EQ(excel::StoredColumnWidth(8.43), 2340);  // the default column
  EXPECT_EQ(excel::StoredColumnWidth(12), 3254);
  EXPECT_EQ(excel::StoredColumnWidth(0), 182);
}

TEST(Biff5Writer, RefusesWhatTheFormatCannotHold) {
  auto none = [](const char *, std::size_t) {};
  SheetLayout layout;
  layout.columnCount = 1;
  layout.rowCount = excel::kMaxRows;
  EXPECT_NO_THROW(Biff5Writer(none, layout));
  layout.rowCount = excel::kMaxRows + 1;
  EXPECT_THROW(Biff5Writer(none, layout), excel::LimitError);
  layout.rowCount = 1;
  layout.alignments = {{0, 0, excel::kMaxRows, HAlign::Left}};
  EXPECT_THROW(Biff5Writer(none, layout), excel::LimitError) << "a format range past the last row";
  layout.alignments.clear();
  layout.bold = {{0, 0, excel::kMaxColumns}};
  EXPECT_THROW(Biff5Writer(none, layout), excel::LimitError);
  layout.bold.clear();
  layout.columnCount = excel::kMaxColumns + 1;
  EXPECT_THROW(Biff5Writer(none, layout), excel::LimitError);

  layout.columnCount = 2;
  layout.rowCount = 3;
  Biff5Writer w(none, layout);
  w.writeRow(1, {1.0});
  EXPECT_THROW(w.writeRow(1, {1.0}), excel::LimitError) << "a row twice";
  EXPECT_THROW(w.writeRow(0, {1.0}), excel::LimitError) << "a row before the last";
  EXPECT_THROW(w.writeRow(2, {1.0, 2.0, 3.0}), excel::LimitError) << "more values than columns";
  EXPECT_THROW(w.writeRow(3, {1.0}), excel::LimitError) << "past the rows";
  w.finish();
  EXPECT_THROW(w.writeRow(2, {1.0}), excel::LimitError);
}

TEST(Biff5Writer, HandsTheStreamOnInBoundedPieces) {
  // The writer holds no more than a piece of the stream, however many rows.
  SheetLayout layout;
  layout.rowCount = excel::kMaxRows;
  layout.columnCount = 24;
  std::size_t total = 0, largest = 0;
  Biff5Writer w(
      [&](const char *, std::size_t n) {
        total += n;
        largest = std::max(largest, n);
      },
      layout);
  std::vector<CellValue> row(24, CellValue{QStringLiteral("Őszibarack I. osztály")});
  for (int r = 0; r < excel::kMaxRows; ++r) w.writeRow(r, row);
  w.finish();
  EXPECT_GT(total, 10u * 1024 * 1024);
  EXPECT_LT(largest, 70u * 1024);
}

#pragma once
// The workbook stream of the Excel 5.0/95 format (BIFF5, file format 39):
// one worksheet, written row by row. The sheet's formats (column widths,
// bold ranges, horizontal alignment ranges) and its extent are fixed before
// the first row, so nothing but the current row is held in memory; cells
// that carry a format but no value are written as formatted blank cells.
//
// The stream goes to a sink in pieces; the compound file around it is
// WorkbookFile's business.
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <variant>
#include <vector>

namespace excel {

// Limits of the format: rows and columns of a sheet, characters of a text cell.
constexpr int kMaxRows = 16384;
constexpr int kMaxColumns = 256;
constexpr int kMaxTextLength = 255;

enum class HAlign { General, Left, Right };

// A cell's value: empty, text, number or date (a date-time; the time of day
// becomes the fraction of the day).
using CellValue = std::variant<std::monostate, QString, double, QDateTime>;

// Rows and columns count from 0 (row 0 is the sheet's row 1, column 0 is A).
struct SheetLayout {
  // Rows 0 .. rowCount - 1 and columns 0 .. columnCount - 1 may carry values.
  int rowCount = 0;
  int columnCount = 0;
  // Width of a column in characters of the default font (as the spreadsheet's
  // column width property counts them).
  struct Width {
    int column;
    double characters;
  };
  struct Bold {
    int row, firstColumn, lastColumn;
  };
  struct Alignment {
    int column, firstRow, lastRow;
    HAlign align;
  };
  std::vector<Width> widths;
  std::vector<Bold> bold;
  std::vector<Alignment> alignments;
};

// The layout or the rows do not fit the format (too many rows or columns) or
// break the writer's order; nothing should be kept of such a stream.
class LimitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A date serial of the 1900 date system (1900-01-01 is 1, with the system's
// phantom 1900-02-29 counted); false for a date before 1900, which the format
// cannot hold as a date.
bool DateSerial(const QDateTime &value, double &serial);

// The stored column width (1/256 of a character, padding included) of a
// width given in characters of a 7-pixel digit font with 5 pixels padding.
int StoredColumnWidth(double characters);

class Biff5Writer {
 public:
  // Receives the stream in order; it throws to stop the writer.
  using Sink = std::function<void(const char *data, std::size_t size)>;

  // Checks the layout (LimitError) and writes the workbook globals and the
  // sheet's head: widths, extent.
  Biff5Writer(Sink sink, const SheetLayout &layout);

  // Writes one row; rows come in rising order, each at most once. Values past
  // the layout's columns or a row past its rows raise LimitError. Texts are
  // written in Windows-1250: characters it lacks, and the five bytes it leaves
  // undefined, become '?'; texts longer than kMaxTextLength are cut.
  void writeRow(int row, const std::vector<CellValue> &values);

  // Writes the formatted blank cells of the rows not written and the end of
  // the stream. Nothing may be written after.
  void finish();

  // How many texts were cut to kMaxTextLength.
  int truncatedTexts() const { return truncated_; }

 private:
  struct Format {
    bool bold = false;
    HAlign align = HAlign::General;
    bool date = false;
  };
  void writeGlobals();
  void writeSheetHead();
  void writeCells(int row, const std::vector<CellValue> *values);
  void flushRowsBefore(int row);
  Format formatOf(int row, int column) const;
  int xfIndex(const Format &f) const;
  // Adds a record (id, body) to the buffer; flushes it to the sink when full.
  void record(unsigned id, const char *body, std::size_t size);
  void flush();

  Sink sink_;
  SheetLayout layout_;
  int lastColumn_ = 0;  // last column that has a value or a format, + 1
  int lastRow_ = 0;     // last row that has a value or a format, + 1
  int nextRow_ = 0;     // the first row not written yet
  bool finished_ = false;
  int truncated_ = 0;
  std::vector<char> buffer_;
};

}  // namespace excel

#include "exchange/excel/Biff5.h"

#include "platform/cp1250.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace excel {

namespace {

// Record identifiers.
constexpr unsigned kBof = 0x0809, kEof = 0x000A, kCodepage = 0x0042, kWindow1 = 0x003D, kFont = 0x0031,
                   kXf = 0x00E0, kStyle = 0x0293, kBoundsheet = 0x0085, kDefColWidth = 0x0055,
                   kColinfo = 0x007D, kDimensions = 0x0200, kLabel = 0x0204, kNumber = 0x0203, kBlank = 0x0201,
                   kWindow2 = 0x023E;

// The cell formats (XF) of our own follow the 15 style formats and the default
// cell format (15): bold x alignment x date, in that order.
constexpr int kFirstOwnXf = 16;
// The built-in number format of the short date (shown in the reader's own
// short date form).
constexpr unsigned kShortDateFormat = 14;
constexpr std::size_t kFlushSize = 64 * 1024;

// Little-endian body of a record.
class Body {
 public:
  Body &u8(unsigned v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    return *this;
  }
  Body &u16(unsigned v) { return u8(v).u8(v >> 8); }
  Body &u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Body &f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
  }
  // Text with a 1- or 2-byte length before it.
  Body &text8(const QByteArray &t) {
    u8(static_cast<unsigned>(t.size()));
    bytes_.append(t.constData(), static_cast<std::size_t>(t.size()));
    return *this;
  }
  Body &text16(const QByteArray &t) {
    u16(static_cast<unsigned>(t.size()));
    bytes_.append(t.constData(), static_cast<std::size_t>(t.size()));
    return *this;
  }
  const char *data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  void clear() { bytes_.clear(); }

 private:
  std::string bytes_;
};

// The text as the cell stores it: Windows-1250, at most kMaxTextLength
// characters. Bytes the code page leaves undefined would stop readers that
// decode strictly, so they become '?' like the characters it lacks.
QByteArray CellText(const QString &text, bool &cut) {
  cut = text.size() > kMaxTextLength;
  QByteArray bytes = platform::toCp1250(cut ? text.left(kMaxTextLength) : text);
  for (char &b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    if (u == 0x81 || u == 0x83 || u == 0x88 || u == 0x90 || u == 0x98) b = '?';
  }
  return bytes;
}

void Check(bool ok, const char *what) {
  if (!ok) throw LimitError(what);
}

}  // namespace

bool DateSerial(const QDateTime &value, double &serial) {
  const QDate d = value.date();
  if (!d.isValid() || d.year() < 1900) return false;
  // From 1900-03-01 on, days since 1899-12-30; before it the system's phantom
  // 29 February is not yet counted.
  qint64 days = QDate(1899, 12, 30).daysTo(d);
  if (d < QDate(1900, 3, 1)) days -= 1;
  serial = static_cast<double>(days) + value.time().msecsSinceStartOfDay() / 86400000.0;
  return true;
}

int StoredColumnWidth(double characters) {
  const double pixels = std::trunc(characters * 7 + 5);
  return static_cast<int>(std::trunc(pixels / 7 * 256));
}

Biff5Writer::Biff5Writer(Sink sink, const SheetLayout &layout) : sink_(std::move(sink)), layout_(layout) {
  Check(layout_.rowCount >= 0 && layout_.columnCount >= 0, "negative extent");
  lastRow_ = layout_.rowCount;
  lastColumn_ = layout_.columnCount;
  for (const auto &w : layout_.widths) {
    Check(w.column >= 0 && w.column < kMaxColumns && w.characters >= 0 && w.characters <= 255,
          "column width out of range");
  }
  for (const auto &b : layout_.bold) {
    Check(b.row >= 0 && b.firstColumn >= 0 && b.firstColumn <= b.lastColumn, "bad bold range");
    lastRow_ = std::max(lastRow_, b.row + 1);
    lastColumn_ = std::max(lastColumn_, b.lastColumn + 1);
  }
  for (const auto &a : layout_.alignments) {
    Check(a.column >= 0 && a.firstRow >= 0 && a.firstRow <= a.lastRow, "bad alignment range");
    lastRow_ = std::max(lastRow_, a.lastRow + 1);
    lastColumn_ = std::max(lastColumn_, a.column + 1);
  }
  Check(lastRow_ <= kMaxRows, "more rows than a sheet holds");
  Check(lastColumn_ <= kMaxColumns, "more columns than a sheet holds");
  buffer_.reserve(kFlushSize + 1024);
  writeGlobals();
  writeSheetHead();
}

void Biff5Writer::record(unsigned id, const char *body, std::size_t size) {
  const char head[4] = {static_cast<char>(id & 0xFF), static_cast<char>(id >> 8),
                        static_cast<char>(size & 0xFF), static_cast<char>(size >> 8)};
  buffer_.insert(buffer_.end(), head, head + 4);
  buffer_.insert(buffer_.end(), body, body + size);
  if (buffer_.size() >= kFlushSize) flush();
}

void Biff5Writer::flush() {
  if (buffer_.empty()) return;
  sink_(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void Biff5Writer::writeGlobals() {
  Body b;
  auto put = [&](unsigned id) {
    record(id, b.data(), b.size());
    b.clear();
  };
  b.u16(0x0500).u16(0x0005).u16(0x0DBB).u16(0x07CC);  // BOF: BIFF5, workbook globals
  put(kBof);
  b.u16(1250);  // texts in Windows-1250
  put(kCodepage);
  // WINDOW1: position and size in twips, scroll bars and tabs shown, sheet 0
  // active and selected, tab bar ratio 600/1000.
  b.u16(0x0168).u16(0x001E).u16(0x3A2C).u16(0x2454).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258);
  put(kWindow1);
  // Fonts 0 to 3 (the format has no font 4): 0, 2 and 3 Arial 10, 1 its bold.
  for (int i = 0; i < 4; ++i) {
    const bool bold = i == 1;
    b.u16(200).u16(bold ? 0x0001 : 0).u16(0x7FFF).u16(bold ? 700 : 400).u16(0).u8(0).u8(0).u8(238).u8(0);
    b.text8(QByteArrayLiteral("Arial"));
    put(kFont);
  }
  // XF: font, number format, type and parent, alignment, used attributes,
  // background (pattern colours 64 and 65, no fill), borders (none).
  auto xf = [&](unsigned font, unsigned format, unsigned type, unsigned align, unsigned used) {
    b.u16(font).u16(format).u16(type).u8(align).u8(used << 2).u32(0x000020C0).u32(0);
    put(kXf);
  };
  xf(0, 0, 0xFFF5, 0x20, 0x00);  // style 0, Normal: every attribute its own
  for (int i = 1; i < 15; ++i) xf(0, 0, 0xFFF5, 0x20, 0x3D);  // other styles: the font only
  xf(0, 0, 0x0001, 0x20, 0x00);  // 15: default cell format
  for (int bold = 0; bold < 2; ++bold) {
    for (int align = 0; align < 3; ++align) {
      for (int date = 0; date < 2; ++date) {
        const unsigned used = (date ? 0x01 : 0) | (bold ? 0x02 : 0) | (align ? 0x04 : 0);
        const unsigned horizontal = align == 0 ? 0 : align == 1 ? 1 : 3;
        xf(bold ? 1 : 0, date ? kShortDateFormat : 0, 0x0001, 0x20 | horizontal, used);
      }
    }
  }
  b.u16(0x8000).u8(0).u8(0xFF);  // style Normal on XF 0
  put(kStyle);
  // BOUNDSHEET: the sheet's stream position follows the globals, which end with
  // this record and EOF; the buffer still holds the stream from its start.
  const QByteArray name = QByteArrayLiteral("Munka1");
  const std::size_t sheetAt = buffer_.size() + 4 + 6 + 1 + static_cast<std::size_t>(name.size()) + 4;
  b.u32(static_cast<std::uint32_t>(sheetAt)).u8(0).u8(0).text8(name);
  put(kBoundsheet);
  put(kEof);
}

void Biff5Writer::writeSheetHead() {
  Body b;
  auto put = [&](unsigned id) {
    record(id, b.data(), b.size());
    b.clear();
  };
  b.u16(0x0500).u16(0x0010).u16(0x0DBB).u16(0x07CC);  // BOF: worksheet
  put(kBof);
  b.u16(8);
  put(kDefColWidth);
  for (const auto &w : layout_.widths) {
    b.u16(w.column).u16(w.column).u16(StoredColumnWidth(w.characters)).u16(15).u16(0).u16(0);
    put(kColinfo);
  }
  b.u16(0).u16(lastRow_).u16(0).u16(lastColumn_).u16(0);
  put(kDimensions);
}

Biff5Writer::Format Biff5Writer::formatOf(int row, int column) const {
  Format f;
  for (const auto &b : layout_.bold)
    if (b.row == row && column >= b.firstColumn && column <= b.lastColumn) f.bold = true;
  for (const auto &a : layout_.alignments)
    if (a.column == column && row >= a.firstRow && row <= a.lastRow) f.align = a.align;
  return f;
}

int Biff5Writer::xfIndex(const Format &f) const {
  return kFirstOwnXf + (f.bold ? 6 : 0) + static_cast<int>(f.align) * 2 + (f.date ? 1 : 0);
}

void Biff5Writer::writeCells(int row, const std::vector<CellValue> *values) {
  Body b;
  const int count = values ? static_cast<int>(values->size()) : 0;
  for (int c = 0; c < lastColumn_; ++c) {
    Format f = formatOf(row, c);
    const CellValue *v = c < count ? &(*values)[static_cast<std::size_t>(c)] : nullptr;
    if (v && std::holds_alternative<QString>(*v)) {
      bool cut = false;
      const QByteArray text = CellText(std::get<QString>(*v), cut);
      if (cut) ++truncated_;
      b.u16(row).u16(c).u16(xfIndex(f)).text16(text);
      record(kLabel, b.data(), b.size());
    } else if (v && std::holds_alternative<double>(*v)) {
      b.u16(row).u16(c).u16(xfIndex(f)).f64(std::get<double>(*v));
      record(kNumber, b.data(), b.size());
    } else if (v && std::holds_alternative<QDateTime>(*v)) {
      const QDateTime &d = std::get<QDateTime>(*v);
      double serial = 0;
      if (DateSerial(d, serial)) {
        f.date = true;
        b.u16(row).u16(c).u16(xfIndex(f)).f64(serial);
        record(kNumber, b.data(), b.size());
      } else {
        // Before 1900 no date cell can hold it: the date as text.
        b.u16(row).u16(c).u16(xfIndex(f)).text16(d.date().toString(QStringLiteral("yyyy.MM.dd")).toLatin1());
        record(kLabel, b.data(), b.size());
      }
    } else if (f.bold || f.align != HAlign::General) {
      b.u16(row).u16(c).u16(xfIndex(f));
      record(kBlank, b.data(), b.size());
    }
    b.clear();
  }
}

void Biff5Writer::flushRowsBefore(int row) {
  // Rows without values that still carry a format: their blank cells.
  for (; nextRow_ < row; ++nextRow_) writeCells(nextRow_, nullptr);
}

void Biff5Writer::writeRow(int row, const std::vector<CellValue> &values) {
  Check(!finished_, "row after the end");
  Check(row >= nextRow_ && row < layout_.rowCount, "row out of order or past the sheet's rows");
  Check(static_cast<int>(values.size()) <= layout_.columnCount, "more values than columns");
  flushRowsBefore(row);
  writeCells(row, &values);
  nextRow_ = row + 1;
}

void Biff5Writer::finish() {
  Check(!finished_, "finished twice");
  flushRowsBefore(lastRow_);
  Body b;
  // WINDOW2: grid lines, headers, zero values, default grid colour, outline
  // symbols; the sheet selected and shown.
  b.u16(0x06B6).u16(0).u16(0).u32(0);
  record(kWindow2, b.data(), b.size());
  record(kEof, nullptr, 0);
  finished_ = true;
  flush();
}

}  // namespace excel

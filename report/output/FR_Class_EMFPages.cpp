#include "report/output/FR_Class_EMFPages.h"

#include "platform/error_text.h"
#include "platform/whole_file.h"
#include "report/logging.h"
#include "report/output/FR_Canvas.h"
#include "report/core/FR_Class_Report.h"
#include "report/output/FR_TextLayout.h"


namespace report {

TfrCompressor frCompressor;

namespace {

// Smallest page block: next, paper size, width, height, orientation, use
// margins and at least the version byte.
constexpr qint64 kMinPageBlock = 4 + 2 + 4 + 4 + 1 + 1 + 1;

QString currentPrinterName(const TfrReport *report) {
  if (frPrinter && frPrinter->PrinterIndex() >= 0 && frPrinter->PrinterIndex() < frPrinter->Printers.size())
    return frPrinter->Printers.at(frPrinter->PrinterIndex());
  return report ? report->PrinterName : frDefaultPrinterName();
}

// Reads a page's objects; any defect of the stream raises.
std::vector<std::unique_ptr<TfrView>> readPageObjects(const QByteArray &bytes) {
  std::vector<std::unique_ptr<TfrView>> out;
  TfrStream s(bytes);
  const int version = s.ReadU8();
  if (version < 21 || version > frCurrentVersion)
    throw EPreparedReportError(QStringLiteral("Page objects of version %1 cannot be read").arg(version));
  const int previous = frVersion;
  frVersion = version;
  try {
    while (!s.AtEnd()) {
      const qint64 at = s.Position();
      const int typ = s.ReadU8();
      QString cls;
      if (typ == gtAddIn) cls = ReadFrString(s);
      std::unique_ptr<TfrView> v = CreateReportObject(typ, cls);
      if (!v)
        throw EPreparedReportError(QStringLiteral("Invalid object type %1 at position %2").arg(typ).arg(at));
      v->IsPrinting = true;
      v->LoadFromStream(s);
      out.push_back(std::move(v));
    }
  } catch (...) {
    frVersion = previous;
    throw;
  }
  frVersion = previous;
  return out;
}

void writeObject(TfrStream &s, TfrView &v) {
  s.WriteU8(static_cast<quint8>(v.Typ));
  if (v.Typ == gtAddIn) frWriteString(s, v.ClassName());
  v.SaveToStream(s);
}

}  // namespace

TfrPageGeometry frPaperGeometry(int size, int width, int height, int orientation) {
  TfrPageGeometry g;
  if (frPrinter) {
    try {
      frPrinter->SetPrinterInfo(size, width, height, orientation);
      frPrinter->FillPageGeometry(g);
      if (g.pageWidth > 0 && g.pageHeight > 0) return g;
    } catch (const EPrinterError &) {
      // An unusable printer: fall back to the paper's own size.
      platform::logCaught(lcReport(), QStringLiteral("paper of the printer"));
    }
  }
  int w = width, h = height;
  if (orientation == 1) std::swap(w, h);
  g = TfrPageGeometry{};
  g.pageWidth = frRound(w * frPixelsX / 254);
  g.pageHeight = frRound(h * frPixelsY / 254);
  g.offsetX = frRound(50 * frPixelsX / 254);
  g.offsetY = frRound(50 * frPixelsY / 254);
  g.printPixWidth = g.pageWidth - 2 * g.offsetX;
  g.printPixHeight = g.pageHeight - 2 * g.offsetY;
  return g;
}

TfrEMFPages::TfrEMFPages(TfrReport *parent) : Parent(parent) {}
TfrEMFPages::~TfrEMFPages() = default;

TfrPageRec *TfrEMFPages::GetPageRec(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return pages_[static_cast<size_t>(index)].get();
}

void TfrEMFPages::Delete(int index) {
  if (index >= 0 && index < Count()) pages_.erase(pages_.begin() + index);
}

TfrPageRec *TfrEMFPages::Insert(int index, const TfrPage &page) {
  auto rec = std::make_unique<TfrPageRec>();
  rec->pgSize = page.pgSize;
  rec->pgWidth = page.pgWidth;
  rec->pgHeight = page.pgHeight;
  rec->pgOr = page.pgOr;
  rec->UseMargins = page.UseMargins;
  rec->PrnInfo = frPaperGeometry(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
  rec->Stream = QByteArray(1, static_cast<char>(frCurrentVersion));
  if (index < 0) index = 0;
  if (index >= Count()) {
    pages_.push_back(std::move(rec));
    return pages_.back().get();
  }
  auto it = pages_.insert(pages_.begin() + index, std::move(rec));
  return it->get();
}

void TfrEMFPages::AddObject(int index, TfrView &view) {
  TfrPageRec *rec = GetPageRec(index);
  if (!rec || !view.Visible) return;
  // The page's bytes move into the stream and back: a copy per object drawn
  // would make a page's cost grow with the square of its objects. An object
  // that cannot be written leaves the page as it was.
  const qint64 before = rec->Stream.size();
  TfrStream s(std::move(rec->Stream));
  s.Seek(before);
  const int previous = frVersion;
  frVersion = frCurrentVersion;
  const bool printing = view.IsPrinting;
  view.IsPrinting = true;
  try {
    writeObject(s, view);
  } catch (...) {
    view.IsPrinting = printing;
    frVersion = previous;
    rec->Stream = s.TakeData();
    rec->Stream.truncate(before);
    throw;
  }
  view.IsPrinting = printing;
  frVersion = previous;
  rec->Stream = s.TakeData();
}

std::vector<std::unique_ptr<TfrView>> TfrEMFPages::ReadObjects(const QByteArray &stream) {
  return readPageObjects(stream);
}

void TfrEMFPages::ExpandPageObjects(int index) {
  TfrPageRec *rec = GetPageRec(index);
  if (!rec) return;
  rec->Page.reset();
  auto page = std::make_unique<TfrPage>(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
  for (auto &v : readPageObjects(rec->Stream)) {
    v->IsPrinting = false;
    v->Memo = v->Memo1;  // what was printed is the text the page shows
    page->Add(std::move(v));
  }
  rec->Page = std::move(page);
}

void TfrEMFPages::StorePageObjects(int index) {
  TfrPageRec *rec = GetPageRec(index);
  if (!rec || !rec->Page) return;
  TfrStream s;
  const int previous = frVersion;
  frVersion = frCurrentVersion;
  s.WriteU8(static_cast<quint8>(frCurrentVersion));
  for (const auto &v : rec->Page->Objects) {
    if (!v->Visible) continue;
    v->Memo1 = v->Memo;
    const bool printing = v->IsPrinting;
    v->IsPrinting = true;
    writeObject(s, *v);
    v->IsPrinting = printing;
  }
  frVersion = previous;
  rec->Stream = s.Data();
}

void TfrEMFPages::Draw(int index, TfrCanvas &canvas, const QRect &rect) {
  TfrPageRec *rec = GetPageRec(index);
  if (!rec) return;
  if (!rec->Visible) {
    rec->Page.reset();
    return;
  }
  if (!rec->Page) ExpandPageObjects(index);
  if (rec->PrnInfo.pageWidth <= 0 || rec->PrnInfo.pageHeight <= 0) return;
  const double sx = double(rect.width()) / rec->PrnInfo.pageWidth;
  const double sy = double(rect.height()) / rec->PrnInfo.pageHeight;
  const QRect visible = canvas.visibleRect();
  for (const auto &v : rec->Page->Objects) {
    v->ScaleX = sx;
    v->ScaleY = sy;
    v->OffsX = rect.left();
    v->OffsY = rect.top();
    if (!visible.isNull() && canvas.kind() == TfrCanvasKind::Screen) {
      const TfrDrawGeometry g = v->DrawGeometry();  // held within the pixel range
      QRect r(g.left - 10, g.top - 10, g.width + 21, g.height + 21);
      if (!visible.intersects(r)) continue;
    }
    v->Draw(canvas);
  }
}

// ---------------------------------------------------------------- files

namespace {

// A page record's head, alike in both layouts: where the next page starts and
// the paper. Returns the end of this page's data; a block that ends outside
// the file (or, unless emptyBody, holds no data) or a bad orientation raises.
qint64 readPageHead(TfrStream &s, TfrPageRec &rec, int index, bool emptyBody) {
  const qint64 at = s.Position();
  const qint64 next = s.ReadI32();
  rec.pgSize = s.ReadU16();
  rec.pgWidth = s.ReadI32();
  rec.pgHeight = s.ReadI32();
  rec.pgOr = s.ReadU8();
  rec.UseMargins = s.ReadU8() != 0;
  if ((emptyBody ? next < s.Position() : next <= s.Position()) || next > s.Size())
    throw EPreparedReportError(QStringLiteral("Page %1 at position %2 ends outside the file").arg(index + 1).arg(at));
  if (rec.pgOr != 0 && rec.pgOr != 1)
    throw EPreparedReportError(QStringLiteral("Page %1 has an invalid orientation").arg(index + 1));
  return next;
}

}  // namespace

void TfrEMFPages::readCurrent(TfrStream &s, std::vector<std::unique_ptr<TfrPageRec>> &out) {
  PrinterName = frReadString(s);
  const qint32 count = s.ReadI32();
  if (count < 0 || count > s.Remaining() / kMinPageBlock)
    throw EPreparedReportError(QStringLiteral("Invalid page count %1").arg(count));
  for (qint32 i = 0; i < count; ++i) {
    auto rec = std::make_unique<TfrPageRec>();
    const qint64 next = readPageHead(s, *rec, i, false);
    rec->Stream = s.ReadBytes(next - s.Position());
    try {
      readPageObjects(rec->Stream);  // every object must read now, not when drawn
    } catch (const EPreparedReportError &) {
      throw;
    } catch (const Exception &e) {
      throw EPreparedReportError(QStringLiteral("Page %1: %2").arg(i + 1).arg(e.message()));
    }
    out.push_back(std::move(rec));
  }
}

void TfrEMFPages::readOlder(TfrStream &s, std::vector<std::unique_ptr<TfrPageRec>> &out) {
  // The older layout: a version 22 line list with the printer name, the count,
  // and per page its paper and a metafile of the whole page.
  QStringList name;
  frReadMemoOld(s, name);
  PrinterName = name.value(0);
  const qint32 count = s.ReadI32();
  if (count < 0 || count > s.Remaining() / (kMinPageBlock - 1))
    throw EPreparedReportError(QStringLiteral("Invalid page count %1").arg(count));
  for (qint32 i = 0; i < count; ++i) {
    auto rec = std::make_unique<TfrPageRec>();
    const qint64 next = readPageHead(s, *rec, i, true);
    const QByteArray metafile = s.ReadBytes(next - s.Position());
    rec->PrnInfo = frPaperGeometry(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
    // The page becomes one picture object covering it, holding the metafile as it is.
    TfrPictureView pic;
    pic.x = 0;
    pic.y = 0;
    pic.dx = rec->PrnInfo.pageWidth;
    pic.dy = rec->PrnInfo.pageHeight;
    pic.Flags = flStretched;
    pic.Picture.setData(TfrPicture::pkMetafile, metafile);
    pic.IsPrinting = true;
    TfrStream os;
    const int previous = frVersion;
    frVersion = frCurrentVersion;
    os.WriteU8(static_cast<quint8>(frCurrentVersion));
    writeObject(os, pic);
    frVersion = previous;
    rec->Stream = os.Data();
    out.push_back(std::move(rec));
  }
}

void TfrEMFPages::LoadFromStream(TfrStream &s) {
  std::vector<std::unique_ptr<TfrPageRec>> pages;
  const QString previousName = PrinterName;
  const qint64 start = s.Position();
  try {
    const quint8 first = s.ReadU8();
    if (first >= 2 && first <= 254) {
      s.Seek(start);
      readOlder(s, pages);
    } else if (first != 0) {
      throw EPreparedReportError(QStringLiteral("Compressed prepared reports are not supported"));
    } else {
      readCurrent(s, pages);
    }
  } catch (...) {
    PrinterName = previousName;
    throw;
  }
  for (auto &rec : pages)
    if (rec->PrnInfo.pageWidth == 0)
      rec->PrnInfo = frPaperGeometry(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
  pages_.swap(pages);
  if (Parent) Parent->SetPrinterTo(PrinterName);
}

void TfrEMFPages::SaveToStream(TfrStream &s) {
  s.WriteU8(frCompressor.Enabled ? 1 : 0);
  frWriteString(s, currentPrinterName(Parent));
  s.WriteI32(Count());
  for (const auto &rec : pages_) {
    const qint64 at = s.Position();
    s.WriteI32(0);
    s.WriteU16(static_cast<quint16>(rec->pgSize));
    s.WriteI32(rec->pgWidth);
    s.WriteI32(rec->pgHeight);
    s.WriteU8(static_cast<quint8>(rec->pgOr));
    s.WriteU8(rec->UseMargins ? 1 : 0);
    s.WriteBytes(rec->Stream);
    const qint64 end = s.Position();
    s.Seek(at);
    s.WriteI32(static_cast<qint32>(end));
    s.Seek(end);
  }
}

void TfrEMFPages::LoadFromFile(const QString &fileName) {
  const platform::Result<QByteArray> bytes = platform::readFileWhole(fileName);
  if (!bytes) throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, bytes.reason()));
  TfrStream s(*bytes);
  LoadFromStream(s);
}

void TfrEMFPages::SaveToFile(const QString &fileName) {
  TfrStream s;
  SaveToStream(s);
  if (const platform::Done done = platform::writeFileWhole(fileName, s.Data()); !done)
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, done.reason()));
}

}  // namespace report

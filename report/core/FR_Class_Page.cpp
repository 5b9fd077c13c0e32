#include "report/core/FR_Class_Page.h"

#include "platform/error_text.h"
#include "report/core/FR_Class_Report.h"
#include "report/logging.h"
#include "report/output/FR_Prntr.h"

namespace report {

TfrPage::TfrPage(int size, int width, int height, int orientation)
    : pgSize(size), pgWidth(width), pgHeight(height), pgOr(static_cast<quint8>(orientation)) {}

TfrPage::~TfrPage() = default;

void TfrPage::LoadFromStream(TfrStream &s) {
  pgSize = s.ReadI32();
  pgWidth = s.ReadI32();
  pgHeight = s.ReadI32();
  pgMargins.Left = s.ReadI32();
  pgMargins.Top = s.ReadI32();
  pgMargins.Right = s.ReadI32();
  pgMargins.Bottom = s.ReadI32();
  pgOr = s.ReadU8();
  if (frVersion < 23) s.ReadBytes(6);
  PrintToPrevPage = s.ReadBool16();
  UseMargins = s.ReadBool16();
  ColCount = s.ReadI32();
  ColGap = s.ReadI32();
  ChangePaper();
}

void TfrPage::SaveToStream(TfrStream &s) const {
  s.WriteI32(pgSize);
  s.WriteI32(pgWidth);
  s.WriteI32(pgHeight);
  s.WriteI32(pgMargins.Left);
  s.WriteI32(pgMargins.Top);
  s.WriteI32(pgMargins.Right);
  s.WriteI32(pgMargins.Bottom);
  s.WriteU8(pgOr);
  s.WriteBool16(PrintToPrevPage);
  s.WriteBool16(UseMargins);
  s.WriteI32(ColCount);
  s.WriteI32(ColGap);
}

void TfrPage::ChangePaper() const {
  if (!frPrinter) return;
  try {
    frPrinter->SetPrinterInfo(pgSize, pgWidth, pgHeight, pgOr);
  } catch (const EPrinterError &) {
    // An unusable printer keeps its paper; the page keeps its own values.
    platform::logCaught(lcReport(), QStringLiteral("paper of the page"));
  }
}

TfrView *TfrPage::FindObject(const QString &name) const {
  for (const auto &v : Objects)
    if (v->Name.compare(name, Qt::CaseInsensitive) == 0) return v.get();
  return nullptr;
}

int TfrPage::IndexOf(const TfrView *v) const {
  for (size_t i = 0; i < Objects.size(); ++i)
    if (Objects[i].get() == v) return static_cast<int>(i);
  return -1;
}

TfrView *TfrPage::Add(std::unique_ptr<TfrView> v) {
  Objects.push_back(std::move(v));
  return Objects.back().get();
}

void TfrPage::Delete(int index) {
  if (index >= 0 && index < Count()) Objects.erase(Objects.begin() + index);
}

TfrPage *TfrPages::Add() {
  pages_.push_back(std::make_unique<TfrPage>());
  return pages_.back().get();
}

void TfrPages::Delete(int i) {
  if (i >= 0 && i < Count()) pages_.erase(pages_.begin() + i);
}

std::unique_ptr<TfrPage> TfrPages::Take(int i) {
  if (i < 0 || i >= Count()) return nullptr;
  std::unique_ptr<TfrPage> p = std::move(pages_[static_cast<size_t>(i)]);
  pages_.erase(pages_.begin() + i);
  return p;
}

void TfrPages::LoadFromStream(TfrStream &s) { Parent->LoadBody(s); }
void TfrPages::SaveToStream(TfrStream &s) { Parent->SaveBody(s); }

}  // namespace report

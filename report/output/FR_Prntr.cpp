#include "report/output/FR_Prntr.h"

#include "platform/error_text.h"
#include "report/logging.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace report {

QString frDefaultPrinterName() { return QStringLiteral("Default printer"); }
QString frPdfPrinterName() { return QStringLiteral("PDF"); }
QString frNoPrinterPdfTitle() { return QStringLiteral("Nincs nyomtató beállítva: a nyomat PDF fájlba kerül"); }
QString frInvalidPrinterText() { return QStringLiteral("Printer selected is not valid"); }
QString frPrinterGoneText(const QString &printer) {
  return QStringLiteral("The printer \"%1\" is not available any more. Nothing was printed.").arg(printer);
}

TfrPrinter *frPrinter = nullptr;

namespace {
std::unique_ptr<TfrPrinterBackend> &systemBackend() {
  static std::unique_ptr<TfrPrinterBackend> backend;
  return backend;
}
}  // namespace

void frCreatePrinter(TfrPrinterBackend *backend) {
  frFreePrinter();
  if (!backend) {
    if (!systemBackend()) systemBackend() = frCreateSystemPrinterBackend();
    backend = systemBackend().get();
  }
  frPrinter = new TfrPrinter;
  frPrinter->SetPrinter(backend);
}

void frFreePrinter() {
  delete frPrinter;
  frPrinter = nullptr;
}

// Paper codes are the standard Windows paper codes with their standard sizes.
const std::array<TfrPaperInfo, frPaperCount> frPaperInfo = {{
    {1, "Letter, 8 1/2 x 11\"", 2159, 2794},
    {2, "Letter small, 8 1/2 x 11\"", 2159, 2794},
    {3, "Tabloid, 11 x 17\"", 2794, 4318},
    {4, "Ledger, 17 x 11\"", 4318, 2794},
    {5, "Legal, 8 1/2 x 14\"", 2159, 3556},
    {6, "Statement, 5 1/2 x 8 1/2\"", 1397, 2159},
    {7, "Executive, 7 1/4 x 10 1/2\"", 1842, 2667},
    {8, "A3 297 x 420 mm", 2970, 4200},
    {9, "A4 210 x 297 mm", 2100, 2970},
    {10, "A4 small sheet, 210 x 297 mm", 2100, 2970},
    {11, "A5 148 x 210 mm", 1480, 2100},
    {12, "B4 250 x 354 mm", 2500, 3540},
    {13, "B5 182 x 257 mm", 1820, 2570},
    {14, "Folio, 8 1/2 x 13\"", 2159, 3302},
    {15, "Quarto Sheet, 215 x 275 mm", 2150, 2750},
    {16, "10 x 14\"", 2540, 3556},
    {17, "11 x 17\"", 2794, 4318},
    {18, "Note, 8 1/2 x 11\"", 2159, 2794},
    {19, "9 Envelope, 3 7/8 x 8 7/8\"", 984, 2254},
    {20, "#10 Envelope, 4 1/8  x 9 1/2\"", 1048, 2413},
    {21, "#11 Envelope, 4 1/2 x 10 3/8\"", 1143, 2635},
    {22, "#12 Envelope, 4 3/4 x 11\"", 1207, 2794},
    {23, "#14 Envelope, 5 x 11 1/2\"", 1270, 2921},
    {24, "C Sheet, 17 x 22\"", 4318, 5588},
    {25, "D Sheet, 22 x 34\"", 5588, 8636},
    {26, "E Sheet, 34 x 44\"", 8636, 11176},
    {27, "DL Envelope, 110 x 220 mm", 1100, 2200},
    {28, "C5 Envelope, 162 x 229 mm", 1620, 2290},
    {29, "C3 Envelope,  324 x 458 mm", 3240, 4580},
    {30, "C4 Envelope,  229 x 324 mm", 2290, 3240},
    {31, "C6 Envelope,  114 x 162 mm", 1140, 1620},
    {32, "C65 Envelope, 114 x 229 mm", 1140, 2290},
    {33, "B4 Envelope,  250 x 353 mm", 2500, 3530},
    {34, "B5 Envelope,  176 x 250 mm", 1760, 2500},
    {35, "B6 Envelope,  176 x 125 mm", 1760, 1250},
    {36, "Italy Envelope, 110 x 230 mm", 1100, 2300},
    {37, "Monarch Envelope, 3 7/8 x 7 1/2\"", 984, 1905},
    {38, "6 3/4 Envelope, 3 5/8 x 6 1/2\"", 920, 1651},
    {39, "US Std Fanfold, 14 7/8 x 11\"", 3778, 2794},
    {40, "German Std Fanfold, 8 1/2 x 12\"", 2159, 3048},
    {41, "German Legal Fanfold, 8 1/2 x 13\"", 2159, 3302},
    {42, "B4 (ISO) 250 x 353 mm", 2500, 3530},
    {43, "Japanese Postcard 100 x 148 mm", 1000, 1480},
    {44, "9 x 11\"", 2286, 2794},
    {45, "10 x 11\"", 2540, 2794},
    {46, "15 x 11\"", 3810, 2794},
    {47, "Envelope Invite 220 x 220 mm", 2200, 2200},
    {50, "Letter Extra 9/275 x 12\"", 2355, 3048},
    {51, "Legal Extra 9/275 x 15\"", 2355, 3810},
    {52, "Tabloid Extra 11.69 x 18\"", 2969, 4572},
    {53, "A4 Extra 9.27 x 12.69\"", 2354, 3223},
    {54, "Letter Transverse 8/275 x 11\"", 2101, 2794},
    {55, "A4 Transverse 210 x 297 mm", 2100, 2970},
    {56, "Letter Extra Transverse 9/275 x 12\"", 2355, 3048},
    {57, "SuperASuperAA4 227 x 356 mm", 2270, 3560},
    {58, "SuperBSuperBA3 305 x 487 mm", 3050, 4870},
    {59, "Letter Plus 8.5 x 12.69\"", 2159, 3223},
    {60, "A4 Plus 210 x 330 mm", 2100, 3300},
    {61, "A5 Transverse 148 x 210 mm", 1480, 2100},
    {62, "B5 (JIS) Transverse 182 x 257 mm", 1820, 2570},
    {63, "A3 Extra 322 x 445 mm", 3220, 4450},
    {64, "A5 Extra 174 x 235 mm", 1740, 2350},
    {65, "B5 (ISO) Extra 201 x 276 mm", 2010, 2760},
    {66, "A2 420 x 594 mm", 4200, 5940},
    {67, "A3 Transverse 297 x 420 mm", 2970, 4200},
    {68, "A3 Extra Transverse 322 x 445 mm", 3220, 4450},
    {256, "Custom", 0, 0},
}};

namespace {

// Half to even, as the engine's geometry rounds.
int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

constexpr int kNameLength = 64;  // a paper name holds at most 64 characters

}  // namespace

TfrPrinter::TfrPrinter() = default;
TfrPrinter::~TfrPrinter() = default;

void TfrPrinter::SetPrinter(TfrPrinterBackend *backend) {
  backend_ = backend;
  Printers.clear();
  printerIndex_ = 0;
  if (backend_) {
    Printers = backend_->printerNames();
    if (!Printers.isEmpty()) {
      int current = backend_->currentPrinter();
      printerIndex_ = (current >= 0 && current < Printers.size()) ? current : 0;
    }
  }
  Printers.append(frDefaultPrinterName());
  defaultIndex_ = Printers.size() - 1;
  if (printerIndex_ != defaultIndex_) {
    try {
      selectBackendPrinter(printerIndex_);
      GetSettings();
      return;
    } catch (const EPrinterError &) {
      // The system's current printer cannot be used: fall back to the virtual entry.
      platform::logCaught(lcReport(), QStringLiteral("the system's printer"));
      printerIndex_ = defaultIndex_;
    }
  }
  ApplyPaperSettings();
}

void TfrPrinter::selectBackendPrinter(int index) {
  if (!backend_ || !backend_->selectPrinter(Printers.at(index)))
    throw EPrinterError(frInvalidPrinterText());
}

void TfrPrinter::SetPrinterIndex(int index) {
  if (index < 0 || index >= Printers.size()) throw EPrinterError(frInvalidPrinterText());
  if (index == defaultIndex_) {
    printerIndex_ = index;
    ApplyPaperSettings();
    return;
  }
  const int old = printerIndex_;
  try {
    selectBackendPrinter(index);
    printerIndex_ = index;
    GetSettings();
  } catch (const EPrinterError &) {
    printerIndex_ = old;
    if (old != defaultIndex_ && backend_) backend_->selectPrinter(Printers.at(old));
    throw;
  }
}

void TfrPrinter::requireValidPrinter() {
  if (!backend_) throw EPrinterError(frInvalidPrinterText());
  const TfrDeviceCaps caps = backend_->deviceCaps();
  if (caps.dpiX <= 0 || caps.dpiY <= 0) throw EPrinterError(frInvalidPrinterText());
}

void TfrPrinter::GetSettings() {
  if (IsDefaultPrinter()) return;
  requireValidPrinter();
  const TfrDeviceCaps caps = backend_->deviceCaps();
  PaperSize = backend_->paperCode();
  PaperWidth = roundEven(double(caps.physWidth) / caps.dpiX * 254.0);
  PaperHeight = roundEven(double(caps.physHeight) / caps.dpiY * 254.0);

  PaperCodes.fill(0);
  PaperNames.clear();
  const std::vector<TfrPrinterPaper> papers = backend_->papers();
  // The lists hold at most 256 papers, each name at most 64 characters.
  const int n = std::min<int>(int(papers.size()), frMaxPapers);
  for (int i = 0; i < n; ++i) {
    PaperCodes[i] = static_cast<uint16_t>(papers[i].code);
    PaperNames.append(papers[i].name.left(kNameLength));
  }
  PaperCount = n;
  if (PaperCount == 0) {
    // A printer that names no papers still offers a custom size, so the
    // list is never empty.
    const TfrPaperInfo &custom = frPaperInfo.back();
    PaperCodes[0] = static_cast<uint16_t>(custom.code);
    PaperNames.append(QString::fromLatin1(custom.name));
    PaperCount = 1;
  }
}

void TfrPrinter::fillBuiltInPapers() {
  PaperNames.clear();
  PaperCodes.fill(0);
  for (int i = 0; i < frPaperCount; ++i) {
    PaperCodes[i] = static_cast<uint16_t>(frPaperInfo[i].code);
    PaperNames.append(QString::fromLatin1(frPaperInfo[i].name));
  }
  PaperCount = frPaperCount;
}

void TfrPrinter::ApplyPaperSettings() {
  if (IsDefaultPrinter()) {
    fillBuiltInPapers();
    if (PaperSize != frCustomPaper) {
      for (const TfrPaperInfo &p : frPaperInfo) {
        if (p.code != PaperSize) continue;
        PaperWidth = p.width;
        PaperHeight = p.height;
        if (Orientation == 1) std::swap(PaperWidth, PaperHeight);
        break;
      }
    }
    return;
  }
  if (!backend_) throw EPrinterError(frInvalidPrinterText());
  backend_->applyPaper(PaperSize, PaperWidth, PaperHeight, Orientation);
  GetSettings();
}

bool TfrPrinter::IsEqual(int paperCode, int width, int height, int orientation) const {
  if (paperCode != PaperSize || orientation != Orientation) return false;
  if (paperCode == frCustomPaper) return width == PaperWidth && height == PaperHeight;
  return true;
}

void TfrPrinter::SetPrinterInfo(int paperCode, int width, int height, int orientation) {
  if (IsEqual(paperCode, width, height, orientation)) return;
  PaperSize = paperCode;
  PaperWidth = width;
  PaperHeight = height;
  Orientation = orientation;
  ApplyPaperSettings();
}

int TfrPrinter::PaperCodeIndex(int paperCode) const {
  for (int i = 0; i < PaperCount; ++i)
    if (PaperCodes[i] == paperCode) return i;
  return std::max(PaperCount - 1, 0);
}

void TfrPrinter::FillPageGeometry(TfrPageGeometry &g) {
  if (IsDefaultPrinter()) {
    g.pageWidth = roundEven(PaperWidth * frPixelsX / 254);
    g.pageHeight = roundEven(PaperHeight * frPixelsY / 254);
    g.offsetX = roundEven(50 * frPixelsX / 254);
    g.offsetY = roundEven(50 * frPixelsY / 254);
    g.printPixWidth = g.pageWidth - 2 * g.offsetX;
    g.printPixHeight = g.pageHeight - 2 * g.offsetY;
    return;
  }
  requireValidPrinter();
  const TfrDeviceCaps c = backend_->deviceCaps();
  auto px = [&](int v) { return roundEven(v * frPixelsX / c.dpiX); };
  auto py = [&](int v) { return roundEven(v * frPixelsY / c.dpiY); };
  g.physWidth = c.physWidth;
  g.physHeight = c.physHeight;
  g.pageWidth = px(c.physWidth);
  g.pageHeight = py(c.physHeight);
  g.physOffsetX = c.physOffsetX;
  g.physOffsetY = c.physOffsetY;
  g.offsetX = px(c.physOffsetX);
  g.offsetY = py(c.physOffsetY);
  g.printWidth = c.printWidth;
  g.printHeight = c.printHeight;
  g.printPixWidth = px(c.printWidth);
  g.printPixHeight = py(c.printHeight);
}

QString TfrPrinter::JobTitle(const QString &title) {
  return QStringLiteral("Quorvane: ") + (title.isEmpty() ? QStringLiteral("Untitled") : title);
}

void TfrPrinter::SelectForJob() {
  if (!backend_) throw EPrinterError(frInvalidPrinterText());
  if (IsDefaultPrinter()) {
    // The virtual entry has no device: the wrapper is bound to the system's
    // current printer, whose geometry the pages then print at.
    const QStringList names = backend_->printerNames();
    const int current = backend_->currentPrinter();
    const int index = current >= 0 && current < names.size() ? int(Printers.indexOf(names.at(current))) : -1;
    if (index < 0 || index == defaultIndex_) throw EPrinterError(frInvalidPrinterText());
    SetPrinterIndex(index);
  }
  const QString name = Printers.at(printerIndex_);
  // The printer may have gone since it was chosen.
  if (!backend_->selectPrinter(name)) throw EPrinterError(frPrinterGoneText(name));
  jobPrinter_ = name;
}

QPainter *TfrPrinter::BeginDoc(const QString &title) {
  jobTitle_ = JobTitle(title);
  SelectForJob();
  backend_->applyPaper(PaperSize, PaperWidth, PaperHeight, Orientation);
  if (backend_->beginJob(jobTitle_) == TfrJobStart::Cancelled) return nullptr;
  return backend_->canvas();
}

void TfrPrinter::NewPage() {
  // A sheet refused within a job: the printer went away while printing.
  if (!backend_ || !backend_->newPage()) throw EPrinterError(frPrinterGoneText(jobPrinter_));
}

void TfrPrinter::EndDoc() {
  if (backend_) backend_->endJob();
}

void TfrPrinter::Abort() {
  if (backend_) backend_->abortJob();
}

TfrPrinterState TfrPrinter::SaveState() const {
  return {printerIndex_, PaperNames, PaperCodes, PaperCount, Orientation, PaperSize, PaperWidth, PaperHeight};
}

void TfrPrinter::RestoreState(const TfrPrinterState &s) {
  if (backend_ && s.printerIndex != defaultIndex_ && s.printerIndex >= 0 && s.printerIndex < Printers.size() &&
      backend_->selectPrinter(Printers.at(s.printerIndex)))
    backend_->applyPaper(s.paperSize, s.paperWidth, s.paperHeight, s.orientation);
  printerIndex_ = s.printerIndex;
  PaperNames = s.paperNames;
  PaperCodes = s.paperCodes;
  PaperCount = s.paperCount;
  Orientation = s.orientation;
  PaperSize = s.paperSize;
  PaperWidth = s.paperWidth;
  PaperHeight = s.paperHeight;
}

bool TfrPrinter::CanChangePaperInJob() const { return backend_ && backend_->changesPaperInJob(); }

}  // namespace report

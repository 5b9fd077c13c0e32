#include "report/core/FR_Class_View.h"


#include <QBuffer>
#include <QHash>

#include <cmath>
#include <limits>

namespace report {

bool frShowBandTitles = true;

namespace {

int objectCounter = 0;

struct AddIn {
  QString className;
  TfrAddInFactory factory;
};

QHash<QString, AddIn> &addIns() {
  static QHash<QString, AddIn> table;
  return table;
}

// Frame width: a float in memory, an integer in the stream. Stored values of
// at most 10 are whole widths, larger ones thousandths, so a whole width
// above 10 is written in thousandths as well.
qint32 storedFrameWidth(double w) {
  const bool whole = std::floor(w) == w;
  long double v = whole && w <= 10 ? w : std::nearbyint(static_cast<long double>(w) * 1000);
  if (!(v >= std::numeric_limits<qint32>::min())) v = std::numeric_limits<qint32>::min();
  if (!(v <= std::numeric_limits<qint32>::max())) v = std::numeric_limits<qint32>::max();
  return static_cast<qint32>(v);
}

double frameWidthFromStored(qint32 n) { return n <= 10 ? n : n / 1000.0; }

}  // namespace

quint32 frDefaultFormat() { return frMakeFormat(0, 0, 2, ','); }

double frKeptFrameWidth(double w) { return frameWidthFromStored(storedFrameWidth(w)); }

QImage TfrPicture::image() const {
  QImage img;
  if (kind_ == pkBitmap) img.loadFromData(data_, "BMP");
  else if (kind_ == pkIcon) img.loadFromData(data_, "ICO");
  return img;
}

void TfrPicture::setImage(const QImage &img) {
  if (img.isNull()) {
    clear();
    return;
  }
  QByteArray b;
  QBuffer buf(&b);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "BMP");
  setData(pkBitmap, b);
}

// ---------------------------------------------------------------- TfrView

TfrView::TfrView() : ID(++objectCounter), Format(frDefaultFormat()) {}
TfrView::~TfrView() = default;

void TfrView::Assign(const TfrView &from) {
  Name = from.Name;
  Typ = from.Typ;
  Selected = from.Selected;
  x = from.x, y = from.y, dx = from.dx, dy = from.dy;
  Flags = from.Flags;
  FrameTyp = from.FrameTyp;
  FrameWidth = from.FrameWidth;
  FrameColor = from.FrameColor;
  FrameStyle = from.FrameStyle;
  FillColor = from.FillColor;
  Format = from.Format;
  FormatStr = from.FormatStr;
  Visible = from.Visible;
  Memo = from.Memo;
  Script = from.Script;
}

std::unique_ptr<TfrView> TfrView::Clone() const {
  std::unique_ptr<TfrView> v = CreateReportObject(Typ, ClassName());
  if (v) v->Assign(*this);
  return v;
}

void TfrView::LoadFromStream(TfrStream &s) {
  const bool design = !IsPrinting;
  if (design && frVersion >= 23) Name = frReadString(s);
  x = s.ReadI32();
  y = s.ReadI32();
  dx = s.ReadI32();
  dy = s.ReadI32();
  Flags = s.ReadU16();
  FrameTyp = s.ReadU16();
  FrameWidth = frameWidthFromStored(s.ReadI32());
  FrameColor = s.ReadU32();
  FrameStyle = s.ReadU16();
  FillColor = s.ReadU32();
  if (design) {
    Format = s.ReadU32();
    FormatStr = ReadFrString(s);
  }
  ReadText(s);
  if (design && frVersion >= 23) {
    frReadMemo(s, Script);
    Visible = s.ReadBool16();
  }
  ReadTail(s);
}

void TfrView::SaveToStream(TfrStream &s) {
  const bool design = !IsPrinting;
  TfrBytes b;
  if (design) b.String(Name);
  b.I32(x);
  b.I32(y);
  b.I32(dx);
  b.I32(dy);
  b.U16(Flags);
  b.U16(FrameTyp);
  b.I32(storedFrameWidth(FrameWidth));
  b.U32(FrameColor);
  b.U16(FrameStyle);
  b.U32(FillColor);
  if (design) {
    b.U32(Format);
    b.String(FormatStr);
  }
  b.WriteTo(s);
  WriteText(s);
  if (design) {
    frWriteMemo(s, Script);
    s.WriteBool16(Visible);
  }
  WriteTail(s);
}

void TfrView::ReadText(TfrStream &s) { ReadFrMemo(s, IsPrinting ? Memo1 : Memo); }
void TfrView::WriteText(TfrStream &s) { frWriteMemo(s, IsPrinting ? Memo1 : Memo); }

// ---------------------------------------------------------------- TfrMemoView

TfrMemoView::TfrMemoView() {
  Typ = gtMemo;
  BaseName = QStringLiteral("Memo");
  Flags = flStretched | flWordWrap;
}

void TfrMemoView::Assign(const TfrView &from) {
  TfrView::Assign(from);
  if (const auto *m = dynamic_cast<const TfrMemoView *>(&from)) {
    Font = m->Font;
    Adjust = m->Adjust;
    LineSpacing = m->LineSpacing;
    Highlight = m->Highlight;
    HighlightStr = m->HighlightStr;
  }
}

void TfrMemoView::LoadFromStream(TfrStream &s) {
  TfrView::LoadFromStream(s);
  if (frVersion == 21) Flags |= flWordWrap;
}

void TfrMemoView::ReadTail(TfrStream &s) {
  Font.Name = ReadFrString(s);
  Font.Size = s.ReadI32();
  Font.Style = frGetFontStyle(s.ReadU16());
  Font.Color = s.ReadU32();
  Adjust = s.ReadI32();
  const quint16 charset = s.ReadU16();
  Font.Charset = frVersion >= 23 ? (charset & 0xFF) : 1;  // a charset is one byte
  if (!IsPrinting) {
    Highlight.FontStyle = frGetFontStyle(s.ReadU16());
    Highlight.FontColor = s.ReadU32();
    Highlight.FillColor = s.ReadU32();
    HighlightStr = ReadFrString(s);
  }
}

void TfrMemoView::WriteTail(TfrStream &s) {
  TfrBytes b;
  b.String(Font.Name);
  b.I32(Font.Size);
  b.U16(static_cast<quint16>(frSetFontStyle(Font.Style)));
  b.U32(Font.Color);
  b.I32(Adjust);
  b.U16(static_cast<quint16>(Font.Charset));
  if (!IsPrinting) {
    b.U16(static_cast<quint16>(frSetFontStyle(Highlight.FontStyle)));
    b.U32(Highlight.FontColor);
    b.U32(Highlight.FillColor);
    b.String(HighlightStr);
  }
  b.WriteTo(s);
}

// ---------------------------------------------------------------- others

TfrBandView::TfrBandView() {
  Typ = gtBand;
  BaseName = QStringLiteral("Band");
}

TfrSubReportView::TfrSubReportView() {
  Typ = gtSubReport;
  BaseName = QStringLiteral("SubReport");
}

void TfrSubReportView::Assign(const TfrView &from) {
  TfrView::Assign(from);
  if (const auto *v = dynamic_cast<const TfrSubReportView *>(&from)) SubPage = v->SubPage;
}

void TfrSubReportView::ReadTail(TfrStream &s) { SubPage = s.ReadI32(); }
void TfrSubReportView::WriteTail(TfrStream &s) { s.WriteI32(SubPage); }

TfrPictureView::TfrPictureView() {
  Typ = gtPicture;
  BaseName = QStringLiteral("Picture");
}

void TfrPictureView::Assign(const TfrView &from) {
  TfrView::Assign(from);
  if (const auto *v = dynamic_cast<const TfrPictureView *>(&from)) {
    Picture = v->Picture;
    Font = v->Font;
  }
}

void TfrPictureView::ReadTail(TfrStream &s) {
  const quint8 kind = s.ReadU8();
  const qint64 end = s.ReadU32();
  if (end < s.Position() || end > s.Size())
    throw EReadError(QStringLiteral("Picture data ends outside the stream"));
  const QByteArray data = s.ReadBytes(end - s.Position());
  Picture.setData(static_cast<TfrPicture::Kind>(kind), data);
}

void TfrPictureView::WriteTail(TfrStream &s) {
  s.WriteU8(Picture.kind());
  const qint64 at = s.Position();
  s.WriteU32(0);
  s.WriteBytes(Picture.data());
  const qint64 end = s.Position();
  s.Seek(at);
  s.WriteU32(static_cast<quint32>(end));
  s.Seek(end);
}

TfrLineView::TfrLineView() {
  Typ = gtLine;
  BaseName = QStringLiteral("Line");
}

// ---------------------------------------------------------------- factory

void frRegisterAddIn(const QString &className, TfrAddInFactory factory) {
  addIns().insert(className.toUpper(), AddIn{className, std::move(factory)});
}

std::unique_ptr<TfrView> CreateReportObject(int typ, const QString &className) {
  std::unique_ptr<TfrView> v;
  switch (typ) {
    case gtMemo: v = std::make_unique<TfrMemoView>(); break;
    case gtPicture: v = std::make_unique<TfrPictureView>(); break;
    case gtBand: v = std::make_unique<TfrBandView>(); break;
    case gtSubReport: v = std::make_unique<TfrSubReportView>(); break;
    case gtLine: v = std::make_unique<TfrLineView>(); break;
    case gtAddIn: {
      const auto it = addIns().constFind(className.toUpper());
      if (it == addIns().constEnd())
        throw EClassNotFound(QStringLiteral("Класс %1 не найден").arg(className));
      v = it->factory();
      if (!v) throw EClassNotFound(QStringLiteral("Класс %1 не найден").arg(className));
      v->Typ = gtAddIn;
      break;
    }
    default:
      return nullptr;
  }
  return v;
}

}  // namespace report

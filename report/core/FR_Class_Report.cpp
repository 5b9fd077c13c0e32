#include "report/core/FR_Class_Report.h"

#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/whole_file.h"
#include "report/logging.h"
#include "report/output/FR_Prntr.h"

#include <QApplication>

#include <QSet>

namespace report {

void frDefaultErrorBox(const QString &text) {
  // Shown only in a widget application; headless callers see nothing.
  if (qobject_cast<QApplication *>(QCoreApplication::instance())) platform::error(text);
}
std::function<void(const QString &)> frErrorBox = frDefaultErrorBox;
TfrReport *frCurrentReport = nullptr;

namespace {

constexpr quint8 recPage = 0xFF;
constexpr quint8 recValues = 0xFE;
constexpr quint8 recDataManager = 0xFD;

QString framedMemoClass() { return QStringLiteral("TFRFRAMEDMEMOVIEW"); }

// Names already used, upper-cased, for unique-name generation during a load.
QString uniqueName(const TfrView &view, QSet<QString> &used) {
  for (int n = 1; n <= 10000; ++n) {
    const QString name = view.BaseName + QString::number(n);
    if (!used.contains(name.toUpper())) return name;
  }
  return QString();
}

QByteArray readFile(const QString &fileName) {
  platform::Result<QByteArray> bytes = platform::readFileWhole(fileName);
  if (!bytes) throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, bytes.reason()));
  return *std::move(bytes);
}

void writeFile(const QString &fileName, const QByteArray &bytes) {
  if (const platform::Done done = platform::writeFileWhole(fileName, bytes); !done)
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, done.reason()));
}

// A bitmap stream: a bitmap file image, delimited by the size in its header.
QByteArray readBitmap(TfrStream &s) {
  const qint64 start = s.Position();
  const quint16 magic = s.ReadU16();
  const quint32 size = s.ReadU32();
  if (magic != 0x4D42 || size < 14 || size > static_cast<quint64>(s.Size() - start))
    throw EReadError(QStringLiteral("Bitmap image is not valid"));
  s.Seek(start);
  return s.ReadBytes(size);
}

}  // namespace

QString CreateUniqueName(const TfrView &view, const TfrPages &pages) {
  QSet<QString> used;
  for (int i = 0; i < pages.Count(); ++i)
    for (const auto &v : pages[i]->Objects) used.insert(v->Name.toUpper());
  return uniqueName(view, used);
}

TfrReport::TfrReport() = default;
TfrReport::~TfrReport() {
  if (frCurrentReport == this) frCurrentReport = nullptr;
}

void TfrReport::LoadBody(TfrStream &s) {
  // Everything is read aside and taken over only when the whole stream is good.
  TfrPages pages(this);
  TfrValues values;
  QStringList variables = Variables;
  bool valuesRead = false;
  QSet<QString> used;

  const bool printToDefault = s.ReadBool16();
  const bool doublePass = s.ReadBool16();
  const QString printer = ReadFrString(s);
  // The layout's printer is chosen before its pages apply their paper to it.
  {
    const bool saved = PrintToDefault;
    PrintToDefault = printToDefault;
    SetPrinterTo(printer);
    PrintToDefault = saved;
  }

  while (!s.AtEnd()) {
    const qint64 at = s.Position();
    const quint8 typ = s.ReadU8();
    if (typ == recPage) {
      auto page = std::make_unique<TfrPage>();
      page->LoadFromStream(s);
      pages.Add(std::move(page));
    } else if (typ <= gtLine || typ == gtAddIn) {
      QString cls;
      bool framed = false;
      std::unique_ptr<TfrView> v;
      if (typ == gtAddIn) {
        cls = ReadFrString(s);
        framed = cls.toUpper() == framedMemoClass();
      }
      v = framed ? CreateReportObject(gtMemo) : CreateReportObject(typ, cls);
      const quint8 pageIndex = s.ReadU8();
      if (pageIndex >= pages.Count())
        throw EInvalidLayout(QStringLiteral("Object at position %1 names page %2, which does not exist")
                                 .arg(at)
                                 .arg(pageIndex));
      v->LoadFromStream(s);
      if (frVersion < 23) v->Name = uniqueName(*v, used);
      used.insert(v->Name.toUpper());
      if (framed) s.ReadBytes(8);
      pages[pageIndex]->Add(std::move(v));
    } else if (typ == recValues) {
      values.ReadBinaryData(s);
      ReadFrMemo(s, variables);
      valuesRead = true;
    } else if (typ == recDataManager) {
      break;  // no data-manager hook is installed: reading ends here
    } else {
      throw EInvalidLayout(QStringLiteral("Invalid record type %1 at position %2").arg(typ).arg(at));
    }
  }

  PrintToDefault = printToDefault;
  DoublePass = doublePass;
  PrinterName = printer;
  Pages.Swap(pages);
  if (valuesRead) {
    Values = std::move(values);
    Variables = variables;
  }
}

void TfrReport::SaveBody(TfrStream &s) {
  // An object names its page in one byte: more pages would land objects on
  // the wrong page when read back.
  if (Pages.Count() > 256) throw EWriteError(QStringLiteral("A layout holds at most 256 pages"));
  frVersion = frCurrentVersion;
  s.WriteBool16(PrintToDefault);
  s.WriteBool16(DoublePass);
  QString printer = PrinterName;
  if (frPrinter && frPrinter->PrinterIndex() >= 0 && frPrinter->PrinterIndex() < frPrinter->Printers.size())
    printer = frPrinter->Printers.at(frPrinter->PrinterIndex());
  frWriteString(s, printer);
  for (int i = 0; i < Pages.Count(); ++i) {
    s.WriteU8(recPage);
    Pages[i]->SaveToStream(s);
  }
  for (int i = 0; i < Pages.Count(); ++i) {
    for (const auto &v : Pages[i]->Objects) {
      s.WriteU8(static_cast<quint8>(v->Typ));
      if (v->Typ == gtAddIn) frWriteString(s, v->ClassName());
      s.WriteU8(static_cast<quint8>(i));
      v->SaveToStream(s);
    }
  }
  s.WriteU8(recValues);
  Values.WriteBinaryData(s);
  frWriteMemo(s, Variables);
}

bool TfrReport::LoadFromStream(TfrStream &s) {
  frCurrentReport = this;
  const qint64 start = s.Position();
  int version = s.ReadU8();
  if (version > frCurrentVersion) {
    if (frErrorBox) frErrorBox(QStringLiteral("Unsupported FRF format"));
    s.Seek(start);
    return false;
  }
  if (version < 21) {
    version = 21;
    s.Seek(start);
  }
  const int previous = frVersion;
  frVersion = version;
  try {
    LoadBody(s);
  } catch (...) {
    frVersion = previous;
    throw;
  }
  return true;
}

void TfrReport::SaveToStream(TfrStream &s) {
  frCurrentReport = this;
  frVersion = frCurrentVersion;
  s.WriteU8(static_cast<quint8>(frCurrentVersion));
  SaveBody(s);
}

QByteArray TfrReport::SaveToBytes() {
  TfrStream s;
  SaveToStream(s);
  return s.Data();
}

bool TfrReport::LoadFromBytes(const QByteArray &bytes) {
  TfrStream s(bytes);
  return LoadFromStream(s);
}

bool TfrReport::LoadFromFile(const QString &fileName) {
  if (!LoadFromBytes(readFile(fileName))) return false;
  FileName = fileName;
  return true;
}

void TfrReport::SaveToFile(const QString &fileName) { writeFile(fileName, SaveToBytes()); }

void TfrReport::LoadTemplate(const QString &fileName, QStringList *description, TfrPicture *picture, bool load) {
  TfrStream s(readFile(fileName));
  LoadTemplateFromStream(s, description, picture, load);
}

void TfrReport::LoadTemplateFromStream(TfrStream &s, QStringList *description, TfrPicture *picture, bool load) {
  // Templates are only ever written in the current format; an older layout
  // read before must not make the template be read in its format.
  frVersion = frCurrentVersion;
  QStringList desc;
  ReadFrMemo(s, desc);
  const qint32 bodyPos = s.ReadI32();
  TfrPicture pict;
  if (s.ReadU8() == 1) pict.setData(TfrPicture::pkBitmap, readBitmap(s));
  if (!load) {
    if (description) *description = desc;
    if (picture) *picture = pict;
    return;
  }
  s.Seek(bodyPos);
  frCurrentReport = this;
  LoadBody(s);
}

void TfrReport::SaveTemplate(const QString &fileName, const QStringList &description, const TfrPicture &picture) {
  frVersion = frCurrentVersion;
  TfrStream s;
  frWriteMemo(s, description);
  const qint64 at = s.Position();
  s.WriteI32(0);
  const bool hasPicture = !picture.isEmpty();
  s.WriteU8(hasPicture ? 1 : 0);
  if (hasPicture) {
    QByteArray bmp = picture.data();
    if (picture.kind() != TfrPicture::pkBitmap) {
      TfrPicture p;
      p.setImage(picture.image());
      bmp = p.data();
    }
    s.WriteBytes(bmp);
  }
  const qint64 body = s.Position();
  s.Seek(at);
  s.WriteI32(static_cast<qint32>(body));
  s.Seek(body);
  SaveBody(s);
  writeFile(fileName, s.Data());
}

void TfrReport::ReadBinaryData(TfrStream &s) {
  s.ReadI32();
  if (!StoreInDFM) return;
  const qint32 n = s.ReadI32();
  TfrStream body(s.ReadBytes(n));
  LoadFromStream(body);
}

void TfrReport::WriteBinaryData(TfrStream &s) {
  s.WriteI32(frCurrentVersion);
  if (!StoreInDFM) return;
  const QByteArray bytes = SaveToBytes();
  s.WriteI32(static_cast<qint32>(bytes.size()));
  s.WriteBytes(bytes);
}

bool TfrReport::SetPrinterTo(const QString &printerName) {
  if (PrintToDefault || !frPrinter) return false;
  const int i = frPrinter->Printers.indexOf(printerName);
  if (i < 0) return false;
  try {
    frPrinter->SetPrinterIndex(i);
  } catch (const EPrinterError &) {
    platform::logCaught(lcReport(), printerName);
    return false;
  }
  return true;
}

void TfrReport::GetCategoryList(QStringList &list) const {
  list.clear();
  for (const QString &l : Variables)
    if (!l.isEmpty() && !l.startsWith(QLatin1Char(' '))) list.append(l);
}

void TfrReport::GetVarList(int categoryIndex, QStringList &list) const {
  list.clear();
  int cat = -1, i = 0;
  for (; i < Variables.size(); ++i) {
    const QString &l = Variables[i];
    if (!l.isEmpty() && !l.startsWith(QLatin1Char(' ')) && ++cat == categoryIndex) break;
  }
  for (++i; i < Variables.size(); ++i) {
    const QString &l = Variables[i];
    if (!l.startsWith(QLatin1Char(' '))) break;
    list.append(l.mid(1));
  }
}

int TfrReport::FindVariable(const QString &name) const { return Variables.indexOf(QLatin1Char(' ') + name); }

TfrView *TfrReport::FindObject(const QString &name) const {
  for (int i = 0; i < Pages.Count(); ++i)
    if (TfrView *v = Pages[i]->FindObject(name)) return v;
  return nullptr;
}

}  // namespace report

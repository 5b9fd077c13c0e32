// Layout stream: round trips, older versions, templates, the form-resource
// property and malformed input.
#include "report/core/FR_Class_Report.h"
#include "report/output/FR_Prntr_Fake.h"

#include "report_fixture.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace report;

namespace {

struct VersionGuard {
  int saved = frVersion;
  ~VersionGuard() { frVersion = saved; }
};

// An add-in class with a tail of its own.
class TestAddIn : public TfrView {
 public:
  TestAddIn() { BaseName = QStringLiteral("Gauge"); }
  QString ClassName() const override { return QStringLiteral("TTestGaugeView"); }
  qint32 Level = 0;

 protected:
  void ReadTail(TfrStream &s) override { Level = s.ReadI32(); }
  void WriteTail(TfrStream &s) override { s.WriteI32(Level); }
};

template <class T>
T *add(TfrPage *page, int x, int y, int dx, int dy, const QString &name) {
  auto v = std::make_unique<T>();
  v->x = x, v->y = y, v->dx = dx, v->dy = dy;
  v->Name = name;
  return static_cast<T *>(page->Add(std::move(v)));
}

// A layout with every object class, band type, frame line and style, font
// style, a picture, values and variables.
void buildFullLayout(TfrReport &r) {
  frRegisterAddIn(QStringLiteral("TTestGaugeView"), [] { return std::make_unique<TestAddIn>(); });
  r.DoublePass = true;
  TfrPage *p1 = r.Pages.Add();
  p1->pgMargins = {10, 20, 30, 40};
  p1->ColCount = 2;
  p1->ColGap = 15;
  TfrPage *p2 = r.Pages.Add();
  p2->pgSize = 256;
  p2->pgWidth = 1500;
  p2->pgHeight = 2000;
  p2->pgOr = 1;
  p2->PrintToPrevPage = true;
  p2->UseMargins = false;
  for (int t = 0; t <= btNone; ++t) {
    auto *b = add<TfrBandView>(p1, 0, t * 30, 700, 25, QStringLiteral("Band%1").arg(t + 1));
    b->SetBandType(t);
    b->Flags = static_cast<quint16>(t % 2 ? flBandNewPageAfter | flBandBreaked : flBandRepeatHeader);
    if (t == btMasterData) b->FormatStr = QStringLiteral("frDBDataSet1");
    if (t == btGroupHeader) b->FormatStr = QStringLiteral("[QZFEJ.\"F_AKOD\"]");
    b->Script = {QStringLiteral("begin"), QStringLiteral("  Visible := 1"), QStringLiteral("end")};
  }
  for (int i = 0; i < 8; ++i) {
    auto *m = add<TfrMemoView>(p1, 10 + i, 200, 120, 18, QStringLiteral("Memo%1").arg(i + 1));
    m->Memo = {QStringLiteral("Átvevő: [AtvevoNev]"), QString(), QStringLiteral("Összesen: [SUM([Qty])] Ft")};
    m->Font.Name = i % 2 ? QStringLiteral("Times New Roman") : QStringLiteral("Arial");
    m->Font.Size = 8 + i;
    m->Font.Style = frGetFontStyle(i);
    m->Font.Color = 0x00112233u * static_cast<unsigned>(i);
    m->Adjust = i % 4 | (i == 5 ? 4 : 0) | (i == 6 ? 8 : 0) | (i == 7 ? 16 : 0);
    m->FrameTyp = static_cast<quint16>(1 << (i % 4) | (i == 7 ? 15 : 0));
    m->FrameStyle = static_cast<quint16>(i % 6);
    m->FrameWidth = i == 0 ? 0.5 : (i == 1 ? 2 : (i == 2 ? 12 : 1));
    m->FrameColor = 0x000000FF;
    m->FillColor = i == 3 ? clWhite : clTransparent;
    m->Format = i == 4 ? 0x0103022C : frDefaultFormat();
    m->FormatStr = i == 4 ? QStringLiteral("#,##0.00") : QString();
    m->Highlight.FontStyle = fsItalic | fsUnderline;
    m->Highlight.FontColor = 0x0000FF;
    m->Highlight.FillColor = 0x00FFFF;
    m->HighlightStr = i == 2 ? QStringLiteral("[Qty] > 10") : QString();
    m->Flags = static_cast<quint16>(flStretched | flWordWrap | (i == 3 ? flAutoSize | flWordBreak : 0) |
                                    (i == 4 ? flWantHook : 0));
    m->Visible = i != 6;
    m->Font.Charset = 238;
  }
  auto *pic = add<TfrPictureView>(p1, 300, 300, 40, 30, QStringLiteral("Picture1"));
  QImage img(4, 3, QImage::Format_RGB32);
  img.fill(Qt::red);
  img.setPixel(1, 1, qRgb(0, 0, 255));
  pic->Picture.setImage(img);
  pic->Flags = flStretched | flPictCenter | flPictRatio;
  auto *meta = add<TfrPictureView>(p2, 0, 0, 10, 10, QStringLiteral("Picture2"));
  meta->Picture.setData(TfrPicture::pkMetafile, QByteArray("\x01\x00\x00\x00opaque metafile", 19));
  add<TfrPictureView>(p2, 0, 20, 10, 10, QStringLiteral("Picture3"));
  auto *sub = add<TfrSubReportView>(p1, 0, 400, 200, 50, QStringLiteral("SubReport1"));
  sub->SubPage = 1;
  auto *line = add<TfrLineView>(p2, 5, 5, 0, 100, QStringLiteral("Line1"));
  line->FrameTyp = frbLeft;
  line->FrameStyle = frsDouble;
  line->FrameWidth = 3;
  auto addin = std::make_unique<TestAddIn>();
  addin->Typ = gtAddIn;
  addin->Name = QStringLiteral("Gauge1");
  addin->Level = 77;
  p2->Add(std::move(addin));

  const int v = r.Values.AddValue();
  r.Values.SetName(v, QStringLiteral("Total"));
  r.Values.GetValue(v)->Typ = vtFRVar;
  r.Values.GetValue(v)->Field = QStringLiteral("[Qty] * [Price]");
  const int w = r.Values.AddValue();
  r.Values.SetName(w, QStringLiteral("Oldal"));
  r.Values.GetValue(w)->Typ = vtOther;
  r.Values.GetValue(w)->OtherKind = 0;
  r.Variables = {QStringLiteral("Jegy"), QStringLiteral(" Total"), QStringLiteral(" Oldal"), QStringLiteral("Üres")};
}

}  // namespace

TEST(LayoutStream, FullLayoutRoundTripsToIdenticalBytes) {
  TfrReport a;
  buildFullLayout(a);
  const QByteArray first = a.SaveToBytes();
  TfrReport b;
  b.LoadFromBytes(first);
  EXPECT_EQ(b.SaveToBytes(), first);

  ASSERT_EQ(b.Pages.Count(), 2);
  EXPECT_TRUE(b.DoublePass);
  EXPECT_FALSE(b.PrintToDefault);
  EXPECT_EQ(b.Pages[0]->Count(), 22 + 8 + 2);
  EXPECT_EQ(b.Pages[1]->pgSize, 256);
  EXPECT_EQ(b.Pages[1]->pgOr, 1);
  EXPECT_TRUE(b.Pages[1]->PrintToPrevPage);
  EXPECT_EQ(b.Pages[0]->pgMargins, (TfrMargins{10, 20, 30, 40}));

  auto *m0 = dynamic_cast<TfrMemoView *>(b.FindObject(QStringLiteral("memo1")));
  auto *m2 = dynamic_cast<TfrMemoView *>(b.FindObject(QStringLiteral("Memo3")));
  ASSERT_TRUE(m0 && m2);
  EXPECT_EQ(m0->FrameWidth, 0.5);
  EXPECT_EQ(m2->FrameWidth, 12);  // a whole width above 10 survives
  EXPECT_EQ(m2->HighlightStr, QStringLiteral("[Qty] > 10"));
  EXPECT_EQ(m2->Font.Style, fsBold);
  EXPECT_EQ(m0->Memo[0], QStringLiteral("Átvevő: [AtvevoNev]"));
  EXPECT_FALSE(dynamic_cast<TfrMemoView *>(b.FindObject(QStringLiteral("Memo7")))->Visible);

  auto *band = dynamic_cast<TfrBandView *>(b.FindObject(QStringLiteral("Band17")));
  ASSERT_TRUE(band);
  EXPECT_EQ(band->BandType(), btGroupHeader);
  EXPECT_EQ(band->FormatStr, QStringLiteral("[QZFEJ.\"F_AKOD\"]"));
  EXPECT_EQ(band->Script.size(), 3);

  auto *pic = dynamic_cast<TfrPictureView *>(b.FindObject(QStringLiteral("Picture1")));
  ASSERT_TRUE(pic);
  const QImage img = pic->Picture.image();
  ASSERT_EQ(img.size(), QSize(4, 3));
  EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 255));
  EXPECT_EQ(dynamic_cast<TfrPictureView *>(b.FindObject(QStringLiteral("Picture2")))->Picture.kind(),
            TfrPicture::pkMetafile);
  EXPECT_EQ(dynamic_cast<TfrSubReportView *>(b.FindObject(QStringLiteral("SubReport1")))->SubPage, 1);
  auto *gauge = dynamic_cast<TestAddIn *>(b.FindObject(QStringLiteral("Gauge1")));
  ASSERT_TRUE(gauge);
  EXPECT_EQ(gauge->Level, 77);

  ASSERT_EQ(b.Values.Count(), 2);
  EXPECT_EQ(b.Values.FindVariable(QStringLiteral("Total"))->Field, QStringLiteral("[Qty] * [Price]"));
  QStringList cats, vars;
  b.GetCategoryList(cats);
  EXPECT_EQ(cats, QStringList({QStringLiteral("Jegy"), QStringLiteral("Üres")}));
  b.GetVarList(0, vars);
  EXPECT_EQ(vars, QStringList({QStringLiteral("Total"), QStringLiteral("Oldal")}));
  EXPECT_EQ(b.FindVariable(QStringLiteral("Oldal")), 2);
}

TEST(LayoutStream, StreamHeaderAndFrameWidthBytes) {
  TfrReport r;
  TfrPage *p = r.Pages.Add();
  auto *l = add<TfrLineView>(p, 1, 2, 3, 4, QStringLiteral("L"));
  l->FrameWidth = 0.5;
  const QByteArray b = r.SaveToBytes();
  // version, two switches, "Default printer", page record of 41 bytes
  EXPECT_EQ(static_cast<quint8>(b[0]), 23);
  EXPECT_EQ(b.mid(1, 4), QByteArray(4, '\0'));
  const int pageAt = 5 + 2 + 15 + 1;
  EXPECT_EQ(b.mid(5, 2), QByteArray("\x0f\x00", 2));
  EXPECT_EQ(static_cast<quint8>(b[pageAt]), 0xFF);
  const int objAt = pageAt + 1 + 41;
  EXPECT_EQ(b[objAt], char(gtLine));
  EXPECT_EQ(b[objAt + 1], char(0));  // page index
  // name "L" (1+2+1 bytes), then x, y, dx, dy, flags, frame type, frame width
  TfrStream s(b);
  s.Seek(objAt + 2 + 4 + 16 + 4);
  EXPECT_EQ(s.ReadI32(), 500);
  l->FrameWidth = 2;
  TfrStream s2(r.SaveToBytes());
  s2.Seek(objAt + 2 + 4 + 16 + 4);
  EXPECT_EQ(s2.ReadI32(), 2);
  // Values and variables close the stream: 0xFE, count 0, empty line list.
  EXPECT_EQ(b.right(8), QByteArray("\xFE\0\0\0\0\0\0\0", 8));
}

namespace {

// Writers of the older format, from its field tables.
struct OldWriter {
  TfrStream s;
  void str(const QByteArray &b) {
    s.WriteBytes(b);
    s.WriteU8(0);
  }
  void memo(const QList<QByteArray> &lines) {
    for (const QByteArray &l : lines) {
      s.WriteBytes(l);
      s.WriteU8(13);
    }
    s.WriteU8(0);
  }
  void page() {
    s.WriteU8(0xFF);
    for (int v : {9, 2100, 2970, 5, 6, 7, 8}) s.WriteI32(v);
    s.WriteU8(1);
    s.WriteBytes(QByteArray(6, '\x55'));
    s.WriteU16(0);
    s.WriteU16(0xFFFF);
    s.WriteI32(1);
    s.WriteI32(0);
  }
  void common(int typ, int page, quint16 flags, qint32 frameWidth) {
    s.WriteU8(static_cast<quint8>(typ));
    s.WriteU8(static_cast<quint8>(page));
    for (int v : {10, 20, 30, 40}) s.WriteI32(v);
    s.WriteU16(flags);
    s.WriteU16(typ == gtBand ? btMasterData : 15);
    s.WriteI32(frameWidth);
    s.WriteU32(0x000080);
    s.WriteU16(2);
    s.WriteU32(0x1FFFFFFF);
    s.WriteU32(0x0103022C);
    str(typ == gtBand ? "frDBDataSet1" : "");
    memo({"[F_BSZAM]", "sor"});
  }
  void memoTail() {
    str("Courier New");
    s.WriteI32(9);
    s.WriteU16(3);
    s.WriteU32(0x00FF00);
    s.WriteI32(2);
    s.WriteU16(0xEE);
    s.WriteU16(2);
    s.WriteU32(0x0000FF);
    s.WriteU32(0xFFFFFF);
    str("[x] = 1");
  }
};

}  // namespace

TEST(LayoutStream, OlderVersionsLoadWithTheirValues) {
  VersionGuard g;
  for (int version : {21, 22}) {
    OldWriter w;
    w.s.WriteU8(static_cast<quint8>(version));
    w.s.WriteU16(0xFFFF);
    w.s.WriteU16(0);
    w.str("HP LaserJet");
    w.page();
    w.common(gtMemo, 0, flStretched, 1);
    w.memoTail();
    w.common(gtBand, 0, flStretched, 1);
    w.common(gtMemo, 0, 0, 1500);
    w.memoTail();
    // add-in record of the framed text class: class name, page, text record, 8 bytes
    w.s.WriteU8(gtAddIn);
    w.str("TfrFramedMemoView");
    OldWriter f;
    f.common(gtMemo, 0, 0, 1);
    f.memoTail();
    QByteArray rec = f.s.Data().mid(1);  // without its type byte
    w.s.WriteBytes(rec);
    w.s.WriteBytes(QByteArray(8, '\x77'));
    w.s.WriteU8(0xFE);
    w.s.WriteI32(1);
    w.s.WriteU8(vtDBField);
    w.s.WriteI32(0);
    frWriteShortString(w.s, QStringLiteral("frDBDataSet1"));
    frWriteShortString(w.s, QStringLiteral("F_BSZAM"));
    frWriteShortString(w.s, QStringLiteral("Sorszam"));
    w.memo({"Kategoria", " Sorszam"});

    TfrReport r;
    r.LoadFromBytes(w.s.Data());
    ASSERT_EQ(r.Pages.Count(), 1) << version;
    TfrPage *p = r.Pages[0];
    EXPECT_EQ(p->pgOr, 1);
    EXPECT_EQ(p->pgMargins, (TfrMargins{5, 6, 7, 8}));
    EXPECT_TRUE(p->UseMargins);
    ASSERT_EQ(p->Count(), 4);
    auto *m = dynamic_cast<TfrMemoView *>(p->Object(0));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Name, QStringLiteral("Memo1"));
    EXPECT_EQ(p->Object(1)->Name, QStringLiteral("Band1"));
    EXPECT_EQ(p->Object(2)->Name, QStringLiteral("Memo2"));
    EXPECT_EQ(p->Object(3)->Name, QStringLiteral("Memo3"));
    EXPECT_EQ(p->Object(3)->Typ, gtMemo);
    EXPECT_EQ(m->Memo, QStringList({QStringLiteral("[F_BSZAM]"), QStringLiteral("sor")}));
    EXPECT_EQ(m->Font.Name, QStringLiteral("Courier New"));
    EXPECT_EQ(m->Font.Style, fsItalic | fsBold);
    EXPECT_EQ(m->Font.Charset, 1);  // the default charset replaces the stored one
    EXPECT_EQ(m->Highlight.FontStyle, fsBold);
    EXPECT_EQ(m->HighlightStr, QStringLiteral("[x] = 1"));
    EXPECT_EQ(m->Format, 0x0103022Cu);
    EXPECT_TRUE(m->Visible);
    EXPECT_TRUE(m->Script.isEmpty());
    EXPECT_EQ(p->Object(2)->FrameWidth, 1.5);
    // Version 21 adds word wrap to text objects; 22 keeps the flags.
    EXPECT_EQ((p->Object(2)->Flags & flWordWrap) != 0, version == 21);
    EXPECT_EQ(dynamic_cast<TfrBandView *>(p->Object(1))->BandType(), btMasterData);
    EXPECT_EQ(p->Object(1)->FormatStr, QStringLiteral("frDBDataSet1"));
    EXPECT_TRUE(r.PrintToDefault);
    EXPECT_EQ(r.PrinterName, QStringLiteral("HP LaserJet"));
    EXPECT_EQ(r.Values.Count(), 1);
    EXPECT_EQ(r.Values.FindVariable(QStringLiteral("Sorszam"))->Field, QStringLiteral("F_BSZAM"));
    EXPECT_EQ(r.Variables, QStringList({QStringLiteral("Kategoria"), QStringLiteral(" Sorszam")}));
    // Saved again it is a version 23 layout that reads back the same.
    const QByteArray now = r.SaveToBytes();
    TfrReport again;
    again.LoadFromBytes(now);
    EXPECT_EQ(again.SaveToBytes(), now);
  }
}

TEST(LayoutStream, VersionBytesOutsideTheRange) {
  VersionGuard g;
  QStringList shown;
  const auto saved = frErrorBox;
  frErrorBox = [&](const QString &t) { shown << t; };
  TfrReport r;
  r.Pages.Add();
  // 24 and above: a message and nothing read.
  r.LoadFromBytes(QByteArray("\x18\x00\x00", 3));
  EXPECT_EQ(shown, QStringList({QStringLiteral("Unsupported FRF format")}));
  EXPECT_EQ(r.Pages.Count(), 1);
  // Below 21: read as 21 from the first byte, which becomes part of the switches.
  OldWriter w;
  w.s.WriteU8(20);
  w.s.WriteU8(0);
  w.s.WriteU16(0);
  w.str("P");
  w.page();
  r.LoadFromBytes(w.s.Data());
  EXPECT_EQ(r.Pages.Count(), 1);
  EXPECT_TRUE(r.PrintToDefault);
  EXPECT_EQ(r.Pages[0]->pgOr, 1);
  frErrorBox = saved;
}

TEST(LayoutStream, MalformedStreamsFailAndKeepTheReport) {
  TfrReport good;
  buildFullLayout(good);
  const QByteArray bytes = good.SaveToBytes();

  TfrReport r;
  r.LoadFromBytes(bytes);
  const QByteArray before = r.SaveToBytes();

  // Every truncation either loads (the cut fell between records) or raises,
  // and a raise leaves the report as it was.
  int raised = 0;
  for (int n = 1; n < bytes.size(); ++n) {
    try {
      TfrReport t;
      t.LoadFromBytes(bytes.left(n));
    } catch (const Exception &) {
      ++raised;
    }
    if (n % 97 == 0) {
      try {
        r.LoadFromBytes(bytes.left(n));
        r.LoadFromBytes(bytes);
      } catch (const Exception &) {
      }
      EXPECT_EQ(r.SaveToBytes(), before) << n;
    }
  }
  EXPECT_GT(raised, bytes.size() / 2);

  // An object naming a page that does not exist.
  QByteArray badPage = bytes;
  const int firstObject = bytes.indexOf(char(gtBand), 5 + 2 + 15 + 2 * 42);
  ASSERT_GT(firstObject, 0);
  badPage[firstObject + 1] = 5;
  EXPECT_THROW(r.LoadFromBytes(badPage), EInvalidLayout);
  EXPECT_EQ(r.SaveToBytes(), before);

  // An unknown record type.
  QByteArray badType = bytes;
  badType[firstObject] = 7;
  EXPECT_THROW(r.LoadFromBytes(badType), EInvalidLayout);
  EXPECT_EQ(r.SaveToBytes(), before);

  // A count of values far past the data.
  QByteArray manyValues = bytes;
  const int valuesAt = bytes.lastIndexOf(char(0xFE));
  manyValues[valuesAt + 4] = 0x7F;
  EXPECT_THROW(r.LoadFromBytes(manyValues), EReadError);
  EXPECT_EQ(r.SaveToBytes(), before);

  // An add-in class nobody registered.
  TfrStream s;
  s.WriteU8(23);
  s.WriteU32(0);
  frWriteString(s, QStringLiteral("P"));
  s.WriteU8(0xFF);
  TfrPage().SaveToStream(s);
  s.WriteU8(gtAddIn);
  frWriteString(s, QStringLiteral("TNobodyView"));
  s.WriteU8(0);
  EXPECT_THROW(r.LoadFromBytes(s.Data()), EClassNotFound);
  EXPECT_EQ(r.SaveToBytes(), before);

  // A data-manager block ends reading.
  TfrStream d;
  d.WriteU8(23);
  d.WriteU32(0);
  frWriteString(d, QStringLiteral("P"));
  d.WriteU8(0xFF);
  TfrPage().SaveToStream(d);
  d.WriteU8(0xFD);
  d.WriteBytes("anything at all");
  r.LoadFromBytes(d.Data());
  EXPECT_EQ(r.Pages.Count(), 1);
}

TEST(LayoutStream, SavingOntoAFullDiskKeepsTheOldLayoutAndSaysWhy) {
  vorik::test::FullDisk disk;
  const QString file = disk.file(QStringLiteral("QzLista2.frf"));
  TfrReport a;
  buildFullLayout(a);
  a.SaveToFile(file);
  const QByteArray old = a.SaveToBytes();
  a.Title = QStringLiteral("Megváltozott");
  test::ExpectFullDiskRefused(disk, [&] { a.SaveToFile(file); });
  TfrReport b;
  b.LoadFromFile(file);
  EXPECT_EQ(b.SaveToBytes(), old);
}

TEST(LayoutStream, FilesTemplatesAndTheFormResourceProperty) {
  vorik::test::TempDir dir;
  TfrReport a;
  buildFullLayout(a);
  const QByteArray bytes = a.SaveToBytes();

  a.SaveToFile(dir.file("QzLista2.frf"));
  TfrReport b;
  b.LoadFromFile(dir.file("QzLista2.frf"));
  EXPECT_EQ(b.SaveToBytes(), bytes);
  EXPECT_EQ(b.FileName, dir.file("QzLista2.frf"));
  test::ExpectUnreadableRefused(dir.path(), "missing.frf",
                                [&](const QString &path) { b.LoadFromFile(path); });
  EXPECT_EQ(b.SaveToBytes(), bytes);

  // Template with a description and a picture.
  TfrPicture pict;
  QImage img(8, 8, QImage::Format_RGB32);
  img.fill(Qt::green);
  pict.setImage(img);
  a.SaveTemplate(dir.file("t.frt"), {QStringLiteral("Számla"), QStringLiteral("két sor")}, pict);
  QStringList desc;
  TfrPicture got;
  TfrReport c;
  c.LoadTemplate(dir.file("t.frt"), &desc, &got, false);
  EXPECT_EQ(desc, QStringList({QStringLiteral("Számla"), QStringLiteral("két sor")}));
  EXPECT_EQ(got.image().size(), QSize(8, 8));
  EXPECT_EQ(c.Pages.Count(), 0);
  c.LoadTemplate(dir.file("t.frt"), nullptr, nullptr, true);
  EXPECT_EQ(c.SaveToBytes(), bytes);
  // Without a picture the one given is cleared.
  a.SaveTemplate(dir.file("n.frt"), {}, TfrPicture());
  c.LoadTemplate(dir.file("n.frt"), &desc, &got, false);
  EXPECT_TRUE(desc.isEmpty());
  EXPECT_TRUE(got.isEmpty());
  // A damaged template fails without touching the report.
  QFile f(dir.file("t.frt"));
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  f.seek(30);  // description 21 bytes, body position, flag, "BM", then the size field
  f.write("\x7f\x7f", 2);
  f.close();
  EXPECT_THROW(c.LoadTemplate(dir.file("t.frt"), &desc, &got, false), Exception);
  EXPECT_EQ(c.SaveToBytes(), bytes);

  // "ReportForm": i32 23, then the stream when StoreInDFM is set.
  a.StoreInDFM = true;
  TfrStream prop;
  a.WriteBinaryData(prop);
  EXPECT_EQ(prop.Size(), 8 + bytes.size());
  prop.Seek(0);
  TfrReport d;
  d.StoreInDFM = true;
  d.ReadBinaryData(prop);
  EXPECT_EQ(d.SaveToBytes(), bytes);
  TfrReport e;
  prop.Seek(0);
  e.ReadBinaryData(prop);  // StoreInDFM not set: only the version is read
  EXPECT_EQ(prop.Position(), 4);
  EXPECT_EQ(e.Pages.Count(), 0);
}

TEST(LayoutStream, ObjectsCloneAndAssign) {
  TfrReport a;
  buildFullLayout(a);
  for (int p = 0; p < a.Pages.Count(); ++p) {
    for (const auto &v : a.Pages[p]->Objects) {
      auto copy = v->Clone();
      ASSERT_TRUE(copy) << v->Name.toStdString();
      EXPECT_NE(copy->ID, v->ID);
      TfrStream s1, s2;
      v->SaveToStream(s1);
      copy->SaveToStream(s2);
      if (v->Typ != gtAddIn) {
        EXPECT_EQ(s1.Data(), s2.Data()) << v->Name.toStdString();
      }
    }
  }
  EXPECT_EQ(CreateReportObject(5), nullptr);
  EXPECT_THROW(CreateReportObject(gtAddIn, QStringLiteral("TUnknown")), EClassNotFound);
  auto m = CreateReportObject(gtMemo);
  EXPECT_EQ(m->Flags, flStretched | flWordWrap);
  EXPECT_EQ(m->FillColor, clTransparent);
  EXPECT_EQ(m->Format, frMakeFormat(0, 0, 2, ','));
  EXPECT_EQ(CreateReportObject(gtLine)->Flags, flStretched);
}

TEST(LayoutStream, TextObjectCharsetKeepsItsLowByte) {
  VersionGuard guard;
  frVersion = 23;
  TfrMemoView m;
  m.Font.Charset = 0x01EE;  // a stored word whose high byte is not part of the charset
  TfrStream s;
  m.SaveToStream(s);
  s.Seek(0);
  TfrMemoView back;
  back.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(back.Font.Charset, 0xEE);
  TfrStream again;
  back.SaveToStream(again);
  TfrStream first;
  m.Font.Charset = 0xEE;
  m.SaveToStream(first);
  EXPECT_EQ(again.Data(), first.Data());
}

TEST(LayoutStream, TemplatesReadTheSameAfterAnOlderLayout) {
  VersionGuard guard;
  vorik::test::TempDir dir;
  TfrReport a;
  buildFullLayout(a);
  const QByteArray bytes = a.SaveToBytes();
  a.SaveTemplate(dir.file("t.frt"), {QStringLiteral("Számla"), QStringLiteral("két sor")}, TfrPicture());

  // An older layout leaves its version behind once read.
  OldWriter w;
  w.s.WriteU8(22);
  w.s.WriteU16(0);
  w.s.WriteU16(0);
  w.str("Default printer");
  w.page();
  TfrReport old;
  old.LoadFromBytes(w.s.Data());
  ASSERT_EQ(old.Pages.Count(), 1);
  ASSERT_EQ(frVersion, 22);

  QStringList desc;
  TfrPicture got;
  TfrReport c;
  c.LoadTemplate(dir.file("t.frt"), &desc, &got, false);
  EXPECT_EQ(desc, QStringList({QStringLiteral("Számla"), QStringLiteral("két sor")}));
  frVersion = 21;
  c.LoadTemplate(dir.file("t.frt"), nullptr, nullptr, true);
  EXPECT_EQ(c.SaveToBytes(), bytes);
}

TEST(LayoutStream, PagesBeyondTheOneBytePageIndexAreRefused) {
  vorik::test::TempDir dir;
  TfrReport r;
  for (int i = 0; i < 256; ++i) r.Pages.Add();
  add<TfrLineView>(r.Pages[255], 1, 2, 3, 4, QStringLiteral("Last"));
  TfrReport back;
  back.LoadFromBytes(r.SaveToBytes());
  ASSERT_EQ(back.Pages.Count(), 256);
  EXPECT_EQ(back.Pages[255]->Count(), 1);
  EXPECT_EQ(back.Pages[0]->Count(), 0);
  // One page more: the object would be read onto page 0, so nothing is written.
  r.Pages.Add();
  add<TfrLineView>(r.Pages[256], 1, 2, 3, 4, QStringLiteral("Beyond"));
  EXPECT_THROW(r.SaveToBytes(), EWriteError);
  EXPECT_THROW(r.SaveToFile(dir.file("big.frf")), EWriteError);
  EXPECT_FALSE(QFile::exists(dir.file("big.frf")));
}

TEST(LayoutStream, TheLayoutsPrinterIsChosenBeforeItsPagesApplyTheirPaper) {
  TfrFakePrinterBackend backend;
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser"));
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Matrix"));
  backend.current = 0;
  frCreatePrinter(&backend);
  struct Free {
    ~Free() { frFreePrinter(); }
  } free;

  // Saved while "Matrix" was selected, with an A3 landscape page.
  TfrReport a;
  TfrPage *p = a.Pages.Add();
  p->pgSize = 8;
  p->pgWidth = 2970;
  p->pgHeight = 4200;
  p->pgOr = 1;
  frPrinter->SetPrinterIndex(1);
  const QByteArray bytes = a.SaveToBytes();

  frPrinter->SetPrinterIndex(0);
  ASSERT_EQ(backend.selected(), QStringLiteral("Laser"));
  TfrReport b;
  b.LoadFromBytes(bytes);
  EXPECT_EQ(frPrinter->PrinterIndex(), 1);
  EXPECT_EQ(backend.selected(), QStringLiteral("Matrix"));
  // The page's paper went to the layout's printer.
  EXPECT_EQ(backend.selectedPaper(), 8);
  EXPECT_EQ(backend.selectedOrientation(), 1);
  EXPECT_EQ(frPrinter->PaperSize, 8);

  // With PrintToDefault the selection stays, and the paper goes to it.
  frPrinter->SetPrinterIndex(0);
  a.PrintToDefault = true;
  TfrReport c;
  c.LoadFromBytes(a.SaveToBytes());
  EXPECT_EQ(backend.selected(), QStringLiteral("Laser"));
  EXPECT_EQ(backend.selectedPaper(), 8);
}

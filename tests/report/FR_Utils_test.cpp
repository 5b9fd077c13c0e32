#include "report/core/FR_Utils.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

QByteArray bytes(std::initializer_list<int> b) {
  QByteArray r;
  for (int x : b) r.append(static_cast<char>(x));
  return r;
}

struct VersionGuard {
  int saved = frVersion;
  ~VersionGuard() { frVersion = saved; }
};

}  // namespace

TEST(StreamPrimitives, StringsAndLineListsHaveTheirExactBytes) {
  TfrStream s;
  frWriteString(s, QStringLiteral("abc"));
  EXPECT_EQ(s.Data(), bytes({3, 0, 0x61, 0x62, 0x63, 0}));

  TfrStream e;
  frWriteMemo(e, {});
  EXPECT_EQ(e.Data(), bytes({0, 0, 0}));

  TfrStream m;
  frWriteMemo(m, {QStringLiteral("a"), QString()});
  EXPECT_EQ(m.Data(), bytes({2, 0, 1, 0, 0x61, 0x0D, 0, 0, 0}));

  m.Seek(0);
  QStringList back{QStringLiteral("old")};
  frReadMemo(m, back);
  EXPECT_EQ(back, QStringList({QStringLiteral("a"), QString()}));
  EXPECT_TRUE(m.AtEnd());
}

TEST(StreamPrimitives, TextIsWindows1250AndEveryByteSurvives) {
  QByteArray raw = bytes({0x81, 0xF5, 0xE1, 0x98});  // two undefined bytes, ő, á
  TfrStream s;
  s.WriteU16(4);
  s.WriteBytes(raw);
  s.WriteU8(0);
  s.Seek(0);
  const QString text = frReadString(s);
  EXPECT_EQ(text.size(), 4);
  EXPECT_EQ(text[1], QChar(0x0151));
  TfrStream out;
  frWriteString(out, text);
  EXPECT_EQ(out.Data(), s.Data());
}

TEST(StreamPrimitives, VersionTwentyThreeLineListRunsOnTrailingBytes) {
  // The count says 1 but the trailing 13 announces a second line.
  TfrStream s(bytes({1, 0, 1, 0, 'x', 13, 1, 0, 'y', 0}));
  QStringList l;
  frReadMemo(s, l);
  EXPECT_EQ(l, QStringList({QStringLiteral("x"), QStringLiteral("y")}));
}

TEST(StreamPrimitives, OlderEncodings) {
  VersionGuard g;
  frVersion = 22;
  TfrStream s(bytes({'a', 'b', 0, 'l', '1', 13, 'l', '2', 13, 0, 0}));
  EXPECT_EQ(ReadFrString(s), QStringLiteral("ab"));
  QStringList l;
  ReadFrMemo(s, l);
  EXPECT_EQ(l, QStringList({QStringLiteral("l1"), QStringLiteral("l2")}));  // no empty line before the 0
  ReadFrMemo(s, l);
  EXPECT_TRUE(l.isEmpty());

  TfrStream last(bytes({'x', 13, 'y', 0}));
  frReadMemoOld(last, l);
  EXPECT_EQ(l, QStringList({QStringLiteral("x"), QStringLiteral("y")}));
}

TEST(StreamPrimitives, TruncatedDataRaisesReadErrors) {
  TfrStream a(bytes({5, 0, 'a', 'b'}));
  EXPECT_THROW(frReadString(a), EReadError);
  TfrStream b(bytes({'a', 'b'}));
  EXPECT_THROW(frReadStringOld(b), EReadError);
  TfrStream c(bytes({2, 0, 1, 0, 'a', 13}));
  QStringList l;
  EXPECT_THROW(frReadMemo(c, l), EReadError);
  TfrStream d(bytes({'a', 13, 'b'}));
  EXPECT_THROW(frReadMemoOld(d, l), EReadError);
  TfrStream e(bytes({1, 2, 3}));
  EXPECT_THROW(e.ReadI32(), EReadError);
  EXPECT_THROW(e.Seek(4), EReadError);
}

TEST(StreamPrimitives, OverlongValuesAreRefusedOrCut) {
  TfrStream s;
  EXPECT_THROW(frWriteString(s, QString(70000, QLatin1Char('x'))), EWriteError);
  TfrStream m;
  EXPECT_THROW(frWriteMemo(m, {QString(70000, QLatin1Char('x'))}), EWriteError);
  TfrStream sh;
  frWriteShortString(sh, QString(300, QLatin1Char('y')));
  EXPECT_EQ(sh.Size(), 256);
  sh.Seek(0);
  EXPECT_EQ(frReadShortString(sh), QString(255, QLatin1Char('y')));
}

TEST(StreamPrimitives, FontStyleBitsAndQuotes) {
  EXPECT_EQ(frGetFontStyle(1), fsItalic);
  EXPECT_EQ(frGetFontStyle(2), fsBold);
  EXPECT_EQ(frGetFontStyle(7), fsItalic | fsBold | fsUnderline);
  EXPECT_EQ(frSetFontStyle(fsBold | fsUnderline | fsStrikeOut), 6);  // strike-out is not stored
  for (int i = 0; i < 8; ++i) EXPECT_EQ(frSetFontStyle(frGetFontStyle(i)), i);

  QString q = QStringLiteral("\"Data\"");
  frStripQuotes(q);
  EXPECT_EQ(q, QStringLiteral("Data"));
  QString half = QStringLiteral("\"Data");
  frStripQuotes(half);
  EXPECT_EQ(half, QStringLiteral("\"Data"));
}

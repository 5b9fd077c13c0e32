#include "platform/cp1250.h"

#include <gtest/gtest.h>

#include "qt_print.h"

using namespace platform;

TEST(Cp1250, HungarianTextRoundTrips) {
  const QString text = QStringLiteral("Őrült Űrhajós áéíóöőúüű ÁÉÍÓÖŐÚÜŰ");
  bool unmapped = true;
  const QByteArray bytes = toCp1250(text, &unmapped);
  EXPECT_FALSE(unmapped);
  EXPECT_EQ(bytes, QByteArray("\xD5r\xFClt \xDBrhaj\xF3s \xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB "
                              "\xC1\xC9\xCD\xD3\xD6\xD5\xDA\xDC\xDB"));
  EXPECT_EQ(fromCp1250(bytes), text);
  // The thousands separator of the regional settings is byte 0xA0; the euro 0x80.
  EXPECT_EQ(toCp1250(QString(QChar(0x00A0)) + QChar(0x20AC)), QByteArray("\xA0\x80"));
}

TEST(Cp1250, EveryByteRoundTripsAndUnmappedCharactersBecomeQuestionMarks) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = fromCp1250(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(text[0x81], QChar(0x0081));  // undefined bytes keep their value
  EXPECT_EQ(text[0x8A], QChar(0x0160));
  bool unmapped = true;
  EXPECT_EQ(toCp1250(text, &unmapped), all);
  EXPECT_FALSE(unmapped);

  const QString foreign = QStringLiteral("a\u00F1\u0080\u4E2D") + QString::fromUtf16(u"\U0001F600");
  const QByteArray out = toCp1250(foreign, &unmapped);
  EXPECT_TRUE(unmapped);
  EXPECT_EQ(out, QByteArray("a?????"));  // ñ, U+0080, a CJK letter, two halves of a surrogate pair
  EXPECT_EQ(cp1250Byte(u'\u0151'), 0xF5);
  EXPECT_EQ(cp1250Byte(u'\u00F1'), -1);
  EXPECT_EQ(fromCp1250(QByteArray()), QString());
}

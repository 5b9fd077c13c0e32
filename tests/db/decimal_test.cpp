// Exact decimals: parsing untrusted text, formatting, rounding and comparing
// across scales.
#include "db/decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using db::Decimal;

TEST(Decimal, ParsesPlainDecimalTextsOnly) {
  EXPECT_EQ(Decimal::parse(QStringLiteral("1234.5678")), Decimal(12345678, 4));
  EXPECT_EQ(Decimal::parse(QStringLiteral(" -0,25 "), QLatin1Char(',')), Decimal(-2500, 4));
  EXPECT_EQ(Decimal::parse(QStringLiteral("+7")), Decimal(70000, 4));
  EXPECT_EQ(Decimal::parse(QStringLiteral(".5")), Decimal(5000, 4));
  for (const char *bad : {"", " ", "-", ".", "1.2.3", "1,5", "12a", "1e5", "1 000", "1.23456", "--1",
                          "99999999999999999999", "922337203685477.5808"})
    EXPECT_FALSE(Decimal::parse(QString::fromLatin1(bad)).has_value()) << bad;
  // The largest value of the 64-bit range still parses.
  EXPECT_EQ(Decimal::parse(QStringLiteral("922337203685477.5807"))->units(), std::numeric_limits<std::int64_t>::max());
}

TEST(Decimal, FormatsRoundsAndComparesAcrossScales) {
  EXPECT_EQ(Decimal(950000, 4).toString(), QStringLiteral("95.0000"));
  EXPECT_EQ(Decimal(950000, 4).toString(QLatin1Char(','), true), QStringLiteral("95"));
  EXPECT_EQ(Decimal(-5, 4).toString(QLatin1Char(','), true), QStringLiteral("-0,0005"));
  EXPECT_EQ(Decimal(std::numeric_limits<std::int64_t>::min(), 4).toString(),
            QStringLiteral("-922337203685477.5808"));
  EXPECT_EQ(Decimal::fromDouble(1234.5678), Decimal(12345678, 4));
  EXPECT_EQ(Decimal::fromDouble(-0.00005), Decimal(-1, 4));
  EXPECT_EQ(Decimal(12345, 4).rescaled(2), Decimal(123, 2));
  EXPECT_EQ(Decimal(-12350, 4).rescaled(2), Decimal(-124, 2));
  EXPECT_EQ(Decimal(95, 0), Decimal(950000, 4));
  EXPECT_TRUE(Decimal(94, 0) < Decimal(940001, 4));
  EXPECT_DOUBLE_EQ(Decimal(12345678, 4).toDouble(), 1234.5678);
}

}  // namespace

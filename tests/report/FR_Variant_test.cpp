#include "report/core/FR_Utils.h"
#include "report/expr/FR_Variant.h"

#include "platform/conv.h"

#include <gtest/gtest.h>

using namespace report;

TEST(Variant, ArithmeticFollowsTheTypes) {
  EXPECT_EQ(VarAdd(Variant(2), Variant(3)).type(), Variant::Type::Integer);
  EXPECT_EQ(VarAdd(Variant(QStringLiteral("a")), Variant(QStringLiteral("b"))).toString(), QStringLiteral("ab"));
  // A text against a number is read as a number with the decimal comma.
  EXPECT_EQ(VarAdd(Variant(QStringLiteral("1,5")), Variant(1)).toFloat(), 2.5L);
  EXPECT_THROW(VarAdd(Variant(QStringLiteral("x")), Variant(1)), platform::ConvertError);
  // Null propagates.
  EXPECT_TRUE(VarMul(Variant(), Variant(3)).isNull());
  EXPECT_TRUE(VarNeg(Variant()).isNull());
  // Integer overflow becomes a real instead of wrapping.
  const Variant big = VarMul(Variant(2000000000), Variant(3));
  EXPECT_EQ(big.type(), Variant::Type::Float);
  EXPECT_EQ(big.toFloat(), 6000000000.0L);
  EXPECT_EQ(VarAdd(Variant(2147483647), Variant(1)).toFloat(), 2147483648.0L);
  EXPECT_EQ(VarDiv(Variant(7), Variant(2)).toFloat(), 3.5L);
  EXPECT_THROW(VarMod(Variant(7), Variant(0)), Exception);
  EXPECT_EQ(VarMod(Variant(7.5), Variant(3)).toInt(), 2);  // 7.5 rounds half to even: 8 mod 3
  EXPECT_EQ(VarNeg(Variant(true)).toInt(), 1);
}

TEST(Variant, DatesAddDaysAndSubtractToDays) {
  const Variant d = Variant::DateTime(frDateValue(QDate(2025, 3, 7)));
  const Variant next = VarAdd(d, Variant(1));
  EXPECT_EQ(next.type(), Variant::Type::DateTime);
  EXPECT_EQ(frToDateTime(next.toFloat()).date(), QDate(2025, 3, 8));
  EXPECT_EQ(VarSub(next, d).type(), Variant::Type::Float);
  EXPECT_EQ(VarSub(next, d).toFloat(), 1);
  EXPECT_EQ(d.toString(), QStringLiteral("2025.03.07"));
  EXPECT_EQ(Variant::DateTime(frDateTimeValue(QDateTime(QDate(2025, 3, 7), QTime(8, 5)))).toString(),
            QStringLiteral("2025.03.07 8:05:00"));
  EXPECT_EQ(frDateValue(QDate(1899, 12, 30)), 0);
}

TEST(Variant, ComparisonAndConversion) {
  EXPECT_EQ(VarCompare(Variant(), Variant()), 0);
  EXPECT_LT(VarCompare(Variant(), Variant(0)), 0);
  EXPECT_EQ(VarCompare(Variant(QStringLiteral("2")), Variant(2)), 0);
  // Texts compare under the Hungarian collation, not by code.
  EXPECT_GT(VarCompare(Variant(QStringLiteral("B")), Variant(QStringLiteral("a"))), 0);
  EXPECT_LT(VarCompare(Variant(QStringLiteral("á")), Variant(QStringLiteral("b"))), 0);
  EXPECT_LT(VarCompare(Variant(QStringLiteral("cz")), Variant(QStringLiteral("cs"))), 0);
  EXPECT_FALSE(VarEquals(Variant(QStringLiteral("a")), Variant(QStringLiteral("A"))));
  EXPECT_TRUE(VarEquals(Variant(false), Variant(0)));
  EXPECT_TRUE(VarEquals(Variant(true), Variant(-1)));
  EXPECT_EQ(Variant(1234.5).toString(), QStringLiteral("1234,5"));
  EXPECT_EQ(Variant(true).toString(), QStringLiteral("True"));
  EXPECT_EQ(Variant().toString(), QString());
  EXPECT_EQ(Variant(2.5).toInt(), 2);
  EXPECT_EQ(Variant(QStringLiteral("3,5")).toInt(), 4);
  EXPECT_THROW(Variant().toFloat(), platform::ConvertError);
  EXPECT_THROW(Variant(1e12).toInt(), platform::ConvertError);
  EXPECT_TRUE(Variant(QStringLiteral("true")).toBool());
  EXPECT_FALSE(Variant(QStringLiteral("0")).toBool());
}

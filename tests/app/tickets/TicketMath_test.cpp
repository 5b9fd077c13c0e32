#include "app/tickets/TicketMath.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <set>

using namespace TicketMath;

namespace {

Amounts amounts(long double var, long double tax, long double contrib, long double deduction,
                PaymentMode mode, long double far = 0, const char *layoutLetter = "") {
  LineSums s;
  s.add(far, var - far, var);
  auto a = computeAmounts(s, Rates{tax, contrib, deduction}, mode, QString::fromLatin1(layoutLetter));
  EXPECT_TRUE(a.has_value());
  return a.value_or(Amounts{});
}

}  // namespace

TEST(TicketMath, RoundHalfEvenOnExtendedPrecision) {
  EXPECT_EQ(roundHalfEven(0.5L), 0.0L);
  EXPECT_EQ(roundHalfEven(1.5L), 2.0L);
  EXPECT_EQ(roundHalfEven(2.5L), 2.0L);
  EXPECT_EQ(roundHalfEven(-0.5L), 0.0L);
  EXPECT_EQ(roundHalfEven(-1.5L), -2.0L);
  EXPECT_EQ(roundHalfEven(-2.5L), -2.0L);
  EXPECT_EQ(roundHalfEven(1234.5L), 1234.0L);
  EXPECT_EQ(roundHalfEven(1237.5L), 1238.0L);
  EXPECT_EQ(roundHalfEven(7436.8L), 7437.0L);
  // Just below a half in extended precision is not a tie.
  EXPECT_EQ(roundHalfEven(2.5L - 1e-15L), 2.0L);
  EXPECT_EQ(roundHalfEven(3.5L - 1e-15L), 3.0L);
  // The rounding ignores a caller's changed rounding mode.
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(roundHalfEven(2.5L), 2.0L);
  EXPECT_EQ(roundHalfEven(2.2L), 2.0L);
  std::fesetround(FE_TONEAREST);
}

TEST(TicketMath, CashRoundingToFiveForints) {
  // Remainder 1 or 2 down, 3 or 4 up, for positive and negative amounts.
  const std::pair<std::int64_t, std::int64_t> cases[] = {
      {1230, 1230}, {1231, 1230}, {1232, 1230}, {1233, 1235}, {1234, 1235}, {1235, 1235},
      {1236, 1235}, {1237, 1235}, {1238, 1240}, {1239, 1240}, {0, 0},       {2, 0},
      {3, 5},       {-1231, -1230}, {-1232, -1230}, {-1233, -1235}, {-1234, -1235}, {-3, -5}};
  for (auto [in, out] : cases) EXPECT_EQ(cashRound(in), out) << in;
}

TEST(TicketMath, WorkedValuesOfTicketEntry) {
  // Price 10000, tax 15 %, contribution 2 %, deduction 0.
  for (auto mode : {PaymentMode::Transfer, PaymentMode::Cash}) {
    Amounts a = amounts(10000, 15, 2, 0, mode);
    EXPECT_EQ(a.tax, 1500.0L);
    EXPECT_EQ(a.contribution, 170.0L);
    EXPECT_EQ(a.payable, 8330);
  }
  EXPECT_EQ(amounts(1234.5L, 0, 0, 0, PaymentMode::Transfer).payable, 1234);
  EXPECT_EQ(amounts(1234.5L, 0, 0, 0, PaymentMode::Cash).payable, 1235);
  EXPECT_EQ(amounts(1237.5L, 0, 0, 0, PaymentMode::Transfer).payable, 1238);
  EXPECT_EQ(amounts(1237.5L, 0, 0, 0, PaymentMode::Cash).payable, 1240);
}

TEST(TicketMath, DeductionAndUnroundedPrice) {
  Amounts a = amounts(10000.4L, 15, 2, 333, PaymentMode::Transfer);
  EXPECT_EQ(a.price, 10000.4L);  // F_SUMVAR keeps the unrounded price
  // 10000.4 - 1500.06 - 170.0068 - 333 = 7997.3332
  EXPECT_NEAR(static_cast<double>(a.beforeRounding), 7997.3332, 1e-9);
  EXPECT_EQ(a.payable, 7997);
  EXPECT_EQ(amounts(10000.4L, 15, 2, 333, PaymentMode::Cash).payable, 7995);
  // A fractional deduction can make a tie: 1000 - 0.5 -> 999.5 -> 1000 (even).
  EXPECT_EQ(amounts(1000, 0, 0, 0.5L, PaymentMode::Transfer).payable, 1000);
  EXPECT_EQ(amounts(1000, 0, 0, 1.5L, PaymentMode::Transfer).payable, 998);
  // Contribution with a decimal rate.
  Amounts c = amounts(20000, 16, 1.5L, 0, PaymentMode::Transfer);
  EXPECT_EQ(c.tax, 3200.0L);
  EXPECT_EQ(c.contribution, 252.0L);
  EXPECT_EQ(c.payable, 16548);
}

TEST(TicketMath, ContributionBasesOfThePrintedTicket) {
  // far 8000, var 8960, tax 15 %, contribution 2 %, transfer.
  Amounts l = amounts(8960, 15, 2, 0, PaymentMode::Transfer, 8000, "L");
  EXPECT_EQ(l.tax, 1344.0L);
  EXPECT_EQ(l.contribution, 160.0L);
  EXPECT_EQ(l.payable, 7456);
  Amounts o = amounts(8960, 15, 2, 0, PaymentMode::Transfer, 8000, "O");
  EXPECT_NEAR(static_cast<double>(o.contribution), 179.2, 1e-12);
  EXPECT_EQ(o.payable, 7437);
  Amounts other = amounts(8960, 15, 2, 0, PaymentMode::Transfer, 8000, "A");
  EXPECT_NEAR(static_cast<double>(other.contribution), 152.32, 1e-12);
  EXPECT_EQ(other.payable, 7464);
  EXPECT_EQ(amounts(8960, 15, 2, 0, PaymentMode::Cash, 8000).payable, 7465);

  EXPECT_EQ(contributionBaseForLayout("L"), ContributionBase::PurchasePrice);
  EXPECT_EQ(contributionBaseForLayout("Lx"), ContributionBase::PurchasePrice);
  EXPECT_EQ(contributionBaseForLayout("O"), ContributionBase::Price);
  EXPECT_EQ(contributionBaseForLayout("l"), ContributionBase::PriceLessTax);
  EXPECT_EQ(contributionBaseForLayout(""), ContributionBase::PriceLessTax);
  EXPECT_EQ(contributionBaseForLayout("A"), ContributionBase::PriceLessTax);
}

TEST(TicketMath, CancellingDocumentsNegateSymmetrically) {
  // A cancelling document has negated lines and deduction.
  EXPECT_EQ(amounts(-10000, 15, 2, 0, PaymentMode::Transfer).payable, -8330);
  EXPECT_EQ(amounts(-1234.5L, 0, 0, 0, PaymentMode::Transfer).payable, -1234);
  EXPECT_EQ(amounts(-1234.5L, 0, 0, 0, PaymentMode::Cash).payable, -1235);
  EXPECT_EQ(amounts(-1237.5L, 0, 0, 0, PaymentMode::Cash).payable, -1240);
  EXPECT_EQ(amounts(-8960, 15, 2, 0, PaymentMode::Cash).payable, -7465);
  EXPECT_EQ(amounts(-10000.4L, 15, 2, -333, PaymentMode::Transfer).payable, -7997);
}

TEST(TicketMath, SumsOfLinesInExtendedPrecision) {
  LineSums s;
  EXPECT_EQ(s.var, 0.0L);
  // No lines: everything is 0.
  auto empty = computeAmounts(s, Rates{15, 2, 0}, PaymentMode::Cash, QString());
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->payable, 0);
  // Ten lines of 0.1 sum to 1 exactly enough for the rounding.
  for (int i = 0; i < 10; ++i) s.add(0.1L, 0, 0.1L);
  EXPECT_NEAR(static_cast<double>(s.var), 1.0, 1e-15);
  s.add(1000, 120, 1120);
  EXPECT_NEAR(static_cast<double>(s.far), 1001.0, 1e-12);
  EXPECT_EQ(s.kfelar, 120.0L);
}

TEST(TicketMath, RefusesAmountsThatCannotBeStored) {
  LineSums s;
  s.add(0, 0, 1e30L);
  EXPECT_FALSE(computeAmounts(s, Rates{}, PaymentMode::Transfer, QString()));
  LineSums n;
  n.add(0, 0, std::numeric_limits<long double>::quiet_NaN());
  EXPECT_FALSE(computeAmounts(n, Rates{}, PaymentMode::Cash, QString()));
  LineSums ok;
  ok.add(0, 0, static_cast<long double>(kMaxStorableAmount));
  EXPECT_TRUE(computeAmounts(ok, Rates{}, PaymentMode::Transfer, QString()));
  LineSums over;
  over.add(0, 0, static_cast<long double>(kMaxStorableAmount) + 1);
  EXPECT_FALSE(computeAmounts(over, Rates{}, PaymentMode::Transfer, QString()));

  EXPECT_EQ(wholeForints(12.5L), 12);
  EXPECT_EQ(wholeForints(-13.5L), -14);
  EXPECT_FALSE(wholeForints(1e20L));
  EXPECT_FALSE(wholeForints(std::numeric_limits<long double>::infinity()));
}

TEST(TicketMath, PaymentDate) {
  const QDate purchase(2025, 3, 1);
  EXPECT_EQ(paymentDate(purchase, PaymentMode::Transfer, 15), QDate(2025, 3, 16));
  EXPECT_EQ(paymentDate(purchase, PaymentMode::Transfer, 0), QDate(2025, 3, 9));
  EXPECT_EQ(paymentDate(purchase, PaymentMode::Transfer, std::nullopt), QDate(2025, 3, 9));
  EXPECT_EQ(paymentDate(purchase, PaymentMode::Cash, 15), purchase);
  // Across a month and a leap day.
  EXPECT_EQ(paymentDate(QDate(2024, 2, 25), PaymentMode::Transfer, 8), QDate(2024, 3, 4));
  EXPECT_EQ(paymentDate(QDate(2025, 12, 28), PaymentMode::Transfer, 30), QDate(2026, 1, 27));
}

TEST(TicketMath, NextSerial) {
  auto r = nextSerial(QString("25000123"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.serial, "25000124");
  EXPECT_EQ(nextSerial(QString(" 20250000 ")).serial, "20250001");
  // No leading zeros in the result.
  EXPECT_EQ(nextSerial(QString("00000009")).serial, "10");
  EXPECT_EQ(nextSerial(QString("99999998")).serial, "99999999");

  EXPECT_EQ(nextSerial(std::nullopt).error, SerialError::Missing);
  EXPECT_EQ(nextSerial(QString("")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("   ")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("2500a123")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("-5")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("+5")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("25 00")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("1234567890123456789012")).error, SerialError::NotANumber);
  EXPECT_EQ(nextSerial(QString("99999999")).error, SerialError::Overflow);
  for (auto e : {SerialError::Missing, SerialError::NotANumber, SerialError::Overflow})
    EXPECT_TRUE(serialErrorMessage(e).contains("Évnyitás"));
}

TEST(TicketMath, NextSerialSkipsSerialsThatHaveAHeader) {
  std::set<QString> headers{"25000124", "25000125"};
  std::set<QString> asked;
  auto has = [&](const QString &s) {
    asked.insert(s);
    return headers.count(s) > 0;
  };
  auto r = nextSerial(QString("25000123"), has);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.serial, "25000126");
  EXPECT_EQ(asked.size(), 3u);
  // Skipping cannot run past the last serial.
  std::set<QString> top{"99999999"};
  auto r2 = nextSerial(QString("99999998"), [&](const QString &s) { return top.count(s) > 0; });
  EXPECT_EQ(r2.error, SerialError::Overflow);
}

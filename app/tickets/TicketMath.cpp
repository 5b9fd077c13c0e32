#include "app/tickets/TicketMath.h"

#include "platform/conv.h"

#include <cmath>
#include <limits>

namespace TicketMath {

ContributionBase contributionBaseForLayout(const QString &layoutLetter) {
  const QString first = layoutLetter.left(1);
  if (first == QLatin1String("L")) return ContributionBase::PurchasePrice;
  if (first == QLatin1String("O")) return ContributionBase::Price;
  return ContributionBase::PriceLessTax;
}

long double roundHalfEven(long double v) { return platform::RoundHalfEven(v); }

std::int64_t cashRound(std::int64_t wholeForints) {
  const long double fifths = static_cast<long double>(wholeForints) / 5.0L;
  return static_cast<std::int64_t>(roundHalfEven(fifths)) * 5;
}

std::optional<std::int64_t> wholeForints(long double v) {
  if (!std::isfinite(v)) return std::nullopt;
  const long double r = roundHalfEven(v);
  // 2^63 is exact in long double; anything at or beyond it does not fit.
  constexpr long double kLimit = 9223372036854775808.0L;
  if (r >= kLimit || r < -kLimit) return std::nullopt;
  return static_cast<std::int64_t>(r);
}

std::optional<Amounts> computeAmounts(const LineSums &sums, const Rates &rates, PaymentMode mode,
                                      const QString &layoutLetter) {
  Amounts a;
  a.price = sums.var;
  a.tax = rates.taxRate * sums.var / 100.0L;
  switch (contributionBaseForLayout(layoutLetter)) {
    case ContributionBase::PurchasePrice:
      a.contribution = rates.contributionRate * sums.far / 100.0L;
      break;
    case ContributionBase::Price:
      a.contribution = rates.contributionRate * sums.var / 100.0L;
      break;
    case ContributionBase::PriceLessTax:
      a.contribution = rates.contributionRate * (sums.var - a.tax) / 100.0L;
      break;
  }
  a.deduction = rates.deduction;
  a.beforeRounding = a.price - a.tax - a.contribution - a.deduction;
  if (!std::isfinite(a.beforeRounding)) return std::nullopt;
  const long double rounded = roundHalfEven(a.beforeRounding);
  if (std::fabs(rounded) > static_cast<long double>(kMaxStorableAmount)) return std::nullopt;
  const auto whole = static_cast<std::int64_t>(rounded);
  a.payable = mode == PaymentMode::Cash ? cashRound(whole) : whole;
  if (a.payable > kMaxStorableAmount || a.payable < -kMaxStorableAmount) return std::nullopt;
  return a;
}

QDate paymentDate(const QDate &purchaseDate, PaymentMode mode, std::optional<int> termDays) {
  if (mode == PaymentMode::Cash) return purchaseDate;
  const int term = termDays.value_or(0) == 0 ? kDefaultPaymentTermDays : *termDays;
  return purchaseDate.addDays(term);
}

namespace {

// Whole decimal number of at most 18 digits after trimming; no sign, no blanks inside.
std::optional<std::int64_t> parseSerial(const QString &text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.size() > 18) return std::nullopt;
  std::int64_t v = 0;
  for (QChar c : t) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    v = v * 10 + (c.unicode() - '0');
  }
  return v;
}

}  // namespace

SerialResult nextSerial(const std::optional<QString> &stored,
                        const std::function<bool(const QString &)> &hasHeader) {
  SerialResult r;
  if (!stored) {
    r.error = SerialError::Missing;
    return r;
  }
  const auto last = parseSerial(*stored);
  if (!last) {
    r.error = SerialError::NotANumber;
    return r;
  }
  std::int64_t next = *last + 1;
  for (;;) {
    if (next > kMaxSerial) {
      r.error = SerialError::Overflow;
      return r;
    }
    const QString text = QString::number(next);
    if (!hasHeader || !hasHeader(text)) {
      r.serial = text;
      return r;
    }
    ++next;
  }
}

QString serialErrorMessage(SerialError error) {
  switch (error) {
    case SerialError::None:
      return {};
    case SerialError::Missing:
      return QStringLiteral(
          "Az átvevőnek nincs bizonylat sorszáma! Az \"Évnyitás\" menüpontban adja meg a kezdő "
          "sorszámot.");
    case SerialError::NotANumber:
      return QStringLiteral(
          "Az átvevő utolsó bizonylat sorszáma nem szám! Az \"Évnyitás\" menüpontban ellenőrizze "
          "a sorszámot.");
    case SerialError::Overflow:
      return QStringLiteral(
          "Elfogytak a bizonylat sorszámok (99999999 felett)! Az \"Évnyitás\" menüpontban "
          "ellenőrizze a sorszámot.");
  }
  return {};
}

}  // namespace TicketMath

#include "db/decimal.h"

#include <cmath>
#include <limits>

namespace db {

namespace {

std::int64_t pow10(int n) {
  std::int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// a * 10^n compared/converted through long double when it might overflow.
__int128 widen(const Decimal &d, int scale) {
  __int128 v = d.units();
  for (int i = d.scale(); i < scale; ++i) v *= 10;
  return v;
}

}  // namespace

Decimal Decimal::fromDouble(double value, int scale) {
  long double scaled = std::round(static_cast<long double>(value) * pow10(scale));
  if (!std::isfinite(static_cast<double>(scaled)) ||
      std::fabs(scaled) > static_cast<long double>(std::numeric_limits<std::int64_t>::max()))
    return Decimal(0, scale);
  return Decimal(static_cast<std::int64_t>(scaled), scale);
}

std::optional<Decimal> Decimal::parse(const QString &text, QChar separator, int scale) {
  QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  bool negative = false;
  int i = 0;
  if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
    negative = t[0] == QLatin1Char('-');
    ++i;
  }
  __int128 units = 0;
  int fraction = -1;  // digits seen after the separator, -1 before it
  bool digits = false;
  for (; i < t.size(); ++i) {
    QChar c = t[i];
    if (c == separator && fraction < 0) {
      fraction = 0;
      continue;
    }
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    digits = true;
    if (fraction >= 0 && ++fraction > scale) return std::nullopt;
    units = units * 10 + (c.unicode() - '0');
    if (units > std::numeric_limits<std::int64_t>::max()) return std::nullopt;
  }
  if (!digits) return std::nullopt;
  for (int f = std::max(fraction, 0); f < scale; ++f) {
    units *= 10;
    if (units > std::numeric_limits<std::int64_t>::max()) return std::nullopt;
  }
  return Decimal(static_cast<std::int64_t>(negative ? -units : units), scale);
}

double Decimal::toDouble() const {
  // Division of the exact integer gives the nearest double for every value
  // with at most 15 significant digits.
  return static_cast<double>(units_) / static_cast<double>(pow10(scale_));
}

QString Decimal::toString(QChar separator, bool trimZeros) const {
  unsigned long long magnitude =
      units_ < 0 ? 0ULL - static_cast<unsigned long long>(units_) : static_cast<unsigned long long>(units_);
  QString digits = QString::number(magnitude);
  if (digits.size() <= scale_) digits = QString(scale_ - digits.size() + 1, QLatin1Char('0')) + digits;
  QString whole = digits.left(digits.size() - scale_);
  QString frac = digits.right(scale_);
  if (trimZeros) {
    while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
  }
  QString out = units_ < 0 ? QStringLiteral("-") : QString();
  out += whole;
  if (!frac.isEmpty()) out += separator + frac;
  return out;
}

Decimal Decimal::rescaled(int scale) const {
  if (scale == scale_) return *this;
  if (scale > scale_) return Decimal(static_cast<std::int64_t>(widen(*this, scale)), scale);
  std::int64_t div = pow10(scale_ - scale);
  std::int64_t q = units_ / div, r = units_ % div;
  if (2 * (r < 0 ? -r : r) >= div) q += units_ < 0 ? -1 : 1;
  return Decimal(q, scale);
}

bool operator==(const Decimal &a, const Decimal &b) {
  int s = std::max(a.scale_, b.scale_);
  return widen(a, s) == widen(b, s);
}

bool operator<(const Decimal &a, const Decimal &b) {
  int s = std::max(a.scale_, b.scale_);
  return widen(a, s) < widen(b, s);
}

}  // namespace db

#pragma once
// An exact decimal as the database's NUMERIC columns hold it: a 64-bit integer
// of units and the number of digits after the decimal point.
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <optional>

namespace db {

class Decimal {
 public:
  Decimal() = default;
  Decimal(std::int64_t units, int scale) : units_(units), scale_(scale) {}

  // The nearest value with the given digits after the point (half away from zero).
  static Decimal fromDouble(double value, int scale = 4);
  // Parses "-1234.5678" or, with separator ',', "-1234,5678"; no thousands
  // separators, no exponent. Too many digits after the point, or a value out
  // of the 64-bit range, gives nothing.
  static std::optional<Decimal> parse(const QString &text, QChar separator = QLatin1Char('.'), int scale = 4);

  std::int64_t units() const { return units_; }
  int scale() const { return scale_; }
  double toDouble() const;
  // All digits of the scale, e.g. "1234.5000"; with trimZeros "1234.5",
  // and a whole value has no separator at all.
  QString toString(QChar separator = QLatin1Char('.'), bool trimZeros = false) const;
  // The same value at another scale (rounded half away from zero when fewer digits).
  Decimal rescaled(int scale) const;

  friend bool operator==(const Decimal &a, const Decimal &b);
  friend bool operator<(const Decimal &a, const Decimal &b);

 private:
  std::int64_t units_ = 0;
  int scale_ = 0;
};

}  // namespace db

Q_DECLARE_METATYPE(db::Decimal)

#include "report/expr/FR_Variant.h"

#include "platform/collation.h"
#include "platform/conv.h"
#include "report/core/FR_Utils.h"

#include <cmath>
#include <limits>

namespace report {

namespace {

bool fitsInt(qint64 v) {
  return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

[[noreturn]] void conversionFails(const Variant &v, const char *to) {
  static const char *const names[] = {"Null", "Integer", "Double", "String", "Boolean", "Date"};
  throw platform::ConvertError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                   .arg(QLatin1String(names[static_cast<int>(v.type())]), QLatin1String(to)));
}

// Kind of an arithmetic operation on two non-null operands.
enum class Kind { Int, Float, Date };

Kind kindOf(const Variant &v) {
  switch (v.type()) {
    case Variant::Type::Integer:
    case Variant::Type::Boolean:
      return Kind::Int;
    case Variant::Type::DateTime:
      return Kind::Date;
    default:
      return Kind::Float;
  }
}

qint64 asInt64(const Variant &v) {
  return v.type() == Variant::Type::Boolean ? (v.boolValue() ? -1 : 0) : v.intValue();
}

const QDate dayZero(1899, 12, 30);

}  // namespace

double frDateValue(const QDate &d) { return d.isValid() ? dayZero.daysTo(d) : 0; }

double frTimeValue(const QTime &t) {
  return t.isValid() ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
}

double frDateTimeValue(const QDateTime &dt) {
  if (!dt.isValid()) return 0;
  // The class library's negative dates keep the time as a positive fraction.
  const double days = frDateValue(dt.date());
  const double time = frTimeValue(dt.time());
  return days < 0 ? days - time : days + time;
}

QDateTime frToDateTime(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 3.0e6)
    throw platform::ConvertError(QStringLiteral("Invalid argument to date encode"));
  const double whole = std::trunc(v);
  double frac = std::fabs(v - whole);
  qint64 ms = static_cast<qint64>(platform::RoundHalfEven(frac * 86400000.0));
  qint64 days = static_cast<qint64>(whole);
  if (ms >= 86400000) {
    ms -= 86400000;
    days += v < 0 ? -1 : 1;
  }
  return QDateTime(dayZero.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

Variant Variant::FromInt64(qint64 v) {
  if (fitsInt(v)) return Variant(static_cast<int>(v));
  return Variant(static_cast<double>(v));
}

QString Variant::toString() const {
  switch (type_) {
    case Type::Null:
      return QString();
    case Type::Integer:
      return QString::number(i_);
    case Type::Float:
      return platform::FloatToStr(f_);
    case Type::String:
      return s_;
    case Type::Boolean:
      return b_ ? QStringLiteral("True") : QStringLiteral("False");
    case Type::DateTime:
      return platform::DateTimeToStr(frToDateTime(f_));
  }
  return QString();
}

double Variant::toFloat() const {
  switch (type_) {
    case Type::Integer:
      return i_;
    case Type::Float:
    case Type::DateTime:
      return f_;
    case Type::Boolean:
      return b_ ? -1 : 0;
    case Type::String:
      return platform::StrToFloat(s_);
    case Type::Null:
      break;
  }
  conversionFails(*this, "Double");
}

qint32 Variant::toInt() const {
  switch (type_) {
    case Type::Integer:
      return i_;
    case Type::Boolean:
      return b_ ? -1 : 0;
    case Type::Null:
      conversionFails(*this, "Integer");
    default:
      break;
  }
  const double f = toFloat();
  if (!std::isfinite(f)) conversionFails(*this, "Integer");
  const double r = platform::RoundHalfEven(f);
  if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
    conversionFails(*this, "Integer");
  return static_cast<qint32>(r);
}

bool Variant::toBool() const {
  switch (type_) {
    case Type::Boolean:
      return b_;
    case Type::Integer:
      return i_ != 0;
    case Type::Float:
    case Type::DateTime:
      return f_ != 0;
    case Type::String:
      if (s_.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
      if (s_.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
      return platform::StrToFloat(s_) != 0;
    case Type::Null:
      break;
  }
  conversionFails(*this, "Boolean");
}

double Variant::toDateTime() const {
  if (type_ == Type::String) return frDateTimeValue(platform::StrToDateTime(s_));
  return toFloat();
}

bool Variant::same(const Variant &o) const {
  if (type_ != o.type_) return false;
  switch (type_) {
    case Type::Null:
      return true;
    case Type::Integer:
      return i_ == o.i_;
    case Type::Float:
    case Type::DateTime:
      return f_ == o.f_;
    case Type::String:
      return s_ == o.s_;
    case Type::Boolean:
      return b_ == o.b_;
  }
  return false;
}

Variant VarAdd(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) return Variant();
  if (a.isString() && b.isString()) return Variant(a.stringValue() + b.stringValue());
  const Kind ka = kindOf(a), kb = kindOf(b);
  if (ka == Kind::Int && kb == Kind::Int) return Variant::FromInt64(asInt64(a) + asInt64(b));
  const double r = a.toFloat() + b.toFloat();
  if ((ka == Kind::Date) != (kb == Kind::Date)) return Variant::DateTime(r);
  return Variant(r);
}

Variant VarSub(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) return Variant();
  const Kind ka = kindOf(a), kb = kindOf(b);
  if (ka == Kind::Int && kb == Kind::Int) return Variant::FromInt64(asInt64(a) - asInt64(b));
  const double r = a.toFloat() - b.toFloat();
  if (ka == Kind::Date && kb != Kind::Date) return Variant::DateTime(r);
  return Variant(r);
}

Variant VarMul(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) return Variant();
  if (kindOf(a) == Kind::Int && kindOf(b) == Kind::Int) {
    qint64 r;
    if (!__builtin_mul_overflow(asInt64(a), asInt64(b), &r)) return Variant::FromInt64(r);
  }
  return Variant(a.toFloat() * b.toFloat());
}

Variant VarDiv(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) return Variant();
  const double d = b.toFloat();
  if (d == 0) throw Exception(QStringLiteral("Division by zero"));
  return Variant(a.toFloat() / d);
}

Variant VarMod(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) return Variant();
  const qint64 x = a.toInt(), y = b.toInt();
  if (y == 0) throw Exception(QStringLiteral("Division by zero"));
  return Variant::FromInt64(x % y);
}

Variant VarNeg(const Variant &a) {
  switch (a.type()) {
    case Variant::Type::Null:
      return Variant();
    case Variant::Type::Integer:
    case Variant::Type::Boolean:
      return Variant::FromInt64(-asInt64(a));
    default:
      return Variant(-a.toFloat());
  }
}

int VarCompare(const Variant &a, const Variant &b) {
  if (a.isNull() || b.isNull()) {
    if (a.isNull() && b.isNull()) return 0;
    return a.isNull() ? -1 : 1;
  }
  if (a.isString() && b.isString()) return platform::CompareStr(a.stringValue(), b.stringValue());
  if (kindOf(a) == Kind::Int && kindOf(b) == Kind::Int) {
    const qint64 x = asInt64(a), y = asInt64(b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  const double x = a.toFloat(), y = b.toFloat();
  return x < y ? -1 : (x > y ? 1 : 0);
}

bool VarEquals(const Variant &a, const Variant &b) { return VarCompare(a, b) == 0; }

}  // namespace report

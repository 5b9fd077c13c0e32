#pragma once
// The engine's value type: Null, integer, real, string, boolean and date-time,
// with the arithmetic, comparison and conversion rules that every part of the
// engine (parser, scripts, functions, formatting) uses. Reals and date-times
// are 64-bit doubles (0.1 + 0.2 differs from 0.3); only the register's ticket
// arithmetic works on extended precision.
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace report {

class Variant {
 public:
  enum class Type : quint8 { Null, Integer, Float, String, Boolean, DateTime };

  Variant() = default;
  Variant(int v) : type_(Type::Integer), i_(v) {}  // NOLINT: implicit like the class library's variants
  Variant(double v) : type_(Type::Float), f_(v) {}  // NOLINT
  // An extended value (a platform conversion's result) is rounded to a double.
  Variant(long double v) : type_(Type::Float), f_(static_cast<double>(v)) {}  // NOLINT
  Variant(bool v) : type_(Type::Boolean), b_(v) {}  // NOLINT
  Variant(const QString &v) : type_(Type::String), s_(v) {}  // NOLINT
  Variant(QString &&v) : type_(Type::String), s_(std::move(v)) {}  // NOLINT
  Variant(const char *v) : type_(Type::String), s_(QString::fromUtf8(v)) {}  // NOLINT
  // A date-time: days since 1899-12-30, the fraction the time of day.
  static Variant DateTime(double v) {
    Variant r;
    r.type_ = Type::DateTime;
    r.f_ = v;
    return r;
  }
  static Variant Null() { return Variant(); }
  // An integer result: 32 bits when it fits, else a real.
  static Variant FromInt64(qint64 v);

  Type type() const { return type_; }
  bool isNull() const { return type_ == Type::Null; }
  bool isString() const { return type_ == Type::String; }
  bool isNumeric() const { return type_ == Type::Integer || type_ == Type::Float || type_ == Type::Boolean || type_ == Type::DateTime; }

  // Conversions. Null gives "" as text and fails as a number; a text that is
  // not a number fails with the platform's conversion error; true is -1.
  QString toString() const;
  double toFloat() const;
  qint32 toInt() const;  // reals rounded half to even; out of range fails
  bool toBool() const;   // non-zero is true; "True"/"False" texts as well
  double toDateTime() const;

  // Raw access for callers that checked the type.
  qint32 intValue() const { return i_; }
  double floatValue() const { return f_; }
  bool boolValue() const { return b_; }
  const QString &stringValue() const { return s_; }

  // Exact equality of type and value (tests, change detection).
  bool same(const Variant &o) const;

 private:
  Type type_ = Type::Null;
  bool b_ = false;
  qint32 i_ = 0;
  double f_ = 0;
  QString s_;
};

// Date-time values as days since 1899-12-30 and back.
double frDateTimeValue(const QDateTime &dt);
double frDateValue(const QDate &d);
double frTimeValue(const QTime &t);
QDateTime frToDateTime(double v);

// Arithmetic. Null in any operand gives Null. "+" joins two texts; otherwise a
// text operand is read as a number. Integer results that leave 32 bits become
// reals. A date-time plus or minus a number stays a date-time.
Variant VarAdd(const Variant &a, const Variant &b);
Variant VarSub(const Variant &a, const Variant &b);
Variant VarMul(const Variant &a, const Variant &b);
Variant VarDiv(const Variant &a, const Variant &b);  // always real; a zero divisor fails
Variant VarMod(const Variant &a, const Variant &b);  // on integers; a zero divisor fails
Variant VarNeg(const Variant &a);

// Comparison: -1, 0, 1. Null equals Null and is below everything else; two
// texts compare under the Hungarian collation (platform::CompareStr: 'a' < 'B',
// 'á' < 'b'); a text against a number is read as a number.
int VarCompare(const Variant &a, const Variant &b);
bool VarEquals(const Variant &a, const Variant &b);
inline bool VarIsZero(const Variant &v) { return VarEquals(v, Variant(0)); }

}  // namespace report

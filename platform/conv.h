#pragma once
// The class library's text <-> number and text <-> date conversions, reading
// the regional settings (platform/format_settings.h). Each takes the settings
// as its last argument, defaulting to the process-wide ones, so a caller that
// needs another decimal separator for one call passes its own copy.
//
// Errors throw ConvertError with the class library's English messages, for
// example "'12.5' is not a valid floating point value".
//
// Floating-point values are long double: 80-bit extended on x86-64 Linux, the
// original's arithmetic. Decimal rounding for display works on the value's
// first 18 significant digits (exactly rounded), then half away from zero at
// the digit asked for, as the class library does: FormatFloat("0.00", 2.675L)
// is "2,68" but the double 2.675 (2.67499999999999982...) gives "2,67".
#include "platform/format_settings.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <stdexcept>
#include <string>

namespace platform {

class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(const QString &message);
  QString message() const { return QString::fromUtf8(what()); }
};

// --- integers ---------------------------------------------------------------

QString IntToStr(qint64 value);
// Leading blanks, a sign and a '$' / "0x" hex prefix are accepted; anything
// after the digits (trailing blanks too) is an error, as is a value out of
// range. Hex takes up to 8 (StrToInt) or 16 (StrToInt64) digits and wraps.
int StrToInt(const QString &text);
qint64 StrToInt64(const QString &text);
int StrToIntDef(const QString &text, int defaultValue);
bool TryStrToInt(const QString &text, int &value);

// --- floating point ---------------------------------------------------------

enum class FloatFormat { General, Exponent, Fixed, Number };

// General format with 15 significant digits: "1234,5", "0,0001", "1,5E-5",
// "1E20"; "NAN", "INF", "-INF" for the special values.
QString FloatToStr(long double value, const FormatSettings &fs = regional());

// General: up to precision digits, trailing zeros removed, exponent form when
//   the value is below 0.00001 or has more than precision integer digits;
//   digits is the exponent's minimum width.
// Exponent: "-d,dddE+dd", precision significant digits, digits = minimum
//   exponent width (0..4).
// Fixed: digits decimals; exponent form when the integer part has more than
//   precision digits. Number: Fixed with thousands separators.
QString FloatToStrF(long double value, FloatFormat format, int precision, int digits,
                    const FormatSettings &fs = regional());

// Leading and trailing blanks, a sign, digits with at most one decimal
// separator (only the settings' one), an optional exponent "E[+-]digits".
// At least one digit; no thousands separators; a result out of range is an
// error.
long double StrToFloat(const QString &text, const FormatSettings &fs = regional());
bool TryStrToFloat(const QString &text, long double &value, const FormatSettings &fs = regional());

// The class library's number masks:
//   0      digit, shown even when it is a leading or trailing zero
//   #      digit, omitted when it would be a leading or trailing zero
//   .      position of the decimal separator (the first one counts)
//   ,      anywhere in the section: thousands separators in the integer part
//   E+ E- e+ e-  exponent form; the zeros after it give the minimum exponent
//          width; "+" always writes the sign, "-" only a negative one
//   "xx" 'xx'  literal text; any other character is copied as it is
//   ;      separates sections: positive;negative;zero. In a negative section
//          the value is written without its sign. An empty section uses the
//          first one; a value that rounds to zero uses the zero section.
// An empty mask or first section, or a value with more than 18 integer digits
// without an exponent in the mask, is written in the general format.
QString FormatFloat(const QString &mask, long double value, const FormatSettings &fs = regional());

// Banker's rounding on the extended value: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
long double RoundHalfEven(long double value);
// The same to a 64-bit integer; throws ConvertError ("Invalid floating point
// operation") when the value is not finite or out of range.
qint64 Round(long double value);
long double Trunc(long double value);
long double Frac(long double value);

// --- dates and times ----------------------------------------------------------

// Pattern letters (case-insensitive unless said otherwise):
//   c        short date, then a blank and the long time unless it is 00:00:00
//   d dd     day;  ddd dddd  short/long day name;  ddddd dddddd  short/long date
//   m mm     month; right after an h or hh (only letters between) minutes
//   mmm mmmm short/long month name
//   yy yyyy  two- or four-digit year
//   h hh n nn s ss z zzz   hour, minute, second, millisecond
//   t tt     short/long time
//   am/pm a/p  12-hour clock with these letters in the mask's case;
//   ampm     12-hour clock with the settings' AM/PM strings
//   /  :     the date / time separator of the settings
//   "xx" 'xx'  literal text; other characters are copied
// An empty pattern means "c". A null date is the class library's day zero,
// 1899.12.30; a null time is midnight.
QString FormatDateTime(const QString &pattern, const QDateTime &value,
                       const FormatSettings &fs = regional());
QString FormatDateTime(const QString &pattern, const QDate &value,
                       const FormatSettings &fs = regional());

QString DateToStr(const QDate &date, const FormatSettings &fs = regional());          // "ddddd"
QString TimeToStr(const QTime &time, const FormatSettings &fs = regional());          // "tt"
QString DateTimeToStr(const QDateTime &value, const FormatSettings &fs = regional());  // "c"

// Numbers in the short date format's order (year, month, day for the
// Hungarian one) split by the date separator, blanks allowed around them, a
// trailing separator allowed: "2025.03.07", "2025.3.7", " 2025. 3. 7.".
// Without the year, the current year. A year of one or two digits is placed
// by the century window. An impossible date ("2025.02.30") is an error.
QDate StrToDate(const QString &text, const FormatSettings &fs = regional());
bool TryStrToDate(const QString &text, QDate &value, const FormatSettings &fs = regional());

// "h", "h:n", "h:n:s" or "h:n:s<decimal separator>ms", with an optional AM/PM
// designator (the settings' strings or "AM"/"PM").
QTime StrToTime(const QString &text, const FormatSettings &fs = regional());
bool TryStrToTime(const QString &text, QTime &value, const FormatSettings &fs = regional());

// A date optionally followed by a time, or a time alone (on day zero).
QDateTime StrToDateTime(const QString &text, const FormatSettings &fs = regional());

}  // namespace platform

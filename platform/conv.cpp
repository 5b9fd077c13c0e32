#include "platform/conv.h"

#include <QHash>

#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace platform {

ConvertError::ConvertError(const QString &message) : std::runtime_error(message.toStdString()) {}

namespace {

[[noreturn]] void fail(const char *pattern, const QString &text) {
  throw ConvertError(QString::fromLatin1(pattern).arg(text));
}

// ---------------------------------------------------------------------------
// Integers

// The class library's integer scan: leading spaces, a sign, '$' / 'x' / "0x"
// for hex, then digits up to the end of the text.
bool scanInteger(const QString &text, int bits, qint64 &out) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  if (hex) {
    quint64 v = 0;
    int count = 0;
    for (; i < n; ++i) {
      const char16_t c = text[i].unicode();
      int d;
      if (c >= u'0' && c <= u'9') d = c - u'0';
      else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
      else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
      else return false;
      if (v == 0 && d == 0) continue;  // leading zeros do not count
      if (++count > bits / 4) return false;
      v = (v << 4) | static_cast<quint64>(d);
    }
    // Hex wraps into the signed range as the class library's does.
    qint64 s = bits == 32 ? static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(v)))
                          : static_cast<qint64>(v);
    out = negative ? static_cast<qint64>(0ull - static_cast<quint64>(s)) : s;
    if (bits == 32) out = static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(out)));
    return true;
  }
  const quint64 limit = bits == 32 ? (negative ? 2147483648ull : 2147483647ull)
                                   : (negative ? 9223372036854775808ull : 9223372036854775807ull);
  quint64 v = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return false;
    const quint64 d = c - u'0';
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  out = negative ? static_cast<qint64>(0ull - v) : static_cast<qint64>(v);
  return true;
}

// ---------------------------------------------------------------------------
// Decimal digits of a floating-point value

struct FloatRec {
  bool negative = false;
  int exponent = 0;    // value = 0.d1 d2 d3 ... * 10^exponent
  std::string digits;  // without trailing zeros; empty for zero
  bool zero() const { return digits.empty(); }
};

constexpr int kMaxDigits = 18;

// The first 18 significant digits, exactly rounded, then rounded half away
// from zero to at most `precision` significant digits and at most `decimals`
// digits after the decimal point. A value that rounds to zero loses its sign.
FloatRec floatToDecimal(long double value, int precision, int decimals) {
  FloatRec r;
  if (value == 0 || !std::isfinite(value)) return r;
  r.negative = std::signbit(value);
  char buf[64];
  // Both conversions give the exact value's digits correctly rounded, so a
  // value a double holds exactly (every report value) takes the double's,
  // several times quicker than the extended one.
  const long double magnitude = std::fabs(value);
  const bool narrows = magnitude <= std::numeric_limits<double>::max() &&
                       static_cast<long double>(static_cast<double>(magnitude)) == magnitude;
  const auto res = narrows ? std::to_chars(buf, buf + sizeof buf, static_cast<double>(magnitude),
                                           std::chars_format::scientific, kMaxDigits - 1)
                           : std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kMaxDigits - 1);
  *res.ptr = '\0';
  // buf: "d.ddddddddddddddddde+XX"
  std::string d;
  d.reserve(kMaxDigits + 1);
  d += buf[0];
  const char *p = buf + 2;
  while (*p >= '0' && *p <= '9') d += *p++;
  const int e10 = std::atoi(p + 1);  // *p == 'e'
  r.exponent = e10 + 1;
  if (precision > kMaxDigits) precision = kMaxDigits;
  int n = precision;
  if (decimals < 9999 && r.exponent + decimals < n) n = r.exponent + decimals;
  if (n < 0) return FloatRec{};
  if (n < static_cast<int>(d.size())) {
    const bool up = d[static_cast<size_t>(n)] >= '5';
    d.resize(static_cast<size_t>(n));
    if (up) {
      int i = n - 1;
      while (i >= 0 && d[static_cast<size_t>(i)] == '9') d[static_cast<size_t>(i--)] = '0';
      if (i < 0) {
        d = "1";
        ++r.exponent;
      } else {
        ++d[static_cast<size_t>(i)];
      }
    }
  }
  while (!d.empty() && d.back() == '0') d.pop_back();
  if (d.empty()) return FloatRec{};
  r.digits = std::move(d);
  return r;
}

QString specialText(long double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

void appendExponent(QString &out, int e, bool alwaysSign, int minDigits) {
  if (e < 0) out += u'-';
  else if (alwaysSign) out += u'+';
  QString num = QString::number(std::abs(e));
  if (num.size() < minDigits) num = QString(minDigits - num.size(), u'0') + num;
  out += num;
}

// Digits in exponent form: "d,ddd" + "E" + exponent.
QString exponentText(const FloatRec &r, int mantissaDigits, bool trimZeros, bool alwaysSign, int expDigits,
                     const FormatSettings &fs) {
  QString out;
  if (r.negative) out += u'-';
  std::string d = r.digits;
  if (!trimZeros && static_cast<int>(d.size()) < mantissaDigits) d.append(static_cast<size_t>(mantissaDigits) - d.size(), '0');
  if (d.empty()) d = "0";
  out += QChar(d[0]);
  if (d.size() > 1) {
    out += fs.decimalSeparator;
    out += QString::fromLatin1(d.data() + 1, static_cast<qsizetype>(d.size() - 1));
  }
  out += u'E';
  appendExponent(out, r.zero() ? 0 : r.exponent - 1, alwaysSign, expDigits);
  return out;
}

void appendGrouped(QString &out, const std::string &intDigits, bool group, QChar sep) {
  const int len = static_cast<int>(intDigits.size());
  for (int i = 0; i < len; ++i) {
    out += QChar(intDigits[static_cast<size_t>(i)]);
    const int k = len - i;  // position from the right, 1-based
    if (group && k > 1 && (k - 1) % 3 == 0) out += sep;
  }
}

// Integer and fraction digits of a rounded value.
void splitDigits(const FloatRec &r, std::string &intPart, std::string &fracPart) {
  intPart.clear();
  fracPart.clear();
  if (r.zero()) return;
  const int len = static_cast<int>(r.digits.size());
  if (r.exponent <= 0) {
    fracPart.assign(static_cast<size_t>(-r.exponent), '0');
    fracPart += r.digits;
  } else if (r.exponent >= len) {
    intPart = r.digits;
    intPart.append(static_cast<size_t>(r.exponent - len), '0');
  } else {
    intPart = r.digits.substr(0, static_cast<size_t>(r.exponent));
    fracPart = r.digits.substr(static_cast<size_t>(r.exponent));
  }
}

QString fixedText(const FloatRec &r, int digits, bool group, const FormatSettings &fs) {
  std::string ip, fp;
  splitDigits(r, ip, fp);
  QString out;
  if (r.negative) out += u'-';
  if (ip.empty()) out += u'0';
  else appendGrouped(out, ip, group, fs.thousandSeparator);
  if (digits > 0) {
    out += fs.decimalSeparator;
    fp.resize(static_cast<size_t>(digits), '0');
    out += QString::fromLatin1(fp.data(), static_cast<qsizetype>(fp.size()));
  }
  return out;
}

QString generalText(long double value, int precision, int expDigits, const FormatSettings &fs) {
  if (!std::isfinite(value)) return specialText(value);
  const FloatRec r = floatToDecimal(value, precision, 9999);
  if (r.zero()) return QStringLiteral("0");
  if (r.exponent > precision || r.exponent < -3) return exponentText(r, 0, true, false, expDigits, fs);
  std::string ip, fp;
  splitDigits(r, ip, fp);
  QString out;
  if (r.negative) out += u'-';
  out += ip.empty() ? QStringLiteral("0") : QString::fromLatin1(ip.data(), static_cast<qsizetype>(ip.size()));
  if (!fp.empty()) {
    out += fs.decimalSeparator;
    out += QString::fromLatin1(fp.data(), static_cast<qsizetype>(fp.size()));
  }
  return out;
}

// ---------------------------------------------------------------------------
// FormatFloat

// Splits a mask at ';' outside quotes.
QStringList maskSections(const QString &mask) {
  QStringList out;
  QString cur;
  QChar quote;
  for (QChar c : mask) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';') {
      out << cur;
      cur.clear();
      continue;
    }
    cur += c;
  }
  out << cur;
  return out;
}

struct SectionInfo {
  int digitCount = 0;    // '0' and '#' placeholders before any exponent
  int decimalIndex = -1; // placeholders before the decimal point
  int firstZero = -1;    // index of the first '0' placeholder
  int lastZero = -1;     // index of the last '0' placeholder
  bool thousands = false;
  bool scientific = false;
};

SectionInfo scanSection(const QString &s) {
  SectionInfo info;
  const qsizetype n = s.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = s[i];
    if (c == u'#') {
      ++info.digitCount;
    } else if (c == u'0') {
      if (info.firstZero < 0) info.firstZero = info.digitCount;
      info.lastZero = info.digitCount;
      ++info.digitCount;
    } else if (c == u'.') {
      if (info.decimalIndex < 0) info.decimalIndex = info.digitCount;
    } else if (c == u',') {
      info.thousands = true;
    } else if ((c == u'e' || c == u'E') && i + 1 < n && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
      info.scientific = true;
      ++i;
      while (i + 1 < n && s[i + 1] == u'0') ++i;
    } else if (c == u'"' || c == u'\'') {
      ++i;
      while (i < n && s[i] != c) ++i;
    }
  }
  if (info.decimalIndex < 0) info.decimalIndex = info.digitCount;
  return info;
}

QString applySection(const QString &s, const SectionInfo &info, const FloatRec &r, bool writeSign,
                     const FormatSettings &fs) {
  std::string ip, fp;
  int shownExponent = 0;
  if (info.scientific) {
    if (r.zero()) {
      if (info.decimalIndex > 0) ip = "0";  // zero still shows one mantissa digit
    } else {
      const int len = static_cast<int>(r.digits.size());
      const int di = info.decimalIndex;
      if (len <= di) {
        ip = r.digits;
        ip.append(static_cast<size_t>(di - len), '0');
      } else {
        ip = r.digits.substr(0, static_cast<size_t>(di));
        fp = r.digits.substr(static_cast<size_t>(di));
      }
      shownExponent = r.exponent - di;
    }
  } else {
    splitDigits(r, ip, fp);
  }
  // Leading zeros are shown from the first '0' placeholder of the integer
  // part; trailing zeros up to the last '0' placeholder of the fraction.
  const int zeroIntPositions = info.firstZero >= 0 && info.firstZero < info.decimalIndex
                                   ? info.decimalIndex - info.firstZero : 0;
  const int zeroFracPositions = info.lastZero >= info.decimalIndex ? info.lastZero + 1 - info.decimalIndex : 0;
  const int intLen = static_cast<int>(ip.size());
  const int fracLen = static_cast<int>(fp.size());

  QString out;
  if (writeSign && r.negative) out += u'-';
  bool decimalWritten = false;
  int place = 0;  // index of the next placeholder
  auto intDigit = [&](int k) {  // k: position from the point, 1-based
    char d;
    if (k <= intLen) d = ip[static_cast<size_t>(intLen - k)];
    else if (k <= zeroIntPositions) d = '0';
    else return;
    out += QChar(d);
    if (info.thousands && k > 1 && (k - 1) % 3 == 0) out += fs.thousandSeparator;
  };
  const qsizetype n = s.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = s[i];
    if (c == u'0' || c == u'#') {
      if (place == 0) {
        // Integer digits beyond the mask's placeholders go in front.
        for (int k = intLen; k > info.decimalIndex; --k) intDigit(k);
      }
      if (place < info.decimalIndex) {
        intDigit(info.decimalIndex - place);
      } else {
        const int j = place - info.decimalIndex + 1;
        if (j <= fracLen || j <= zeroFracPositions) {
          if (!decimalWritten) {
            out += fs.decimalSeparator;
            decimalWritten = true;
          }
          out += j <= fracLen ? QChar(fp[static_cast<size_t>(j - 1)]) : QChar(u'0');
        }
      }
      ++place;
    } else if (c == u'.' || c == u',') {
      // positions only
    } else if ((c == u'e' || c == u'E') && i + 1 < n && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
      out += c;
      const bool alwaysSign = s[i + 1] == u'+';
      ++i;
      int width = 0;
      while (i + 1 < n && s[i + 1] == u'0') {
        ++i;
        ++width;
      }
      appendExponent(out, shownExponent, alwaysSign, std::min(width, 4));
    } else if (c == u'"' || c == u'\'') {
      ++i;
      while (i < n && s[i] != c) out += s[i++];
    } else {
      out += c;
    }
  }
  if (place == 0) {
    // A mask without placeholders still shows nothing of the value but the sign.
  }
  return out;
}

// ---------------------------------------------------------------------------
// Dates and times

QDate dayZero() { return QDate(1899, 12, 30); }

// v's digits, at least width of them, written onto out (a date's parts are
// written this way for every date a list prints).
void appendNumber(QString &out, int v, int width) {
  if (v < 0) {
    QString s = QString::number(v);
    if (s.size() < width) s.prepend(QString(width - s.size(), u'0'));
    out += s;
    return;
  }
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0);
  for (int i = n; i < width; ++i) out += u'0';
  while (n > 0) out += QLatin1Char(digits[--n]);
}

bool startsWithCI(const QString &s, qsizetype pos, const char *what) {
  const QLatin1String w(what);
  return s.mid(pos, w.size()).compare(w, Qt::CaseInsensitive) == 0;
}

void appendDateTime(QString &out, const QString &fmt, const QDate &date, const QTime &time,
                    const FormatSettings &fs, int level) {
  if (fmt.isEmpty() || level >= 2) return;
  int year = 0, month = 0, day = 0;
  date.getDate(&year, &month, &day);  // one calendar conversion for the three
  const int hour = time.hour(), minute = time.minute(), second = time.second(), msec = time.msec();
  const int weekday = date.dayOfWeek() % 7;  // 0 = Sunday
  bool use12 = false;
  QChar lastToken = u' ';
  const qsizetype n = fmt.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar starter = fmt[i];
    QChar token = starter.unicode() < 128 ? starter.toUpper() : starter;
    if (token.unicode() >= 'A' && token.unicode() <= 'Z') {
      if (token == u'M' && lastToken == u'H') token = u'N';
      lastToken = token;
    }
    ++i;
    auto getCount = [&]() {
      int count = 1;
      while (i < n && fmt[i] == starter) {
        ++i;
        ++count;
      }
      return count;
    };
    switch (token.unicode()) {
      case 'Y': {
        const int count = getCount();
        if (count <= 2) appendNumber(out, year % 100, 2);
        else appendNumber(out, year, 4);
        break;
      }
      case 'M': {
        const int count = getCount();
        if (count <= 2) appendNumber(out, month, count);
        else if (count == 3) out += fs.shortMonthNames[static_cast<size_t>(month - 1)];
        else out += fs.longMonthNames[static_cast<size_t>(month - 1)];
        break;
      }
      case 'D': {
        const int count = getCount();
        switch (count) {
          case 1:
          case 2: appendNumber(out, day, count); break;
          case 3: out += fs.shortDayNames[static_cast<size_t>(weekday)]; break;
          case 4: out += fs.longDayNames[static_cast<size_t>(weekday)]; break;
          case 5: appendDateTime(out, fs.shortDateFormat, date, time, fs, level + 1); break;
          default: appendDateTime(out, fs.longDateFormat, date, time, fs, level + 1); break;
        }
        break;
      }
      case 'H': {
        int count = getCount();
        // A 12-hour designator later in the mask (before the next hour)
        // switches to the 12-hour clock.
        bool quoted = false;
        for (qsizetype p = i; p < n; ++p) {
          const QChar c = fmt[p];
          if (!quoted && (c == u'a' || c == u'A')) {
            if (startsWithCI(fmt, p, "AM/PM") || startsWithCI(fmt, p, "A/P") || startsWithCI(fmt, p, "AMPM"))
              use12 = true;
            break;
          }
          if (!quoted && (c == u'h' || c == u'H')) break;
          if (c == u'\'' || c == u'"') quoted = !quoted;
        }
        int h = hour;
        if (use12) {
          if (h == 0) h = 12;
          else if (h > 12) h -= 12;
        }
        appendNumber(out, h, std::min(count, 2));
        break;
      }
      case 'N': appendNumber(out, minute, std::min(getCount(), 2)); break;
      case 'S': appendNumber(out, second, std::min(getCount(), 2)); break;
      case 'Z': appendNumber(out, msec, std::min(getCount(), 3)); break;
      case 'T': {
        const int count = getCount();
        appendDateTime(out, count == 1 ? fs.shortTimeFormat : fs.longTimeFormat, date, time, fs, level + 1);
        break;
      }
      case 'A': {
        const qsizetype p = i - 1;
        if (startsWithCI(fmt, p, "AM/PM")) {
          out += fmt.mid(hour >= 12 ? p + 3 : p, 2);
          i = p + 5;
          use12 = true;
        } else if (startsWithCI(fmt, p, "A/P")) {
          out += fmt[hour >= 12 ? p + 2 : p];
          i = p + 3;
          use12 = true;
        } else if (startsWithCI(fmt, p, "AMPM")) {
          out += hour < 12 ? fs.timeAMString : fs.timePMString;
          i = p + 4;
          use12 = true;
        } else if (startsWithCI(fmt, p, "AAAA")) {
          out += fs.longDayNames[static_cast<size_t>(weekday)];
          i = p + 4;
        } else if (startsWithCI(fmt, p, "AAA")) {
          out += fs.shortDayNames[static_cast<size_t>(weekday)];
          i = p + 3;
        } else {
          out += starter;
        }
        break;
      }
      case 'C': {
        getCount();
        appendDateTime(out, fs.shortDateFormat, date, time, fs, level + 1);
        if (hour != 0 || minute != 0 || second != 0) {
          out += u' ';
          appendDateTime(out, fs.longTimeFormat, date, time, fs, level + 1);
        }
        break;
      }
      case '/':
        if (!fs.dateSeparator.isNull()) out += fs.dateSeparator;
        break;
      case ':':
        if (!fs.timeSeparator.isNull()) out += fs.timeSeparator;
        break;
      case '\'':
      case '"': {
        const qsizetype start = i;
        while (i < n && fmt[i] != starter) ++i;
        out += fmt.mid(start, i - start);
        if (i < n) ++i;
        break;
      }
      default: out += starter; break;
    }
  }
}

// The class library's date and time scanners: blanks are spaces only.
struct Scanner {
  const QString &s;
  qsizetype pos = 0;

  void blanks() {
    while (pos < s.size() && s[pos] == u' ') ++pos;
  }
  bool atEnd() const { return pos >= s.size(); }
  bool number(int &value, int &length) {
    blanks();
    qsizetype i = pos;
    int v = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && v < 1000) {
      v = v * 10 + (s[i].unicode() - u'0');
      ++i;
    }
    if (i == pos) return false;
    length = static_cast<int>(i - pos);
    pos = i;
    value = v;
    return true;
  }
  bool ch(QChar c) {
    blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool string(const QString &what) {
    if (what.isEmpty()) return false;
    blanks();
    if (s.mid(pos, what.size()).compare(what, Qt::CaseInsensitive) == 0) {
      pos += what.size();
      return true;
    }
    return false;
  }
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(const QString &shortDateFormat) {
  for (QChar c : shortDateFormat) {
    switch (c.toUpper().unicode()) {
      case 'Y': return DateOrder::YMD;
      case 'M': return DateOrder::MDY;
      case 'D': return DateOrder::DMY;
      default: break;
    }
  }
  return DateOrder::MDY;
}

bool scanDate(Scanner &sc, QDate &out, const FormatSettings &fs) {
  const DateOrder order = dateOrder(fs.shortDateFormat);
  int n1, n2, n3, l1, l2, l3;
  int y, m, d;
  if (!(sc.number(n1, l1) && sc.ch(fs.dateSeparator) && sc.number(n2, l2))) return false;
  if (sc.ch(fs.dateSeparator)) {
    if (!sc.number(n3, l3)) return false;
    int yearLength;
    switch (order) {
      case DateOrder::MDY: y = n3; yearLength = l3; m = n1; d = n2; break;
      case DateOrder::DMY: y = n3; yearLength = l3; d = n1; m = n2; break;
      default: y = n1; yearLength = l1; m = n2; d = n3; break;
    }
    if (yearLength <= 2) {
      const int base = QDate::currentDate().year() - fs.twoDigitYearCenturyWindow;
      y += base / 100 * 100;
      if (fs.twoDigitYearCenturyWindow > 0 && y < base) y += 100;
    }
  } else {
    y = QDate::currentDate().year();
    if (order == DateOrder::DMY) {
      d = n1;
      m = n2;
    } else {
      m = n1;
      d = n2;
    }
  }
  sc.ch(fs.dateSeparator);
  sc.blanks();
  if (y < 1 || y > 9999 || !QDate::isValid(y, m, d)) return false;
  out = QDate(y, m, d);
  return true;
}

bool scanTime(Scanner &sc, QTime &out, const FormatSettings &fs) {
  int base = -1;
  if (sc.string(fs.timeAMString) || sc.string(QStringLiteral("AM"))) base = 0;
  else if (sc.string(fs.timePMString) || sc.string(QStringLiteral("PM"))) base = 12;
  if (base >= 0) sc.blanks();
  int hour, minute = 0, second = 0, msec = 0, len;
  if (!sc.number(hour, len)) return false;
  if (sc.ch(fs.timeSeparator)) {
    if (!sc.number(minute, len)) return false;
    if (sc.ch(fs.timeSeparator)) {
      if (!sc.number(second, len)) return false;
      if (sc.ch(fs.decimalSeparator) && !sc.number(msec, len)) return false;
    }
  }
  if (base < 0) {
    if (sc.string(fs.timeAMString) || sc.string(QStringLiteral("AM"))) base = 0;
    else if (sc.string(fs.timePMString) || sc.string(QStringLiteral("PM"))) base = 12;
  }
  if (base >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += base;
  }
  sc.blanks();
  if (hour > 23 || minute > 59 || second > 59 || msec > 999) return false;
  out = QTime(hour, minute, second, msec);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

QString IntToStr(qint64 value) { return QString::number(value); }

int StrToInt(const QString &text) {
  qint64 v;
  if (!scanInteger(text, 32, v)) fail("'%1' is not a valid integer value", text);
  return static_cast<int>(v);
}

qint64 StrToInt64(const QString &text) {
  qint64 v;
  if (!scanInteger(text, 64, v)) fail("'%1' is not a valid integer value", text);
  return v;
}

int StrToIntDef(const QString &text, int defaultValue) {
  qint64 v;
  return scanInteger(text, 32, v) ? static_cast<int>(v) : defaultValue;
}

bool TryStrToInt(const QString &text, int &value) {
  qint64 v;
  if (!scanInteger(text, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

QString FloatToStr(long double value, const FormatSettings &fs) { return generalText(value, 15, 0, fs); }

QString FloatToStrF(long double value, FloatFormat format, int precision, int digits, const FormatSettings &fs) {
  if (!std::isfinite(value)) return specialText(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  switch (format) {
    case FloatFormat::General:
      return generalText(value, precision, std::clamp(digits, 0, 4), fs);
    case FloatFormat::Exponent:
      return exponentText(floatToDecimal(value, precision, 9999), precision, false, true, std::clamp(digits, 0, 4),
                          fs);
    case FloatFormat::Fixed:
    case FloatFormat::Number: {
      digits = std::clamp(digits, 0, kMaxDigits);
      const FloatRec r = floatToDecimal(value, kMaxDigits, digits);
      if (r.exponent > precision) return generalText(value, precision, 0, fs);
      return fixedText(r, digits, format == FloatFormat::Number, fs);
    }
  }
  return {};
}

bool TryStrToFloat(const QString &text, long double &value, const FormatSettings &fs) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  std::string c;
  c.reserve(static_cast<size_t>(n) + 2);
  if (i < n && (text[i] == u'+' || text[i] == u'-')) c += static_cast<char>(text[i++].unicode());
  int mantissaDigits = 0;
  bool point = false;
  for (; i < n; ++i) {
    const QChar ch = text[i];
    if (ch >= u'0' && ch <= u'9') {
      c += static_cast<char>(ch.unicode());
      ++mantissaDigits;
    } else if (ch == fs.decimalSeparator && !point) {
      c += '.';
      point = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    c += 'e';
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) c += static_cast<char>(text[i++].unicode());
    int expDigits = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      c += static_cast<char>(text[i].unicode());
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  while (i < n && text[i] == u' ') ++i;
  if (i != n) return false;
  // Parse in the C locale whatever the process locale says.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  errno = 0;
  char *end = nullptr;
  const long double v = strtold_l(c.c_str(), &end, cLocale);
  if (end != c.c_str() + c.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

long double StrToFloat(const QString &text, const FormatSettings &fs) {
  long double v;
  if (!TryStrToFloat(text, v, fs)) fail("'%1' is not a valid floating point value", text);
  return v;
}

namespace {

// A mask split into its sections, each scanned: a report formats every cell
// of a column with the same few masks, so each is parsed once per thread.
struct ParsedMask {
  QStringList sections;
  std::array<SectionInfo, 3> info;
};

const ParsedMask &parsedMask(const QString &mask) {
  thread_local QHash<QString, ParsedMask> cache;
  const auto found = cache.constFind(mask);
  if (found != cache.constEnd()) return *found;
  if (cache.size() >= 64) cache.clear();  // masks built from values do not pile up
  ParsedMask p;
  p.sections = maskSections(mask);
  for (qsizetype i = 0; i < std::min<qsizetype>(3, p.sections.size()); ++i)
    p.info[static_cast<size_t>(i)] = scanSection(p.sections[i]);
  return *cache.insert(mask, std::move(p));
}

}  // namespace

QString FormatFloat(const QString &mask, long double value, const FormatSettings &fs) {
  if (!std::isfinite(value)) return specialText(value);
  const ParsedMask &parsed = parsedMask(mask);
  const QStringList &sections = parsed.sections;
  if (sections[0].isEmpty()) return generalText(value, 15, 0, fs);
  auto pick = [&](int index) -> int {
    return index < sections.size() && !sections[index].isEmpty() ? index : 0;
  };
  int section = pick(value > 0 ? 0 : value < 0 ? 1 : 2);
  auto round = [&](const SectionInfo &info) {
    return info.scientific ? floatToDecimal(value, std::max(1, info.digitCount), 9999)
                           : floatToDecimal(value, kMaxDigits, info.digitCount - info.decimalIndex);
  };
  const SectionInfo *info = &parsed.info[static_cast<size_t>(section)];
  FloatRec r = round(*info);
  if (!info->scientific && r.exponent > kMaxDigits) return generalText(value, 15, 0, fs);
  if (r.zero() && section != 2 && pick(2) == 2) {
    section = 2;
    info = &parsed.info[2];
    r = FloatRec{};
  }
  return applySection(sections[section], *info, r, section == 0, fs);
}

long double RoundHalfEven(long double value) {
  // Exact steps only, so the caller's rounding mode plays no part (a
  // compiler may move a rounding of nearbyint() across fesetround()).
  const long double whole = std::floor(value);
  const long double fraction = value - whole;  // exact: within value's bits
  if (fraction < 0.5L) return whole;
  if (fraction > 0.5L) return whole + 1;
  return std::fmod(whole, 2.0L) == 0 ? whole : whole + 1;
}

qint64 Round(long double value) {
  const long double r = RoundHalfEven(value);
  // 2^63 is exact in extended precision.
  constexpr long double limit = 9223372036854775808.0L;
  if (!std::isfinite(r) || r >= limit || r < -limit) throw ConvertError(QStringLiteral("Invalid floating point operation"));
  return static_cast<qint64>(r);
}

long double Trunc(long double value) { return std::trunc(value); }

long double Frac(long double value) { return value - std::trunc(value); }

QString FormatDateTime(const QString &pattern, const QDateTime &value, const FormatSettings &fs) {
  const QDate date = value.date().isValid() ? value.date() : dayZero();
  const QTime time = value.time().isValid() ? value.time() : QTime(0, 0);
  QString out;
  appendDateTime(out, pattern.isEmpty() ? QStringLiteral("c") : pattern, date, time, fs, 0);
  return out;
}

QString FormatDateTime(const QString &pattern, const QDate &value, const FormatSettings &fs) {
  // Straight from the date: a local QDateTime would consult the time zone
  // (a file read by the C library) for every date written.
  QString out;
  appendDateTime(out, pattern.isEmpty() ? QStringLiteral("c") : pattern, value.isValid() ? value : dayZero(),
                 QTime(0, 0), fs, 0);
  return out;
}

QString DateToStr(const QDate &date, const FormatSettings &fs) {
  return FormatDateTime(QStringLiteral("ddddd"), date, fs);
}

QString TimeToStr(const QTime &time, const FormatSettings &fs) {
  return FormatDateTime(QStringLiteral("tt"), QDateTime(dayZero(), time.isValid() ? time : QTime(0, 0)), fs);
}

QString DateTimeToStr(const QDateTime &value, const FormatSettings &fs) {
  return FormatDateTime(QStringLiteral("c"), value, fs);
}

bool TryStrToDate(const QString &text, QDate &value, const FormatSettings &fs) {
  Scanner sc{text};
  QDate d;
  if (!scanDate(sc, d, fs) || !sc.atEnd()) return false;
  value = d;
  return true;
}

QDate StrToDate(const QString &text, const FormatSettings &fs) {
  QDate d;
  if (!TryStrToDate(text, d, fs)) fail("'%1' is not a valid date", text);
  return d;
}

bool TryStrToTime(const QString &text, QTime &value, const FormatSettings &fs) {
  Scanner sc{text};
  QTime t;
  if (!scanTime(sc, t, fs) || !sc.atEnd()) return false;
  value = t;
  return true;
}

QTime StrToTime(const QString &text, const FormatSettings &fs) {
  QTime t;
  if (!TryStrToTime(text, t, fs)) fail("'%1' is not a valid time", text);
  return t;
}

QDateTime StrToDateTime(const QString &text, const FormatSettings &fs) {
  Scanner sc{text};
  QDate d;
  QTime t(0, 0);
  if (scanDate(sc, d, fs) && (sc.atEnd() || (scanTime(sc, t, fs) && sc.atEnd()))) return QDateTime(d, t);
  if (TryStrToTime(text, t, fs)) return QDateTime(dayZero(), t);
  fail("'%1' is not a valid date and time", text);
}

}  // namespace platform

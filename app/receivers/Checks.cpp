#include "app/receivers/Checks.h"

#include <array>

namespace checks {
namespace {

// The decimal value of an ASCII digit, or -1 for anything else (accented
// digits and other scripts' digits included).
int digitAt(const QString &text, qsizetype index) {
  if (index >= text.size()) return -1;
  const char16_t ch = text.at(index).unicode();
  if (ch < u'0' || ch > u'9') return -1;
  return ch - u'0';
}

bool isAsciiLetter(QChar ch) {
  const char16_t c = ch.unicode();
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool allDigits(const QString &text, qsizetype from) {
  for (qsizetype i = from; i < text.size(); ++i)
    if (digitAt(text, i) < 0) return false;
  return true;
}

// Reads `count` digits from the start; false when any is not a digit.
template <size_t N>
bool readDigits(const QString &text, std::array<int, N> &digits) {
  for (size_t i = 0; i < N; ++i) {
    digits[i] = digitAt(text, static_cast<qsizetype>(i));
    if (digits[i] < 0) return false;
  }
  return true;
}

}  // namespace

QString trimText(const QString &text) {
  qsizetype b = 0, e = text.size();
  while (b < e && text.at(b).unicode() <= u' ') ++b;
  while (e > b && text.at(e - 1).unicode() <= u' ') --e;
  return text.mid(b, e - b);
}

QString trimRight(const QString &text) {
  qsizetype e = text.size();
  while (e > 0 && text.at(e - 1).unicode() <= u' ') --e;
  return text.left(e);
}

bool adoazonValid(const QString &text) {
  std::array<int, 10> d{};
  if (!readDigits(text, d)) return false;
  int s = 0;
  for (int i = 0; i < 9; ++i) s += d[i] * (i + 1);
  return s % 11 == d[9];  // a remainder of 10 never matches
}

bool adoszamValid(const QString &text) {
  static constexpr std::array<int, 7> kWeights{9, 7, 3, 1, 9, 7, 3};
  std::array<int, 8> d{};
  if (!readDigits(text, d)) return false;
  int s = 0;
  for (int i = 0; i < 7; ++i) s += d[i] * kWeights[i];
  const int u = s % 10;
  return (10 - u) % 10 == d[7];
}

bool tajValid(const QString &text) {
  std::array<int, 9> d{};
  if (!readDigits(text, d)) return false;
  int s = 0;
  for (int i = 0; i < 8; ++i) s += d[i] * (i % 2 == 0 ? 3 : 7);
  return s % 10 == d[8];
}

bool felirValid(const QString &text) {
  if (text.size() != 9) return false;
  return isAsciiLetter(text.at(0)) && isAsciiLetter(text.at(1)) && allDigits(text, 2);
}

bool ocsgValid(const QString &text) {
  if (text.size() != 13) return false;
  const QString prefix = text.left(5);
  if (prefix != QLatin1String("OCSG-") && prefix != QLatin1String("ocsg-")) return false;
  return allDigits(text, 5);
}

bool nebihValid(const QString &text) {
  if (text.size() != 15) return false;
  const QString prefix = text.left(5);
  if (prefix != QLatin1String("NEBIH") && prefix != QLatin1String("nebih")) return false;
  return allDigits(text, 5);
}

NameParts splitName(const QString &name) {
  NameParts parts{QStringLiteral(" "), QStringLiteral(" ")};
  qsizetype last = 0;  // characters up to and including the last blank
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (name.at(i) == QLatin1Char(' ')) {
      last = i + 1;
      parts.elotag = name.left(last);
    }
  }
  parts.utotag = name.mid(last);
  return parts;
}

QString joinAddress(const QStringList &parts) {
  QStringList given;
  for (const QString &p : parts)
    if (const QString t = trimText(p); !t.isEmpty()) given.append(t);
  return given.join(QLatin1Char(' '));
}

QString xmlDate(const QString &date) {
  return date.mid(0, 4) + QLatin1Char('-') + date.mid(5, 2) + QLatin1Char('-') + date.mid(8, 2);
}

}  // namespace checks

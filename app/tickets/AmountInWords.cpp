#include "app/tickets/AmountInWords.h"

#include <array>

namespace {

// Digit -> word, index 0 unused.
const std::array<const char *, 10> kOnes = {"",      "egy", "kettö", "három",  "négy",
                                            "öt",    "hat", "hét",   "nyolc",  "kilenc"};
const std::array<const char *, 10> kTens = {"",       "tizen",   "huszon",   "harminc",  "negyven",
                                            "ötven",  "hatvan",  "hetven",   "nyolcvan", "kilencven"};
// Suffix by the number of three-digit groups still to be written, the
// current one included.
const std::array<const char *, 8> kGroups = {"",          " ",         "ezer-",     "millió-",
                                             "milliárd-", "billió-",   "billiárd-", "trillió-"};

int digit(QChar c) { return c.unicode() - '0'; }

}  // namespace

QString SpellThreeDigits(const QString &s) {
  if (s.size() != 3) return QString();
  for (QChar c : s)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return QString();
  const int h = digit(s[0]), t = digit(s[1]), u = digit(s[2]);
  QString result;
  if (h > 1) result = QString::fromUtf8(kOnes[h]);
  if (h > 0) result += QStringLiteral("száz");
  if (t == 1 && u == 0) return result + QStringLiteral("tíz");
  if (t == 2 && u == 0) return result + QStringLiteral("húsz");
  if (t > 0) result += QString::fromUtf8(kTens[t]);
  if (u > 0) result += QString::fromUtf8(kOnes[u]);
  return result;
}

QString AmountInWords(std::int64_t n) {
  if (n == 0) return QStringLiteral("nulla");
  QString result = n < 0 ? QStringLiteral("mínusz ") : QString();
  // The magnitude as unsigned: -2^63 has no positive 64-bit counterpart.
  const std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  QString digits = QString::number(magnitude);
  while (digits.size() % 3 != 0) digits.prepend(QLatin1Char('0'));
  while (!digits.isEmpty()) {
    const QString group = digits.left(3);
    if (group != QLatin1String("000"))
      result += SpellThreeDigits(group) + QString::fromUtf8(kGroups[digits.size() / 3]);
    digits.remove(0, 3);
  }
  return result;
}

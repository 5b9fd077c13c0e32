// Amounts in Hungarian words: the joins of tens and units, the hundreds, the
// group suffixes, negative amounts and the 64-bit extremes.
#include "app/tickets/AmountInWords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "support/qt_print.h"

namespace {

TEST(AmountInWords, WordJoiningBoundaries) {
  const std::vector<std::pair<std::int64_t, const char *>> table = {
      {0, "nulla"},
      {1, "egy "},
      {2, "kettö "},
      {5, "öt "},
      {10, "tíz "},
      {11, "tizenegy "},
      {12, "tizenkettö "},
      {19, "tizenkilenc "},
      {20, "húsz "},
      {21, "huszonegy "},
      {29, "huszonkilenc "},
      {30, "harminc "},
      {40, "negyven "},
      {99, "kilencvenkilenc "},
      {100, "száz "},
      {101, "százegy "},
      {110, "száztíz "},
      {111, "száztizenegy "},
      {120, "százhúsz "},
      {200, "kettöszáz "},
      {999, "kilencszázkilencvenkilenc "},
      {1000, "egyezer-"},
      {1001, "egyezer-egy "},
      {1010, "egyezer-tíz "},
      {1234, "egyezer-kettöszázharmincnégy "},
      {1999, "egyezer-kilencszázkilencvenkilenc "},
      {2000, "kettöezer-"},
      {2001, "kettöezer-egy "},
      {7456, "hétezer-négyszázötvenhat "},
      {10000, "tízezer-"},
      {11000, "tizenegyezer-"},
      {20020, "húszezer-húsz "},
      {100000, "százezer-"},
      {999999, "kilencszázkilencvenkilencezer-kilencszázkilencvenkilenc "},
      {1000000, "egymillió-"},
      {1000001, "egymillió-egy "},
      {1000005, "egymillió-öt "},
      {1001000, "egymillió-egyezer-"},
      {2000000, "kettömillió-"},
      {123456789, "százhuszonhárommillió-négyszázötvenhatezer-hétszáznyolcvankilenc "},
      {1000000000, "egymilliárd-"},
      {2147483647, "kettömilliárd-száznegyvenhétmillió-négyszáznyolcvanháromezer-hatszáznegyvenhét "},
      {-1, "mínusz egy "},
      {-150, "mínusz százötven "},
      {-7465, "mínusz hétezer-négyszázhatvanöt "},
      {-2147483648LL,
       "mínusz kettömilliárd-száznegyvenhétmillió-négyszáznyolcvanháromezer-hatszáznegyvennyolc "},
  };
  for (const auto &[n, words] : table) EXPECT_EQ(AmountInWords(n), QString::fromUtf8(words)) << n;
}

TEST(AmountInWords, BeyondTheMilliardsEveryValueHasWords) {
  EXPECT_EQ(AmountInWords(999999999999LL),
            QStringLiteral("kilencszázkilencvenkilencmilliárd-kilencszázkilencvenkilencmillió-"
                           "kilencszázkilencvenkilencezer-kilencszázkilencvenkilenc "));
  EXPECT_EQ(AmountInWords(1000000000000LL), QStringLiteral("egybillió-"));
  // The smallest 64-bit value has no positive counterpart in 64 signed bits.
  EXPECT_EQ(AmountInWords(std::numeric_limits<std::int64_t>::min()),
            QStringLiteral("mínusz kilenctrillió-kettöszázhuszonhárombilliárd-háromszázhetvenkettöbillió-"
                           "harminchatmilliárd-nyolcszázötvennégymillió-hétszázhetvenötezer-nyolcszáznyolc "));
  EXPECT_TRUE(AmountInWords(std::numeric_limits<std::int64_t>::max()).startsWith(QStringLiteral("kilenctrillió-")));
}

TEST(SpellThreeDigits, HundredsTensAndBadTexts) {
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("000")), QString());
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("100")), QStringLiteral("száz"));
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("210")), QStringLiteral("kettöszáztíz"));
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("020")), QStringLiteral("húsz"));
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("007")), QStringLiteral("hét"));
  // Not three digits: nothing, rather than reading past the text.
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("12")), QString());
  EXPECT_EQ(SpellThreeDigits(QStringLiteral("1a3")), QString());
}

}  // namespace

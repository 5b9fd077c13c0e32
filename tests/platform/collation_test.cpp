// The Hungarian collation that the report engine compares texts with: the
// order must come from the fixed settings, never from the machine's locale
// (the test runs under whatever LANG the machine has).
#include "platform/collation.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

#include "qt_print.h"

using namespace platform;

namespace {

QStringList sorted(QStringList l) {
  std::stable_sort(l.begin(), l.end(), [](const QString &a, const QString &b) { return CompareStr(a, b) < 0; });
  return l;
}

}  // namespace

TEST(Collation, LettersBeforeAccentsBeforeCase) {
  EXPECT_LT(CompareStr(u"a", u"B"), 0);
  EXPECT_GT(CompareStr(u"B", u"a"), 0);
  EXPECT_LT(CompareStr(u"á", u"b"), 0);
  EXPECT_LT(CompareStr(u"Á", u"b"), 0);
  EXPECT_LT(CompareStr(u"a", u"A"), 0);  // lower case first
  EXPECT_LT(CompareStr(u"A", u"á"), 0);  // an accent weighs more than case
  EXPECT_EQ(CompareStr(u"Kovács", u"Kovács"), 0);
  EXPECT_NE(CompareStr(u"Kovács", u"kovács"), 0);
  EXPECT_NE(CompareStr(u"Kovacs", u"Kovács"), 0);
  EXPECT_EQ(CompareStr(u"", u""), 0);
  EXPECT_LT(CompareStr(u"", u"a"), 0);
  EXPECT_EQ(sorted({"B", "á", "b", "Á", "A", "a"}), (QStringList{"a", "A", "á", "Á", "b", "B"}));
}

TEST(Collation, HungarianDoubleLettersAndLongVowels) {
  // "cs", "gy", "ly", "ny", "sz", "zs", "dz", "dzs" are letters of their own
  // after their first letter; ö/ő and ü/ű are letters after o/ó and u/ú.
  EXPECT_EQ(sorted({"csata", "cukor", "cza"}), (QStringList{"cukor", "cza", "csata"}));
  EXPECT_EQ(sorted({"gyár", "gz"}), (QStringList{"gz", "gyár"}));
  EXPECT_EQ(sorted({"szám", "sz", "sza", "sv", "sző"}), (QStringList{"sv", "sz", "sza", "szám", "sző"}));
  EXPECT_EQ(sorted({"zsák", "zebra", "zz"}), (QStringList{"zebra", "zz", "zsák"}));
  EXPECT_EQ(sorted({"öt", "oz", "ót", "őr"}), (QStringList{"ót", "oz", "őr", "öt"}));
  EXPECT_EQ(sorted({"ür", "uz", "űz"}), (QStringList{"uz", "ür", "űz"}));
  EXPECT_EQ(sorted({"dzsungel", "dza", "dz", "dy"}), (QStringList{"dy", "dz", "dza", "dzsungel"}));
  // A long vowel weighs as its short one until the words are otherwise equal.
  EXPECT_EQ(sorted({"Adorján", "Ács", "Ábel"}), (QStringList{"Ábel", "Ács", "Adorján"}));
  EXPECT_EQ(sorted({"Oláh", "Ódor", "Alma", "Áfonya"}), (QStringList{"Áfonya", "Alma", "Ódor", "Oláh"}));
  EXPECT_EQ(sorted({"kór", "kor", "Ürögi Őze", "Ürögi Ödön"}), (QStringList{"kor", "kór", "Ürögi Ödön", "Ürögi Őze"}));
}

TEST(Collation, DigitsAndPunctuationComeBeforeLetters) {
  EXPECT_LT(CompareStr(u"10", u"9"), 0);  // texts, not numbers
  EXPECT_LT(CompareStr(u"9", u"a"), 0);
  EXPECT_LT(CompareStr(u"-", u"a"), 0);
  EXPECT_LT(CompareStr(u"Nagy Béla", u"Nagyné"), 0);
}

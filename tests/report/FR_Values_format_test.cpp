// Display formats: the format word, the suffixes of bracket texts, and the
// text of a value under each category.
#include "report/expr/FR_Values.h"
#include "platform/conv.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

constexpr quint32 word(int category, int type, int decimals, char sep) {
  return (quint32(category) << 24) | (quint32(type) << 16) | (quint32(decimals) << 8) | quint8(sep);
}

const QString nbsp(QChar(0x00A0));

Variant date(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return Variant::DateTime(QDate(1899, 12, 30).daysTo(QDate(y, m, d)) +
                           (h * 3600 + n * 60 + s) / 86400.0L);
}

TEST(FormatValue, NumbersUseTheFormatsSeparatorAndDecimals) {
  // The built-in layouts' word: number, type 3, 2 decimals, separator ",".
  EXPECT_EQ(0x0103022Cu, word(1, 3, 2, ','));
  EXPECT_EQ(frFormatValue(Variant(1234.5), 0x0103022C, {}), "1" + nbsp + "234,50");
  EXPECT_EQ(frFormatValue(Variant(1234567), 0x0103002C, {}), "1" + nbsp + "234" + nbsp + "567");
  EXPECT_EQ(frFormatValue(Variant(-0.125), 0x0103032C, {}), "-0,125");
  // Another separator for one call leaves the process-wide settings alone.
  EXPECT_EQ(frFormatValue(Variant(1234.5), word(1, 3, 2, '.'), {}), "1" + nbsp + "234.50");
  EXPECT_EQ(platform::regional().decimalSeparator, QChar(u','));
  EXPECT_EQ(platform::FloatToStr(2.5L), "2,5");

  EXPECT_EQ(frFormatValue(Variant(1234.567), word(1, 0, 0, ','), {}), "1234,57");
  EXPECT_EQ(frFormatValue(Variant(2.5), word(1, 1, 3, ','), {}), "2,500");
  EXPECT_EQ(frFormatValue(Variant(1234567.891), word(1, 2, 0, ','), {}),
            "1" + nbsp + "234" + nbsp + "567,89");
  EXPECT_EQ(frFormatValue(Variant(3.14159), word(1, 4, 0, ','), "#,##0.000"), "3,142");
  // A number held as text is read with the format's separator.
  EXPECT_EQ(frFormatValue(Variant(QStringLiteral("12,5")), 0x0103022C, {}), "12,50");
  EXPECT_EQ(frFormatValue(Variant(true), word(1, 1, 0, ','), {}), "-1");
  // A half is rounded on the decimal value the double stands for, away from
  // zero, under every number type; a total adds the rows so rounded.
  const double contribution = 7 * (3 * 2222222.5) / 100;  // 466 666,725, just below in binary
  for (int type : {1, 3, 4})
    EXPECT_EQ(frFormatValue(Variant(-contribution), word(1, type, 2, '.'), QStringLiteral("0.00")).right(6), "666.73");
  const std::pair<double, const char *> rounded[] = {{contribution, "466666.73"}, {-2.675, "-2.68"}, {0.005, "0.01"},
                                                     {0.0049, "0"}, {9.995, "10"}, {1e-9, "0"}};
  for (const auto &[value, text] : rounded)
    EXPECT_EQ(QString::number(static_cast<double>(frRoundDecimal(value, 2)), 'g', 15), text) << value;
}

TEST(FormatValue, EmptyValuesAndBadNumbers) {
  EXPECT_EQ(frFormatValue(Variant::Null(), 0x0103022C, {}), "");
  EXPECT_EQ(frFormatValue(Variant(QString()), 0x0103022C, {}), "");
  EXPECT_EQ(frFormatValue(Variant::Null(), word(2, 1, 0, ','), {}), "");
  EXPECT_THROW(frFormatValue(Variant(QStringLiteral("abc")), 0x0103022C, {}), platform::ConvertError);
  EXPECT_THROW(frFormatValue(Variant(QStringLiteral("12.5")), 0x0103022C, {}), platform::ConvertError);
}

TEST(FormatValue, DatesAndTimesInTheirPatterns) {
  const Variant d = date(2025, 3, 7, 14, 5, 9);
  EXPECT_EQ(frFormatValue(d, word(2, 0, 0, ','), {}), "03.07.25");
  EXPECT_EQ(frFormatValue(d, word(2, 1, 0, ','), {}), "03.07.2025");
  EXPECT_EQ(frFormatValue(d, word(2, 3, 0, ','), {}), QStringLiteral("7 március 2025"));
  EXPECT_EQ(frFormatValue(d, word(2, 4, 0, ','), "yyyy.mm.dd."), "2025.03.07.");
  EXPECT_EQ(frFormatValue(d, word(3, 0, 0, ','), {}), "14:05:09");
  EXPECT_EQ(frFormatValue(d, word(3, 3, 0, ','), {}), "14:05");
  const Variant morning = date(2025, 3, 7, 9, 5, 0);
  EXPECT_EQ(frFormatValue(morning, word(3, 0, 0, ','), {}), "09:05:00");
  EXPECT_EQ(frFormatValue(morning, word(3, 1, 0, ','), {}), "9:05:00");
  EXPECT_EQ(frFormatValue(morning, word(3, 4, 0, ','), "hh\"h\"nn"), "09h05");
}

TEST(FormatValue, BooleansAndPlainText) {
  const quint32 noYes = word(4, 1, 0, ',');
  EXPECT_EQ(frFormatValue(Variant(0), noYes, {}), "No");
  EXPECT_EQ(frFormatValue(Variant(1), noYes, {}), "Yes");
  EXPECT_EQ(frFormatValue(Variant(-1), noYes, {}), "Yes");
  EXPECT_EQ(frFormatValue(Variant(false), noYes, {}), "No");
  EXPECT_EQ(frFormatValue(Variant(0), word(4, 0, 0, ','), {}), "0");
  EXPECT_EQ(frFormatValue(Variant(2), word(4, 2, 0, ','), {}), "x");
  EXPECT_EQ(frFormatValue(Variant(0), word(4, 4, 0, ','), QStringLiteral("nem;igen")), "nem");
  EXPECT_EQ(frFormatValue(Variant(5), word(4, 4, 0, ','), QStringLiteral("nem;igen")), "igen");

  EXPECT_EQ(frFormatValue(Variant(QStringLiteral("Kovács")), 0x0000022C, {}), QStringLiteral("Kovács"));
  EXPECT_EQ(frFormatValue(Variant(2.5), 0x0000022C, {}), "2,5");
  EXPECT_EQ(frFormatValue(Variant(2.5), 0x0000022E, {}), "2.5");
  EXPECT_EQ(frFormatValue(Variant(42), 0x0000022E, {}), "42");
}

TEST(SplitFormat, NumberSuffixes) {
  quint32 f = 0x0000022C;
  QString s;
  EXPECT_EQ(frSplitFormat("Summa #N10,2", f, s), "Summa");
  EXPECT_EQ(f, word(1, 1, 2, ','));

  f = 0x0000022C;
  EXPECT_EQ(frSplitFormat("[x] #12.3", f, s), "[x]");  // a leading digit means "N"
  EXPECT_EQ(f, word(1, 1, 3, '.'));
  EXPECT_EQ(frFormatValue(Variant(1.5), f, s), "1.500");

  f = 0x0000022C;
  s.clear();
  EXPECT_EQ(frSplitFormat("Ar #N# ##0,00", f, s), "Ar");
  EXPECT_EQ(frFormatCategory(f), 1);
  EXPECT_EQ(frFormatType(f), 4);
  EXPECT_EQ(frFormatSeparator(f), ',');
  EXPECT_EQ(s, "# ##0.00");
  EXPECT_EQ(frFormatValue(Variant(1234.5), f, s), "1 234,50");

  f = 0x0000022C;
  EXPECT_EQ(frSplitFormat("A #n#,##0.00", f, s), "A");
  EXPECT_EQ(frFormatSeparator(f), '.');
  EXPECT_EQ(s, "#,##0.00");
  EXPECT_EQ(frFormatValue(Variant(1234.5), f, s), "1" + nbsp + "234.50");

  // A separator "-" and no separator at all.
  f = 0x0000022C;
  frSplitFormat("A #N8-1", f, s);
  EXPECT_EQ(f, word(1, 1, 1, '-'));
  EXPECT_EQ(frFormatValue(Variant(2.25), f, s), "2-3");
  f = 0x0000022C;
  frSplitFormat("A #N8", f, s);
  EXPECT_EQ(f, word(1, 1, 0, ','));
}

TEST(SplitFormat, DateBooleanAndNoSuffix) {
  quint32 f = 0x0103022C;
  QString s;
  EXPECT_EQ(frSplitFormat("DATE #Dyyyy.mm.dd", f, s), "DATE");
  EXPECT_EQ(frFormatCategory(f), 2);
  EXPECT_EQ(frFormatType(f), 4);
  EXPECT_EQ(s, "yyyy.mm.dd");
  EXPECT_EQ(frSplitFormat("TIME #thh:nn", f, s), "TIME");
  EXPECT_EQ(frFormatCategory(f), 2);
  EXPECT_EQ(s, "hh:nn");
  EXPECT_EQ(frSplitFormat("Paid #BNem;Igen", f, s), "Paid");
  EXPECT_EQ(frFormatCategory(f), 4);
  EXPECT_EQ(s, "Nem;Igen");

  f = 0x0103022C;
  s = "keep";
  EXPECT_EQ(frSplitFormat("A+B", f, s), "A+B");
  EXPECT_EQ(frSplitFormat("A#N2", f, s), "A#N2");
  EXPECT_EQ(frSplitFormat("A #", f, s), "A");
  EXPECT_EQ(frSplitFormat("A #Xyz", f, s), "A");  // an unknown suffix changes nothing
  EXPECT_EQ(f, 0x0103022Cu);
  EXPECT_EQ(s, "keep");
  // Only the first " #" splits.
  EXPECT_EQ(frSplitFormat("A #N1,1 #D", f, s), "A");
  EXPECT_EQ(frFormatCategory(f), 1);
}

}  // namespace

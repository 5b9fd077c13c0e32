#include "platform/conv.h"

#include <gtest/gtest.h>

#include "qt_print.h"

using namespace platform;

namespace {

const QChar nbsp(0x00A0);

QString nb(QString s) { return s.replace(u'_', nbsp); }  // '_' stands for U+00A0 in expectations

std::string err(const std::function<void()> &f) {
  try {
    f();
  } catch (const ConvertError &e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(Integers, ParseAndPrint) {
  EXPECT_EQ(IntToStr(-1234567890123LL), "-1234567890123");
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("  -17"), -17);
  EXPECT_EQ(StrToInt("+5"), 5);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // hex wraps into the signed range
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt64("9223372036854775807"), 9223372036854775807LL);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), -9223372036854775807LL - 1);
  EXPECT_EQ(StrToInt64("12345678901"), 12345678901LL);
}

TEST(Integers, BadTextIsAnError) {
  EXPECT_EQ(err([] { StrToInt("abc"); }), "'abc' is not a valid integer value");
  for (const char *bad : {"", " ", "12 ", "12a", "1.5", "-", "$", "0x", "2147483648", "-2147483649",
                          "$100000000", "١٢", "+-1", "\t1"}) {
    EXPECT_THROW(StrToInt(QString::fromUtf8(bad)), ConvertError) << bad;
    EXPECT_EQ(StrToIntDef(QString::fromUtf8(bad), -7), -7) << bad;
  }
  EXPECT_THROW(StrToInt64("9223372036854775808"), ConvertError);
  EXPECT_EQ(StrToIntDef("12", -7), 12);
}

TEST(FloatToStr, GeneralFormatWith15Digits) {
  EXPECT_EQ(FloatToStr(1234.5L), "1234,5");
  EXPECT_EQ(FloatToStr(1234.5), "1234,5");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(-0.0L), "0");
  EXPECT_EQ(FloatToStr(-12.25L), "-12,25");
  EXPECT_EQ(FloatToStr(0.1), "0,1");  // the double's binary error stays below 15 digits
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
  EXPECT_EQ(FloatToStr(1.0L / 3), "0,333333333333333");
  EXPECT_EQ(FloatToStr(2.0L / 3), "0,666666666666667");
  EXPECT_EQ(FloatToStr(0.0001L), "0,0001");
  EXPECT_EQ(FloatToStr(0.00001L), "1E-5");
  EXPECT_EQ(FloatToStr(0.000015L), "1,5E-5");
  EXPECT_EQ(FloatToStr(1e20L), "1E20");
  EXPECT_EQ(FloatToStr(123456789012345.0L), "123456789012345");
  EXPECT_EQ(FloatToStr(1234567890123456.0L), "1,23456789012346E15");
  EXPECT_EQ(FloatToStr(999999999999999.9L), "1E15");  // rounding carries into a new digit
  EXPECT_EQ(FloatToStr(-1.5e-300L), "-1,5E-300");
  EXPECT_EQ(FloatToStr(1.5e4000L), "1,5E4000");  // beyond a double's range
  EXPECT_EQ(FloatToStr(-2.5e-4000L), "-2,5E-4000");
  EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<long double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(FloatToStr, ExplicitSettingsLeaveTheSharedOnesAlone) {
  FormatSettings dot;
  dot.decimalSeparator = u'.';
  EXPECT_EQ(FloatToStr(1234.5L, dot), "1234.5");
  EXPECT_EQ(StrToFloat("12.5", dot), 12.5L);
  EXPECT_EQ(regional().decimalSeparator, u',');
  EXPECT_EQ(FloatToStr(1234.5L), "1234,5");
}

TEST(FloatToStrF, FixedNumberExponent) {
  EXPECT_EQ(FloatToStrF(1234.5L, FloatFormat::Fixed, 15, 2), "1234,50");
  EXPECT_EQ(FloatToStrF(1234.5L, FloatFormat::Number, 15, 2), nb("1_234,50"));
  EXPECT_EQ(FloatToStrF(-1234567.125L, FloatFormat::Number, 15, 2), nb("-1_234_567,13"));
  EXPECT_EQ(FloatToStrF(0.5L, FloatFormat::Fixed, 15, 0), "1");
  EXPECT_EQ(FloatToStrF(-0.001L, FloatFormat::Fixed, 15, 2), "0,00");  // no "-0,00"
  EXPECT_EQ(FloatToStrF(0.25L, FloatFormat::Fixed, 15, 2), "0,25");
  EXPECT_EQ(FloatToStrF(12345678901.0L, FloatFormat::Fixed, 10, 2), "1,23456789E10");
  EXPECT_EQ(FloatToStrF(1234.5L, FloatFormat::Exponent, 4, 2), "1,235E+03");
  EXPECT_EQ(FloatToStrF(-0.00012L, FloatFormat::Exponent, 3, 0), "-1,20E-4");
  EXPECT_EQ(FloatToStrF(1234.5L, FloatFormat::General, 3, 0), "1,23E3");
}

TEST(StrToFloat, DecimalSeparatorFromTheSettings) {
  EXPECT_EQ(StrToFloat("12,50"), 12.5L);
  EXPECT_EQ(err([] { StrToFloat("12.5"); }), "'12.5' is not a valid floating point value");
  EXPECT_EQ(StrToFloat("  -3,25  "), -3.25L);
  EXPECT_EQ(StrToFloat("+7"), 7.0L);
  EXPECT_EQ(StrToFloat(",5"), 0.5L);
  EXPECT_EQ(StrToFloat("5,"), 5.0L);
  EXPECT_EQ(StrToFloat("1,5E3"), 1500.0L);
  EXPECT_EQ(StrToFloat("1e-2"), 0.01L);
  EXPECT_EQ(StrToFloat("2,675"), 2.675L);  // read at extended precision, not double
  EXPECT_EQ(StrToFloat("1e-6000"), 0.0L);  // underflow gives zero
  long double v = 99;
  EXPECT_TRUE(TryStrToFloat("0,1", v));
  EXPECT_EQ(v, 0.1L);
  for (const char *bad : {"", " ", ",", "-", "+", "1-2", "1,2,3", "1 000", "1\u00a0000", "1e", "1e+", "e5",
                          "1,5x", "INF", "NAN", "1e99999", "--1", "\t1", "0x10", "１"}) {
    long double w = 42;
    EXPECT_FALSE(TryStrToFloat(QString::fromUtf8(bad), w)) << bad;
    EXPECT_EQ(w, 42) << bad;
    EXPECT_THROW(StrToFloat(QString::fromUtf8(bad)), ConvertError) << bad;
  }
}

TEST(FloatText, RoundTripsThroughTheGeneralFormat) {
  for (long double v : {0.1L, 1234.5678L, -98765.4321L, 1e-3L, 5e14L, 123456.789012345L}) {
    EXPECT_NEAR(static_cast<double>(StrToFloat(FloatToStr(v))), static_cast<double>(v),
                std::abs(static_cast<double>(v)) * 1e-14)
        << static_cast<double>(v);
  }
}

TEST(Rounding, HalfToEvenOnExtended) {
  EXPECT_EQ(RoundHalfEven(2.5L), 2.0L);
  EXPECT_EQ(RoundHalfEven(3.5L), 4.0L);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2.0L);
  EXPECT_EQ(RoundHalfEven(-3.5L), -4.0L);
  EXPECT_EQ(RoundHalfEven(2.5000000000000001L), 3.0L);  // representable in extended, not in double
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(3.5L), 4);
  EXPECT_EQ(Round(-2.5L), -2);
  EXPECT_EQ(Round(1e18L), 1000000000000000000LL);
  EXPECT_EQ(Round(-9223372036854775808.0L), std::numeric_limits<qint64>::min());
  EXPECT_THROW(Round(9223372036854775808.0L), ConvertError);
  EXPECT_THROW(Round(std::numeric_limits<long double>::quiet_NaN()), ConvertError);
  EXPECT_EQ(Trunc(-2.7L), -2.0L);
  EXPECT_EQ(Frac(-2.75L), -0.75L);
}

TEST(FormatFloat, DigitsSeparatorsAndGroups) {
  EXPECT_EQ(FormatFloat("#,##0", 1234567), nb("1_234_567"));
  EXPECT_EQ(FormatFloat("#,##0", 1234567).at(1), nbsp);
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891L), nb("1_234_567,89"));
  EXPECT_EQ(FormatFloat("#,##0.00", 0.5L), "0,50");
  EXPECT_EQ(FormatFloat("#,##0.00", -1234.5L), nb("-1_234,50"));
  EXPECT_EQ(FormatFloat("#,##0", 999), "999");
  EXPECT_EQ(FormatFloat("#,##0", 1000), nb("1_000"));
  EXPECT_EQ(FormatFloat("0", 1234567), "1234567");  // extra digits go before the first placeholder
  EXPECT_EQ(FormatFloat("0.00", 2), "2,00");
  EXPECT_EQ(FormatFloat("000", 7), "007");
  EXPECT_EQ(FormatFloat("0.##", 1), "1");  // no separator without fraction digits
  EXPECT_EQ(FormatFloat("0.0#", 1.5L), "1,5");
  EXPECT_EQ(FormatFloat("0.0#", 1), "1,0");
  EXPECT_EQ(FormatFloat("#.##", 0.5L), ",5");
  EXPECT_EQ(FormatFloat("#", 0), "");
  EXPECT_EQ(FormatFloat("###.##", 12.345L), "12,35");
  EXPECT_EQ(FormatFloat("#,###.##", 1234.5L), nb("1_234,5"));
  EXPECT_EQ(FormatFloat("0", 0.5L), "1");
  EXPECT_EQ(FormatFloat("0", 0.4999L), "0");
  EXPECT_EQ(FormatFloat("0", -0.5L), "-1");
  EXPECT_EQ(FormatFloat("0.00", -0.001L), "0,00");  // rounds to zero: no sign
  EXPECT_EQ(FormatFloat("0,00", 5), "005");  // ',' only asks for groups
  EXPECT_EQ(FormatFloat("0.0.0", 1.25L), "1,25");
  // Masks met before, and more of them than are kept parsed, answer as the first time.
  for (int round = 0; round < 2; ++round)
    for (int n = 1; n <= 100; ++n) {
      const QString mask = QStringLiteral("\"%1 \"0.").arg(n) + QString(n % 7 + 1, u'0');
      EXPECT_EQ(FormatFloat(mask, 1.5L), QStringLiteral("%1 1,5").arg(n) + QString(n % 7, u'0'))
          << mask.toStdString();
    }
}

TEST(FormatFloat, TheClassLibrarysReferenceTable) {
  struct Row {
    const char *mask, *v1234, *vMinus1234, *vHalf, *vZero;
  };
  const Row rows[] = {
      {"", "1234", "-1234", "0,5", "0"},
      {"0", "1234", "-1234", "1", "0"},
      {"0.00", "1234,00", "-1234,00", "0,50", "0,00"},
      {"#.##", "1234", "-1234", ",5", ""},
      {"#,##0.00", "1_234,00", "-1_234,00", "0,50", "0,00"},
      {"#,##0.00;(#,##0.00)", "1_234,00", "(1_234,00)", "0,50", "0,00"},
      {"#,##0.00;;Zero", "1_234,00", "-1_234,00", "0,50", "Zero"},
      {"0.000E+00", "1,234E+03", "-1,234E+03", "5,000E-01", "0,000E+00"},
      {"#.###E-0", "1,234E3", "-1,234E3", "5E-1", "0E0"},
  };
  for (const Row &r : rows) {
    EXPECT_EQ(FormatFloat(r.mask, 1234), nb(r.v1234)) << r.mask;
    EXPECT_EQ(FormatFloat(r.mask, -1234), nb(r.vMinus1234)) << r.mask;
    EXPECT_EQ(FormatFloat(r.mask, 0.5L), nb(r.vHalf)) << r.mask;
    EXPECT_EQ(FormatFloat(r.mask, 0), nb(r.vZero)) << r.mask;
  }
}

TEST(FormatFloat, DecimalRoundingOfTheExtendedValue) {
  // Half away from zero on the value's first 18 significant digits.
  EXPECT_EQ(FormatFloat("0.00", 2.675L), "2,68");                     // extended 2.675000000000000000
  EXPECT_EQ(FormatFloat("0.00", static_cast<double>(2.675)), "2,67");  // double 2.674999999999999822
  EXPECT_EQ(FormatFloat("0.00", 0.125L), "0,13");
  EXPECT_EQ(FormatFloat("0.00", -0.125L), "-0,13");
  EXPECT_EQ(FormatFloat("0.00", 1.005L), "1,01");
  EXPECT_EQ(FormatFloat("0.00", static_cast<double>(1.005)), "1,00");
  EXPECT_EQ(FormatFloat("0.00", 9.995L), "10,00");
  EXPECT_EQ(FormatFloat("0", 2.5L), "3");  // display rounding is not banker's
}

TEST(FormatFloat, Sections) {
  EXPECT_EQ(FormatFloat("0.00;(0.00);nulla", 12.5L), "12,50");
  EXPECT_EQ(FormatFloat("0.00;(0.00);nulla", -12.5L), "(12,50)");
  EXPECT_EQ(FormatFloat("0.00;(0.00);nulla", 0), "nulla");
  EXPECT_EQ(FormatFloat("0.00;(0.00);nulla", 0.001L), "nulla");  // rounds to zero
  EXPECT_EQ(FormatFloat("0.00;(0.00);nulla", -0.001L), "nulla");
  EXPECT_EQ(FormatFloat("0.00;(0.00)", 0), "0,00");   // no zero section: the first one
  EXPECT_EQ(FormatFloat("0.00;;-", -3), "-3,00");     // empty negative section: the first, with sign
  EXPECT_EQ(FormatFloat("0.00;;-", 0), "-");
  EXPECT_EQ(FormatFloat("0;-0;", 0), "0");            // empty zero section: the first
  EXPECT_EQ(FormatFloat("0\";\"0;x", 12), "1;2");      // a quoted ';' does not split
}

TEST(FormatFloat, LiteralsAndExponents) {
  EXPECT_EQ(FormatFloat("0.00 Ft", 1234.5L), "1234,50 Ft");
  EXPECT_EQ(FormatFloat("\"#\"0", 5), "#5");
  EXPECT_EQ(FormatFloat("'0.0' 0", 5), "0.0 5");
  EXPECT_EQ(FormatFloat("$#,##0", -5), "-$5");
  EXPECT_EQ(FormatFloat("00-00", 1234), "12-34");
  EXPECT_EQ(FormatFloat("0.###E+00", 1234.5L), "1,235E+03");
  EXPECT_EQ(FormatFloat("0.###E+00", 1), "1E+00");
  EXPECT_EQ(FormatFloat("0.###E+00", 0.00012L), "1,2E-04");
  EXPECT_EQ(FormatFloat("0.000E-0", 0.00012L), "1,200E-4");
  EXPECT_EQ(FormatFloat("0.000E-0", 12000), "1,200E4");
  EXPECT_EQ(FormatFloat("0.00e+00", 0), "0,00e+00");
  EXPECT_EQ(FormatFloat("00.0E+0", 1234.5L), "12,3E+2");
  EXPECT_EQ(FormatFloat("0.0E+00", -98765), "-9,9E+04");
  EXPECT_EQ(FormatFloat("0E", 5), "5E");  // 'E' without a sign is a literal
}

TEST(FormatFloat, GeneralFallbacksAndOddMasks) {
  EXPECT_EQ(FormatFloat("", 1234.5L), "1234,5");
  EXPECT_EQ(FormatFloat(";0", 1234.5L), "1234,5");
  EXPECT_EQ(FormatFloat("0", 1e25L), "1E25");  // more than 18 integer digits
  EXPECT_EQ(FormatFloat("0", 123456789012345678.0L), "123456789012345678");
  EXPECT_EQ(FormatFloat("abc", 5), "abc");
  EXPECT_EQ(FormatFloat("\"unterminated", 5), "unterminated");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<long double>::infinity()), "INF");
  // A separator passed for one call.
  FormatSettings dot;
  dot.decimalSeparator = u'.';
  dot.thousandSeparator = u',';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5L, dot), "1,234.50");
}

TEST(Dates, ShortDateParse) {
  EXPECT_EQ(StrToDate("2025.03.07"), QDate(2025, 3, 7));
  EXPECT_EQ(StrToDate("2025.3.7"), QDate(2025, 3, 7));
  EXPECT_EQ(StrToDate("2025.03.07."), QDate(2025, 3, 7));
  EXPECT_EQ(StrToDate(" 2025. 3. 7. "), QDate(2025, 3, 7));
  EXPECT_EQ(StrToDate("2024.02.29"), QDate(2024, 2, 29));
  EXPECT_EQ(StrToDate("0025.03.07"), QDate(25, 3, 7));  // four digits: taken as written
  EXPECT_EQ(StrToDate("03.07"), QDate(QDate::currentDate().year(), 3, 7));
  EXPECT_EQ(err([] { StrToDate("2025.02.30"); }), "'2025.02.30' is not a valid date");
  for (const char *bad : {"", "2025", "2025.", "2025.13.01", "2025.00.10", "2025.01.00", "2023.02.29",
                          "2025-03-07", "2025.03.07x", "2025.03.07 12:00", "20250.03.07", "0000.01.01",
                          "2025..03.07", "a.b.c", "2025.03.07.."}) {
    QDate d(2000, 1, 1);
    EXPECT_FALSE(TryStrToDate(QString::fromUtf8(bad), d)) << bad;
    EXPECT_EQ(d, QDate(2000, 1, 1)) << bad;
    EXPECT_THROW(StrToDate(QString::fromUtf8(bad)), ConvertError) << bad;
  }
}

TEST(Dates, TwoDigitYearsUseTheCenturyWindow) {
  const int now = QDate::currentDate().year();
  const int base = now - 50;
  auto expected = [&](int yy) {
    int y = base / 100 * 100 + yy;
    return y < base ? y + 100 : y;
  };
  for (int yy : {0, 25, 49, 50, 75, 76, 99}) {
    EXPECT_EQ(StrToDate(QString("%1.01.02").arg(yy, 2, 10, QChar(u'0'))), QDate(expected(yy), 1, 2)) << yy;
  }
  // The window always yields the 100 years ending 49 or 50 years from now.
  const int y25 = StrToDate("25.1.1").year();
  EXPECT_GE(y25, now - 50);
  EXPECT_LT(y25, now + 50);
}

TEST(Dates, OtherOrdersFollowTheShortFormat) {
  FormatSettings dmy;
  dmy.shortDateFormat = "dd/mm/yyyy";
  dmy.dateSeparator = u'/';
  EXPECT_EQ(StrToDate("07/03/2025", dmy), QDate(2025, 3, 7));
  EXPECT_EQ(DateToStr(QDate(2025, 3, 7), dmy), "07/03/2025");
  FormatSettings mdy;
  mdy.shortDateFormat = "m/d/yy";
  mdy.dateSeparator = u'-';
  EXPECT_EQ(StrToDate("3-7-2025", mdy), QDate(2025, 3, 7));
  EXPECT_EQ(DateToStr(QDate(2025, 3, 7), mdy), "3-7-25");
}

TEST(Dates, Times) {
  EXPECT_EQ(StrToTime("9:05"), QTime(9, 5));
  EXPECT_EQ(StrToTime(" 23:59:58 "), QTime(23, 59, 58));
  EXPECT_EQ(StrToTime("7"), QTime(7, 0));
  EXPECT_EQ(StrToTime("10:20:30,5"), QTime(10, 20, 30, 5));  // the class library reads 5 ms
  EXPECT_EQ(StrToTime("1:15 PM"), QTime(13, 15));
  EXPECT_EQ(StrToTime("am 12:00"), QTime(0, 0));
  EXPECT_EQ(StrToTime("du. 1:15"), QTime(13, 15));
  EXPECT_EQ(StrToTime("11:15 DE."), QTime(11, 15));
  EXPECT_EQ(err([] { StrToTime("24:00"); }), "'24:00' is not a valid time");
  for (const char *bad : {"", ":", "10:", "10:60", "10:20:60", "13:00 PM", "0 AM", "10.20", "10:20x",
                          "10:20:30,1000"}) {
    QTime t(1, 2, 3);
    EXPECT_FALSE(TryStrToTime(QString::fromUtf8(bad), t)) << bad;
    EXPECT_EQ(t, QTime(1, 2, 3)) << bad;
  }
  EXPECT_EQ(StrToDateTime("2025.03.07 10:20:30"), QDateTime(QDate(2025, 3, 7), QTime(10, 20, 30)));
  EXPECT_EQ(StrToDateTime("2025.03.07"), QDateTime(QDate(2025, 3, 7), QTime(0, 0)));
  EXPECT_EQ(StrToDateTime("10:20"), QDateTime(QDate(1899, 12, 30), QTime(10, 20)));
  EXPECT_EQ(err([] { StrToDateTime("2025.03.07 25:00"); }), "'2025.03.07 25:00' is not a valid date and time");
}

TEST(FormatDateTime, PatternLetters) {
  const QDateTime t(QDate(2025, 3, 7), QTime(9, 5, 3, 42));  // a Friday
  EXPECT_EQ(DateToStr(QDate(2025, 3, 7)), "2025.03.07");
  EXPECT_EQ(TimeToStr(QTime(9, 5, 3)), "9:05:03");
  EXPECT_EQ(DateTimeToStr(t), "2025.03.07 9:05:03");
  EXPECT_EQ(DateTimeToStr(QDateTime(QDate(2025, 3, 7), QTime(0, 0))), "2025.03.07");
  EXPECT_EQ(FormatDateTime("", t), "2025.03.07 9:05:03");
  EXPECT_EQ(FormatDateTime("d/m/yy", t), "7.3.25");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy", t), "07.03.2025");
  EXPECT_EQ(FormatDateTime("mm.dd.yy", t), "03.07.25");
  EXPECT_EQ(FormatDateTime("ddd dddd", t), "P péntek");
  EXPECT_EQ(FormatDateTime("mmm mmmm", t), "márc. március");
  EXPECT_EQ(FormatDateTime("d mmmm yyyy", t), "7 március 2025");
  EXPECT_EQ(FormatDateTime("ddddd", t), "2025.03.07");
  EXPECT_EQ(FormatDateTime("dddddd", t), "2025. március 7.");
  EXPECT_EQ(FormatDateTime("h:n:s", t), "9:5:3");
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", t), "09:05:03.042");
  EXPECT_EQ(FormatDateTime("z", t), "42");
  EXPECT_EQ(FormatDateTime("t", t), "9:05");
  EXPECT_EQ(FormatDateTime("tt", t), "9:05:03");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD", t), "2025-03-07");
  EXPECT_EQ(FormatDateTime("yyyymmdd_hhnnss", t), "20250307_090503");
}

TEST(FormatDateTime, MinutesAfterHoursAndTwelveHourClock) {
  const QDateTime t(QDate(2025, 3, 7), QTime(21, 4, 0));
  EXPECT_EQ(FormatDateTime("hh:mm", t), "21:04");      // m after h is minutes
  EXPECT_EQ(FormatDateTime("h mm", t), "21 04");
  EXPECT_EQ(FormatDateTime("hh:mm dd/mm", t), "21:04 07.03");  // after a day letter it is the month again
  EXPECT_EQ(FormatDateTime("mm hh", t), "03 21");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", t), "9:04 pm");
  EXPECT_EQ(FormatDateTime("h:nn AM/PM", QDateTime(QDate(2025, 3, 7), QTime(0, 30))), "12:30 AM");
  EXPECT_EQ(FormatDateTime("h:nn a/p", t), "9:04 p");
  EXPECT_EQ(FormatDateTime("h:nn ampm", t), "9:04 du.");  // the settings' designators
  EXPECT_EQ(FormatDateTime("h:nn ampm", QDateTime(QDate(2025, 3, 7), QTime(11, 0))), "11:00 de.");
  EXPECT_EQ(FormatDateTime("h 'am/pm'", t), "21 am/pm");  // quoted: 24-hour clock
  EXPECT_EQ(FormatDateTime("aaaa, aaa", t), "péntek, P");
  EXPECT_EQ(FormatDateTime("a", t), "a");
}

TEST(FormatDateTime, LiteralsNestingAndNulls) {
  const QDateTime t(QDate(2025, 3, 7), QTime(9, 5, 3));
  EXPECT_EQ(FormatDateTime("\"Kelt:\" yyyy.mm.dd", t), "Kelt: 2025.03.07");
  EXPECT_EQ(FormatDateTime("'d' d", t), "d 7");
  EXPECT_EQ(FormatDateTime("'open", t), "open");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", t), "2025.03.07 09:05");
  EXPECT_EQ(FormatDateTime("x#!", t), "x#!");
  // Formats that name each other end after two levels instead of recursing.
  FormatSettings loop;
  loop.shortDateFormat = "c";
  loop.longTimeFormat = "tt";
  EXPECT_EQ(FormatDateTime("c", t, loop), "  ");
  EXPECT_EQ(DateToStr(QDate()), "1899.12.30");
  EXPECT_EQ(FormatDateTime("yyyy.mm.dd hh:nn", QDateTime()), "1899.12.30 00:00");
}

TEST(Dates, RoundTripThroughText) {
  for (QDate d = QDate(2023, 12, 25); d <= QDate(2024, 3, 5); d = d.addDays(1)) {
    EXPECT_EQ(StrToDate(DateToStr(d)), d);
  }
  EXPECT_EQ(StrToTime(TimeToStr(QTime(23, 59, 59))), QTime(23, 59, 59));
}

// Identifier checks and text helpers: the worked examples and the traps
// (non-digits, short texts, accented letters, mixed-case prefixes).
#include "app/receivers/Checks.h"

#include <gtest/gtest.h>

using namespace checks;

TEST(IdentifierChecks, TaxIdentificationNumber) {
  EXPECT_TRUE(adoazonValid(QStringLiteral("8123456786")));
  EXPECT_FALSE(adoazonValid(QStringLiteral("8123456784")));
  // 1+2+...: digits 9,9,9,9,9,9,9,9,9 -> 9*45 = 405, 405 mod 11 = 9.
  EXPECT_TRUE(adoazonValid(QStringLiteral("9999999999")));
  // 1*1 + 1*9 = 10: a remainder of 10 matches no last digit.
  for (int last = 0; last <= 9; ++last)
    EXPECT_FALSE(adoazonValid(QStringLiteral("100000001") + QString::number(last))) << last;
  // Non-digits and short texts answer invalid instead of raising.
  EXPECT_FALSE(adoazonValid(QStringLiteral("812345678/")));
  EXPECT_FALSE(adoazonValid(QStringLiteral("81234x6786")));
  EXPECT_FALSE(adoazonValid(QStringLiteral("812345678")));
  EXPECT_FALSE(adoazonValid(QString()));
  EXPECT_FALSE(adoazonValid(QStringLiteral(" 123456786")));
  // Arabic-Indic digits are not decimal digits here.
  EXPECT_FALSE(adoazonValid(QString::fromUtf8("٨123456786")));
}

TEST(IdentifierChecks, TaxNumber) {
  EXPECT_TRUE(adoszamValid(QStringLiteral("12345676123")));
  EXPECT_FALSE(adoszamValid(QStringLiteral("12345677123")));
  // Characters 9 to 11 are not read.
  EXPECT_TRUE(adoszamValid(QStringLiteral("12345676xyz")));
  EXPECT_TRUE(adoszamValid(QStringLiteral("12345676")));
  // 1*1 + 1*9 = 10: a sum ending in 0 needs digit 8 = 0.
  EXPECT_TRUE(adoszamValid(QStringLiteral("00011000111")));
  EXPECT_FALSE(adoszamValid(QStringLiteral("00011001111")));
  // A slash in the first eight characters gives a verdict, not an error.
  EXPECT_FALSE(adoszamValid(QStringLiteral("1234/567123")));
  EXPECT_FALSE(adoszamValid(QStringLiteral("1234567")));
}

TEST(IdentifierChecks, TajNumber) {
  EXPECT_TRUE(tajValid(QStringLiteral("111111110")));
  EXPECT_FALSE(tajValid(QStringLiteral("111111111")));
  // 3*1 + 7*2 + 3*3 + 7*4 + 3*5 + 7*6 + 3*7 + 7*8 = 188 -> 8.
  EXPECT_TRUE(tajValid(QStringLiteral("123456788")));
  EXPECT_FALSE(tajValid(QStringLiteral("12345678")));
  EXPECT_FALSE(tajValid(QStringLiteral("1234A6788")));
}

TEST(IdentifierChecks, RegistrationNumberShapes) {
  EXPECT_TRUE(felirValid(QStringLiteral("AB1234567")));
  EXPECT_TRUE(felirValid(QStringLiteral("ab1234567")));
  EXPECT_FALSE(felirValid(QStringLiteral("AB123456")));
  EXPECT_FALSE(felirValid(QString::fromUtf8("Á12345678")));
  EXPECT_FALSE(felirValid(QString::fromUtf8("ÁB1234567")));
  EXPECT_FALSE(felirValid(QStringLiteral("AB12345X7")));
  EXPECT_FALSE(felirValid(QStringLiteral("A11234567")));
  EXPECT_FALSE(felirValid(QStringLiteral("AB12345678")));

  EXPECT_TRUE(ocsgValid(QStringLiteral("OCSG-12345678")));
  EXPECT_TRUE(ocsgValid(QStringLiteral("ocsg-12345678")));
  EXPECT_FALSE(ocsgValid(QStringLiteral("Ocsg-12345678")));
  EXPECT_FALSE(ocsgValid(QStringLiteral("OCSG-1234567")));
  EXPECT_FALSE(ocsgValid(QStringLiteral("OCSG 12345678")));
  EXPECT_FALSE(ocsgValid(QStringLiteral("OCSG-1234567a")));

  EXPECT_TRUE(nebihValid(QStringLiteral("NEBIH1234567890")));
  EXPECT_TRUE(nebihValid(QStringLiteral("nebih1234567890")));
  EXPECT_FALSE(nebihValid(QStringLiteral("NEBIH123456789")));
  EXPECT_FALSE(nebihValid(QStringLiteral("Nebih1234567890")));
  EXPECT_FALSE(nebihValid(QString::fromUtf8("NÉBIH1234567890")));
}

TEST(TextHelpers, SplitNameAtLastBlank) {
  NameParts p = splitName(QString::fromUtf8("Kiss János"));
  EXPECT_EQ(p.elotag, QStringLiteral("Kiss "));
  EXPECT_EQ(p.utotag, QString::fromUtf8("János"));
  p = splitName(QStringLiteral("Nagy Kiss Anna"));
  EXPECT_EQ(p.elotag, QStringLiteral("Nagy Kiss "));
  EXPECT_EQ(p.utotag, QStringLiteral("Anna"));
  // No blank: the first part stays a single blank, the second is the name.
  p = splitName(QStringLiteral("Anna"));
  EXPECT_EQ(p.elotag, QStringLiteral(" "));
  EXPECT_EQ(p.utotag, QStringLiteral("Anna"));
  p = splitName(QString());
  EXPECT_EQ(p.elotag, QStringLiteral(" "));
  EXPECT_EQ(p.utotag, QString());
}

TEST(TextHelpers, AddressAndDate) {
  EXPECT_EQ(joinAddress({QStringLiteral(" IV "), QStringLiteral("Fő"), QStringLiteral("utca"),
                         QStringLiteral("3"), QString(), QStringLiteral(" "), QString(),
                         QString()}),
            QString::fromUtf8("IV Fő utca 3"));
  EXPECT_EQ(joinAddress({QString(), QStringLiteral("Szolnoki"), QStringLiteral("út"), QStringLiteral(" 25 "), QString(),
                         QString(), QString(), QStringLiteral("2")}),
            QString::fromUtf8("Szolnoki út 25 2"));
  EXPECT_EQ(joinAddress(QStringList(8)), QString());
  // A no-break space is not trimmed away, control characters are.
  EXPECT_EQ(trimText(QString::fromUtf8("\t a\u00A0 \r\n")), QString::fromUtf8("a\u00A0"));
  EXPECT_EQ(trimRight(QStringLiteral("  ab  ")), QStringLiteral("  ab"));

  EXPECT_EQ(xmlDate(QStringLiteral("2025.03.07")), QStringLiteral("2025-03-07"));
  // Short or odd texts give what their positions hold and never fail.
  EXPECT_EQ(xmlDate(QStringLiteral("2025")), QStringLiteral("2025--"));
  EXPECT_EQ(xmlDate(QString()), QStringLiteral("--"));
}

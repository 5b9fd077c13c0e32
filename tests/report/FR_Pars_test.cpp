#include "report/expr/FR_Pars.h"

#include "platform/conv.h"

#include <QHash>

#include <gtest/gtest.h>

using namespace report;

namespace {

class Parser : public ::testing::Test {
 protected:
  void SetUp() override {
    p.OnGetValue = [this](const QString &name, Variant &v) {
      asked << name;
      if (names.contains(name)) v = names.value(name);
    };
    p.OnFunction = [this](const QString &name, const Variant &a, const Variant &, const Variant &, QString &val) {
      calls << name + QLatin1Char(':') + a.toString();
      if (name == QLatin1String("ANSWER")) val = answer;
    };
  }
  QString str(const QString &e) { return p.Calc(e).toString(); }
  double num(const QString &e) { return p.Calc(e).toFloat(); }

  TfrParser p;
  QHash<QString, Variant> names;
  QStringList asked, calls;
  QString answer;
};

}  // namespace

TEST_F(Parser, ArithmeticAndPrecedence) {
  EXPECT_EQ(num("2+3*4"), 14);
  EXPECT_EQ(num("(2+3)*4"), 20);
  EXPECT_EQ(num("10/0"), 0);
  EXPECT_EQ(num("7 mod 3"), 1);
  EXPECT_EQ(num("-5+2"), -3);
  EXPECT_EQ(num("7/2"), 3.5L);
  EXPECT_EQ(num("1,5+1.5"), 3);  // both separators read as the decimal one
  EXPECT_EQ(str("10-2-3"), QStringLiteral("5"));
}

TEST_F(Parser, PrefixOperators) {
  EXPECT_EQ(num("int(7.9)"), 7);
  EXPECT_EQ(num("frac(7.25)"), 0.25L);
  EXPECT_EQ(num("round(2.5)"), 2);
  EXPECT_EQ(num("round(3.5)"), 4);
  EXPECT_EQ(p.Calc("round(3.5)").type(), Variant::Type::Integer);
  // A sign or NOT right after a binary operator.
  EXPECT_EQ(num("2*-3"), -6);
  EXPECT_EQ(num("1 - -1"), 2);
  EXPECT_EQ(num("2+-3*4"), -10);
  EXPECT_EQ(num("1 and not 0"), 1);
  EXPECT_EQ(num("1 and not 1"), 0);
  EXPECT_EQ(num("not 0"), 1);
}

TEST_F(Parser, StringsComparisonsAndLogic) {
  EXPECT_EQ(str("str(5)+'a'"), QStringLiteral("5a"));
  EXPECT_EQ(str("'it''s'"), QStringLiteral("it's"));
  EXPECT_EQ(str("'a b' + ' ' + 'c'"), QStringLiteral("a b c"));
  EXPECT_EQ(num("'abc' = 'abc'"), 1);
  EXPECT_EQ(num("'abc' <> 'abd'"), 1);
  EXPECT_EQ(num("3 >= 3"), 1);
  EXPECT_EQ(num("3 <= 2"), 0);
  EXPECT_EQ(num("2 < 3"), 1);
  // Comparisons bind loosest; AND and OR bind like * and +.
  names["A"] = Variant(1);
  names["B"] = Variant(2);
  EXPECT_EQ(num("(a=1) and (b=2)"), 1);
  EXPECT_EQ(num("(a=1) and (b=3)"), 0);
  EXPECT_EQ(num("(a=2) or (b=2)"), 1);
  // a=1 and b=2 reads as (a = (1 and b)) = 2: (1 = 2) = 2 -> 0 = 2 -> 0.
  EXPECT_EQ(num("a=1 and b=2"), 0);
}

TEST_F(Parser, TextsCompareUnderTheHungarianCollation) {
  EXPECT_EQ(num("'a' < 'B'"), 1);
  EXPECT_EQ(num("'á' < 'b'"), 1);
  EXPECT_EQ(num("'Zoltán' > 'ábel'"), 1);
  EXPECT_EQ(num("'cukor' < 'csata'"), 1);  // "cs" is a letter after "c"
  EXPECT_EQ(num("'a' = 'A'"), 0);
  EXPECT_EQ(num("'Kovács' = 'Kovács'"), 1);
  EXPECT_EQ(num("'Kovács' <> 'Kovacs'"), 1);
  names["NAME"] = Variant(QStringLiteral("Éva"));
  EXPECT_EQ(num("(name >= 'E') and (name < 'F')"), 1);
}

TEST_F(Parser, RealsAreDoubles) {
  // 64-bit reals: 0.1 + 0.2 is not 0.3, as on the class library's variants.
  EXPECT_EQ(num("0.1+0.2=0.3"), 0);
  EXPECT_EQ(num("0.1+0.2"), 0.1 + 0.2);
  EXPECT_EQ(num("0.1+0.2-0.3"), 0.1 + 0.2 - 0.3);
  EXPECT_EQ(num("2.675*1"), 2.675);
  EXPECT_EQ(num("1/3"), 1.0 / 3.0);
  EXPECT_EQ(p.Calc("0,3").type(), Variant::Type::Float);
  EXPECT_EQ(p.Calc("0.5+0.25").toString(), QStringLiteral("0,75"));
  EXPECT_EQ(str("0.1+0.2"), QStringLiteral("0,3"));  // shown with 15 digits
  EXPECT_EQ(num("frac(2.675)"), 2.675 - 2.0);
}

TEST_F(Parser, NamesGoThroughTheCallback) {
  names["[Qty]"] = Variant(3);
  names["Qty"] = Variant(4);
  names["PRICE"] = Variant(2.5);
  EXPECT_EQ(num("[Qty] * price"), 10);
  EXPECT_TRUE(asked.contains(QStringLiteral("Qty")));    // bracketed: as written
  EXPECT_TRUE(asked.contains(QStringLiteral("PRICE")));  // bare: upper case
  // A missing name reads as Null, which propagates through arithmetic.
  EXPECT_TRUE(p.Calc("[nothing] + 1").isNull());
  TfrParser bare;
  EXPECT_TRUE(bare.Calc("x").isNull());
}

TEST_F(Parser, CopyIfAndFunctions) {
  EXPECT_EQ(str("copy('abcdef', 2, 3)"), QStringLiteral("bcd"));
  EXPECT_EQ(str("copy('it''s me', 1, 4)"), QStringLiteral("it's"));
  EXPECT_EQ(str("if(1>0, 'yes', 'no')"), QStringLiteral("yes"));
  EXPECT_EQ(str("if(0, 'yes', 'no')"), QStringLiteral("no"));
  EXPECT_EQ(str("if(1>0,'it''s','no')"), QStringLiteral("it's"));
  EXPECT_EQ(num("if(1>0, 2+3, 1/0)*2"), 10);
  // The third argument is never evaluated.
  EXPECT_EQ(str("if(1, 'a', answer(1))"), QStringLiteral("a"));
  EXPECT_TRUE(calls.isEmpty());

  answer = QStringLiteral("12.5");
  EXPECT_EQ(num("answer([x]) * 2"), 25);
  EXPECT_EQ(calls, QStringList({QStringLiteral("ANSWER:[x]")}));
  answer = QStringLiteral("'O'Brien'");
  EXPECT_EQ(str("answer(1)"), QStringLiteral("O'Brien"));
}

TEST_F(Parser, EdgeCasesOfTheText) {
  EXPECT_EQ(num("1+2;garbage"), 3);
  EXPECT_EQ(num("1+2 ;garbage"), 3);
  EXPECT_EQ(p.Calc("1E-6").toFloat(), 1E-6);
  EXPECT_EQ(num("2.5E+2 + 1"), 251);
  EXPECT_TRUE(p.Calc("").isNull());
  const Variant d = p.Calc("%d'2025.03.07'");
  EXPECT_EQ(d.type(), Variant::Type::DateTime);
  EXPECT_EQ(frToDateTime(d.toFloat()).date(), QDate(2025, 3, 7));
  EXPECT_THROW(p.Calc("%d'2025.02.30'"), platform::ConvertError);
  const Variant t = p.Calc("%t'12:30'");
  EXPECT_EQ(frToDateTime(t.toFloat()).time(), QTime(12, 30));
  EXPECT_THROW(p.Calc("1x2 + 1"), platform::ConvertError);
}

TEST_F(Parser, BracketScan) {
  int open, close;
  EXPECT_EQ(TfrParser::ScanBracketName(QStringLiteral("x [a['x]']] y"), 0, open, close), QStringLiteral("a['x]']"));
  EXPECT_EQ(open, 2);
  EXPECT_EQ(close, 10);
  EXPECT_EQ(TfrParser::ScanBracketName(QStringLiteral("[a[b]c] [d]"), 7, open, close), QStringLiteral("d"));
  EXPECT_EQ(TfrParser::ScanBracketName(QString(), 0, open, close), QString());
  // Unbalanced: runs to the end of the text.
  EXPECT_EQ(TfrParser::ScanBracketName(QStringLiteral("[abc"), 0, open, close), QStringLiteral("abc"));
  EXPECT_EQ(close, 4);
}

TEST_F(Parser, MalformedInputRaisesParserErrors) {
  EXPECT_THROW(p.Calc("1 +"), EParserError);
  EXPECT_THROW(p.Calc("*"), EParserError);
  EXPECT_THROW(p.Calc("nothing(1) * 2"), EParserError);  // the call becomes "()"
  TfrParser bare;
  EXPECT_THROW(bare.Calc("f(1)*3"), EParserError);
  // Deep nesting of values needs a stack deeper than 8, and works.
  QString deep;
  for (int i = 0; i < 40; ++i) deep += QStringLiteral("1+(");
  deep += QLatin1Char('1') + QString(40, QLatin1Char(')'));
  EXPECT_EQ(num(deep), 41);
  // An answer that contains its own call is expanded a bounded number of times.
  answer = QStringLiteral("answer(1)+1");
  EXPECT_THROW(p.Calc("answer(1)"), EParserError);
  QString nested;
  for (int i = 0; i < 200; ++i) nested += QStringLiteral("copy(");
  EXPECT_THROW(p.Calc(nested), EParserError);
}

TEST_F(Parser, PostfixForm) {
  EXPECT_EQ(p.ToPostfix("2+3*4"), QStringLiteral("2 3 4 *+"));
  EXPECT_EQ(p.ToPostfix("a >= 'x'"), QStringLiteral("a 'x' \x01"));
  EXPECT_EQ(p.ToPostfix("-5"), QStringLiteral("5 \x09"));
  EXPECT_EQ(QuoteValue(QStringLiteral("'a'b'")), QStringLiteral("'a''b'"));
  EXPECT_EQ(QuoteValue(QStringLiteral("''")), QStringLiteral("''"));
}

TEST_F(Parser, NamesThatAreExpressionsEvaluateInsideAnEvaluation) {
  // A name callback that evaluates further expressions, nested a few levels,
  // as the report's name resolution does for expression values.
  p.OnGetValue = [this](const QString &name, Variant &v) {
    if (name.startsWith(QLatin1String("L"))) {
      const int level = name.mid(1).toInt();
      v = level == 0 ? Variant(1) : p.Calc(QStringLiteral("[L%1] + [L%1] * 1").arg(level - 1));
    }
  };
  EXPECT_EQ(num("[L12] + 0"), 1u << 12);
  p.OnGetValue = [this](const QString &, Variant &v) { v = p.Calc(QStringLiteral("[again]")); };
  EXPECT_THROW(p.Calc("[again]"), EParserError);  // bounded, not a stack overflow
}

// The standard function library through the global parser.
#include "report/expr/FR_Class_Funcs.h"

#include "platform/conv.h"
#include "report/expr/FR_Pars.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

class Functions : public ::testing::Test {
 protected:
  void SetUp() override {
    frInputBox = nullptr;
    saved = frParser->OnFunction;
    frParser->OnFunction = [](const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                              QString &val) {
      val = QStringLiteral("0");
      frCallLibraryFunction(name, p1, p2, p3, val);
    };
  }
  void TearDown() override {
    frParser->OnFunction = saved;
    frInputBox = frDefaultInputBox;
    frStdFunctionLibrary()->Aggregate = nullptr;
  }
  QString str(const char *e) { return frParser->Calc(QString::fromUtf8(e)).toString(); }
  TFunctionEvent saved;
};

class Twice : public TfrFunctionLibrary {
 public:
  Twice() { AddFunctions({QStringLiteral("TWICE")}); }
  void DoFunction(int, const Variant &p1, const Variant &, const Variant &, QString &val) override {
    val = platform::FloatToStr(frParser->Calc(p1.toString()).toFloat() * 2);
  }
};

}  // namespace

TEST_F(Functions, FormatsWithTheHungarianSettings) {
  EXPECT_EQ(str("FORMATFLOAT('#,##0.00', 1234.5)"), QStringLiteral("1\u00A0234,50"));
  EXPECT_EQ(str("formatfloat('0.00', 2)"), QStringLiteral("2,00"));
  EXPECT_EQ(str("FORMATDATETIME('yyyy. mmmm d.', STRTODATE('2025.03.07'))"), QStringLiteral("2025. március 7."));
  EXPECT_EQ(str("FormatDateTime('hh:nn', StrToTime('8:05'))"), QStringLiteral("08:05"));
  EXPECT_EQ(str("FORMATFLOAT('0', 2.5) + '|'"), QStringLiteral("3|"));
  EXPECT_THROW(str("FORMATFLOAT('0.00', 'abc')"), platform::ConvertError);
  // The number is a 64-bit real: 2.675 is 2.67499999999999982..., so it
  // rounds down, and a sum of reals carries its binary error into the text.
  EXPECT_EQ(str("FORMATFLOAT('0.00', 2.675)"), QStringLiteral("2,67"));
  EXPECT_EQ(str("FORMATFLOAT('0.00', 1.005)"), QStringLiteral("1,00"));
  EXPECT_EQ(str("FORMATFLOAT('0.00000000000000000', 0.1 + 0.2)"), QStringLiteral("0,30000000000000004"));
  EXPECT_EQ(str("FORMATFLOAT('0.00', '2,675')"), QStringLiteral("2,67"));  // a text read into a real
}

TEST_F(Functions, TextFunctions) {
  EXPECT_EQ(str("NAMECASE('jOHN SMITH')"), QStringLiteral("John smith"));
  EXPECT_EQ(str("NAMECASE('')"), QString());
  EXPECT_EQ(str("UPPERCASE('őrült árvíz')"), QStringLiteral("ŐRÜLT ÁRVÍZ"));
  EXPECT_EQ(str("LOWERCASE('ŐSTERMELŐ')"), QStringLiteral("őstermelő"));
  EXPECT_EQ(str("UPPERCASE('o''brien')"), QStringLiteral("O'BRIEN"));
  EXPECT_EQ(str("LOWERCASE('A') + LOWERCASE('B')"), QStringLiteral("ab"));
  // A quote inside the value stays inside the date literal: a conversion error, not a broken literal.
  EXPECT_THROW(str("STRTODATE('2025''.01.01')"), platform::ConvertError);
  const Variant d = frParser->Calc(QStringLiteral("STRTODATE('2025.3.7') + 1"));
  EXPECT_EQ(frToDateTime(d.toFloat()).date(), QDate(2025, 3, 8));
}

TEST_F(Functions, InputGoesThroughTheReplaceableBox) {
  EXPECT_EQ(str("INPUT('Hány példány?', '2')"), QStringLiteral("2"));  // no box: the default
  QString prompt;
  frInputBox = [&](const QString &caption, const QString &p, QString &value) {
    EXPECT_TRUE(caption.isEmpty());
    prompt = p;
    EXPECT_EQ(value, QStringLiteral("2"));
    value = QStringLiteral("it's 5");
    return true;
  };
  EXPECT_EQ(str("INPUT('Hány példány?', '2')"), QStringLiteral("it's 5"));
  EXPECT_EQ(prompt, QStringLiteral("Hány példány?"));
  frInputBox = [](const QString &, const QString &, QString &value) {
    value = QStringLiteral("typed");
    return false;  // Cancel
  };
  EXPECT_EQ(str("INPUT('x', 'def')"), QStringLiteral("def"));
}

TEST_F(Functions, AggregatesAndFurtherLibraries) {
  EXPECT_EQ(str("SUM([Amount])"), QStringLiteral("0"));
  QStringList seen;
  frStdFunctionLibrary()->Aggregate = [&](int fno, const Variant &p1, const Variant &p2, const Variant &,
                                          QString &val) {
    seen << QString::number(fno) + QLatin1Char(':') + p1.toString() + QLatin1Char(':') + p2.toString();
    val = QStringLiteral("6");
  };
  EXPECT_EQ(str("SUM([Amount], MasterData1) + 1"), QStringLiteral("7"));
  EXPECT_EQ(str("avg(x)"), QStringLiteral("6"));
  EXPECT_EQ(seen, QStringList({QStringLiteral("11:[Amount]: MasterData1"), QStringLiteral("0:x:")}));

  TfrStdFunctionLibrary lib;
  EXPECT_EQ(lib.List.size(), 13);
  EXPECT_EQ(lib.List.indexOf(QStringLiteral("FORMATFLOAT")), TfrStdFunctionLibrary::fnFORMATFLOAT);
  EXPECT_EQ(lib.List.indexOf(QStringLiteral("UPPERCASE")), TfrStdFunctionLibrary::fnUPPERCASE);
  QString val = QStringLiteral("untouched");
  EXPECT_FALSE(lib.OnFunction(QStringLiteral("TWICE"), Variant(), Variant(), Variant(), val));
  EXPECT_EQ(val, QStringLiteral("untouched"));

  frRegisterFunctionLibrary(std::make_unique<Twice>());
  EXPECT_EQ(str("twice(2.5) + 1"), QStringLiteral("6"));
}

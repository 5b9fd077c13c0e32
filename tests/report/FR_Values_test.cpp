// Name resolution of a report: its order, the built-in names, the value list,
// fields of the band's dataset, report variables and expressions.
#include "report/expr/FR_Values.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/expr/FR_Pars.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

class NameResolution : public vorik::test::DatabaseTest {
 protected:
  void SetUp() override {
    owner.setObjectName("Data");
    q = query().release();
    q->setParent(&owner);
    q->setObjectName("Query1");
    q->sql().setText(
        "SELECT 10 AS X, 20 AS \"VALUE\", 30 AS \"PAGE#\", 'Kovács' AS \"Full Name\" FROM RDB$DATABASE "
        "UNION ALL SELECT 11, 21, 31, 'Nagy' FROM RDB$DATABASE");
    q->open();
    frSetReportOwner(&owner);
    savedVariables = frVariables;
    frVariables = &variables;
    r.Values = &values;
    r.Attach(parser);
    r.BeginBuild(QDateTime(QDate(2025, 3, 7), QTime(14, 5, 9)));
  }
  void TearDown() override {
    frVariables = savedVariables;
    frSetReportOwner(nullptr);
    DatabaseTest::TearDown();
  }

  Variant resolve(const QString &name) {
    Variant v;
    r.ResolveValue(name, v);
    return v;
  }
  void addValue(const QString &name, quint8 typ, int kind, const QString &ds, const QString &field) {
    const int i = values.AddValue();
    values.SetName(i, name);
    TfrValue *v = values.GetValue(i);
    v->Typ = typ;
    v->OtherKind = kind;
    v->DataSet = ds;
    v->Field = field;
  }
  QString errorOf(const QString &name) {
    try {
      resolve(name);
    } catch (const EParserError &e) {
      return e.message();
    }
    return QStringLiteral("(no error)");
  }

  QObject owner;
  db::Query *q = nullptr;
  TfrValues values;
  TfrVariables variables;
  TfrVariables *savedVariables = nullptr;
  TfrParser parser;
  TfrNameResolver r;
};

TEST_F(NameResolution, FirstMatchWinsInTheReportsOrder) {
  // X is everything at once: the owner's answer, a value, a field and a variable.
  variables.SetVariable("X", Variant(40));
  addValue("X", vtFRVar, 0, {}, "1+1");
  r.ActiveDataSet = q;
  bool ownerAnswers = true;
  r.OnGetValue = [&](const QString &name, Variant &v) {
    if (!ownerAnswers || name != "X") return false;
    v = Variant(99);
    return true;
  };
  EXPECT_EQ(resolve("X").toInt(), 99);
  ownerAnswers = false;
  EXPECT_EQ(resolve("X").toInt(), 2);   // the value list
  values.Clear();
  EXPECT_EQ(resolve("X").toInt(), 10);  // the band's dataset
  r.ActiveDataSet = nullptr;
  EXPECT_EQ(resolve("X").toInt(), 40);  // the report variable

  // A field named like a built-in comes first; a variable comes after it.
  r.ActiveDataSet = q;
  r.CurValue = Variant(5);
  r.BuiltIns.PageNo = 2;
  EXPECT_EQ(resolve("VALUE").toInt(), 20);
  EXPECT_EQ(resolve("PAGE#").toInt(), 30);
  r.ActiveDataSet = nullptr;
  variables.SetVariable("PAGE#", Variant(77));
  EXPECT_EQ(resolve("VALUE").toInt(), 5);
  EXPECT_EQ(resolve("PAGE#").toInt(), 3);
}

TEST_F(NameResolution, BuiltInNames) {
  r.BuiltIns.PageNo = 2;
  r.BuiltIns.LineNo = 4;
  r.BuiltIns.LineThrough = 14;
  r.BuiltIns.ColumnNo = 2;
  r.BuiltIns.CurrentNo = 7;
  EXPECT_EQ(resolve("PAGE#").toInt(), 3);  // the third prepared page
  EXPECT_EQ(resolve("TOTALPAGES").toInt(), 0);
  EXPECT_EQ(resolve("LINE#").toInt(), 4);
  EXPECT_EQ(resolve("LINETHROUGH#").toInt(), 14);
  EXPECT_EQ(resolve("COLUMN#").toInt(), 2);
  EXPECT_EQ(resolve("CURRENT#").toInt(), 7);
  r.BuiltIns.TotalPages = 12;
  EXPECT_EQ(resolve("TOTALPAGES").toInt(), 12);

  QString text;
  r.ParseFormat("DATE", 0x0000022C, {}, text);
  EXPECT_EQ(text, "2025.03.07");
  r.ParseFormat("DATE #Dyyyy. mmmm d.", 0x0000022C, {}, text);
  EXPECT_EQ(text, QStringLiteral("2025. március 7."));
  r.ParseFormat("TIME", 0x0300002C, {}, text);
  EXPECT_EQ(text, "14:05:09");
  r.ParseFormat("PAGE# + 1", 0x0000022C, {}, text);
  EXPECT_EQ(text, "4");
}

TEST_F(NameResolution, UnknownNamesAndLoopsFailWithUndefinedSymbol) {
  // The evaluator hands names on in upper case; the message names what failed.
  EXPECT_EQ(errorOf("Nincs"), QStringLiteral("Undefined symbol \"NINCS\""));
  EXPECT_EQ(errorOf("Query1.Nincs"), QStringLiteral("Undefined symbol \"QUERY1.NINCS\""));
  EXPECT_EQ(errorOf("Nowhere.X"), QStringLiteral("Undefined symbol \"NOWHERE.X\""));
  // Values whose expressions refer to each other end with the same error.
  addValue("A", vtFRVar, 0, {}, "B");
  addValue("B", vtFRVar, 0, {}, "A");
  EXPECT_TRUE(errorOf("A").startsWith("Undefined symbol \""));
  addValue("C", vtFRVar, 0, {}, "C + 1");
  EXPECT_TRUE(errorOf("C").startsWith("Undefined symbol \""));
  // A failure leaves nothing behind: the next resolution works.
  EXPECT_EQ(resolve("2 * 3").toInt(), 6);
  addValue("D", vtFRVar, 0, {}, "2 * 3");
  EXPECT_EQ(resolve("D").toInt(), 6);
  EXPECT_EQ(resolve("D").toInt(), 6);
}

TEST_F(NameResolution, ValueListRecordsOfEveryType) {
  q->close();
  addValue("Name", vtDBField, 0, "Query1", "\"Full Name\"");
  addValue("Page", vtOther, 0, {}, {});
  addValue("Expr", vtOther, 1, {}, "2 + 3");
  addValue("Nothing", vtNotAssigned, 0, {}, {});
  addValue("Missing", vtDBField, 0, "Query1", "NOPE");
  r.BeginBuild();
  EXPECT_EQ(resolve("Name").toString(), QStringLiteral("Kovács"));
  EXPECT_TRUE(q->active());  // opened by the value
  EXPECT_EQ(resolve("Page").toInt(), 1);
  EXPECT_EQ(resolve("Expr").toInt(), 5);
  EXPECT_EQ(resolve("Nothing").toString(), QString());
  EXPECT_EQ(errorOf("Missing"), QStringLiteral("Undefined symbol \"Missing\""));
  QString text;
  r.ParseFormat("Name", 0x0000022C, {}, text);
  EXPECT_EQ(text, QStringLiteral("Kovács"));
}

TEST_F(NameResolution, FieldsFollowTheCurrentRowAndReopenedDatasets) {
  QString text;
  r.ParseFormat("Query1.X #N10,2", 0x0000022C, {}, text);
  EXPECT_EQ(text, "10,00");
  EXPECT_EQ(r.CurValue.toInt(), 10);
  q->next();
  r.ParseFormat("Query1.X #N10,2", 0x0000022C, {}, text);
  EXPECT_EQ(text, "11,00");
  r.ParseFormat("Query1.X * 2", 0x0103002C, {}, text);
  EXPECT_EQ(text, "22");

  // The same query opened again with other columns: the name finds its field anew.
  q->close();
  q->sql().setText("SELECT 'x' AS A, 7 AS X FROM RDB$DATABASE");
  q->open();
  EXPECT_EQ(resolve("Query1.X").toInt(), 7);

  // A plain name follows the band's dataset.
  auto other = query();
  other->sql().setText("SELECT 5 AS X FROM RDB$DATABASE");
  other->open();
  r.ActiveDataSet = q;
  EXPECT_EQ(resolve("X").toInt(), 7);
  r.ActiveDataSet = other.get();
  EXPECT_EQ(resolve("X").toInt(), 5);
}

TEST_F(NameResolution, FunctionsAskTheLibrariesThenTheReport) {
  QString val;
  r.CallFunction("UPPERCASE", Variant(QStringLiteral("'abc'")), Variant(), Variant(), val);
  EXPECT_EQ(val, "'ABC'");
  int calls = 0;
  r.OnUserFunction = [&](const QString &name, const Variant &, const Variant &, const Variant &, QString &v) {
    ++calls;
    v = name == "DOUBLE" ? QStringLiteral("42") : v;
  };
  r.CallFunction("DOUBLE", Variant(), Variant(), Variant(), val);
  EXPECT_EQ(val, "0");  // no band is being printed
  EXPECT_EQ(calls, 0);
  r.BandPrinting = true;
  r.CallFunction("DOUBLE", Variant(), Variant(), Variant(), val);
  EXPECT_EQ(val, "42");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(resolve("DOUBLE(1) + 1").toInt(), 43);
}

}  // namespace

TEST(NameResolverLifetime, AGoneResolverLeavesNoCallbackInTheParser) {
  TfrParser parser;
  {
    TfrNameResolver gone;
    gone.Attach(parser);
    EXPECT_EQ(parser.Calc(QStringLiteral("PAGE#")).toInt(), 1);
  }
  // Calls no freed resolver: a name has no value, a call has no answer.
  EXPECT_FALSE(parser.OnGetValue);
  EXPECT_FALSE(parser.OnFunction);
  EXPECT_TRUE(parser.Calc(QStringLiteral("[X]")).isNull());

  // A resolver that was replaced leaves the newer one's callbacks alone.
  TfrNameResolver current;
  {
    TfrNameResolver earlier;
    earlier.Attach(parser);
    current.Attach(parser);
  }
  ASSERT_TRUE(parser.OnGetValue);
  ASSERT_TRUE(parser.OnFunction);
  current.BuiltIns.PageNo = 4;
  EXPECT_EQ(parser.Calc(QStringLiteral("str([PAGE#]) + UPPERCASE('a')")).toString(), QStringLiteral("5A"));
}

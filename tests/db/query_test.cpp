// Queries and the one transaction: named parameters, typed binding, buffered
// rows and navigation, fields by name, locate, and what commit, commit
// retaining and rollback do to the data and to open datasets.
#include "db/error.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

using vorik::test::DatabaseTest;

namespace {

class QueryTest : public DatabaseTest {
 protected:
  static void addProducer(const QString &code, const QString &name) {
    auto q = query();
    q->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( :p1, :p2 )"));
    q->paramByName(QStringLiteral("p1")).setString(code);
    q->paramByName(QStringLiteral("p2")).setString(name);
    q->execute();
  }
  static int countProducers(const QString &likeCode) {
    auto q = query();
    q->sql().add(QStringLiteral("SELECT COUNT(*) AS n FROM ostermelo WHERE o_kod LIKE :p0"));
    q->paramByName(QStringLiteral("p0")).setString(likeCode);
    q->open();
    return static_cast<int>(q->fieldByName(QStringLiteral("n")).asInteger());
  }
};

TEST_F(QueryTest, RepeatedParameterNameBindsEveryPlace) {
  addProducer(QStringLiteral("10001"), QStringLiteral("Egyes"));
  addProducer(QStringLiteral("10002"), QStringLiteral("Kettő"));
  auto q = query();
  q->sql().add(QStringLiteral("SELECT o_kod FROM ostermelo "));
  q->sql().add(QStringLiteral("  WHERE o_kod = :p0 OR o_nev = :P0 OR o_kod = :p1"));
  EXPECT_EQ(q->paramCount(), 2);
  q->paramByName(QStringLiteral("p0")).setString(QStringLiteral("Kettő"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("10001"));
  q->open();
  EXPECT_EQ(q->recordCount(), 2);
  // Only the second place can match "Kettő": the name really bound there.
  q->paramByName(QStringLiteral("p1")).setNull();
  q->open();
  ASSERT_EQ(q->recordCount(), 1);
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_KOD")).asString(), QStringLiteral("10002"));
}

TEST_F(QueryTest, ParameterMarksInTextsCommentsAndQuotedNamesAreNotParameters) {
  auto q = query();
  q->sql().add(QStringLiteral("SELECT ':p9' AS t, 'it''s :x' AS u -- :p8"));
  q->sql().add(QStringLiteral("  /* :p7 */ FROM rdb$database WHERE 1 = :p1"));
  EXPECT_EQ(q->paramCount(), 1);
  q->paramByName(QStringLiteral("p1")).setInteger(1);
  q->open();
  EXPECT_EQ(q->fieldByName(QStringLiteral("t")).asString(), QStringLiteral(":p9"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("U")).asString(), QStringLiteral("it's :x"));
  EXPECT_THROW(q->paramByName(QStringLiteral("p9")), db::Error);
}

TEST_F(QueryTest, DateRangeParametersIncludeBothEnds) {
  auto ins = query();
  ins->sql().add(QStringLiteral("INSERT INTO qzfej ( f_bszam, f_akod, f_kelt ) VALUES ( :p1, 'DAT01', :p2 )"));
  const QDate days[] = {QDate(2025, 3, 6), QDate(2025, 3, 7), QDate(2025, 3, 8), QDate(2025, 3, 9)};
  int n = 0;
  for (const QDate &d : days) {
    ins->paramByName(QStringLiteral("p1")).setString(QStringLiteral("2600000%1").arg(++n));
    ins->paramByName(QStringLiteral("p2")).setDate(d);
    ins->execute();
  }
  auto q = query();
  q->sql().add(QStringLiteral("SELECT f_bszam, f_kelt FROM qzfej"));
  q->sql().add(QStringLiteral("  WHERE f_akod = 'DAT01' AND f_kelt >= :p1 AND f_kelt <= :p2 ORDER BY f_kelt"));
  // Date-time values as pickers give them, with a time of day on both ends.
  q->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(QDate(2025, 3, 7), QTime(15, 30)));
  q->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(QDate(2025, 3, 8), QTime(9, 0)));
  q->open();
  ASSERT_EQ(q->recordCount(), 2);
  EXPECT_EQ(q->fieldByName(QStringLiteral("f_kelt")).asDate(), QDate(2025, 3, 7));
  EXPECT_EQ(q->fieldByName(QStringLiteral("f_kelt")).asString(), QStringLiteral("2025.03.07"));
  q->last();
  EXPECT_EQ(q->fieldByName(QStringLiteral("f_kelt")).asDateTime(), QDateTime(QDate(2025, 3, 8), QTime(0, 0)));
}

TEST_F(QueryTest, NavigationOverBufferedRows) {
  auto q = query(QStringLiteral("ZQ20"));
  q->sql().add(QStringLiteral("SELECT 1 AS n FROM rdb$database UNION ALL SELECT 2 FROM rdb$database"));
  q->sql().add(QStringLiteral("UNION ALL SELECT 3 FROM rdb$database"));
  q->open();
  EXPECT_TRUE(q->active());
  EXPECT_EQ(q->recordCount(), 3);
  EXPECT_TRUE(q->bof());
  EXPECT_FALSE(q->eof());
  QList<qint64> seen;
  for (; !q->eof(); q->next()) seen << q->fieldByName(QStringLiteral("N")).asInteger();
  EXPECT_EQ(seen, (QList<qint64>{1, 2, 3}));
  EXPECT_EQ(q->recNo(), 3);
  q->prior();
  EXPECT_EQ(q->fieldByName(QStringLiteral("n")).asInteger(), 2);
  q->first();
  q->prior();
  EXPECT_TRUE(q->bof());
  EXPECT_EQ(q->recNo(), 1);
  q->last();
  EXPECT_TRUE(q->eof());
  EXPECT_EQ(q->fieldByName(QStringLiteral("n")).asInteger(), 3);
  EXPECT_THROW(q->fieldByName(QStringLiteral("missing")), db::Error);
  // A field taken before a reopen of the same statement reads the new rows.
  db::Field &n = q->fieldByName(QStringLiteral("N"));
  q->close();
  q->open();
  q->last();
  EXPECT_EQ(n.asInteger(), 3);

  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT 1 AS n FROM rdb$database WHERE 1 = 0"));
  q->open();
  EXPECT_TRUE(q->eof());
  EXPECT_TRUE(q->bof());
  EXPECT_EQ(q->recordCount(), 0);
  EXPECT_EQ(q->recNo(), 0);
  EXPECT_TRUE(q->fieldByName(QStringLiteral("n")).isNull());
  EXPECT_EQ(q->fieldByName(QStringLiteral("n")).asString(), QString());
}

TEST_F(QueryTest, ValuesKeepTheirStoredForm) {
  auto q = query();
  q->sql().add(QStringLiteral("SELECT CAST('ab' AS CHAR(5)) AS fixed, CAST('ab  ' AS VARCHAR(5)) AS vary,"));
  q->sql().add(QStringLiteral("  CAST(NULL AS VARCHAR(5)) AS nothing, CAST(95 AS NUMERIC(18,4)) AS whole,"));
  q->sql().add(QStringLiteral("  CAST(1234.5 AS DOUBLE PRECISION) AS dbl, CAST(-0.25 AS NUMERIC(18,4)) AS neg,"));
  q->sql().add(QStringLiteral("  TIMESTAMP '2025-03-07 13:05:09' AS ts FROM rdb$database"));
  q->open();
  EXPECT_EQ(q->fieldByName(QStringLiteral("fixed")).asString(), QStringLiteral("ab   "));
  EXPECT_EQ(q->fieldByName(QStringLiteral("vary")).asString(), QStringLiteral("ab  "));
  EXPECT_TRUE(q->fieldByName(QStringLiteral("nothing")).isNull());
  EXPECT_EQ(q->fieldByName(QStringLiteral("whole")).asString(), QStringLiteral("95"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("whole")).asInteger(), 95);
  EXPECT_EQ(q->fieldByName(QStringLiteral("dbl")).asString(), QStringLiteral("1234,5"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("neg")).asString(), QStringLiteral("-0,25"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("ts")).asString(), QStringLiteral("2025.03.07 13:05:09"));
}

TEST_F(QueryTest, LocateFindsTheFirstMatchAndAMissStaysPut) {
  addProducer(QStringLiteral("20001"), QStringLiteral("Kiss"));
  addProducer(QStringLiteral("20002"), QStringLiteral("Kovács"));
  addProducer(QStringLiteral("20003"), QStringLiteral("kiss anna"));
  auto q = query(QStringLiteral("ZQ30"));
  q->sql().add(QStringLiteral("SELECT o_kod, o_nev FROM ostermelo WHERE o_kod LIKE '2000%' ORDER BY o_kod DESC"));
  q->open();
  ASSERT_EQ(q->recordCount(), 3);
  // Query order is descending: "kiss anna" comes first.
  EXPECT_TRUE(q->locate(QStringLiteral("o_nev"), QStringLiteral("ki"), {true, true}));
  EXPECT_EQ(q->fieldByName(QStringLiteral("o_kod")).asString(), QStringLiteral("20003"));
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT o_kod, o_nev FROM ostermelo WHERE o_kod LIKE '2000%' ORDER BY o_kod"));
  q->open();
  EXPECT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("ki"), {true, true}));
  EXPECT_EQ(q->recNo(), 1);
  EXPECT_TRUE(q->locate(QStringLiteral("o_nev"), QStringLiteral("KOVÁ"), {true, true}));
  EXPECT_EQ(q->recNo(), 2);

  EXPECT_FALSE(q->locate(QStringLiteral("o_nev"), QStringLiteral("Nagy"), {true, true}));
  EXPECT_EQ(q->recNo(), 2);
  // Without the options the key must match whole and in case.
  EXPECT_FALSE(q->locate(QStringLiteral("o_nev"), QStringLiteral("ki"), {}));
  EXPECT_FALSE(q->locate(QStringLiteral("o_nev"), QStringLiteral("kiss"), {}));
  EXPECT_EQ(q->recNo(), 2);
  EXPECT_TRUE(q->locate(QStringLiteral("o_nev"), QStringLiteral("kiss"), {true, false}));
  EXPECT_EQ(q->recNo(), 1);
  EXPECT_TRUE(q->locate(QStringLiteral("o_kod"), QStringLiteral("20003"), {}));
  EXPECT_EQ(q->recNo(), 3);
}

TEST_F(QueryTest, CommitClosesDatasetsRetainingKeepsThemRollbackUndoesSinceLastCommit) {
  auto list = query(QStringLiteral("ZQ30"));
  list->sql().add(QStringLiteral("SELECT o_kod FROM ostermelo"));
  list->open();
  EXPECT_TRUE(transaction().active());

  addProducer(QStringLiteral("30001"), QStringLiteral("Megmarad"));
  transaction().commitRetaining();
  EXPECT_TRUE(list->active());
  EXPECT_TRUE(transaction().active());

  addProducer(QStringLiteral("30002"), QStringLiteral("Elvész"));
  transaction().rollback();
  EXPECT_FALSE(list->active());
  EXPECT_FALSE(transaction().active());
  EXPECT_EQ(countProducers(QStringLiteral("3000_")), 1);

  list->open();
  EXPECT_TRUE(transaction().active());
  transaction().commit();
  EXPECT_FALSE(list->active());
  EXPECT_FALSE(transaction().active());
  EXPECT_THROW(transaction().commit(), db::Error);
  transaction().start();
  EXPECT_THROW(transaction().start(), db::Error);
}

TEST_F(QueryTest, FailedStatementLeavesTheTransactionUsable) {
  auto q = query();
  q->sql().add(QStringLiteral("SELECT no_such_column FROM ostermelo"));
  try {
    q->open();
    FAIL();
  } catch (const db::Error &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("NO_SUCH_COLUMN"))) << e.what();
  }
  EXPECT_FALSE(q->active());
  addProducer(QStringLiteral("40001"), QStringLiteral("Utána"));
  EXPECT_EQ(countProducers(QStringLiteral("40001")), 1);
  q->sql().clear();
  EXPECT_THROW(q->execute(), db::Error);
}

TEST_F(QueryTest, ExecuteReportsRowsAndRunsDdl) {
  addProducer(QStringLiteral("50001"), QStringLiteral("A"));
  addProducer(QStringLiteral("50002"), QStringLiteral("B"));
  auto q = query();
  q->sql().add(QStringLiteral("UPDATE ostermelo SET o_szja = :p1 WHERE o_kod LIKE '5000_'"));
  q->paramByName(QStringLiteral("p1")).setInteger(1);
  q->execute();
  EXPECT_EQ(q->rowsAffected(), 2u);

  // A statement with RETURNING opens as one row.
  q->sql().clear();
  q->sql().add(QStringLiteral("INSERT INTO termek ( t_kod ) VALUES ( '60001' ) RETURNING id_termek"));
  q->open();
  EXPECT_EQ(q->recordCount(), 1);
  EXPECT_GT(q->fieldByName(QStringLiteral("ID_TERMEK")).asInteger(), 0);
  // open() on a statement without a result is an error, not a silent write.
  q->sql().clear();
  q->sql().add(QStringLiteral("DELETE FROM termek WHERE t_kod = '60001'"));
  EXPECT_THROW(q->open(), db::Error);
  q->execute();
  EXPECT_EQ(q->rowsAffected(), 1u);
}

}  // namespace

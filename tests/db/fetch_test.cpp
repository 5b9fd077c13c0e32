// Incremental fetching: a dataset opens with a first batch of rows and reads
// the rest as navigation, locate, recordCount or a grid reaches it, with the
// same rows, order and positions as a dataset read whole; commit retaining
// keeps a half-read cursor working, commit and rollback close it.
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/error.h"
#include "db/table.h"
#include "support/db_fixture.h"

#include <QItemSelectionModel>

#include <algorithm>

#include <gtest/gtest.h>

using vorik::test::DatabaseTest;

namespace {

constexpr int kRows = 1000;

QString code(int i) { return QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')); }

class FetchTest : public DatabaseTest {
 protected:
  // 1,000 producers "00001".."01000"; names repeat every 500 ("Név 0".."Név 499").
  static void SetUpTestSuite() {
    DatabaseTest::SetUpTestSuite();
    auto q = query();
    q->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) SELECT LPAD(n, 5, '0'), "
                                "'Név ' || MOD(n, 500) FROM ( SELECT FIRST %1 ROW_NUMBER() OVER () AS n "
                                "FROM rdb$types a CROSS JOIN rdb$types b )")
                     .arg(kRows));
    q->execute();
    ASSERT_EQ(q->rowsAffected(), static_cast<std::uint64_t>(kRows));
    transaction().commit();
  }
  static std::unique_ptr<db::Query> producers(const QString &order = QStringLiteral(" ORDER BY o_kod")) {
    auto q = query(QStringLiteral("ZQ30"));
    q->sql().add(QStringLiteral("SELECT o_kod, o_nev FROM ostermelo") + order);
    return q;
  }
  static QString kod(db::DataSet &d) { return d.fieldByName(QStringLiteral("O_KOD")).asString(); }
};

TEST_F(FetchTest, AForwardOnlyWalkHoldsOneBatchAndSeesEveryRowInOrder) {
  auto q = producers();
  q->setForwardOnly(true);
  q->open();
  const int firstBatch = q->fetchedCount();
  int n = 0, most = 0;
  for (; !q->eof(); q->next()) {
    ++n;
    ASSERT_EQ(kod(*q), code(n));
    most = std::max(most, q->fetchedCount());
  }
  EXPECT_EQ(n, kRows);
  EXPECT_LE(most, firstBatch + 1);  // the rows read are let go
  EXPECT_EQ(kod(*q), code(kRows));  // next past the end stays on the last row
  q->next();
  EXPECT_TRUE(q->eof());
  EXPECT_EQ(kod(*q), code(kRows));
}

TEST_F(FetchTest, NavigationAcrossBatchBordersSeesEveryRowInOrder) {
  auto q = producers();
  q->open();
  EXPECT_GT(q->fetchedCount(), 0);
  EXPECT_LT(q->fetchedCount(), kRows);  // only a first batch
  EXPECT_FALSE(q->fetchedAll());
  EXPECT_FALSE(q->isEmpty());
  EXPECT_TRUE(q->bof());
  int n = 0;
  for (q->first(); !q->eof(); q->next()) {
    ++n;
    ASSERT_EQ(q->recNo(), n);
    ASSERT_EQ(kod(*q), code(n));
  }
  EXPECT_EQ(n, kRows);
  EXPECT_EQ(q->recNo(), kRows);  // next past the end stays on the last row
  EXPECT_TRUE(q->fetchedAll());
  for (int i = kRows; i > 1; --i) q->prior();
  EXPECT_EQ(kod(*q), code(1));
  q->prior();
  EXPECT_TRUE(q->bof());

  q->open();  // reopen: first batch again, moves by distance and by number past it
  q->moveBy(450);
  EXPECT_EQ(q->recNo(), 451);
  EXPECT_EQ(kod(*q), code(451));
  q->setRecNo(777);
  EXPECT_EQ(kod(*q), code(777));
  EXPECT_FALSE(q->eof());
  EXPECT_FALSE(q->bof());
  EXPECT_EQ(q->valueAt(901, 0).toString(), code(902));  // a grid cell beyond the fetched rows
  EXPECT_EQ(q->recNo(), 777);
  q->setRecNo(kRows + 1);  // no such row: stays
  EXPECT_EQ(q->recNo(), 777);
  EXPECT_EQ(q->recordCount(), kRows);
}

TEST_F(FetchTest, RecordCountAndLastReadTheRest) {
  auto q = producers();
  q->open();
  EXPECT_EQ(q->recordCount(), kRows);
  EXPECT_TRUE(q->fetchedAll());
  EXPECT_EQ(q->recNo(), 1);  // counting does not move

  q->open();
  q->last();
  EXPECT_EQ(q->recNo(), kRows);
  EXPECT_EQ(kod(*q), code(kRows));
  EXPECT_TRUE(q->eof());
  EXPECT_FALSE(q->bof());

  // A result smaller than a batch is whole at once; an empty one is eof and bof.
  auto few = producers(QStringLiteral(" WHERE o_kod <= '00003' ORDER BY o_kod"));
  few->open();
  EXPECT_TRUE(few->fetchedAll());
  EXPECT_EQ(few->recordCount(), 3);
  auto none = producers(QStringLiteral(" WHERE o_kod = 'x'"));
  none->open();
  EXPECT_TRUE(none->isEmpty());
  EXPECT_TRUE(none->eof() && none->bof());
  EXPECT_EQ(none->recNo(), 0);
}

TEST_F(FetchTest, LocateBeyondTheFirstBatchLandsOnTheFirstMatch) {
  auto q = producers();
  q->open();
  // "Név 451" stands on rows 451 and 951.
  ASSERT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("név 451"), db::LocateOptions{true, true}));
  EXPECT_EQ(q->recNo(), 451);
  EXPECT_FALSE(q->fetchedAll());  // reads only as far as the match
  ASSERT_TRUE(q->locate(QStringLiteral("O_KOD"), code(990)));
  EXPECT_EQ(q->recNo(), 990);
  // A miss reads everything and stays on the row.
  EXPECT_FALSE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("Nincs ilyen")));
  EXPECT_EQ(q->recNo(), 990);
  EXPECT_TRUE(q->fetchedAll());
  ASSERT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("NÉV 451"), db::LocateOptions{true, false}));
  EXPECT_EQ(q->recNo(), 451);
}

TEST_F(FetchTest, GridModelFetchesMoreAsItIsAskedAndFollowsTheDataset) {
  auto q = producers();
  db::DataSource source;
  source.setDataSet(q.get());
  db::DataSetModel model;
  model.setDataSource(&source);
  QItemSelectionModel selection(&model);
  model.bindSelection(&selection);
  q->open();
  const int first = q->fetchedCount();
  EXPECT_EQ(model.rowCount(), first);
  ASSERT_TRUE(model.canFetchMore(QModelIndex()));
  std::vector<int> inserted;  // first row of each insertion
  QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model,
                   [&](const QModelIndex &, int from, int) { inserted.push_back(from); });
  model.fetchMore(QModelIndex());
  ASSERT_EQ(inserted.size(), 1u);
  EXPECT_EQ(inserted[0], first);
  EXPECT_EQ(model.rowCount(), q->fetchedCount());
  EXPECT_GT(model.rowCount(), first);
  EXPECT_EQ(model.data(model.index(model.rowCount() - 1, 0)).toString(), code(model.rowCount()));
  EXPECT_EQ(selection.currentIndex().row(), 0);

  // The dataset moving past the model's rows adds them before the grid follows.
  ASSERT_TRUE(q->locate(QStringLiteral("O_KOD"), code(800)));
  EXPECT_EQ(model.rowCount(), q->fetchedCount());
  EXPECT_GE(model.rowCount(), 800);
  EXPECT_EQ(selection.currentIndex().row(), 799);
  EXPECT_EQ(model.data(model.index(799, 0)).toString(), code(800));

  // The grid's current row moving moves the dataset.
  selection.setCurrentIndex(model.index(10, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(q->recNo(), 11);

  q->recordCount();
  EXPECT_EQ(model.rowCount(), kRows);
  EXPECT_FALSE(model.canFetchMore(QModelIndex()));
  model.fetchMore(QModelIndex());  // nothing left: no change
  EXPECT_EQ(model.rowCount(), kRows);

  q->open();  // reopening resets to the first batch
  EXPECT_EQ(model.rowCount(), q->fetchedCount());
  EXPECT_LT(model.rowCount(), kRows);
  q->close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.canFetchMore(QModelIndex()));
}

TEST_F(FetchTest, CommitRetainingKeepsAHalfReadCursorWorking) {
  for (bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "commit retaining" : "rollback retaining");
    auto q = producers();
    q->open();
    q->setRecNo(150);
    ASSERT_FALSE(q->fetchedAll());
    if (commit)
      transaction().commitRetaining();
    else
      transaction().rollbackRetaining();
    EXPECT_TRUE(q->active());
    EXPECT_EQ(q->recNo(), 150);
    q->setRecNo(600);
    EXPECT_EQ(kod(*q), code(600));
    EXPECT_EQ(q->recordCount(), kRows);
    q->last();
    EXPECT_EQ(kod(*q), code(kRows));
  }
}

TEST_F(FetchTest, CommitAndRollbackCloseAHalfReadDatasetAndItReopens) {
  for (bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "commit" : "rollback");
    auto q = producers();
    q->open();
    q->setRecNo(100);
    ASSERT_FALSE(q->fetchedAll());
    int closed = 0;
    QObject::connect(q.get(), &db::DataSet::closed, q.get(), [&] { ++closed; });
    if (commit)
      transaction().commit();
    else
      transaction().rollback();
    EXPECT_FALSE(q->active());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(q->recNo(), 0);
    EXPECT_EQ(q->recordCount(), 0);  // closed: no rows, no cursor to read from
    q->open();
    EXPECT_EQ(q->recNo(), 1);
    EXPECT_EQ(q->recordCount(), kRows);
  }
}

// What an open dataset shows stays what was there when it was opened, also
// when the same transaction changes the rows it has not read yet.
TEST_F(FetchTest, WritesOfTheTransactionDoNotReachTheRowsNotReadYet) {
  auto q = producers(QString());  // natural order: the engine reads the table as it goes
  q->open();
  ASSERT_FALSE(q->fetchedAll());
  auto w = query();
  w->sql().add(QStringLiteral("DELETE FROM ostermelo WHERE o_kod = '00900'"));
  w->execute();
  w->sql().clear();
  w->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '99999', 'Új' )"));
  w->execute();
  EXPECT_TRUE(q->fetchedAll());
  EXPECT_EQ(q->recordCount(), kRows);
  EXPECT_TRUE(q->locate(QStringLiteral("O_KOD"), code(900)));
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), QStringLiteral("99999")));
  q->open();  // read again: the changes show
  EXPECT_EQ(q->recordCount(), kRows);
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), code(900)));
  EXPECT_TRUE(q->locate(QStringLiteral("O_KOD"), QStringLiteral("99999")));
}  // the fixture's rollback undoes the two writes

// Only writes to a table the dataset reads make it read its rest; a write
// that could reach any table (a procedure, DDL, an unrecognised statement)
// always does.
TEST_F(FetchTest, AWriteReadsTheRestOfTheDatasetsThatReadItsTable) {
  const struct {
    const char *sql;
    bool reads;
  } cases[] = {
      {"INSERT INTO termek ( t_kod ) VALUES ( 'T1' )", false},
      {"update TERMEK set t_kod = 'T2'", false},
      {"DELETE FROM termek", false},
      {"INSERT INTO ostermelo ( o_kod ) VALUES ( 'X1' )", true},
      {"  -- a comment first\n/* and another */ update ostermelo set o_nev = o_nev where o_kod = 'X1'", true},
      {"UPDATE OR INSERT INTO \"OSTERMELO\" ( o_kod ) VALUES ( 'X2' ) MATCHING ( o_kod )", true},
      {"delete from Ostermelo where o_kod = 'X2'", true},
      {"MERGE INTO ostermelo o USING rdb$database ON o.o_kod = 'X3' WHEN NOT MATCHED THEN INSERT ( o_kod ) "
       "VALUES ( 'X3' )",
       true},
      {"EXECUTE BLOCK AS BEGIN END", true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.sql);
    auto q = producers();
    q->open();
    ASSERT_FALSE(q->fetchedAll());
    auto w = query();
    w->sql().add(QString::fromUtf8(c.sql));
    w->execute();
    EXPECT_EQ(q->fetchedAll(), c.reads);
  }
  // A join reads both tables; a dataset read whole is left alone.
  auto joined = producers(QStringLiteral(" WHERE EXISTS (SELECT 1 FROM termek) OR 1 = 1 ORDER BY o_kod"));
  joined->open();
  ASSERT_FALSE(joined->fetchedAll());
  auto w = query();
  w->sql().add(QStringLiteral("DELETE FROM termek"));
  w->execute();
  EXPECT_TRUE(joined->fetchedAll());
}

// With a trigger in the database, a write to one table may change another:
// every write reads the rest first.
TEST_F(FetchTest, ATriggerMakesEveryWriteReadTheRest) {
  database().exec(QStringLiteral("CREATE TRIGGER tr_fetch_test FOR termek AFTER INSERT AS BEGIN "
                                 "DELETE FROM ostermelo WHERE o_kod = '00999'; END"));
  auto q = producers(QString());
  q->open();
  ASSERT_FALSE(q->fetchedAll());
  auto w = query();
  w->sql().add(QStringLiteral("INSERT INTO termek ( t_kod ) VALUES ( 'T1' )"));
  w->execute();
  EXPECT_TRUE(q->fetchedAll());
  EXPECT_TRUE(q->locate(QStringLiteral("O_KOD"), code(999)));  // as it was at the open
  q->open();
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), code(999)));  // the trigger's delete
  q->close();
  transaction().rollback();
  database().exec(QStringLiteral("DROP TRIGGER tr_fetch_test"));
  q->open();
  ASSERT_FALSE(q->fetchedAll());
  w->execute();
  EXPECT_FALSE(q->fetchedAll());  // no trigger any more: the producers stay half read
}

TEST_F(FetchTest, AFailingLaterFetchIsAnErrorAndKeepsTheRowsRead) {
  // Row 600 divides by zero; the first batch reads fine.
  auto q = query();
  q->sql().add(QStringLiteral("SELECT o_kod, 1 / (CAST(o_kod AS INTEGER) - 600) AS x FROM ostermelo "
                              "ORDER BY o_kod"));
  ASSERT_NO_THROW(q->open());
  EXPECT_THROW(q->setRecNo(700), db::Error);
  EXPECT_TRUE(q->active());
  EXPECT_EQ(q->recNo(), 1);
  EXPECT_TRUE(q->fetchedAll());  // the failed cursor is not read again
  const int have = q->recordCount();
  EXPECT_GE(have, 1);
  EXPECT_LT(have, 600);
  q->last();
  EXPECT_EQ(q->recNo(), have);
  EXPECT_EQ(kod(*q), code(have));
  q->open();  // a reopen fails again at the same place, no crash
  EXPECT_THROW(q->recordCount(), db::Error);
}

TEST_F(FetchTest, AHalfReadDatasetCanBeDestroyedOrItsConnectionClosed) {
  {
    auto q = producers();
    q->open();
    q->next();
  }  // destroyed with its cursor open
  auto q = producers();
  q->open();
  ASSERT_FALSE(q->fetchedAll());
  connection().close();
  EXPECT_FALSE(q->active());
  connection().open();
  q->open();
  EXPECT_EQ(q->recordCount(), kRows);
}

}  // namespace

namespace {

// A table component reads a batch at open, in its primary key's order; a
// write of the transaction to the table lets its cursor go rather than read
// the rest, and reading on later shows every row once.
TEST_F(FetchTest, ATableReadsABatchByItsKeyAndAWriteLetsItsCursorGo) {
  db::Table t;
  t.setObjectName(QStringLiteral("IBTable3"));
  t.setTransaction(&transaction());
  t.setTableName(QStringLiteral("OSTERMELO"));
  t.setReadOnly(true);
  t.open();
  const int held = t.fetchedCount();
  EXPECT_LT(held, kRows);
  EXPECT_EQ(t.recNo(), 1);
  auto write = query();
  write->sql().add(QStringLiteral("UPDATE ostermelo SET o_nev = o_nev WHERE o_kod = '00001'"));
  write->execute();
  EXPECT_EQ(t.fetchedCount(), held);
  EXPECT_FALSE(t.fetchedAll());
  std::int64_t previous = 0;
  int n = 0;
  for (t.first(); !t.eof(); t.next(), ++n) {
    const std::int64_t id = t.fieldByName(QStringLiteral("ID_OSTERMELO")).asInteger();
    ASSERT_GT(id, previous);
    previous = id;
  }
  EXPECT_EQ(n, kRows);
  transaction().rollback();
}

}  // namespace

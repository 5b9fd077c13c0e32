// Lists read around a position (Query::setKeyset, openAt, openOn): the rows
// reachable from any position are the list's rows in its order, positions
// are found by the database, rows written by another attachment or process
// between two batches are never doubled or lost, and the open list blocks no
// other process's writes.
#include "child_process.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "support/db_fixture.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using vorik::test::Attachment;
using vorik::test::TestDatabase;

constexpr int kRows = 1000;

// 1,000 producers "00001".."01000"; seven names repeat, every 100th has none.
void fill(TestDatabase &d) {
  d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) SELECT LPAD(n, 5, '0'), "
                        "IIF(MOD(n, 100) = 0, NULL, 'Név ' || MOD(n, 7)) FROM ( SELECT FIRST %1 "
                        "ROW_NUMBER() OVER () AS n FROM rdb$types a CROSS JOIN rdb$types b )")
             .arg(kRows));
}

const QList<db::OrderKey> kByName = {{QStringLiteral("o_nev"), QStringLiteral("O_NEV")},
                                     {QStringLiteral("id_ostermelo"), QStringLiteral("ID_OSTERMELO"), false}};
const QList<db::OrderKey> kByCode = {{QStringLiteral("o_kod"), QStringLiteral("O_KOD")},
                                     {QStringLiteral("id_ostermelo"), QStringLiteral("ID_OSTERMELO"), false}};

void setList(db::Query &q, const QList<db::OrderKey> &order, const QString &where = QString()) {
  q.setKeyset({QStringLiteral("SELECT id_ostermelo, o_kod, o_nev FROM ostermelo")}, where, order);
}

QString kod(db::DataSet &d) { return d.fieldByName(QStringLiteral("O_KOD")).asString(); }

// The codes of the whole list read at once, in the order given.
QStringList reference(TestDatabase &d, const QString &orderBy) {
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT o_kod FROM ostermelo ORDER BY ") + orderBy);
  q->open();
  QStringList codes;
  for (q->first(); !q->eof(); q->next()) codes << q->field(0).asString();
  q->close();
  return codes;
}

QStringList walkForward(db::Query &q) {
  QStringList codes;
  for (q.first(); !q.eof(); q.next()) codes << kod(q);
  return codes;
}

// From the current row back to the first, in the list's order.
QStringList walkBack(db::Query &q) {
  QStringList codes = {kod(q)};
  for (q.prior(); !q.bof(); q.prior()) codes.prepend(kod(q));
  return codes;
}

TEST(KeysetList, FromTheFirstMiddleAndLastKeyEveryRowIsReachableInOrder) {
  TestDatabase d;
  fill(d);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  ASSERT_EQ(all.size(), kRows);
  auto q = d.query();
  setList(*q, kByName);
  for (const int at : {0, kRows / 2, kRows - 1}) {
    SCOPED_TRACE(at);
    ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), all[at], {true, false}));
    EXPECT_EQ(kod(*q), all[at]);
    // Only a batch before the position is read, not the rows from the first.
    EXPECT_LE(q->fetchedCount(), 2 * 200 + 1);
    EXPECT_EQ(q->startFetched(), at == 0);
    EXPECT_EQ(walkBack(*q), all.mid(0, at + 1));
    EXPECT_EQ(walkForward(*q), all);
  }
  // recordCount counts the rows before the position as well.
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), all[kRows - 1], {true, false}));
  EXPECT_EQ(q->recordCount(), kRows);
  EXPECT_EQ(kod(*q), all[kRows - 1]);
}

TEST(KeysetList, LocateAsksTheDatabaseAndAMissKeepsTheRow) {
  TestDatabase d;
  fill(d);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  auto q = d.query();
  setList(*q, kByName);
  q->openAt();
  // The first "név 3" in the list's order, case-insensitively, by its beginning.
  ASSERT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("név 3"), {true, true}));
  const int at = static_cast<int>(all.indexOf(kod(*q)));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), QStringLiteral("Név 3"));
  EXPECT_EQ(all.mid(0, at).filter(QStringLiteral("Név 3")).size(), 0);
  EXPECT_EQ(walkBack(*q), all.mid(0, at + 1));

  ASSERT_TRUE(q->locate(QStringLiteral("O_KOD"), all[500], {}));
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), QStringLiteral("99999"), {}));
  EXPECT_EQ(kod(*q), all[500]);
}

TEST(KeysetList, AKeyDeletedByAnotherInstanceOpensOnTheFirstRow) {
  TestDatabase d;
  fill(d);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  Attachment other(d.path());
  other.exec(QStringLiteral("DELETE FROM ostermelo WHERE o_kod = '%1'").arg(all[400]));
  other.transaction().commit();
  auto q = d.query();
  setList(*q, kByName);
  EXPECT_FALSE(q->openOn(QStringLiteral("O_KOD"), all[400], {true, false}));
  EXPECT_EQ(kod(*q), all[0]);
  EXPECT_EQ(walkForward(*q).size(), kRows - 1);
}

TEST(KeysetList, ListsOfNoRowAndOfOneRow) {
  TestDatabase d;
  fill(d);
  auto q = d.query();
  setList(*q, kByName, QStringLiteral("o_kod = :k"));
  q->paramByName(QStringLiteral("k")).setString(QStringLiteral("-----"));
  EXPECT_FALSE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00001"), {}));
  EXPECT_TRUE(q->isEmpty());
  EXPECT_TRUE(q->eof() && q->bof());
  q->prior();
  q->first();
  q->last();
  EXPECT_EQ(q->recordCount(), 0);
  EXPECT_EQ(q->recNo(), 0);

  q->paramByName(QStringLiteral("k")).setString(QStringLiteral("00007"));
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00007"), {}));
  EXPECT_EQ(q->recNo(), 1);
  q->prior();
  EXPECT_TRUE(q->bof());
  EXPECT_EQ(kod(*q), QStringLiteral("00007"));
  EXPECT_EQ(q->recordCount(), 1);
  q->next();
  EXPECT_TRUE(q->eof());
}

TEST(KeysetList, SortChangedWhilePositionedKeepsTheRow) {
  TestDatabase d;
  fill(d);
  auto q = d.query();
  setList(*q, kByName);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00555"), {}));
  const QString name = q->fieldByName(QStringLiteral("O_NEV")).asString();
  setList(*q, kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00555"), {}));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), name);
  EXPECT_EQ(q->recNo(), 201);  // a batch of 200 before it
  q->prior();
  EXPECT_EQ(kod(*q), QStringLiteral("00554"));
  EXPECT_EQ(walkForward(*q), reference(d, QStringLiteral("o_kod, id_ostermelo")));
}

TEST(KeysetList, RowsInsertedByAnotherInstanceBetweenBatchesAreNeitherDoubledNorLost) {
  TestDatabase d;
  fill(d);
  const QStringList before = reference(d, QStringLiteral("o_kod, id_ostermelo"));
  auto q = d.query();
  setList(*q, kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00900"), {}));
  // Another instance adds rows at the start, inside the unread part before
  // the window, and at the end of the list.
  Attachment other(d.path());
  other.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '00000', 'Új eleje' )"));
  other.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '0015A', 'Új közép' )"));
  other.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '99999', 'Új vége' )"));
  other.transaction().commit();
  const QStringList back = walkBack(*q);
  EXPECT_EQ(QSet<QString>(back.begin(), back.end()).size(), back.size());  // none twice
  for (const QString &c : before.mid(0, 900)) EXPECT_TRUE(back.contains(c)) << c.toStdString();
  EXPECT_TRUE(back.contains(QStringLiteral("00000")));  // committed before its batch was read
  EXPECT_TRUE(back.contains(QStringLiteral("0015A")));
  QStringList sorted = back;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(back, sorted);
}

TEST(KeysetList, AGridGetsTheRowsBeforeItsFirstRowInFrontAndKeepsItsRow) {
  TestDatabase d;
  fill(d);
  auto q = d.query();
  setList(*q, kByCode);
  db::DataSource source;
  source.setDataSet(q.get());
  db::DataSetModel model;
  model.setDataSource(&source);
  QItemSelectionModel selection(&model);
  model.bindSelection(&selection);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00700"), {}));
  ASSERT_EQ(model.rowCount(), q->fetchedCount());
  EXPECT_EQ(selection.currentIndex().row(), q->recNo() - 1);
  const int held = model.rowCount();
  model.data(model.index(0, 1));  // the grid shows the first row held
  QCoreApplication::processEvents();
  EXPECT_EQ(model.rowCount(), held + 200);
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("00300"));
  EXPECT_EQ(kod(*q), QStringLiteral("00700"));
  EXPECT_EQ(selection.currentIndex().row(), q->recNo() - 1);
  EXPECT_EQ(model.data(model.index(q->recNo() - 1, 1)).toString(), QStringLiteral("00700"));
}

TEST(KeysetList, AListHeldOpenDoesNotBlockAnotherProcessWrites) {
  TestDatabase d;
  fill(d);
  auto q = d.query();
  setList(*q, kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00500"), {}));
  q->prior();  // a batch before read, the cursor after the row half-read
  ASSERT_FALSE(q->fetchedAll());
  const QString id = q->fieldByName(QStringLiteral("ID_OSTERMELO")).asString();
  const auto r = vorik::test::runChildProcess({QStringLiteral("update"), d.path(), id});
  EXPECT_FALSE(r.crashed);
  EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
  // The other process's committed write shows after the next open.
  ASSERT_TRUE(q->openOn(QStringLiteral("ID_OSTERMELO"), id, {}));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), QStringLiteral("Második"));
}

}  // namespace

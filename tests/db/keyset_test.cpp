// Lists read around a position (KeysetList::setList, openAt, openOn): the rows
// reachable from any position are the list's rows in its order, positions
// are found by the database, rows written by another attachment or process
// between two batches are never doubled or lost, and the open list blocks no
// other process's writes.
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/keyset.h"
#include "support/child_process.h"
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

// The producers' ID, code and name as a list; identity: the ID column
// (empty: none, rows told apart by all their values).
void setList(db::KeysetList &q, const QList<db::OrderKey> &order, const QString &where = QString(),
             const QString &identity = QStringLiteral("ID_OSTERMELO")) {
  q.setList({QStringLiteral("id_ostermelo, o_kod, o_nev"), QStringLiteral("ostermelo"), where, order, identity});
}

std::unique_ptr<db::KeysetList> list(TestDatabase &d) {
  auto q = std::make_unique<db::KeysetList>();
  q->setTransaction(&d.transaction());
  return q;
}

const QList<db::OrderKey> kByNameAlone = {{QStringLiteral("o_nev"), QStringLiteral("O_NEV")}};

// Each test's own database; filled() puts the 1,000 producers in it and gives
// a list of them.
class KeysetList : public ::testing::Test {
 protected:
  std::unique_ptr<db::KeysetList> filled(const QList<db::OrderKey> &order, const QString &where = QString()) {
    fill(d);
    auto q = list(d);
    setList(*q, order, where);
    return q;
  }
  TestDatabase d;
};

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

QStringList walkForward(db::DataSet &q) {
  QStringList codes;
  for (q.first(); !q.eof(); q.next()) codes << kod(q);
  return codes;
}

// From the current row back to the first, in the list's order.
QStringList walkBack(db::DataSet &q) {
  QStringList codes = {kod(q)};
  for (q.prior(); !q.bof(); q.prior()) codes.prepend(kod(q));
  return codes;
}

TEST_F(KeysetList, FromTheFirstMiddleAndLastKeyEveryRowIsReachableInOrder) {
  auto q = filled(kByName);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  ASSERT_EQ(all.size(), kRows);
  for (const int at : {0, kRows / 2, kRows - 1}) {
    SCOPED_TRACE(at);
    ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), all[at], {true, false}));
    EXPECT_EQ(kod(*q), all[at]);
    // Only a batch before the position is read, not the rows from the first.
    EXPECT_LE(q->fetchedCount(), 200 + 50 + 1);
    EXPECT_EQ(q->startFetched(), at == 0);
    EXPECT_EQ(walkBack(*q), all.mid(0, at + 1));
    EXPECT_EQ(walkForward(*q), all);
  }
  // recordCount reads the whole list in its order (the rows before the
  // position as well), on the same current row.
  for (const int at : {0, 1, kRows - 1}) {
    SCOPED_TRACE(at);
    ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), all[at], {true, false}));
    EXPECT_EQ(q->recordCount(), kRows);
    EXPECT_EQ(kod(*q), all[at]);
    EXPECT_EQ(walkBack(*q), all.mid(0, at + 1));
    EXPECT_EQ(walkForward(*q), all);
  }
}

TEST_F(KeysetList, LocateAsksTheDatabaseAndAMissKeepsTheRow) {
  auto q = filled(kByName);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  q->openAt();
  // The first "név 3" in the list's order, case-insensitively, by its beginning.
  ASSERT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("név 3"), {true, true}));
  const int at = static_cast<int>(all.indexOf(kod(*q)));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), QStringLiteral("Név 3"));
  EXPECT_EQ(all.mid(0, at).filter(QStringLiteral("Név 3")).size(), 0);
  EXPECT_EQ(walkBack(*q), all.mid(0, at + 1));

  ASSERT_TRUE(q->locate(QStringLiteral("O_KOD"), all[500], {}));
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), QStringLiteral("99999"), {}));
  EXPECT_FALSE(q->locate(QStringLiteral("O_KOD"), QStringLiteral("000001"), {true, true}));  // longer than the column
  EXPECT_EQ(kod(*q), all[500]);
}

TEST_F(KeysetList, AKeyDeletedByAnotherInstanceOpensOnTheFirstRow) {
  auto q = filled(kByName);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  Attachment other(d.path());
  other.exec(QStringLiteral("DELETE FROM ostermelo WHERE o_kod = '%1'").arg(all[400]));
  other.transaction().commit();
  EXPECT_FALSE(q->openOn(QStringLiteral("O_KOD"), all[400], {true, false}));
  EXPECT_EQ(kod(*q), all[0]);
  EXPECT_EQ(walkForward(*q).size(), kRows - 1);
}

TEST_F(KeysetList, ListsOfNoRowAndOfOneRow) {
  auto q = filled(kByName, QStringLiteral("o_kod = :k"));
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

TEST_F(KeysetList, SortChangedWhilePositionedKeepsTheRow) {
  auto q = filled(kByName);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00555"), {}));
  const QString name = q->fieldByName(QStringLiteral("O_NEV")).asString();
  setList(*q, kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00555"), {}));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), name);
  EXPECT_EQ(q->recNo(), 51);  // fifty rows before it
  q->prior();
  EXPECT_EQ(kod(*q), QStringLiteral("00554"));
  EXPECT_EQ(walkForward(*q), reference(d, QStringLiteral("o_kod, id_ostermelo")));
}

TEST_F(KeysetList, RowsInsertedByAnotherInstanceBetweenBatchesAreNeitherDoubledNorLost) {
  auto q = filled(kByCode);
  const QStringList before = reference(d, QStringLiteral("o_kod, id_ostermelo"));
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

TEST_F(KeysetList, AGridGetsTheRowsBeforeItsFirstRowInFrontAndKeepsItsRow) {
  auto q = filled(kByCode);
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
  // No row number while the rows before are not read: it would not be the row's position.
  EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
  model.fetchEarlier();  // the grid comes near its first row
  EXPECT_EQ(model.rowCount(), held + 200);
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("00450"));
  EXPECT_EQ(kod(*q), QStringLiteral("00700"));
  EXPECT_EQ(selection.currentIndex().row(), q->recNo() - 1);
  EXPECT_EQ(model.data(model.index(q->recNo() - 1, 1)).toString(), QStringLiteral("00700"));
}

TEST_F(KeysetList, AListHeldOpenDoesNotBlockAnotherProcessWrites) {
  auto q = filled(kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00500"), {}));
  q->prior();  // a batch before read, the cursor after the row half-read
  ASSERT_FALSE(q->fetchedAll());
  const QString id = q->fieldByName(QStringLiteral("ID_OSTERMELO")).asString();
  vorik::test::Child r({QStringLiteral("update"), d.path(), id});  // connection_test's mode
  EXPECT_EQ(r.wait(), 0) << r.output().toStdString();
  // The other process's committed write shows after the next open.
  ASSERT_TRUE(q->openOn(QStringLiteral("ID_OSTERMELO"), id, {}));
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), QStringLiteral("Második"));
}

// Keys that do not identify a row: a list ordered by the name alone, its
// names repeated in runs longer than a batch, read back from its end.
TEST_F(KeysetList, RowsWithEqualKeysAreNeitherDoubledNorLostAtBatchBoundaries) {
  auto q = filled(kByNameAlone);
  d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) SELECT 'A' || LPAD(n, 4, '0'), 'Azonos  ' FROM "
                        "( SELECT FIRST 450 ROW_NUMBER() OVER () AS n FROM rdb$types a CROSS JOIN rdb$types b )"));
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00999"), {}));
  EXPECT_EQ(kod(*q), QStringLiteral("00999"));  // among the rows of its name, the one asked for
  q->last();
  QStringList codes, names;
  for (; !q->bof(); q->prior()) {
    codes.prepend(kod(*q));
    names.prepend(q->fieldByName(QStringLiteral("O_NEV")).asString());
  }
  EXPECT_EQ(codes.size(), kRows + 450);
  EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), codes.size());
  QStringList sorted = names;
  std::stable_sort(sorted.begin(), sorted.end());
  EXPECT_EQ(names, sorted);
  EXPECT_EQ(names.count(QStringLiteral("Azonos  ")), 450);

  // Every row of a repeated name is found by its code or ID.
  for (const QString &code : {QStringLiteral("A0001"), QStringLiteral("A0450"), QStringLiteral("00301")}) {
    ASSERT_TRUE(q->locate(QStringLiteral("O_KOD"), code, {})) << code.toStdString();
    EXPECT_EQ(kod(*q), code);
    const QString id = q->fieldByName(QStringLiteral("ID_OSTERMELO")).asString();
    q->first();
    ASSERT_TRUE(q->locate(QStringLiteral("ID_OSTERMELO"), id, {}));
    EXPECT_EQ(kod(*q), code);
  }
}

// A beginning typed without regard to case finds the row the whole list read
// into memory finds, in the name's byte order and in the Hungarian one; a
// text longer than the column finds nothing.
TEST_F(KeysetList, ACaseFreeBeginningFindsTheRowAWholeListFinds) {
  const QStringList names = {"kovács Béla", "KOVÁCS ANNA", "Kovács Éva", "Kőrös Ödön", "kő", "Ödön",
                             "ödön Zsolt",  "ÖRÖS",        "Zoli",       "zoltán",     "Kiss", "KISS",
                             "Árpád",       "árok",        "Ár",         "12 Kft.",    "Őri Ábel",
                             "Szentgyörgyvölgyi", "Csaba", "Cukor", "kíra", "Kis Béla", "Kisa", "Rossz Ádám",
                             "Rosta"};
  for (int i = 0; i < names.size(); ++i)
    d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '%1', '%2' )").arg(i + 1).arg(names[i]));
  const QStringList typed = {"k", "K", "ko", "KOV", "kovács é", "kő", "KŐR", "ö", "öR", "ÖDÖN ", "z", "ZOLT",
                             "á", "ÁR", "árp", "1", "12 k", "x", "kissé", "ſ", "ő", "sz", "cs", "c", "KÍ",
                             "kis ", "ross", "ro", QString(46, QLatin1Char('k'))};
  for (const QString &collation : {QString(), QStringLiteral("PXW_HUN"), QStringLiteral("HUN_ABC")}) {
    SCOPED_TRACE(collation.toStdString());
    const QString order = collation.isEmpty() ? QStringLiteral("o_nev") : QStringLiteral("o_nev COLLATE ") + collation;
    auto whole = d.query();
    whole->sql().add(QStringLiteral("SELECT id_ostermelo, o_kod, o_nev FROM ostermelo ORDER BY %1, id_ostermelo").arg(order));
    whole->open();
    auto q = list(d);
    setList(*q, {{QStringLiteral("o_nev"), QStringLiteral("O_NEV"), true, collation},
                 {QStringLiteral("id_ostermelo"), QStringLiteral("ID_OSTERMELO"), false}});
    q->openAt();
    EXPECT_EQ(walkForward(*q), walkForward(*whole));
    for (const QString &text : typed) {
      SCOPED_TRACE(text.toStdString());
      whole->first();
      const bool found = whole->locate(QStringLiteral("O_NEV"), text, {true, true});
      q->first();
      EXPECT_EQ(q->locate(QStringLiteral("O_NEV"), text, {true, true}), found);
      if (found) {
        EXPECT_EQ(kod(*q), kod(*whole));
      }
    }
    // A typed text that matches nothing keeps the row.
    ASSERT_TRUE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("zol"), {true, true}));
    EXPECT_FALSE(q->locate(QStringLiteral("O_NEV"), QStringLiteral("zolw"), {true, true}));
    EXPECT_EQ(q->fieldByName(QStringLiteral("O_NEV")).asString(), QStringLiteral("Zoli"));
  }
}

// A list is its values, a condition among them: its lines hold one WHERE,
// stay as they are while the list is read around positions, and a change of
// the lines makes the dataset a plain query. A list without an ID column
// tells its rows apart by all their values.
TEST_F(KeysetList, AListWithAConditionAndNoIdColumnIsReadWhole) {
  fill(d);
  auto q = list(d);
  q->setList({QStringLiteral("o_kod, o_nev"), QStringLiteral("ostermelo"), QStringLiteral("o_kod >= :k"),
              {{QStringLiteral("o_kod"), QStringLiteral("O_KOD")}}, QString()});
  q->paramByName(QStringLiteral("k")).setString(QStringLiteral("00100"));
  const QStringList lines = q->sql().lines();
  EXPECT_EQ(lines.filter(QStringLiteral("WHERE")).size(), 1);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00600"), {}));
  EXPECT_EQ(q->sql().lines(), lines);
  EXPECT_EQ(q->recNo(), 51);
  EXPECT_EQ(walkBack(*q), reference(d, QStringLiteral("o_kod")).mid(99, 501));
  EXPECT_EQ(walkForward(*q), reference(d, QStringLiteral("o_kod")).mid(99));
  EXPECT_EQ(q->sql().lines(), lines);
  EXPECT_TRUE(q->listActive());
  q->sql().add(QStringLiteral(" "));  // a change of the lines ends the list
  EXPECT_FALSE(q->listActive());
}

// The list's last row in one step, with a batch before it, not every row;
// the whole list, wanted from a position, is read from its first row and
// keeps the current row.
TEST_F(KeysetList, TheLastRowIsReadWithTheRowsAroundItAndTheWholeListKeepsTheRow) {
  auto q = filled(kByName);
  const QStringList all = reference(d, QStringLiteral("o_nev, id_ostermelo"));
  q->openAt();
  q->last();
  EXPECT_EQ(kod(*q), all.last());
  EXPECT_TRUE(q->eof());
  EXPECT_LE(q->fetchedCount(), 50 + 1);
  EXPECT_FALSE(q->startFetched());
  q->first();
  EXPECT_EQ(kod(*q), all.first());
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), all[600], {}));
  EXPECT_EQ(q->recordCount(), kRows);
  EXPECT_EQ(kod(*q), all[600]);
  EXPECT_EQ(q->recNo(), 601);
}

// A row another program renames while the list is open shows once: where
// it was read, not again under its new key in a later batch.
TEST_F(KeysetList, ARowRenamedByAnotherProgramShowsOnce) {
  auto q = filled(kByCode);
  ASSERT_TRUE(q->openOn(QStringLiteral("O_KOD"), QStringLiteral("00700"), {}));
  Attachment other(d.path());
  other.exec(QStringLiteral("UPDATE ostermelo SET o_kod = '0010A' WHERE o_kod = '00600'"));
  other.exec(QStringLiteral("UPDATE ostermelo SET o_kod = '0099A' WHERE o_kod = '00650'"));
  other.transaction().commit();
  // Back to the list's first row, then on to its last: every row once.
  while (!q->bof()) q->prior();
  QStringList ids;
  for (; !q->eof(); q->next()) ids << q->fieldByName(QStringLiteral("ID_OSTERMELO")).asString();
  EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
  EXPECT_EQ(ids.size(), kRows);
}

// A write of the list's own transaction to its table lets the list's
// cursor go instead of reading the rest first; the list reads on later from
// its last row, also inside a run of equal names and over a row the write
// changed.
TEST_F(KeysetList, AWriteOfItsTransactionLetsTheListGoAndItReadsOnWithoutDoublesOrGaps) {
  auto q = filled(kByNameAlone);
  q->openAt();
  const int held = q->fetchedCount();
  ASSERT_LT(held, kRows);
  ASSERT_FALSE(q->fetchedAll());
  // The last row held, changed by the write; its name's run goes on past it.
  q->setRecNo(held);
  const QString changed = kod(*q);
  auto write = d.query();
  write->sql().add(QStringLiteral("UPDATE ostermelo SET o_kod = 'X' || SUBSTRING(o_kod FROM 2) WHERE o_kod = '%1'").arg(changed));
  write->execute();
  EXPECT_EQ(q->fetchedCount(), held);
  EXPECT_FALSE(q->fetchedAll());
  QStringList codes, names;
  for (q->first(); !q->eof(); q->next()) {
    codes << kod(*q);
    names << q->fieldByName(QStringLiteral("O_NEV")).asString();
  }
  EXPECT_EQ(codes.size(), kRows);
  EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), kRows);
  EXPECT_TRUE(codes.contains(changed));  // the row held keeps what it showed, once
  QStringList sorted = names;
  std::stable_sort(sorted.begin(), sorted.end());
  EXPECT_EQ(names, sorted);
  d.transaction().rollback();
}

}  // namespace

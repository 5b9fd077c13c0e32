// Connecting and creating: clear errors for a missing file, a file that is
// not a database and an engine that cannot be loaded; two processes on one
// file, where a lock conflict fails at once.
#include "db/error.h"
#include "db/transaction.h"
#include "support/child_process.h"
#include "support/db_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using vorik::test::Child;
using vorik::test::tellParent;
using vorik::test::TempDir;
using vorik::test::writeFile;

// The second process of these tests and of keyset_test: "connect <database>"
// opens the database; "update <database> <id>" updates one producer row under
// the nowait transaction and commits. Exit status 0 on success, 2 on a
// db::Error (its message printed), 3 on a lock conflict.
int databaseChild(const QStringList &args, bool update) {
  try {
    db::Connection c;
    c.setDatabaseName(args.value(0));
    c.setParams(db::defaultConnectionParams());
    db::Transaction t;
    t.setConnection(&c);
    c.open();
    if (!update) return 0;
    db::Query q;
    q.setTransaction(&t);
    q.sql().add(QStringLiteral("UPDATE ostermelo SET o_nev = :p1 WHERE ID_ostermelo = :p0"));
    q.paramByName(QStringLiteral("p1")).setString(QStringLiteral("Második"));
    q.paramByName(QStringLiteral("p0")).setString(args.value(1));
    q.execute();
    t.commit();
    return 0;
  } catch (const db::Error &e) {
    tellParent(QString::fromUtf8(e.what()));
    return e.isLockConflict() ? 3 : 2;
  }
}
const vorik::test::ChildMode kConnect("connect", [](const QStringList &args) { return databaseChild(args, false); });
const vorik::test::ChildMode kUpdate("update", [](const QStringList &args) { return databaseChild(args, true); });

db::Error connectError(const QString &path) {
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  try {
    c.open();
  } catch (const db::Error &e) {
    EXPECT_FALSE(c.connected());
    return e;
  }
  ADD_FAILURE() << "connected to " << path.toStdString();
  return db::Error(QString());
}

TEST(Connection, MissingFileAndNonDatabaseFileGiveTheEnginesMessage) {
  TempDir dir;
  const db::Error missing = connectError(dir.file(QStringLiteral("nincs.fdb")));
  EXPECT_TRUE(missing.message().contains(QStringLiteral("nincs.fdb"))) << missing.what();
  EXPECT_FALSE(missing.codes().empty());

  const QString junk = dir.file(QStringLiteral("junk.fdb"));
  ASSERT_TRUE(writeFile(junk, QByteArray(20000, 'x')));
  const db::Error notDb = connectError(junk);
  EXPECT_TRUE(notDb.message().contains(QStringLiteral("not a valid database"))) << notDb.what();

  // An empty file is not a database either.
  const QString empty = dir.file(QStringLiteral("empty.fdb"));
  QFile e(empty);
  ASSERT_TRUE(e.open(QIODevice::WriteOnly));
  e.close();
  const db::Error emptyErr = connectError(empty);
  EXPECT_FALSE(emptyErr.message().isEmpty());
  // Neither attempt touched the files.
  EXPECT_EQ(QFileInfo(junk).size(), 20000);
  EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST(Connection, UnknownParameterAndUnconnectedUseAreErrors) {
  db::Connection c;
  c.setDatabaseName(QStringLiteral("x.fdb"));
  c.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("colour=blue")});
  EXPECT_THROW(c.open(), db::Error);
  db::Transaction t;
  t.setConnection(&c);
  EXPECT_THROW(t.start(), db::Error);
  db::Query q;
  q.setTransaction(&t);
  q.sql().add(QStringLiteral("SELECT 1 FROM rdb$database"));
  EXPECT_THROW(q.open(), db::Error);
}

TEST(Connection, MissingEnginePluginIsAClearErrorNotACrash) {
  TempDir dir;
  const QString path = vorik::test::createTestDatabase(dir.path());

  // An engine folder whose plugin list names an engine module that is not there.
  TempDir brokenRoot;
  ASSERT_TRUE(writeFile(brokenRoot.file(QStringLiteral("plugins.conf")),
                        "Plugin = Engine12 {\n\tModule = /nonexistent/Engine12\n}\n"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("FIREBIRD"), brokenRoot.path());
  Child r({QStringLiteral("connect"), path}, env);
  EXPECT_EQ(r.wait(), 2) << r.output().toStdString();
  EXPECT_TRUE(r.output().contains("engine could not be loaded")) << r.output().toStdString();

  // An empty engine folder: no character sets, so the connection is refused.
  TempDir emptyRoot;
  env.insert(QStringLiteral("FIREBIRD"), emptyRoot.path());
  Child e({QStringLiteral("connect"), path}, env);
  EXPECT_EQ(e.wait(), 2) << e.output().toStdString();
  EXPECT_TRUE(e.output().contains("WIN1250")) << e.output().toStdString();
}

TEST(Connection, CloseReleasesDatasetsAndCanReopen) {
  vorik::test::TestDatabase d;
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT * FROM atvevo"));
  q->open();
  d.connection().close();
  EXPECT_FALSE(q->active());
  EXPECT_FALSE(d.transaction().active());
  d.connection().open();
  q->open();
  EXPECT_TRUE(q->active());
}

TEST(CreateDatabase, RefusesAnExistingFileAndLeavesNothingOnAFailedScript) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("qz2025.fdb"));
  ASSERT_TRUE(writeFile(path, "keep me"));
  EXPECT_THROW(db::createDatabase(path, db::schemaScript()), db::Error);
  QFile again(path);
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), QByteArray("keep me"));

  const QString broken = dir.file(QStringLiteral("broken.fdb"));
  try {
    db::createDatabase(broken, QStringLiteral("CREATE TABLE A (X INTEGER);\nCREATE TABLE B (Y NOSUCHTYPE);"));
    FAIL();
  } catch (const db::Error &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("NOSUCHTYPE"))) << e.what();
  }
  EXPECT_FALSE(QFileInfo::exists(broken));
}

TEST(CreateDatabase, ScriptSplittingKeepsSemicolonsInTextsAndComments) {
  const QStringList s = db::splitScript(QStringLiteral(
      "-- intro; not a statement\nCREATE TABLE A (X VARCHAR(5) DEFAULT ';');\n/* ; */\n"
      "INSERT INTO A VALUES ('a;''b')  ;  ;\n-- trailing comment"));
  ASSERT_EQ(s.size(), 2);
  EXPECT_EQ(s[0], QStringLiteral("CREATE TABLE A (X VARCHAR(5) DEFAULT ';')"));
  EXPECT_EQ(s[1], QStringLiteral("INSERT INTO A VALUES ('a;''b')"));
}

TEST(TwoProcesses, SecondWriterOfALockedRowFailsAtOnce) {
  vorik::test::TestDatabase d;
  auto q = d.query();
  q->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '00001', 'Első' ) RETURNING id_ostermelo"));
  q->open();
  const QString id = q->field(0).asString();
  d.transaction().commit();

  // The first process holds the row with an uncommitted update.
  q->sql().clear();
  q->sql().add(QStringLiteral("UPDATE ostermelo SET o_nev = 'Zárolva' WHERE id_ostermelo = :p0"));
  q->paramByName(QStringLiteral("p0")).setString(id);
  q->execute();

  // "At once": a waiting writer would wait for this process, which waits for it.
  Child blocked({QStringLiteral("update"), d.path(), id});
  EXPECT_EQ(blocked.wait(), 3) << blocked.output().toStdString();
  EXPECT_TRUE(blocked.output().contains("conflict")) << blocked.output().toStdString();

  d.transaction().rollback();
  Child free({QStringLiteral("update"), d.path(), id});
  EXPECT_EQ(free.wait(), 0) << free.output().toStdString();
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT o_nev FROM ostermelo WHERE id_ostermelo = :p0"));
  q->paramByName(QStringLiteral("p0")).setString(id);
  q->open();
  EXPECT_EQ(q->field(0).asString(), QStringLiteral("Második"));
}

}  // namespace

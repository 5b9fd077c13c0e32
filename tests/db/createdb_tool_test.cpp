// The database creation tool as the run script calls it.
#include "db/error.h"
#include "support/db_fixture.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

int runTool(const QStringList &args, QString *output = nullptr) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QStringLiteral(VORIK_BINARY_DIR "/tools/createdb/vorik-createdb"), args);
  if (!p.waitForFinished(60000)) return -1;
  if (output) *output = QString::fromUtf8(p.readAll());
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

TEST(CreateDbTool, SampleDatabaseHasOneReceiverWithItsNumberingAndIsNeverOverwritten) {
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("qz2025.fdb"));
  ASSERT_EQ(runTool({QStringLiteral("--sample"), path}), 0);

  {
    db::Connection c;
    c.setDatabaseName(path);
    c.setParams(db::defaultConnectionParams());
    db::Transaction t;
    t.setConnection(&c);
    c.open();
    db::Query q;
    q.setTransaction(&t);
    q.sql().add(QStringLiteral("SELECT v_akod, v_neve, v_utca, a_qzbszam FROM atvevo"));
    q.sql().add(QStringLiteral("  JOIN sorszam ON a_akod = v_akod"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("v_akod")).asString().size(), 5);
    EXPECT_FALSE(q.fieldByName(QStringLiteral("v_utca")).asString().trimmed().isEmpty());
    const QString serial = q.fieldByName(QStringLiteral("a_qzbszam")).asString();
    EXPECT_EQ(serial.size(), 8);
    EXPECT_TRUE(std::all_of(serial.begin(), serial.end(), [](QChar ch) { return ch.isDigit(); }));
  }

  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray before = f.readAll();
  f.close();
  QString message;
  EXPECT_NE(runTool({QStringLiteral("--sample"), path}, &message), 0);
  EXPECT_TRUE(message.contains(QStringLiteral("already exists"))) << message.toStdString();
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
}

TEST(CreateDbTool, OldVariantAndUsageErrors) {
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("old.fdb"));
  ASSERT_EQ(runTool({QStringLiteral("--old"), path}), 0);
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  db::Transaction t;
  t.setConnection(&c);
  c.open();
  db::Query q;
  q.setTransaction(&t);
  q.sql().add(QStringLiteral("SELECT * FROM ostermelo"));
  q.open();
  EXPECT_EQ(q.findField(QStringLiteral("O_IGSZAM1")), nullptr);
  EXPECT_EQ(q.recordCount(), 0);

  EXPECT_EQ(runTool({}), 1);
  EXPECT_EQ(runTool({QStringLiteral("--bogus"), dir.file(QStringLiteral("x.fdb"))}), 1);
  EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("x.fdb"))));
}

}  // namespace

// The database creation tool as the run script calls it: the sample, an
// older schema, and the user's own receiver as ./run.sh passes it on; and
// the run script's choice between making a database and refusing the
// receiver's values beside an existing one, and the layouts it updates.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/transaction.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstring>
#include <span>

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

// The made file, opened as the program opens it, with a query on it.
struct Opened {
  db::Connection c;
  db::Transaction t;
  db::Query q;
  explicit Opened(const QString &path) {
    c.setDatabaseName(path);
    c.setParams(db::defaultConnectionParams());
    t.setConnection(&c);
    c.open();
    q.setTransaction(&t);
  }
};

TEST(CreateDbTool, SampleDatabaseHasOneReceiverWithItsNumberingAndIsNeverOverwritten) {
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("qz2025.fdb"));
  ASSERT_EQ(runTool({QStringLiteral("--sample"), path}), 0);

  {
    Opened o(path);
    db::Query &q = o.q;
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
  Opened o(path);
  db::Query &q = o.q;
  q.sql().add(QStringLiteral("SELECT * FROM ostermelo"));
  q.open();
  EXPECT_EQ(q.findField(QStringLiteral("O_IGSZAM1")), nullptr);
  EXPECT_EQ(q.recordCount(), 0);

  EXPECT_EQ(runTool({}), 1);
  EXPECT_EQ(runTool({QStringLiteral("--bogus"), dir.file(QStringLiteral("x.fdb"))}), 1);
  EXPECT_EQ(runTool({dir.file(QStringLiteral("x.fdb")), dir.file(QStringLiteral("y.fdb"))}), 1);
  EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("x.fdb"))));
  QString help;
  EXPECT_EQ(runTool({QStringLiteral("--help")}, &help), 0);
  for (const char *option : {"--old", "--sample", "--receiver-code", "--receiver-taxnumber", "path"})
    EXPECT_TRUE(help.contains(QLatin1String(option))) << option << "\n" << help.toStdString();
}

TEST(CreateDbTool, NeedsNoWidgetsNorTheReportEngine) {
  QProcess ldd;
  ldd.start(QStringLiteral("ldd"), {QStringLiteral(VORIK_BINARY_DIR "/tools/createdb/vorik-createdb")});
  ASSERT_TRUE(ldd.waitForFinished(60000));
  const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
  ASSERT_TRUE(libraries.contains(QStringLiteral("libQt6Core"))) << libraries.toStdString();
  for (const char *library : {"libQt6Gui", "libQt6Widgets", "libQt6PrintSupport"})
    EXPECT_FALSE(libraries.contains(QLatin1String(library))) << library;
}

QStringList receiver(const QString &code, const QString &name, const QString &tax) {
  return {QStringLiteral("--receiver-code=") + code, QStringLiteral("--receiver-name=") + name,
          QStringLiteral("--receiver-taxnumber=") + tax};
}

TEST(CreateDbReceiver, TheUsersReceiverIsStoredWithItsNumbering) {
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("qz2025.fdb"));
  QStringList args = receiver(QStringLiteral("00012"), QStringLiteral("Gabona és Társa Kft."),
                              QStringLiteral("12345676-1-23"));
  args << QStringLiteral("--receiver-postcode=6000") << QStringLiteral("--receiver-town=Kecskemét")
       << QStringLiteral("--receiver-address=Fő utca 1.") << path;
  QString out;
  ASSERT_EQ(runTool(args, &out), 0) << out.toStdString();

  Opened o(path);
  db::Query &q = o.q;
  q.sql().add(QStringLiteral("SELECT v_akod, v_neve, v_irszam, v_helyseg, v_utca, v_adoszam, a_qzbszam "
                             "FROM atvevo JOIN sorszam ON a_akod = v_akod"));
  q.open();
  ASSERT_EQ(q.recordCount(), 1);  // the user's receiver, no sample beside it
  auto text = [&](const char *column) { return q.fieldByName(QLatin1String(column)).asString(); };
  EXPECT_EQ(text("v_akod"), QStringLiteral("00012"));
  EXPECT_EQ(text("v_neve"), QStringLiteral("Gabona és Társa Kft."));
  EXPECT_EQ(text("v_irszam"), QStringLiteral("6000"));
  EXPECT_EQ(text("v_helyseg"), QStringLiteral("Kecskemét"));
  EXPECT_EQ(text("v_utca"), QStringLiteral("Fő utca 1."));
  EXPECT_EQ(text("v_adoszam"), QStringLiteral("12345676123"));  // the dashes of 8-1-2 dropped
  EXPECT_EQ(text("a_qzbszam"), QStringLiteral("25000000"));
}

TEST(CreateDbReceiver, ABadValueIsRefusedWithItsMessageAndNoFileIsMade) {
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("qz2025.fdb"));
  const QString good = QStringLiteral("12345676123");
  struct Case {
    QStringList args;
    QString message;
  };
  const Case cases[] = {
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), QStringLiteral("12345677123")),
       QStringLiteral("Hibás adószám")},
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), QStringLiteral("1234567612")),
       QStringLiteral("Hibás adószám")},
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), QStringLiteral("1234567a123")),
       QStringLiteral("Hibás adószám")},
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), QStringLiteral(" ")),
       QStringLiteral("Nincs megadva az adószám!")},
      {receiver(QString(), QStringLiteral("Gabona Kft."), good), QStringLiteral("Nincs megadva az átvevő kódja!")},
      {receiver(QStringLiteral("000001"), QStringLiteral("Gabona Kft."), good),
       QStringLiteral("Az átvevő kódja legfeljebb 5 karakter!")},
      {receiver(QStringLiteral("00001"), QString(76, QLatin1Char('x')), good),
       QStringLiteral("Az átvevő neve legfeljebb 75 karakter!")},
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona \u4e2d Kft."), good),
       QStringLiteral("Nem írható karakter: az átvevő neve (Gabona \u4e2d Kft.)")},
      {receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), good)
           << QStringLiteral("--receiver-town=") + QString(46, QLatin1Char('x')),
       QStringLiteral("A helységnév legfeljebb 45 karakter!")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
    QString out;
    EXPECT_EQ(runTool(QStringList(c.args) << path, &out), 1);
    EXPECT_EQ(out.trimmed(), QStringLiteral("vorik-createdb: ") + c.message);
    EXPECT_FALSE(QFile::exists(path));
  }
  // Usage: an unknown or repeated receiver option, or the sample beside one.
  for (const QStringList &args :
       {QStringList{QStringLiteral("--receiver-phone=1")},
        QStringList{QStringLiteral("--receiver-code=1"), QStringLiteral("--receiver-code=2")},
        receiver(QStringLiteral("00001"), QStringLiteral("Gabona Kft."), good) << QStringLiteral("--sample")}) {
    QString out;
    EXPECT_EQ(runTool(QStringList(args) << path, &out), 1);
    EXPECT_TRUE(out.startsWith(QStringLiteral("usage:"))) << out.toStdString();
    EXPECT_FALSE(QFile::exists(path));
  }
}

// An executable script at path.
void script(const QString &path, const QByteArray &body) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("#!/bin/sh\n" + body);
  f.close();
  f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

TEST(RunScript, TheReceiversValuesCountOnlyWhenTheDatabaseIsMade) {
  struct Case {
    bool databaseThere;
    bool receiverGiven;
    int exitCode;
    bool made, started;
    bool layouts = false;  // run by run, a newer build's layouts and the user's own
  };
  const Case cases[] = {{false, true, 0, true, true}, {true, true, 1, false, false}, {true, false, 0, false, true},
                        {true, false, 0, false, true, true}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.databaseThere << c.receiverGiven);
    vorik::test::TempDir dir;
    // Stand-ins for the packages check, the build, the tool and the program.
    const QString bin = dir.file(QStringLiteral("bin")), build = dir.file(QStringLiteral("build"));
    script(bin + QStringLiteral("/dpkg-query"), "echo 'install ok installed'\n");
    script(bin + QStringLiteral("/cmake"), "exit 0\n");
    script(build + QStringLiteral("/tools/createdb/vorik-createdb"),
           "echo \"$@\" > \"$(dirname \"$0\")/args\"; for a; do last=$a; done; touch \"$last\"\n");
    script(build + QStringLiteral("/app/vorik"), "touch started\n");
    const QString work = dir.file(QStringLiteral("work"));
    QDir().mkpath(work);
    if (c.databaseThere) QFile(work + QStringLiteral("/qz2025.fdb")).open(QIODevice::WriteOnly);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys())
      if (key.startsWith(QLatin1String("VORIK_RECEIVER_"))) env.remove(key);
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("VORIK_BUILD_DIR"), build);
    env.insert(QStringLiteral("VORIK_WORKDIR"), work);
    if (c.receiverGiven) env.insert(QStringLiteral("VORIK_RECEIVER_CODE"), QStringLiteral("00001"));
    QProcess p;
    p.setProcessEnvironment(env);
    auto run = [&] {
      p.start(QStringLiteral("bash"), {vorik::test::sourcePath(QStringLiteral("run.sh"))});
      EXPECT_TRUE(p.waitForFinished(60000));
      return QString::fromUtf8(p.readAllStandardError());
    };
    // Each step: the build's A and B, what the user leaves in B (or the
    // manifest removed), and what A, B and B_uj hold after it, "-" for none.
    // A layout the user changed, or any that differs in a folder from before
    // the manifest, is kept and named, with the build's beside it.
    const char *steps[][6] = {{"A1", "B1", "", "A1", "B1", "-"}, {"A2", "B2", "mine", "A2", "mine", "B2"},
                              {"A3", "B3", "", "A3", "mine", "B3"}, {"A3", "B3", "rm", "A3", "B3", "-"},
                              {"A4", "B3", "nomanifest", "A3", "B3", "-"}};
    for (const auto &step : std::span(steps).first(c.layouts ? 5 : 0)) {
      auto at = [&](const QString &name) { return work + QLatin1Char('/') + name; };
      for (int i : {0, 1}) script(build + QStringLiteral("/layouts/%1.frf").arg(QChar('A' + i)), step[i]);
      if (!strcmp(step[2], "mine")) script(at(QStringLiteral("B.frf")), "mine");
      if (!strcmp(step[2], "rm")) QFile::remove(at(QStringLiteral("B.frf")));
      if (!strcmp(step[2], "nomanifest")) QFile::remove(at(QStringLiteral(".vorik-layouts.sha256")));
      const QString said = run();
      for (int i : {0, 1, 2}) {
        const QString name = QStringList{"A.frf", "B.frf", "B_uj.frf"}[i];
        QFile f(at(name));
        EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll().mid(10) : QByteArray("-"), step[3 + i]) << name.toStdString();
      }
      EXPECT_EQ(said.contains(QStringLiteral("  B.frf -> B_uj.frf")), strcmp(step[5], "-") != 0) << said.toStdString();
      EXPECT_EQ(said.contains(QStringLiteral("  A.frf -> A_uj.frf")), !strcmp(step[2], "nomanifest"));
    }
    const QString err = run();
    EXPECT_EQ(p.exitCode(), c.exitCode) << err.toStdString();
    EXPECT_EQ(QFile::exists(build + QStringLiteral("/tools/createdb/args")), c.made);
    EXPECT_EQ(QFile::exists(work + QStringLiteral("/started")), c.started);
    if (c.made) {
      QFile args(build + QStringLiteral("/tools/createdb/args"));
      ASSERT_TRUE(args.open(QIODevice::ReadOnly));
      EXPECT_TRUE(args.readAll().startsWith("--receiver-code=00001 "));
    }
    // Refused: it says that the database is there and its values were not used.
    if (c.exitCode != 0) {
      EXPECT_TRUE(err.contains(work + QStringLiteral("/qz2025.fdb already exists"))) << err.toStdString();
      EXPECT_TRUE(err.contains(QStringLiteral("VORIK_RECEIVER_* values were not used"))) << err.toStdString();
    }
  }
}

}  // namespace

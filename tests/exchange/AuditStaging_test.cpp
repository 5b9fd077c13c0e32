// Two program instances, each a real process, and the audit data supply's
// shared staging tables: while one instance has collected and not closed,
// the other's collection is refused before it empties anything, so the
// first one's export writes its own documents; a killed instance's hold goes
// with it. The inventory hand-over holds its file likewise.
#include "support/child_process.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

#include "support/qt_print.h"

using namespace vorik::test;

namespace {

class TwoInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = createTestDatabase(dir_.path());
    Attachment a(database_);
    a.exec(QStringLiteral("DELETE FROM ATVEVO"));
    for (const char *receiver : {"00001", "00002"})
      a.exec(
          QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA, V_ADOSZAM) VALUES "
                         "('%1', 'Átvevő %1', '6000', 'Kecskemét', 'Fő', '12345678203')")
              .arg(QLatin1String(receiver)));
    a.exec(
        QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA) VALUES "
                       "('1', 'Kovács János', '6100', 'Kiskunfélegyháza', 'Petőfi')"));
    // Two documents of A, one of B, all in March.
    const char *tickets[][2] = {{"25000001", "00001"}, {"25000002", "00001"}, {"25100001", "00002"}};
    for (const auto &[serial, receiver] : tickets) {
      a.exec(QStringLiteral(
                 "INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_TIPUS, "
                 "F_UTAL) VALUES ('%1', '1', '%2', '2025-03-10', '2025-03-10', '2025-03-10', '1', 'x')")
                 .arg(QLatin1String(serial), QLatin1String(receiver)));
      a.exec(QStringLiteral(
                 "INSERT INTO QZSOR (S_BSZAM, S_AKOD, S_BRUTTO, S_LEVONSZAZ, S_EAR, S_KOMPMERTEKE, "
                 "S_MEGNEVEZES, S_VTSZ, S_MEGY) VALUES ('%1', '%2', 10, 0, 100, 12, 'Alma', '0808', 'kg')")
                 .arg(QLatin1String(serial), QLatin1String(receiver)));
    }
    a.transaction().commit();
  }
  std::unique_ptr<Child> instance(const QString &receiver, const QString &target) {
    auto c = std::make_unique<Child>(QStringList{QStringLiteral("audit"), database_, receiver, target});
    EXPECT_EQ(c->waitFor("ready"), QByteArray("ready"));
    return c;
  }
  static QByteArray ask(Child &c, const QByteArray &command, const QByteArray &answer) {
    c.send(command);
    return c.waitFor(answer);
  }

  TempDir dir_;
  QString database_;
};

TEST_F(TwoInstances, AnExportWritesOnlyItsOwnCollection) {
  const QString fileA = dir_.file(QStringLiteral("a.xml")), fileB = dir_.file(QStringLiteral("b.xml"));
  auto a = instance(QStringLiteral("00001"), fileA);
  auto b = instance(QStringLiteral("00002"), fileB);
  EXPECT_EQ(ask(*a, "collect", "collected"), QByteArray("collected 1 "));
  // B collects meanwhile: refused with the message, A's staging untouched.
  EXPECT_EQ(
      ask(*b, "collect", "collected"),
      QStringLiteral("collected 0 A NAV adatok kigyűjtése és exportja egy másik programablakban folyik. "
                     "Kérem próbálja újra, ha ott az adatszolgáltatás ablaka bezárult.")
          .toUtf8());
  EXPECT_EQ(ask(*a, "export", "exported"), QByteArray("exported 1 "));
  const QByteArray written = readFile(fileA);
  EXPECT_TRUE(written.contains("<szlasorszam>25000001</szlasorszam>"));
  EXPECT_TRUE(written.contains("<szlasorszam>25000002</szlasorszam>"));
  EXPECT_FALSE(written.contains("25100001"));
  EXPECT_TRUE(written.contains("<nev>Átvevő 00001</nev>"));

  // Once A's dialog is closed, B collects and exports its own.
  EXPECT_EQ(ask(*a, "close", "closed"), QByteArray("closed"));
  EXPECT_EQ(ask(*b, "collect", "collected"), QByteArray("collected 1 "));
  EXPECT_EQ(ask(*b, "export", "exported"), QByteArray("exported 1 "));
  EXPECT_TRUE(readFile(fileB).contains("<szlasorszam>25100001</szlasorszam>"));
  EXPECT_FALSE(readFile(fileB).contains("25000001"));
  // A, no longer holding the staging, does not write B's rows as its own.
  EXPECT_EQ(
      ask(*a, "export", "exported"),
      QStringLiteral("exported 0 A NAV adatokat ebben az ablakban újra ki kell gyűjteni az export előtt.")
          .toUtf8());
  a->send("quit");
  b->send("quit");
}

// The dialog's opening deletes the file of the last export, but not while
// another instance holds the staging: the file may be its export.
TEST_F(TwoInstances, AnOpeningKeepsTheFileOfAnotherInstancesExport) {
  const QString file = dir_.file(QStringLiteral("szamlak.xml"));
  auto a = instance(QStringLiteral("00001"), file);
  auto b = instance(QStringLiteral("00002"), file);
  EXPECT_EQ(ask(*a, "collect", "collected"), QByteArray("collected 1 "));
  EXPECT_EQ(ask(*a, "export", "exported"), QByteArray("exported 1 "));
  EXPECT_EQ(ask(*b, "open", "opened"), QByteArray("opened 1"));
  EXPECT_TRUE(readFile(file).contains("<szlasorszam>25000001</szlasorszam>"));
  EXPECT_EQ(ask(*a, "close", "closed"), QByteArray("closed"));
  EXPECT_EQ(ask(*b, "open", "opened"), QByteArray("opened 0"));
  a->send("quit");
  b->send("quit");
}

// The inventory hand-over's file in the working folder: while one instance
// has collected and not closed its dialog, another's collection is refused,
// so the first hands over its own lines.
TEST_F(TwoInstances, AnInventoryHandOverHandsOverItsOwnCollection) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));  // the instances' working folder
  const QString target = dir_.file(QStringLiteral("keszlet.xml"));
  auto inventory = [&](const char *receiver) {
    auto c = std::make_unique<Child>(
        QStringList{QStringLiteral("inventory"), database_, QString::fromLatin1(receiver), target});
    EXPECT_EQ(c->waitFor("ready"), QByteArray("ready"));
    return c;
  };
  auto a = inventory("00001");
  auto b = inventory("00002");
  QDir::setCurrent(previous);
  EXPECT_EQ(ask(*a, "collect", "collected"), QByteArray("collected 1 "));
  EXPECT_EQ(ask(*b, "collect", "collected"),
            QStringLiteral("collected 0 Az adatátadás a készlethez egy másik programablakban folyik. Kérem próbálja "
                           "újra, ha ott az adatátadás ablaka bezárult.")
                .toUtf8());
  EXPECT_EQ(ask(*a, "hand", "handed"), QStringLiteral("handed Átmásolva. Adatátadás végrehajtva.").toUtf8());
  EXPECT_TRUE(readFile(target).contains("25000001"));
  EXPECT_FALSE(readFile(target).contains("25100001"));
  // Once A's dialog has closed, B collects and hands over its own.
  EXPECT_EQ(ask(*a, "close", "closed"), QByteArray("closed"));
  EXPECT_EQ(ask(*b, "collect", "collected"), QByteArray("collected 1 "));
  EXPECT_EQ(ask(*b, "hand", "handed"), QStringLiteral("handed Átmásolva. Adatátadás végrehajtva.").toUtf8());
  EXPECT_TRUE(readFile(target).contains("25100001"));
  EXPECT_FALSE(readFile(target).contains("25000001"));
  a->send("quit");
  b->send("quit");
}

TEST_F(TwoInstances, AKilledInstancesHoldGoesWithIt) {
  auto a = instance(QStringLiteral("00001"), dir_.file(QStringLiteral("a.xml")));
  EXPECT_EQ(ask(*a, "collect", "collected"), QByteArray("collected 1 "));
  a->kill();
  auto b = instance(QStringLiteral("00002"), dir_.file(QStringLiteral("b.xml")));
  EXPECT_EQ(ask(*b, "collect", "collected"), QByteArray("collected 1 "));
  b->send("quit");
}

}  // namespace

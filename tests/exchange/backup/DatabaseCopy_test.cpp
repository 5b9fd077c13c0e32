// The consistent copy of an open database: the copy opens through db/ with
// the committed rows of the original, an existing target is never replaced,
// and a failed copy leaves nothing behind.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/backup/DatabaseCopy.h"
#include "support/child_process.h"
#include "support/db_fixture.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace vorik::test;

namespace {

const QString kBackupState = QStringLiteral("SELECT MON$BACKUP_STATE FROM MON$DATABASE");

class DatabaseCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = std::make_unique<TestDatabase>();
    for (int i = 1; i <= 25; ++i)
      database_->exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('%1', 'Termelő %1')").arg(i));
    database_->exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('1', 'Alma')"));
  }
  std::unique_ptr<TestDatabase> database_;
  TempDir target_;
};

TEST_F(DatabaseCopyTest, CopyOfAnOpenDatabaseHasItsCommittedRows) {
  // The program holds the database open with a read in its transaction;
  // another attachment has an insert it has not committed.
  auto read = database_->query();
  read->sql().add(QStringLiteral("SELECT * FROM OSTERMELO"));
  read->open();
  Attachment other(database_->path());
  other.exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('99', 'Nem véglegesített')"));
  other.exec(QStringLiteral("DELETE FROM TERMEK"));

  const QString copy = target_.file(QStringLiteral("2025_03_07_14_05.FDB"));
  backup::CopyDatabase(database_->path(), copy);

  {
    Attachment copied(copy);
    EXPECT_EQ(copied.count(QStringLiteral("OSTERMELO")), 25);
    EXPECT_EQ(copied.count(QStringLiteral("TERMEK")), 1);
    EXPECT_EQ(copied.value(kBackupState).toInt(), 0);
    // The copy is a database of its own: it takes writes.
    copied.exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('2', 'Körte')"));
    copied.transaction().commit();
    EXPECT_EQ(copied.count(QStringLiteral("TERMEK")), 2);
  }
  // The original is back to normal writing, its side file merged and gone,
  // and the other attachment's change commits there.
  other.transaction().commit();
  EXPECT_EQ(other.count(QStringLiteral("OSTERMELO")), 26);
  EXPECT_EQ(other.count(QStringLiteral("TERMEK")), 0);
  EXPECT_EQ(other.value(kBackupState).toInt(), 0);
  EXPECT_FALSE(QFileInfo::exists(database_->path() + QStringLiteral(".delta")));
  EXPECT_EQ(read->recordCount(), 25);
}

unsigned ModeOf(const QString &path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A copy killed midway (a real process, SIGKILL): the engine's lock and its
// side file stay, and a part of the copy under a temporary name.
void KillACopyMidway(const QString &database, const QString &target) {
  Child copier({QStringLiteral("backup-killed"), database, target});
  ASSERT_EQ(copier.waitFor("ready"), QByteArray("ready"));
  copier.kill();
  Attachment a(database);
  ASSERT_EQ(a.value(kBackupState).toInt(), 1);
}

TEST_F(DatabaseCopyTest, AfterACopyWasKilledTheNextHoldsTheDatabaseAsItIsNow) {
  ASSERT_EQ(::chmod(QFile::encodeName(database_->path()).constData(), 0600), 0);
  const QString copy = target_.file(QStringLiteral("2025_03_07_14_05.FDB"));
  KillACopyMidway(database_->path(), copy);
  {
    // Written after the crash: it goes to the side file while the lock lasts.
    Attachment later(database_->path());
    later.exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('2', 'Körte')"));
    later.transaction().commit();
  }
  ASSERT_TRUE(QFileInfo::exists(database_->path() + QStringLiteral(".delta")));

  // The next backup has a name of a later minute, typed as long as a name
  // may be (its temporary's name is cut to fit).
  const QString killed = copy;
  const QString next = target_.file(QString(240, u'm') + QStringLiteral(".FDB"));
  backup::CopyDatabase(database_->path(), next);
  // The killed run's part is gone, and nothing else is left.
  EXPECT_EQ(QDir(target_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(next).fileName()});
  // (The engine opens no path that long: the copy is looked at by a short name.)
  ASSERT_TRUE(QFile::rename(next, killed));
  {
    Attachment copied(killed);
    EXPECT_EQ(copied.count(QStringLiteral("TERMEK")), 2);
    EXPECT_EQ(copied.count(QStringLiteral("OSTERMELO")), 25);
    EXPECT_EQ(copied.value(kBackupState).toInt(), 0);
  }
  // Tax ids and birth dates are readable by whom the database is.
  EXPECT_EQ(ModeOf(killed), 0600u);
  Attachment a(database_->path());
  EXPECT_EQ(a.value(kBackupState).toInt(), 0);
  EXPECT_FALSE(QFileInfo::exists(database_->path() + QStringLiteral(".delta")));
}

TEST_F(DatabaseCopyTest, ALockLeftByAKilledCopyIsEndedWithoutACopy) {
  KillACopyMidway(database_->path(), target_.file(QStringLiteral("x.FDB")));
  backup::EndLeftOverBackupLock(database_->path());
  Attachment a(database_->path());
  EXPECT_EQ(a.value(kBackupState).toInt(), 0);
  EXPECT_FALSE(QFileInfo::exists(database_->path() + QStringLiteral(".delta")));
  // Nothing to end: nothing happens.
  backup::EndLeftOverBackupLock(database_->path());
  EXPECT_EQ(a.value(kBackupState).toInt(), 0);
}

TEST_F(DatabaseCopyTest, ExistingTargetIsNeverReplaced) {
  const QString copy = target_.file(QStringLiteral("2025_03_07_14_05.FDB"));
  ASSERT_TRUE(writeFile(copy, "an earlier backup"));
  try {
    backup::CopyDatabase(database_->path(), copy);
    FAIL() << "an existing target was replaced";
  } catch (const backup::CopyError &e) {
    EXPECT_EQ(e.reason(), QStringLiteral("A \"Hová\" -ban megadott fálj már létezik."));
  }
  EXPECT_EQ(readFile(copy), QByteArray("an earlier backup"));
  // The lock was released: the original takes writes at once.
  Attachment other(database_->path());
  EXPECT_EQ(other.value(kBackupState).toInt(), 0);
}

TEST_F(DatabaseCopyTest, FailedCopiesLeaveNothing) {
  // A missing target folder.
  const QString inMissing = target_.file(QStringLiteral("nincs/2025_03_07_14_05.FDB"));
  EXPECT_THROW(backup::CopyDatabase(database_->path(), inMissing), backup::CopyError);
  EXPECT_FALSE(QFileInfo::exists(inMissing));

  // A source that is no database: refused before anything is written.
  const QString notDb = target_.file(QStringLiteral("szoveg.fdb"));
  ASSERT_TRUE(writeFile(notDb, QByteArray(8192, 'x')));
  const QString copy = target_.file(QStringLiteral("masolat.FDB"));
  try {
    backup::CopyDatabase(notDb, copy);
    FAIL() << "a text file was copied as a database";
  } catch (const backup::CopyError &e) {
    EXPECT_TRUE(e.reason().startsWith(QStringLiteral("A \"Honnan\" -ban megadott fálj nem nyitható meg"))) << e.what();
  }
  EXPECT_FALSE(QFileInfo::exists(copy));

  // An unwritable folder (not for the superuser, whom permissions do not stop).
  if (::geteuid() != 0) {
    QDir(target_.path()).mkdir(QStringLiteral("ro"));
    QFile::setPermissions(target_.file(QStringLiteral("ro")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_THROW(backup::CopyDatabase(database_->path(), target_.file(QStringLiteral("ro/x.FDB"))),
                 backup::CopyError);
  }
}

// A copy is the whole database file, page for page (its rows: see above),
// and never written over by a second copy of the same name.
TEST_F(DatabaseCopyTest, ACopyIsTheWholeFileAndIsNeverWrittenOver) {
  const QString copy = target_.file(QStringLiteral("2025_03_07_14_05.FDB"));
  backup::CopyDatabase(database_->path(), copy);
  const QByteArray source = readFile(database_->path()), copied = readFile(copy);
  const int pageSize = static_cast<unsigned char>(source[16]) | static_cast<unsigned char>(source[17]) << 8;
  EXPECT_EQ(copied.size(), source.size());
  EXPECT_EQ(copied.size() % pageSize, 0);
  EXPECT_THROW(backup::CopyDatabase(database_->path(), copy), backup::CopyError);
  EXPECT_EQ(readFile(copy), copied);
}

// The database on a real nearly full disk (8 to 16 KB free): the backup is
// refused before the engine's lock. A lock begun there as before fails
// half-way and stays on: the user is told, and it ends once there is room.
class NearlyFullDisk : public ::testing::TestWithParam<int> {};

TEST_P(NearlyFullDisk, TheBackupIsRefusedBeforeTheLockAndAHalfBegunLockEndsOnceThereIsRoom) {
  FullDisk disk("8m");
  if (!disk.mounted()) GTEST_SKIP() << "needs a real small file system";
  const QString db = createTestDatabase(disk.path()), delta = db + QStringLiteral(".delta");
  TempDir target;
  disk.fill(GetParam());
  auto refusal = [](const std::function<void()> &run) {
    try {
      run();
    } catch (const backup::CopyError &e) {
      return e.reason();
    }
    return QString();
  };
  EXPECT_TRUE(refusal([&] { backup::CopyDatabase(db, target.file(QStringLiteral("2025_03_07_14_05.FDB"))); })
                  .startsWith(QStringLiteral("Nincs elég szabad hely azon a lemezen, ahol az adatbázis van")));
  EXPECT_FALSE(db::fileBackupLocked(db) || QFileInfo::exists(delta));
  EXPECT_ANY_THROW({
    Attachment earlier(db);
    earlier.exec(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
    earlier.transaction().commit();
  });
  EXPECT_EQ(refusal([&] { backup::EndLeftOverBackupLock(db); }), db::backupLockLeftText(db));
  disk.release();
  {
    Attachment later(db);  // written into the side file while the lock is on
    later.exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('1', 'Alma')"));
    later.transaction().commit();
  }
  backup::EndLeftOverBackupLock(db);
  EXPECT_FALSE(db::fileBackupLocked(db) || QFileInfo::exists(delta));
  // A plain copy of the database file opens with the row.
  ASSERT_TRUE(QFile::copy(db, target.file(QStringLiteral("plain.fdb"))));
  Attachment copied(target.file(QStringLiteral("plain.fdb")));
  EXPECT_EQ(copied.count(QStringLiteral("TERMEK")), 1);
}

INSTANTIATE_TEST_SUITE_P(Free, NearlyFullDisk, ::testing::Values(8 * 1024, 16 * 1024));

}  // namespace

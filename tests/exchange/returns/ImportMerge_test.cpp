// The merge of two sets of import files: merged bytes, retired pairs, and
// every way it must stop before a file is written or renamed.
#include "exchange/returns/ImportMerge.h"
#include "exchange/returns/ReturnControls.h"
#include "platform/process_lock.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "unwritable.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace returns;
using vorik::test::makeUnreadable;
using vorik::test::TempDir;
using vorik::test::UnreadableFile;
using vorik::test::unreadableFiles;

namespace {

const QString kA = QStringLiteral("C:\\QZ2025\\03\\");
const QString kB = QStringLiteral("E:\\qz2025\\03\\");

// A producer's file as the gather writes it, with a paid amount.
QByteArray Imp(const char *adoazon, int paid, const QByteArray &extra = {}) {
  return QByteArray("$ny_azon=2508M\r\n$sorok_sz\xE1ma=26\r\n$info=1_Kiss_") + adoazon + "\r\n" + extra +
         "24804=" + QByteArray::number(paid) + "\r\n24805=1\r\n13847=\r\n";
}

// Drive C: holds folder A, drive E: (the pen drive) folder B.
class MergeFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("VORIK_DRIVE_C", QFile::encodeName(c_.path()));
    qputenv("VORIK_DRIVE_E", QFile::encodeName(e_.path()));
    QDir(c_.path()).mkpath(QStringLiteral("QZ2025/03"));
    QDir(e_.path()).mkpath(QStringLiteral("qz2025/03"));
    // A working folder of its own, as each program has: the merge keeps its journal there.
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work_.path()));
  }
  void TearDown() override {
    QDir::setCurrent(previous_);
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_E");
  }
  QString a(const QString &n) const { return c_.file(QStringLiteral("QZ2025/03/") + n); }
  QString b(const QString &n) const { return e_.file(QStringLiteral("qz2025/03/") + n); }
  static void put(const QString &path, const QByteArray &bytes) { vorik::test::writeFile(path, bytes); }
  static QByteArray read(const QString &path) { return vorik::test::readFile(path, "<missing>"); }
  static QMap<QString, QByteArray> folder(const QString &dir) {
    QMap<QString, QByteArray> out;
    for (const QString &n : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
      if (!platform::isHoldFileName(n)) out[n] = read(dir + '/' + n);  // a hold's lock file is no data
    return out;
  }
  QMap<QString, QByteArray> both() const {
    QMap<QString, QByteArray> m;
    for (const auto &[n, v] : folder(c_.file(QStringLiteral("QZ2025/03"))).asKeyValueRange()) m["A/" + n] = v;
    for (const auto &[n, v] : folder(e_.file(QStringLiteral("qz2025/03"))).asKeyValueRange()) m["B/" + n] = v;
    return m;
  }
  // Runs the merge expecting it to stop; its message.
  static QString Refused(const QStringList &paired) {
    try {
      Merge(kA, kB, paired);
    } catch (const ReturnError &e) {
      return e.message();
    }
    return QStringLiteral("<merged>");
  }
  static QStringList Merge(const QString &fa, const QString &fb, const QStringList &paired) {
    return returns::Merge(fa, fb, paired);
  }

  TempDir c_, e_, work_;
  QString previous_;
};

TEST(MergeParts, LinesPairsAndKeys) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (QList<QByteArray>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
  EXPECT_EQ(SplitLines(""), QList<QByteArray>{});
  EXPECT_EQ(PairKey(QStringLiteral("2508M202503_8123456789.imp")), QStringLiteral("_8123456789.imp"));
  EXPECT_EQ(PairKey(QStringLiteral("short.imp")), QStringLiteral("short.imp"));
  const QStringList a{"2508M202503_8000000001.imp", "2508M202503_8000000002.imp", "x.imp"};
  const QStringList b{"2508M202503_8000000003.imp", "OTHERNAME_8000000002.imp", "2508M202503_8000000001.imp", "x.imp"};
  EXPECT_EQ(PairedNames(a, b), (QStringList{"OTHERNAME_8000000002.imp", "2508M202503_8000000001.imp", "x.imp"}));
}

TEST(MergeParts, MergedLinesCarryThePairsSums) {
  const QByteArray fileA =
      "$info=a\r\n12456=100\r\n23790= 20 \r\n23790=30\r\n24804=68825\r\n12456=1\r\nlast";
  const QByteArray fileB = "12456=7\n23790=\n23790=   5\n24804=5000\n";
  // A animal 1 (last line), A plant 30, B animal 7, B plant 5.
  EXPECT_EQ(MergedFile(QStringLiteral("A"), fileA, QStringLiteral("B"), fileB),
            QByteArray("$info=a\r\n12456=0\r\n23790=43\r\n23790=43\r\n24804=73825\r\n12456=0\r\nlast\r\n"));
  // A line of six characters and a blank value count as 0.
  EXPECT_EQ(MergedFile(QStringLiteral("A"), "23790=\r\n24804=", QStringLiteral("B"), "23790=  \r\n24804=1"),
            QByteArray("23790=0\r\n24804=1\r\n"));
  // Amounts the merged file has no line for stop the merge instead of vanishing.
  EXPECT_THROW(MergedFile(QStringLiteral("A"), "12456=5\r\n", QStringLiteral("B"), ""), ReturnError);
  EXPECT_THROW(MergedFile(QStringLiteral("A"), "23790=0\r\n", QStringLiteral("B"), "24804=3"), ReturnError);
  EXPECT_THROW(MergedFile(QStringLiteral("A"), "23790=1\r\n", QStringLiteral("B"), "23790=1,5"), ReturnError);
}

TEST_F(MergeFolders, APairMergesIntoAAndBothHalvesAreRetired) {
  const QByteArray fileA = Imp("8123456789", 68825), fileB = Imp("8123456789", 5000);
  put(a("2508M202503_8123456789.imp"), fileA);
  put(b("2508M202503_8123456789.imp"), fileB);
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000002.imp"), Imp("8000000002", 2));
  EXPECT_EQ(Merge(kA, kB, {"2508M202503_8123456789.imp"}), QStringList());
  QMap<QString, QByteArray> expected{
      {"A/2508M202503_8123456789.imp", Imp("8123456789", 73825)},
      {"A/2508M202503_8123456789.old", fileA},
      {"A/2508M202503_8000000001.imp", Imp("8000000001", 1)},
      {"B/2508M202503_8123456789.old", fileB},
      {"B/2508M202503_8000000002.imp", Imp("8000000002", 2)},
  };
  EXPECT_EQ(both(), expected);
}

TEST_F(MergeFolders, ABadValueStopsBeforeAnythingIsWrittenOrRenamed) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 2));
  put(a("2508M202503_8123456789.imp"), Imp("8123456789", 68825));
  put(b("2508M202503_8123456789.imp"), Imp("8123456789", 5000, "23790=12a\r\n"));
  const auto before = both();
  EXPECT_EQ(Refused({"2508M202503_8000000001.imp", "2508M202503_8123456789.imp"}),
            QStringLiteral("Hiba! A(z) E:\\qz2025\\03\\2508M202503_8123456789.imp fájlban nem egész szám áll: 23790=12a"));
  EXPECT_EQ(both(), before);
}

TEST_F(MergeFolders, NamesThatDifferBeforeTheKeyStopAtTheMissingFileOfA) {
  put(a("2508M202503_8123456789.imp"), Imp("8123456789", 1));
  put(b("2508M202502_8123456789.imp"), Imp("8123456789", 2));
  const QStringList paired = PairedNames({"2508M202503_8123456789.imp"}, {"2508M202502_8123456789.imp"});
  ASSERT_EQ(paired, QStringList{"2508M202502_8123456789.imp"});
  const auto before = both();
  EXPECT_EQ(Refused(paired), QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\2508M202502_8123456789.imp fájl nem található."));
  EXPECT_EQ(both(), before);
}

// B's half that cannot be read stops the merge with the system's reason.
TEST_F(MergeFolders, AnUnreadableHalfOfBStopsNamingTheReason) {
  const QString name = QStringLiteral("2508M202503_8123456789.imp");
  for (const UnreadableFile &c : unreadableFiles()) {
    SCOPED_TRACE(c.reason.toStdString());
    put(a(name), Imp("8123456789", 1));
    ASSERT_TRUE(makeUnreadable(b(name), c));
    const auto before = both();
    EXPECT_EQ(Refused({name}),
              QStringLiteral("Hiba! A(z) E:\\qz2025\\03\\%1 fájl nem olvasható: %2").arg(name, c.reason));
    EXPECT_EQ(both(), before);
  }
}

// A stopped merge's pair whose kept file in A cannot be read is named with
// the system's reason, and the journal stays for the next opening.
TEST_F(MergeFolders, ARecoveryNamesWhyAPairsFileCannotBeRead) {
  const QString name = QStringLiteral("2508M202503_8000000001.imp"), old = QStringLiteral("2508M202503_8000000001.old");
  for (const UnreadableFile &c : unreadableFiles()) {
    SCOPED_TRACE(c.reason.toStdString());
    put(a(name), Imp("8000000001", 11));
    put(b(name), Imp("8000000001", 1));
    // Not there: a link to nothing, which the folder lists all the same.
    ASSERT_TRUE(makeUnreadable(a(old), c));
    ASSERT_TRUE(c.kind != UnreadableFile::Missing || QFile::link(a(QStringLiteral("nowhere")), a(old)));
    put(work_.file(MergeJournal()), "C:\\QZ2025\\03\\\r\nE:\\qz2025\\03\\\r\n" + name.toLatin1() + "\r\n");
    const std::optional<MergeRecovery> r = RecoverMerge();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->notRight, QStringList{name + " (" + c.reason + ")"});
    EXPECT_EQ(r->finished, QStringList());
    EXPECT_TRUE(QFile::exists(work_.file(MergeJournal())));
  }
}

// The file lists come in Hungarian alphabetical order, not in byte order.
TEST_F(MergeFolders, FileListsAreInHungarianOrder) {
  for (const char *n : {"Zala.imp", "\xC3\xA1" "bel.imp", "Abel.imp", "abc.imp", "\xC5\x90ri.imp", "\xC3\x96reg.imp", "Olga.imp", "x.old"})
    put(a(QString::fromUtf8(n)), "1");
  EXPECT_EQ(FilesOf(kA, QStringLiteral("*.imp")),
            (QStringList{"abc.imp", "Abel.imp", "ábel.imp", "Olga.imp", "Öreg.imp", "Őri.imp", "Zala.imp"}));
}

TEST_F(MergeFolders, NoPairChangesNothing) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000002.imp"), Imp("8000000002", 2));
  const auto before = both();
  EXPECT_EQ(Merge(kA, kB, {}), QStringList());
  EXPECT_EQ(both(), before);
}

TEST_F(MergeFolders, FoldersThatAreTheSameMissingOrAlreadyMergedAreRefused) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 2));
  const auto before = both();
  try {
    Merge(kA, QStringLiteral("c:\\qz2025\\03"), {"2508M202503_8000000001.imp"});
    ADD_FAILURE() << "one folder merged with itself";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Nem lehet azonos a könyvtár "));
  }
  try {
    Merge(kA, QStringLiteral("E:\\nincs\\"), {"2508M202503_8000000001.imp"});
    ADD_FAILURE() << "a missing folder";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Hiba! A(z) E:\\nincs\\ mappa nem létezik."));
  }
  // A retired file of an earlier merge is never overwritten.
  put(b("2508M202503_8000000001.old"), "earlier");
  const auto withOld = both();
  EXPECT_TRUE(Refused({"2508M202503_8000000001.imp"}).contains(QStringLiteral("2508M202503_8000000001.old fájl már létezik")));
  EXPECT_EQ(both(), withOld);
  QFile::remove(b("2508M202503_8000000001.old"));
  EXPECT_EQ(both(), before);
}

TEST_F(MergeFolders, StrayScratchFilesOfAnEarlierRunAreNeverInstalled) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 2));
  put(a("2508M202503_8000000009.im_"), "stray");
  put(a("2508M202503_8000000009.imp"), Imp("8000000009", 9));
  EXPECT_EQ(Merge(kA, kB, {"2508M202503_8000000001.imp"}), QStringList());
  EXPECT_EQ(read(a("2508M202503_8000000009.imp")), Imp("8000000009", 9));
  EXPECT_EQ(read(a("2508M202503_8000000009.im_")), QByteArray("stray"));
  EXPECT_EQ(read(a("2508M202503_8000000001.imp")), Imp("8000000001", 3));
}

TEST_F(MergeFolders, ARenameThatFailsIsReportedAndTheOthersGoOn) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 2));
  QStringList failures;
  {
    vorik::test::Unwritable lock(e_.file(QStringLiteral("qz2025/03")));
    ASSERT_TRUE(lock.ok());
    failures = Merge(kA, kB, {"2508M202503_8000000001.imp"});
  }
  // The operating system's code: no permission (13), or not permitted (1).
  ASSERT_EQ(failures.size(), 1);
  EXPECT_TRUE(failures[0] == QStringLiteral(" \"old\" Rename2 átnevezési hiba kódja = 13") ||
              failures[0] == QStringLiteral(" \"old\" Rename2 átnevezési hiba kódja = 1"))
      << failures[0].toStdString();
  // B's file stays, so A's side is undone: B's amount counts once, in B's file.
  EXPECT_EQ(read(a("2508M202503_8000000001.imp")), Imp("8000000001", 1));
  EXPECT_EQ(read(b("2508M202503_8000000001.imp")), Imp("8000000001", 2));
  EXPECT_EQ(folder(c_.file(QStringLiteral("QZ2025/03"))).keys(), QStringList{"2508M202503_8000000001.imp"});
}

TEST_F(MergeFolders, ValuesOver32BitsAreRefusedNamingTheFileBeforeAnythingChanges) {
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 1));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 2, "23790=2147483648\r\n"));
  const auto before = both();
  EXPECT_EQ(Refused({"2508M202503_8000000001.imp"}),
            QStringLiteral("Hiba! A(z) E:\\qz2025\\03\\2508M202503_8000000001.imp fájlban túl nagy szám áll (32 "
                           "bitre): 23790=2147483648"));
  EXPECT_EQ(both(), before);
  // The sums of a folder refuse it too, naming the file.
  try {
    SumFolder(kB, {"2508M202503_8000000001.imp"});
    ADD_FAILURE() << "a value over 32 bits must be refused";
  } catch (const ReturnError &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("E:\\qz2025\\03\\2508M202503_8000000001.imp"))) << e.message().toStdString();
  }
  // Two values that fit, whose merged sum does not.
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 2147483000));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 1000));
  const auto again = both();
  EXPECT_TRUE(Refused({"2508M202503_8000000001.imp"}).contains(QStringLiteral("32 bitre"))) ;
  EXPECT_EQ(both(), again);
  // The largest 32-bit values merge; the paid amounts are summed by the folder sums too.
  put(a("2508M202503_8000000001.imp"), Imp("8000000001", 2147483000, "23790=-2147483648\r\n"));
  put(b("2508M202503_8000000001.imp"), Imp("8000000001", 647, "23790=2147483647\r\n"));
  EXPECT_EQ(SumFolder(kA, {"2508M202503_8000000001.imp"}).paid, 2147483000);
  EXPECT_TRUE(Merge(kA, kB, {"2508M202503_8000000001.imp"}).isEmpty());
  EXPECT_EQ(read(a("2508M202503_8000000001.imp")), Imp("8000000001", 2147483647, "23790=-1\r\n"));
}

}  // namespace

namespace {

// Two programs in one working folder: while one merges, the other neither
// merges nor takes the journal of the merge under way for a stopped one; nor
// does it put a stopped one right while another program gathers into its folder.
TEST_F(MergeFolders, AnotherProgramsMergeUnderWayIsLeftAlone) {
  TempDir &work = work_;
  put(a(QStringLiteral("2508M202503_8000000001.imp")), Imp("8000000001", 10));
  put(b(QStringLiteral("2508M202503_8000000001.imp")), Imp("8000000001", 1));
  const QString journal =
      QStringLiteral("C:\\QZ2025\\03\\\r\nE:\\qz2025\\03\\\r\n2508M202503_8000000001.imp\r\n");
  put(work.file(MergeJournal()), journal.toLatin1());
  put(a(QStringLiteral("2508M202503_8000000001.old")),
            Imp("8000000001", 10));  // the other's first step
  const auto before = folder(c_.file(QStringLiteral("QZ2025/03")));
  {
    // The other program's hold on the working folder (the system drops it
    // with its process).
    const auto other = platform::ProcessLock::take(QDir::currentPath(), QStringLiteral("osszevonas"));
    ASSERT_TRUE(other);
    EXPECT_EQ(RecoverMerge(), std::nullopt);
    EXPECT_EQ(read(work.file(MergeJournal())), journal.toLatin1());
    EXPECT_EQ(folder(c_.file(QStringLiteral("QZ2025/03"))), before);
    try {
      Merge(kA, kB, {QStringLiteral("2508M202503_8000000001.imp")});
      ADD_FAILURE() << "a second merge ran";
    } catch (const ReturnError &e) {
      EXPECT_EQ(e.message(), QString::fromUtf8(kMergeBusy));
    }
    EXPECT_EQ(folder(c_.file(QStringLiteral("QZ2025/03"))), before);
  }
  {
    // Another program's gather writing folder A: the stopped merge is put
    // right at a later opening.
    const auto gather = HoldMonthFolder(kA);
    try {
      RecoverMerge();
      ADD_FAILURE() << "recovered while a gather writes folder A";
    } catch (const ReturnError &e) {
      EXPECT_TRUE(e.message().contains(QStringLiteral("kigyűjtés vagy összevonás"))) << e.message().toStdString();
    }
    EXPECT_EQ(read(work.file(MergeJournal())), journal.toLatin1());
    EXPECT_EQ(folder(c_.file(QStringLiteral("QZ2025/03"))), before);
  }
  // Once the others have gone, its journal is one of a stopped merge.
  EXPECT_EQ(RecoverMerge(), std::optional<MergeRecovery>(MergeRecovery()));
  EXPECT_FALSE(QFile::exists(work.file(MergeJournal())));
  EXPECT_FALSE(QFile::exists(a(QStringLiteral("2508M202503_8000000001.old"))));
}

}  // namespace

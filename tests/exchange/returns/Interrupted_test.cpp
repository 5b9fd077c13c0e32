// A merge and a gather killed part-way, by a real second process killed at
// every step in turn: what a kill leaves, and what the next opening of the
// merge makes of it.
#include "exchange/returns/Gather08M.h"
#include "exchange/returns/ImportMerge.h"
#include "platform/process_lock.h"
#include "returns_fixture.h"
#include "support/child_process.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

using namespace vorik::test;

namespace {

const QString kA = QStringLiteral("C:\\QZ2025\\03\\");
const QString kB = QStringLiteral("E:\\QZ2025\\03\\");
const returns::Period kMarch{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};

// A hook that kills the process after the given number of steps, counted
// over every copy of it.
std::function<void()> KillAfter(int steps) {
  return [steps, done = std::make_shared<int>(0)] {
    if (++*done == steps) ::kill(::getpid(), SIGKILL);
  };
}

// The child of the tests below, killing itself after the given number of
// steps: "merge <drive C> <drive E> <working folder> <steps> <pair names...>"
// or "gather <database> <drive C> <steps>". Exit status 0 when it ran to its end.
const ChildMode kMerge("merge", [](const QStringList &args) {
  if (args.size() < 4) return 2;
  qputenv("VORIK_DRIVE_C", QFile::encodeName(args[0]));
  qputenv("VORIK_DRIVE_E", QFile::encodeName(args[1]));
  QDir::setCurrent(args[2]);
  returns::Merge(kA, kB, args.mid(4), KillAfter(args[3].toInt()));
  return 0;
});
// "gather <database> <drive C> <steps> wait" stops at the step instead, tells
// "ready" and waits there for its parent to kill it.
const ChildMode kGather("gather", [](const QStringList &args) {
  if (args.size() != 3 && args.size() != 4) return 2;
  std::unique_ptr<TData> data = openDataModule(args[0]);
  qputenv("VORIK_DRIVE_C", QFile::encodeName(args[1]));
  const int steps = args[2].toInt();
  std::function<void()> stop = KillAfter(steps);
  if (args.size() == 4)
    stop = [steps, done = std::make_shared<int>(0)] {
      if (++*done != steps) return;
      tellParent(QStringLiteral("ready"));
      for (;;) ::pause();
    };
  returns::Gather(kMarch, QStringLiteral("R1"), false, stop);
  closeDataModule(data);
  return 0;
});

// The amount paid that an import file states (its 24804 field).
qint64 PaidIn(const QByteArray &file) {
  const qsizetype at = file.indexOf("\n24804=");
  return at < 0 ? 0 : file.mid(at + 7, file.indexOf('\r', at + 7) - at - 7).toLongLong();
}

QByteArray Imp(int producer, int paid) {
  return "$ny_azon=2508M\r\n$info=" + QByteArray::number(producer) + "\r\n24804=" + QByteArray::number(paid) +
         "\r\n24805=1\r\n";
}

QString Name(int producer) { return QStringLiteral("2508M202503_%1.imp").arg(8000000000LL + producer); }
QString Old(int producer) { return QStringLiteral("2508M202503_%1.old").arg(8000000000LL + producer); }

TEST(InterruptedMerge, AtEveryStepEachProducerKeepsAFileAndTheNextOpeningPutsItRight) {
  constexpr int kPairs = 4;
  // The journal, the scratch files, three steps a pair, the journal removed.
  constexpr int kSteps = 1 + kPairs + 3 * kPairs + 1;
  int finishedSome = 0, undidSome = 0;
  for (int step = 1; step <= kSteps; ++step) {
    TempDir c, e, work;
    const QString a = c.file(QStringLiteral("QZ2025/03/")), b = e.file(QStringLiteral("QZ2025/03/"));
    QDir().mkpath(a);
    QDir().mkpath(b);
    QStringList names;
    for (int i = 1; i <= kPairs; ++i) {
      writeFile(a + Name(i), Imp(i, 100 * i));
      writeFile(b + Name(i), Imp(i, i));
      names << Name(i);
    }
    writeFile(b + Name(9), Imp(9, 9000));  // no partner
    Child merge(QStringList{QStringLiteral("merge"), c.path(), e.path(), work.path(), QString::number(step)} + names);
    ASSERT_EQ(merge.wait(), Child::kKilled) << step;

    // At the kill: every producer has its ".imp", A's never went missing.
    for (int i = 1; i <= kPairs; ++i) EXPECT_TRUE(QFile::exists(a + Name(i))) << step << " " << i;

    // The next opening: drives mapped, the program in its working folder.
    qputenv("VORIK_DRIVE_C", QFile::encodeName(c.path()));
    qputenv("VORIK_DRIVE_E", QFile::encodeName(e.path()));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    const bool journal = QFile::exists(returns::MergeJournal());
    returns::RecoverMerge();
    EXPECT_FALSE(QFile::exists(returns::MergeJournal())) << step;
    QDir::setCurrent(previous);
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_E");
    EXPECT_EQ(journal, step < kSteps) << step;

    // Each pair is merged whole or as before, the amounts its ".imp" files
    // state neither lost nor counted twice; nothing else is left.
    for (int i = 1; i <= kPairs; ++i) {
      const bool merged = QFile::exists(b + Old(i));
      if (merged) {
        ++finishedSome;
        EXPECT_EQ(readFile(a + Name(i)), Imp(i, 101 * i)) << step << " " << i;
        EXPECT_EQ(readFile(a + Old(i)), Imp(i, 100 * i)) << step << " " << i;
        EXPECT_EQ(readFile(b + Old(i)), Imp(i, i)) << step << " " << i;
        EXPECT_FALSE(QFile::exists(b + Name(i))) << step << " " << i;
      } else {
        ++undidSome;
        EXPECT_EQ(readFile(a + Name(i)), Imp(i, 100 * i)) << step << " " << i;
        EXPECT_EQ(readFile(b + Name(i)), Imp(i, i)) << step << " " << i;
        EXPECT_FALSE(QFile::exists(a + Old(i))) << step << " " << i;
      }
      EXPECT_EQ(PaidIn(readFile(a + Name(i))) + PaidIn(readFile(b + Name(i))), 101 * i) << step << " " << i;
    }
    // (The killed merge's hold file may stay, hidden and never read.)
    for (const QString &n : QDir(a).entryList(QDir::Files | QDir::Hidden | QDir::System))
      EXPECT_TRUE(n.endsWith(QStringLiteral(".imp")) || n.endsWith(QStringLiteral(".old")) ||
                  platform::isHoldFileName(n))
          << step << " " << n.toStdString();
    EXPECT_EQ(readFile(b + Name(9)), Imp(9, 9000));
  }
  // The kills fell both before and after pairs were installed.
  EXPECT_GT(finishedSome, 0);
  EXPECT_GT(undidSome, 0);
}

// The month folder holds an earlier gather: its list file naming eight
// import files.
class InterruptedGather : public ReturnsTest {
 protected:
  void SetUp() override {
    ReturnsTest::SetUp();
    if (filled_ == dbPath()) return;  // each suite run has a database of its own
    filled_ = dbPath();
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Első')"));
    for (int i = 1; i <= 3; ++i) {
      exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('%1', 'Termelő %1', '%2')")
               .arg(i)
               .arg(8100000000LL + i));
      exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG) "
                          "VALUES ('2500000%1', '%1', 'R1', '2025-03-02', %2)")
               .arg(i)
               .arg(100 * i));
    }
  }
  static inline QString filled_;
};

TEST_F(InterruptedGather, AListFileNeverNamesAFileThatIsNotThere) {
  const QString month = disk(kA);
  constexpr int kEarlier = 8;
  // Killed after each step in turn until the gather runs to its end.
  bool killed = true;
  int step = 0;
  while (killed && ++step < 40) {
    QDir(month).removeRecursively();
    QDir().mkpath(month);
    QStringList listed;
    for (int i = 1; i <= kEarlier; ++i) {
      const QString name = QStringLiteral("2508M202503_%1.imp").arg(8000000000LL + i);
      writeFile(month + QLatin1Char('/') + name, "earlier");
      listed << kA + name;
    }
    writeFile(month + QStringLiteral("/2508M_20250301_0315.txt"),
              (listed.join(QStringLiteral("\r\n")) + "\r\n").toLatin1());
    Child gather({QStringLiteral("gather"), dbPath(), drive_->path(), QString::number(step)});
    const int status = gather.wait();
    killed = status == Child::kKilled;
    if (!killed) {
      ASSERT_EQ(status, 0);
      EXPECT_EQ(QDir(month).entryList(QDir::Files | QDir::Hidden).size(), 4);  // three files and their list
    }

    // Once a file of this gather is there, no file of the month holds the
    // earlier figures under a name the return is read from.
    bool anyNew = false, anyEarlier = false;
    for (const QString &imp : QDir(month).entryList({QStringLiteral("*.imp")}, QDir::Files)) {
      const bool earlier = readFile(month + QLatin1Char('/') + imp) == "earlier";
      anyEarlier = anyEarlier || earlier;
      anyNew = anyNew || !earlier;
    }
    EXPECT_FALSE(anyNew && anyEarlier) << step;
    for (const QString &list : QDir(month).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
      for (const QString &line :
           QString::fromLatin1(readFile(month + QLatin1Char('/') + list)).split(QStringLiteral("\r\n"))) {
        if (line.isEmpty()) continue;
        EXPECT_TRUE(QFile::exists(disk(line))) << step << " " << list.toStdString() << " names " << line.toStdString();
      }
    }
  }
  // The list file, the spares and the files: several steps were killed.
  EXPECT_FALSE(killed);
  EXPECT_GT(step, 5);
}

// Two programs gather one month: while one writes the month folder (its
// process stopped there at each step in turn), the other's gather is refused
// with a message and changes nothing; once the first is gone, it runs.
TEST_F(InterruptedGather, ASecondGatherOfTheMonthIsRefusedWhileOneRuns) {
  const QString month = disk(kA);
  for (const int step : {1, 2, 3}) {
    {
      Child first({QStringLiteral("gather"), dbPath(), drive_->path(), QString::number(step), QStringLiteral("wait")});
      ASSERT_EQ(first.waitFor("ready"), QByteArray("ready")) << step;
      const auto before = folderBytes(kA);
      try {
        returns::Gather(kMarch, QStringLiteral("R1"), false);
        ADD_FAILURE() << "a second gather ran beside the first, step " << step;
      } catch (const returns::ReturnError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("A(z) C:\\QZ2025\\03\\ mappába most a program egy másik példánya "
                                              "ír (kigyűjtés vagy összevonás). Kérem próbálja újra, ha ott végzett."));
      }
      EXPECT_EQ(folderBytes(kA), before) << step;
    }
    EXPECT_EQ(returns::Gather(kMarch, QStringLiteral("R1"), false).files.size(), 3) << step;
    EXPECT_EQ(QDir(month).entryList(QDir::Files | QDir::Hidden).size(), 4) << step;
  }
}

}  // namespace

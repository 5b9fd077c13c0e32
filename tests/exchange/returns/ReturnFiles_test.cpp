// The import file writer without a database: names, the period check, the
// optional OCSG line, name parts, amounts, and files that are complete or
// not there when the folder, the target or the disk refuses.
#include "exchange/returns/ReturnFiles.h"
#include "support/child_process.h"
#include "support/full_disk.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "unwritable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace returns;
using vorik::test::Child;
using vorik::test::FullDisk;
using vorik::test::TempDir;

namespace {

// Drive C: is a fresh folder holding "QZ2025\03".
class ReturnFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("VORIK_DRIVE_C", QFile::encodeName(drive_.path()));
    QDir(drive_.path()).mkpath(QStringLiteral("QZ2025/03"));
  }
  void TearDown() override { qunsetenv("VORIK_DRIVE_C"); }
  QString disk(const QString &rel) const { return drive_.file(rel); }
  QStringList entries() const {
    return QDir(disk(QStringLiteral("QZ2025/03"))).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }
  static QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  static void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  TempDir drive_;
};

Producer Someone() {
  Producer p;
  p.kod = QStringLiteral("7");
  p.nev = QStringLiteral("  Kiss János ");
  p.adoazon = QStringLiteral("8123456786");
  p.szulnev = QStringLiteral("Kiss János ");
  p.anyja = QStringLiteral("Anyja");
  p.szido = QStringLiteral("1899.12.30");
  return p;
}

TEST(ReturnNames, FolderFileNamesAndTheOneMonthCheck) {
  const Period march{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};
  EXPECT_EQ(MonthFolder(march.start), QStringLiteral("C:\\QZ2025\\03\\"));
  EXPECT_EQ(ImportFilePath(MonthFolder(march.start), march, QStringLiteral("8123456789")),
            QStringLiteral("C:\\QZ2025\\03\\2508M202503_8123456789.imp"));
  EXPECT_EQ(ListFilePath(MonthFolder(march.start), march), QStringLiteral("C:\\QZ2025\\03\\2508M_20250301_0331.txt"));
  EXPECT_EQ(ListFilePath(QStringLiteral("C:\\QZ2025\\01\\"), {QStringLiteral("2025.01.01"), QStringLiteral("2025.01.31")}),
            QStringLiteral("C:\\QZ2025\\01\\2508M_20250101_0131.txt"));
  EXPECT_TRUE(OneMonth(march));
  EXPECT_TRUE(OneMonth({QStringLiteral("2025.03.31"), QStringLiteral("2025.03.01")}));
  // The same month digits in another year are another month.
  EXPECT_FALSE(OneMonth({QStringLiteral("2025.01.05"), QStringLiteral("2026.01.20")}));
  EXPECT_FALSE(OneMonth({QStringLiteral("2025.01.31"), QStringLiteral("2025.02.01")}));
}

TEST(ReturnNames, AmountsAreFixedPointWithoutDecimalsHalfAwayFromZero) {
  EXPECT_EQ(AmountText(1234.5L), QStringLiteral("1235"));
  EXPECT_EQ(AmountText(1234.49L), QStringLiteral("1234"));
  EXPECT_EQ(AmountText(0), QStringLiteral("0"));
  EXPECT_EQ(AmountText(-2.5L), QStringLiteral("-3"));
  EXPECT_EQ(AmountText(12345678901.0L), QStringLiteral("12345678901"));  // no thousands separator
}

TEST(ImportLines, TheOcsgLineOnlyForThirteenCharacters) {
  const Period p{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};
  Producer q = Someone();
  for (const auto &[csgazd, lines] : {std::pair{"OCSG-1234567", 27}, {"OCSG-12345678", 28}, {"OCSG-123456789", 27},
                                      {" OCSG-1234567 ", 27}, {"ocsg-12345678  ", 28}}) {
    q.csgazd1 = QString::fromLatin1(csgazd);
    const QStringList l = ImportFileLines({}, q, p, QStringLiteral("1"));
    EXPECT_EQ(l.size(), lines) << csgazd;
    EXPECT_EQ(l.filter(QStringLiteral("13849=")).size(), lines == 28 ? 1 : 0) << csgazd;
  }
  q.csgazd1 = QStringLiteral("ocsg-12345678  ");
  EXPECT_EQ(ImportFileLines({}, q, p, QStringLiteral("1")).at(14), QStringLiteral("13849=ocsg12345678"));
}

TEST(ImportLines, NamePartsAndDates) {
  const Period p{QStringLiteral("2025.02.01"), QStringLiteral("2025.02.28")};
  const QStringList l = ImportFileLines({}, Someone(), p, QStringLiteral("0"));
  // o_nev is trimmed before the split; the birth and mother's names are not.
  EXPECT_EQ(l.mid(14, 4), (QStringList{"14807=Kiss ", "14808=János", "17052=Kiss János ", "17053="}));
  EXPECT_EQ(l.mid(18, 2), (QStringList{"17054= ", "17055=Anyja"}));
  EXPECT_EQ(l.mid(21, 3), (QStringList{"13855=18991230", "16697=20250201", "16698=20250228"}));
  EXPECT_EQ(l.at(3), QStringLiteral("$info=7_  Kiss János _8123456786"));
  EXPECT_EQ(WindowsText({QStringLiteral("áéőű"), QString()}), QByteArray("\xE1\xE9\xF5\xFB\r\n\r\n"));
}

TEST(ImportLines, DataThatWouldBreakAFileIsRefusedNamingTheProducer) {
  Producer p = Someone();
  EXPECT_EQ(ProducerRefusal(p), QString());
  p.adoazon = QStringLiteral("81234567AB");  // letters make a valid file name
  EXPECT_EQ(ProducerRefusal(p), QString());
  p.anyja = QStringLiteral("Anyja\nneve");
  EXPECT_EQ(ProducerRefusal(p), QStringLiteral("Javitandó! Östermelö 7 (  Kiss János ): a(z) anyja neve sortörést tartalmaz."));
  p.anyja.clear();
  // Other control characters would reach "$info=" and "14808=" as raw bytes.
  const struct {
    QString Producer::*value;
    QString text, refusal;
  } controls[] = {{&Producer::nev, QStringLiteral("Kiss J\x01nos"), QStringLiteral("név vezérlőkaraktert (#1)")},
                  {&Producer::szulhely, QStringLiteral("Sze\x0bged"), QStringLiteral("születési hely vezérlőkaraktert (#11)")},
                  {&Producer::anyja, QStringLiteral("\x1b"), QStringLiteral("anyja neve vezérlőkaraktert (#27)")},
                  {&Producer::kod, QStringLiteral("7\x7f"), QStringLiteral("kód vezérlőkaraktert (#127)")}};
  for (const auto &c : controls) {
    Producer q = Someone();
    q.*c.value = c.text;
    EXPECT_EQ(ProducerRefusal(q), QStringLiteral("Javitandó! Östermelö %1 (%2): a(z) %3 tartalmaz.")
                                      .arg(q.kod, q.nev, c.refusal));
  }
  for (const char *bad : {"../x", "a\\b", "C:x", "a*b", "a?", "\"x\"", "<x>", "a|b", "\t"}) {
    p.adoazon = QString::fromLatin1(bad);
    EXPECT_TRUE(ProducerRefusal(p).contains(QStringLiteral("fájlnévben nem használható"))) << bad;
  }
  // No tax identification number: the file would be nobody's.
  for (const char *none : {"", "   "}) {
    p.adoazon = QString::fromLatin1(none);
    EXPECT_EQ(ProducerRefusal(p), QStringLiteral("Javitandó! Östermelö 7 (  Kiss János ): nincs adóazonosító jele.")) << none;
  }
}

TEST_F(ReturnFiles, AFileIsWrittenWholeUnderItsName) {
  write(disk(QStringLiteral("QZ2025/03/a.imp")), "old and longer contents");
  WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).write(QStringLiteral("a.imp"), "new");
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/a.imp"))), QByteArray("new"));
  EXPECT_EQ(entries(), QStringList{"a.imp"});
  // Components match without regard to case, as on Windows.
  WinFolder(QStringLiteral("c:\\qz2025\\03\\")).write(QStringLiteral("A.IMP"), "newer");
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/a.imp"))), QByteArray("newer"));
  EXPECT_EQ(entries(), QStringList{"a.imp"});
  // A link is followed, as by every writer of the program: the file it names
  // takes the bytes and the link stays.
  ASSERT_TRUE(QFile::link(disk(QStringLiteral("QZ2025/03/a.imp")), disk(QStringLiteral("QZ2025/03/link.imp"))));
  WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).write(QStringLiteral("link.imp"), "through");
  EXPECT_TRUE(QFileInfo(disk(QStringLiteral("QZ2025/03/link.imp"))).isSymLink());
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/a.imp"))), QByteArray("through"));
}

TEST_F(ReturnFiles, RefusedTargetsNameTheFileAndLeaveItAsItWas) {
  try {
    WinFolder(QStringLiteral("C:\\QZ2025\\04\\")).write(QStringLiteral("x.imp"), "x");
    ADD_FAILURE() << "no folder";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Hiba! A(z) C:\\QZ2025\\04\\x.imp fájl nem írható: a fájl vagy a mappa nem létezik."));
  }
  const QString ro = disk(QStringLiteral("QZ2025/03/ro.imp"));
  write(ro, "read-only");
  ASSERT_EQ(::chmod(QFile::encodeName(ro).constData(), 0444), 0);
  try {
    WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).write(QStringLiteral("ro.imp"), "x");
    ADD_FAILURE() << "read-only file replaced";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\ro.imp fájl nem írható: csak olvasható fájl."));
  }
  EXPECT_EQ(read(ro), QByteArray("read-only"));
  const QString used = disk(QStringLiteral("QZ2025/03/used.imp"));
  write(used, "in use");
  {
    Child lock({QStringLiteral("lock"), QStringLiteral("whole"), used});  // another program's (child_modes)
    ASSERT_EQ(lock.waitFor("ready"), QByteArray("ready"));
    try {
      WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).write(QStringLiteral("used.imp"), "x");
      ADD_FAILURE() << "a file in use replaced";
    } catch (const ReturnError &e) {
      EXPECT_EQ(e.message(),
                QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\used.imp fájl nem írható: egy másik program használja."));
    }
    // The clear passes over it as Windows would.
    WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).clear();
  }
  EXPECT_EQ(read(used), QByteArray("in use"));
  EXPECT_EQ(entries(), (QStringList{"ro.imp", "used.imp"}));
}

TEST_F(ReturnFiles, AFolderThatCannotBeWrittenNamesTheFile) {
  QString message;
  {
    vorik::test::Unwritable lock(disk(QStringLiteral("QZ2025/03")));
    ASSERT_TRUE(lock.ok());
    try {
      WinFolder(QStringLiteral("C:\\QZ2025\\03\\")).write(QStringLiteral("x.imp"), "x");
    } catch (const ReturnError &e) {
      message = e.message();
    }
  }
  EXPECT_EQ(message, QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\x.imp fájl nem írható: nincs hozzáférési jog."));
  EXPECT_EQ(entries(), QStringList());
}

// A disk with a little room: a file larger than that, written anew or over
// an earlier file kept as a spare, is reported with the program's reason, and
// neither a spare nor a temporary file stays; the old file is kept.
TEST_F(ReturnFiles, AFullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
  FullDisk full;
  qputenv("VORIK_DRIVE_C", QFile::encodeName(full.path()));
  QDir(full.path()).mkpath(QStringLiteral("QZ2025/03"));
  const QString folder = full.file(QStringLiteral("QZ2025/03"));
  write(folder + QStringLiteral("/big.imp"), "old");
  write(folder + QStringLiteral("/earlier.imp"), "earlier");
  for (const bool overSpare : {false, true}) {
    WinFolder month(QStringLiteral("C:\\QZ2025\\03\\"));
    if (overSpare) month.clearForReuse();
    full.fill(4096);
    QString message;
    try {
      month.write(QStringLiteral("big.imp"), QByteArray(100000, 'x'));
    } catch (const ReturnError &e) {
      message = e.message();
    }
    full.release();
    EXPECT_EQ(message, QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\big.imp fájl nem írható: ") +
                           full.reason() + QLatin1Char('.'))
        << overSpare;
    month.dropSpares();
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QStringList kept{"big.imp", "earlier.imp"};
    EXPECT_EQ(left, overSpare ? QStringList() : kept) << overSpare;
    if (!overSpare) {
      EXPECT_EQ(read(folder + QStringLiteral("/big.imp")), QByteArray("old"));
    }
  }
  qputenv("VORIK_DRIVE_C", QFile::encodeName(drive_.path()));
}

// Written over an earlier file kept as a spare, a file takes the spare and
// says so by nothing but its bytes.
TEST_F(ReturnFiles, AWriteTakesASpare) {
  write(disk(QStringLiteral("QZ2025/03/earlier.imp")), QByteArray(3000, 'e'));
  WinFolder again(QStringLiteral("C:\\QZ2025\\03\\"));
  again.clearForReuse();
  again.write(QStringLiteral("new.imp"), "new");
  again.dropSpares();
  EXPECT_EQ(entries(), QStringList{"new.imp"});
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/new.imp"))), QByteArray("new"));
}

}  // namespace

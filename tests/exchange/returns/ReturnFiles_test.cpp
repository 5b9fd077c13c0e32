// The import file writer without a database: names, the period check, the
// optional OCSG line, name parts, amounts, and files that are complete or
// not there when the folder, the target or the disk refuses.
#include "exchange/returns/ReturnFiles.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "unwritable.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace returns;
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

// A lock another program holds on a file while this object lives.
class Locker {
 public:
  explicit Locker(const QString &path) {
    proc_.start(QStringLiteral("/usr/bin/flock"),
                {QStringLiteral("-x"), path, QStringLiteral("-c"), QStringLiteral("echo locked; sleep 60")});
    ready_ = proc_.waitForReadyRead(20000) && proc_.readAll().startsWith("locked");
  }
  ~Locker() {
    proc_.kill();
    proc_.waitForFinished();
  }
  bool ready() const { return ready_; }

 private:
  QProcess proc_;
  bool ready_ = false;
};

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
  WriteWindowsFile(QStringLiteral("C:\\QZ2025\\03\\a.imp"), "new");
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/a.imp"))), QByteArray("new"));
  EXPECT_EQ(entries(), QStringList{"a.imp"});
  // Components match without regard to case, as on Windows.
  WriteWindowsFile(QStringLiteral("c:\\qz2025\\03\\A.IMP"), "newer");
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/a.imp"))), QByteArray("newer"));
  EXPECT_EQ(entries(), QStringList{"a.imp"});
}

TEST_F(ReturnFiles, RefusedTargetsNameTheFileAndLeaveItAsItWas) {
  try {
    WriteWindowsFile(QStringLiteral("C:\\QZ2025\\04\\x.imp"), "x");
    ADD_FAILURE() << "no folder";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Hiba! A(z) C:\\QZ2025\\04\\x.imp fájl nem írható: a mappa nem létezik."));
  }
  const QString ro = disk(QStringLiteral("QZ2025/03/ro.imp"));
  write(ro, "read-only");
  ASSERT_EQ(::chmod(QFile::encodeName(ro).constData(), 0444), 0);
  try {
    WriteWindowsFile(QStringLiteral("C:\\QZ2025\\03\\ro.imp"), "x");
    ADD_FAILURE() << "read-only file replaced";
  } catch (const ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\ro.imp fájl nem írható: csak olvasható fájl."));
  }
  EXPECT_EQ(read(ro), QByteArray("read-only"));
  const QString used = disk(QStringLiteral("QZ2025/03/used.imp"));
  write(used, "in use");
  {
    Locker lock(used);
    ASSERT_TRUE(lock.ready());
    try {
      WriteWindowsFile(QStringLiteral("C:\\QZ2025\\03\\used.imp"), "x");
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
      WriteWindowsFile(QStringLiteral("C:\\QZ2025\\03\\x.imp"), "x");
    } catch (const ReturnError &e) {
      message = e.message();
    }
  }
  EXPECT_EQ(message, QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\x.imp fájl nem írható: nincs írási jog a mappában."));
  EXPECT_EQ(entries(), QStringList());
}

TEST_F(ReturnFiles, AFullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const QString target = disk(QStringLiteral("QZ2025/03/big.imp"));
  write(target, "old");
  // A file size limit stands in for a disk that fills: writes past it fail.
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limit = old;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  QString message;
  try {
    WriteWindowsFile(QStringLiteral("C:\\QZ2025\\03\\big.imp"), QByteArray(100000, 'x'));
  } catch (const ReturnError &e) {
    message = e.message();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(message.startsWith(QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\big.imp fájl nem írható: "))) << message.toStdString();
  EXPECT_EQ(read(target), QByteArray("old"));
  EXPECT_EQ(entries(), QStringList{"big.imp"});
}

// Written over an earlier file kept as a spare, a full disk is reported the
// same way, and neither the spare nor a temporary file stays.
TEST_F(ReturnFiles, AFullDiskWritingOverASpareIsReportedAndLeavesNothing) {
  write(disk(QStringLiteral("QZ2025/03/earlier.imp")), "earlier");
  WinFolder month(QStringLiteral("C:\\QZ2025\\03\\"));
  month.clearForReuse();
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limit = old;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  QString message;
  try {
    month.write(QStringLiteral("big.imp"), QByteArray(100000, 'x'));
  } catch (const ReturnError &e) {
    message = e.message();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(message.startsWith(QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\big.imp fájl nem írható: "))) << message.toStdString();
  month.dropSpares();
  EXPECT_EQ(entries(), QStringList{});
  // A write that fits takes the spare and says so by nothing but its bytes.
  write(disk(QStringLiteral("QZ2025/03/earlier.imp")), QByteArray(3000, 'e'));
  WinFolder again(QStringLiteral("C:\\QZ2025\\03\\"));
  again.clearForReuse();
  again.write(QStringLiteral("new.imp"), "new");
  again.dropSpares();
  EXPECT_EQ(entries(), QStringList{"new.imp"});
  EXPECT_EQ(read(disk(QStringLiteral("QZ2025/03/new.imp"))), QByteArray("new"));
}

}  // namespace

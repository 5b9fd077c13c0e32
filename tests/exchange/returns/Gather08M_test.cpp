// The 08M gather on a real database: the files it writes compared byte for
// byte with files written out by hand, the sum column, one file per tax
// identification number, empty months, producers that cannot make a file.
#include "exchange/returns/Gather08M.h"
#include "returns_fixture.h"

#include <QFileInfo>

#include <unistd.h>

using namespace vorik::test;

namespace {

const returns::Period kMarch{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};

// Producer 1: Kovács János, OCSG number of 13 characters; producer 2: Nagy
// Kiss Anna, no OCSG number. Receiver R1 pays producer 1 in cash on 03.05
// and by transfer on 03.31, producer 2 on 03.01; tickets of April and of
// another receiver stay out.
const QByteArray kProducer1Head =
    "$ny_azon=2508M\r\n"
    "$sorok_sz\xE1ma=26\r\n"
    "$d_lapok_sz\xE1ma=0\r\n"
    "$info=1_Kov\xE1\x63s J\xE1nos_8123456786\r\n"
    "13841=12345676123\r\n"
    "13842=8111111118\r\n"
    "13843=K\xF5szegi \xC1ru Bt.\r\n"
    "17428=\r\n"
    "17429=\r\n"
    "17430=\r\n"
    "13844=8123456786\r\n"
    "13845=1\r\n"
    "13846=HU\r\n"
    "13848=AB123456\r\n"
    "13849=OCSG12345678\r\n"
    "14807=Kov\xE1\x63s \r\n"
    "14808=J\xE1nos\r\n"
    "17052=Kov\xE1\x63s \r\n"
    "17053=J\xE1nos\r\n"
    "17054=Sz\xFB\x63s \r\n"
    "17055=Erzs\xE9\x62\x65t\r\n"
    "13854=Gy\xF5r\r\n"
    "13855=19600517\r\n"
    "16697=20250301\r\n"
    "16698=20250331\r\n";
const QByteArray kProducer2Head =
    "$ny_azon=2508M\r\n"
    "$sorok_sz\xE1ma=26\r\n"
    "$d_lapok_sz\xE1ma=0\r\n"
    "$info=2_Nagy Kiss Anna_8234567891\r\n"
    "13841=12345676123\r\n"
    "13842=8111111118\r\n"
    "13843=K\xF5szegi \xC1ru Bt.\r\n"
    "17428=\r\n"
    "17429=\r\n"
    "17430=\r\n"
    "13844=8234567891\r\n"
    "13845=2\r\n"
    "13846=HU\r\n"
    "13848=123456AB\r\n"
    "14807=Nagy Kiss \r\n"
    "14808=Anna\r\n"
    "17052=Nagy \r\n"
    "17053=Anna\r\n"
    "17054=T\xF3th \r\n"
    "17055=\xC9va\r\n"
    "13854=H\xF3\x64mez\xF5v\xE1s\xE1rhely\r\n"
    "13855=19751201\r\n"
    "16697=20250301\r\n"
    "16698=20250331\r\n";
const QByteArray kListFile =
    "C:\\QZ2025\\03\\2508M202503_8123456786.imp\r\n"
    "C:\\QZ2025\\03\\2508M202503_8234567891.imp\r\n";

class Gather08M : public ReturnsTest {
 protected:
  void SetUp() override {
    ReturnsTest::SetUp();
    if (filled_) return;
    filled_ = true;
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_ADOSZAM, V_ADOAZON) "
                        "VALUES ('R1', 'Kőszegi Áru Bt.', '12345676123', '8111111118')"));
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R2', 'Második')"));
    exec(QStringLiteral(
        "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON, O_NEME, O_IGSZAM1, O_CSGAZD1, O_SZULNEV, O_ANYJA, "
        "O_SZULHELY, O_SZIDO, O_ADOSZAM, O_FELIR) VALUES ('1', 'Kovács János', '8123456786', '1', 'AB123456', "
        "'OCSG-12345678', 'Kovács János', 'Szűcs Erzsébet', 'Győr', '1960-05-17', '12345676123', 'AB1234567')"));
    exec(QStringLiteral(
        "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON, O_NEME, O_IGSZAM1, O_CSGAZD1, O_SZULNEV, O_ANYJA, "
        "O_SZULHELY, O_SZIDO, O_ADOSZAM) VALUES ('2', 'Nagy Kiss Anna', '8234567891', '2', '123456AB', '', "
        "'Nagy Anna', 'Tóth Éva', 'Hódmezővásárhely', '1975-12-01', '87654321213')"));
    const char *tickets[] = {
        // serial, producer, receiver, payment date, transfer, payable, price, type
        "'25000001', '1', 'R1', '2025-03-05', NULL, 68825, 80000, '1'",
        "'25000002', '1', 'R1', '2025-03-31', 'x', 1234.5, 1500.25, '1'",
        "'25000003', '2', 'R1', '2025-03-01', 'x', 5000, 6000.4, '1'",
        "'25000004', '2', 'R1', '2025-04-01', NULL, 999, 999, '1'",
        "'25000005', '2', 'R2', '2025-03-10', NULL, 777, 777, '1'",
    };
    for (const char *t : tickets)
      exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_UTAL, F_MUVKTG, F_SUMVAR, "
                          "F_TIPUS) VALUES (%1)")
               .arg(QLatin1String(t)));
  }

  static inline bool filled_ = false;
};

TEST_F(Gather08M, FilesMatchTheHandWrittenOnesByteForByte) {
  const returns::GatherResult r = returns::Gather(kMarch, QStringLiteral("R1"), false);
  EXPECT_EQ(r.receiverTotal, QStringLiteral("75060"));  // 68825 + 1234.5 + 5000, half away from zero
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8123456786.imp")),
            kProducer1Head + "24804=70060\r\n24805=1\r\n13847=12345676123\r\n");
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8234567891.imp")),
            kProducer2Head + "24804=5000\r\n24805=1\r\n13847=87654321213\r\n");
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M_20250301_0331.txt")), kListFile);
  EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).size(), 3);
  EXPECT_EQ(Data->ZQ20->recordCount(), 2);  // the grid shows the per-producer sums
}

// A repeated gather writes over the earlier month's files: longer and
// shorter ones, of the same name or another, hard-linked ones never.
TEST_F(Gather08M, ARepeatedGatherWritesTheSameBytesOverTheEarlierFiles) {
  put(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8123456786.imp"), QByteArray(5000, 'x'));
  put(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8000000001.imp"), "short");
  put(QStringLiteral("C:\\QZ2025\\03\\2508M_20250301_0315.txt"), "C:\\QZ2025\\03\\2508M202503_8000000001.imp\r\n");
  put(QStringLiteral("C:\\QZ2025\\twin.txt"), "twin");
  ASSERT_TRUE(::link(QFile::encodeName(disk(QStringLiteral("C:\\QZ2025\\twin.txt"))).constData(),
                     QFile::encodeName(disk(QStringLiteral("C:\\QZ2025\\03\\twin.imp"))).constData()) == 0);
  for (int run = 0; run < 2; ++run) {
    returns::Gather(kMarch, QStringLiteral("R1"), false);
    EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8123456786.imp")),
              kProducer1Head + "24804=70060\r\n24805=1\r\n13847=12345676123\r\n");
    EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8234567891.imp")),
              kProducer2Head + "24804=5000\r\n24805=1\r\n13847=87654321213\r\n");
    EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).keys(),
              (QStringList{"2508M202503_8123456786.imp", "2508M202503_8234567891.imp", "2508M_20250301_0331.txt"}));
    EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\twin.txt")), QByteArray("twin"));
    EXPECT_EQ(QFileInfo(disk(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8234567891.imp"))).permissions() &
                  QFileDevice::WriteOwner,
              QFileDevice::WriteOwner);
  }
}

TEST_F(Gather08M, PriceColumnWhenTheOptionAsksForIt) {
  const returns::GatherResult r = returns::Gather(kMarch, QStringLiteral("R1"), true);
  EXPECT_EQ(r.receiverTotal, QStringLiteral("87501"));  // 80000 + 1500.25 + 6000.4
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8123456786.imp")),
            kProducer1Head + "24804=81500\r\n24805=1\r\n13847=12345676123\r\n");
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8234567891.imp")),
            kProducer2Head + "24804=6000\r\n24805=1\r\n13847=87654321213\r\n");
}

TEST_F(Gather08M, ClearsTheMonthFolderButNotItsSubfoldersOrAnythingOutside) {
  put(QStringLiteral("C:\\QZ2025\\03\\old.imp"), "old");
  put(QStringLiteral("C:\\QZ2025\\03\\.hidden"), "h");
  QDir(disk(QStringLiteral("C:\\QZ2025\\03\\"))).mkdir(QStringLiteral("keep"));
  put(QStringLiteral("C:\\QZ2025\\03\\keep\\inner.txt"), "inner");
  put(QStringLiteral("C:\\QZ2025\\outside.txt"), "outside");
  ASSERT_TRUE(QFile::link(disk(QStringLiteral("C:\\QZ2025\\outside.txt")),
                          disk(QStringLiteral("C:\\QZ2025\\03\\")) + QStringLiteral("link.txt")));
  returns::Gather(kMarch, QStringLiteral("R1"), false);
  const auto files = folderBytes(QStringLiteral("C:\\QZ2025\\03\\"));
  EXPECT_EQ(files.keys(), (QStringList{"2508M202503_8123456786.imp", "2508M202503_8234567891.imp",
                                       "2508M_20250301_0331.txt"}));
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\keep\\inner.txt")), QByteArray("inner"));
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\outside.txt")), QByteArray("outside"));
}

TEST_F(Gather08M, EmptyMonthWritesAnEmptyListAndTotalZero) {
  put(QStringLiteral("C:\\QZ2025\\03\\stale.imp"), "stale");
  const returns::GatherResult r = returns::Gather(kMarch, QStringLiteral("R9"), false);
  EXPECT_EQ(r.receiverTotal, QStringLiteral("0"));
  const auto files = folderBytes(QStringLiteral("C:\\QZ2025\\03\\"));
  ASSERT_EQ(files.keys(), QStringList{"2508M_20250301_0331.txt"});
  EXPECT_TRUE(files.first().isEmpty());
}

TEST_F(Gather08M, TwoCodesOfOneTaxNumberMakeOneFileWithTheirSum) {
  exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R3', 'Harmadik')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('31', 'Első Kód', '8000000004')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('32', 'Közbülső', '8000000015')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('33', 'Második Kód', '8000000004')"));
  for (const char *t : {"'25000031', '31', 100", "'25000032', '32', 20", "'25000033', '33', 3"})
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_MUVKTG, F_AKOD, F_FIZKELT) "
                        "VALUES (%1, 'R3', '2025-03-15')")
             .arg(QLatin1String(t)));
  const returns::GatherResult r = returns::Gather(kMarch, QStringLiteral("R3"), false);
  EXPECT_EQ(r.files, (QStringList{"C:\\QZ2025\\03\\2508M202503_8000000004.imp",
                                  "C:\\QZ2025\\03\\2508M202503_8000000015.imp"}));
  const QByteArray merged = bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_8000000004.imp"));
  EXPECT_TRUE(merged.contains("\r\n24804=103\r\n")) << merged.toStdString();
  EXPECT_TRUE(merged.contains("$info=33_M\xE1sodik K\xF3\x64_8000000004\r\n")) << "personal data of the last code";
  EXPECT_EQ(bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M_20250301_0331.txt")),
            QByteArray("C:\\QZ2025\\03\\2508M202503_8000000004.imp\r\nC:\\QZ2025\\03\\2508M202503_8000000015.imp\r\n"));
}

TEST_F(Gather08M, BareProducersMakeWellFormedFilesButNobodysFileIsNeverWritten) {
  exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R4', 'Negyedik')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('41', 'Egyszó', 'ABC')"));
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG) "
                      "VALUES ('25000041', '41', 'R4', '2025-03-02', 1)"));
  returns::Gather(kMarch, QStringLiteral("R4"), false);
  const QByteArray bare = bytesOf(QStringLiteral("C:\\QZ2025\\03\\2508M202503_ABC.imp"));
  EXPECT_TRUE(bare.contains("\r\n14807= \r\n14808=Egysz\xF3\r\n")) << bare.toStdString();
  EXPECT_TRUE(bare.contains("\r\n13855=18991230\r\n"));
  EXPECT_EQ(bare.count("\r\n"), 27);

  // A null tax number, an empty one and a code without a producer row would
  // all go into one file "..._.imp": each stops the gather, naming the code,
  // before the folder is touched.
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('42', 'Null Jel', NULL)"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('43', 'Üres Jel', '')"));
  const QMap<QString, QByteArray> written = folderBytes(QStringLiteral("C:\\QZ2025\\03\\"));
  const std::pair<const char *, QString> cases[] = {
      {"42", QStringLiteral("Javitandó! Östermelö 42 (Null Jel): nincs adóazonosító jele.")},
      {"43", QStringLiteral("Javitandó! Östermelö 43 (Üres Jel): nincs adóazonosító jele.")},
      {"49", QStringLiteral("Javitandó! Östermelö 49: a jegyein álló kódú östermelö nem létezik.")}};
  for (const auto &[code, message] : cases) {
    exec(QStringLiteral("DELETE FROM QZFEJ WHERE F_BSZAM = '25000042'"));
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG) "
                        "VALUES ('25000042', '%1', 'R4', '2025-03-02', 2)")
             .arg(QLatin1String(code)));
    try {
      returns::Gather(kMarch, QStringLiteral("R4"), false);
      ADD_FAILURE() << code << " must stop the gather";
    } catch (const returns::ReturnError &e) {
      EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")), written) << code;
  }
}

TEST_F(Gather08M, AProducerWhoseDataCannotMakeAFileStopsBeforeAnythingIsWritten) {
  exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R5', 'Ötödik')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('51', 'Sor' || ASCII_CHAR(13) || "
                      "ASCII_CHAR(10) || 'Törés', '8000000026')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('52', 'Per Jel', '..\\x')"));
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG) "
                      "VALUES ('25000051', '51', 'R5', '2025-03-02', 1)"));
  put(QStringLiteral("C:\\QZ2025\\03\\earlier.imp"), "earlier");
  try {
    returns::Gather(kMarch, QStringLiteral("R5"), false);
    ADD_FAILURE() << "a line break in a name must stop the gather";
  } catch (const returns::ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Javitandó! Östermelö 51 (Sor\r\nTörés): a(z) név sortörést tartalmaz."));
  }
  EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).keys(), QStringList{"earlier.imp"});

  exec(QStringLiteral("UPDATE QZFEJ SET F_OSTERMKOD = '52' WHERE F_BSZAM = '25000051'"));
  try {
    returns::Gather(kMarch, QStringLiteral("R5"), false);
    ADD_FAILURE() << "a path in the tax number must stop the gather";
  } catch (const returns::ReturnError &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("..\\x"))) << e.message().toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(disk(QStringLiteral("C:\\QZ2025\\x"))));
  EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).keys(), QStringList{"earlier.imp"});

  // An amount of twelve digits has no place in the return's field.
  exec(QStringLiteral("UPDATE QZFEJ SET F_OSTERMKOD = '53', F_MUVKTG = 123456789012 WHERE F_BSZAM = '25000051'"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('53', 'Nagy Összeg', '8000000037')"));
  try {
    returns::Gather(kMarch, QStringLiteral("R5"), false);
    ADD_FAILURE() << "an amount past 11 digits must stop the gather";
  } catch (const returns::ReturnError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Javitandó! Östermelö 53 (Nagy Összeg): a kifizetett összeg túl nagy a bevalláshoz."));
  }
  EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).keys(), QStringList{"earlier.imp"});
}

TEST_F(Gather08M, AMissingMonthFolderIsReportedWithTheFileAndNothingIsCreated) {
  const returns::Period april{QStringLiteral("2025.04.01"), QStringLiteral("2025.04.30")};
  try {
    returns::Gather(april, QStringLiteral("R1"), false);
    ADD_FAILURE() << "no folder, no files";
  } catch (const returns::ReturnError &e) {
    EXPECT_EQ(e.message(),
              QStringLiteral("Hiba! A(z) C:\\QZ2025\\04\\2508M202504_8234567891.imp fájl nem írható: a fájl vagy a mappa nem létezik."));
  }
  EXPECT_FALSE(QFileInfo::exists(disk(QStringLiteral("C:\\QZ2025\\04"))));
}

}  // namespace

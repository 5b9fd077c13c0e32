// The inventory hand-over on a real database: the document read back holds
// exactly the range's lines with their texts, a product code held twice
// repeats no line, a failed save keeps "Adatátadás" off, and a failed copy
// leaves the old target as it was.
#include "app/SharedState.h"
#include "exchange/inventory/InventoryXml.h"
#include "exchange/inventory/Unit41.h"
#include "../dialog_fixture.h"
#include "support/full_disk.h"

#include <QDateEdit>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

using namespace vorik::test;

namespace {

const QStringList kColumns = {"F_FELVKELT", "S_BSZAM", "S_TERMEKKOD", "S_MEGNEVEZES", "S_BIZONYLAT",
                              "S_BRUTTO",   "S_MEGY",  "S_EAR",       "S_FELVAR",     "S_VTSZ",
                              "O_KOD",      "O_NEV",   "O_HELYSEGNEV", "O_UTCA",      "O_IRSZAM"};

class Inventory : public WorkingFolderTest {
 protected:
  void SetUp() override {
    WorkingFolderTest::SetUp();
    AtvevoKod = QStringLiteral("R1");
    QDir(drive_.path()).mkpath(QStringLiteral("keszlet2025"));
    exec({QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_HELYSEGNEV, O_UTCA, O_IRSZAM) VALUES "
                         "('7', 'Kővári & Fia <Bt>', 'Szeged', 'Árpád tér 1', '6720')"),
          // The product code 1 twice in the product table.
          QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('1', 'Alma')"),
          QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('1', 'Alma másodszor')"),
          QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FELVKELT, F_TIPUS) VALUES "
                         "('25000001', '7', 'R1', '2025-01-31', '1')"),
          QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FELVKELT, F_TIPUS) VALUES "
                         "('25000002', '7', 'R1', '2025-02-03', '4')"),
          QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FELVKELT, F_TIPUS) VALUES "
                         "('25000003', '7', 'R1', '2025-03-01', '1')"),
          QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BIZONYLAT, S_BRUTTO, S_MEGY, "
                         "S_EAR, S_VTSZ, S_AKOD, S_KOMPMERTEKE, S_LEVONSZAZ) VALUES ('25000001', '1', 'Alma', "
                         "'B-1', 100, 'kg', 12.5, '0808', 'R1', 12, 0)"),
          // The cancelling document's line: negative quantity and price, no VTSZ.
          QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, "
                         "S_AKOD, S_KOMPMERTEKE, S_LEVONSZAZ) VALUES ('25000002', '1', 'Alma', -100, 'kg', "
                         "12.5, 'R1', 12, 0)"),
          // Outside the range, and another receiver's line in it.
          QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BRUTTO, S_EAR, S_AKOD) "
                         "VALUES ('25000003', '1', 'Később', 1, 1, 'R1')"),
          QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BRUTTO, S_EAR, S_AKOD) "
                         "VALUES ('25000001', '1', 'Másik átvevő', 1, 1, 'R2')")});
  }
  std::unique_ptr<TForm41> Open() {
    auto f = showForm(Form41);
    f->DateTimePicker1->setDate(QDate(2025, 1, 1));
    f->DateTimePicker2->setDate(QDate(2025, 2, 28));
    return f;
  }
  QString Saved() const { return work_.file(QStringLiteral("vorik_keszlethez.xml")); }
};

TEST_F(Inventory, DocumentHoldsExactlyTheRangesLines) {
  auto f = Open();
  EXPECT_FALSE(f->Button2->isEnabled());
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("C:\\keszlet2025\\vorik_keszlethez.xml"));
  EXPECT_TRUE(Run([&] { f->Button4Click(); }).empty());
  EXPECT_TRUE(f->Button2->isEnabled());
  f->grab().toImage().save(QDir::temp().filePath(QStringLiteral("Form41.png")));

  QDomDocument doc;
  ASSERT_TRUE(static_cast<bool>(doc.setContent(readFile(Saved()))));
  const QDomElement root = doc.documentElement();
  EXPECT_EQ(root.tagName(), QStringLiteral("vorik_keszlethez"));
  const QDomNodeList records = root.childNodes();
  ASSERT_EQ(records.size(), 2) << "one line each, the doubled product code repeats none";
  const QStringList expected[] = {
      {"01.31.2025", "25000001", "1", "Alma", "B-1", "100", "kg", "12,5", "1250", "0808", "7", "Kővári & Fia <Bt>",
       "Szeged", "Árpád tér 1", "6720"},
      {"02.03.2025", "25000002", "1", "Alma", "null", "0", "kg", "12,5", "0", "null", "7", "Kővári & Fia <Bt>",
       "Szeged", "Árpád tér 1", "6720"}};
  for (int r = 0; r < 2; ++r) {
    const QDomElement record = records.at(r).toElement();
    EXPECT_EQ(record.tagName(), QStringLiteral("Records"));
    const QDomNodeList fields = record.childNodes();
    ASSERT_EQ(fields.size(), kColumns.size());
    for (int c = 0; c < kColumns.size(); ++c) {
      const QDomElement e = fields.at(c).toElement();
      EXPECT_EQ(e.tagName(), kColumns[c]);
      ASSERT_EQ(e.childNodes().size(), 1);
      EXPECT_TRUE(e.firstChild().isText());
      EXPECT_EQ(e.text(), expected[r][c]) << r << " " << kColumns[c].toStdString();
    }
  }

  // "Adatátadás" copies the file to the target and closes the dialog.
  const auto seen = Run([&] { f->Button2Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("Átmásolva. Adatátadás végrehajtva."));
  EXPECT_EQ(readFile(drive_.file(QStringLiteral("keszlet2025/vorik_keszlethez.xml"))), readFile(Saved()));
}

TEST_F(Inventory, EmptyRangeWritesAnEmptyRoot) {
  auto f = Open();
  f->DateTimePicker1->setDate(QDate(2024, 1, 1));
  f->DateTimePicker2->setDate(QDate(2024, 12, 31));
  Run([&] { f->Button4Click(); });
  QDomDocument doc;
  ASSERT_TRUE(static_cast<bool>(doc.setContent(readFile(Saved()))));
  EXPECT_EQ(doc.documentElement().tagName(), QStringLiteral("vorik_keszlethez"));
  EXPECT_FALSE(doc.documentElement().hasChildNodes());
}

TEST_F(Inventory, FailedCopyLeavesTheOldTarget) {
  const QString target = drive_.file(QStringLiteral("keszlet2025/vorik_keszlethez.xml"));
  ASSERT_TRUE(writeFile(target, "<regi/>"));
  auto f = Open();
  bool closed = false;
  QObject::connect(f.get(), &QDialog::finished, [&] { closed = true; });
  // The working folder's file is gone before the copy, or something that is
  // no file to read took its name: an error naming the reason, the dialog stays open, the old target
  // is byte-identical.
  for (const UnreadableFile &c : unreadableFiles()) {
    SCOPED_TRACE(c.reason.toStdString());
    Run([&] { f->Button4Click(); });
    ASSERT_TRUE(f->Button2->isEnabled());
    ASSERT_TRUE(makeUnreadable(Saved(), c));
    const auto seen = Run([&] { f->Button2Click(); });
    QFile::remove(Saved());
    QDir().rmdir(Saved());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba! Az adatátadás nem történt meg.\r"))) << seen[0].text.toStdString();
    EXPECT_TRUE(seen[0].text.endsWith(c.reason)) << seen[0].text.toStdString();
    EXPECT_EQ(seen[0].kind, QStringLiteral("Error"));
    EXPECT_FALSE(closed);
    EXPECT_EQ(readFile(target), QByteArray("<regi/>"));
  }

  // A target folder that does not exist: the same.
  Run([&] { f->Button4Click(); });
  f->Edit1->setText(QStringLiteral("C:\\nincs\\vorik_keszlethez.xml"));
  const auto seen = Run([&] { f->Button2Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba! Az adatátadás nem történt meg.\r")));
  EXPECT_FALSE(QFileInfo::exists(drive_.file(QStringLiteral("nincs"))));
  EXPECT_FALSE(closed);
}

TEST_F(Inventory, ACopyOntoAFullDiskNamesTheReasonAndKeepsTheOldTarget) {
  FullDisk disk;
  const QString target = disk.file(QStringLiteral("vorik_keszlethez.xml"));
  ASSERT_TRUE(writeFile(target, "<regi/>"));
  auto f = Open();
  Run([&] { f->Button4Click(); });
  ASSERT_TRUE(f->Button2->isEnabled());
  f->Edit1->setText(target);
  disk.fill();
  const auto seen = Run([&] { f->Button2Click(); });
  disk.release();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, QStringLiteral("Error"));
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba! Az adatátadás nem történt meg.\r"))) << seen[0].text.toStdString();
  EXPECT_TRUE(seen[0].text.endsWith(disk.reason()))
      << seen[0].text.toStdString();
  EXPECT_EQ(readFile(target), QByteArray("<regi/>"));
}

TEST_F(Inventory, AControlCharacterIsRefusedByDocumentBeforeAnythingIsWritten) {
  exec({QStringLiteral("UPDATE QZSOR SET S_MEGNEVEZES = 'Alma' || ASCII_CHAR(1) WHERE S_BSZAM = '25000002'")});
  ASSERT_TRUE(writeFile(Saved(), "<regi/>"));
  auto f = Open();
  const auto seen = Run([&] { f->Button4Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("Hiba! A(z) vorik_keszlethez.xml mentése nem sikerült.\rA(z) 25000002 bizonylat "
                                         "S_MEGNEVEZES adatában vezérlőkarakter (#1) van, XML-be nem írható."));
  EXPECT_FALSE(f->Button2->isEnabled());
  EXPECT_EQ(readFile(Saved()), QByteArray("<regi/>"));
}

TEST_F(Inventory, FailedSaveKeepsHandOverOff) {
  // A folder stands where the file would be written.
  QDir(work_.path()).mkdir(QStringLiteral("vorik_keszlethez.xml"));
  auto f = Open();
  const auto seen = Run([&] { f->Button4Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba! A(z) vorik_keszlethez.xml mentése nem sikerült.")))
      << seen[0].text.toStdString();
  EXPECT_FALSE(f->Button2->isEnabled());
  // The grid still shows the selection.
  EXPECT_EQ(Data->ZQ21->recordCount(), 2);
}

TEST_F(Inventory, ValueTextsByFieldType) {
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(QStringLiteral(
      "SELECT CAST(7 AS SMALLINT), CAST(-7 AS INTEGER), CAST(NULL AS INTEGER), CAST(0.1 AS DOUBLE PRECISION), "
      "CAST(-2.5 AS NUMERIC(18,4)), CAST(1234567.125 AS NUMERIC(18,4)), TRUE, CAST(NULL AS BOOLEAN), "
      "DATE '2025-03-07', CAST(NULL AS DATE), TIMESTAMP '2025-12-01 08:05:09', CAST(NULL AS TIMESTAMP), "
      "TIME '13:04:05', CAST(NULL AS TIME), CAST('' AS VARCHAR(5)), CAST(NULL AS VARCHAR(5)), 'Ő & <x>' "
      "FROM RDB$DATABASE"));
  q.open();
  const QStringList expected = {"7", "0", "0", "0,1", "0", "1234567,125", "True", "False", "03.07.2025",
                                "01.01.1900", "12.01.2025 08:05:09", "01.01.1900 00:00:00", "13:04:05",
                                "00:00:00", "null", "null", "Ő & <x>"};
  ASSERT_EQ(q.fieldCount(), expected.size());
  for (int c = 0; c < q.fieldCount(); ++c) EXPECT_EQ(inventory::ValueText(q.field(c)), expected[c]) << c;
}

}  // namespace

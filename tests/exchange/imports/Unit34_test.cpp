// The CSV producer import on a real database: the same producers from a
// Windows-1250 file and its UTF-8 twin, 30 fields of which 18 count, a
// cancelled open dialog, and broken files and lines.
#include "app/MenuCommands.h"
#include "exchange/imports/Unit34.h"
#include "platform/cp1250.h"
#include "support/full_disk.h"
#include "../dialog_fixture.h"

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace vorik::test;

namespace {

const QString kLines = QStringLiteral(
    "101;Kővári Ödön;6720;Szeged;Árpád tér 1;8123456789;;;;Hódmezővásárhely;1960.05.17;Űrös Mária;;1;"
    "Kővári Ödön;123-456-789;12345678106;11773016-11111111\r\n"
    "102;Űrös Árpádné;6000;Kecskemét;Fő út 2;;;;;;;;;2\r\n"
    "103;Őri Tünde;1011;Budapest;Ház u. 3.\r\n");

class CsvImport : public WorkingFolderTest {
 protected:
  std::unique_ptr<TForm34> Open() { return showForm(Form34); }
  QString Write(const QString &name, const QByteArray &bytes) {
    QFile file(work_.file(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  // "Megnyitás" choosing path (empty: cancelled), then "Feldolgozás"; the
  // boxes that follow are answered with OK and returned.
  std::vector<MessageSeen> Import(TForm34 *f, const QString &path) {
    std::vector<MessageSeen> seen;
    Import(f, path, {}, &seen);
    return seen;
  }
  // The same, the boxes answered in turn with answers (then OK).
  void Import(TForm34 *f, const QString &path, const std::vector<QMessageBox::StandardButton> &answers,
              std::vector<MessageSeen> *seen) {
    ModalScript open;
    open.then([&](QWidget *dlg) {
      auto *d = qobject_cast<QFileDialog *>(dlg);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->objectName(), QStringLiteral("OpenDialog1"));
      if (path.isEmpty()) {
        QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
      } else {
        // The file chosen in the dialog, then its "Open".
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
      }
    });
    EXPECT_TRUE(open.run([&] { f->Button11Click(); }));
    *seen = answerBoxes([&] { f->Button3Click(); }, answers);
  }
  QStringList Codes() {
    QStringList codes;
    for (const QString &row : Producers()) codes << row.section(QLatin1Char('|'), 0, 0);
    return codes;
  }
  // Producers as "code|name|town|birth date|TAJ" by code.
  QStringList Producers() {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("SELECT o_kod, o_nev, o_helysegnev, o_szido, o_taj FROM ostermelo ORDER BY o_kod"));
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next())
      rows << QStringList{q.field(0).asString(), q.field(1).asString(), q.field(2).asString(), q.field(3).asString(),
                          q.field(4).asString()}
                  .join(QLatin1Char('|'));
    return rows;
  }
};

TEST_F(CsvImport, SameProducersFromWindows1250AndUtf8) {
  const QStringList expected = {QStringLiteral("101|Kővári Ödön|Szeged|1960.05.17|123456789"),
                                QStringLiteral("102|Űrös Árpádné|Kecskemét|1900.01.01|"),
                                QStringLiteral("103|Őri Tünde|Budapest|1900.01.01|")};
  QStringList fromCp1250, fromUtf8;
  {
    auto f = Open();
    const auto seen = Import(f.get(), Write(QStringLiteral("ansi.csv"), platform::toCp1250(kLines)));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, QStringLiteral("A lista feldolgozva"));
    EXPECT_EQ(f->CheckListBox1->count(), 3);
    // The grid shows the producer table at its end.
    EXPECT_EQ(Data->ZQ30->recNo(), 3);
    f->grab().toImage().save(QDir::temp().filePath(QStringLiteral("Form34.png")));
    fromCp1250 = Producers();
  }
  exec({QStringLiteral("DELETE FROM ostermelo")});
  {
    auto f = Open();
    Import(f.get(), Write(QStringLiteral("utf8.csv"), QByteArray("\xEF\xBB\xBF") + kLines.toUtf8()));
    fromUtf8 = Producers();
  }
  EXPECT_EQ(fromCp1250, expected);
  EXPECT_EQ(fromUtf8, expected);
}

TEST_F(CsvImport, ThirtyFieldsImportTheFirstEighteen) {
  QStringList fields = {"201", "Harminc Mező", "6720", "Szeged", "Utca", "8123456789", "AB123456", "R1",
                        "99",  "Szeged",       "1970.05.17", "Anyja", "CS1", "2", "Születési", "123456789",
                        "12345678106", "11773016-11111111"};
  for (int i = 19; i <= 30; ++i) fields << QStringLiteral("felesleges%1").arg(i);
  auto f = Open();
  const auto seen = Import(f.get(), Write(QStringLiteral("30.csv"), fields.join(QLatin1Char(';')).toUtf8()));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("A lista feldolgozva"));
  EXPECT_EQ(value(QStringLiteral("SELECT o_nev || '|' || o_bankszla || '|' || o_adoszam "
                                 "FROM ostermelo WHERE o_kod = '201'")),
            QStringLiteral("Harminc Mező|11773016-11111111|12345678106"));
  EXPECT_EQ(value(QStringLiteral("SELECT o_szido FROM ostermelo WHERE o_kod = '201'")), QStringLiteral("1970.05.17"));
}

TEST_F(CsvImport, CancelledOpenImportsNothing) {
  auto f = Open();
  EXPECT_EQ(f->Memo1->toPlainText(), QString());
  const auto seen = Import(f.get(), QString());
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(f->CheckListBox1->count(), 0);
  EXPECT_EQ(seen[0].text, QStringLiteral("A lista feldolgozva"));
  EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM ostermelo")), QStringLiteral("0"));
}

TEST_F(CsvImport, BadLinesGetTheirMessageTheOthersGoIn) {
  // Line 2: an unclosed quote; line 3: a birth date that does not convert;
  // line 4: a quoted ";" inside a name; line 5: a tax number too long for
  // its column; line 6: blank; line 7: a megabyte of text.
  const QByteArray bytes = platform::toCp1250(
      QStringLiteral("301;Első\r\n302;\"Nyitott;idézet\r\n303;Dátum;;;;;;;;;17/05/1970\r\n"
                     "304;\"Kovács; és Fia\";6720\r\n305;Hosszú;;;;;;;;;;;;;;;123456789012345678901234567890\r\n"
                     "   \r\n")) +
      QByteArray(1 << 20, 'M') + platform::toCp1250(QStringLiteral("\r\n306;Utolsó\r\n"));
  auto f = Open();
  // The first refused line asks; going on, the others are only counted.
  std::vector<MessageSeen> seen;
  Import(f.get(), Write(QStringLiteral("rossz.csv"), bytes), {QMessageBox::Yes}, &seen);
  ASSERT_EQ(seen.size(), 2u);
  const QString h = QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r");
  EXPECT_EQ(seen[0].kind, QStringLiteral("Confirmation"));
  EXPECT_TRUE(seen[0].text.startsWith(h + QStringLiteral("2. sor: lezáratlan idézőjel"))) << seen[0].text.toStdString();
  EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r3 hibás sor kimaradt."));
  QStringList codes;
  for (const QString &row : Producers()) codes << row.section(QLatin1Char('|'), 0, 0);
  EXPECT_EQ(codes, (QStringList{"301", "304", "306", "MMMMM"}));
  EXPECT_EQ(value(QStringLiteral("SELECT o_nev || '|' || o_irszam FROM ostermelo WHERE o_kod = '304'")),
            QStringLiteral("Kovács; és Fia|6720"));
}

TEST_F(CsvImport, ATakenCodeIsRefusedAndAFileImportedTwiceAddsNothing) {
  exec({QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('101', 'Már itt')")});
  const QString path = Write(QStringLiteral("ketszer.csv"),
                             "101;Ugyanaz a kód\r\n110;Új\r\n110 ;Kétszer a fájlban\r\n111;Másik\r\n");
  {
    auto f = Open();
    std::vector<MessageSeen> seen;
    Import(f.get(), path, {QMessageBox::Yes}, &seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text.section(QLatin1Char('\r'), 0, 1),
              QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r1. sor: a(z) \"101\" kód már létezik"));
    EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r2 hibás sor kimaradt."));
  }
  EXPECT_EQ(Codes(), (QStringList{"101", "110", "111"}));
  EXPECT_EQ(value(QStringLiteral("SELECT o_nev FROM ostermelo WHERE o_kod = '101'")), QStringLiteral("Már itt"));
  {
    auto f = Open();
    std::vector<MessageSeen> seen;
    Import(f.get(), path, {QMessageBox::Yes}, &seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r4 hibás sor kimaradt."));
  }
  EXPECT_EQ(Codes(), (QStringList{"101", "110", "111"}));
}

TEST_F(CsvImport, ALineWithoutACodeIsRefused) {
  auto f = Open();
  std::vector<MessageSeen> seen;
  Import(f.get(), Write(QStringLiteral("ures.csv"), ";;;;;;;;;;;;;;;;;\r\n;Név kód nélkül\r\n121;Jó\r\n"),
         {QMessageBox::Yes}, &seen);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r1. sor: hiányzik a kód")))
      << seen[0].text.toStdString();
  EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r2 hibás sor kimaradt."));
  EXPECT_EQ(Codes(), QStringList{"121"});
}

TEST_F(CsvImport, ThousandsOfRefusedLinesAskOnceAndStoppingStoresNothing) {
  // The usual dashed tax number is too long for its column on every line.
  QByteArray bytes = "130;Jó sor\r\n";
  for (int i = 0; i < 3000; ++i)
    bytes += QStringLiteral("%1;Termelő %1;;;;;;;;;;;;;;;12345678-1-03\r\n").arg(1000 + i).toUtf8();
  const QString path = Write(QStringLiteral("sok.csv"), bytes);
  {
    auto f = Open();
    std::vector<MessageSeen> seen;
    Import(f.get(), path, {QMessageBox::No}, &seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r2. sor: ")))
        << seen[0].text.toStdString();
    EXPECT_EQ(seen[0].buttons, (QStringList{"Yes", "No"}));
    EXPECT_EQ(seen[1].text, QStringLiteral("A feldolgozás leállt, semmi nem került tárolásra."));
  }
  EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM ostermelo")), QStringLiteral("0"));
  {
    auto f = Open();
    std::vector<MessageSeen> seen;
    Import(f.get(), path, {QMessageBox::Yes}, &seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r3000 hibás sor kimaradt."));
  }
  EXPECT_EQ(Codes(), QStringList{"130"});
}

// The database on a real full disk: the failing inserts are no refused
// lines; the import stops with the cause, nothing stored, no end message.
TEST_F(CsvImport, InsertsThatFailOnAFullDiskStopTheImportWithTheCause) {
  FullDisk disk("8m");
  if (!disk.mounted()) GTEST_SKIP() << "needs a real small file system";
  openDatabaseIn(disk.path());
  QByteArray bytes;
  for (int i = 1000; i < 4000; ++i) bytes += QByteArray::number(i) + ";Termelő " + QByteArray(60, 'x') + "\r\n";
  auto f = Open();
  disk.fill();
  const auto seen = Import(f.get(), Write(QStringLiteral("tele.csv"), bytes));
  disk.release();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Hiba301: Újban, INSERT az östermelöben \rAz adatbázis fájlja "
                                                     "nem írható (betelt a lemez"))) << seen[0].text.toStdString();
  EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM ostermelo")), QStringLiteral("0"));
}

TEST_F(CsvImport, ControlCharactersAndCharactersOutsideTheCodePageAreRefused) {
  auto f = Open();
  std::vector<MessageSeen> seen;
  Import(f.get(),
         Write(QStringLiteral("vezerlo.csv"),
               QStringLiteral("140;Ctl\x01Name\x0bVT\x1b" "ESC\r\n141;Név;;;;;;;;;;Ωmega\r\n"
                              "142;Tab\tbent\r\n143;Ödön Űr\r\n"
                              // Breaks to a text view, not to the file: each line stays one line.
                              "144;Kovács\u2028" "145;Béla\r\n146;Sor\u2029" "147;Vége\r\n148;Keret\uFDD0" "149;Jel\r\n")
                   .toUtf8()),
         {QMessageBox::Yes}, &seen);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text.section(QLatin1Char('\r'), 0, 1),
            QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r1. sor: vezérlőkarakter (#1) a(z) 2. mezőben"));
  EXPECT_EQ(seen[1].text, QStringLiteral("A lista feldolgozva\r6 hibás sor kimaradt."));
  EXPECT_EQ(f->CheckListBox1->count(), 7);
  EXPECT_EQ(f->CheckListBox1->item(4)->text(), QStringLiteral("144;Kovács\u2028" "145;Béla"));
  EXPECT_EQ(Codes(), QStringList{"143"});
}

TEST_F(CsvImport, TheDatabaseItselfRefusesATakenCodeInNewFiles) {
  exec({QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('150', 'Első')")});
  EXPECT_THROW(exec({QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('150', 'Második')")}), std::exception);
  EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM ostermelo WHERE o_kod = '150'")), QStringLiteral("1"));
}

TEST_F(CsvImport, UnreadableFilesLoadNothing) {
  auto f = Open();
  f->Memo1->setPlainText(QStringLiteral("401;Előző"));
  MessageSeen binary;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &binary));
  script.run([&] {
    EXPECT_FALSE(f->LoadFile(Write(QStringLiteral("kep.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16))));
  });
  EXPECT_TRUE(binary.text.contains(QStringLiteral("nem szöveges"))) << binary.text.toStdString();
  EXPECT_EQ(binary.kind, QStringLiteral("Error"));
  MessageSeen missing;
  ModalScript script2;
  script2.then(answer(QMessageBox::Ok, &missing));
  script2.run([&] { EXPECT_FALSE(f->LoadFile(work_.file(QStringLiteral("nincs.csv")))); });
  EXPECT_TRUE(missing.text.startsWith(QStringLiteral("Cannot open file"))) << missing.text.toStdString();
  // The memo keeps what it had; an empty file loads no lines.
  EXPECT_EQ(f->Memo1->toPlainText(), QStringLiteral("401;Előző"));
  EXPECT_TRUE(f->LoadFile(Write(QStringLiteral("ures.csv"), QByteArray())));
  EXPECT_EQ(f->Memo1->toPlainText(), QString());
}

}  // namespace

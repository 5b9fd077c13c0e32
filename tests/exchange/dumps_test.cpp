// The table text dumps driven through their dialog over a real embedded
// database, each file compared byte for byte with its expected bytes written
// out here (Windows-1250: á E1, é E9, ú FA, ő F5, Á C1).
#include "support/data_fixture.h"
#include "support/full_disk.h"
#include "app/MenuCommands.h"
#include "exchange/dumps/TableDump.h"
#include "exchange/dumps/Unit29.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace vorik::test;

namespace {

class TableDumps : public DataModuleTest {
 protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    drive_ = std::make_unique<TempDir>();
    qputenv("VORIK_DRIVE_C", drive_->path().toUtf8());
  }
  void TearDown() override {
    qunsetenv("VORIK_DRIVE_C");
    drive_.reset();
    DataModuleTest::TearDown();
  }

  // Runs a statement with text parameters :p1, :p2, ... and commits.
  void execWith(const QString &sql, const QStringList &params) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    for (int i = 0; i < params.size(); ++i) q.paramByName(QStringLiteral("p%1").arg(i + 1)).setString(params[i]);
    q.execute();
    Data->IBTrans1->commit();
  }

  void fillTables() {
    exec("INSERT INTO atvevo (id_atvevo, v_neve, v_helyseg, v_utca, v_irszam, v_adoszam, v_szeria, v_verzio, v_akod) "
         "VALUES (1, 'Átvevő Kft.', 'Kecskemét', 'Fő u. 1.', '6000', '12345676123', NULL, 'A', '1')");
    exec("INSERT INTO ostermelo (id_ostermelo, o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_igszam, "
         "o_regszam, o_szja, o_szulhely, o_szido, o_anyja, o_muvktg, o_csgazd, o_neme, o_szulnev, o_taj, o_adoszam, "
         "o_bankszla, o_igszam1, o_csgazd1, o_feljegyz) VALUES (3, '7', 'Kiss Anna', '6000', 'Szeged', 'Tisza u. 2', "
         "'8123456786', 'AB123456', NULL, 15, 'Szeged', '1970-05-06', 'Minta Mária', 1234.5, NULL, '2', 'Kiss Anna', "
         "'111111110', '12345676123', '11111111-22222222', 'HU123', NULL, 'nem dumpolt')");
    exec("INSERT INTO ostermelo (id_ostermelo, o_kod, o_muvktg) VALUES (4, '8', 0.0001)");
    exec("INSERT INTO ostermelo (id_ostermelo, o_kod, o_muvktg, o_szja) VALUES (5, '9', -1234567.89, 0)");
    exec("INSERT INTO sorszam (id_sorszam, a_qzbszam, a_szeria, a_verzio, a_akod) VALUES (7, '100', NULL, 'A', '1')");
    exec("INSERT INTO sorszam (id_sorszam, a_qzbszam, a_szeria, a_verzio, a_akod) VALUES (8, '25000001', '', 'L', '2')");
    exec("INSERT INTO termek (id_termek, t_kod, t_megnevezes, t_vtsz, t_megy, t_ear, t_kompmerteke, t_akod) "
         "VALUES (2, '1', 'Búza', '1001', 'kg', 45.5, 12, '1')");
    execWith("INSERT INTO qzfej (id_qzfej, f_bszam, f_akod, f_ostermkod, f_kelt, f_muvktg, f_szja, f_prn, f_megj, "
             "f_fizkelt) VALUES (5, '25000001', '1', '7', '2025-03-07', 10000, 15, 'I', :p1, '2025-03-15')",
             {"a, b: c*\r\nd"});
    execWith("INSERT INTO qzfej (id_qzfej, f_bszam, f_akod, f_megj) VALUES (6, '25000002', '2', :p1)", {"Ж ✓"});
    exec("INSERT INTO qzfej (id_qzfej) VALUES (8)");  // only its key and the blank serial default
    exec("INSERT INTO qzsor (id_qzsor, s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, s_megy, s_ear, "
         "s_kompmerteke, s_levonszaz) VALUES (9, '25000001', '1', 'Búza', '1001', 100.25, 'kg', 45.5, 12, 2)");
    exec("INSERT INTO qzsor (id_qzsor, s_bszam, s_brutto, s_ear, s_kompmerteke) VALUES (10, '25000002', -100.25, 0, 7)");
  }

  // Opens the dialog, applies fill and presses "Export"; then expects the
  // end message (or, with error set, an error box whose text it keeps, the
  // dialog staying open).
  void runExport(const std::function<void(QWidget *)> &fill, MessageSeen *seen, bool error = false) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      fill(dlg);
      click(dlg, "Button1");
    });
    script.then(answer(error ? QMessageBox::Ok : QMessageBox::Yes, seen));
    if (error) script.then([](QWidget *dlg) { closeWindow(dlg); });  // still open after the error
    ASSERT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("Adatexport1")); }));
  }

  QByteArray file(const QString &name) { return readFile(drive_->file(name), "<missing>"); }
  bool exists(const QString &name) { return QFile::exists(drive_->file(name)); }
  void put(const QString &name, const QByteArray &bytes) { writeFile(drive_->file(name), bytes); }

  std::unique_ptr<TempDir> drive_;
};

const char *const kFiles[] = {"atvevo.txt", "ostermelo.txt", "sorszam.txt", "termek.txt", "QzFej.txt", "QzSor.txt"};

TEST_F(TableDumps, EveryTableAsTheFormatSays) {
  fillTables();
  put("atvevo.txt", QByteArray(100000, 'x'));  // an old, longer file is replaced
  MessageSeen seen;
  runExport([](QWidget *) {}, &seen);
  EXPECT_EQ(seen.kind, "Confirmation");
  EXPECT_EQ(seen.text, "Exportálás vége. ");
  EXPECT_EQ(seen.buttons, QStringList({"Yes"}));

  EXPECT_EQ(file("atvevo.txt"), QByteArray(":1:,:\xC1tvev\xF5 Kft.:,:Kecskem\xE9t:,:F\xF5 u. 1.:,:6000:,:12345676123:,::,:A:*\r\n"));
  EXPECT_EQ(file("ostermelo.txt"),
            QByteArray(":3:,:7:,:Kiss Anna:,:6000:,:Szeged:,:Tisza u. 2:,:8123456786:,:AB123456:,::,:15:,:Szeged:,"
                       ":1970.05.06:,:Minta M\xE1ria:,:1234,5:,::,:2:,:Kiss Anna:,:111111110:,:12345676123:,"
                       ":11111111-22222222:,:HU123:,::*\r\n"
                       ":4:,:8:,::,::,::,::,::,::,::,::,::,::,::,:0,0001:,::,::,::,::,::,::,::,::*\r\n"
                       ":5:,:9:,::,::,::,::,::,::,::,:0:,::,::,::,:-1234567,89:,::,::,::,::,::,::,::,::*\r\n"));
  EXPECT_EQ(file("sorszam.txt"), QByteArray(":7:,:100:,::,:A:*\r\n:8:,:25000001:,::,:L:*\r\n"));
  EXPECT_EQ(file("termek.txt"), QByteArray(":2:,:1:,:B\xFAza:,:1001:,:kg:,:45,5:,:12:*\r\n"));
  // No escaping: the remark's separators and line break stand as they are;
  // characters the code page lacks were stored as "?".
  EXPECT_EQ(file("QzFej.txt"), QByteArray(":5:,:25000001:,:1:,:7:,:2025.03.07:,:10000:,:15:,:I:,:a, b: c*\r\nd:*\r\n"
                                          ":6:,:25000002:,:2:,::,::,::,::,::,:? ?:*\r\n"
                                          ":8:,: :,::,::,::,::,::,::,::*\r\n"));
  EXPECT_EQ(file("QzSor.txt"), QByteArray(":9:,:25000001:,:1:,:B\xFAza:,:1001:,:100,25:,:kg:,:45,5:,:12:*\r\n"
                                          ":10:,:25000002:,::,::,::,:-100,25:,::,:0:,:7:*\r\n"));
}

TEST_F(TableDumps, FolderTextRunsIntoTheFileNameAndEmptyTablesGiveEmptyFiles) {
  ASSERT_TRUE(QDir(drive_->path()).mkdir("Dump"));
  MessageSeen seen;
  runExport(
      [](QWidget *dlg) {
        setText(dlg, "Edit1", "C:\\dump");
        setChecked(dlg, "CheckBox2", false);
      },
      &seen);
  EXPECT_EQ(seen.text, "Exportálás vége. ");
  for (const char *name : kFiles) {
    const QString joined = QStringLiteral("dump") + QLatin1String(name);
    EXPECT_EQ(exists(joined), QLatin1String(name) != QLatin1String("ostermelo.txt")) << name;
    if (exists(joined)) {
      EXPECT_EQ(file(joined), QByteArray()) << name;
    }
    EXPECT_FALSE(QFile::exists(drive_->file(QStringLiteral("Dump/") + QLatin1String(name))));
  }
}

TEST_F(TableDumps, NoBoxTickedTouchesNoFile) {
  fillTables();
  put("atvevo.txt", "old");
  MessageSeen seen;
  runExport(
      [](QWidget *dlg) {
        for (int i = 1; i <= 6; ++i) setChecked(dlg, QStringLiteral("CheckBox%1").arg(i), false);
      },
      &seen);
  EXPECT_EQ(seen.text, "Exportálás vége. ");
  EXPECT_EQ(file("atvevo.txt"), QByteArray("old"));
  EXPECT_FALSE(exists("termek.txt"));
}

TEST_F(TableDumps, ATargetThatCannotBeWrittenIsNamedAndEndsTheExport) {
  fillTables();
  ASSERT_TRUE(QDir(drive_->path()).mkdir("termek.txt"));  // no file can be made under this name
  put("QzFej.txt", "old");
  MessageSeen seen;
  runExport([](QWidget *) {}, &seen, true);
  EXPECT_EQ(seen.kind, "Error");
  EXPECT_TRUE(seen.text.startsWith("A(z) c:\\termek.txt fájl nem írható: ")) << seen.text.toStdString();
  EXPECT_TRUE(seen.text.contains("A régi fájl változatlan maradt.")) << seen.text.toStdString();
  EXPECT_EQ(file("sorszam.txt"), QByteArray(":7:,:100:,::,:A:*\r\n:8:,:25000001:,::,:L:*\r\n"));
  EXPECT_EQ(file("QzFej.txt"), QByteArray("old"));  // the tables after it are skipped
  EXPECT_FALSE(exists("QzSor.txt"));
  EXPECT_FALSE(Data->ZQ60->forwardOnly());

  MessageSeen missing;
  runExport([](QWidget *dlg) { setText(dlg, "Edit1", "c:\\nincs\\"); }, &missing, true);
  EXPECT_TRUE(missing.text.startsWith("A(z) c:\\nincs\\atvevo.txt fájl nem írható: ")) << missing.text.toStdString();
}

TEST_F(TableDumps, AFullDiskNamesTheReasonAndKeepsTheOldFile) {
  fillTables();
  FullDisk disk;
  // A file size limit would stop the database's own writes as well.
  if (!disk.mounted()) GTEST_SKIP() << "no small file system could be mounted here (not permitted)";
  ASSERT_TRUE(writeFile(disk.file("atvevo.txt"), "old"));
  MessageSeen seen;
  runExport(
      [&](QWidget *dlg) {
        setText(dlg, "Edit1", disk.path() + "/");
        disk.fill();
      },
      &seen, true);
  disk.release();
  EXPECT_EQ(seen.text, "A(z) " + disk.path() + "/atvevo.txt fájl nem írható: " +
                           disk.reason() +
                           "\rA régi fájl változatlan maradt. A további táblák kimaradtak.");
  QFile f(disk.file("atvevo.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("old"));
}

class TableDumpsOldSchema : public TableDumps {
 protected:
  db::SchemaVariant schema() const override { return db::SchemaVariant::Old; }
};

TEST_F(TableDumpsOldSchema, AStatementTheDatabaseRefusesKeepsTheOldFileAndEndsTheExport) {
  // The older database lacks o_Igszam1 and o_Csgazd1.
  put("ostermelo.txt", "old");
  put("sorszam.txt", "old");
  MessageSeen seen;
  runExport([](QWidget *) {}, &seen, true);
  EXPECT_EQ(seen.kind, "Error");
  EXPECT_TRUE(seen.text.contains("O_IGSZAM1", Qt::CaseInsensitive)) << seen.text.toStdString();
  EXPECT_TRUE(exists("atvevo.txt"));
  EXPECT_EQ(file("ostermelo.txt"), QByteArray("old"));
  EXPECT_EQ(file("sorszam.txt"), QByteArray("old"));
}

TEST_F(TableDumps, ManyRowsAreWrittenInOrderReadingForwardOnly) {
  insertTicketLines(*Data->IBTrans1, 4);  // 10,000 lines: many fetch batches and write blocks
  const tabledump::Table &lines = tabledump::tables()[5];
  const tabledump::DumpResult r = tabledump::dumpTable(*Data->ZQ60, lines, QStringLiteral("c:\\QzSor.txt"));
  EXPECT_EQ(r.lines, 10000);
  EXPECT_EQ(r.replaced, 0);
  EXPECT_FALSE(Data->ZQ60->active());
  EXPECT_FALSE(Data->ZQ60->forwardOnly());

  // The same rows read whole, the usual way.
  db::Query all;
  all.setTransaction(Data->IBTrans1);
  for (const QString &l : lines.sql) all.sql().add(l);
  all.open();
  QByteArray expected;
  for (; !all.eof(); all.next()) {
    QStringList values;
    for (const QString &c : lines.columns) values << all.fieldByName(c).asString();
    expected += tabledump::lineBytes(values);
  }
  const QByteArray written = file("QzSor.txt");
  EXPECT_EQ(written.count("\r\n"), 10000);
  EXPECT_TRUE(written.contains(":\xD5szibarack I. oszt\xE1ly:,:0809:,:"));
  EXPECT_EQ(written, expected);
}

TEST(TableDumpLines, CharactersTheCodePageLacksBecomeQuestionMarksAndAreCounted) {
  qint64 replaced = 0;
  EXPECT_EQ(tabledump::lineBytes({"Ж", "✓ő", "", "a:b,c*\r\n"}, &replaced),
            QByteArray(":?:,:?\xF5:,::,:a:b,c*\r\n:*\r\n"));
  EXPECT_EQ(replaced, 2);
  EXPECT_EQ(tabledump::lineBytes({}), QByteArray("*\r\n"));
  // Any text: one byte per character, never more, and the count matches.
  QRandomGenerator rng(113);
  for (int i = 0; i < 2000; ++i) {
    QStringList values;
    qsizetype chars = 0;
    for (int v = rng.bounded(5); v > 0; --v) {
      QString s;
      for (int k = rng.bounded(8); k > 0; --k) s += QChar(static_cast<char16_t>(rng.bounded(1, 0xD7FF)));
      chars += s.size();
      values << s;
    }
    qint64 count = 0;
    const QByteArray bytes = tabledump::lineBytes(values, &count);
    const qsizetype n = values.size();
    ASSERT_EQ(bytes.size(), chars + 2 * n + (n ? n - 1 : 0) + 3);
    ASSERT_LE(count, chars);
  }
}

TEST_F(TableDumps, TheDialogOpensWithNothingCut) {
  ModalScript script;
  script.then([](QWidget *dlg) {
    EXPECT_EQ(textOf(dlg, "Edit1"), "c:\\");
    for (int i = 1; i <= 6; ++i) EXPECT_TRUE(child<QCheckBox>(dlg, QStringLiteral("CheckBox%1").arg(i))->isChecked());
    QDir().mkpath(QStringLiteral(VORIK_BINARY_DIR "/grabs"));
    dlg->grab().save(QStringLiteral(VORIK_BINARY_DIR "/grabs/Form29.png"));
    for (QWidget *w : dlg->findChildren<QWidget *>()) {
      if (w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QLineEdit *>(w)) {
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
      }
    }
    closeWindow(dlg);
  });
  ASSERT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("Adatexport1")); }));
}

}  // namespace

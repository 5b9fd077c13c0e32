// The import from the older version on a real database, from files written
// by hand at the export's field positions: producers, products and
// receivers as expected, a decimal comma, malformed lines with their
// numbered message, the receivers kept when they cannot be removed.
#include "exchange/imports/Unit25.h"
#include "platform/cp1250.h"
#include "support/full_disk.h"
#include "../dialog_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>

using namespace vorik::test;

namespace {

// A fixed-width line: each text at its 1-based position.
QString Fixed(std::initializer_list<std::pair<int, QString>> fields) {
  QString line;
  for (const auto &[position, text] : fields) {
    line = line.leftJustified(position - 1, QLatin1Char(' '), true);
    line += text;
  }
  return line;
}

class OldImport : public WorkingFolderTest {
 protected:
  void SetUp() override {
    WorkingFolderTest::SetUp();
    QDir(drive_.path()).mkpath(QStringLiteral("regi"));
  }
  std::unique_ptr<TForm25> Open() {
    auto f = showForm(Form25);
    f->Edit1->setText(QStringLiteral("c:\\regi\\"));
    return f;
  }
  // The lines in Windows-1250, or in UTF-8 (which holds any character).
  void Write(const QString &name, const QStringList &lines, bool utf8 = false) {
    QFile file(drive_.file(QStringLiteral("regi/") + name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    file.write(utf8 ? text.toUtf8() : platform::toCp1250(text));
  }
  QStringList Rows(const QString &sql) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next()) {
      QStringList cells;
      for (int c = 0; c < q.fieldCount(); ++c) cells << q.field(c).asString();
      rows << cells.join(QLatin1Char('|'));
    }
    return rows;
  }
  static QStringList Texts(const std::vector<MessageSeen> &seen) {
    QStringList t;
    for (const auto &m : seen) t << m.text;
    return t;
  }
};

TEST_F(OldImport, AllThreeFiles) {
  Write(QStringLiteral("exposterm.txt"),
        {Fixed({{2, QStringLiteral("0012 ")},
                {7, QStringLiteral("Kővári Ödön")},
                {53, QStringLiteral("6720")},
                {58, QStringLiteral("Szeged")},
                {104, QStringLiteral("Árpád tér 1")},
                {150, QStringLiteral("8123456789")},
                {183, QStringLiteral("Hódmezővásárhely")},
                {229, QStringLiteral("1960.05.17")},
                {240, QStringLiteral("Űrös Mária")},
                {297, QStringLiteral("1")},
                {345, QStringLiteral("123456789")},
                {367, QStringLiteral("11773016-11111111")}}),
         Fixed({{2, QStringLiteral("0013 ")}, {7, QStringLiteral("Születési dátum nélkül")}})});
  Write(QStringLiteral("exptermek.txt"),
        {Fixed({{2, QStringLiteral("0001 ")},
                {7, QStringLiteral("Őszibarack")},
                {83, QStringLiteral("0809")},
                {94, QStringLiteral("12,5")},
                {110, QStringLiteral("kg")},
                {121, QStringLiteral("12")}}),
         Fixed({{2, QStringLiteral("0002 ")}, {7, QStringLiteral("Rossz ár")}, {94, QStringLiteral("tizenkettő")}}),
         Fixed({{2, QStringLiteral("0003 ")}, {7, QStringLiteral("Dió")}, {94, QStringLiteral("1500.75")},
                {121, QStringLiteral("7")}})});
  Write(QStringLiteral("expatvevo.txt"),
        {Fixed({{1, QStringLiteral("Első Kft.")}, {47, QStringLiteral("Szeged")}, {139, QStringLiteral("6720")}}),
         Fixed({{1, QStringLiteral("Második Bt.")}, {93, QStringLiteral("Fő út 2.")}}),
         Fixed({{1, QStringLiteral("Harmadik")}, {144, QStringLiteral("12345678206")}})});
  exec({QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R9', 'Régi átvevő')")});

  auto f = Open();
  bool closed = false;
  QObject::connect(f.get(), &QDialog::finished, [&] { closed = true; });
  const QStringList seen = Texts(Run([&] { f->Button1Click(); }));
  ASSERT_EQ(seen.size(), 4) << seen.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(seen[0], QStringLiteral("A régi östermelö adatok átemelve"));
  EXPECT_TRUE(seen[1].startsWith(QStringLiteral("Hiba253: Újban, INSERT a termékben \r2. sor: hibás egységár")))
      << seen[1].toStdString();
  EXPECT_EQ(seen[2], QStringLiteral("A régi termék adatok átemelve"));
  EXPECT_EQ(seen[3], QStringLiteral("A régi átvevö adatok átemelve"));
  EXPECT_TRUE(closed);

  EXPECT_EQ(Rows(QStringLiteral("SELECT o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_szulhely, o_szido, "
                                "o_anyja, o_neme, o_taj, o_bankszla, o_akod, o_szja FROM ostermelo ORDER BY o_kod")),
            (QStringList{QStringLiteral("10012|Kővári Ödön|6720|Szeged|Árpád tér 1|8123456789|Hódmezővásárhely|"
                                        "1960.05.17|Űrös Mária|1|123456789|11773016-11111111|1|0"),
                         QStringLiteral("10013|Születési dátum nélkül|||||||||||1|0")}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT t_kod, t_megnevezes, t_vtsz, t_ear, t_megy, t_kompmerteke, t_akod FROM termek "
                                "ORDER BY t_kod")),
            (QStringList{QStringLiteral("10001|Őszibarack|0809|12,5|kg|12|1"),
                         QStringLiteral("10003|Dió||1500,75||7|1")}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT v_akod, v_neve, v_helyseg, v_utca, v_irszam, v_adoszam FROM atvevo "
                                "ORDER BY v_akod")),
            (QStringList{QStringLiteral("1|Első Kft.|Szeged||6720|"), QStringLiteral("2|Második Bt.||Fő út 2.||"),
                         QStringLiteral("3|Harmadik||||12345678206")}));
  f->grab().toImage().save(QDir::temp().filePath(QStringLiteral("Form25.png")));
}

// The database on a real full disk: the import stops with the cause after
// the line's message, nothing stored.
TEST_F(OldImport, InsertsThatFailOnAFullDiskStopWithTheCause) {
  FullDisk disk("8m");
  if (!disk.mounted()) GTEST_SKIP() << "needs a real small file system";
  openDatabaseIn(disk.path());
  QStringList lines;
  for (int i = 1000; i < 4000; ++i)
    lines << Fixed({{2, QString::number(i) + QLatin1Char(' ')}, {7, QStringLiteral("Termelő ") + QString(38, 'x')}});
  Write(QStringLiteral("exposterm.txt"), lines);
  auto f = Open();
  f->CheckBox2->setChecked(false);
  f->CheckBox3->setChecked(false);
  disk.fill();
  const QStringList seen = Texts(Run([&] { f->Button1Click(); }));
  disk.release();
  ASSERT_EQ(seen.size(), 1) << seen.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(seen[0].startsWith(QStringLiteral("Hiba251: Újban, INSERT az östermelöben \rAz adatbázis fájlja nem "
                                                "írható (betelt a lemez")))
      << seen[0].toStdString();
  EXPECT_EQ(Rows(QStringLiteral("SELECT COUNT(*) FROM ostermelo")), QStringList{"0"});
}

TEST_F(OldImport, OnlyTheTickedFileAndAMissingFile) {
  Write(QStringLiteral("exptermek.txt"), {Fixed({{2, QStringLiteral("0001 ")}, {7, QStringLiteral("Alma")}})});
  exec({QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R9', 'Régi átvevő')")});
  auto f = Open();
  f->CheckBox1->setChecked(false);
  f->CheckBox3->setChecked(false);
  EXPECT_EQ(Texts(Run([&] { f->Button1Click(); })), QStringList{QStringLiteral("A régi termék adatok átemelve")});
  EXPECT_EQ(Rows(QStringLiteral("SELECT t_kod, t_ear FROM termek")), QStringList{QStringLiteral("10001|")});
  EXPECT_EQ(Rows(QStringLiteral("SELECT v_akod FROM atvevo")), QStringList{QStringLiteral("R9")});

  // No producer file: the file's message, and nothing after it runs.
  auto g = Open();
  bool closed = false;
  QObject::connect(g.get(), &QDialog::finished, [&] { closed = true; });
  const auto seen = Run([&] { g->Button1Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Cannot open file"))) << seen[0].text.toStdString();
  EXPECT_FALSE(closed);
  EXPECT_EQ(Rows(QStringLiteral("SELECT COUNT(*) FROM termek")), QStringList{QStringLiteral("1")});

  // A folder typed without its closing "\" runs into the file name.
  g->Edit1->setText(QStringLiteral("c:\\regi"));
  g->CheckBox1->setChecked(false);
  const auto joined = Run([&] { g->Button1Click(); });
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_TRUE(joined[0].text.contains(QStringLiteral("regiexptermek.txt"))) << joined[0].text.toStdString();
}

TEST_F(OldImport, ReceiversStayWhenTheyCannotBeRemoved) {
  Write(QStringLiteral("expatvevo.txt"), {QStringLiteral("Új átvevő")});
  exec({QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R9', 'Régi átvevő')")});
  // Another program holds a change on the old receiver: the emptying meets a lock.
  auto other = std::make_unique<Attachment>(database_);
  other->exec(QStringLiteral("UPDATE ATVEVO SET V_NEVE = 'Zárolt' WHERE V_AKOD = 'R9'"));
  auto f = Open();
  f->CheckBox1->setChecked(false);
  f->CheckBox2->setChecked(false);
  const auto seen = Run([&] { f->Button1Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("Hiba255: törlés az átvevőben "));
  other.reset();
  // No receiver "1" beside the old one.
  EXPECT_EQ(Rows(QStringLiteral("SELECT v_akod, v_neve FROM atvevo")), QStringList{QStringLiteral("R9|Régi átvevő")});
}

TEST_F(OldImport, ATakenProducerCodeIsRefusedWithTheLinesMessage) {
  exec({QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('10012', 'Már itt')")});
  Write(QStringLiteral("exposterm.txt"), {Fixed({{2, QStringLiteral("0012 ")}, {7, QStringLiteral("Ugyanaz")}}),
                                          Fixed({{2, QStringLiteral("0014 ")}, {7, QStringLiteral("Új")}}),
                                          Fixed({{2, QStringLiteral("0014 ")}, {7, QStringLiteral("Kétszer")}})});
  auto f = Open();
  f->CheckBox2->setChecked(false);
  f->CheckBox3->setChecked(false);
  const QStringList seen = Texts(Run([&] { f->Button1Click(); }));
  ASSERT_EQ(seen.size(), 3) << seen.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(seen[0], QStringLiteral("Hiba251: Újban, INSERT az östermelöben \r1. sor: a(z) \"10012\" kód már létezik"));
  EXPECT_EQ(seen[1], QStringLiteral("Hiba251: Újban, INSERT az östermelöben \r3. sor: a(z) \"10014\" kód már létezik"));
  EXPECT_EQ(seen[2], QStringLiteral("A régi östermelö adatok átemelve"));
  EXPECT_EQ(Rows(QStringLiteral("SELECT o_kod, o_nev FROM ostermelo ORDER BY o_kod")),
            (QStringList{QStringLiteral("10012|Már itt"), QStringLiteral("10014|Új")}));
}

TEST_F(OldImport, ControlCharactersAndCharactersOutsideTheCodePageAreRefusedByLine) {
  const auto producer = [](const char *code, const QString &name, const QString &town = QString()) {
    return Fixed({{2, QLatin1String(code)}, {7, name}, {58, town}});
  };
  Write(QStringLiteral("exposterm.txt"),
        {producer("0021 ", QStringLiteral("Ctl\x01Name")), producer("0022 ", QStringLiteral("Kovács"), QStringLiteral("VT\x0bSzeged")),
         producer("0023 ", QStringLiteral("Esc\x1bNév")), producer("0024 ", QStringLiteral("Ωmega Béla")),
         producer("0025 ", QStringLiteral("Ödön Űr"))},
        true);
  Write(QStringLiteral("exptermek.txt"),
        {Fixed({{2, QStringLiteral("0001 ")}, {7, QStringLiteral("Al\x01ma")}, {83, QStringLiteral("0808")}}),
         Fixed({{2, QStringLiteral("0002 ")}, {7, QStringLiteral("Körte")}})},
        true);
  Write(QStringLiteral("expatvevo.txt"),
        {Fixed({{1, QStringLiteral("Első\u2028Kft.")}}), Fixed({{1, QStringLiteral("Második Bt.")}})}, true);
  auto f = Open();
  const QStringList seen = Texts(Run([&] { f->Button1Click(); }));
  const QString producers = QStringLiteral("Hiba251: Újban, INSERT az östermelöben \r");
  EXPECT_EQ(seen, (QStringList{producers + QStringLiteral("1. sor: vezérlőkarakter (#1) a(z) 2. mezőben"),
                               producers + QStringLiteral("2. sor: vezérlőkarakter (#11) a(z) 4. mezőben"),
                               producers + QStringLiteral("3. sor: vezérlőkarakter (#27) a(z) 2. mezőben"),
                               producers + QStringLiteral("4. sor: a(z) 2. mezőben Windows-1250 kódlapon kívüli "
                                                          "karakter: \"Ω\""),
                               QStringLiteral("A régi östermelö adatok átemelve"),
                               QStringLiteral("Hiba253: Újban, INSERT a termékben \r1. sor: vezérlőkarakter (#1) a(z) 2. "
                                              "mezőben"),
                               QStringLiteral("A régi termék adatok átemelve"),
                               QStringLiteral("Hiba257: Újban, INSERT az átvevöben \r1. sor: a(z) 2. mezőben "
                                              "Windows-1250 kódlapon kívüli karakter: \"\u2028\""),
                               QStringLiteral("A régi átvevö adatok átemelve")}))
      << seen.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(Rows(QStringLiteral("SELECT o_kod, o_nev FROM ostermelo")), QStringList{QStringLiteral("10025|Ödön Űr")});
  EXPECT_EQ(Rows(QStringLiteral("SELECT t_kod, t_megnevezes FROM termek")), QStringList{QStringLiteral("10002|Körte")});
  EXPECT_EQ(Rows(QStringLiteral("SELECT v_akod, v_neve FROM atvevo")), QStringList{QStringLiteral("2|Második Bt.")});
}

TEST_F(OldImport, AReceiverFileWithNothingToInsertKeepsTheReceivers) {
  exec({QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R9', 'Régi átvevő')")});
  for (const QStringList &lines : {QStringList{}, QStringList{QStringLiteral("   "), QString()}}) {
    Write(QStringLiteral("expatvevo.txt"), lines);
    auto f = Open();
    f->CheckBox1->setChecked(false);
    f->CheckBox2->setChecked(false);
    const QStringList seen = Texts(Run([&] { f->Button1Click(); }));
    EXPECT_EQ(seen, QStringList{QStringLiteral("Hiba! Az \"expatvevo.txt\" fájlban nincs átvehető átvevő, az átvevők "
                                               "nem változtak.")});
    EXPECT_EQ(Rows(QStringLiteral("SELECT v_akod, v_neve FROM atvevo")),
              QStringList{QStringLiteral("R9|Régi átvevő")});
  }
}

TEST_F(OldImport, BinaryFileIsRefusedWhole) {
  ASSERT_TRUE(writeFile(drive_.file(QStringLiteral("regi/exposterm.txt")),
                        QByteArray("MZ\x90\0\3\0\0\0\4\0\0\0", 12)));
  auto f = Open();
  const auto seen = Run([&] { f->Button1Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].text.contains(QStringLiteral("nem szöveges"))) << seen[0].text.toStdString();
  EXPECT_EQ(Rows(QStringLiteral("SELECT COUNT(*) FROM ostermelo")), QStringList{QStringLiteral("0")});
}

}  // namespace

// The CSV producer import on a real database: the same producers from a
// Windows-1250 file and its UTF-8 twin, 30 fields of which 18 count, a
// cancelled open dialog, and broken files and lines.
#include "app/MenuCommands.h"
#include "exchange/imports/Unit34.h"
#include "platform/cp1250.h"
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
  std::unique_ptr<TForm34> Open() {
    auto f = std::make_unique<TForm34>(nullptr);
    Form34 = f.get();
    f->show();
    return f;
  }
  QString Write(const QString &name, const QByteArray &bytes) {
    QFile file(work_.file(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  // "Megnyitás" choosing path (empty: cancelled), then "Feldolgozás"; the
  // boxes that follow are answered with OK and returned.
  std::vector<MessageSeen> Import(TForm34 *f, const QString &path) {
    ModalScript open;
    open.then([&](QWidget *dlg) {
      auto *d = qobject_cast<QFileDialog *>(dlg);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->objectName(), QStringLiteral("OpenDialog1"));
      if (path.isEmpty()) {
        QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
      } else {
        // The path typed into the dialog's name field, then its "Open".
        auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(path);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
      }
    });
    open.run([&] { f->Button11Click(); });
    EXPECT_TRUE(open.done()) << open.failure().toStdString();
    return Run([&] { f->Button3Click(); });
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
      QByteArray(1 << 20, 'M') + QByteArray("\r\n306;Utolsó\r\n");
  auto f = Open();
  const auto seen = Import(f.get(), Write(QStringLiteral("rossz.csv"), bytes));
  ASSERT_EQ(seen.size(), 4u);
  const QString h = QStringLiteral("Hiba301: Újban, INSERT az östermelöben \r");
  EXPECT_TRUE(seen[0].text.startsWith(h + QStringLiteral("2. sor: lezáratlan idézőjel"))) << seen[0].text.toStdString();
  EXPECT_TRUE(seen[1].text.startsWith(h + QStringLiteral("3. sor: hibás születési dátum"))) << seen[1].text.toStdString();
  EXPECT_TRUE(seen[2].text.startsWith(h + QStringLiteral("5. sor: "))) << seen[2].text.toStdString();
  EXPECT_EQ(seen[3].text, QStringLiteral("A lista feldolgozva"));
  QStringList codes;
  for (const QString &row : Producers()) codes << row.section(QLatin1Char('|'), 0, 0);
  EXPECT_EQ(codes, (QStringList{"301", "304", "306", "MMMMM"}));
  EXPECT_EQ(value(QStringLiteral("SELECT o_nev || '|' || o_irszam FROM ostermelo WHERE o_kod = '304'")),
            QStringLiteral("Kovács; és Fia|6720"));
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

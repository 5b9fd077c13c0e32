// The backup dialog on the program's own open database: the time-stamped
// target, the copy through the menu, a second backup in the same minute
// refused with the error and no confirmation, a missing source.
#include "app/MenuCommands.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/backup/Unit35.h"
#include "platform/win_path.h"
#include "../dialog_fixture.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>

using namespace vorik::test;

namespace {

class Backup : public WorkingFolderTest {
 protected:
  std::unique_ptr<TForm35> Open() { return showForm(Form35); }
};

TEST(BackupName, MinuteWithLeadingZeros) {
  EXPECT_EQ(BackupFileName(QDateTime(QDate(2025, 3, 7), QTime(14, 5, 59))), QStringLiteral("2025_03_07_14_05.FDB"));
  EXPECT_EQ(BackupFileName(QDateTime(QDate(2025, 12, 31), QTime(0, 0))), QStringLiteral("2025_12_31_00_00.FDB"));
}

TEST_F(Backup, MenuCopiesTheOpenDatabaseOnceAMinute) {
  exec({QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('1', 'Kővári Ödön')"),
        QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('1', 'Alma')")});
  // The program's transaction holds a read and an insert of its own.
  value(QStringLiteral("SELECT COUNT(*) FROM OSTERMELO"));
  {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('2', 'Körte')"));
    q.execute();
  }

  QString target;
  QByteArray afterFirst;
  MessageSeen first, second;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    EXPECT_EQ(dlg->objectName(), QStringLiteral("Form35"));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Adatok mentése"));
    EXPECT_EQ(textOf(dlg, QStringLiteral("Edit1")), work_.path() + QStringLiteral("/qz2025.fdb"));
    target = textOf(dlg, QStringLiteral("Edit2"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^c:\\\\qz2025\\\\ment\\\\\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.FDB$"))
                    .match(target)
                    .hasMatch())
        << target.toStdString();
    const QImage image = dlg->grab().toImage();
    image.save(QDir::temp().filePath(QStringLiteral("Form35.png")));
    click(dlg, QStringLiteral("Button1"));
  });
  script.then(answer(QMessageBox::Ok, &first));
  script.then([&](QWidget *dlg) {
    QFile done(platform::mapWindowsPath(target));
    EXPECT_TRUE(done.open(QIODevice::ReadOnly));
    afterFirst = done.readAll();
    click(dlg, QStringLiteral("Button1"));
  });
  script.then(answer(QMessageBox::Ok, &second));
  script.then([](QWidget *dlg) { closeWindow(dlg); });
  ASSERT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("Adatments1")); }, 60000));

  EXPECT_EQ(first.text, QStringLiteral("Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le."));
  EXPECT_EQ(second.text, QStringLiteral("Hiba! A mentés nem történt meg.\rA \"Hová\" -ban megadott fálj már létezik."));
  const QString copy = platform::mapWindowsPath(target);
  QFile file(copy);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), afterFirst) << "the second backup touched the first";
  EXPECT_GT(afterFirst.size(), 0);

  // The copy opens as a database with the committed rows, the program's own
  // insert committed before the copy included.
  Attachment copied(copy);
  EXPECT_EQ(copied.count(QStringLiteral("OSTERMELO")), 1);
  EXPECT_EQ(copied.count(QStringLiteral("TERMEK")), 2);
}

TEST_F(Backup, MissingSourceCopiesNothing) {
  auto f = Open();
  f->Edit1->setText(work_.file(QStringLiteral("nincs.fdb")));
  f->Edit2->setText(QStringLiteral("c:\\qz2025\\ment\\x.FDB"));
  const auto seen = Run([&] { f->Button1Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("Hiba! A \"Honnan\" -ban megadott fálj nem létezik."));
  EXPECT_FALSE(QFileInfo::exists(drive_.file(QStringLiteral("qz2025/ment/x.FDB"))));

  // A target folder that does not exist: the error, no confirmation.
  f->Edit1->setText(database_);
  f->Edit2->setText(QStringLiteral("c:\\nincs\\x.FDB"));
  const auto failed = Run([&] { f->Button1Click(); });
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].text,
            QStringLiteral("Hiba! A mentés nem történt meg.\rA \"Hová\" -ban megadott könyvtár nem létezik."));
}

TEST_F(Backup, TargetFolderFromTheSaveDialog) {
  auto f = Open();
  QDir(work_.path()).mkdir(QStringLiteral("valasztott"));
  const QString chosen = work_.file(QStringLiteral("valasztott/akarmi.fdb"));
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *d = qobject_cast<QFileDialog *>(dlg);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->objectName(), QStringLiteral("SaveDialog1"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Felvásárlási jegy 2025. évi adatok mentése ide"));
    EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("*.fdb (*.fdb)")});
    EXPECT_EQ(d->defaultSuffix(), QStringLiteral("fdb"));
    d->selectFile(chosen);
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
  });
  ASSERT_TRUE(script.run([&] { f->Button3Click(); }));
  EXPECT_EQ(f->OpenDialog1->nameFilters(), QStringList{QStringLiteral("*.fdb (Qz2025.fdb)")});
  EXPECT_EQ(f->OpenDialog1->fileMode(), QFileDialog::ExistingFile);
  // The chosen folder with a new backup name; the typed name is not used.
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1/\\d{4}(_\\d\\d){4}\\.FDB$")
                                     .arg(QRegularExpression::escape(work_.file(QStringLiteral("valasztott")))))
                  .match(f->Edit2->text())
                  .hasMatch())
      << f->Edit2->text().toStdString();

  // Cancelled: the process's current folder.
  ModalScript cancel;
  cancel.then([](QWidget *dlg) { QMetaObject::invokeMethod(dlg, "reject", Qt::QueuedConnection); });
  cancel.run([&] { f->Button3Click(); });
  EXPECT_TRUE(f->Edit2->text().startsWith(QDir::currentPath() + QStringLiteral("/")));
  EXPECT_EQ(f->Hova, f->Edit2->text());
}

}  // namespace

// The e-mail dialog: last year's database file found in a folder or not, the
// mailto: link exactly as the mail program gets it, and a desktop without a
// mail program.
#include "exchange/backup/Unit27.h"
#include "../dialog_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>

using namespace vorik::test;

namespace {

class Email : public WorkingFolderTest {
 protected:
  std::unique_ptr<TForm27> Open() { return showForm(Form27); }
};

TEST_F(Email, FindsLastYearsFileInTheFolder) {
  // The default folder under drive C:, the file's name in another case.
  QDir(drive_.path()).mkpath(QStringLiteral("Program Files/Quorvane/qz2024"));
  QFile file(drive_.file(QStringLiteral("Program Files/Quorvane/qz2024/QZ2024.FDB")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  auto f = Open();
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("c:\\Program Files\\Quorvane\\qz2024\\QZ2024.FDB"));
  f->grab().toImage().save(QDir::temp().filePath(QStringLiteral("Form27.png")));

  f->Button7Click();
  EXPECT_EQ(QApplication::clipboard()->text(), f->Edit1->text());

  // A folder without it empties the field.
  f->SetDirectory(work_.path());
  EXPECT_EQ(f->Edit1->text(), QString());
  const auto seen = Run([&] { f->Button4Click(); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringLiteral("Nincs kiválasztva! "));
  EXPECT_TRUE(launcher_.opened.isEmpty());
}

TEST_F(Email, OpensTheMailtoLinkAsWritten) {
  auto f = Open();
  f->Button6Click();
  ASSERT_EQ(launcher_.opened.size(), 1);
  EXPECT_EQ(launcher_.opened[0],
            QStringLiteral("mailto:tamogatas@quorvane.hu ?subject=Vorik adatok &body=Vorik 2024 adatok elküldése "
                           "ellenőrzésre. Figyelmeztetés: csatolt fálj mellékelni kell! "));
  EXPECT_EQ(launcher_.asked, QStringList{QStringLiteral("mailto")});

  // No mail program on the desktop: a clear message, nothing opened.
  launcher_.handled = false;
  const auto none = Run([&] { f->Button6Click(); });
  ASSERT_EQ(none.size(), 1u);
  EXPECT_TRUE(none[0].text.startsWith(QStringLiteral("Hiba! Nincs beállított levelező program.")));
  EXPECT_TRUE(none[0].text.endsWith(QStringLiteral("tamogatas@quorvane.hu")));
  EXPECT_EQ(launcher_.opened.size(), 1);
  // A launcher that cannot start the program says so the same way.
  launcher_.handled = true;
  launcher_.works = false;
  const auto failed = Run([&] { f->Button6Click(); });
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].text, none[0].text);
}

}  // namespace

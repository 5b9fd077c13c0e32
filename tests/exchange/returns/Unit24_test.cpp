// The merge dialog driven through its folder lists and buttons: warnings on a
// folder change, the sums before and after, a refused merge named in a box.
#include "app/MenuCommands.h"
#include "exchange/returns/ReturnControls.h"
#include "exchange/returns/Unit24.h"
#include "platform/error_text.h"
#include "support/child_process.h"
#include "support/gui_driver.h"
#include "support/layout_check.h"
#include "support/temp_dir.h"
#include "unwritable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace vorik::test;

namespace {

class Form24Test : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("VORIK_DRIVE_C", QFile::encodeName(c_.path()));
    qputenv("VORIK_DRIVE_E", QFile::encodeName(e_.path()));
    QDir(c_.path()).mkpath(QStringLiteral("qz2016"));
    QDir(c_.path()).mkpath(QStringLiteral("QZ2025/03"));
    QDir(e_.path()).mkpath(QStringLiteral("QZ2025/03"));
    // A working folder of its own, as each program has: the merge keeps its journal there.
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work_.path()));
  }
  void TearDown() override {
    QDir::setCurrent(previous_);
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_E");
  }
  // Runs action on the dialog and answers the boxes it shows; their texts.
  static QStringList Boxes(const std::function<void()> &action, int boxes) {
    QStringList texts;
    for (const auto &s : answerOk(action, boxes)) texts << s.text;
    return texts;
  }
  std::unique_ptr<TForm24> Open() { return showForm(Form24); }

  TempDir c_, e_, work_;
  QString previous_;
};

TEST_F(Form24Test, OpensOnItsDefaultFoldersAndWarnsOnTheSameOrAMergedFolder) {
  auto f = Open();
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Két import összevonása"));
  EXPECT_EQ(f->DirectoryListBox1->directory(), QStringLiteral("c:\\qz2016\\"));
  EXPECT_EQ(f->DirectoryListBox2->directory(), QStringLiteral("c:\\"));
  EXPECT_TRUE(HasMenuCommand(QStringLiteral("Importsszevons1")));
  const QImage shot = f->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  shot.save(QStringLiteral(VORIK_BINARY_DIR "/Form24.png"));

  EXPECT_EQ(Boxes([&] { f->DirectoryListBox2->setDirectory(QStringLiteral("c:\\qz2016\\")); }, 1),
            QStringList{"Nem lehet azonos a könyvtár "});
  // Merging one folder with itself is refused before anything is read.
  EXPECT_EQ(Boxes([&] { click(f.get(), QStringLiteral("Button3")); }, 1), QStringList{"Nem lehet azonos a könyvtár "});
  EXPECT_EQ(f->Label1->text(), QString());

  writeFile(e_.file(QStringLiteral("QZ2025/03/x.old")), "retired");
  EXPECT_EQ(Boxes([&] { f->DirectoryListBox2->setDirectory(QStringLiteral("E:\\QZ2025\\03\\")); }, 1),
            QStringList{" Csak bevallás újbóli export ismétlés után!  "});
  EXPECT_EQ(f->FileListBox2->files(), QStringList());  // the list shows ".imp" files again
}

TEST_F(Form24Test, TheMergeShowsTheSumsBeforeAndAfter) {
  writeFile(c_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")),
            "12456=10\r\n23790=20\r\n24804=30\r\n");
  writeFile(c_.file(QStringLiteral("QZ2025/03/2508M202503_8000000002.imp")),
            "12456=1\r\n23790=2\r\n24804=3\r\n");
  writeFile(e_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")),
            "12456=100\r\n23790=200\r\n24804=300\r\n");
  writeFile(e_.file(QStringLiteral("QZ2025/03/2508M202503_8000000003.imp")), "23790=4000\r\n24804=5000\r\n");
  auto f = Open();
  f->DirectoryListBox1->setDirectory(QStringLiteral("C:\\QZ2025\\03\\"));
  f->DirectoryListBox2->setDirectory(QStringLiteral("E:\\QZ2025\\03\\"));
  EXPECT_EQ(f->FileListBox1->files(), (QStringList{"2508M202503_8000000001.imp", "2508M202503_8000000002.imp"}));
  Boxes([&] { click(f.get(), QStringLiteral("Button3")); }, 0);

  EXPECT_EQ(f->Label1->text(), QStringLiteral("Összevonás előtt a 455. sor (állat): 11"));
  EXPECT_EQ(f->Label4->text(), QStringLiteral("Összevonás előtt a 455. sor (növény): 22"));
  EXPECT_EQ(f->Label2->text(), QStringLiteral("Összevonás előtt a 455. sor (állat): 100"));
  EXPECT_EQ(f->Label5->text(), QStringLiteral("Összevonás előtt a 455. sor (növény): 4200"));
  EXPECT_EQ(f->Label3->text(), QStringLiteral("Mindösszesen : 4333"));
  EXPECT_EQ(f->CheckListBox1->count(), 1);
  EXPECT_EQ(f->CheckListBox1->item(0)->text(), QStringLiteral("2508M202503_8000000001.imp"));
  EXPECT_EQ(f->CheckListBox1->item(0)->checkState(), Qt::Checked);
  // The pair's animal value moved into the plant line: the grand total holds.
  EXPECT_EQ(f->Label6->text(), QStringLiteral("Összevonás után a 455. sor (állat): 1"));
  EXPECT_EQ(f->Label7->text(), QStringLiteral("Összevonás után a 455. sor (növény): 332"));
  EXPECT_EQ(f->Label8->text(), QStringLiteral("Összevonás után a 455. sor (állat): 0"));
  EXPECT_EQ(f->Label12->text(), QStringLiteral("Összevonás után a 455. sor (növény): 4000"));
  EXPECT_EQ(f->Label13->text(), QStringLiteral("Mindösszesen : 4333"));
  EXPECT_EQ(f->FileListBox2->files(), QStringList{"2508M202503_8000000003.imp"});
  // The paid amounts the program's own files carry, both folders before and after.
  EXPECT_EQ(f->Label17->text(), QStringLiteral("Összevonás előtt kifizetve (24804=): \"A\" 33 + \"B\" 5300 = 5333"));
  EXPECT_EQ(f->Label18->text(), QStringLiteral("Összevonás után kifizetve (24804=): \"A\" 333 + \"B\" 5000 = 5333"));
  EXPECT_TRUE(f->Label1->isVisible());
}

TEST_F(Form24Test, TheProgramsOwnFilesShowThePaidSumsToCompareWholly) {
  // Files as the 08M gather writes them: no row 455, the paid amount only.
  writeFile(c_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")), "24804=1234567\r\n");
  writeFile(e_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")), "24804=600000\r\n");
  writeFile(e_.file(QStringLiteral("QZ2025/03/2508M202503_8000000002.imp")), "24804=4565\r\n");
  auto f = Open();
  f->DirectoryListBox1->setDirectory(QStringLiteral("C:\\QZ2025\\03\\"));
  f->DirectoryListBox2->setDirectory(QStringLiteral("E:\\QZ2025\\03\\"));
  Boxes([&] { click(f.get(), QStringLiteral("Button3")); }, 0);
  EXPECT_EQ(f->Label17->text(),
            QStringLiteral("Összevonás előtt kifizetve (24804=): \"A\" 1234567 + \"B\" 604565 = 1839132"));
  EXPECT_EQ(f->Label18->text(),
            QStringLiteral("Összevonás után kifizetve (24804=): \"A\" 1834567 + \"B\" 4565 = 1839132"));
  // The grand totals are the figure the printed return lists carry, and no
  // row-455 zeros stand beside them.
  EXPECT_EQ(f->Label3->text(), QStringLiteral("Mindösszesen : 1839132"));
  EXPECT_EQ(f->Label13->text(), QStringLiteral("Mindösszesen : 1839132"));
  for (QLabel *l : {f->Label1, f->Label4, f->Label2, f->Label5, f->Label6, f->Label7, f->Label8, f->Label12})
    EXPECT_FALSE(l->isVisible()) << l->objectName().toStdString();
  EXPECT_TRUE(f->Memo1->toPlainText().contains(QStringLiteral("a \"Mindösszesen\" a kifizetett összegek (24804=)")));
  // Every sum is shown whole inside the dialog.
  EXPECT_EQ(layoutProblems(f.get()), QStringList());
}

// A merge killed after its first pair took A's name: the next opening
// retires B's half of that pair, leaves the second pair as it was and says so.
TEST_F(Form24Test, TheOpeningPutsRightAMergeThatWasKilled) {
  TempDir &work = work_;
  const QString a = c_.file(QStringLiteral("QZ2025/03/")), b = e_.file(QStringLiteral("QZ2025/03/"));
  writeFile(a + "2508M202503_8000000001.imp", "24804=11\r\n");  // merged
  writeFile(a + "2508M202503_8000000001.old", "24804=10\r\n");
  writeFile(b + "2508M202503_8000000001.imp", "24804=1\r\n");
  writeFile(a + "2508M202503_8000000002.imp", "24804=20\r\n");  // its ".old" linked, not yet replaced
  writeFile(a + "2508M202503_8000000002.old", "24804=20\r\n");
  writeFile(a + "2508M202503_8000000002.im_", "24804=22\r\n");
  writeFile(b + "2508M202503_8000000002.imp", "24804=2\r\n");
  // Hidden files of the user's own in folder A, and a scratch file's
  // temporary that the killed merge left.
  writeFile(a + ".jegyzet.backup", "own");
  writeFile(a + ".titkos.kulcs1", "own");
  writeFile(a + ".2508M202503_8000000002.im_.~999999999.Ab12Cd", "24804=2");
  writeFile(
      work.file(QStringLiteral("osszevonas.naplo")),
      "C:\\QZ2025\\03\\\r\nE:\\QZ2025\\03\\\r\n2508M202503_8000000001.imp\r\n2508M202503_8000000002.imp\r\n");
  std::unique_ptr<TForm24> f;
  {
    // B's folder cannot be changed at this opening: pair 1 cannot be put
    // right, is named, and the journal stays for the next opening.
    Unwritable locked(e_.file(QStringLiteral("QZ2025/03")));
    ASSERT_TRUE(locked.ok());
    const QStringList boxes = Boxes([&] { f = Open(); }, 1);
    EXPECT_EQ(boxes, QStringList{"Az előző összevonás félbeszakadt: 0 östermelö összevonása befejezve. Nem sikerült "
                                 "helyreállítani: 2508M202503_8000000001.imp (" +
                                 platform::systemErrorText(EPERM) +
                                 "). Az összevonás naplója megmarad, az ablak következő megnyitása újra megpróbálja."});
    EXPECT_TRUE(QFile::exists(work.file(QStringLiteral("osszevonas.naplo"))));
    f.reset();
  }
  const QStringList boxes = Boxes([&] { f = Open(); }, 1);
  EXPECT_EQ(boxes, QStringList{"Az előző összevonás félbeszakadt: 1 östermelö összevonása befejezve, a többi fájl az "
                               "összevonás előtti állapotban maradt."});
  EXPECT_EQ(QDir(a).entryList(QDir::Files | QDir::Hidden),
            (QStringList{".jegyzet.backup", ".titkos.kulcs1", "2508M202503_8000000001.imp", "2508M202503_8000000001.old",
                         "2508M202503_8000000002.imp"}));
  EXPECT_EQ(QDir(b).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"2508M202503_8000000001.old", "2508M202503_8000000002.imp"}));
  EXPECT_FALSE(QFile::exists(work.file(QStringLiteral("osszevonas.naplo"))));
}

TEST_F(Form24Test, ABadValueIsNamedAndNothingChanges) {
  writeFile(c_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")), "23790=20\r\n");
  writeFile(e_.file(QStringLiteral("QZ2025/03/2508M202503_8000000001.imp")), "23790=12a\r\n");
  auto f = Open();
  f->DirectoryListBox1->setDirectory(QStringLiteral("C:\\QZ2025\\03\\"));
  f->DirectoryListBox2->setDirectory(QStringLiteral("E:\\QZ2025\\03\\"));
  EXPECT_EQ(Boxes([&] { click(f.get(), QStringLiteral("Button3")); }, 1),
            QStringList{"Hiba! A(z) E:\\QZ2025\\03\\2508M202503_8000000001.imp fájlban nem egész szám áll: 23790=12a"});
  EXPECT_EQ(QDir(c_.file(QStringLiteral("QZ2025/03"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{"2508M202503_8000000001.imp"});
  EXPECT_EQ(QDir(e_.file(QStringLiteral("QZ2025/03"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{"2508M202503_8000000001.imp"});
}

// Another program (with a temporary folder of its own) gathers into folder
// A, stopped where a listed name has no file behind it: the merge says that
// the folder is busy and reads nothing.
TEST_F(Form24Test, AGatherOfAnotherProgramIntoFolderAIsToldAsBusy) {
  ASSERT_TRUE(QFile::link(c_.file(QStringLiteral("gone")), c_.file(QStringLiteral("QZ2025/03/2508M202503_1.imp"))));
  Child gather({QStringLiteral("month-hold"), c_.path(), QStringLiteral("C:\\QZ2025\\03\\")});
  ASSERT_EQ(gather.waitFor("ready"), QByteArray("ready"));
  auto f = Open();
  f->DirectoryListBox1->setDirectory(QStringLiteral("C:\\QZ2025\\03\\"));
  EXPECT_EQ(Boxes([&] { click(f.get(), QStringLiteral("Button3")); }, 1),
            QStringList{"A(z) C:\\QZ2025\\03\\ mappába most a program egy másik példánya ír (kigyűjtés vagy "
                        "összevonás). Kérem próbálja újra, ha ott végzett."});
}

}  // namespace

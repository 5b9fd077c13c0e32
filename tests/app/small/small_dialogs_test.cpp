// The small dialogs of "Segédlet": raw table grids with their access codes,
// help, remote support, date format panel and about box, over a real
// embedded database.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/small/PasswordDlg.h"
#include "app/small/Unit16.h"
#include "app/small/Unit21.h"
#include "app/small/Unit22.h"
#include "app/small/Unit26.h"
#include "app/small/Unit44.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "platform/launcher.h"
#include "support/print_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

using namespace vorik::test;

namespace {

// A fresh database per suite with the data module connected (the print
// fixture's), and the six tables open as the start-up leaves them.
class SmallDialogs : public PrintFixture {
 protected:
  void SetUp() override {
    PrintFixture::SetUp();
    for (TTable *t : {Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4,
                      Data->IBTable5, Data->IBTable6})
      t->open();
  }

  // Clicks "Szerkeszt" and types code into the password dialog.
  static void enterCode(TForm22 &f, const QString &code) {
    ModalScript script;
    script.then([code](QWidget *w) {
      EXPECT_EQ(w->objectName(), QStringLiteral("PasswordDlg"));
      EXPECT_EQ(w->windowTitle(), QStringLiteral("Jelszó"));
      setText(w, QStringLiteral("Password"), code);
      click(w, QStringLiteral("OKBtn"));
    });
    EXPECT_TRUE(script.run([&] { f.Button6->click(); }, 5000));
  }

  static int writableCount(const TForm22 &f) {
    int n = 0;
    for (int i = 0; i < 5; ++i) n += f.writable(i) ? 1 : 0;
    return n;
  }
};

}  // namespace

TEST_F(SmallDialogs, NineDigitCodeUnlocksFiveTablesOnceAndClosingLocksThemAgain) {
  PasswordDlgCreated = false;
  AdatbazisKod.clear();
  {
    TForm22 f;
    f.show();
    EXPECT_EQ(f.PageControl1->count(), 6);
    EXPECT_EQ(f.PageControl1->tabText(5), QStringLiteral("Atvevo"));
    EXPECT_EQ(writableCount(f), 0);
    // Read-only grids take no edits.
    EXPECT_FALSE(f.DBGrid[4]->model()->flags(f.DBGrid[4]->model()->index(0, 0)) & Qt::ItemIsEditable);
    enterCode(f, QString::fromLatin1(TForm22::kCode5));
    EXPECT_EQ(writableCount(f), 5);
    EXPECT_TRUE(AdatbazisKod.isEmpty());
    EXPECT_TRUE(f.DBGrid[5]->isHidden());
    f.Button1->click();
  }
  for (TTable *t : {Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4, Data->IBTable5}) {
    EXPECT_TRUE(t->readOnly());
    EXPECT_TRUE(t->active());
  }
  EXPECT_FALSE(Data->IBTable6->readOnly());
  {
    // The code is asked only once per process: "Szerkeszt" now does nothing.
    TForm22 f;
    f.show();
    ModalScript none;
    none.runUntilReturn([&] { f.Button6->click(); }, 2000);
    EXPECT_EQ(none.stepsRun(), 0);
    EXPECT_EQ(writableCount(f), 0);
    // The service key on "Mégsem" unlocks the five.
    f.Button1->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_W, Qt::NoModifier, QStringLiteral("w"));
    QApplication::sendEvent(f.Button1, &press);
    EXPECT_EQ(writableCount(f), 5);
  }
}

TEST_F(SmallDialogs, UnlockedGridEditIsPostedAndDurableWithTheNextCommit) {
  execApart(*Data->ZCon1, QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('G1', '25000000')"));
  PasswordDlgCreated = false;
  TForm22 f;
  f.show();
  enterCode(f, QString::fromLatin1(TForm22::kCode5));
  QAbstractItemModel *model = f.DBGrid[4]->model();
  int row = -1, column = -1;
  for (int c = 0; c < model->columnCount(); ++c) {
    const QString title = model->headerData(c, Qt::Horizontal).toString();
    if (title.compare(QLatin1String("A_QZBSZAM"), Qt::CaseInsensitive) == 0) column = c;
  }
  ASSERT_GE(column, 0);
  for (int r = 0; r < model->rowCount(); ++r)
    if (model->index(r, column).data().toString() == QLatin1String("25000000")) row = r;
  ASSERT_GE(row, 0);
  ASSERT_TRUE(model->flags(model->index(row, column)) & Qt::ItemIsEditable);
  ASSERT_TRUE(model->setData(model->index(row, column), QStringLiteral("25000100")));
  Data->IBTrans1->commitRetaining();
  EXPECT_EQ(firstValueApart(*Data->ZCon1, QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = 'G1'")),
            QStringLiteral("25000100"));
}

TEST_F(SmallDialogs, ThreeLetterCodeShowsTheReceiverGridAndAWrongCodeDoesNothing) {
  PasswordDlgCreated = false;
  {
    TForm22 f;
    f.show();
    enterCode(f, QStringLiteral("rossz"));
    EXPECT_EQ(writableCount(f), 0);
    EXPECT_TRUE(f.DBGrid[5]->isHidden());
  }
  PasswordDlgCreated = false;
  TForm22 f;
  f.show();
  enterCode(f, QString::fromLatin1(TForm22::kCode6));
  EXPECT_EQ(writableCount(f), 5);
  EXPECT_TRUE(f.writable(5));
  EXPECT_FALSE(f.DBGrid[5]->isHidden());
  EXPECT_FALSE(f.Navigator[5]->isHidden());
}

TEST_F(SmallDialogs, HelpRemoteSupportAndDatePanel) {
  // The manual missing, there but nothing opens it, and opened.
  TempDir working;
  const QString before = QDir::currentPath();
  QDir::setCurrent(working.path());
  const QString manual = QDir::current().absoluteFilePath(QStringLiteral("sugo.pdf"));
  {
    TForm21 help;
    EXPECT_EQ(messageOf([&] { help.Button1->click(); }), QStringLiteral("A leírás nem található: ") + manual);
    QFile(manual).open(QIODevice::WriteOnly);
    ProgramOnPath failing(QStringLiteral("xdg-open"), "exit 4\n");
    EXPECT_EQ(messageOf([&] { help.Button1->click(); }),
              QStringLiteral("A leírást (%1) nem sikerült megnyitni.").arg(manual));
  }
  FakeLauncher launcher;
  platform::setLauncher(&launcher);
  {
    TForm21 help;
    help.Button1->click();
  }
  platform::setLauncher(nullptr);
  QDir::setCurrent(before);
  ASSERT_EQ(launcher.opened.size(), 1);
  EXPECT_EQ(launcher.opened[0], manual);

  // Without the remote-support program on the PATH the user is told so.
  const QByteArray path = qgetenv("PATH");
  TempDir empty;
  qputenv("PATH", empty.path().toLocal8Bit());
  TForm26 remote;
  EXPECT_EQ(messageOf([&] { remote.Button1->click(); }), TForm26::notAvailableMessage());
  qputenv("PATH", path);

  TForm44 date;
  EXPECT_EQ(messageOf([&] { date.Button6->click(); }), TForm44::notAvailableMessage());

  for (const char *item : {"Nvjegy1", "Sug1", "Adatbzis1", "Tvsegitsg1",
                           "Windowsdtumformtunnakmdostsa1", "Magnnytag1", "Ostermeloegyesites1",
                           "FELIRazonfelvtele1", "Kamaraiszmhossza1", "Nbihazonfelvtele1"})
    EXPECT_TRUE(HasMenuCommand(QLatin1String(item))) << item;
}

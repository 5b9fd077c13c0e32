// The small dialogs of "Segédlet": raw table grids with their access codes,
// help, remote support, date format panel and about box, over a real
// embedded database.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>
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
    for (db::Table *t :
         {Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4, Data->IBTable5, Data->IBTable6})
      t->open();
  }

  // Clicks "Szerkeszt" and types code into the password dialog, confirmed
  // with "OK" or with Enter in the field.
  static void enterCode(TForm22 &f, const QString &code, bool byEnter = false) {
    ModalScript script;
    script.then([code, byEnter](QWidget *w) {
      EXPECT_EQ(w->objectName(), QStringLiteral("PasswordDlg"));
      EXPECT_EQ(w->windowTitle(), QStringLiteral("Jelszó"));
      setText(w, QStringLiteral("Password"), code);
      if (!byEnter) return click(w, QStringLiteral("OKBtn"));
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      QApplication::sendEvent(child<QWidget>(w, QStringLiteral("Password")), &enter);
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
  for (db::Table *t : {Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4, Data->IBTable5}) {
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

// A long table is read by its primary key as the grid scrolls: an edit of a
// row far down lets the cursor go, and a changed key of the last row held
// moves nothing; walking on shows every row once.
TEST_F(SmallDialogs, UnlockedGridEditIsPostedAndDurableWithTheNextCommit) {
  const QString rows = QStringLiteral(
      "INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) SELECT FIRST 600 'S', '1' "
      "FROM rdb$types a CROSS JOIN rdb$types b");
  execApart(*Data->ZCon1, rows);
  execApart(*Data->ZCon1, QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('G1', '25000000')"));
  execApart(*Data->ZCon1, rows);
  PasswordDlgCreated = false;
  TForm22 f;
  f.show();
  enterCode(f, QString::fromLatin1(TForm22::kCode5));
  QAbstractItemModel *model = f.DBGrid[4]->model();
  auto columnOf = [&](const char *name) {
    for (int c = 0; c < model->columnCount(); ++c)
      if (model->headerData(c, Qt::Horizontal).toString().compare(QLatin1String(name), Qt::CaseInsensitive) ==
          0)
        return c;
    return -1;
  };
  const int column = columnOf("A_QZBSZAM"), id = columnOf("ID_SORSZAM");
  ASSERT_GE(column, 0);
  ASSERT_GE(id, 0);
  // Scrolled down to the row, as far as the grid reads.
  int row = -1;
  for (int r = 0; row < 0; ++r) {
    if (r == model->rowCount() && model->canFetchMore({})) model->fetchMore({});
    ASSERT_LT(r, model->rowCount());
    if (model->index(r, column).data().toString() == QLatin1String("25000000")) row = r;
  }
  ASSERT_TRUE(model->canFetchMore({}));
  // Letters typed into a number field (F2, then Enter) are refused in the
  // program's words, naming the field; the row keeps its value.
  const QString idBefore = model->index(row, id).data().toString();
  f.DBGrid[4]->setCurrentIndex(model->index(row, id));
  QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
  QApplication::sendEvent(f.DBGrid[4], &f2);
  auto *editor = f.DBGrid[4]->viewport()->findChild<QLineEdit *>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("abc"));
  QApplication::sendEvent(editor, &typed);
  EXPECT_EQ(messageOf([&] {
              QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
              QApplication::sendEvent(editor, &enter);
            }),
            QStringLiteral("A(z) ID_SORSZAM mezőbe egész számot kell írni, „abc” nem az. A mező értéke nem változott."));
  EXPECT_EQ(model->index(row, id).data().toString(), idBefore);
  ASSERT_TRUE(model->flags(model->index(row, column)) & Qt::ItemIsEditable);
  ASSERT_TRUE(model->setData(model->index(row, column), QStringLiteral("25000100")));
  const int last = model->rowCount() - 1;
  ASSERT_TRUE(model->setData(model->index(last, id), 900000));
  Data->IBTrans1->commitRetaining();
  EXPECT_EQ(firstValueApart(*Data->ZCon1, QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = 'G1'")),
            QStringLiteral("25000100"));
  while (model->canFetchMore({})) model->fetchMore({});
  QStringList shown;
  for (int r = 0; r < model->rowCount(); ++r) shown << model->index(r, id).data().toString();
  EXPECT_EQ(shown.at(last), QStringLiteral("900000"));
  QStringList stored;
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(QStringLiteral("SELECT ID_SORSZAM FROM SORSZAM ORDER BY ID_SORSZAM"));
  for (q.open(); !q.eof(); q.next()) stored << q.field(0).asString();
  QStringList sorted = shown;
  std::sort(sorted.begin(), sorted.end(),
            [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
  EXPECT_EQ(sorted, stored);
}

TEST_F(SmallDialogs, AnEditOfARowAnotherProgramIsChangingIsKeptWithAMessage) {
  execApart(*Data->ZCon1, QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('G2', '25000777')"));
  PasswordDlgCreated = false;
  TForm22 f;
  enterCode(f, QString::fromLatin1(TForm22::kCode5));
  QTableView *grid = f.DBGrid[4];
  QAbstractItemModel *model = grid->model();
  while (model->canFetchMore({})) model->fetchMore({});
  QModelIndex cell;
  for (int r = 0; r < model->rowCount(); ++r)
    for (int c = 0; c < model->columnCount(); ++c)
      if (model->index(r, c).data().toString() == QLatin1String("25000777")) cell = model->index(r, c);
  // Another program's transaction is writing the row.
  Attachment other(Data->ZCon1->databaseName());
  other.exec(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = '1' WHERE A_AKOD = 'G2'"));
  // The value typed into the cell's editor, confirmed with Enter.
  auto editor = [&] { return qobject_cast<QLineEdit *>(grid->indexWidget(cell)); };
  MessageSeen box;
  QString kept;
  ModalScript script;
  script.then([&](QWidget *) {
    grid->edit(cell);
    ASSERT_NE(editor(), nullptr);
    editor()->setText(QStringLiteral("25000200"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor(), &enter);
  });
  script.then(answer(QMessageBox::Ok, &box)).then([&](QWidget *w) {
    kept = editor() ? editor()->text() : QString();
    other.transaction().rollback();
    click(w, QStringLiteral("Button1"));
  });
  ASSERT_TRUE(script.run([&] { f.exec(); }));
  EXPECT_EQ(box.text, TForm22::rowBusyMessage());
  EXPECT_EQ(kept, QStringLiteral("25000200"));  // back in the cell's editor
}

// Ctrl+End and ">|" go to the table's last row as the lists do, reading the
// rows before it that a screen shows only.
TEST_F(SmallDialogs, CtrlEndAndTheLastButtonReadTheTablesEndOnly) {
  execApart(*Data->ZCon1, QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) SELECT FIRST 600 'E', '1' "
                                         "FROM rdb$types a CROSS JOIN rdb$types b"));
  Data->IBTable5->close();  // opened before the rows came
  Data->IBTable5->open();
  TForm22 f;
  f.show();
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QApplication::sendEvent(f.DBGrid[4], &end);
  const QString last = Data->IBTable5->fieldByName(QStringLiteral("ID_SORSZAM")).asString();
  EXPECT_EQ(last, firstValueApart(*Data->ZCon1, QStringLiteral("SELECT MAX(ID_SORSZAM) FROM SORSZAM")));
  Data->IBTable5->first();
  click(f.Navigator[4], QStringLiteral("NavLast"));
  QApplication::processEvents();
  EXPECT_EQ(Data->IBTable5->fieldByName(QStringLiteral("ID_SORSZAM")).asString(), last);
  EXPECT_LE(f.DBGrid[4]->model()->rowCount(), 51);
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
  enterCode(f, QString::fromLatin1(TForm22::kCode6), true);
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

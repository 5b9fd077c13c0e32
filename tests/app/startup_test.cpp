// Start-up, main window and shut-down, run in-process against real databases
// in a temporary working folder.
#include "app/About.h"
#include "app/MenuCommands.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "report/output/FR_Prntr.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/tickets/NumberingHold.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "platform/dialogs.h"
#include "platform/format_settings.h"
#include "support/child_process.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <QMessageBox>

#include <cstdio>

#include <sys/file.h>
#include <unistd.h>

#include <memory>

using namespace vorik::test;

namespace {

// Runs each test in a fresh working folder, as the program runs in its own.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    TAboutBox::SetInterval(0);
    AboutBoxShown = true;  // the splash has its own test below
  }
  void TearDown() override {
    form_.reset();
    delete Data;
    QDir::setCurrent(previous_);
    TAboutBox::SetInterval(-1);
  }
  QString databasePath() const { return dir_.file(QStringLiteral("qz2025.fdb")); }
  void createDatabase() { createTestDatabase(dir_.path()); }

  // Builds the main window; a failing start-up's box is answered and read.
  TForm1 *start(MessageSeen *box = nullptr) {
    ModalScript script;
    MessageSeen seen;
    script.then(answer(QMessageBox::Yes, &seen));
    script.runUntilReturn([&] { form_ = std::make_unique<TForm1>(); });
    if (box) *box = seen;
    return form_.get();
  }

  TempDir dir_;
  QString previous_;
  std::unique_ptr<TForm1> form_;
};

const QString kBoxText =
    QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges.");

void expectStartupBox(const MessageSeen &box) {
  EXPECT_EQ(box.kind, QStringLiteral("Confirmation"));
  EXPECT_EQ(box.text, kBoxText);
  EXPECT_EQ(box.buttons, QStringList{QStringLiteral("Yes")});
}

// Records whether a main window was ever shown.
class ShowWatcher : public QObject {
 public:
  ShowWatcher() { qApp->installEventFilter(this); }
  ~ShowWatcher() override { qApp->removeEventFilter(this); }
  bool mainWindowShown = false;
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Show && qobject_cast<TForm1 *>(o)) mainWindowShown = true;
    return false;
  }
};

TEST_F(StartupTest, WithoutTheDatabaseTheSplashThenTheBoxAndTheProgramEndsWithoutMainWindow) {
  AboutBoxShown = false;
  TAboutBox::SetInterval(150);  // long enough for the script to see it
  ShowWatcher watcher;
  QString splashCaption;
  MessageSeen box;
  int status = -1;
  ModalScript script;
  bool printerDuringRun = false;
  script.then([&](QWidget *w) {  // closes by itself
          splashCaption = w->windowTitle();
          printerDuringRun = report::frPrinter != nullptr;
        })
      .then(answer(QMessageBox::Yes, &box));
  script.run([&] { status = RunProgram(); });
  EXPECT_TRUE(script.done()) << script.failure().toStdString();
  EXPECT_EQ(splashCaption, QStringLiteral("Betöltés..."));
  // The engine's printer wrapper lives from start-up to exit.
  EXPECT_TRUE(printerDuringRun);
  EXPECT_EQ(report::frPrinter, nullptr);
  expectStartupBox(box);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(watcher.mainWindowShown);
  EXPECT_EQ(Form1, nullptr);
  EXPECT_EQ(qApp->property("helpFile").toString(), QStringLiteral("VORIK2009.HLP"));
  // A missing file is not created by the attempt.
  EXPECT_FALSE(QFile::exists(databasePath()));
}

TEST_F(StartupTest, SplashIsShownOncePerProcess) {
  AboutBoxShown = false;
  TAboutBox::SetInterval(100);
  createDatabase();
  int splashes = 0;
  ModalScript first;
  first.then([&](QWidget *w) { splashes += qobject_cast<TAboutBox *>(w) != nullptr; });
  first.run([&] { form_ = std::make_unique<TForm1>(); });
  ASSERT_FALSE(form_->StartupFailed());
  form_.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ModalScript second;
  second.then([&](QWidget *w) { splashes += qobject_cast<TAboutBox *>(w) != nullptr; });
  second.runUntilReturn([&] { form_ = std::make_unique<TForm1>(); });
  EXPECT_EQ(second.stepsRun(), 0);
  EXPECT_EQ(splashes, 1);
  EXPECT_EQ(AboutBox, nullptr);
}

TEST_F(StartupTest, NormalStartOpensTheSixTablesAndShowsTheVersionCaption) {
  createDatabase();
  platform::regional().decimalSeparator = QLatin1Char('.');
  platform::regional().dateSeparator = QLatin1Char('-');
  TForm1 *form = start();
  ASSERT_FALSE(form->StartupFailed());
  ASSERT_NE(Data, nullptr);
  EXPECT_EQ(Data->parent(), qApp);
  EXPECT_TRUE(Data->ZCon1->connected());
  db::Table *tables[] = {Data->IBTable1, Data->IBTable2, Data->IBTable3,
                         Data->IBTable4, Data->IBTable5, Data->IBTable6};
  const char *names[] = {"QZFEJ", "QZSOR", "OSTERMELO", "TERMEK", "SORSZAM", "ATVEVO"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(tables[i]->active()) << names[i];
    EXPECT_EQ(tables[i]->tableName(), QString::fromLatin1(names[i]));
    EXPECT_EQ(tables[i]->readOnly(), i < 5) << names[i];
  }
  EXPECT_FALSE(Data->IBTable9->active());
  form->show();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Felvásárlási jegy - Verzió: 25.00 2006-2025"));
  EXPECT_EQ(form->FejSzoveg, QStringLiteral("Felvásárlási jegy - "));
  EXPECT_EQ(form->VerzioSzoveg, QStringLiteral("Verzió: 25.00 2006-2025"));
  EXPECT_EQ(platform::regional().decimalSeparator, QLatin1Char(','));
  EXPECT_EQ(platform::regional().dateSeparator, QLatin1Char('.'));
}

// A backup lock that a killed copy left (no copier alive) would keep the main
// file frozen for good: the program ends it when it opens the database.
TEST_F(StartupTest, ABackupLockLeftByAKilledCopyEndsAtTheStart) {
  createDatabase();
  const QString state = QStringLiteral("SELECT MON$BACKUP_STATE FROM MON$DATABASE");
  {
    Attachment killed(databasePath());
    killed.exec(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
    killed.transaction().commit();
    ASSERT_EQ(killed.value(state).toInt(), 1);
  }
  TForm1 *form = start();
  ASSERT_FALSE(form->StartupFailed());
  form_.reset();
  delete Data;
  Data = nullptr;
  Attachment after(databasePath());
  EXPECT_EQ(after.value(state).toInt(), 0);
}

// The menu as the user sees it: top items, then each menu's visible items.
QStringList visibleMenu(QMenuBar *bar) {
  QStringList out;
  for (QAction *top : bar->actions()) {
    if (!top->isVisible()) continue;
    QString line = top->text() + (top->isEnabled() ? QString() : QStringLiteral(" (off)"));
    if (QMenu *m = top->menu()) {
      QStringList items;
      for (QAction *a : m->actions())
        if (a->isVisible()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
      line += QStringLiteral(": ") + items.join(QStringLiteral(" | "));
    }
    out << line;
  }
  return out;
}

TEST_F(StartupTest, MenuRightAfterStartOnlyReceiverChoiceAndExitAreEnabled) {
  createDatabase();
  TForm1 *form = start();
  ASSERT_FALSE(form->StartupFailed());
  form->show();
  const QStringList expected = {
      QStringLiteral("Átvevö: Választás"),
      QStringLiteral("Felvásárlási jegy (off)"),
      QStringLiteral("Östermelö (off)"),
      QStringLiteral("Termék (off)"),
      QStringLiteral("Bevallás (off): 2508M-hoz export | Bevallás lista | Import összevonás"),
      QStringLiteral("Listák (off): Termékenkénti lista | Östermelönkénti lista | "
                     "Östermelö havi bontásban | Kp. napi lista | Statisztika"),
      QStringLiteral("Segédlet (off): Ellenörzés | Vorik excel táblába | Adatok | - | Sugó | "
                     "Névjegy | Távsegitség | Adat export | Adatok mentése | Átvevő beállítás | "
                     "Évnyitás | Nébih azon. felvétele | Windows dátum formátunának módosítása"),
      QStringLiteral("Kilépés"),
  };
  EXPECT_EQ(visibleMenu(form->MainMenu1), expected);
  // Component names as object names, in the bar's order.
  QStringList topNames;
  for (QAction *top : form->MainMenu1->actions())
    topNames << (top->menu() ? top->menu()->objectName() : top->objectName());
  EXPECT_EQ(topNames, (QStringList{"Adz1", "Felvsrlsijegy1", "stermel1", "Termk1", "Bevalls1",
                                   "Listk1", "Export1", "Kilps1"}));
  EXPECT_TRUE(form->Vlaszts1->isEnabled());

  // The ten hidden items stay hidden once the menus are unlocked.
  const QStringList hidden = {"Adhatgiellenrzsiadatszolgltats1", "Rgiblexport1", "Adatokkldse1",
                              "Magnnytag1", "Szerzds1", "Importexcelblcsv1",
                              "Ostermeloegyesites1", "FELIRazonfelvtele1", "Adattadskszlethez1",
                              "Kamaraiszmhossza1"};
  form->EnableReceiverMenus();
  for (const QString &name : hidden) {
    auto *a = form->findChild<QAction *>(name);
    ASSERT_NE(a, nullptr) << name.toStdString();
    EXPECT_FALSE(a->isVisible()) << name.toStdString();
  }
  QStringList unlocked = visibleMenu(form->MainMenu1);
  EXPECT_EQ(unlocked.filter(QStringLiteral("(off)")), QStringList());
  EXPECT_EQ(unlocked.size(), expected.size());
}

TEST_F(StartupTest, ExitMakesAWriteLeftInTheTransactionDurable) {
  createDatabase();
  TForm1 *form = start();
  ASSERT_FALSE(form->StartupFailed());
  form->show();
  // A write with no commit of its own, as the printed mark has in the
  // original design.
  Data->ZQ11->close();
  Data->ZQ11->sql().clear();
  Data->ZQ11->sql().add(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) "));
  Data->ZQ11->sql().add(QStringLiteral("VALUES (:p0, :p1)"));
  Data->ZQ11->paramByName(QStringLiteral("p0")).setString(QStringLiteral("77"));
  Data->ZQ11->paramByName(QStringLiteral("p1")).setString(QStringLiteral("Búza"));
  Data->ZQ11->execute();
  ASSERT_TRUE(Data->IBTrans1->active());

  form->Kilps1->trigger();  // "Kilépés"
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(Data->ZCon1->connected());

  // A restart finds the row.
  form_.reset();
  TForm1 *again = start();
  ASSERT_FALSE(again->StartupFailed());
  Data->ZQ40->sql().clear();
  Data->ZQ40->sql().add(QStringLiteral("SELECT T_MEGNEVEZES FROM TERMEK WHERE T_KOD = '77'"));
  Data->ZQ40->open();
  ASSERT_EQ(Data->ZQ40->recordCount(), 1);
  EXPECT_EQ(Data->ZQ40->fieldByName(QStringLiteral("T_MEGNEVEZES")).asString().trimmed(),
            QStringLiteral("Búza"));
}

TEST_F(StartupTest, WithoutExitTheOpenWriteIsLost) {
  // The counter-case of the test above: the commit at exit is what keeps it.
  createDatabase();
  start();
  ASSERT_FALSE(form_->StartupFailed());
  Data->ZQ11->sql().add(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('78', 'Árpa')"));
  Data->ZQ11->execute();
  form_.reset();
  delete Data;
  start();
  ASSERT_FALSE(form_->StartupFailed());
  Data->ZQ40->sql().add(QStringLiteral("SELECT * FROM TERMEK WHERE T_KOD = '78'"));
  Data->ZQ40->open();
  EXPECT_EQ(Data->ZQ40->recordCount(), 0);
}

class TForm96 : public QDialog {
 public:
  explicit TForm96(QWidget *owner) : QDialog(owner) {}
};
TForm96 *Form96 = nullptr;

TEST_F(StartupTest, AMenuCommandBuildsAFreshDialogEachTime) {
  createDatabase();
  start();
  ASSERT_FALSE(form_->StartupFailed());
  form_->show();
  form_->EnableReceiverMenus();
  const MenuCommand previous = MenuCommandOf(QStringLiteral("Tvsegitsg1"));
  RegisterMenuCommand(QStringLiteral("Tvsegitsg1"), [] { ShowModalDialog<TForm96>(Form96); });
  std::vector<QPointer<QWidget>> dialogs;
  for (int i = 0; i < 2; ++i) {
    ModalScript script;
    script.then([&](QWidget *w) {
      dialogs.emplace_back(w);
      EXPECT_EQ(w, Form96);
      closeWindow(w);
    });
    script.run([&] { form_->Tvsegitsg1->trigger(); });
    EXPECT_TRUE(script.done());
  }
  RegisterMenuCommand(QStringLiteral("Tvsegitsg1"), previous);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_TRUE(dialogs[0].isNull());  // freed when its modal loop returned
  EXPECT_TRUE(dialogs[1].isNull());
  EXPECT_EQ(Form96, nullptr);
  // Items without a command do nothing.
  form_->Statisztika1->trigger();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Bad input: each cause ends in the same box, never a crash or a hang.

TEST_F(StartupTest, AFileThatIsNotADatabaseGivesTheBox) {
  for (const QByteArray &content :
       {QByteArray(), QByteArray("not a database\r\n"), QByteArray(8192, '\xff')}) {
    QFile f(databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    MessageSeen box;
    start(&box);
    EXPECT_TRUE(form_->StartupFailed()) << content.size();
    expectStartupBox(box);
    form_.reset();
    delete Data;
  }
}

TEST_F(StartupTest, ADatabaseMissingOneOfTheSixTablesGivesTheBox) {
  // SORSZAM, the fifth table, left out of the schema.
  QStringList statements = db::splitScript(db::schemaScript());
  statements.erase(std::remove_if(statements.begin(), statements.end(),
                                  [](const QString &s) {
                                    return s.simplified().startsWith(
                                        QStringLiteral("CREATE TABLE SORSZAM"),
                                        Qt::CaseInsensitive);
                                  }),
                   statements.end());
  db::createDatabase(databasePath(), statements.join(QStringLiteral(";\n")) + QLatin1Char(';'));
  MessageSeen box;
  start(&box);
  EXPECT_TRUE(form_->StartupFailed());
  expectStartupBox(box);
}

// Runs the start-up in a child process with one more environment variable,
// and expects the start-up box, answered, and exit status 0. The client
// library and the engine load once per process.
void expectStartupBoxInChild(const QString &workdir, const QString &name, const QString &value) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(name, value);
  Child child({QStringLiteral("program"), workdir, QStringLiteral("answer")}, env);
  EXPECT_EQ(QString::fromUtf8(child.waitFor("box ")), QStringLiteral("box ") + kBoxText);
  EXPECT_EQ(child.waitFor("answered"), "answered Confirmation Yes");
  EXPECT_EQ(child.wait(), 0) << "the start-up hangs or fails";
}

TEST_F(StartupTest, AMissingDatabaseEngineGivesTheBoxAndExitStatusZero) {
  // FIREBIRD names an empty folder: no engine plugin.
  createDatabase();
  TempDir emptyRoot;
  expectStartupBoxInChild(dir_.path(), QStringLiteral("FIREBIRD"), emptyRoot.path());
}

TEST_F(StartupTest, AMissingClientLibraryGivesTheBoxAndExitStatusZero) {
  // The client library is loaded at the first database call; the child names
  // one that does not exist.
  createDatabase();
  expectStartupBoxInChild(dir_.path(), QStringLiteral("VORIK_FBCLIENT"),
                          dir_.path() + QStringLiteral("/libfbclient.so.2"));
}

}  // namespace

namespace {

// Runs a command; false when it cannot run or fails.
bool runTool(const QString &program, const QStringList &args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("FIREBIRD"), QStringLiteral(VORIK_FBROOT));
  p.setProcessEnvironment(env);
  p.start(program, args);
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST_F(StartupTest, ADatabaseFileLockedByAnotherEngineGivesTheBox) {
  // An engine running in exclusive mode holds an exclusive lock on the file.
  createDatabase();
  QFile f(databasePath());
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_EQ(::flock(f.handle(), LOCK_EX | LOCK_NB), 0);
  // The lock is held until the start-up has returned: waiting for it would hang.
  MessageSeen box;
  start(&box);
  EXPECT_TRUE(form_->StartupFailed());
  expectStartupBox(box);
  ::flock(f.handle(), LOCK_UN);
}

TEST_F(StartupTest, AReadOnlyDatabaseGivesTheBox) {
  createDatabase();
  if (!runTool(QStringLiteral("gfix"), {QStringLiteral("-mode"), QStringLiteral("read_only"),
                                        QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                        databasePath()}))
    GTEST_SKIP() << "gfix cannot set the database read-only here";
  MessageSeen box;
  start(&box);
  EXPECT_TRUE(form_->StartupFailed());
  expectStartupBox(box);
}

TEST_F(StartupTest, AReadOnlyDatabaseFileGivesTheBox) {
  // Write permission means nothing to the superuser the tests may run as: an
  // immutable file cannot be written by anyone.
  createDatabase();
  QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  const bool immutable = ::geteuid() == 0 &&
                         runTool(QStringLiteral("chattr"), {QStringLiteral("+i"), databasePath()});
  MessageSeen box;
  start(&box);
  if (immutable) runTool(QStringLiteral("chattr"), {QStringLiteral("-i"), databasePath()});
  if (::geteuid() == 0 && !immutable) GTEST_SKIP() << "cannot make a file read-only for root";
  EXPECT_TRUE(form_->StartupFailed());
  expectStartupBox(box);
}

}  // namespace

namespace {

struct Ended {
  int exitCode = -1;        // Child::wait()
  QStringList afterSignal;  // what the program printed after the state was reached
};

// The program (the child below) taken to state, ended by the session
// (SIGTERM) once it printed a line starting with reached.
Ended endBySession(const QString &workdir, const QString &state, const QByteArray &reached = "ready") {
  Ended r;
  Child p({QStringLiteral("program"), workdir, state});
  if (p.waitFor(reached).isEmpty()) {
    r.afterSignal << QStringLiteral("never reached: ") + QString::fromUtf8(p.output());
    return r;
  }
  p.terminate();
  r.exitCode = p.wait(30000);
  r.afterSignal = QString::fromUtf8(p.output()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return r;
}

TEST_F(StartupTest, TheSessionEndingClosesTheProgramInOrder) {
  // While the start-up box waits for its answer.
  Ended ended = endBySession(dir_.path(), QStringLiteral("startup"), "box ");
  EXPECT_EQ(ended.exitCode, 0);
  EXPECT_EQ(ended.afterSignal, QStringList{QStringLiteral("status 0")});
  // While the main window runs.
  createDatabase();
  ended = endBySession(dir_.path(), QStringLiteral("main"));
  EXPECT_EQ(ended.exitCode, 0);
  EXPECT_EQ(ended.afterSignal, QStringList{QStringLiteral("status 0")});
}

}  // namespace

// ---------------------------------------------------------------------------
// Ended by the session while dialogs and a message box are open.

namespace {

// Reports every message box as it shows, so the parent sees what came after
// the signal.
class BoxReporter : public QObject {
 public:
  BoxReporter() { qApp->installEventFilter(this); }
  ~BoxReporter() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Show)
      if (auto *box = qobject_cast<QMessageBox *>(o))
        tellParent(QStringLiteral("box ") + box->property("rawText").toString());
    return false;
  }
};

// The program in a child process, taken to a state (args: the working folder,
// the state), printing each message box's text as "box <text>" as it shows
// and "status <n>" at its end:
//   "startup"  the start-up box left waiting (no database in the folder);
//   "answer"   the start-up box answered "Igen", then "answered <kind> <buttons>";
//   "main"     "ready" once the main window shows;
//   "box"      a message box over the line dialog over the ticket entry over
//              the ticket list, a write left in the open transaction, "ready";
//   "dialog"   the same without the box;
//   "lines"    the list's first ticket open for modification, its first line's
//              quantity changed to 200 through the line dialog, "ready".
// Termination signals are blocked before the application object exists, as
// main() does.
int runProgramChild(const QStringList &args) {
  if (args.size() < 2 || !QDir::setCurrent(args[0])) return 1;
  const QString state = args[1];
  TAboutBox::SetInterval(0);
  AboutBoxShown = true;
  BoxReporter boxes;
  int status = -1;
  if (state == QLatin1String("answer")) {
    MessageSeen seen;
    ModalScript script;
    script.then(answer(QMessageBox::Yes, &seen));
    script.run([&] { status = RunProgram(); });
    tellParent(QStringLiteral("answered ") + seen.kind + QLatin1Char(' ') + seen.buttons.join(QLatin1Char(',')));
    tellParent(QStringLiteral("status %1").arg(status));
    return status;
  }
  auto leaveWriteAndReport = [] {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('77', 'Búza')"));
    q.execute();
    tellParent(QStringLiteral("ready"));
  };
  ModalScript script;
  if (state == QLatin1String("lines")) {
    script.then([](QWidget *w) { click(w, QStringLiteral("Button2")); })  // list: "Módosít"
        .then([](QWidget *w) { click(w, QStringLiteral("Button8")); })    // entry: the line
        .then([](QWidget *w) {
          setText(w, QStringLiteral("Edit5"), QStringLiteral("200"));
          click(w, QStringLiteral("Button3"));                             // line: OK
        })
        .then([](QWidget *) { tellParent(QStringLiteral("ready")); });     // the entry stays
  } else if (state == QLatin1String("box") || state == QLatin1String("dialog")) {
    script.then([](QWidget *w) { click(w, QStringLiteral("Button1")); })  // list: "Új"
        .then([](QWidget *w) { click(w, QStringLiteral("Button2")); });   // entry: a new line
    if (state == QLatin1String("box")) {
      script.then([](QWidget *w) { click(w, QStringLiteral("Button3")); })  // line: OK, empty
          .then([&](QWidget *) { leaveWriteAndReport(); });                 // its box stays
    } else {
      script.then([&](QWidget *) { leaveWriteAndReport(); });  // the line dialog stays
    }
  }
  // Once the main window shows and the program waits in its loop; the
  // script's own loops run from a queued call (dropped with this function's
  // scope if it never ran), not inside the idle poll.
  bool started = false;
  QObject scope;
  const OnIdle mainShown([&] {
    if (started || !Form1 || !Form1->isVisible()) return;
    started = true;
    if (state == QLatin1String("main")) return tellParent(QStringLiteral("ready"));
    QMetaObject::invokeMethod(&scope, [&] {
      AtvevoKod = QStringLiteral("R1");
      TipusNormal = QStringLiteral("1");
      Form1->EnableReceiverMenus();
      script.run([] { Form1->Felvsrlsijegy1->trigger(); }, 120000);
    }, Qt::QueuedConnection);
  });
  status = RunProgram();
  tellParent(QStringLiteral("status %1").arg(status));
  return status;
}

const ChildMode kProgram("program", runProgramChild);

}  // namespace

namespace {

TEST_F(StartupTest, TheSessionEndingWithDialogsAndABoxOpenCommitsAndEnds) {
  for (const QString &state : {QStringLiteral("box"), QStringLiteral("dialog")}) {
    SCOPED_TRACE(state.toStdString());
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Átvevő')"));
    db.exec(QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('R1', '25000000')"));

    const Ended ended = endBySession(QFileInfo(db.path()).absolutePath(), state);
    EXPECT_EQ(ended.exitCode, 0);
    // No box came after the signal (one on a closed connection would wait
    // for an answer); the program got to its end.
    EXPECT_EQ(ended.afterSignal, QStringList{QStringLiteral("status 0")});

    // The write left in the transaction was committed, as "Kilépés" does, and
    // the entry's hold on the numbering went with the program.
    auto q = db.query();
    q->sql().add(QStringLiteral("SELECT T_MEGNEVEZES FROM TERMEK WHERE T_KOD = '77'"));
    q->open();
    EXPECT_EQ(q->recordCount(), 1);
    db.transaction().commit();
    NumberingHold hold(&db.connection());
    EXPECT_EQ(hold.take(QStringLiteral("R1")), NumberingHold::Status::Held);
    EXPECT_EQ(hold.stored(), QStringLiteral("25000000"));
  }
}

// Ended while a saved ticket's entry is open with a changed line: the header's
// totals follow the lines before the program ends.
TEST_F(StartupTest, TheSessionEndingStoresTheHeaderTotalsOfChangedLines) {
  TestDatabase db;
  db.exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Átvevő')"));
  db.exec(QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('R1', '25000001')"));
  db.exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_SZJA, O_FELIR) VALUES ('00001', 'Termelő', 0, "
                         "'AB1234567')"));
  db.exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_UTAL, "
                         "F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_TIPUS, F_MUVKTG, F_SUMVAR) VALUES "
                         "('25000001', 'R1', '00001', '2025-03-01', '2025-03-01', '2025-03-01', ' ', ' ', 0, 0, "
                         "0, ' ', '1', 8065, 8064)"));
  db.exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                         "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('25000001', 'Búza', '1001', 100, 'kg', "
                         "80.64, 0, 'R1', 0)"));

  const Ended ended = endBySession(QFileInfo(db.path()).absolutePath(), QStringLiteral("lines"));
  EXPECT_EQ(ended.exitCode, 0);
  EXPECT_EQ(ended.afterSignal, QStringList{QStringLiteral("status 0")});
  auto q = db.query();
  q->sql().add(QStringLiteral("SELECT F_MUVKTG, F_SUMVAR, S_VETELAR FROM QZFEJ JOIN QZSOR ON S_BSZAM = F_BSZAM"));
  q->open();
  ASSERT_EQ(q->recordCount(), 1);
  EXPECT_EQ(q->fieldByName(QStringLiteral("S_VETELAR")).asString(), QStringLiteral("16128"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("F_MUVKTG")).asString(), QStringLiteral("16130"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("F_SUMVAR")).asString(), QStringLiteral("16128"));
}

}  // namespace

namespace {

// Qt's own texts are Hungarian once its translation is installed; the
// program's box captions stay as they are.
TEST(QtTranslation, QtsOwnTextsAreHungarianAndTheBoxCaptionsStay) {
  QTranslator *translator = InstallQtTranslation();
  ASSERT_NE(translator, nullptr) << "qtbase_hu in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
  const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
  const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
  const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
  QString caption, button;
  ModalScript script;
  script.then([&](QWidget *box) {
    caption = box->windowTitle();
    button = textOf(box, QStringLiteral("Yes"));
    click(box, QStringLiteral("Yes"));
  });
  script.run([] { platform::confirmYes(QStringLiteral("Próba")); });
  QCoreApplication::removeTranslator(translator);
  delete translator;
  EXPECT_EQ(yes, QStringLiteral("&Igen"));
  EXPECT_EQ(cancel, QStringLiteral("Mégse"));
  EXPECT_EQ(lookIn, QStringLiteral("Keresés itt:"));
  EXPECT_EQ(button.remove(QLatin1Char('&')), QStringLiteral("Igen"));
  EXPECT_EQ(caption, platform::defaultCaption(platform::MessageKind::Confirmation));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

}  // namespace

#include "app/Unit1.h"

#include "app/About.h"
#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "db/schema.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/format_settings.h"
#include "vorik_version.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>

#include <exception>

TForm1 *Form1 = nullptr;

const QString StartupFailureText = QStringLiteral("Az adatbáziskezelöt nem találja.") +
                                   QChar(13) +
                                   QStringLiteral("A program müködéséhez szükséges.");

TForm1::TForm1(QWidget *owner) : QMainWindow(owner) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Felvásárlási jegy nyilvántartó      2006-2025"));
  BuildMenu();
  resize(640, minimumSizeHint().height());
  Form1 = this;
  FormCreate();
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

namespace {

struct Item {
  QAction **action;
  const char *name;
  const char *caption;
  enum { On, Hidden, Separator } start;
};

QAction *makeAction(QObject *owner, const char *name, const QString &caption) {
  auto *a = new QAction(caption, owner);
  a->setObjectName(QString::fromLatin1(name));
  return a;
}

// A command item runs the command its dialog's unit registered under its name.
void bindCommand(QAction *a) {
  QObject::connect(a, &QAction::triggered, a, [name = a->objectName()] { RunMenuCommand(name); });
}

}  // namespace

void TForm1::BuildMenu() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  // The native menu bar of some desktops would take the menu out of the window.
  MainMenu1->setNativeMenuBar(false);

  auto addMenu = [this](QMenu *&menu, const char *name, const QString &caption,
                        std::initializer_list<Item> items, bool enabled) {
    menu = new QMenu(caption, this);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    for (const Item &it : items) {
      QAction *a;
      if (it.start == Item::Separator) {
        a = makeAction(menu, it.name, QString::fromUtf8(it.caption));
        a->setSeparator(true);
      } else {
        a = makeAction(menu, it.name, QString::fromUtf8(it.caption));
        // Never shown; the command stays reachable in code.
        if (it.start == Item::Hidden) a->setVisible(false);
        bindCommand(a);
      }
      menu->addAction(a);
      *it.action = a;
    }
    MainMenu1->addMenu(menu);
    menu->setEnabled(enabled);
  };
  auto addCommand = [this](QAction *&action, const char *name, const QString &caption,
                           bool enabled) {
    action = makeAction(MainMenu1, name, caption);
    action->setEnabled(enabled);
    MainMenu1->addAction(action);
    if (&action != &Kilps1) bindCommand(action);
  };

  addMenu(Adz1, "Adz1", QStringLiteral("Átvevö"),
          {{&Vlaszts1, "Vlaszts1", "Választás", Item::On}}, true);
  addCommand(Felvsrlsijegy1, "Felvsrlsijegy1", QStringLiteral("Felvásárlási jegy"), false);
  addCommand(stermel1, "stermel1", QStringLiteral("Östermelö"), false);
  addCommand(Termk1, "Termk1", QStringLiteral("Termék"), false);
  addMenu(Bevalls1, "Bevalls1", QStringLiteral("Bevallás"),
          {{&N0808Mhozexport1, "N0808Mhozexport1", "2508M-hoz export", Item::On},
           {&Bevallslista1, "Bevallslista1", "Bevallás lista", Item::On},
           {&Importsszevons1, "Importsszevons1", "Import összevonás", Item::On},
           {&Adhatgiellenrzsiadatszolgltats1, "Adhatgiellenrzsiadatszolgltats1",
            "Adóhatóági ellenőrzési adatszolgáltatás", Item::Hidden}},
          false);
  addMenu(Listk1, "Listk1", QStringLiteral("Listák"),
          {{&Termkenkntilista1, "Termkenkntilista1", "Termékenkénti lista", Item::On},
           {&Termelnkntilista1, "Termelnkntilista1", "Östermelönkénti lista", Item::On},
           {&stermelhavibontsban1, "stermelhavibontsban1", "Östermelö havi bontásban", Item::On},
           {&Kszpnzeskifizets1, "Kszpnzeskifizets1", "Kp. napi lista", Item::On},
           {&Statisztika1, "Statisztika1", "Statisztika", Item::On}},
          false);
  addMenu(Export1, "Export1", QStringLiteral("Segédlet"),
          {{&Ellenrzs2, "Ellenrzs2", "Ellenörzés", Item::On},
           {&Adatokexceltblba1, "Adatokexceltblba1", "Vorik excel táblába", Item::On},
           {&Adatbzis1, "Adatbzis1", "Adatok", Item::On},
           {&Rgiblexport1, "Rgiblexport1", "Régiből import", Item::Hidden},
           {&N1, "N1", "-", Item::Separator},
           {&Sug1, "Sug1", "Sugó", Item::On},
           {&Nvjegy1, "Nvjegy1", "Névjegy", Item::On},
           {&Tvsegitsg1, "Tvsegitsg1", "Távsegitség", Item::On},
           {&Adatokkldse1, "Adatokkldse1", "Adatok küldése", Item::Hidden},
           {&Adatexport1, "Adatexport1", "Adat export", Item::On},
           {&Magnnytag1, "Magnnytag1", "Magánny.tag?", Item::Hidden},
           {&Szerzds1, "Szerzds1", "Szerzödés", Item::Hidden},
           {&Importexcelblcsv1, "Importexcelblcsv1", "Östermelö import excelböl (*.csv)",
            Item::Hidden},
           {&Adatments1, "Adatments1", "Adatok mentése", Item::On},
           {&Ostermeloegyesites1, "Ostermeloegyesites1", "Ostermelo egyesites", Item::Hidden},
           {&FELIRazonfelvtele1, "FELIRazonfelvtele1", "FELIR azon. felvétele", Item::Hidden},
           {&Lekrdezs2, "Lekrdezs2", "Átvevő beállítás", Item::On},
           {&vnyits1, "vnyits1", "Évnyitás", Item::On},
           {&Adattadskszlethez1, "Adattadskszlethez1", "Adatátadás készlethez", Item::Hidden},
           {&Kamaraiszmhossza1, "Kamaraiszmhossza1", "Kamarai szám hossza", Item::Hidden},
           {&Nbihazonfelvtele1, "Nbihazonfelvtele1", "Nébih azon. felvétele", Item::On},
           {&Windowsdtumformtunnakmdostsa1, "Windowsdtumformtunnakmdostsa1",
            "Windows dátum formátunának módosítása", Item::On}},
          false);
  addCommand(Kilps1, "Kilps1", QStringLiteral("Kilépés"), true);

  connect(Kilps1, &QAction::triggered, this, &TForm1::Kilps1Click);
}

void TForm1::FormCreate() {
  if (!AboutBoxShown) {
    AboutBoxShown = true;
    AboutBox = new TAboutBox(nullptr);
    AboutBox->exec();
  }
  try {
    // One data module per start-up, owned by the application.
    delete Data;
    new TData(qApp);
    const auto attachStart = std::chrono::steady_clock::now();
    Data->ZCon1->open();
    attachTime_ = std::chrono::steady_clock::now() - attachStart;
    // A backup lock that a killed copy left would keep the main file frozen.
    try {
      db::endLeftOverBackupLock(*Data->ZCon1);
    } catch (const std::exception &) {
      platform::logCaught(lcApp(), QStringLiteral("ending a left-over backup lock"));
      if (db::fileBackupLocked(Data->ZCon1->databaseName()))
        platform::showMessage(db::backupLockLeftText(Data->ZCon1->databaseName()));
    }
    // A file of an earlier version gets the indexes its lists read through.
    db::addMissingIndexes(*Data->ZCon1);
    db::Table *tables[] = {Data->IBTable1, Data->IBTable2, Data->IBTable3,
                           Data->IBTable4, Data->IBTable5, Data->IBTable6};
    for (db::Table *t : tables) t->close();
    for (db::Table *t : tables) t->open();
    if (!Data->DatabaseWritable()) startupFailed_ = true;
  } catch (const std::exception &) {
    // Every cause (no database file, no engine, not a database, a missing
    // table) gets the one start-up box below; the log keeps which it was.
    platform::logCaught(lcApp(), QStringLiteral("start-up"));
    startupFailed_ = true;
    // A backup lock whose side file has no room keeps the engine from
    // opening the database: the user is told that state and what to do.
    if (Data && db::fileBackupLocked(Data->ZCon1->databaseName()))
      platform::showMessage(db::backupLockLeftText(Data->ZCon1->databaseName()));
  }
  if (startupFailed_) {
    // The box has the one button Yes: however it is dismissed, the program ends.
    platform::messageBox(platform::MessageKind::Confirmation, StartupFailureText,
                         QMessageBox::Yes);
    closed_ = true;
  }
}

void TForm1::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm1::FormShow() {
  platform::regional().decimalSeparator = QLatin1Char(',');
  platform::regional().dateSeparator = QLatin1Char('.');
  VerzioSzoveg = QStringLiteral("Verzió: ") + QString::number(vorik::version::kMajor) +
                 QStringLiteral(".0") + QString::number(vorik::version::kMinor) +
                 QStringLiteral(" 2006-2025");
  FejSzoveg = QStringLiteral("Felvásárlási jegy - ");
  setWindowTitle(FejSzoveg + VerzioSzoveg);
}

void TForm1::closeEvent(QCloseEvent *event) {
  FormClose();
  QMainWindow::closeEvent(event);
}

void TForm1::FormClose() {
  if (closed_ || !Data) return;
  closed_ = true;
  try {
    if (Data->IBTrans1->active()) Data->IBTrans1->commitRetaining();
  } catch (const std::exception &e) {
    // The writes left in the transaction are lost: say so rather than end silently.
    platform::logCaught(lcApp(), QStringLiteral("commit at close"));
    platform::error(platform::exceptionText(e));
  }
  try {
    if (Data->ZCon1->connected()) Data->ZCon1->close();
  } catch (const std::exception &) {
    platform::logCaught(lcApp(), QStringLiteral("closing the database"));
  }
}

void TForm1::Kilps1Click() { close(); }

void TForm1::EnableReceiverMenus() {
  for (QAction *a : {Felvsrlsijegy1, stermel1, Termk1, Kilps1}) a->setEnabled(true);
  for (QMenu *m : {Bevalls1, Listk1, Export1}) m->setEnabled(true);
}

#pragma once
// The main window: start-up (splash, data module, database), the main menu
// and the orderly shut-down. It holds no data of its own; each menu command
// opens one modal dialog (see MenuCommands.h).
#include <QMainWindow>
#include <QString>

#include <chrono>

class QAction;
class QMenu;
class QMenuBar;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // Runs FormCreate: the splash, the data module and the database. When that
  // fails the start-up box has been answered and StartupFailed() is true; the
  // window must then not be shown.
  explicit TForm1(QWidget *owner = nullptr);
  ~TForm1() override;

  bool StartupFailed() const { return startupFailed_; }
  // How long the database attach of the start-up took (for measurements).
  std::chrono::nanoseconds AttachTime() const { return attachTime_; }

  // Caption prefix and version text, set by FormShow.
  QString FejSzoveg;
  QString VerzioSzoveg;

  QMenuBar *MainMenu1;
  // "Átvevö"
  QMenu *Adz1;
  QAction *Vlaszts1;
  // Top items that are commands themselves.
  QAction *Felvsrlsijegy1;
  QAction *stermel1;
  QAction *Termk1;
  // "Bevallás"
  QMenu *Bevalls1;
  QAction *N0808Mhozexport1, *Bevallslista1, *Importsszevons1, *Adhatgiellenrzsiadatszolgltats1;
  // "Listák"
  QMenu *Listk1;
  QAction *Termkenkntilista1, *Termelnkntilista1, *stermelhavibontsban1, *Kszpnzeskifizets1,
      *Statisztika1;
  // "Segédlet"
  QMenu *Export1;
  QAction *Ellenrzs2, *Adatokexceltblba1, *Adatbzis1, *Rgiblexport1, *N1, *Sug1, *Nvjegy1,
      *Tvsegitsg1, *Adatokkldse1, *Adatexport1, *Magnnytag1, *Szerzds1, *Importexcelblcsv1,
      *Adatments1, *Ostermeloegyesites1, *FELIRazonfelvtele1, *Lekrdezs2, *vnyits1,
      *Adattadskszlethez1, *Kamaraiszmhossza1, *Nbihazonfelvtele1,
      *Windowsdtumformtunnakmdostsa1;
  QAction *Kilps1;

  void FormCreate();
  void FormShow();
  void FormClose();

  // Enables the top items a chosen receiver unlocks ("Felvásárlási jegy",
  // "Östermelö", "Termék", "Bevallás", "Listák", "Segédlet", "Kilépés").
  void EnableReceiverMenus();

 public slots:
  void Kilps1Click();

 protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

 private:
  void BuildMenu();
  bool startupFailed_ = false;
  std::chrono::nanoseconds attachTime_{0};
  bool closed_ = false;
};

extern TForm1 *Form1;

// The start-up box's text: two lines separated by a carriage return.
extern const QString StartupFailureText;


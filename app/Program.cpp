#include "app/Program.h"

#include "app/Unit1.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Desgn_Intf.h"

#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <memory>

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

const QString HelpFileName = QStringLiteral("VORIK2009.HLP");

namespace {

// A termination request (SIGTERM, SIGINT, SIGHUP: the session ends, Ctrl+C)
// ends the program as "Kilépés" does, so the open transaction is committed.
// The signals are blocked in every thread and read from a signal descriptor
// in the message loop: the database engine's own handler would start an
// engine shut-down under the program's feet, after which the orderly
// detach never returns.
//
// The request may come while dialogs and message boxes are open, each in its
// own nested loop, with the handler that opened it still on the stack. They
// are all closed and every loop is told to end; the handlers then return one
// by one, still on a connected database, and a box they open on the way
// answers at once as when dismissed (the escape button: No rather than Yes).
// Only when the main loop has returned is the transaction committed and the
// connection closed.
sigset_t terminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

bool terminationRequested = false;

void closeModalWindows() {
  while (QWidget *w = QApplication::activeModalWidget()) {
    if (auto *d = qobject_cast<QDialog *>(w)) d->reject();
    else w->close();
    if (QApplication::activeModalWidget() == w) break;  // refused to close
  }
}

class TerminationWatch {
 public:
  TerminationWatch() {
    const sigset_t set = terminationSignals();
    sigset_t blocked;
    if (pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0) return;
    // Only signals the program blocked from its start are read here; the
    // others keep their default action.
    sigset_t ours;
    sigemptyset(&ours);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
      if (sigismember(&set, sig) && sigismember(&blocked, sig)) sigaddset(&ours, sig);
    fd_ = signalfd(-1, &ours, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
      signalfd_siginfo info;
      while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
      }
      terminationRequested = true;
      // Ends every running loop and makes a loop started after this one
      // return at once: also a box that closing a dialog might raise.
      QCoreApplication::exit(0);
      closeModalWindows();
    });
  }
  ~TerminationWatch() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
  }

 private:
  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

void BlockTerminationSignals() {
  const sigset_t set = terminationSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

QTranslator *InstallQtTranslation() {
  auto *translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(translator))
    return translator;
  delete translator;
  return nullptr;
}

int RunProgram() {
  // The report engine's printer wrapper over the system's printers, for the
  // whole run (a wrapper already installed, as by a test, is kept).
  struct EnginePrinter {
    bool own = !report::frPrinter;
    EnginePrinter() {
      if (own) report::frCreatePrinter();
    }
    ~EnginePrinter() {
      if (own) report::frFreePrinter();
    }
  } printer;
  qApp->setProperty("helpFile", HelpFileName);
  terminationRequested = false;
  TerminationWatch watch;
  // The designer instance, when the program carries a designer; it lives to the end.
  report::frCreateDesigner();
  struct FreeDesigner {
    ~FreeDesigner() { report::frFreeDesigner(); }
  } freeDesigner;
  auto form = std::make_unique<TForm1>();
  // A failed start-up was answered in its box: the program ends without
  // showing the main window.
  if (form->StartupFailed()) return 0;
  QCoreApplication::processEvents();  // a request that came during the start-up
  int status = 0;
  if (!terminationRequested) {
    form->show();
    status = QApplication::exec();
  }
  // After "Kilépés" the window's close has committed already; after a
  // termination request this is the close.
  form->FormClose();
  return status;
}

// Menu commands: each run builds a fresh dialog, stores it in its global only
// while it is shown and frees it; a failing command ends in an error box.
#include "app/About.h"
#include "app/MenuCommands.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QPointer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vorik::test;

namespace {

class TForm97 : public QDialog {
 public:
  explicit TForm97(QWidget *owner) : QDialog(owner) {
    setObjectName(QStringLiteral("Form97"));
    ++created;
  }
  ~TForm97() override { ++destroyed; }
  static inline int created = 0;
  static inline int destroyed = 0;
  bool prepared = false;
};
TForm97 *Form97 = nullptr;

TEST(MenuCommands, EachRunBuildsAFreshDialogAndFreesIt) {
  RegisterMenuCommand(QStringLiteral("Teszt1"), [] { ShowModalDialog<TForm97>(Form97); });
  ASSERT_TRUE(HasMenuCommand(QStringLiteral("Teszt1")));
  const int created = TForm97::created, destroyed = TForm97::destroyed;  // other tests' dialogs
  std::vector<QObject *> seen;
  std::vector<bool> parentless;
  for (int run = 0; run < 2; ++run) {
    ModalScript script;
    script.then([&](QWidget *w) {
      seen.push_back(w);
      parentless.push_back(w->parent() == nullptr);
      EXPECT_EQ(w, Form97);
      closeWindow(w);
    });
    EXPECT_TRUE(script.run([] { EXPECT_TRUE(RunMenuCommand(QStringLiteral("Teszt1"))); }));
    EXPECT_EQ(Form97, nullptr);
  }
  EXPECT_EQ(TForm97::created - created, 2);
  EXPECT_EQ(TForm97::destroyed - destroyed, 2);
  EXPECT_EQ(parentless, (std::vector<bool>{true, true}));
}

TEST(MenuCommands, PrepareRunsBeforeTheDialogShows) {
  RegisterMenuCommand(QStringLiteral("Teszt2"), [] {
    ShowModalDialog<TForm97>(Form97, [](TForm97 *f) { f->prepared = true; });
  });
  bool preparedWhenShown = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    preparedWhenShown = static_cast<TForm97 *>(w)->prepared;
    closeWindow(w);
  });
  script.run([] { RunMenuCommand(QStringLiteral("Teszt2")); });
  EXPECT_TRUE(preparedWhenShown);
}

TEST(MenuCommands, UnregisteredItemDoesNothing) {
  EXPECT_FALSE(HasMenuCommand(QStringLiteral("Felvsrlsijegy1_nincs")));
  EXPECT_FALSE(RunMenuCommand(QStringLiteral("Felvsrlsijegy1_nincs")));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MenuCommands, AnErrorTheCommandDoesNotCatchIsShownAndTheProgramGoesOn) {
  RegisterMenuCommand(QStringLiteral("Teszt3"),
                      [] { throw std::runtime_error("table QZFEJ is locked"); });
  MessageSeen seen;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &seen));
  bool ran = false;
  script.run([&] { ran = RunMenuCommand(QStringLiteral("Teszt3")); });
  EXPECT_TRUE(ran);
  EXPECT_EQ(seen.kind, QStringLiteral("Error"));
  EXPECT_EQ(seen.text, QStringLiteral("table QZFEJ is locked"));
}

TEST(Splash, ClosesItselfAfterItsIntervalAndIsReleased) {
  auto *box = new TAboutBox(nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Betöltés..."));
  EXPECT_EQ(box->Version->text(), QStringLiteral("Felvásárlási jegy "));
  TAboutBox::SetInterval(50);
  auto *fresh = new TAboutBox(nullptr);
  EXPECT_EQ(fresh->Timer1->interval(), 50);
  delete box;
  AboutBox = fresh;
  QPointer<TAboutBox> watch(fresh);
  // Nothing else closes it: a box whose timer did not close it would be
  // closed by this guard instead.
  bool guardClosedIt = false;
  QTimer::singleShot(60000, fresh, [&] {
    guardClosedIt = true;
    fresh->reject();
  });
  fresh->exec();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(guardClosedIt);
  EXPECT_TRUE(watch.isNull());
  EXPECT_EQ(AboutBox, nullptr);
}

TEST(Splash, EscapeDoesNotCloseItBeforeItsTime) {
  TAboutBox::SetInterval(300);
  auto *box = new TAboutBox(nullptr);
  AboutBox = box;
  QPointer<TAboutBox> watch(box);
  bool openAfterEscape = false;
  QTimer::singleShot(30, [watch, &openAfterEscape] {
    if (!watch) return;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(watch.data(), &escape);
    openAfterEscape = watch && watch->isVisible() && watch->Timer1->isActive();
  });
  box->exec();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  TAboutBox::SetInterval(-1);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(watch.isNull());  // closed by its timer, and released
  EXPECT_EQ(AboutBox, nullptr);
}

TEST(Splash, IntervalIsThreeSecondsUnlessOverridden) {
  TAboutBox::SetInterval(-1);
  qunsetenv("VORIK_SPLASH_MS");
  EXPECT_EQ(TAboutBox::Interval(), 3000);
  qputenv("VORIK_SPLASH_MS", "7");
  EXPECT_EQ(TAboutBox::Interval(), 7);
  qputenv("VORIK_SPLASH_MS", "hét");
  EXPECT_EQ(TAboutBox::Interval(), 3000);
  qputenv("VORIK_SPLASH_MS", "-5");
  EXPECT_EQ(TAboutBox::Interval(), 3000);
  TAboutBox::SetInterval(0);
  EXPECT_EQ(TAboutBox::Interval(), 0);
  qunsetenv("VORIK_SPLASH_MS");
}

}  // namespace

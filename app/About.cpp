#include "app/About.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

TAboutBox *AboutBox = nullptr;
bool AboutBoxShown = false;

namespace {
std::optional<int> intervalOverride;
}

int TAboutBox::Interval() {
  if (intervalOverride) return *intervalOverride;
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("VORIK_SPLASH_MS", &ok);
  if (ok && ms >= 0) return ms;
  return 3000;
}

void TAboutBox::SetInterval(int ms) {
  if (ms < 0) intervalOverride.reset();
  else intervalOverride = ms;
}

TAboutBox::TAboutBox(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("Betöltés..."));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint);
  setModal(true);

  auto *panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setAutoFillBackground(true);
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, Qt::yellow);
  panel->setPalette(pal);

  Version = new QLabel(QStringLiteral("Felvásárlási jegy "), panel);
  Version->setObjectName(QStringLiteral("Version"));
  QFont big = Version->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  Version->setFont(big);
  auto *year = new QLabel(QStringLiteral("2025."), panel);
  year->setObjectName(QStringLiteral("Label1"));
  auto *maker = new QLabel(QStringLiteral("Vorik felvásárlási nyilvántartó"), panel);
  maker->setObjectName(QStringLiteral("Label2"));
  auto *address = new QLabel(QStringLiteral("A forgalmazó adatai a Névjegy ablakban."), panel);
  address->setObjectName(QStringLiteral("Label3"));

  auto *inner = new QVBoxLayout(panel);
  inner->setContentsMargins(24, 24, 24, 24);
  for (QLabel *l : {Version, year, maker, address}) {
    l->setAlignment(Qt::AlignCenter);
    inner->addWidget(l);
  }
  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->addWidget(panel);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(Interval());
  connect(Timer1, &QTimer::timeout, this, &TAboutBox::Timer1Timer);
}

void TAboutBox::Timer1Timer() {
  close();
  deleteLater();
}

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

// The timer runs in the splash's own modal loop: it starts when the window shows.
void TAboutBox::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!Timer1->isActive()) Timer1->start();
}

void TAboutBox::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

#include "exchange/backup/Unit35.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/backup/DatabaseCopy.h"
#include "exchange/logging.h"
#include "platform/conv.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/file_dialog.h"
#include "platform/win_path.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TForm35 *Form35 = nullptr;

VORIK_MENU_COMMAND(Adatments1, TForm35, Form35)

const QString kBackupFolder = QStringLiteral("c:\\qz2025\\ment\\");

namespace {

// A file name in a folder: a folder of the file system (from a file dialog
// or the working directory) joins with "/", a Windows path with "\".
QString InFolder(const QString &folder, const QString &name) {
  if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'))) return folder + name;
  return folder + (folder.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QStringLiteral("\\")) + name;
}

}  // namespace

QString BackupFileName(const QDateTime &when) {
  return platform::FormatDateTime(QStringLiteral("yyyy_mm_dd_hh_nn"), when) + QStringLiteral(".FDB");
}

TForm35::TForm35(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form35"));
  setWindowTitle(QStringLiteral("Adatok mentése"));
  setModal(true);

  Label1 = Widgets::makeLabel(this, "Label1", QStringLiteral("A kiválasztott útvonalaknak létezni kell."));
  Label2 = Widgets::makeLabel(this, "Label2", QStringLiteral("Honnan :"));
  Label3 = Widgets::makeLabel(this, "Label3", QStringLiteral("Hová :"));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit2 = Widgets::makeEdit(this, "Edit2");
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Mentés"));
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Honnan"));
  Button3 = Widgets::makeButton(this, "Button3", QStringLiteral("Hová"));
  OpenDialog1 = platform::makeFileDialog(this, "OpenDialog1", platform::FileDialogKind::Open,
                                         QStringLiteral("Felvásárlási jegy 2025. évi adatok mentése innen"),
                                         QStringLiteral("*.fdb|Qz2025.fdb"), QString());
  SaveDialog1 = platform::makeFileDialog(this, "SaveDialog1", platform::FileDialogKind::Save,
                                         QStringLiteral("Felvásárlási jegy 2025. évi adatok mentése ide"),
                                         QStringLiteral("*.fdb|*.fdb"), QStringLiteral("*.fdb"));
  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button2Click(); }); });
  connect(Button3, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button3Click(); }); });

  // Wide enough for a long folder and the backup name.
  const int pathWidth = Edit1->fontMetrics().horizontalAdvance(
      QStringLiteral("/home/felhasznalo/QZ2025/ment/2025_03_07_14_05.FDB")) + 24;
  Edit1->setMinimumWidth(pathWidth);
  Edit2->setMinimumWidth(pathWidth);
  auto *grid = new QGridLayout;
  grid->addWidget(Label2, 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(Button2, 0, 2);
  grid->addWidget(Label3, 1, 0);
  grid->addWidget(Edit2, 1, 1);
  grid->addWidget(Button3, 1, 2);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  auto *top = new QVBoxLayout(this);
  top->addWidget(Label1);
  top->addLayout(grid);
  top->addLayout(buttons);
  resize(sizeHint());
}

TForm35::~TForm35() = default;

void TForm35::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm35::FormShow() {
  Honnan = InFolder(QDir::currentPath(), QStringLiteral("qz2025.fdb"));
  Edit1->setText(Honnan);
  // A backup lock that a killed copy left keeps the database writing to its
  // side file for good: it ends here, and at the latest before the next copy.
  const QString source = platform::mapWindowsPath(Honnan);
  if (QFileInfo(source).isFile()) {
    try {
      backup::EndLeftOverBackupLock(source);
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), QStringLiteral("ending a left-over backup lock"));
      // Still locked: the user is told the state and what to do.
      if (db::fileBackupLocked(source)) platform::showMessage(db::backupLockLeftText(source));
    }
  }
  OpenDialog1->setDirectory(QDir::currentPath());
  OpenDialog1->selectFile(QStringLiteral("Qz2025.fdb"));
  Hova = kBackupFolder + BackupFileName(QDateTime::currentDateTime());
  Edit2->setText(Hova);
  SaveDialog1->setDirectory(platform::mapWindowsPath(kBackupFolder));
  SaveDialog1->selectFile(BackupFileName(QDateTime::currentDateTime()));
}

void TForm35::Button2Click() {
  const QString chosen = platform::execFileDialog(OpenDialog1);
  if (chosen.isEmpty()) return;
  Honnan = chosen;
  Edit1->setText(Honnan);
}

void TForm35::Button3Click() {
  const QString chosen = platform::execFileDialog(SaveDialog1);
  // The chosen folder, or the process's current folder when cancelled; the
  // typed name is not used.
  const QString folder = chosen.isEmpty() ? QDir::currentPath() : QFileInfo(chosen).absolutePath();
  Hova = InFolder(folder, BackupFileName(QDateTime::currentDateTime()));
  Edit2->setText(Hova);
}

void TForm35::Button1Click() {
  Honnan = Edit1->text();
  Hova = Edit2->text();
  const QString source = platform::mapWindowsPath(Honnan);
  if (!QFileInfo(source).isFile()) {
    platform::showMessage(QStringLiteral("Hiba! A \"Honnan\" -ban megadott fálj nem létezik."));
    return;
  }
  QString failure;
  try {
    // What the program has written is made durable before the copy.
    if (Data && Data->IBTrans1->active()) Data->IBTrans1->commitRetaining();
    backup::CopyDatabase(source, platform::mapWindowsPath(Hova));
  } catch (const backup::CopyError &e) {
    platform::logCaught(lcExchange(), QStringLiteral("backup"));
    if (e.copied()) {
      // The copy is whole, but no success is told while the lock stays on.
      platform::showMessage(QStringLiteral("Hiba! Az adatbázis átmásolva a \"Hová\" könyvtárba, de a mentés "
                                           "zárolása nem oldható fel.\r") +
                            e.reason());
      return;
    }
    failure = e.reason();
  } catch (const std::exception &) {  // the engine's or the system's text: the log only
    platform::logCaught(lcExchange(), QStringLiteral("backup"));
    failure = QStringLiteral("Az adatbázis kezelő hibát jelzett, a részletek a program naplójában vannak. "
                             "Kérem próbálja újra, és ha ismét nem sikerül, lépjen ki a programból és indítsa "
                             "újra.");
  }
  if (!failure.isEmpty()) {
    platform::showMessage(QStringLiteral("Hiba! A mentés nem történt meg.\r") + failure);
    return;
  }
  platform::showMessage(QStringLiteral("Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le."));
}

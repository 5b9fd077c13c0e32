#include "exchange/backup/Unit27.h"

#include "app/MenuCommands.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/win_path.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TForm27 *Form27 = nullptr;

VORIK_MENU_COMMAND(Adatokkldse1, TForm27, Form27)

const QString kSupportAddress = QStringLiteral("tamogatas@quorvane.hu");
const QString kLastYearFolder = QStringLiteral("c:\\Program Files\\Quorvane\\qz2024");

QString SupportMailLink() {
  return QStringLiteral("mailto:") + kSupportAddress +
         QStringLiteral(" ?subject=Vorik adatok &body=Vorik 2024 adatok elküldése ellenőrzésre. Figyelmeztetés: "
                        "csatolt fálj mellékelni kell! ");
}

namespace {

const QString kNoMailProgram =
    QStringLiteral("Hiba! Nincs beállított levelező program. A levelet a levelező programjában kézzel kell "
                   "megírni, címzett: ");

}  // namespace

TForm27::TForm27(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form27"));
  setWindowTitle(QStringLiteral("Adatok elküldése  emailben"));
  setModal(true);

  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  // Drive C: is the user's home folder; the file system's root stands for the rest.
  DriveComboBox1->addItem(QStringLiteral("c:"), QStringLiteral("c:\\"));
  DriveComboBox1->addItem(QStringLiteral("/"), QStringLiteral("/"));
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  folders_->setRootPath(QStringLiteral("/"));
  DirectoryListBox1 = new QTreeView(this);
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  DirectoryListBox1->setModel(folders_);
  for (int c = 1; c < folders_->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
  DirectoryListBox1->header()->hide();
  FileListBox1 = new QListWidget(this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->hide();
  Label1 = Widgets::makeLabel(this, "Label1", QStringLiteral("A küldendő fálj neve :"));
  Label2 = Widgets::makeLabel(
      this, "Label2",
      QStringLiteral("A \"Küldés1\" program gomb feltételezi, hogy a számítógépre telepítve van az Outlook program."));
  Label3 = Widgets::makeLabel(
      this, "Label3",
      QStringLiteral("Vagy: a küldendő fálj  nevét másolja vágólapra és  a \"Küldés2\" levelező programjában "));
  Label4 = Widgets::makeLabel(this, "Label4", QStringLiteral("CTRL +  V  billentyüvel  tegye be a  csatolt fájl nevéhez"));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(
                             QStringLiteral("/home/felhasznalo/Program Files/Quorvane/qz2024/qz2024.fdb")) + 24);
  Button4 = Widgets::makeButton(this, "Button4", QStringLiteral("Küldés1"));
  Button6 = Widgets::makeButton(this, "Button6", QStringLiteral("Küldés2"));
  Button7 = Widgets::makeButton(this, "Button7", QStringLiteral("Vágólapra másolás"));
  Button5 = Widgets::makeButton(this, "Button5", QStringLiteral("Mégsem"));
  connect(Button4, &QPushButton::clicked, this, &TForm27::Button4Click);
  connect(Button6, &QPushButton::clicked, this, &TForm27::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm27::Button7Click);
  connect(Button5, &QPushButton::clicked, this, &TForm27::Button5Click);
  connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex &current) {
            if (!current.isValid()) return;
            directory_ = folders_->filePath(current);
            DirectoryListBox1Change();
          });
  connect(DriveComboBox1, &QComboBox::activated, this,
          [this](int i) { SetDirectory(DriveComboBox1->itemData(i).toString()); });

  auto *path = new QHBoxLayout;
  path->addWidget(Label1);
  path->addWidget(Edit1, 1);
  auto *buttons = new QHBoxLayout;
  for (QPushButton *b : {Button4, Button6, Button7}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Button5);
  auto *top = new QVBoxLayout(this);
  top->addWidget(DriveComboBox1);
  top->addWidget(DirectoryListBox1, 1);
  top->addWidget(FileListBox1);
  top->addLayout(path);
  top->addWidget(Label2);
  top->addWidget(Label3);
  top->addWidget(Label4);
  top->addLayout(buttons);
  resize(sizeHint().width(), 420);
}

TForm27::~TForm27() = default;

void TForm27::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm27::FormShow() { SetDirectory(kLastYearFolder); }

void TForm27::SetDirectory(const QString &folder) {
  directory_ = folder;
  const QModelIndex index = folders_->index(platform::mapWindowsPath(folder));
  if (index.isValid()) {
    QSignalBlocker block(DirectoryListBox1->selectionModel());
    DirectoryListBox1->setCurrentIndex(index);
    DirectoryListBox1->scrollTo(index);
  }
  DirectoryListBox1Change();
}

void TForm27::DirectoryListBox1Change() {
  FileListBox1->clear();
  QDir dir(platform::mapWindowsPath(directory_));
  // The file list's mask, matched as Windows matches it: without regard to case.
  dir.setNameFilters({QStringLiteral("qz2024.fdb")});
  for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) FileListBox1->addItem(name);
  if (FileListBox1->count() > 0) {
    const QString sep = directory_.endsWith(QLatin1Char('\\')) || directory_.endsWith(QLatin1Char('/'))
                            ? QString()
                            : directory_.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QStringLiteral("\\");
    Edit1->setText(directory_ + sep + FileListBox1->item(0)->text());
  } else {
    Edit1->clear();
  }
}

void TForm27::Button4Click() {
  // The mail program's automation has no counterpart here: the new mail
  // opens through the link as with "Küldés2", and the user attaches the file.
  if (Edit1->text().isEmpty()) {
    platform::showMessage(QStringLiteral("Nincs kiválasztva! "));
    return;
  }
  Button6Click();
}

void TForm27::Button6Click() {
  platform::Launcher &l = platform::launcher();
  if (!l.hasHandler(QStringLiteral("mailto")) || !l.open(SupportMailLink()))
    platform::showMessage(kNoMailProgram + kSupportAddress);
}

void TForm27::Button7Click() {
  Edit1->selectAll();
  QApplication::clipboard()->setText(Edit1->text());
}

void TForm27::Button5Click() { reject(); }

#include "designer/FR_Newrp.h"

#include "designer/FR_GEdit.h"
#include "platform/error_text.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Report.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

using report::frLoadStr;
using report::frNamed;
using report::TfrPicture;

QString frTemplateDir;

QString frTemplateFolder() {
  return frTemplateDir.isEmpty() ? QDir::currentPath() : platform::mapWindowsPath(frTemplateDir);
}

TfrTemplForm::TfrTemplForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frTemplForm"));
  setWindowTitle(frLoadStr(53310));
  LB1 = frNamed(new QListWidget(this), "LB1");
  LB1->setMinimumSize(180, 200);
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53311), this), "GroupBox1");
  Memo1 = frNamed(new QPlainTextEdit(GroupBox1), "Memo1");
  Memo1->setReadOnly(true);
  Memo1->setMinimumSize(240, 100);
  Image1 = frNamed(new TfrPictureBox(this, TfrPictureBox::Fitted), "Image1");
  Image1->setFixedSize(96, 96);
  Button1 = frNamed(new QPushButton(frLoadStr(55000), this), "Button1");
  Button2 = frNamed(new QPushButton(frLoadStr(55001), this), "Button2");
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // Selection, not the current row: the list makes its first row current
  // when it takes the focus, which chooses nothing.
  connect(LB1, &QListWidget::itemSelectionChanged, this, [this] { selected(); });
  connect(LB1, &QListWidget::itemDoubleClicked, this, [this] {
    if (Button1->isEnabled()) accept();
  });

  auto *desc = new QVBoxLayout(GroupBox1);
  desc->addWidget(Memo1);
  auto *right = new QVBoxLayout;
  right->addWidget(GroupBox1, 1);
  right->addWidget(Image1, 0, Qt::AlignHCenter);
  auto *top = new QHBoxLayout;
  top->addWidget(LB1, 1);
  top->addLayout(right, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(top, 1);
  lay->addLayout(buttons);
}

QString TfrTemplForm::FileName() const {
  const QList<QListWidgetItem *> sel = LB1->selectedItems();
  if (sel.isEmpty() || !Button1->isEnabled()) return QString();
  return sel.first()->data(Qt::UserRole).toString();
}

void TfrTemplForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  fill();
}

void TfrTemplForm::fill() {
  const QSignalBlocker block(LB1);
  LB1->clear();
  // Files only (a folder named like a template is no template), matched
  // without regard to case; listed by name without the last extension.
  const QDir dir(frTemplateFolder());
  const QFileInfoList files =
      dir.entryInfoList({QStringLiteral("*.frt")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo &fi : files) {
    auto *item = new QListWidgetItem(fi.completeBaseName(), LB1);
    item->setData(Qt::UserRole, fi.filePath());
  }
  Memo1->clear();
  Image1->Clear();
  Button1->setEnabled(false);
}

void TfrTemplForm::selected() {
  Memo1->clear();
  Image1->Clear();
  Button1->setEnabled(false);
  const QList<QListWidgetItem *> sel = LB1->selectedItems();
  if (sel.isEmpty()) return;
  // Only the header: the description and the picture, not the pages.
  QStringList description;
  TfrPicture picture;
  try {
    report::TfrReport reader;
    reader.LoadTemplate(sel.first()->data(Qt::UserRole).toString(), &description, &picture, false);
  } catch (const std::exception &e) {
    // A template that cannot be read cannot be chosen.
    if (report::frErrorBox) report::frErrorBox(platform::exceptionText(e));
    return;
  }
  Memo1->setPlainText(description.join(QLatin1Char('\n')));
  Image1->SetPicture(picture);
  Button1->setEnabled(true);
}

}  // namespace designer

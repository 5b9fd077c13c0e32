#include "designer/FR_Templ.h"

#include "designer/FR_Desgn.h"
#include "designer/FR_GEdit.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

using report::frLoadStr;
using report::frNamed;

TfrTemplNewForm::TfrTemplNewForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frTemplNewForm"));
  setWindowTitle(frLoadStr(53320));
  Label1 = frNamed(new QLabel(frLoadStr(53321), this), "Label1");
  Memo1 = frNamed(new QPlainTextEdit(this), "Memo1");
  Memo1->setTabChangesFocus(true);
  Memo1->setMinimumSize(280, 120);
  Label1->setBuddy(Memo1);
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53322), this), "GroupBox1");
  Image1 = frNamed(new TfrPictureBox(GroupBox1, TfrPictureBox::Fitted), "Image1");
  Image1->setFixedSize(72, 72);
  Button1 = frNamed(new QPushButton(frLoadStr(53323), GroupBox1), "Button1");
  Button2 = frNamed(new QPushButton(frLoadStr(55000), this), "Button2");
  Button3 = frNamed(new QPushButton(frLoadStr(55001), this), "Button3");
  Button2->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { loadIcon(); });
  connect(Button2, &QPushButton::clicked, this, [this] { confirm(); });
  connect(Button3, &QPushButton::clicked, this, &QDialog::reject);

  auto *icon = new QVBoxLayout(GroupBox1);
  icon->addWidget(Image1, 0, Qt::AlignHCenter);
  icon->addWidget(Button1);
  icon->addStretch();
  auto *comment = new QVBoxLayout;
  comment->addWidget(Label1);
  comment->addWidget(Memo1, 1);
  auto *top = new QHBoxLayout;
  top->addLayout(comment, 1);
  top->addWidget(GroupBox1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(top, 1);
  lay->addLayout(buttons);
}

QStringList TfrTemplNewForm::Description() const {
  const QString text = Memo1->toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TfrTemplNewForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  Memo1->clear();
  Image1->Clear();
  Memo1->setFocus();
}

void TfrTemplNewForm::confirm() {
  // The template file keeps the comment as Windows-1250 text: anything else is
  // refused here, with the comment kept for mending.
  if (!frStorableText(Memo1->toPlainText())) {
    if (report::frErrorBox)
      report::frErrorBox(
          QStringLiteral("A template file keeps Windows-1250 characters only, and the comment "
                         "holds others. Change them and press OK again."));
    Memo1->setFocus();
    return;
  }
  accept();
}

void TfrTemplNewForm::loadIcon() {
  // The template keeps a bitmap: other kinds are refused.
  Image1->LoadFromFileDialog(frLoadStr(55216) + QStringLiteral(" (*.bmp)|*.bmp"), true);
}

}  // namespace designer

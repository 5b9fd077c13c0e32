#include "designer/FR_About.h"

#include "report/core/FR_Utils.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

using namespace report;

TfrAboutForm::TfrAboutForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frAboutForm"));
  setWindowTitle(QString(frLoadStr(53185)).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
  Image1 = frNamed(new QLabel(this), "Image1");
  Image1->setPixmap(frGlyphPixmap(QStringLiteral("pageoptions")).scaled(48, 48));
  Label1 = frNamed(new QLabel(QStringLiteral("Quorvane Reports"), this), "Label1");
  QFont big = Label1->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  Label1->setFont(big);
  Label2 = frNamed(new QLabel(QStringLiteral("Report engine and report designer"), this), "Label2");
  Label3 =
      frNamed(new QLabel(QStringLiteral("Layout format version %1").arg(frCurrentVersion), this), "Label3");
  Button1 = frNamed(new QPushButton(frLoadStr(55000), this), "Button1");
  Button1->setDefault(true);
  auto *texts = new QVBoxLayout;
  texts->addWidget(Label1);
  texts->addWidget(Label2);
  texts->addWidget(Label3);
  auto *top = new QHBoxLayout;
  top->addWidget(Image1, 0, Qt::AlignTop);
  top->addLayout(texts);
  QHBoxLayout *buttons = frButtonRow({Button1});
  auto *lay = new QVBoxLayout(this);
  lay->setSizeConstraint(QLayout::SetFixedSize);
  lay->addLayout(top);
  lay->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAbout(QWidget *parent) {
  TfrAboutForm dlg(parent);
  dlg.exec();
}

}  // namespace designer

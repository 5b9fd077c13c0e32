#include "app/contract/Unit33.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MenuCommands.h"
#include "app/PrintLayout.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/Widgets.h"
#include "app/producers/Unit4.h"
#include "app/common/Guarded.h"
#include "db/dataset.h"
#include "report/expr/FR_Intrp.h"

TForm33 *Form33 = nullptr;

using report::frVariables;

VORIK_MENU_COMMAND(Szerzds1, TForm33, Form33)

const char *const TForm33::kVariables[10] = {"v_szam", "v_hrsz",    "v_ter", "v_helyre", "v_pal",
                                             "v_szmenny", "v_femz", "v_tel", "v_ev",     "v_that"};

TForm33::TForm33(QWidget *parent) : QDialog(parent) {
  using Widgets::makeLabel;
  setObjectName(QStringLiteral("Form33"));
  setWindowTitle(QStringLiteral("Szerzödés nyomtatás"));
  setModal(true);

  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Őstermelő"));
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Nyomtatás"));
  Button3 = Widgets::makeButton(this, "Button3", QStringLiteral("Mégsem"));
  Edit11 = Widgets::makeEdit(this, "Edit11");
  Edit11->setReadOnly(true);
  Edit11->setVisible(false);
  Label11 = makeLabel(this, "Label11", QString());
  Label12 = makeLabel(this, "Label12", QString());
  Label13 = makeLabel(this, "Label13", QString());
  Label14 = makeLabel(this, "Label14", QString());

  auto *producer = new QGridLayout;
  producer->addWidget(Button1, 0, 0);
  producer->addWidget(makeLabel(this, "Label15", QStringLiteral("Őstermelő adatai:")), 0, 1);
  producer->addWidget(Label11, 0, 2, 1, 2);
  producer->addWidget(Label12, 1, 1);
  producer->addWidget(Label13, 1, 2);
  producer->addWidget(Label14, 1, 3);
  producer->setColumnStretch(3, 1);

  struct Field {
    const char *label, *unit;
    int width;
  };
  const Field fields[10] = {{"Sorszám:", "", 12},
                            {"Terület hrsz", "", 30},
                            {"Terület nagysága", "", 12},
                            {"Helyrevetett", "Ha", 10},
                            {"Palántázott", "Ha", 10},
                            {"Szerződött mennyiség ", "t", 10},
                            {"Fémzárolt vetőmag", "kg", 10},
                            {"Telefon", "", 16},
                            {"Év", "", 6},
                            {"Teljesítési hat.idö", "", 12}};
  auto *grid = new QGridLayout;
  for (int i = 0; i < 10; ++i) {
    const QByteArray name = "Edit" + QByteArray::number(i + 1);
    Edit[i] = Widgets::makeEdit(this, name.constData());
    Edit[i]->setWidthChars(fields[i].width);
    grid->addWidget(makeLabel(this, ("Label" + QByteArray::number(i + 1)).constData(),
                              QString::fromUtf8(fields[i].label)),
                    i, 0);
    grid->addWidget(Edit[i], i, 1);
    if (*fields[i].unit)
      grid->addWidget(makeLabel(this, ("Unit" + QByteArray::number(i + 1)).constData(),
                                QString::fromUtf8(fields[i].unit)),
                      i, 2);
  }
  grid->setColumnStretch(3, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  auto *top = new QVBoxLayout(this);
  top->addLayout(producer);
  top->addLayout(grid);
  top->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button2Click(); }); });
  connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
  FieldKeys::ignoreEscape(this);
}

void TForm33::Button1Click() {
  if (TForm4::Pick()) ProducerChosen();
}

void TForm33::ProducerChosen() {
  db::Query &p = *Data->ZQ30;
  if (!p.active() || p.isEmpty()) return;
  auto text = [&p](const char *field) { return p.fieldByName(QLatin1String(field)).asString(); };
  Edit11->setText(text("O_KOD"));
  Label11->setText(text("O_NEV"));
  Label12->setText(text("O_IRSZAM"));
  Label13->setText(text("O_HELYSEGNEV"));
  Label14->setText(text("O_UTCA"));
}

void TForm33::Button2Click() {
  const QString code = Edit11->text();
  if (code.isEmpty()) return;
  // The layout reads the producer from ZQ30's current row: the chosen one,
  // also when the list was read again meanwhile.
  db::Query &producers = *Data->ZQ30;
  if (!producers.active() || !producers.locate(QStringLiteral("O_KOD"), code, {})) {
    OpenProducerList();
    producers.locate(QStringLiteral("O_KOD"), code, {});
  }
  if (!OpenReceiverRow()) return;  // the receiver's side of the contract
  frVariables->SetVariable(QStringLiteral("v_ostermeloutca"), TData::streetOf(producers, QStringLiteral("O_")));
  for (int i = 0; i < 10; ++i) frVariables->SetVariable(QLatin1String(kVariables[i]), Edit[i]->text());
  ShowLayout(*Data->frNyomtat, QStringLiteral("QzSzerzodes.frf"), QStringLiteral("Termeltetési szerződés"), PrintOrientation::Portrait);
}

#include "app/upgrades/Unit36.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/Widgets.h"
#include "app/receivers/Checks.h"
#include "app/common/Guarded.h"
#include "db/dataset.h"
#include "platform/dialogs.h"

TForm36 *Form36 = nullptr;

VORIK_MENU_COMMAND(Ostermeloegyesites1, TForm36, Form36)

TForm36::TForm36(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form36"));
  setWindowTitle(QStringLiteral("Form36"));
  setModal(true);
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Button1"));
  auto *top = new QVBoxLayout(this);
  top->addWidget(Button1);
  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(); }); });
}

void TForm36::Button1Click() {
  // Every mark or none: one transaction, one commit.
  const bool done = Data->Write(QStringLiteral("Hiba361: UPDATE az östermelöben!"), [](WriteSteps &) {
    db::Query &list = *Data->ZQ30;
    list.setSql({QStringLiteral("SELECT *  "), QStringLiteral("  FROM ostermelo     "),
                 QStringLiteral("         ORDER BY o_Adoazon, o_kod    ")});
    list.open();
    // An empty number (blank or none) equals another empty one.
    std::vector<qint64> repeated;
    QString previous;
    bool first = true;
    for (list.first(); !list.eof(); list.next()) {
      const QString number = checks::trimText(list.fieldByName(QStringLiteral("O_ADOAZON")).asString());
      if (!first && number == previous)
        repeated.push_back(list.fieldByName(QStringLiteral("ID_OSTERMELO")).asInteger());
      previous = number;
      first = false;
    }
    db::Query &mark = *Data->ZQ31;
    mark.setSql({QStringLiteral("UPDATE ostermelo            "), QStringLiteral("  SET o_szja   = :p1  "),
                 QStringLiteral("  WHERE ID_ostermelo = :p0 ")});
    for (qint64 id : repeated) {
      mark.paramByName(QStringLiteral("p1")).setInteger(1);
      mark.paramByName(QStringLiteral("p0")).setInteger(id);
      mark.execute();
    }
  });
  if (done) platform::showMessage(QStringLiteral("Vége."));
}

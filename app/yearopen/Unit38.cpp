#include "app/yearopen/Unit38.h"

#include "app/common/Widgets.h"
#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/options/IniOptions.h"
#include "app/receivers/Checks.h"
#include "app/common/Guarded.h"
#include "db/dataset.h"
#include "platform/dialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TForm38 *Form38 = nullptr;

VORIK_MENU_COMMAND(vnyits1, TForm38, Form38)

namespace {

// "SELECT ... count(...)" over one receiver: true when the count is at least 1.
bool receiverHasRows(const QStringList &lines, const char *countColumn) {
  db::Query &c = *Data->ZQ11;
  c.setSql(lines);
  c.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
  c.open();
  return !c.isEmpty() && c.fieldByName(QLatin1String(countColumn)).asInteger() >= 1;
}

}  // namespace

TForm38::TForm38(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form38"));
  setWindowTitle(QStringLiteral("Évnyitás"));
  setModal(true);

  auto label = [this](const QString &name, const QString &text) {
    auto *l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  auto edit = [this](const QString &name, bool readOnly) {
    LimitedEdit *e = Widgets::makeEdit(this, name.toLatin1().constData());
    e->setWidthChars(8);  // serials and option values
    e->setReadOnly(readOnly);
    return e;
  };
  auto button = [this](const QString &name, const QString &text) {
    auto *b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));

  auto *tab1 = new QWidget;
  tab1->setObjectName(QStringLiteral("TabSheet1"));
  DBEdit11 = edit(QStringLiteral("DBEdit11"), true);
  Edit2 = edit(QStringLiteral("Edit2"), false);
  FieldKeys::acceptOnly(Edit2);  // digits, typed or pasted
  Edit2->installEventFilter(this);
  Button4 = button(QStringLiteral("Button4"), QStringLiteral("Letárol"));
  Button3 = button(QStringLiteral("Button3"), QStringLiteral("Bezárás"));
  auto *g1 = new QGridLayout(tab1);
  g1->addWidget(label(QStringLiteral("Label1"),
                      QStringLiteral("Bizonylat sorszám beállítása pl.: 20250000 vagy 25000000")),
                0, 0, 1, 2);
  g1->addWidget(label(QStringLiteral("Label2"), QStringLiteral("Jelenlegi sorszam:")), 1, 0);
  g1->addWidget(DBEdit11, 1, 1);
  g1->addWidget(label(QStringLiteral("Label3"), QStringLiteral("Új sorszam:")), 2, 0);
  g1->addWidget(Edit2, 2, 1);
  g1->addWidget(label(QStringLiteral("Label4"), QStringLiteral("Nyolc  hosszú legyen a  számsor")),
                3, 0, 1, 2);
  g1->addWidget(label(QStringLiteral("Label5"), QStringLiteral("Csak számot tartalmazhat.")), 4, 0,
                1, 2);
  g1->addWidget(label(QStringLiteral("Label6"),
                      QStringLiteral("Több átvevő  esetén a bizonylatszám eltérő legyen.")),
                5, 0, 1, 2);
  g1->addWidget(label(QStringLiteral("Label7"),
                      QStringLiteral("Egy átvevő több gépen esetén is eltérő legyen a sorszám.")),
                6, 0, 1, 2);
  g1->addWidget(
      label(QStringLiteral("Label8"),
            QStringLiteral(
                "Az utolsó (8. karakter) nulla akkor a kezdő bizonylatszám 1-es lesz. ")),
      7, 0, 1, 2);
  g1->addWidget(label(QStringLiteral("Label9"),
                      QStringLiteral("Figyelmeztetés: Nullával nem kezdödhet!")),
                8, 0, 1, 2);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button4);
  buttons->addStretch();
  buttons->addWidget(Button3);
  g1->addLayout(buttons, 9, 0, 1, 2);
  PageControl1->addTab(tab1, QStringLiteral("Biz.sorszám"));

  auto *tab2 = new QWidget;
  tab2->setObjectName(QStringLiteral("TabSheet2"));
  Edit1 = edit(QStringLiteral("Edit1"), true);
  Edit3 = edit(QStringLiteral("Edit3"), true);
  Edit4 = edit(QStringLiteral("Edit4"), true);
  Edit5 = edit(QStringLiteral("Edit5"), true);
  Edit6 = edit(QStringLiteral("Edit6"), true);
  Edit7 = edit(QStringLiteral("Edit7"), true);
  Edit9 = edit(QStringLiteral("Edit9"), true);
  Edit8 = edit(QStringLiteral("Edit8"), true);
  auto *g2 = new QGridLayout(tab2);
  g2->addWidget(label(QStringLiteral("Label10"), QStringLiteral("Látható=1")), 0, 1);
  g2->addWidget(label(QStringLiteral("Label11"), QStringLiteral("Nem látható=0")), 1, 1);
  g2->addWidget(label(QStringLiteral("Label12"), QStringLiteral("Értéke vagy nulla")), 1, 2);
  g2->addWidget(label(QStringLiteral("Label13"), QStringLiteral("Súly százalék levonás százalék")),
                2, 0);
  g2->addWidget(Edit1, 2, 1);
  g2->addWidget(Edit3, 2, 2);
  g2->addWidget(label(QStringLiteral("Label14"), QStringLiteral("Tagi hozzájárulás százalék")), 3,
                0);
  g2->addWidget(Edit4, 3, 1);
  g2->addWidget(Edit5, 3, 2);
  g2->addWidget(label(QStringLiteral("Label15"), QStringLiteral("Levonás Ft-ban")), 4, 0);
  g2->addWidget(Edit6, 4, 1);
  g2->addWidget(Edit7, 4, 2);
  g2->addWidget(label(QStringLiteral("Label16"), QStringLiteral("Bizonylat")), 5, 0);
  g2->addWidget(Edit9, 5, 1);
  g2->addWidget(label(QStringLiteral("Label17"), QStringLiteral("Kompenzáció százalék (7/12%)")),
                6, 0);
  g2->addWidget(Edit8, 6, 2);
  Label19 = label(QStringLiteral("Label19"),
                  QStringLiteral("A beállítások a program melletti form9.ini és form10.ini "
                                 "fájlokban módosíthatók; kérdés esetén keresse a program "
                                 "forgalmazóját."));
  Label19->setWordWrap(true);
  g2->addWidget(Label19, 7, 0, 1, 3);
  PageControl1->addTab(tab2, QStringLiteral("Beállítás"));

  auto *top = new QVBoxLayout(this);
  top->addWidget(PageControl1);

  connect(Button4, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button4Click(); }); });
  connect(Button3, &QPushButton::clicked, this, &QDialog::close);

  // Hidden until storing is allowed.
  Edit2->setVisible(false);
  Button4->setVisible(false);
  Edit2->setFocus();
  FormCreate();
}

void TForm38::FormCreate() {
  ReadForm9Options();
  ReadForm10Options();
}

void TForm38::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm38::FormShow() {
  const bool hasTicket = receiverHasRows(
      {QStringLiteral("SELECT  f_akod, count(f_akod) AS sdb "), QStringLiteral("  FROM Qzfej         "),
       QStringLiteral("  WHERE f_akod = :p1 "), QStringLiteral("  GROUP BY f_akod    ")},
      "SDB");
  db::Query &s = *Data->ZQ50;
  if (hasTicket) {
    Button4->setVisible(false);
    Edit2->setVisible(false);
    platform::showMessage(QStringLiteral("Már készült felvásárlási jegy! Nem módositható."));
  } else {
    s.setSql({QStringLiteral("SELECT  a_qzbszam "), QStringLiteral("  FROM Sorszam         "),
              QStringLiteral("  WHERE a_akod = :p1 ")});
    s.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
    s.open();
    Button4->setVisible(true);
    Edit2->setVisible(true);
  }
  // The current serial as ZQ50 holds it (not reloaded when storing is barred).
  DBEdit11->setText(s.active() && !s.isEmpty() && s.findField(QStringLiteral("A_QZBSZAM"))
                        ? s.fieldByName(QStringLiteral("A_QZBSZAM")).asString()
                        : QString());

  Edit1->setText(Edit14Option);
  Edit3->setText(Edit14Default);
  Edit4->setText(Edit15Option);
  Edit5->setText(Edit15Default);
  Edit6->setText(Edit13Option);
  Edit7->setText(Edit13Default);
  Edit9->setText(Edit10Option);
  Edit8->setText(Edit8Default);
}

void TForm38::Button4Click() {
  auto refuse = [this](const QString &text) {
    platform::showMessage(text);
    Edit2->setFocus();
  };
  const QString text = Edit2->text();
  if (checks::trimText(text).isEmpty()) return refuse(QStringLiteral("Nincs megadva sorszám!"));
  if (text.size() != 8) return refuse(QStringLiteral("Nem 8 hosszú a számsor!"));
  // Only digits reach the field, so the value always converts; a leading
  // zero makes its decimal writing differ.
  bool ok = false;
  const qint64 value = text.toLongLong(&ok);
  if (!ok || QString::number(value) != text)
    return refuse(QStringLiteral("Nullável nem kezdödhet!"));

  const bool hasRow = receiverHasRows(
      {QStringLiteral("SELECT  a_akod, count(a_akod) AS db "), QStringLiteral("   FROM sorszam  "),
       QStringLiteral("   WHERE a_akod = :p1   "), QStringLiteral("   GROUP BY a_akod    ")},
      "DB");
  // Committed at once (retaining), so no later rollback can undo it.
  const QString message = hasRow ? QStringLiteral("Hiba381: Letároláskor az UPDATE Sorszam -ba ")
                                 : QStringLiteral("Hiba382: Letároláskor az INSERT Sorszam -ba ");
  const bool stored = Data->Write(
      message,
      [&](WriteSteps &) {
        db::Query &s = *Data->ZQ50;
        if (hasRow) {
          s.setSql({QStringLiteral("UPDATE Sorszam          "), QStringLiteral("    SET a_QzBszam = :p1 "),
                    QStringLiteral("   WHERE a_akod = :p2   ")});
        } else {
          s.setSql({QStringLiteral("INSERT INTO sorszam ( a_QzBszam, a_akod ) "),
                    QStringLiteral("       VALUES       (       :p1,    :p2 ) ")});
        }
        s.paramByName(QStringLiteral("p1")).setString(text);
        s.paramByName(QStringLiteral("p2")).setString(AtvevoKod);
        s.execute();
      },
      TData::CommitMode::CommitRetaining);
  if (!stored) return;  // the dialog stays open with the input
  close();
}

bool TForm38::eventFilter(QObject *watched, QEvent *event) {
  // Enter in the new-serial field does nothing (the validator drops every
  // other non-digit, typed or pasted).
  if (watched == Edit2 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QDialog::eventFilter(watched, event);
}

#include "exchange/imports/Unit25.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Widgets.h"
#include "exchange/imports/ImportWriter.h"
#include "exchange/imports/TextImport.h"
#include "platform/dialogs.h"
#include "platform/win_path.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

TForm25 *Form25 = nullptr;

VORIK_MENU_COMMAND(Rgiblexport1, TForm25, Form25)

namespace {

QStringList Columns(std::initializer_list<const char *> names) {
  QStringList l;
  for (const char *n : names) l << QLatin1String(n);
  return l;
}

}  // namespace

QString OldProducerInsertSql() {
  return imports::InsertSql(
      QStringLiteral("ostermelo"),
      Columns({"o_kod", "o_Nev", "o_Irszam", "o_Helysegnev", "o_Utca", "o_Adoazon", "o_Igszam", "o_Regszam", "o_Szja",
               "o_Szulhely", "o_Szido", "o_Anyja", "o_Muvktg", "o_Csgazd", "o_Neme", "o_Szulnev", "o_TAJ",
               "o_Adoszam", "o_Bankszla", "o_aKod"}));
}

QString OldProductInsertSql() {
  return imports::InsertSql(
      QStringLiteral("termek"),
      Columns({"t_kod", "t_Megnevezes", "t_vtsz", "t_ear", "t_megy", "t_Kompmerteke", "t_akod"}));
}

QString OldReceiverInsertSql() {
  return imports::InsertSql(QStringLiteral("atvevo"),
                            Columns({"v_akod", "v_neve", "v_helyseg", "v_utca", "v_irszam", "v_adoszam"}));
}

TForm25::TForm25(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form25"));
  setWindowTitle(QStringLiteral("Régiből import"));
  setModal(true);

  Label1 = Widgets::makeLabel(this, "Label1",
                              QStringLiteral("A régi verzióból átemeli a  termék, östermelö és vevö adatait"));
  Label2 = Widgets::makeLabel(this, "Label2", QStringLiteral("Könyvtár :"));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setText(QStringLiteral("c:\\qz2025\\"));
  Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(QStringLiteral("c:\\qz2025\\regi_verzio\\export\\")) +
                         24);
  GroupBox1 = new QGroupBox(QStringLiteral("Melyik?"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  CheckBox1 = new QCheckBox(QStringLiteral("Östermelő"), GroupBox1);
  CheckBox2 = new QCheckBox(QStringLiteral("Termék"), GroupBox1);
  CheckBox3 = new QCheckBox(QStringLiteral("Átvevő"), GroupBox1);
  const char *names[] = {"CheckBox1", "CheckBox2", "CheckBox3"};
  int n = 0;
  auto *boxes = new QVBoxLayout(GroupBox1);
  for (QCheckBox *c : {CheckBox1, CheckBox2, CheckBox3}) {
    c->setObjectName(QLatin1String(names[n++]));
    c->setChecked(true);
    boxes->addWidget(c);
  }
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setReadOnly(true);
  Button1 = MakeListButton(this, "Button1", "Import", &TForm25::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Button2", &TForm25::Button2Click);
  Button2->hide();
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TForm25::Button3Click);

  auto *folder = new QHBoxLayout;
  folder->addWidget(Label2);
  folder->addWidget(Edit1, 1);
  auto *middle = new QHBoxLayout;
  middle->addWidget(GroupBox1, 0, Qt::AlignTop);
  middle->addWidget(Memo1, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  auto *top = new QVBoxLayout(this);
  top->addWidget(Label1);
  top->addLayout(folder);
  top->addLayout(middle, 1);
  top->addLayout(buttons);
  resize(640, 420);
}

TForm25::~TForm25() = default;

bool TForm25::Load(const QString &name, QStringList &lines) {
  Memo1->clear();
  // The file name follows the folder text directly, as typed.
  const QString path = Edit1->text() + name;
  try {
    lines = imports::ReadLines(platform::mapWindowsPath(path));
  } catch (const imports::FileError &e) {
    platform::error(e.message());
    return false;
  }
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
  return true;
}

void TForm25::Button1Click() {
  QStringList lines;
  // Producers and products: the file's lines added in one transaction; false
  // when the file or the transaction failed, which ends the import.
  auto add = [&](QCheckBox *ticked, const QString &file, db::Query *q, const QString &sql, const QString &failed,
                 const QString &lineFailed, const imports::Parser &parse, const QString &done,
                 const imports::InsertOptions &options) {
    if (!ticked->isChecked()) return true;
    if (!Load(file, lines)) return false;
    q->setSql(sql);
    // A failure of the database itself names its cause after the line's message.
    if (!Data->Write(failed, [&](WriteSteps &steps) {
          imports::InsertOptions o = options;
          o.steps = &steps;
          imports::InsertLines(q, lines, parse, lineFailed, o);
        }))
      return false;
    platform::showMessage(done);
    return true;
  };
  imports::InsertOptions producerCodes;
  producerCodes.takenCodesSql = QStringLiteral("SELECT o_kod FROM ostermelo");
  if (!add(CheckBox1, QStringLiteral("exposterm.txt"), Data->ZQ30, OldProducerInsertSql(), QStringLiteral("Hiba252!"),
           QStringLiteral("Hiba251: Újban, INSERT az östermelöben "),
           [](const QString &l, int) { return imports::OldProducer(l); },
           QStringLiteral("A régi östermelö adatok átemelve"), producerCodes))
    return;
  if (!add(CheckBox2, QStringLiteral("exptermek.txt"), Data->ZQ40, OldProductInsertSql(), QStringLiteral("Hiba254!"),
           QStringLiteral("Hiba253: Újban, INSERT a termékben "),
           [](const QString &l, int) { return imports::OldProduct(l); },
           QStringLiteral("A régi termék adatok átemelve"), imports::InsertOptions()))
    return;
  if (CheckBox3->isChecked()) {
    if (!Load(QStringLiteral("expatvevo.txt"), lines)) return;
    db::Query *q = Data->ZQ60;
    // The old receivers go and the new ones come in one transaction: when the
    // emptying fails nothing is inserted beside the old rows, and when the
    // whole cannot be committed the old receivers stay.
    // A file with no receiver to insert would only empty the table: it is
    // refused, and the old receivers stay.
    const QString none = QStringLiteral("Hiba! Az \"expatvevo.txt\" fájlban nincs átvehető átvevő, "
                                        "az átvevők nem változtak.");
    const bool done = Data->Write(QStringLiteral("Hiba255: törlés az átvevőben "), [&](WriteSteps &steps) {
      q->setSql(QStringLiteral("DELETE FROM atvevo "));
      q->execute();
      q->setSql(OldReceiverInsertSql());
      imports::InsertOptions o;
      o.steps = &steps;
      const imports::InsertResult r = imports::InsertLines(
          q, lines, [](const QString &l, int number) { return imports::OldReceiver(l, number); },
          QStringLiteral("Hiba257: Újban, INSERT az átvevöben "), o);
      if (r.inserted == 0) {
        steps.at(none);
        throw std::runtime_error("no receiver in expatvevo.txt");
      }
    });
    if (done) platform::showMessage(QStringLiteral("A régi átvevö adatok átemelve"));
  }
  accept();
}

void TForm25::Button2Click() {}

void TForm25::Button3Click() { reject(); }

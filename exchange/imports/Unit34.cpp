#include "exchange/imports/Unit34.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "db/datasetmodel.h"
#include "exchange/imports/ImportWriter.h"
#include "exchange/imports/TextImport.h"
#include "exchange/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/file_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TForm34 *Form34 = nullptr;

VORIK_MENU_COMMAND(Importexcelblcsv1, TForm34, Form34)

QString CsvInsertSql() {
  return imports::InsertSql(
      QStringLiteral("ostermelo"),
      {QStringLiteral("o_kod"), QStringLiteral("o_Nev"), QStringLiteral("o_Irszam"), QStringLiteral("o_Helysegnev"),
       QStringLiteral("o_Utca"), QStringLiteral("o_Adoazon"), QStringLiteral("o_Igszam"), QStringLiteral("o_Regszam"),
       QStringLiteral("o_Szja"), QStringLiteral("o_Szulhely"), QStringLiteral("o_Szido"), QStringLiteral("o_Anyja"),
       QStringLiteral("o_Csgazd"), QStringLiteral("o_Neme"), QStringLiteral("o_Szulnev"), QStringLiteral("o_TAJ"),
       QStringLiteral("o_Adoszam"), QStringLiteral("o_Bankszla")});
}

TForm34::TForm34(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form34"));
  setWindowTitle(QStringLiteral("Import excel (csv) -böl"));
  setModal(true);

  Label1 = Widgets::makeLabel(this, "Label1", QStringLiteral("0"));
  Label2 = Widgets::makeLabel(this, "Label2", QStringLiteral("0"));
  Label3 = Widgets::makeLabel(this, "Label3", QStringLiteral("Excelből készített \"csv\" -s file -t kell megadni"));
  Label4 = Widgets::makeLabel(this, "Label4", QStringLiteral("Feldolgozás vége üzenet ablakig kell várni."));
  Label5 = Widgets::makeLabel(this, "Label5",
                              QStringLiteral("Excelben a mező szélességet a leghosszabb mezőszélessségre beállítani."));
  Label6 = Widgets::makeLabel(this, "Label6",
                              QStringLiteral("Excelben a szül.dat -ot \"dátum\" mezőre á a többi \"szöveg\" mező"));
  // Starts empty: a cancelled "Megnyitás" leaves nothing to import.
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setReadOnly(true);
  CheckListBox1 = new QListWidget(this);
  CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
  CheckListBox1->setUniformItemSizes(true);
  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DSQ30);
  DBGrid2 = MakeListGrid(this, model_);
  DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
  Button11 = MakeListButton(this, "Button11", "Megnyitás", &TForm34::Button11Click);
  Button3 = MakeListButton(this, "Button3", "Feldolgozás", &TForm34::Button3Click);
  Button1 = MakeListButton(this, "Button1", "Dupla DEL", &TForm34::Button1Click);
  Button10 = MakeListButton(this, "Button10", "Mégsem", &TForm34::Button10Click);
  OpenDialog1 = platform::makeFileDialog(this, "OpenDialog1", platform::FileDialogKind::Open, QString(),
                                         QStringLiteral("*.csv|*.csv|*.*|*"), QStringLiteral("csv"));

  auto *texts = new QHBoxLayout;
  texts->addWidget(Memo1, 1);
  texts->addWidget(CheckListBox1, 1);
  auto *progress = new QHBoxLayout;
  progress->addWidget(Label1);
  progress->addSpacing(24);
  progress->addWidget(Label2);
  progress->addStretch(1);
  auto *buttons = new QHBoxLayout;
  for (QPushButton *b : {Button11, Button3, Button1}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Button10);
  auto *top = new QVBoxLayout(this);
  for (QLabel *l : {Label3, Label4, Label5, Label6}) top->addWidget(l);
  top->addLayout(texts, 1);
  top->addLayout(progress);
  top->addWidget(DBGrid2, 1);
  top->addLayout(buttons);
  resize(std::max(760, sizeHint().width()), 560);
}

TForm34::~TForm34() = default;

bool TForm34::LoadFile(const QString &path) {
  try {
    lines_ = imports::ReadLines(path);
    Memo1->setPlainText(lines_.join(QLatin1Char('\n')));
    return true;
  } catch (const imports::FileError &e) {
    platform::error(e.message());
    return false;
  }
}

void TForm34::Button11Click() {
  const QString chosen = platform::execFileDialog(OpenDialog1);
  if (!chosen.isEmpty()) LoadFile(chosen);
  CheckListBox1->clear();
  // The file's lines as read: the memo's text would break a line also at
  // the characters the memo shows as breaks (U+2028, U+2029, U+FDD0).
  for (const QString &line : lines_) {
    auto *item = new QListWidgetItem(line, CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

void TForm34::Button3Click() {
  QStringList lines;
  lines.reserve(CheckListBox1->count());
  for (int i = 0; i < CheckListBox1->count(); ++i) lines << CheckListBox1->item(i)->text();
  db::Query *q = Data->ZQ30;
  q->setSql(CsvInsertSql());
  const QString message = QStringLiteral("Hiba301: Újban, INSERT az östermelöben ");
  imports::InsertOptions options;
  options.takenCodesSql = QStringLiteral("SELECT o_kod FROM ostermelo");
  options.askAfterFirstRefusal = true;
  options.progress = [this](int i) {
    if (i % 256 == 0) {
      Label1->setText(QString::number(i));
      Label2->setText(QStringLiteral("0"));
    }
  };
  imports::InsertResult result;
  const bool done = Data->Write(message, [&](WriteSteps &steps) {
    options.steps = &steps;
    result = imports::InsertLines(
        q, lines, [](const QString &line, int) { return imports::CsvProducer(line); }, message, options);
  });
  Label1->setText(QString::number(std::max(0, static_cast<int>(lines.size()) - 1)));
  if (done && result.stopped) {
    platform::showMessage(QStringLiteral("A feldolgozás leállt, semmi nem került tárolásra."));
  } else if (done) {
    QString end = QStringLiteral("A lista feldolgozva");
    if (result.refused) end += QStringLiteral("\r%1 hibás sor kimaradt.").arg(result.refused);
    platform::showMessage(end);
  }
  auto reopen = [q] {
    q->setSql(QStringLiteral("select * from ostermelo"));
    q->open();
    q->last();
  };
  if (done) {
    RunGuarded(reopen);
    return;
  }
  // The failed import's box has told the cause; the same cause failing the
  // grid's reading goes to the log only.
  try {
    reopen();
  } catch (const std::exception &) {
    platform::logCaught(lcExchange(), QStringLiteral("reading the producers after a failed import"));
  }
}

void TForm34::Button1Click() {}

void TForm34::Button10Click() { reject(); }

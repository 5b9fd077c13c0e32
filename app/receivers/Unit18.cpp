#include "app/receivers/Unit18.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/common/Guarded.h"
#include "app/receivers/RowText.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "vorik_version.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TForm18 *Form18 = nullptr;

VORIK_MENU_COMMAND(Vlaszts1, TForm18, Form18)

namespace {

// The first character of the layout version, empty when there is none.
QString firstChar(const QString &text) { return text.left(1); }

}  // namespace

TForm18::TForm18(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form18"));
  setWindowTitle(QStringLiteral("Átvevö kiválasztása"));
  setModal(true);

  DBLookupComboBox1 = new QComboBox(this);
  DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
  DBLookupComboBox1->setToolTip(QStringLiteral("Kurzorral léptesse a kiválasztandó átvevőre"));
  DBLookupComboBox1->setMinimumContentsLength(40);
  DBLookupComboBox1->installEventFilter(this);
  // The drop-down lists ZQ60's rows by name; its index is the row.
  DSQ60 = new db::DataSource(this);
  DSQ60->setObjectName(QStringLiteral("DSQ60"));
  auto *names = new db::DataSetModel(this);
  names->setDataSource(DSQ60);
  names->setColumns({{QStringLiteral("V_NEVE"), QString()}});
  DBLookupComboBox1->setModel(names);
  Button2 = new QPushButton(QStringLiteral("Kiválaszt"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setAutoDefault(false);
  Button3 = new QPushButton(QStringLiteral("Mégsem"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setAutoDefault(false);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button3);
  auto *top = new QVBoxLayout(this);
  top->addWidget(DBLookupComboBox1);
  top->addLayout(buttons);
  setTabOrder(DBLookupComboBox1, Button2);
  setTabOrder(Button2, Button3);

  // Picking a row closes the drop-down: the choice applies at once.
  connect(DBLookupComboBox1, &QComboBox::activated, this,
          [this] { RunGuarded([this] { DBLookupComboBox1CloseUp(); }); });
  connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

TForm18::~TForm18() { DBLookupComboBox1->removeEventFilter(this); }

void TForm18::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
  DBLookupComboBox1->setFocus();
}

void TForm18::FormShow() {
  db::Query &q = *Data->ZQ60;
  DSQ60->setDataSet(&q);
  q.setSql({QStringLiteral("SELECT *  "), QStringLiteral("  FROM atvevo     ")});
  // The drop-down lists the names in Hungarian order; the receiver made
  // current at the opening is still the last one stored.
  q.sql().add(QStringLiteral("  ORDER BY v_neve COLLATE HUN_ABC, id_atvevo "));
  q.open();

  int newest = 0;
  qint64 newestId = 0;
  for (q.first(); !q.eof(); q.next()) {
    const qint64 id = q.fieldByName(QStringLiteral("ID_ATVEVO")).asInteger();
    if (newest == 0 || id > newestId) newest = q.recNo(), newestId = id;
  }
  q.last();
  if (newest > 0) q.setRecNo(newest);
  DBLookupComboBox1->setCurrentIndex(q.recNo() - 1);
  AtvevoKod = RowText(q, "V_AKOD");
  AtvevoNyilatk = RowText(q, "V_NYILATK");
  JegyVariant = firstChar(RowText(q, "V_VERZIO"));
}

void TForm18::DBLookupComboBox1CloseUp() {
  db::Query &q = *Data->ZQ60;
  TipusNormal = QStringLiteral("1");
  TipusErvenytelenito = QStringLiteral("4");

  // The chosen row itself (by position, not by name), so that receivers
  // sharing a name or a code prefix stay apart.
  const int index = DBLookupComboBox1->currentIndex();
  QString name;
  if (q.active() && index >= 0 && index < q.recordCount()) {
    q.setRecNo(index + 1);
    AtvevoKod = RowText(q, "V_AKOD");
    AtvevoNyilatk = RowText(q, "V_NYILATK");
    JegyVariant = firstChar(RowText(q, "V_VERZIO"));
    name = RowText(q, "V_NEVE");
  } else {
    AtvevoKod.clear();
    AtvevoNyilatk.clear();
    JegyVariant.clear();
  }

  const QString version = QStringLiteral("Verzió: ") + QString::number(vorik::version::kMajor) +
                          QStringLiteral(".0") + QString::number(vorik::version::kMinor) +
                          QStringLiteral(" 2006-2025");
  const QString caption = QStringLiteral("Felvásárlási jegy - ") + name.left(25) +
                          QLatin1Char(' ') + version;
  setWindowTitle(caption);
  if (Form1) {
    Form1->EnableReceiverMenus();
    Form1->VerzioSzoveg = version;
    Form1->setWindowTitle(caption);
  }
}

void TForm18::done(int result) {
  // However the dialog closes, the row under the drop-down is the choice.
  RunGuarded([this] { DBLookupComboBox1CloseUp(); });
  QDialog::done(result);
}

bool TForm18::eventFilter(QObject *watched, QEvent *event) {
  if (watched == DBLookupComboBox1 && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason && isVisible())
    RunGuarded([this] { DBLookupComboBox1CloseUp(); });
  return QDialog::eventFilter(watched, event);
}

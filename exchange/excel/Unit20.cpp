#include "exchange/excel/Unit20.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "exchange/excel/SheetExport.h"
#include "exchange/excel/WorkbookFile.h"
#include "platform/conv.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/win_path.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TForm20 *Form20 = nullptr;

VORIK_MENU_COMMAND(Adatokexceltblba1, TForm20, Form20)

namespace {

const QString kNotSaved = QStringLiteral("A fájl mentése nem történt meg!");

const QStringList kProducerGridColumns = {"O_NEV",     "O_IRSZAM",  "O_HELYSEGNEV", "O_UTCA",
                                          "O_SZULNEV", "O_SZULHELY", "O_SZIDO",     "O_ANYJA",
                                          "O_NEME",    "O_ADOAZON", "O_ADOSZAM",    "O_TAJ",
                                          "O_IGSZAM",  "O_REGSZAM", "O_CSGAZD",     "O_BANKSZLA"};

QLabel *NamedLabel(QWidget *parent, const char *name, const char *text) {
  auto *l = new QLabel(QString::fromUtf8(text), parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

QCheckBox *ShownBox(QWidget *parent, const char *name) {
  auto *c = new QCheckBox(QStringLiteral(" excel táblát megjelenít"), parent);
  c->setObjectName(QLatin1String(name));
  c->setChecked(true);
  return c;
}

QProgressBar *Progress(QWidget *parent, const char *name) {
  auto *p = new QProgressBar(parent);
  p->setObjectName(QLatin1String(name));
  p->setRange(0, 100);
  p->setValue(0);
  p->setTextVisible(false);
  return p;
}

}  // namespace

excel::SheetSpec TicketLineSheet() {
  using excel::HAlign;
  const HAlign L = HAlign::Left, R = HAlign::Right;
  return {{{12, L}, {12, L}, {12, L}, {10, L}, {45, L}, {15, L}, {45, L}, {15, R},
           {15, L}, {15, R}, {5, R},  {5, R},  {15, L}, {17, L}, {15, L}, {10, L},
           {15, L}, {12, L}, {45, L}, {45, L}, {30, L}, {15, L}, {15, L}, {13, L}},
          39};
}

excel::SheetSpec ProducerSheet() {
  const double widths[] = {45, 4, 45, 45, 45, 45, 20, 45, 3, 15, 15, 15, 10, 15, 12, 30, 15, 13, 9, 20, 20};
  excel::SheetSpec spec;
  for (double w : widths) spec.columns.push_back({w, excel::HAlign::Left});
  spec.boldColumns = 21;
  return spec;
}

QStringList TicketLineSql(bool byPaymentDate) {
  const QString dateColumn = byPaymentDate ? QStringLiteral("f_fizkelt") : QStringLiteral("f_felvkelt");
  return {QStringLiteral("SELECT f_fizkelt, f_felvkelt, f_kelt, f_ostermkod, o_nev,  s_Bszam, s_megnevezes, "
                         "s_netto, s_megy, s_ear, s_kompmerteke, f_szja,  "),
          QStringLiteral("  o_Adoazon, o_Adoszam,  o_TAJ, o_Igszam, o_Regszam, o_Csgazd, o_Helysegnev, o_Utca, "
                         "o_Bankszla, f_muvktg, o_Igszam1, o_Csgazd1 "),
          // The range's headers through the index of their date + 0, which
          // only this statement names, then their lines
          // (a line without a header has no receiver: none is left out),
          // sorted: the order as an expression, so that the engine sorts
          // these few rather than walking the serial index over every header.
          QStringLiteral("  FROM qzfej                              "),
          QStringLiteral("  JOIN qzsor          ON s_bszam     = f_bszam "),
          QStringLiteral("  LEFT JOIN ostermelo ON f_ostermkod = o_kod   "),
          QStringLiteral("  WHERE (%1 + 0 >= :p1 AND %1 + 0 <= :p2) AND (f_akod = :p3) ").arg(dateColumn),
          QStringLiteral("  ORDER BY COALESCE(s_Bszam, s_Bszam) ")};
}

QStringList ProducerSql() {
  return {QStringLiteral("SELECT O_NEV, O_IRSZAM, o_Helysegnev, o_Utca, O_SZULNEV, O_SZULHELY, O_SZIDO, O_ANYJA, "
                         "O_NEME, o_Adoazon, o_Adoszam, o_TAJ, o_Igszam, o_Regszam, o_Csgazd, o_Bankszla, "
                         "o_Igszam1, o_Csgazd1, o_Felir, O_JELLEG, O_HAZSZAM "),
          QStringLiteral("  FROM ostermelo "), QStringLiteral("  ORDER BY o_Nev COLLATE HUN_ABC ")};
}

TForm20::TForm20(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form20"));
  setWindowTitle(QStringLiteral("Excel  táblába"));
  setModal(true);

  ZQ20 = new db::Query(this);
  ZQ20->setObjectName(QStringLiteral("ZQ20"));
  ZQ20->setTransaction(Data->IBTrans1);
  ZQ30 = new db::Query(this);
  ZQ30->setObjectName(QStringLiteral("ZQ30"));
  ZQ30->setTransaction(Data->IBTrans1);
  DSQ20 = new db::DataSource(this);
  DSQ20->setObjectName(QStringLiteral("DSQ20"));
  DSQ20->setDataSet(ZQ20);
  DSQ30 = new db::DataSource(this);
  DSQ30->setObjectName(QStringLiteral("DSQ30"));
  DSQ30->setDataSet(ZQ30);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(TabSheet1, QStringLiteral("Vorik"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Östermelö"));

  // First tab: ticket lines.
  Label1 = NamedLabel(TabSheet1, "Label1", "Felvásárlási jegy exportálása");
  DateTimePicker1 = Widgets::makeDatePicker(TabSheet1, "DateTimePicker1");
  DateTimePicker2 = Widgets::makeDatePicker(TabSheet1, "DateTimePicker2");
  RadioGroup1 = Widgets::makeDateKindGroup(TabSheet1, RadioButton1, RadioButton2);
  CheckBox1 = ShownBox(TabSheet1, "CheckBox1");
  ProgressBar1 = Progress(TabSheet1, "ProgressBar1");
  model20_ = new db::DataSetModel(this);
  model20_->setDataSource(DSQ20);
  model20_->setColumns({{QStringLiteral("S_MEGNEVEZES"), QStringLiteral("Megnevezés")}});
  DBGrid1 = MakeListGrid(TabSheet1, model20_);
  DBGrid1->horizontalHeader()->setStretchLastSection(true);
  DBNavigator1 = MakeNavigator(TabSheet1, ZQ20, QStringLiteral("DBNavigator1"));
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TForm20::Button1Click);
  Button4 = MakeListButton(this, "Button4", "Exportálás ", &TForm20::Button4Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TForm20::Button3Click);
  Button4->setEnabled(false);

  auto *dates = new QHBoxLayout;
  dates->addWidget(NamedLabel(TabSheet1, "Label2", "Dátum: "));
  dates->addWidget(DateTimePicker1);
  dates->addWidget(NamedLabel(TabSheet1, "Label3", "-tól"));
  dates->addSpacing(12);
  dates->addWidget(DateTimePicker2);
  dates->addWidget(NamedLabel(TabSheet1, "Label4", "-ig"));
  dates->addStretch(1);
  auto *options = new QHBoxLayout;
  options->addWidget(RadioGroup1);
  options->addWidget(CheckBox1, 0, Qt::AlignBottom);
  options->addStretch(1);
  auto *buttons1 = new QHBoxLayout;
  buttons1->addWidget(DBNavigator1);
  buttons1->addStretch(1);
  for (QPushButton *b : {Button1, Button4, Button3}) buttons1->addWidget(b);
  auto *tab1 = new QVBoxLayout(TabSheet1);
  tab1->addWidget(Label1);
  tab1->addLayout(dates);
  tab1->addLayout(options);
  tab1->addWidget(ProgressBar1);
  tab1->addWidget(DBGrid1, 1);
  tab1->addLayout(buttons1);

  // Second tab: producers.
  Label8 = NamedLabel(TabSheet2, "Label8", "Östermelö exportálása");
  CheckBox2 = ShownBox(TabSheet2, "CheckBox2");
  ProgressBar2 = Progress(TabSheet2, "ProgressBar2");
  model30_ = new db::DataSetModel(this);
  model30_->setDataSource(DSQ30);
  QList<db::DataSetModel::Column> cols;
  for (const QString &c : kProducerGridColumns) cols.append({c, QString()});
  model30_->setColumns(cols);
  DBGrid2 = MakeListGrid(TabSheet2, model30_);
  DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
  DBNavigator2 = MakeNavigator(TabSheet2, ZQ30, QStringLiteral("DBNavigator2"));
  Button5 = MakeListButton(this, "Button5", "Kigyüjtés", &TForm20::Button5Click);
  Button6 = MakeListButton(this, "Button6", "Exportálás ", &TForm20::Button6Click);
  Button7 = MakeListButton(this, "Button7", "Mégsem", &TForm20::Button7Click);
  Button6->setEnabled(false);
  auto *buttons2 = new QHBoxLayout;
  buttons2->addWidget(DBNavigator2);
  buttons2->addStretch(1);
  for (QPushButton *b : {Button5, Button6, Button7}) buttons2->addWidget(b);
  auto *tab2 = new QVBoxLayout(TabSheet2);
  tab2->addWidget(Label8);
  tab2->addWidget(CheckBox2);
  tab2->addWidget(ProgressBar2);
  tab2->addWidget(DBGrid2, 1);
  tab2->addLayout(buttons2);

  auto *top = new QVBoxLayout(this);
  top->addWidget(PageControl1);

  // A changed input of the gather makes the shown result stale for export.
  auto stale = [this] { Button4->setEnabled(false); };
  connect(DateTimePicker1, &QDateEdit::dateChanged, this, stale);
  connect(DateTimePicker2, &QDateEdit::dateChanged, this, stale);
  connect(RadioButton1, &QRadioButton::toggled, this, stale);
  // A query closed under the dialog (by a commit of the transaction) has no rows to export.
  connect(ZQ20, &db::DataSet::closed, Button4, [this] { Button4->setEnabled(false); });
  connect(ZQ30, &db::DataSet::closed, Button6, [this] { Button6->setEnabled(false); });

  resize(std::max(640, sizeHint().width()), 520);
}

TForm20::~TForm20() = default;

void TForm20::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm20::FormShow() {
  const QString year = platform::DateToStr(QDate::currentDate()).left(4);
  DateTimePicker1->setDate(platform::StrToDate(year + QStringLiteral(".01.01")));
  DateTimePicker2->setDate(platform::StrToDate(year + QStringLiteral(".12.31")));
  Button4->setEnabled(false);
}

void TForm20::Gather(db::Query *query, QPushButton *exportButton, const QStringList &lines, bool ticketParams) {
  exportButton->setEnabled(false);
  query->setSql(lines);
  if (ticketParams) {
    query->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(DateTimePicker1->date(), QTime(0, 0)));
    query->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(DateTimePicker2->date(), QTime(0, 0)));
    query->paramByName(QStringLiteral("p3")).setString(AtvevoKod);
  }
  query->open();
  exportButton->setEnabled(true);
}

void TForm20::Button1Click() { Gather(ZQ20, Button4, TicketLineSql(RadioButton1->isChecked()), true); }

void TForm20::Button5Click() {
  Gather(ZQ30, Button6, ProducerSql(), false);
}

void TForm20::Button4Click() {
  Export(ZQ20, Data->IBTable1, TicketLineSheet(), CheckBox1, ProgressBar1,
         QStringLiteral("A vorik konvertálás befejeződött!"));
}

void TForm20::Button6Click() {
  Export(ZQ30, Data->IBTable3, ProducerSheet(), CheckBox2, ProgressBar2,
         QStringLiteral("AZ östermelö konvertálás befejeződött!"));
}

void TForm20::Button3Click() { reject(); }
void TForm20::Button7Click() { reject(); }

void TForm20::Export(db::Query *query, db::Table *table, const excel::SheetSpec &spec, QCheckBox *shown,
                     QProgressBar *progress, const QString &endText) {
  if (!query->active()) return;
  // The source table's name with ".xls", no folder: the working folder.
  const QString name = table->tableName() + QStringLiteral(".xls");
  const QString path = platform::mapWindowsPath(name);
  QString failure;
  if (QFileInfo::exists(path) &&
      !platform::confirmYesNo(QStringLiteral("A(z) %1 fájl már létezik. Lecseréli?").arg(name))) {
    failure = kNotSaved;
  } else {
    const int rows = query->recordCount();
    progress->setRange(0, std::max(rows, 1));
    progress->setValue(0);
    try {
      excel::ExportDataSet(*query, spec, path, [progress](int done) { progress->setValue(done); });
    } catch (const excel::LimitError &) {
      failure = kNotSaved + QChar(13) +
                QStringLiteral("Egy munkalap legfeljebb %1 sort fogad (fejléc és %2 sor), az eredmény %3 sor.")
                    .arg(excel::kMaxRows)
                    .arg(excel::kMaxRows - 1)
                    .arg(rows);
    } catch (const excel::SaveError &e) {
      failure = kNotSaved + QChar(13) + e.reason();
    }
  }
  const QString saved = QFileInfo(path).absoluteFilePath();
  if (!failure.isEmpty()) {
    // A failure is the last word: no end message follows it.
    platform::showMessage(failure);
    return;
  }
  if (shown->isChecked() && !platform::launcher().open(saved)) {
    // The workbook is there all the same: say where, and that nothing showed it.
    platform::information(QStringLiteral("A munkafüzet elmentve: %1").arg(saved) + QChar(13) +
                          QStringLiteral("Megnyitni nem sikerült."));
  }
  platform::messageBox(platform::MessageKind::Information, endText + QChar(13) + QStringLiteral("Mentve: ") + saved,
                       QMessageBox::Ok, QStringLiteral("Kész!"));
}

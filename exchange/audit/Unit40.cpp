#include "exchange/audit/Unit40.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/LimitedEdit.h"
#include "app/common/Widgets.h"
#include "app/options/IniOptions.h"
#include "app/common/Guarded.h"
#include "db/datasetmodel.h"
#include "exchange/audit/AuditStaging.h"
#include "exchange/audit/AuditXml.h"
#include "platform/dialogs.h"
#include "platform/format_settings.h"
#include "platform/ini_file.h"
#include "platform/whole_file.h"
#include "platform/win_path.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

TForm40 *Form40 = nullptr;

VORIK_MENU_COMMAND(Adhatgiellenrzsiadatszolgltats1, TForm40, Form40)

namespace {

const QString kSection = QStringLiteral("XML");
const QString kSchemaFile = QStringLiteral("23_2014_szamlasema.xsd");

// The rest of the program works with "," and ".".
void restoreSeparators() {
  platform::regional().decimalSeparator = u',';
  platform::regional().dateSeparator = u'.';
}

template <class T>
T *named(QWidget *parent, const char *name, const QString &text = QString()) {
  auto *w = new T(text, parent);
  w->setObjectName(QLatin1String(name));
  return w;
}

QWidget *makeTab(const char *name) {
  auto *w = new QWidget;
  w->setObjectName(QLatin1String(name));
  return w;
}

QDateEdit *makePicker(QWidget *parent, const char *name) {
  auto *p = new QDateEdit(parent);
  p->setObjectName(QLatin1String(name));
  p->setCalendarPopup(true);
  p->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
  return p;
}

QPlainTextEdit *makeView(QWidget *parent, const char *name) {
  auto *v = new QPlainTextEdit(parent);
  v->setObjectName(QLatin1String(name));
  v->setLineWrapMode(QPlainTextEdit::NoWrap);
  return v;
}

// The wait cursor while a view takes a file (a year's file is large).
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// A text file into a view; when it cannot be read, missing (the program's
// message) is shown with the system's reason.
void loadInto(QPlainTextEdit *view, const QString &path, const QString &missing) {
  const WaitCursor wait;
  const platform::Result<QByteArray> bytes = platform::readFileWhole(path);
  if (!bytes) {
    // A file that is not there gets the plain message; one that is there but
    // cannot be read also gets the reason.
    platform::showMessage(QFileInfo::exists(path) ? missing + QLatin1Char('\r') + bytes.reason() : missing);
    return;
  }
  // The byte-order mark is dropped by the decoder.
  view->setPlainText(QString::fromUtf8(*bytes));
}

}  // namespace

TForm40::TForm40(QWidget *owner)
    : QDialog(owner), IniPath(ProgramIniPath(QStringLiteral("XML.ini"))) {
  setObjectName(QStringLiteral("Form40"));
  setWindowTitle(QStringLiteral("Adóhatósági ellenőrzési adatszolgáltatás"));
  setModal(true);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));

  // "Adatszolgáltatás"
  auto *tab1 = makeTab("TabSheet1");
  auto *kind = named<QGroupBox>(tab1, "GroupBox1", QStringLiteral("Dátum"));
  RadioButton3 = named<QRadioButton>(kind, "RadioButton3", QStringLiteral("Kiállítás kelte"));
  RadioButton4 = named<QRadioButton>(kind, "RadioButton4", QStringLiteral("Felvásárlás dátuma"));
  RadioButton3->setChecked(true);
  DateTimePicker1 = makePicker(kind, "DateTimePicker1");
  DateTimePicker2 = makePicker(kind, "DateTimePicker2");
  auto *gk = new QGridLayout(kind);
  gk->addWidget(RadioButton3, 0, 0);
  gk->addWidget(RadioButton4, 0, 1, 1, 2);
  gk->addWidget(DateTimePicker1, 1, 0);
  gk->addWidget(Widgets::makeLabel(kind, "Label1", QStringLiteral("-tól")), 1, 1);
  gk->addWidget(DateTimePicker2, 1, 2);
  gk->addWidget(Widgets::makeLabel(kind, "Label2", QStringLiteral("-ig")), 1, 3);
  gk->setColumnStretch(4, 1);

  Edit1 = Widgets::makeEdit(tab1, "Edit1", 8);
  Edit2 = Widgets::makeEdit(tab1, "Edit2", 8);
  FieldKeys::acceptOnly(Edit1);
  FieldKeys::acceptOnly(Edit2);
  Edit3 = Widgets::makeEdit(tab1, "Edit3");
  Edit3->setText(QStringLiteral("C:\\QZ2016\\szamlak.xml"));
  Edit3->setMinimumWidth(Edit3->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
  Button1 = Widgets::makeButton(tab1, "Button1", QStringLiteral("Tallóz"));
  Button6 = Widgets::makeButton(tab1, "Button6", QStringLiteral("Kigyűjtés"));
  Button2 = Widgets::makeButton(tab1, "Button2", QStringLiteral("Export"));
  Button2->setEnabled(false);
  Button4 = Widgets::makeButton(tab1, "Button4", QStringLiteral("Mégsem"));

  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DS21);
  DBGrid1 = MakeListGrid(tab1, model_);

  auto *g1 = new QGridLayout(tab1);
  g1->addWidget(kind, 0, 0, 1, 4);
  g1->addWidget(Widgets::makeLabel(tab1, "Label3", QStringLiteral("Bizonylat sorszám:")), 1, 0);
  g1->addWidget(Edit1, 1, 1);
  g1->addWidget(Edit2, 1, 2);
  g1->addWidget(Widgets::makeLabel(tab1, "Label4", QStringLiteral("Fájl:")), 2, 0);
  g1->addWidget(Edit3, 2, 1, 1, 2);
  g1->addWidget(Button1, 2, 3);
  g1->addWidget(Widgets::makeLabel(tab1, "Label5",
                                   QStringLiteral("Kigyűjtéskor az előző kigyűjtés adatai törlődnek.")),
                3, 0, 1, 4);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button6);
  buttons->addWidget(Button2);
  buttons->addStretch(1);
  buttons->addWidget(Button4);
  g1->addLayout(buttons, 4, 0, 1, 4);
  g1->addWidget(DBGrid1, 5, 0, 1, 4);
  g1->addWidget(MakeNavigator(tab1, Data->ZQ21), 6, 0, 1, 4);
  g1->setRowStretch(5, 1);
  g1->setColumnStretch(1, 1);
  g1->setColumnStretch(2, 1);
  PageControl1->addTab(tab1, QStringLiteral("Adatszolgáltatás"));

  // "Beállítás"
  auto *tab2 = makeTab("TabSheet2");
  auto *range = named<QGroupBox>(tab2, "GroupBox2", QStringLiteral("Kigyűjtés"));
  RadioButton1 = named<QRadioButton>(range, "RadioButton1", QStringLiteral("Dátum (alapbeállítás)"));
  RadioButton2 = named<QRadioButton>(range, "RadioButton2", QStringLiteral("Sorszám"));
  RadioButton1->setChecked(true);
  auto *gr = new QVBoxLayout(range);
  gr->addWidget(RadioButton1);
  gr->addWidget(RadioButton2);
  CheckBox3 = named<QCheckBox>(tab2, "CheckBox3",
                               QStringLiteral("Önszámla (Az átvevő állítja ki. Az alapbeállítás=true)"));
  CheckBox3->setChecked(true);
  Edit4 = Widgets::makeEdit(tab2, "Edit4");
  Edit4->setText(QStringLiteral("true"));
  CheckBox5 = named<QCheckBox>(tab2, "CheckBox5", QStringLiteral("Nem kötetező tipusok is kitöltve"));
  CheckBox5->setChecked(true);
  Edit5 = Widgets::makeEdit(tab2, "Edit5");
  Edit5->setText(QStringLiteral("Papir alapon számítógéppel kiállított"));
  Edit5->setMinimumWidth(Edit5->fontMetrics().horizontalAdvance(Edit5->text()) + 24);
  Button7 = Widgets::makeButton(tab2, "Button7", QStringLiteral("Mentés"));
  auto *g2 = new QGridLayout(tab2);
  g2->addWidget(range, 0, 0, 1, 3);
  auto *selfBilling = new QHBoxLayout;
  selfBilling->addWidget(CheckBox3);
  selfBilling->addWidget(Edit4);
  selfBilling->addStretch(1);
  g2->addLayout(selfBilling, 1, 0, 1, 3);
  g2->addWidget(CheckBox5, 2, 0, 1, 3);
  g2->addWidget(Widgets::makeLabel(tab2, "Label6", QStringLiteral("Számla forma:")), 3, 0);
  g2->addWidget(Edit5, 3, 1, 1, 2);
  g2->addWidget(Button7, 4, 0);
  g2->setRowStretch(5, 1);
  g2->setColumnStretch(1, 1);
  PageControl1->addTab(tab2, QStringLiteral("Beállítás"));

  // "Leírás"
  auto *tab3 = makeTab("TabSheet3");
  auto *help = Widgets::makeLabel(
      tab3, "Label7",
      QStringLiteral(
          "1. A \"Kigyűjtés\" gomb a megadott időszak vagy sorszámtartomány bizonylatait gyűjti ki; "
          "az előző kigyűjtés ekkor törlődik.\n\n"
          "2. Az \"Export\" gomb ellenőrzi a kigyűjtött adatokat, és elkészíti az XML fájlt a megadott "
          "helyen.\n\n"
          "3. Az elkészült fájl az adóhatóság \"23_2014_szamlasema.xsd\" sémafájljával egy online "
          "XML-ellenőrzővel vethető össze: az \"XML\" és az \"XSD\" lapon betölthető és a vágólapra "
          "másolható mindkettő."));
  help->setWordWrap(true);
  help->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  (new QVBoxLayout(tab3))->addWidget(help);
  PageControl1->addTab(tab3, QStringLiteral("Leírás"));

  // "XML" and "XSD"
  auto viewTab = [this](const char *tabName, const QString &title, QPushButton *&load, const char *loadName,
                        QPushButton *&copy, const char *copyName, QPlainTextEdit *&view, const char *viewName) {
    auto *tab = makeTab(tabName);
    load = Widgets::makeButton(tab, loadName, QStringLiteral("Betöltés"));
    copy = Widgets::makeButton(tab, copyName, QStringLiteral("Vágólapra másol"));
    view = makeView(tab, viewName);
    auto *v = new QVBoxLayout(tab);
    auto *row = new QHBoxLayout;
    row->addWidget(load);
    row->addWidget(copy);
    row->addStretch(1);
    v->addLayout(row);
    v->addWidget(view, 1);
    PageControl1->addTab(tab, title);
  };
  viewTab("TabSheet4", QStringLiteral("XML"), Button3, "Button3", Button8, "Button8", RichEdit1, "RichEdit1");
  viewTab("TabSheet5", QStringLiteral("XSD"), Button5, "Button5", Button10, "Button10", RichEdit2, "RichEdit2");

  (new QVBoxLayout(this))->addWidget(PageControl1);
  resize(760, 560);

  auto guarded = [this](QPushButton *b, void (TForm40::*slot)()) {
    connect(b, &QPushButton::clicked, this, [this, slot] { RunGuarded([&] { (this->*slot)(); }); });
  };
  guarded(Button6, &TForm40::Button6Click);
  guarded(Button2, &TForm40::Button2Click);
  guarded(Button1, &TForm40::Button1Click);
  guarded(Button7, &TForm40::Button7Click);
  guarded(Button3, &TForm40::Button3Click);
  guarded(Button5, &TForm40::Button5Click);
  connect(Button4, &QPushButton::clicked, this, &QDialog::close);
  connect(Button8, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(RichEdit1->toPlainText()); });
  connect(Button10, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(RichEdit2->toPlainText()); });
  connect(Edit3, &QLineEdit::textChanged, this, [](const QString &t) { XmlHova = t; });
  connect(Edit4, &QLineEdit::textChanged, this, [](const QString &t) { XmlOnszamla = t; });
  connect(CheckBox3, &QCheckBox::toggled, this,
          [this](bool on) { Edit4->setText(on ? QStringLiteral("true") : QStringLiteral("false")); });
}

TForm40::~TForm40() {
  if (shown_) restoreSeparators();
  // Another instance may collect from now on.
  ReleaseAuditStaging();
}

void TForm40::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) {
    platform::regional().decimalSeparator = u'.';  // shown again after a hide
    return;
  }
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm40::hideEvent(QHideEvent *event) {
  restoreSeparators();
  QDialog::hideEvent(event);
}

void TForm40::FormShow() {
  const platform::IniFile ini(IniPath);
  Edit3->setText(ini.ReadString(kSection, QStringLiteral("hova"), XmlHova));
  XmlHova = Edit3->text();
  Edit4->setText(ini.ReadString(kSection, QStringLiteral("onszla"), XmlOnszamla));
  XmlOnszamla = Edit4->text();
  Edit5->setText(ini.ReadString(kSection, QStringLiteral("papir"), XmlSzlaForma));
  XmlSzlaForma = Edit5->text();
  platform::regional().decimalSeparator = u'.';
  DateTimePicker1->setDate(Today());
  DateTimePicker2->setDate(Today());
  // The file of the last export goes (a missing one is no error), unless
  // another instance holds the staging: the file may be its export.
  if (!Edit3->text().isEmpty() && !AuditStagingHeldByAnother())
    QFile::remove(platform::mapWindowsPath(Edit3->text()));
}

void TForm40::Button6Click() {
  // Only a collection that completes lets "Export" write its rows.
  Button2->setEnabled(false);
  XmlSzlaForma = Edit5->text();
  AuditSelection s;
  s.range = RadioButton2->isChecked() ? AuditSelection::Range::Serial : AuditSelection::Range::Date;
  s.byPurchaseDate = RadioButton4->isChecked();
  s.from = DateTimePicker1->date();
  s.to = DateTimePicker2->date();
  s.serialFrom = Edit1->text();
  s.serialTo = Edit2->text();
  if (!CollectAudit(s)) return;
  platform::showMessage(QStringLiteral("1.A FEJ adatok kigyűjtése vége.") + QLatin1Char('\r') +
                        QStringLiteral("2. Folytatás az \"EXPORT\" gombra."));
  Button2->setEnabled(true);
}

void TForm40::Button2Click() {
  // However the export ends, the program goes on with "," and ".".
  struct Restore {
    ~Restore() { restoreSeparators(); }
  } restore;
  AuditExport e;
  e.serialRange = RadioButton2->isChecked();
  e.from = DateTimePicker1->date();
  e.to = DateTimePicker2->date();
  e.optionalGroup = CheckBox5->isChecked();
  e.path = Edit3->text();
  e.today = Today();
  const bool written = ExportAuditXml(e);
  if (e.boundsRead && !e.serialRange) {
    Edit1->setText(e.minSerial);
    Edit2->setText(e.maxSerial);
  }
  if (!written) return;
  restoreSeparators();
  // The message names the file actually written.
  platform::showMessage(QStringLiteral("3.Az \"EXPORT\" vége.") + QLatin1Char('\r') + QStringLiteral("Adatok a \"") +
                        e.path + QStringLiteral("\" fáljban."));
}

void TForm40::Button1Click() {
  QFileDialog dlg(this, QStringLiteral("Felvásárlási jegy adatok mentése ide"),
                  platform::mapWindowsPath(QStringLiteral("C:\\QZ2016\\")));
  dlg.setObjectName(QStringLiteral("SaveDialog1"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setNameFilter(QStringLiteral("*.xml (szamlak") + AtvevoKod + QStringLiteral(".xml)"));
  dlg.selectFile(Edit3->text());
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  if (!Edit3->text().isEmpty() && !AuditStagingHeldByAnother())
    QFile::remove(platform::mapWindowsPath(Edit3->text()));
  Edit3->setText(dlg.selectedFiles().constFirst());
}

void TForm40::Button7Click() {
  XmlSzlaForma = Edit5->text();
  platform::IniFile ini(IniPath);
  ini.WriteString(kSection, QStringLiteral("hova"), XmlHova);
  ini.WriteString(kSection, QStringLiteral("onszla"), XmlOnszamla);
  ini.WriteString(kSection, QStringLiteral("papir"), XmlSzlaForma);
}

void TForm40::Button3Click() {
  loadInto(RichEdit1, platform::mapWindowsPath(Edit3->text()), QStringLiteral("Nincs \"szamlak.XML\" fálj!"));
}

void TForm40::Button5Click() {
  loadInto(RichEdit2, kSchemaFile, QStringLiteral("Nincs \"23_2014_szamlasema.xsd\" fálj!"));
}

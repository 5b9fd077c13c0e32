#pragma once
// The Excel export ("Segédlet" > "Vorik excel táblába"): ticket lines of the
// current receiver for a date range (first tab) and all producers (second
// tab), each gathered into the tab's own query and shown in its grid, then
// written as a workbook (Excel 5.0/95) named after the source table in the
// working folder, and with the tab's check box ticked opened in the user's
// spreadsheet program.
//
// "Exportálás " is enabled only after the tab's own gather, and disabled
// again when an input of the gather changes. A result that does not fit a
// sheet, a refused replacement or a failed write saves nothing and leaves an
// existing file as it was.
#include <QDialog>
#include <QString>

class QCheckBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace db {
class DataSetModel;
class DataSource;
class Query;
class Table;
}  // namespace db

#include "exchange/excel/SheetExport.h"

#include <QStringList>

// The ticket-line statement (":p1", ":p2" the range, ":p3" the receiver),
// ranging over the payment date or the purchase date.
QStringList TicketLineSql(bool byPaymentDate);
// Widths and alignments of columns A to X; bold A1 to AM1.
excel::SheetSpec TicketLineSheet();
// The producer statement: every producer, by name.
QStringList ProducerSql();
// Columns A to U, all left-aligned; bold A1 to U1.
excel::SheetSpec ProducerSheet();

class TForm20 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm20(QWidget *owner = nullptr);
  ~TForm20() override;

  QTabWidget *PageControl1;
  QWidget *TabSheet1, *TabSheet2;
  // First tab.
  QLabel *Label1;
  QDateEdit *DateTimePicker1, *DateTimePicker2;
  QGroupBox *RadioGroup1;
  QRadioButton *RadioButton1;  // "Fizetési dátum"
  QRadioButton *RadioButton2;  // "Felvásárlási dátum"
  QCheckBox *CheckBox1;
  QProgressBar *ProgressBar1;
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kigyüjtés"
  QPushButton *Button4;  // "Exportálás "
  QPushButton *Button3;  // "Mégsem"
  // Second tab.
  QLabel *Label8;
  QCheckBox *CheckBox2;
  QProgressBar *ProgressBar2;
  QTableView *DBGrid2;
  QFrame *DBNavigator2;
  QPushButton *Button5;  // "Kigyüjtés"
  QPushButton *Button6;  // "Exportálás "
  QPushButton *Button7;  // "Mégsem"

  // The dialog's own queries: ticket lines and producers.
  db::Query *ZQ20, *ZQ30;

  void FormShow();

 public slots:
  void Button1Click();
  void Button4Click();
  void Button3Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  // Writes query into the workbook named after table; the messages of the
  // Part's export, the launcher when shown is ticked.
  void Export(db::Query *query, db::Table *table, const excel::SheetSpec &spec, QCheckBox *shown,
              QProgressBar *progress, const QString &endText);
  // Runs the gather: on failure the grid stays empty and export disabled.
  void Gather(db::Query *query, QPushButton *exportButton, const QStringList &lines, bool ticketParams);

  db::DataSource *DSQ20, *DSQ30;
  db::DataSetModel *model20_, *model30_;
  bool shown_ = false;
};

extern TForm20 *Form20;

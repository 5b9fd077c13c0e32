#pragma once
// The CSV producer import ("Segédlet" > "Östermelö import excelböl (*.csv)"):
// "Megnyitás" loads a ";"-separated file that a spreadsheet saved (Windows-1250,
// or UTF-8 when the file is valid UTF-8) into the memo and the check list;
// "Feldolgozás" inserts one producer per line, 18 fields in a fixed order,
// the whole list in one transaction with a numbered message for each line
// that is left out.
#include <QDialog>
#include <QStringList>

class QFileDialog;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace db {
class DataSetModel;
}

// The insert of one producer line (":p1" to ":p18").
QString CsvInsertSql();

class TForm34 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm34(QWidget *owner = nullptr);
  ~TForm34() override;

  QLabel *Label1, *Label2;  // progress: line number, field count
  QLabel *Label3, *Label4, *Label5, *Label6;
  QPlainTextEdit *Memo1;
  QListWidget *CheckListBox1;
  QTableView *DBGrid2;
  QPushButton *Button11;  // "Megnyitás"
  QPushButton *Button3;   // "Feldolgozás"
  QPushButton *Button1;   // "Dupla DEL"
  QPushButton *Button10;  // "Mégsem"
  QFileDialog *OpenDialog1;

  // Loads a file's lines, shown in the memo (an error box, and the lines
  // kept, when it cannot be read).
  bool LoadFile(const QString &path);

 public slots:
  void Button11Click();
  void Button3Click();
  void Button1Click();
  void Button10Click();

 private:
  db::DataSetModel *model_;
  QStringList lines_;  // the last file's lines, which the check list takes
};

extern TForm34 *Form34;

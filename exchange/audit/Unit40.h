#pragma once
// The audit data supply ("Bevallás" > "Adóhatóági ellenőrzési
// adatszolgáltatás", a hidden item): collects the current receiver's
// documents into NAVFEJ and exports them as the invoice XML file; keeps its
// three options in "<program>XML.ini". While it is shown the process-wide
// decimal separator is ".".
#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>

#include "app/common/LimitedEdit.h"
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace db {
class DataSetModel;
}

class TForm40 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm40(QWidget *owner = nullptr);
  ~TForm40() override;

  // Options file; the program's path with "XML.ini" in place of its extension.
  QString IniPath;
  // The date written as export_datuma.
  std::function<QDate()> Today = &QDate::currentDate;

  void FormShow();    // options read, separator ".", pickers today, old file deleted
  void Button6Click();  // "Kigyűjtés"
  void Button2Click();  // "Export"
  void Button1Click();  // "Tallóz"
  void Button7Click();  // "Mentés"
  void Button3Click();  // XML "Betöltés"
  void Button5Click();  // XSD "Betöltés"

  QTabWidget *PageControl1;
  // "Adatszolgáltatás"
  QRadioButton *RadioButton3, *RadioButton4;  // "Kiállítás kelte" / "Felvásárlás dátuma"
  QDateEdit *DateTimePicker1, *DateTimePicker2;
  LimitedEdit *Edit1, *Edit2;  // serial range: digits only
  LimitedEdit *Edit3;          // the XML file
  QPushButton *Button1, *Button6, *Button2, *Button4;
  QTableView *DBGrid1;
  // "Beállítás"
  QRadioButton *RadioButton1, *RadioButton2;  // "Dátum (alapbeállítás)" / "Sorszám"
  QCheckBox *CheckBox3, *CheckBox5;
  LimitedEdit *Edit4, *Edit5;
  QPushButton *Button7;
  // "XML" and "XSD"
  QPushButton *Button3, *Button8, *Button5, *Button10;
  QPlainTextEdit *RichEdit1, *RichEdit2;

 protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

 private:
  bool shown_ = false;
  db::DataSetModel *model_;
};

extern TForm40 *Form40;

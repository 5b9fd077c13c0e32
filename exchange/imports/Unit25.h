#pragma once
// The import from the older version ("Segédlet" > "Régiből import"):
// producers, products and receivers from the older version's fixed-width
// exports "exposterm.txt", "exptermek.txt" and "expatvevo.txt" in a folder.
// Producers and products are added; receivers replace the receiver table.
// Each file goes in as one transaction; a line that cannot be read or that
// the database refuses gets its numbered message and is left out. Prices,
// compensation rates and birth dates are read as numbers and dates ("12,5").
#include <QDialog>

#include "app/common/LimitedEdit.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The inserts (":p1" ...) and the receiver table's emptying.
QString OldProducerInsertSql();
QString OldProductInsertSql();
QString OldReceiverInsertSql();

class TForm25 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm25(QWidget *owner = nullptr);
  ~TForm25() override;

  QLabel *Label1, *Label2;
  LimitedEdit *Edit1;  // the folder, ending with "\"
  QGroupBox *GroupBox1;  // "Melyik?"
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3;
  QPlainTextEdit *Memo1;
  QPushButton *Button1;  // "Import"
  QPushButton *Button2;  // invisible
  QPushButton *Button3;  // "Mégsem"

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();

 private:
  // Loads folder + name into the memo; its lines, or false after the file's message.
  bool Load(const QString &name, QStringList &lines);
};

extern TForm25 *Form25;

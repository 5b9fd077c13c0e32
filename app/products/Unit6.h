#pragma once
// The product list (menu "Termék") and the product picker of the line
// dialog: a grid over Data->ZQ40 with the current product's panel, three sort
// orders by title click, new / modify / delete.
//
// As a picker: set AktTermek to the beginning of a name, call
// TForm6::Pick(), then take Data->ZQ40's current row. The list opens on the
// first product whose name begins with AktTermek in any case. Pick() answers
// true for "Kiválaszt"; "Mégsem", Escape and the close button answer false
// and put ZQ40 back on the row that was current when the list had opened.
#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTableView;
class QToolButton;

namespace db {
class DataSetModel;
class DataSource;
}  // namespace db

// Reopens Data->ZQ40 with every product ordered by orderBy (the name in the
// Hungarian order, as the printed lists have it).
void OpenProductList(const QString &orderBy = QStringLiteral("t_megnevezes"));

// The proposed code of a new product: the largest numeric T_KOD + 1 (codes
// that are not whole numbers are skipped), "1" for an empty table.
QString NextProductCode();

class TForm6 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm6(QWidget *owner = nullptr);
  ~TForm6() override;

  static bool Pick();

  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kiválaszt"
  QPushButton *Button2;  // "Új"
  QPushButton *Button3;  // "Módosít"
  QPushButton *Button4;  // "Töröl"
  QPushButton *Button5;  // "Mégsem"
  QPushButton *Button6;  // "Nyomtatás"
  QLabel *Label1;        // sort order
  QFrame *Adatok;        // the current product's data

  void FormCreate();
  void FormShow();

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void DBGrid1TitleClick(int column);

  void reject() override;

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  void ShowPanel();
  // Reopens the list when a failed save of the entry closed it.
  void AfterEntry();

  db::DataSource *source_;
  db::DataSetModel *model_;
  QList<QLabel *> panelValues_;
  bool shown_ = false;
  bool printing_ = false;  // the report walks the list: the panel does not follow
  QString openingId_;  // ID_TERMEK current when the list had opened
};

extern TForm6 *Form6;

inline const QString kProductSortByName = QStringLiteral("Termék lista, \"Megnevezés\" szerint");

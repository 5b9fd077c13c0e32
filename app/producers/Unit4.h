#pragma once
// The producer list (menu "Östermelö") and the producer picker of other
// dialogs: a grid over Data->ZQ30 with the current producer's panel, search by
// the beginning of the name, sorting by the marked column, new / modify /
// delete, and the FELIR id to the clipboard.
//
// As a picker: set AktOstermeloKod to the code to start on, call
// TForm4::Pick(), then take Data->ZQ30's current row. Pick() answers true
// for "Kiválaszt"; "Mégsem", Escape and the close button answer false and
// put ZQ30 back on the row that was current when the list had opened.
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QSet>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableView;
class QFrame;

namespace db {
class DataSetModel;
class DataSource;
}  // namespace db

// The column names of OSTERMELO as the database has them (upper case), read
// from the metadata of "SELECT * FROM ostermelo" through Data->ZQ32.
QSet<QString> ProducerColumns();

namespace db {
struct ListSpec;
}

// The producer list: the columns the grid, the panel and the entry read,
// ordered by orderBy (the name in the Hungarian order, as the printed lists
// have it). Columns the database lacks (an older database before its
// upgrades) are left out.
db::ListSpec ProducerList(const QString &orderBy, const QSet<QString> &present);

// Reopens Data->ZQ30 with the list ordered by orderBy.
void OpenProducerList(const QString &orderBy = QStringLiteral("o_Nev"));

// The proposed code of a new producer: the largest numeric O_KOD + 1 (codes
// that are not whole numbers are skipped), "1" for an empty table.
QString NextProducerCode();

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(QWidget *owner = nullptr);
  ~TForm4() override;

  // Shows the list modally as a picker; see the top of this file.
  static bool Pick();

  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  LimitedEdit *Edit1;
  QPushButton *Button1;  // "Kiválaszt"
  QPushButton *Button2;  // "Új"
  QPushButton *Button3;  // "Módosít"
  QPushButton *Button4;  // "Töröl"
  QPushButton *Button5;  // "Mégsem"
  QPushButton *Button6;  // "Keres"
  QPushButton *Button7;  // "Nyomtat"
  QLabel *Label1;        // sort order
  QFrame *Adata;         // the current producer's data

  void FormCreate();
  void FormShow();

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Edit1KeyUp();
  void DBGrid1TitleClick(int section);
  void DBGrid1CellClick();

  void reject() override;

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void ShowPanel();
  void CopyFelir();
  void Reposition();
  // ZQ30 holds the list in name order (as FormCreate and the search open it).
  bool ListInNameOrder() const;
  void RememberOpeningRow();
  void RestoreOpeningRow();

  db::DataSource *source_;
  db::DataSetModel *model_;
  QSet<QString> columns_;
  QList<QLabel *> panelValues_;
  bool shown_ = false;
  bool printing_ = false;  // the report walks the list: the panel does not follow
  QString openingId_;  // ID_OSTERMELO current when the list had opened
};

extern TForm4 *Form4;

// Captions of the sort label.
inline const QString kProducerSortHint =
    QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre");
inline const QString kProducerSortByName = QStringLiteral("Őstermelő lista, \"Név\" szerint");

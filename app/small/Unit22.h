#pragma once
// TForm22 "Adatbázis": the raw tables in grids (QZFEJ, QZSOR, OSTERMELO,
// TERMEK, SORSZAM read-only until unlocked; ATVEVO shown only after the
// 3-letter code), with the access code asked once per process.
#include <QDialog>
#include <QString>

class QFrame;
class QModelIndex;
class QVariant;
class QPushButton;
class QTabWidget;
class QTableView;

class TForm22 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm22(QWidget *parent = nullptr);
  ~TForm22() override;

  // The codes that unlock the first five tables, and also ATVEVO.
  static constexpr const char *kCode5 = "718260593";
  static constexpr const char *kCode6 = "qvx";
  // The service key: pressed on "Szerkeszt" or "Mégsem" it unlocks the first five.
  static constexpr char kServiceKey = 'W';

  void Button6Click();  // "Szerkeszt"
  // Whether a table's grid takes edits now (index 0..5).
  bool writable(int table) const;
  // An edit of a row that another program has changed or is changing: the
  // message, and the cell's editor opened again with the value typed.
  static QString rowBusyMessage();

  QTabWidget *PageControl1;
  QTableView *DBGrid[6];
  QFrame *Navigator[6];
  QPushButton *Button6, *Button1;  // "Szerkeszt", "Mégsem"

 protected:
  void done(int result) override;  // FormClose
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void unlock(int tables);
  void keepEdit(int table, const QModelIndex &index, const QVariant &value);
};

// The entered access code; empty when none was entered or after it was used.
extern QString AdatbazisKod;

extern TForm22 *Form22;

#pragma once
// Receiver choice ("Átvevö" > "Választás"): sets the shared receiver state,
// the main caption, and unlocks the main menu.
#include <QDialog>

class QComboBox;
namespace db {
class DataSource;
}
class QPushButton;

class TForm18 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm18(QWidget *owner = nullptr);
  ~TForm18() override;

  // Lists every receiver and makes the last row current.
  void FormShow();
  // A receiver chosen: type codes, receiver state, menus and captions.
  void DBLookupComboBox1CloseUp();

  QComboBox *DBLookupComboBox1;
  QPushButton *Button2;  // "Kiválaszt"
  QPushButton *Button3;  // "Mégsem"
  db::DataSource *DSQ60;  // ZQ60 for the drop-down

  void done(int result) override;

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  bool shown_ = false;
};

extern TForm18 *Form18;

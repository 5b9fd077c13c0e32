#pragma once
// The e-mail of the database ("Segédlet" > "Adatok küldése"): finds last
// year's database file "qz2024.fdb" in a chosen folder and opens a new mail
// to the support address in the user's mail program through a "mailto:"
// link; the user attaches the file (its path can go to the clipboard).
#include <QDialog>

#include "app/common/LimitedEdit.h"
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;
class QFileSystemModel;

// The support address and the link "Küldés2" opens, exactly as the mail
// program gets it (blanks included, nothing escaped).
extern const QString kSupportAddress;
QString SupportMailLink();
// "c:\Program Files\Quorvane\qz2024"
extern const QString kLastYearFolder;

class TForm27 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm27(QWidget *owner = nullptr);
  ~TForm27() override;

  QComboBox *DriveComboBox1;
  QTreeView *DirectoryListBox1;
  QListWidget *FileListBox1;  // hidden
  QLabel *Label1, *Label2, *Label3, *Label4;
  LimitedEdit *Edit1;
  QPushButton *Button4;  // "Küldés1"
  QPushButton *Button6;  // "Küldés2"
  QPushButton *Button7;  // "Vágólapra másolás"
  QPushButton *Button5;  // "Mégsem"

  void FormShow();
  // Points the folder list at folder (a Windows or file-system path) and
  // runs DirectoryListBox1Change.
  void SetDirectory(const QString &folder);
  // The folder now chosen, as shown.
  QString Directory() const { return directory_; }
  void DirectoryListBox1Change();

 public slots:
  void Button4Click();
  void Button6Click();
  void Button7Click();
  void Button5Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  QFileSystemModel *folders_;
  QString directory_;
  bool shown_ = false;
};

extern TForm27 *Form27;

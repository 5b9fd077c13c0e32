#pragma once
// The merge of two sets of 08M import files ("Bevallás" > "Import
// összevonás"): folder A on the hard disk, folder B from a removable drive;
// each producer found in both is merged into one file in A (ImportMerge), and
// the row-455 totals of both folders are shown before and after.
#include <QDialog>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace returns {
class DirectoryListBox;
class DriveComboBox;
class FileListBox;
}  // namespace returns

class TForm24 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm24(QWidget *owner = nullptr);
  ~TForm24() override;

  returns::DriveComboBox *DriveComboBox1, *DriveComboBox2;
  returns::DirectoryListBox *DirectoryListBox1, *DirectoryListBox2;
  returns::FileListBox *FileListBox1, *FileListBox2;
  QListWidget *CheckListBox2;  // hidden: B's names, ticked when paired
  QListWidget *CheckListBox1;  // the paired names
  QLabel *Label1, *Label4, *Label2, *Label5, *Label3;     // before
  QLabel *Label6, *Label7, *Label8, *Label12, *Label13;  // after
  // The paid amounts ("24804=") of both folders, before and after: the
  // figures the printed return lists carry.
  QLabel *Label17, *Label18;
  QPlainTextEdit *Memo1;
  QPushButton *Button3;  // "Összevonás"
  QPushButton *Button6;  // "Mégsem"

  void FormShow();

 public slots:
  void DirectoryListBox1Change();
  void DirectoryListBox2Change();
  void Button3Click();
  void Button6Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  void FolderChanged(returns::FileListBox *files, const QString &folder);
  // Shows both folders' sums in the five labels with the caption's words;
  // when no file carries a row-455 amount, the four row labels are hidden
  // and the total is the paid sum, the figure the printed lists carry.
  bool ShowSums(const QString &when, QLabel *aAnimal, QLabel *aPlant, QLabel *bAnimal, QLabel *bPlant,
                QLabel *total, QLabel *paid);

  bool shown_ = false;
};

extern TForm24 *Form24;

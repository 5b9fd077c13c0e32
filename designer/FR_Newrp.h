#pragma once
// The template chooser for a new report: the templates of the template
// folder, each previewed by its description and picture.
#include <QDialog>
#include <QString>

class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace designer {

class TfrPictureBox;

// The designer's template folder (may be a Windows path); empty means the
// current folder.
extern QString frTemplateDir;
// The folder templates are listed from and saved to, as a file-system path.
QString frTemplateFolder();

class TfrTemplForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrTemplForm(QWidget *parent = nullptr);

  // The chosen template's file (the file as it is named in the folder); empty
  // until a readable template is selected.
  QString FileName() const;

  QListWidget *LB1;      // template names
  QGroupBox *GroupBox1;  // description
  QPlainTextEdit *Memo1;
  TfrPictureBox *Image1;
  QPushButton *Button1, *Button2;  // OK, Cancel

 protected:
  // Each showing lists the folder again, with nothing chosen.
  void showEvent(QShowEvent *e) override;

 private:
  void fill();
  void selected();
};

}  // namespace designer

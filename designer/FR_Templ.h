#pragma once
// The comment and icon of a template the designer is about to save.
#include <QDialog>
#include <QStringList>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace designer {

class TfrPictureBox;

class TfrTemplNewForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrTemplNewForm(QWidget *parent = nullptr);

  // The comment's lines as the template stores them: none for an empty
  // comment, and no empty line for a final line break.
  QStringList Description() const;

  QLabel *Label1;
  QPlainTextEdit *Memo1;  // comment
  QGroupBox *GroupBox1;   // icon
  TfrPictureBox *Image1;
  QPushButton *Button1;            // file
  QPushButton *Button2, *Button3;  // OK, Cancel

 protected:
  // Each showing starts with an empty comment and no icon.
  void showEvent(QShowEvent *e) override;

 private:
  void loadIcon();
  void confirm();  // OK: the comment must fit the template file
};

}  // namespace designer

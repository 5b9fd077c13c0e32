#pragma once
// The report's variable list typed as text: categories, and variables with
// one leading blank below their category.
#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace report {
class TfrReport;
}

namespace designer {

class TfrVaredForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrVaredForm(QWidget *parent = nullptr);

  // Shows the report's variable list; on OK applies Memo1 (Apply): true then.
  bool ShowEditor(report::TfrReport &report);
  // Replaces the variable list by Memo1's lines (empty lines dropped), removes
  // the values of variables no longer listed and gives every listed variable
  // without a value an empty one.
  void Apply(report::TfrReport &report) const;

  QLabel *Label1;
  QPlainTextEdit *Memo1;
  QPushButton *Button1, *Button2;
};

}  // namespace designer

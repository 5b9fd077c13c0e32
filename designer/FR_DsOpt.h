#pragma once
// The designer options dialog: grid, object moving, units, grid size and
// the other switches of the designer window.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace designer {

struct TfrDesignerOptions;

class TfrDesOptionsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrDesOptionsForm(QWidget *parent = nullptr);

  // The controls from options and back (grid size 4, 8 or 18; units 0
  // pixels, 1 millimetres, 2 inches; object moving 0 shape, 1 contents).
  void SetOptions(const TfrDesignerOptions &o);
  void GetOptions(TfrDesignerOptions &o) const;

  QTabWidget *PageControl1;
  QWidget *Tab1;
  QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5;
  QCheckBox *CB1, *CB2, *CB3, *CB4, *CB5;
  QRadioButton *RB1, *RB2, *RB3, *RB4, *RB5, *RB6, *RB7, *RB8;
  QPushButton *Button1, *Button2;
};

// The dialog on the options: true with them read back on OK, untouched on Cancel.
bool EditDesignerOptions(QWidget *parent, TfrDesignerOptions &options);

}  // namespace designer

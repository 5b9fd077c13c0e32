#pragma once
// The type of a band about to be inserted: one radio button per band type.
#include <QDialog>

#include <functional>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace designer {

// Master, detail and subdetail bands and group bands: a page may hold any
// number of them; of every other type at most one.
bool frRepeatableBand(int type);

class TfrBandTypesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrBandTypesForm(QWidget *parent = nullptr);

  // Enables the types that may be added (the repeatable ones always, the
  // others while exists answers false), checks the first enabled one and
  // shows the dialog: the checked type on OK, -1 otherwise.
  int ShowEditor(const std::function<bool(int type)> &exists);

  QGroupBox *GB1;
  QRadioButton *RB[21];  // by band type; objectNames RB1 ... RB21
  QPushButton *Button1, *Button2;
};

}  // namespace designer

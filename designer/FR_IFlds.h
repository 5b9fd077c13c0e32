#pragma once
// The insert-fields dialog of the designer's "Insert DB fields" tool: a data
// set reachable from the report's owner, some of its fields, the placement
// (in a row or in a column) and whether headers and bands come too.
#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace db {
class DataSet;
}

namespace designer {

struct TfrInsertFieldsChoice;

class TfrInsertFieldsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrInsertFieldsForm(QWidget *parent = nullptr);

  // The data set chosen in DatasetCB (nullptr: none).
  db::DataSet *DataSet = nullptr;

  // What the tool needs after OK: false unless a data set is chosen, it has
  // fields and at least one is selected.
  bool Choice(TfrInsertFieldsChoice &choice) const;

  QLabel *Label1;
  QComboBox *DatasetCB;
  QListWidget *FieldsL;
  QGroupBox *GroupBox1;
  QRadioButton *HorzRB, *VertRB;
  QCheckBox *HeaderCB, *BandCB;
  QPushButton *Button1, *Button2;

 protected:
  void showEvent(QShowEvent *e) override;

 private:
  void fillFields();
};

// The name of the report data source bound to a database dataset: the first
// TfrDBDataSet reading it among the report owner's components, then other
// containers' (as Container.Name); empty when none reads it.
QString frDataSourceOf(const db::DataSet *dataSet);

}  // namespace designer

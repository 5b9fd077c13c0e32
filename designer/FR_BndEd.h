#pragma once
// The data source editor of a data band (TfrBandEditorForm), the data source
// list and choice that both band editors share, and installBandEditors, which
// gives the designer window its band, band type and variables dialogs.
#include <QDialog>
#include <QString>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace report {
class TfrBandView;
class TfrReportDesigner;
}  // namespace report

namespace designer {

class TfrDesignerForm;

// A virtual data source name: a digit 1 to 9 followed by digits.
bool frIsVirtualSource(const QString &name);
// Fills a data source list: "[None]", "Virtual Dataset", then the data
// sources found among the report owner's and the registered containers'
// components.
void frFillDataSources(QComboBox *list);
// Shows a stored data source name: a name beginning with a digit 1 to 9
// selects "Virtual Dataset" and goes into count; another name is selected,
// "[None]" when the list lacks it (count is then emptied).
void frShowDataSource(const QString &stored, QComboBox *list, QLineEdit *count);
// The text to store for the shown choice: the record count for
// "Virtual Dataset" (empty while the count is not a valid one), otherwise the
// list text, "[None]" included.
QString frDataSourceChoice(const QComboBox *list, const QLineEdit *count);
// Enables the record count and its label only while "Virtual Dataset" is chosen.
void frEnableRecordCount(const QComboBox *list, QLabel *label, QLineEdit *count);
// The record count edit: digits only, the first 1 to 9, at most nine.
void frSetRecordCountInput(QLineEdit *count);

class TfrBandEditorForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrBandEditorForm(QWidget *parent = nullptr);

  // Shows the band's data source. On OK calls the designer's BeforeChange
  // (when a designer is given) and stores the choice in the band's format
  // text; true then. Cancel leaves the band alone. OK stays disabled while
  // "Virtual Dataset" lacks a valid record count.
  bool ShowEditor(report::TfrBandView &band, report::TfrReportDesigner *designer);

  QLabel *Label1, *Label2;
  QComboBox *CB1;
  QLineEdit *E1;
  QPushButton *Button1, *Button2;

 private:
  void updateControls();
};

// Sets the window's hooks ChooseBandType, EditBand (data source, group
// condition, cross data sources) and EditVariables to this module's dialogs.
void installBandEditors(TfrDesignerForm &form);

}  // namespace designer

#pragma once
// The data sources of the cross (vertical) bands of a page, as one band's
// format text stores them: band name, "=", data source, ";" per cross band.
#include <QDialog>
#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace report {
class TfrBandView;
class TfrPage;
class TfrReportDesigner;
}  // namespace report

namespace designer {

// A format text read as band name -> data source for the given bands (in
// their order): entries "name=source;" match names without regard to case;
// a text without ";" is one data source for every band. Bands without an
// entry get an empty source.
QStringList frSplitCrossSources(const QString &format, const QStringList &bands);
// The format text of the bands' sources: name, "=", source, ";" for each.
QString frJoinCrossSources(const QStringList &bands, const QStringList &sources);

class TfrVBandEditorForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrVBandEditorForm(QWidget *parent = nullptr);

  // Lists the cross bands of page and the data source each has in band's
  // format text. On OK calls the designer's BeforeChange (when given) and
  // rebuilds the format text for every cross band in list order; true then.
  // Cancel leaves the band alone. OK stays disabled while a band's
  // "Virtual Dataset" lacks a valid record count, and on a page without
  // cross bands.
  bool ShowEditor(report::TfrBandView &band, const report::TfrPage &page,
                  report::TfrReportDesigner *designer);

  QGroupBox *GB1, *GB2;
  QListWidget *LB1;
  QComboBox *CB1;
  QLabel *Label1;
  QLineEdit *E1;
  QPushButton *Button1, *Button2;

 private:
  void bandChosen();
  void storeChoice();
  void updateControls();

  QStringList names_;    // the cross bands, in list order
  QStringList sources_;  // their data sources
  bool showing_ = false;
};

}  // namespace designer

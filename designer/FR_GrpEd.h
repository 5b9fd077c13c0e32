#pragma once
// The condition of a group header band.
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace report {
class TfrBandView;
class TfrReportDesigner;
}  // namespace report

namespace designer {

class TfrGroupEditorForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrGroupEditorForm(QWidget *parent = nullptr);

  // The database field picker behind SB1: true with a chosen field, which
  // then replaces the condition text. SB1 is disabled while it is unset.
  std::function<bool(QString &field)> PickField;

  // Shows the band's condition. On OK calls the designer's BeforeChange
  // (when given) and stores Edit1's text as the condition; true then.
  // Cancel leaves the band alone.
  bool ShowEditor(report::TfrBandView &band, report::TfrReportDesigner *designer);

  QLabel *Label1;
  QLineEdit *Edit1;
  QToolButton *SB1;
  QPushButton *Button1, *Button2;

 protected:
  void showEvent(QShowEvent *e) override;
  // OK is refused while the condition cannot be evaluated (frConditionAccepted).
  void done(int result) override;
};

}  // namespace designer

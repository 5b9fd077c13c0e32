#pragma once
// The object inspector: a stay-on-top tool window listing properties of the
// selected objects as rows of name and value. A value is edited in place and
// stored once, on Enter or when the focus leaves; a row may open an editor
// dialog instead. The designer builds the rows, owns the value texts, greys
// rows that do not apply and hears every change through OnModify.
#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;

namespace report {
class TfrView;
class TfrSpeedButton;
}  // namespace report

namespace designer {

// Base of the dialogs a row opens: View is the object edited.
class TPropEditor : public QDialog {
  Q_OBJECT
 public:
  explicit TPropEditor(QWidget *parent = nullptr) : QDialog(parent) {}
  report::TfrView *View = nullptr;
  // Shows the dialog modally; the modal result.
  virtual int ShowEditor() { return exec(); }
};

// One row's data: the value text (owned by the designer), its editor if any.
struct TProp {
  TProp(QString *value, bool hasEditor, TPropEditor *editor) : Value(value), HasEditor(hasEditor), Editor(editor) {}
  QString *Value;
  bool HasEditor;
  TPropEditor *Editor;
  bool Enabled = true;
};

class TfrInspPaintBox;

class TfrInspForm : public QWidget {
  Q_OBJECT
 public:
  explicit TfrInspForm(QWidget *parent = nullptr);
  ~TfrInspForm() override;

  void ClearProperties();
  void AddProperty(const QString &name, QString *value, bool hasEditor = false, TPropEditor *editor = nullptr);
  // Gives an editor row its dialog.
  void SetEditor(int row, TPropEditor *editor);
  // The selection changed: no current row, repaint.
  void ItemsChanged();
  void EnableItem(int row, bool enabled);
  int Count() const { return static_cast<int>(rows_.size()); }
  const QString &RowName(int row) const { return rows_[static_cast<size_t>(row)].first; }
  const TProp &Row(int row) const { return rows_[static_cast<size_t>(row)].second; }
  int CurItem() const { return cur_; }
  void SetCurItem(int row);
  int RowHeight() const { return rowHeight_; }
  int Split() const { return split_; }
  // Stores a pending modification of the current plain row (Enter, leaving).
  void StoreEdit();
  // Opens the current row's editor.
  void OpenEditor();

  std::function<void(int row, const QString &value)> OnModify;
  report::TfrView *CurObject = nullptr;  // handed to editors

  QWidget *Panel1;
  QWidget *PaintBox1;  // the rows
  QLineEdit *Edit1;
  report::TfrSpeedButton *SpeedButton1;

 protected:
  void resizeEvent(QResizeEvent *e) override;
  void showEvent(QShowEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  friend class TfrInspPaintBox;
  void paintRows(class QPainter &p);
  void placeEdit();
  void clicked(int y);

  std::vector<std::pair<QString, TProp>> rows_;
  int cur_ = -1;
  int rowHeight_ = 0;
  int split_ = 0;
  bool busy_ = false;
};

}  // namespace designer

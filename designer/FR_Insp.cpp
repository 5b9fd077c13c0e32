#include "designer/FR_Insp.h"

#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace designer {

// The rows' area: paints the rows and selects one by a click.
class TfrInspPaintBox : public QWidget {
 public:
  explicit TfrInspPaintBox(TfrInspForm *form, QWidget *parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("PaintBox1"));
  }

 protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    form_->paintRows(p);
  }
  void mousePressEvent(QMouseEvent *e) override { form_->clicked(e->position().toPoint().y()); }

 private:
  TfrInspForm *form_;
};

namespace {

constexpr int kMaxValue = 255;  // a value is a short string
const QColor kNavy(0x00, 0x00, 0x80);

}  // namespace

TfrInspForm::TfrInspForm(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("frInspForm"));
  setWindowTitle(report::frLoadStr(53050));
  setAttribute(Qt::WA_ShowWithoutActivating);
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPointSize(8);
  setFont(f);
  rowHeight_ = 5 + QFontMetrics(f).height();
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  PaintBox1 = new TfrInspPaintBox(this, Panel1);
  Edit1 = new QLineEdit(PaintBox1);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setFrame(false);
  Edit1->setMaxLength(kMaxValue);
  Edit1->hide();
  Edit1->installEventFilter(this);
  SpeedButton1 = new report::TfrSpeedButton(PaintBox1);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(QStringLiteral("..."));
  SpeedButton1->setFixedSize(14, 14);
  SpeedButton1->hide();
  connect(SpeedButton1, &QAbstractButton::clicked, this, [this] { OpenEditor(); });
  // Enter and the focus leaving both end an edit; the second finds nothing pending.
  connect(Edit1, &QLineEdit::editingFinished, this, [this] { StoreEdit(); });
  resize(184, 8 * rowHeight_ + 8);
}

// The edit outlives this part of the object while the widget base is torn
// down, and losing the focus then would finish an edit on a freed inspector.
TfrInspForm::~TfrInspForm() {
  Edit1->removeEventFilter(this);
  QObject::disconnect(Edit1, nullptr, this, nullptr);
}

void TfrInspForm::ClearProperties() {
  rows_.clear();
  cur_ = -1;
  placeEdit();
  PaintBox1->update();
}

void TfrInspForm::AddProperty(const QString &name, QString *value, bool hasEditor, TPropEditor *editor) {
  rows_.emplace_back(name, TProp(value, hasEditor, editor));
  PaintBox1->update();
}

void TfrInspForm::SetEditor(int row, TPropEditor *editor) {
  if (row < 0 || row >= Count()) return;
  TProp &p = rows_[static_cast<size_t>(row)].second;
  p.HasEditor = true;
  p.Editor = editor;
}

void TfrInspForm::ItemsChanged() {
  cur_ = -1;
  placeEdit();
  PaintBox1->update();
}

void TfrInspForm::EnableItem(int row, bool enabled) {
  if (row < 0 || row >= Count()) return;
  rows_[static_cast<size_t>(row)].second.Enabled = enabled;
  if (!enabled && row == cur_) cur_ = -1, placeEdit();
  PaintBox1->update();
}

void TfrInspForm::SetCurItem(int row) {
  if (row < -1 || row >= Count() || (row >= 0 && !Row(row).Enabled)) return;
  if (row != cur_) StoreEdit();
  cur_ = row;
  placeEdit();
  PaintBox1->update();
}

void TfrInspForm::placeEdit() {
  const bool on = cur_ >= 0 && cur_ < Count();
  Edit1->setVisible(on);
  SpeedButton1->setVisible(on && Row(cur_).HasEditor);
  if (!on) return;
  const TProp &p = Row(cur_);
  const int y = cur_ * rowHeight_;
  Edit1->setGeometry(split_ + 2, y + 2, std::max(1, PaintBox1->width() - split_ - 4 - (p.HasEditor ? 16 : 0)),
                     rowHeight_ - 3);
  QSignalBlocker block(Edit1);
  Edit1->setText(p.HasEditor ? QStringLiteral("(") + RowName(cur_) + QLatin1Char(')') : *p.Value);
  Edit1->setReadOnly(p.HasEditor);
  Edit1->setModified(false);
  Edit1->selectAll();
  SpeedButton1->move(PaintBox1->width() - 16, y + (rowHeight_ - 14) / 2);
}

void TfrInspForm::clicked(int y) {
  if (busy_) return;
  const int row = y / rowHeight_;
  if (row < 0 || row >= Count() || !Row(row).Enabled) return;
  SetCurItem(row);
  Edit1->setFocus();
}

void TfrInspForm::StoreEdit() {
  if (busy_ || cur_ < 0 || cur_ >= Count() || Row(cur_).HasEditor || !Edit1->isModified()) return;
  const int row = cur_;
  TProp &p = rows_[static_cast<size_t>(row)].second;
  *p.Value = Edit1->text().left(kMaxValue);
  Edit1->setModified(false);
  busy_ = true;
  if (OnModify) OnModify(row, *p.Value);
  busy_ = false;
  // The designer may have refilled or corrected the value.
  if (cur_ >= 0 && cur_ < Count()) {
    QSignalBlocker block(Edit1);
    Edit1->setText(*rows_[static_cast<size_t>(cur_)].second.Value);
    Edit1->setModified(false);
    Edit1->selectAll();
  }
  PaintBox1->update();
}

void TfrInspForm::OpenEditor() {
  if (busy_ || cur_ < 0 || cur_ >= Count()) return;
  const TProp &p = Row(cur_);
  if (!p.HasEditor || !p.Editor) return;
  p.Editor->View = CurObject;
  const int row = cur_;
  busy_ = true;
  const bool ok = p.Editor->ShowEditor() == QDialog::Accepted;
  busy_ = false;
  if (ok && OnModify) OnModify(row, QString());
}

bool TfrInspForm::eventFilter(QObject *o, QEvent *e) {
  if (o == Edit1 && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(e)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      int row = cur_ + (key == Qt::Key_Up ? -1 : 1);
      while (row >= 0 && row < Count() && !Row(row).Enabled) row += key == Qt::Key_Up ? -1 : 1;
      if (row >= 0 && row < Count()) SetCurItem(row);
      return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && cur_ >= 0 && Row(cur_).HasEditor) {
      OpenEditor();
      return true;
    }
  }
  if (o == Edit1 && e->type() == QEvent::MouseButtonDblClick && cur_ >= 0 && Row(cur_).HasEditor) {
    OpenEditor();
    return true;
  }
  return QWidget::eventFilter(o, e);
}

void TfrInspForm::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  Panel1->setGeometry(rect());
  PaintBox1->setGeometry(Panel1->rect().adjusted(2, 2, -2, -2));
  split_ = PaintBox1->width() / 2;
  placeEdit();
}

void TfrInspForm::showEvent(QShowEvent *e) {
  QWidget::showEvent(e);
  raise();
}

void TfrInspForm::paintRows(QPainter &p) {
  const QPalette &pal = palette();
  const QRect r = PaintBox1->rect();
  p.fillRect(r, pal.color(QPalette::Button));
  p.setFont(font());
  auto drawRow = [&](int i) {
    const int y = i * rowHeight_;
    const TProp &prop = Row(i);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, y + rowHeight_ - 1, r.width(), y + rowHeight_ - 1);
    p.drawLine(split_, y, split_, y + rowHeight_ - 1);
    p.setPen(Qt::black);
    const QFontMetrics fm(font());
    p.drawText(7, y + 3 + fm.ascent(), RowName(i));
    if (i == cur_) {
      // The current row: a 3-D frame; its value shows in the edit.
      p.setPen(pal.color(QPalette::Dark));
      p.drawLine(0, y - 1, r.width(), y - 1);
      p.setPen(Qt::black);
      p.drawLine(0, y, r.width(), y);
      p.setPen(pal.color(QPalette::Light));
      p.drawLine(0, y + rowHeight_ - 1, r.width(), y + rowHeight_ - 1);
      return;
    }
    p.setPen(kNavy);
    const QString value = prop.HasEditor ? QStringLiteral("(") + RowName(i) + QLatin1Char(')') : *prop.Value;
    p.drawText(split_ + 2, y + 3 + fm.ascent(), fm.elidedText(value, Qt::ElideRight, r.width() - split_ - 4));
  };
  for (int i = 0; i < Count(); ++i)
    if (Row(i).Enabled && i != cur_) drawRow(i);
  if (cur_ >= 0 && cur_ < Count()) drawRow(cur_);
  // The sunken edge.
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(0, 0, r.width() - 1, 0);
  p.drawLine(0, 0, 0, r.height() - 1);
  p.setPen(pal.color(QPalette::Light));
  p.drawLine(r.width() - 1, 0, r.width() - 1, r.height() - 1);
  p.drawLine(0, r.height() - 1, r.width() - 1, r.height() - 1);
}

}  // namespace designer

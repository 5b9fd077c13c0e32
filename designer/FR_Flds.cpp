#include "designer/FR_Flds.h"

#include "db/dataset.h"
#include "report/data/FR_DBSet.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace designer {

using report::frLoadStr;
using report::frNamed;
using report::frSetMinWidthInChars;

namespace {

// The data set chosen last, for the whole process.
QString &lastDataSet() {
  static QString name;
  return name;
}

}  // namespace

QStringList frDataSetNames() {
  QStringList list;
  report::frGetComponents(report::frReportOwner(), db::DataSet::staticMetaObject, list);
  list.sort(Qt::CaseInsensitive);
  return list;
}

db::DataSet *frDataSetByName(const QString &name) {
  if (name.isEmpty()) return nullptr;
  return qobject_cast<db::DataSet *>(report::frFindComponent(report::frReportOwner(), name));
}

QStringList frDataSetFields(const QString &name) {
  QStringList fields;
  report::frGetFieldNames(frDataSetByName(name), fields);
  return fields;
}

TfrListPickerForm::TfrListPickerForm(const QString &name, int captionId, int labelId, QWidget *parent)
    : QDialog(parent) {
  setObjectName(name);
  setWindowTitle(frLoadStr(captionId));
  Label1 = frNamed(new QLabel(frLoadStr(labelId), this), "Label1");
  ValCombo = frNamed(new QComboBox(this), "ValCombo");
  Label1->setBuddy(ValCombo);
  ValList = frNamed(new QListWidget(this), "ValList");
  frSetMinWidthInChars(ValCombo, 30);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Label1);
  lay->addWidget(ValCombo);
  lay->addWidget(ValList, 1);
  connect(ValCombo, &QComboBox::currentIndexChanged, this, [this] { fillList(); });
  connect(ValList, &QListWidget::itemClicked, this, [this] { accept(); });
  ValList->installEventFilter(this);
  resize(sizeHint().width(), 280);
}

void TfrListPickerForm::fillGroups(const QStringList &groups, const QString &remembered) {
  {
    QSignalBlocker block(ValCombo);
    ValCombo->clear();
    ValCombo->addItems(groups);
    const int last = ValCombo->findText(remembered, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    ValCombo->setCurrentIndex(last >= 0 ? last : ValCombo->count() > 0 ? 0 : -1);
  }
  fillList();
  ValList->setFocus();
}

bool TfrListPickerForm::eventFilter(QObject *o, QEvent *e) {
  if (o == ValList && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

TfrFieldsForm::TfrFieldsForm(QWidget *parent)
    : TfrListPickerForm(QStringLiteral("frFieldsForm"), 53450, 53451, parent) {}

void TfrFieldsForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  DBField.clear();
  fillGroups(frDataSetNames(), lastDataSet());
}

void TfrFieldsForm::fillList() {
  ValList->clear();
  ValList->addItems(frDataSetFields(ValCombo->currentText()));
}

void TfrFieldsForm::done(int result) {
  if (ValCombo->currentIndex() >= 0) lastDataSet() = ValCombo->currentText();
  DBField.clear();
  const QListWidgetItem *item = ValList->currentItem();
  if (result == Accepted && item && item->isSelected())
    DBField = ValCombo->currentText() + QStringLiteral(".\"") + item->text() + QLatin1Char('"');
  QDialog::done(result);
}

void frForgetPickedDataSet() { lastDataSet().clear(); }

}  // namespace designer

#include "designer/FR_IFlds.h"

#include "db/dataset.h"
#include "designer/FR_Desgn.h"
#include "designer/FR_Flds.h"
#include "report/data/FR_DBSet.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace designer {

using report::frLoadStr;
using report::frColumn;
using report::frNamed;
using report::frOkCancelRow;
using report::frSetMinWidthInChars;

QString frDataSourceOf(const db::DataSet *dataSet) {
  if (!dataSet) return QString();
  QStringList names;
  report::frGetComponents(report::frReportOwner(), report::TfrDBDataSet::staticMetaObject, names);
  for (const QString &name : names) {
    auto *source =
        qobject_cast<report::TfrDBDataSet *>(report::frFindComponent(report::frReportOwner(), name));
    if (!source) continue;
    try {
      if (source->GetDataSet() == dataSet) return name;
    } catch (const report::EDSError &) {
      // A source without a dataset reads none.
    }
  }
  return QString();
}

TfrInsertFieldsForm::TfrInsertFieldsForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frInsertFieldsForm"));
  setWindowTitle(frLoadStr(53630));
  Label1 = frNamed(new QLabel(frLoadStr(53631), this), "Label1");
  DatasetCB = frNamed(new QComboBox(this), "DatasetCB");
  Label1->setBuddy(DatasetCB);
  frSetMinWidthInChars(DatasetCB, 30);
  FieldsL = frNamed(new QListWidget(this), "FieldsL");
  FieldsL->setSelectionMode(QAbstractItemView::ExtendedSelection);
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53632), this), "GroupBox1");
  HorzRB = frNamed(new QRadioButton(frLoadStr(53633), GroupBox1), "HorzRB");
  VertRB = frNamed(new QRadioButton(frLoadStr(53634), GroupBox1), "VertRB");
  HorzRB->setChecked(true);
  HeaderCB = frNamed(new QCheckBox(frLoadStr(53635), this), "HeaderCB");
  BandCB = frNamed(new QCheckBox(frLoadStr(53636), this), "BandCB");
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  connect(DatasetCB, &QComboBox::currentIndexChanged, this, [this] { fillFields(); });

  frColumn(GroupBox1, {HorzRB, VertRB});
  auto *side = new QVBoxLayout;
  side->addWidget(GroupBox1);
  side->addWidget(HeaderCB);
  side->addWidget(BandCB);
  side->addStretch();
  auto *left = new QVBoxLayout;
  left->addWidget(Label1);
  left->addWidget(DatasetCB);
  left->addWidget(FieldsL, 1);
  auto *top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addLayout(side);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(top, 1);
  lay->addLayout(buttons);
  resize(sizeHint().width(), 300);
}

void TfrInsertFieldsForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  {
    QSignalBlocker block(DatasetCB);
    DatasetCB->clear();
    DatasetCB->addItems(frDataSetNames());
    DatasetCB->setCurrentIndex(DatasetCB->count() > 0 ? 0 : -1);
  }
  fillFields();
}

void TfrInsertFieldsForm::fillFields() {
  DataSet = frDataSetByName(DatasetCB->currentText());
  FieldsL->clear();
  QStringList names;
  report::frGetFieldNames(DataSet, names);
  FieldsL->addItems(names);
}

namespace {

// The value of a field's type that prints widest. Texts are taken as digits (codes,
// serials): proportional letters of a full-length text would make the column absurdly wide.
report::Variant longestValue(const db::Field &field) {
  using db::FieldType;
  using report::Variant;
  const QDate day(2088, 12, 28);
  const QTime time(23, 58, 58);
  switch (field.type()) {
    case FieldType::Text:
    case FieldType::FixedText:
      return Variant(QString(field.size() > 0 && field.size() < 256 ? field.size() : 6, QLatin1Char('0')));
    case FieldType::SmallInt: return Variant(int(std::numeric_limits<qint16>::min()));
    case FieldType::Integer: return Variant(std::numeric_limits<qint32>::min());
    case FieldType::BigInt: return Variant::FromInt64(std::numeric_limits<qint64>::min());
    case FieldType::Numeric: {
      // All digits of the storage, the scale of them after the separator.
      const int digits = field.size() <= 2 ? 4 : field.size() <= 4 ? 9 : 18;
      const int scale = std::abs(field.scale());
      return Variant(-(std::pow(10.0, digits) - 1) / std::pow(10.0, scale));
    }
    case FieldType::Float: return Variant(-1234567.25);         // single precision: 7 digits
    case FieldType::Double: return Variant(-123456789012.345);  // 15 significant digits
    case FieldType::Date: return Variant::DateTime(report::frDateValue(day));
    case FieldType::Time: return Variant::DateTime(report::frTimeValue(time));
    case FieldType::Timestamp: return Variant::DateTime(report::frDateValue(day) + report::frTimeValue(time));
    case FieldType::Boolean: return Variant(false);
    default: return Variant::Null();
  }
}

}  // namespace

bool TfrInsertFieldsForm::Choice(TfrInsertFieldsChoice &c) const {
  // The data set is looked up again: it may have gone while the dialog was open.
  db::DataSet *ds = frDataSetByName(DatasetCB->currentText());
  if (!ds || ds != DataSet || FieldsL->count() == 0 || FieldsL->selectedItems().isEmpty()) return false;
  c = TfrInsertFieldsChoice();
  c.DataSet = DatasetCB->currentText();
  c.DataSource = frDataSourceOf(ds);
  for (int i = 0; i < FieldsL->count(); ++i) {
    if (!FieldsL->item(i)->isSelected()) continue;
    TfrInsertField f;
    f.Name = FieldsL->item(i)->text();
    // The field's size stands for its display width: characters of a text
    // column, bytes of others.
    if (const db::Field *field = ds->findField(f.Name)) {
      f.DisplayWidth = field->size();
      f.Longest = longestValue(*field);
    }
    c.Fields.push_back(f);
  }
  c.Horizontal = HorzRB->isChecked();
  c.Headers = HeaderCB->isChecked();
  c.Bands = BandCB->isChecked();
  return true;
}

}  // namespace designer

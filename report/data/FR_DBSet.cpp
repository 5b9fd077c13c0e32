#include "report/data/FR_DBSet.h"

#include "db/dataset.h"
#include "platform/error_text.h"
#include "report/logging.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace report {

TfrDBDataSet::TfrDBDataSet(QObject *owner) : TfrDataset(owner) {}
TfrDBDataSet::~TfrDBDataSet() = default;

void TfrDBDataSet::SetDataSet(db::DataSet *ds) {
  dataSet_ = ds;
  dataSource_ = nullptr;
}

void TfrDBDataSet::SetDataSource(db::DataSource *source) {
  dataSource_ = source;
  if (source) dataSet_ = nullptr;
}

db::DataSet *TfrDBDataSet::GetDataSet() const {
  if (dataSource_ && dataSource_->dataSet()) return dataSource_->dataSet();
  if (dataSet_) return dataSet_;
  throw EDSError(QStringLiteral("Unable to open dataset ") + objectName());
}

void TfrDBDataSet::Init() {
  db::DataSet *ds = GetDataSet();
  if (OpenDataSource && !ds->active()) ds->open();
  if (OnOpen) OnOpen(this);
  bookmark_ = frGetBookmark(ds);
  hasBookmark_ = true;
  endMark_ = false;
}

void TfrDBDataSet::Exit() {
  if (hasBookmark_) {
    if (RangeBegin == rbCurrent || RangeEnd == reCurrent) frGotoBookmark(GetDataSet(), bookmark_);
    frFreeBookmark(dataSet_, bookmark_);
    hasBookmark_ = false;
  }
  if (OnClose) OnClose(this);
  if (CloseDataSource) GetDataSet()->close();
}

void TfrDBDataSet::First() {
  db::DataSet *ds = GetDataSet();
  if (RangeBegin == rbCurrent && hasBookmark_)
    frGotoBookmark(ds, bookmark_);
  else
    ds->first();
  endMark_ = false;
  TfrDataset::First();
}

void TfrDBDataSet::Next() {
  db::DataSet *ds = GetDataSet();
  endMark_ = false;
  if (RangeEnd == reCurrent) {
    // The range ends with the record that was current at Init. From the
    // first record the dataset moves on until it reaches that record.
    const TfrBookmark here = frGetBookmark(ds);
    const bool atEnd = hasBookmark_ && frBookmarksEqual(ds, here, bookmark_);
    frFreeBookmark(ds, here);
    if (atEnd) {
      endMark_ = true;
      return;
    }
  }
  ds->next();
  TfrDataset::Next();
}

bool TfrDBDataSet::Eof() {
  const bool inherited = TfrDataset::Eof();
  return inherited || GetDataSet()->eof() || endMark_;
}

bool frIsBlobField(const db::Field *field) { return field && field->type() == db::FieldType::Blob; }

void frGetFieldNames(db::DataSet *ds, QStringList &list) {
  if (ds) list.append(ds->fieldNames());
}

TfrBookmark frGetBookmark(db::DataSet *ds) { return ds && ds->active() ? ds->recNo() : 0; }

void frGotoBookmark(db::DataSet *ds, TfrBookmark bookmark) {
  if (ds && ds->active() && bookmark > 0 && bookmark <= ds->recordCount()) ds->setRecNo(bookmark);
}

void frFreeBookmark(db::DataSet *, TfrBookmark) {}

bool frBookmarksEqual(db::DataSet *, TfrBookmark b1, TfrBookmark b2) { return b1 == b2; }

db::DataSet *frDataSetOf(QObject *component) {
  if (auto *source = qobject_cast<db::DataSource *>(component)) return source->dataSet();
  return qobject_cast<db::DataSet *>(component);
}

int frGoverningDataBand(int bandType) {
  switch (bandType) {
    case 1: case 5: case 6: case 16: case 17: return 5;
    case 8: case 9: return 8;
    case 11: case 12: return 11;
    case 19: case 20: return 19;
    default: return -1;
  }
}

db::DataSet *frActiveDataSet(TfrDataset *source) {
  auto *dbSource = qobject_cast<TfrDBDataSet *>(source);
  if (!dbSource) return nullptr;
  try {
    return dbSource->GetDataSet();
  } catch (const EDSError &) {
    platform::logCaught(lcReport(), QStringLiteral("the active data set"));
    return nullptr;
  }
}

namespace {

// Splits at the dots that stand before the field part; a quoted field name may
// hold dots of its own.
QStringList splitName(const QString &name) {
  QStringList parts;
  int start = 0;
  for (int i = 0; i < name.size(); ++i) {
    if (name[i] == u'"') break;
    if (name[i] == u'.') {
      parts.append(name.mid(start, i - start));
      start = i + 1;
    }
  }
  parts.append(name.mid(start));
  return parts;
}

}  // namespace

void frGetDataSetAndField(const QString &name, db::DataSet *&dataSet, db::Field *&field) {
  field = nullptr;
  const QStringList parts = splitName(name);
  QString fieldName = parts.last();
  frStripQuotes(fieldName);
  if (parts.size() == 3) {
    dataSet = frDataSetOf(frFindComponent(frFindGlobalComponent(parts[0]), parts[1]));
  } else if (parts.size() == 2) {
    dataSet = frDataSetOf(frFindReportComponent(parts[0]));
  } else if (parts.size() > 3) {
    dataSet = nullptr;
  }
  if (dataSet && dataSet->active()) field = dataSet->findField(fieldName);
}

Variant frFieldValue(const db::Field &field) {
  if (field.isNull()) return Variant::Null();
  const QVariant v = field.value();
  switch (v.typeId()) {
    case QMetaType::QString:
      return Variant(v.toString());
    case QMetaType::LongLong:
      return Variant::FromInt64(v.toLongLong());
    case QMetaType::Double:
      return Variant(v.toDouble());
    case QMetaType::Bool:
      return Variant(v.toBool());
    case QMetaType::QDate:
      return Variant::DateTime(frDateValue(v.toDate()));
    case QMetaType::QTime:
      return Variant::DateTime(frTimeValue(v.toTime()));
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      return Variant::DateTime(frDateValue(dt.date()) + frTimeValue(dt.time()));
    }
    default:
      break;
  }
  if (v.canConvert<db::Decimal>()) return Variant(field.asFloat());
  return Variant(field.asString());
}

}  // namespace report

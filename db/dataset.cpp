#include "db/dataset.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/fb_internal.h"
#include "db/transaction.h"
#include "platform/conv.h"
#include "platform/cp1250.h"

#include <cmath>
#include <cstring>

namespace db {

using namespace Firebird;

namespace {

constexpr std::size_t kRowsPerBlock = 512;
// Rows fetched at open and by each further step: a grid's screenful and more,
// small enough that opening a large result costs little beyond executing it.
constexpr std::size_t kFetchBatch = 200;

FieldType fieldType(unsigned sqlType, int scale) {
  switch (sqlType) {
    case SQL_VARYING: return FieldType::Text;
    case SQL_TEXT: return FieldType::FixedText;
    case SQL_SHORT: return scale < 0 ? FieldType::Numeric : FieldType::SmallInt;
    case SQL_LONG: return scale < 0 ? FieldType::Numeric : FieldType::Integer;
    case SQL_INT64: return scale < 0 ? FieldType::Numeric : FieldType::BigInt;
    case SQL_FLOAT: return FieldType::Float;
    case SQL_DOUBLE: return FieldType::Double;
    case SQL_TYPE_DATE: return FieldType::Date;
    case SQL_TYPE_TIME: return FieldType::Time;
    case SQL_TIMESTAMP: return FieldType::Timestamp;
    case SQL_BOOLEAN: return FieldType::Boolean;
    case SQL_BLOB: return FieldType::Blob;
    default: return FieldType::Other;
  }
}

// Texts as the class library's field conversions give them, on the
// process-wide regional settings (decimal comma, yyyy.mm.dd).
QString variantText(const QVariant &v) {
  if (v.isNull()) return QString();
  if (v.userType() == qMetaTypeId<Decimal>())
    return v.value<Decimal>().toString(platform::regional().decimalSeparator, true);
  switch (v.typeId()) {
    case QMetaType::Double: return platform::FloatToStr(v.toDouble());
    case QMetaType::QDate: return platform::DateToStr(v.toDate());
    case QMetaType::QDateTime: return platform::DateTimeToStr(v.toDateTime());
    case QMetaType::QTime: return platform::TimeToStr(v.toTime());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
  }
}

double parseFloat(const QString &text) {
  try {
    return static_cast<double>(platform::StrToFloat(text));
  } catch (const platform::ConvertError &e) {
    throw Error(e.message());
  }
}

QDate parseDate(const QString &text) {
  try {
    return platform::StrToDate(text);
  } catch (const platform::ConvertError &e) {
    throw Error(e.message());
  }
}

// The tables a detailed plan reads ('Table "NAME"' lines, views resolved to
// their tables); false when it calls a procedure or names no table.
bool planTables(const char *plan, QStringList &tables) {
  const std::string_view text(plan);
  if (text.find("Procedure \"") != std::string_view::npos) return false;
  constexpr std::string_view mark = "Table \"";
  for (std::size_t at = text.find(mark); at != std::string_view::npos; at = text.find(mark, at)) {
    at += mark.size();
    const std::size_t end = text.find('"', at);
    if (end == std::string_view::npos) return false;
    const QString name = platform::fromCp1250(text.substr(at, end - at));
    if (!tables.contains(name)) tables << name;
    at = end + 1;
  }
  return !tables.isEmpty();
}

}  // namespace

// ---------------------------------------------------------------- SqlLines

void SqlLines::clear() {
  lines_.clear();
  ++version_;
}

void SqlLines::add(const QString &line) {
  lines_.append(line);
  ++version_;
}

void SqlLines::setText(const QString &text) {
  lines_ = text.split(QLatin1Char('\n'));
  ++version_;
}

// ---------------------------------------------------------------- Param

void Param::setString(const QString &v) {
  kind_ = Kind::String;
  string_ = v;
}
void Param::setFloat(double v) {
  kind_ = Kind::Float;
  float_ = v;
}
void Param::setInteger(std::int64_t v) {
  kind_ = Kind::Integer;
  integer_ = v;
}
void Param::setDecimal(const Decimal &v) {
  kind_ = Kind::Decimal;
  decimal_ = v;
}
void Param::setDateTime(const QDateTime &v) {
  kind_ = Kind::DateTime;
  dateTime_ = v;
}
void Param::setDate(const QDate &v) {
  kind_ = Kind::Date;
  date_ = v;
}
void Param::setNull() { kind_ = Kind::Null; }

void Param::setValue(const QVariant &v) {
  if (v.isNull()) return setNull();
  if (v.userType() == qMetaTypeId<Decimal>()) return setDecimal(v.value<Decimal>());
  switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: return setFloat(v.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: return setInteger(v.toLongLong());
    case QMetaType::QDate: return setDate(v.toDate());
    case QMetaType::QDateTime: return setDateTime(v.toDateTime());
    case QMetaType::Bool: return setString(v.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    default: return setString(v.toString());
  }
}

// ---------------------------------------------------------------- Field

bool Field::isNumeric() const {
  switch (type_) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::BigInt:
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Double: return true;
    default: return false;
  }
}

bool Field::nullIn(const unsigned char *row) const {
  return *reinterpret_cast<const short *>(row + nullOffset_) != 0;
}

QString Field::text(const unsigned char *row) const {
  const unsigned char *p = row + offset_;
  if (sqlType_ == SQL_VARYING) {
    unsigned short len = *reinterpret_cast<const unsigned short *>(p);
    return platform::fromCp1250(std::string_view(reinterpret_cast<const char *>(p + 2), len));
  }
  return platform::fromCp1250(std::string_view(reinterpret_cast<const char *>(p), length_));
}

QVariant Field::decode(const unsigned char *row) const {
  if (nullIn(row)) return QVariant();
  const unsigned char *p = row + offset_;
  auto integer = [&]() -> std::int64_t {
    switch (sqlType_) {
      case SQL_SHORT: return *reinterpret_cast<const std::int16_t *>(p);
      case SQL_LONG: return *reinterpret_cast<const std::int32_t *>(p);
      default: return *reinterpret_cast<const std::int64_t *>(p);
    }
  };
  switch (type_) {
    case FieldType::Text:
    case FieldType::FixedText: return text(row);
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::BigInt: return QVariant::fromValue<qint64>(integer());
    case FieldType::Numeric: return QVariant::fromValue(Decimal(integer(), scale_));
    case FieldType::Float: return static_cast<double>(*reinterpret_cast<const float *>(p));
    case FieldType::Double: return *reinterpret_cast<const double *>(p);
    case FieldType::Date: return fb::decodeDate(*reinterpret_cast<const ISC_DATE *>(p));
    case FieldType::Time: return fb::decodeTime(*reinterpret_cast<const ISC_TIME *>(p));
    case FieldType::Timestamp: {
      const auto *ts = reinterpret_cast<const ISC_TIMESTAMP *>(p);
      return QDateTime(fb::decodeDate(ts->timestamp_date), fb::decodeTime(ts->timestamp_time));
    }
    case FieldType::Boolean: return *p != 0;
    default: return QVariant();
  }
}

bool Field::isNull() const {
  if (const auto &pending = dataSet_->pending_; !pending.empty() && pending[index_])
    return pending[index_]->isNull();
  const unsigned char *row = dataSet_->currentRow();
  return !row || nullIn(row);
}

QVariant Field::value() const {
  if (const auto &pending = dataSet_->pending_; !pending.empty() && pending[index_]) return *pending[index_];
  const unsigned char *row = dataSet_->currentRow();
  return row ? decode(row) : QVariant();
}

QString Field::asString() const {
  const unsigned char *row = dataSet_->currentRow();
  if (dataSet_->pending_.empty() && row && (type_ == FieldType::Text || type_ == FieldType::FixedText))
    return nullIn(row) ? QString() : text(row);
  return variantText(value());
}

double Field::asFloat() const {
  // Numbers of the current row are read straight from the row buffer.
  if (const unsigned char *row = dataSet_->currentRow(); row && dataSet_->pending_.empty()) {
    if (nullIn(row)) return 0;
    const unsigned char *p = row + offset_;
    switch (type_) {
      case FieldType::Double: return *reinterpret_cast<const double *>(p);
      case FieldType::Float: return *reinterpret_cast<const float *>(p);
      case FieldType::Numeric:
        if (sqlType_ == SQL_INT64) return Decimal(*reinterpret_cast<const std::int64_t *>(p), scale_).toDouble();
        break;
      case FieldType::BigInt: return static_cast<double>(*reinterpret_cast<const std::int64_t *>(p));
      case FieldType::Integer: return *reinterpret_cast<const std::int32_t *>(p);
      default: break;
    }
  }
  QVariant v = value();
  if (v.isNull()) return 0;
  if (v.userType() == qMetaTypeId<Decimal>()) return v.value<Decimal>().toDouble();
  switch (v.typeId()) {
    case QMetaType::QString: return parseFloat(v.toString());
    case QMetaType::QDate: return static_cast<double>(v.toDate().toJulianDay() - 2415019);
    case QMetaType::QDateTime: {
      QDateTime dt = v.toDateTime();
      return static_cast<double>(dt.date().toJulianDay() - 2415019) + dt.time().msecsSinceStartOfDay() / 86400000.0;
    }
    default: return v.toDouble();
  }
}

std::int64_t Field::asInteger() const {
  QVariant v = value();
  if (v.isNull()) return 0;
  if (v.userType() == qMetaTypeId<Decimal>()) return v.value<Decimal>().rescaled(0).units();
  switch (v.typeId()) {
    case QMetaType::LongLong: return v.toLongLong();
    case QMetaType::Double: return std::llround(v.toDouble());
    case QMetaType::QString: {
      bool ok = false;
      qint64 i = v.toString().trimmed().toLongLong(&ok);
      if (!ok) throw Error(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
      return i;
    }
    default: throw Error(QStringLiteral("Field '%1' cannot be read as an integer").arg(name_));
  }
}

Decimal Field::asDecimal() const {
  if (const unsigned char *row = dataSet_->currentRow();
      row && dataSet_->pending_.empty() && type_ == FieldType::Numeric && sqlType_ == SQL_INT64)
    return nullIn(row) ? Decimal(0, scale_) : Decimal(*reinterpret_cast<const std::int64_t *>(row + offset_), scale_);
  QVariant v = value();
  if (v.isNull()) return Decimal(0, scale_);
  if (v.userType() == qMetaTypeId<Decimal>()) return v.value<Decimal>();
  switch (v.typeId()) {
    case QMetaType::LongLong: return Decimal(v.toLongLong(), 0);
    case QMetaType::Double: return Decimal::fromDouble(v.toDouble(), 4);
    case QMetaType::QString: {
      auto d = Decimal::parse(v.toString(), platform::regional().decimalSeparator, 4);
      if (!d) throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
      return *d;
    }
    default: throw Error(QStringLiteral("Field '%1' cannot be read as a number").arg(name_));
  }
}

QDateTime Field::asDateTime() const {
  QVariant v = value();
  switch (v.typeId()) {
    case QMetaType::QDate: return QDateTime(v.toDate(), QTime(0, 0));
    case QMetaType::QDateTime: return v.toDateTime();
    case QMetaType::QString: return QDateTime(parseDate(v.toString()), QTime(0, 0));
    default:
      if (v.isNull()) return QDateTime();
      throw Error(QStringLiteral("Field '%1' cannot be read as a date").arg(name_));
  }
}

QDate Field::asDate() const { return asDateTime().date(); }

void Field::setValue(const QVariant &v) {
  if (dataSet_->state() != DataSet::State::Edit)
    throw Error(QStringLiteral("Dataset not in edit or insert mode"));
  QVariant stored = v;
  // Keep the value in the column's own kind, so reading it back before the
  // post gives what the database will hold.
  if (!v.isNull() && v.typeId() == QMetaType::QString) {
    const QString s = v.toString();
    switch (type_) {
      case FieldType::SmallInt:
      case FieldType::Integer:
      case FieldType::BigInt: {
        bool ok = false;
        qint64 i = s.trimmed().toLongLong(&ok);
        if (!ok) throw Error(QStringLiteral("'%1' is not a valid integer value").arg(s));
        stored = QVariant::fromValue<qint64>(i);
        break;
      }
      case FieldType::Numeric: {
        auto d = Decimal::parse(s, platform::regional().decimalSeparator, scale_);
        if (!d) throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(s));
        stored = QVariant::fromValue(*d);
        break;
      }
      case FieldType::Float:
      case FieldType::Double: stored = parseFloat(s); break;
      case FieldType::Date: stored = parseDate(s); break;
      case FieldType::Timestamp: stored = QDateTime(parseDate(s), QTime(0, 0)); break;
      default: break;
    }
  }
  dataSet_->pending_[index_] = stored;
}

void Field::setAsString(const QString &v) { setValue(v); }
void Field::setAsFloat(double v) { setValue(v); }
void Field::setAsInteger(std::int64_t v) { setValue(QVariant::fromValue<qint64>(v)); }
void Field::setAsDecimal(const Decimal &v) { setValue(QVariant::fromValue(v)); }
void Field::setAsDateTime(const QDateTime &v) { setValue(v); }
void Field::setAsDate(const QDate &v) { setValue(v); }
void Field::setNull() { setValue(QVariant()); }

// ---------------------------------------------------------------- DataSet

DataSet::DataSet(QObject *parent) : QObject(parent) {}

DataSet::~DataSet() {
  closeCursor();
  if (transaction_) transaction_->detach(this);
}

void DataSet::setTransaction(Transaction *t) {
  if (t == transaction_) return;
  close();
  if (transaction_) transaction_->detach(this);
  transaction_ = t;
  if (transaction_) transaction_->attach(this);
}

void DataSet::open() { throw Error(QStringLiteral("%1: dataset cannot be opened").arg(objectName())); }

void DataSet::close() {
  if (state_ == State::Inactive) return;
  pending_.clear();
  closeCursor();
  readOnPending_ = false;
  clearRows();
  setState(State::Inactive);
  emit closed();
  emit currentRowChanged(0);
}

void DataSet::closedByTransaction() { close(); }

void DataSet::setState(State s) {
  if (s == state_) return;
  state_ = s;
  emit stateChanged();
}

void DataSet::setLayout(IMessageMetadata *outMeta) {
  fb::Status st;
  outMeta->addRef();
  outMeta_.reset(outMeta);
  unsigned n = outMeta->getCount(&st);
  st.check();
  // Field objects are kept across a reopen, so references callers hold to
  // them stay valid while the statement's columns are the same.
  if (fields_.size() > n) fields_.resize(n);
  while (fields_.size() < n) fields_.push_back(std::make_unique<Field>());
  for (unsigned i = 0; i < n; ++i) {
    Field *f = fields_[i].get();
    f->dataSet_ = this;
    f->index_ = static_cast<int>(i);
    f->name_ = platform::fromCp1250(std::string_view(outMeta->getAlias(&st, i)));
    f->relation_ = platform::fromCp1250(std::string_view(outMeta->getRelation(&st, i)));
    f->sqlType_ = outMeta->getType(&st, i);
    int scale = outMeta->getScale(&st, i);
    f->scale_ = scale < 0 ? -scale : 0;
    f->type_ = fieldType(f->sqlType_, scale);
    f->length_ = outMeta->getLength(&st, i);
    f->offset_ = outMeta->getOffset(&st, i);
    f->nullOffset_ = outMeta->getNullOffset(&st, i);
    st.check();
  }
  unsigned len = outMeta->getMessageLength(&st);
  st.check();
  rowSize_ = (static_cast<std::size_t>(len) + 7) & ~std::size_t(7);
}

void DataSet::clearRows() {
  closeCursor();
  blocks_.clear();
  rowCount_ = 0;
  slack_ = 0;
  current_ = 0;
  eof_ = bof_ = true;
}

unsigned char *DataSet::appendRow() {
  std::size_t block = (rowCount_ + slack_) / kRowsPerBlock;
  if (block == blocks_.size())
    blocks_.push_back(std::unique_ptr<unsigned char[]>(new unsigned char[rowSize_ * kRowsPerBlock]));
  return rowData(rowCount_++);
}

void DataSet::dropLastRow() {
  if (rowCount_) --rowCount_;
}

unsigned char *DataSet::prependRow() {
  if (slack_ == 0) {
    blocks_.insert(blocks_.begin(),
                   std::unique_ptr<unsigned char[]>(new unsigned char[rowSize_ * kRowsPerBlock]));
    slack_ = kRowsPerBlock;
  }
  --slack_;
  // The current row stays the same row; into an empty dataset the first row
  // put in front becomes the current one, then the last.
  if (rowCount_++) {
    ++current_;
    bof_ = false;
  } else {
    current_ = 0;
    eof_ = bof_ = false;
  }
  return rowData(0);
}

unsigned char *DataSet::rowData(std::size_t row) const {
  row += slack_;
  return blocks_[row / kRowsPerBlock].get() + (row % kRowsPerBlock) * rowSize_;
}

const unsigned char *DataSet::currentRow() const {
  if (!rowCount_) return nullptr;
  return rowData(static_cast<std::size_t>(current_));
}

void DataSet::openStatement(IStatement *statement, IMessageMetadata *inMeta, const unsigned char *inBuffer) {
  if (!transaction_) throw Error(QStringLiteral("%1: no transaction").arg(objectName()));
  close();
  ITransaction *tra = transaction_->handle();
  fb::Status st;
  {
    const fb::Owned<IMessageMetadata> outMeta(statement->getOutputMetadata(&st));
    st.check();
    setLayout(outMeta.get());
  }
  clearRows();
  readOnPending_ = false;
  IResultSet *rs = statement->openCursor(&st, tra, inMeta, const_cast<unsigned char *>(inBuffer), outMeta_.get(), 0);
  cursor_.reset(st.failed() ? nullptr : rs);
  st.check();
  try {
    fetchTo(firstBatch_);
  } catch (...) {
    closeCursor();
    clearRows();
    throw;
  }
  readTables_.clear();
  readTablesKnown_ = false;
  if (cursor_) {
    const char *plan = statement->getPlan(&st, true);
    readTablesKnown_ = !st.failed() && plan && planTables(plan, readTables_);
    st.clear();
  }
  current_ = 0;
  bof_ = true;
  eof_ = rowCount_ == 0;
  setState(State::Browse);
  emit opened();
  emit currentRowChanged(recNo());
}

void DataSet::continueStatement(IStatement *statement, IMessageMetadata *inMeta, const unsigned char *inBuffer) {
  fb::Status st;
  IResultSet *rs = statement->openCursor(&st, transaction_->handle(), inMeta, const_cast<unsigned char *>(inBuffer),
                                         outMeta_.get(), 0);
  cursor_.reset(st.failed() ? nullptr : rs);
  st.check();
}

void DataSet::closeCursor() {
  if (!cursor_) return;
  // Taken first: whatever the close leads to sees no cursor.
  fb::Owned<IResultSet> rs = std::move(cursor_);
  fb::Status st;
  rs->close(&st);
  rs.ended(st);
}

bool DataSet::fetchTo(std::size_t rows) const {
  if (rowCount_ >= rows) return true;
  auto *self = const_cast<DataSet *>(this);
  if (!cursor_ && readOnPending_) {
    readOnPending_ = false;
    self->readOn();
  }
  if (!cursor_) return false;
  const std::size_t before = rowCount_;
  fb::Status st;
  try {
    while (rowCount_ < rows) {
      unsigned char *row = self->appendRow();
      int r = cursor_->fetchNext(&st, row);
      if (r == IStatus::RESULT_OK) {
        if (!self->keepFetched()) self->dropLastRow();
        continue;
      }
      self->dropLastRow();
      if (r == IStatus::RESULT_NO_DATA) {
        self->closeCursor();
        break;
      }
      st.check();
      throw Error(QStringLiteral("fetch failed"));
    }
  } catch (...) {
    // The rows fetched so far stay; the cursor is not used again.
    self->closeCursor();
    if (rowCount_ != before && state_ != State::Inactive) emit self->rowsFetched(static_cast<int>(rowCount_));
    throw;
  }
  if (rowCount_ != before && state_ != State::Inactive) emit self->rowsFetched(static_cast<int>(rowCount_));
  return rowCount_ >= rows;
}

void DataSet::fetchBeforeWrite(const QString &table) {
  if (!cursor_) return;
  if (table.isEmpty() || !readTablesKnown_ || readTables_.contains(table)) {
    if (canReadOnLater()) {
      closeCursor();
      readOnPending_ = true;
      return;
    }
    fetchAll();
  }
}

void DataSet::fetchMore() {
  if (!fetchedAll()) fetchTo(rowCount_ + kFetchBatch);
}

void DataSet::fetchAll() const {
  while (!fetchedAll()) fetchTo(rowCount_ + kRowsPerBlock * 8);
}

bool DataSet::canReadOnLater() const { return false; }

void DataSet::readOn() {}

bool DataSet::keepFetched() { return true; }

void DataSet::fetchWhole() { fetchAll(); }

int DataSet::recordCount() const {
  const_cast<DataSet *>(this)->fetchWhole();
  return static_cast<int>(rowCount_);
}

void DataSet::setCurrent(int row, bool notify) {
  if (row == current_) return;
  current_ = row;
  if (notify) emit currentRowChanged(recNo());
}

void DataSet::first() {
  if (state_ == State::Edit) post();
  setCurrent(0);
  bof_ = true;
  eof_ = rowCount_ == 0;
}

void DataSet::last() {
  if (state_ == State::Edit) post();
  fetchAll();
  setCurrent(rowCount_ ? static_cast<int>(rowCount_) - 1 : 0);
  eof_ = true;
  bof_ = rowCount_ == 0;
}

void DataSet::next() {
  if (state_ == State::Edit) post();
  if (current_ + 1 >= static_cast<int>(rowCount_)) {
    if (forwardOnly_ && cursor_ && rowCount_ > 1) {
      // Keep only the current row (the row eof leaves current), in the
      // first slot; the next batch reuses the same block.
      std::memmove(rowData(0), rowData(static_cast<std::size_t>(current_)), rowSize_);
      rowCount_ = 1;
      current_ = 0;
    }
    fetchTo(rowCount_ + kFetchBatch);
  }
  if (current_ + 1 < static_cast<int>(rowCount_)) {
    setCurrent(current_ + 1);
    bof_ = eof_ = false;
  } else {
    eof_ = true;
  }
}

void DataSet::prior() {
  if (state_ == State::Edit) post();
  if (current_ == 0 && !startFetched()) fetchEarlier();
  if (current_ > 0) {
    setCurrent(current_ - 1);
    bof_ = eof_ = false;
  } else {
    bof_ = true;
  }
}

void DataSet::moveBy(int distance) {
  for (; distance > 0 && !eof_; --distance) next();
  for (; distance < 0 && !bof_; ++distance) prior();
}

void DataSet::setRecNo(int recNo) {
  if (recNo > 0) fetchTo(static_cast<std::size_t>(recNo));
  if (!rowCount_ || recNo < 1 || recNo > static_cast<int>(rowCount_)) return;
  if (state_ == State::Edit) post();
  setCurrent(recNo - 1);
  bof_ = eof_ = false;
}

Field &DataSet::field(int index) {
  if (index < 0 || index >= fieldCount())
    throw Error(QStringLiteral("%1: field index out of range").arg(objectName()));
  return *fields_[static_cast<std::size_t>(index)];
}

Field *DataSet::findField(const QString &name) {
  for (auto &f : fields_)
    if (f->name_.compare(name, Qt::CaseInsensitive) == 0) return f.get();
  return nullptr;
}

Field &DataSet::fieldByName(const QString &name) {
  if (Field *f = findField(name)) return *f;
  throw Error(QStringLiteral("%1: Field '%2' not found").arg(objectName(), name));
}

QStringList DataSet::fieldNames() const {
  QStringList names;
  for (const auto &f : fields_) names << f->name_;
  return names;
}

QVariant DataSet::valueAt(int row, int column) const {
  if (row >= 0 && column >= 0 && column < fieldCount()) fetchTo(static_cast<std::size_t>(row) + 1);
  if (row < 0 || row >= static_cast<int>(rowCount_) || column < 0 || column >= fieldCount()) return QVariant();
  if (row == current_ && !pending_.empty()) return fields_[static_cast<std::size_t>(column)]->value();
  return fields_[static_cast<std::size_t>(column)]->decode(rowData(static_cast<std::size_t>(row)));
}

QString DataSet::textAt(int row, int column) const { return variantText(valueAt(row, column)); }

bool DataSet::locate(const QString &fieldName, const QVariant &value, LocateOptions options) {
  return locateFrom(0, fieldName, value, options, {});
}

bool DataSet::locateFrom(std::size_t from, const QString &fieldName, const QVariant &value, LocateOptions options,
                         const std::function<bool(std::size_t)> &within) {
  Field &f = fieldByName(fieldName);
  if (state_ == State::Edit) post();
  const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
  const bool textual = f.type() == FieldType::Text || f.type() == FieldType::FixedText || options.partialKey ||
                       value.typeId() == QMetaType::QString;
  const QString key = value.isNull() ? QString() : variantText(value);
  for (std::size_t r = from;; ++r) {
    if (r >= rowCount_) {
      fetchTo(r + kFetchBatch);  // a miss in the rows fetched so far reads on
      if (r >= rowCount_) break;
    }
    if (within && !within(r)) break;
    const unsigned char *row = rowData(r);
    bool match;
    if (value.isNull()) {
      match = f.nullIn(row);
    } else if (f.nullIn(row)) {
      match = false;
    } else if (textual) {
      QString have = (f.type() == FieldType::Text || f.type() == FieldType::FixedText) ? f.text(row)
                                                                                          : variantText(f.decode(row));
      match = options.partialKey ? have.startsWith(key, cs) : have.compare(key, cs) == 0;
    } else {
      QVariant have = f.decode(row);
      if (have.userType() == qMetaTypeId<Decimal>() || value.userType() == qMetaTypeId<Decimal>()) {
        auto asDec = [](const QVariant &v) {
          if (v.userType() == qMetaTypeId<Decimal>()) return v.value<Decimal>();
          if (v.typeId() == QMetaType::Double) return Decimal::fromDouble(v.toDouble(), 4);
          return Decimal(v.toLongLong(), 0);
        };
        match = asDec(have) == asDec(value);
      } else {
        match = QVariant::compare(have, value) == QPartialOrdering::Equivalent;
      }
    }
    if (match) {
      setCurrent(static_cast<int>(r));
      bof_ = eof_ = false;
      return true;
    }
  }
  return false;
}

int DataSet::fetchEarlier() { return 0; }

void DataSet::edit() { throw Error(QStringLiteral("%1: Cannot modify a read-only dataset").arg(objectName())); }

void DataSet::post() {
  if (state_ != State::Edit) return;
  throw Error(QStringLiteral("%1: Cannot modify a read-only dataset").arg(objectName()));
}

void DataSet::cancel() {
  if (state_ != State::Edit) return;
  pending_.clear();
  setState(State::Browse);
  emit rowUpdated(recNo());
}

void DataSet::buildInput(IMessageMetadata *declared, const std::vector<const Param *> &values, InputMessage &out) {
  fb::Status st;
  unsigned n = declared->getCount(&st);
  st.check();
  if (n != values.size()) throw Error(QStringLiteral("parameter count mismatch"));
  if (n == 0) {
    out.meta.reset();
    out.buffer.clear();
    return;
  }
  std::vector<QByteArray> strings(n);
  std::vector<unsigned> declaredTypes(n);
  {
    const fb::Owned<IMetadataBuilder> b(declared->getBuilder(&st));
    st.check();
    for (unsigned i = 0; i < n; ++i) {
      const Param &p = *values[i];
      declaredTypes[i] = declared->getType(&st, i);
      st.check();
      auto set = [&](unsigned type, unsigned length, int scale) {
        b->setType(&st, i, type);
        b->setSubType(&st, i, 0);
        b->setLength(&st, i, length);
        b->setScale(&st, i, scale);
        st.check();
      };
      switch (p.kind_) {
        case Param::Kind::Null: break;
        case Param::Kind::String: {
          bool unmapped = false;
          strings[i] = platform::toCp1250(p.string_, &unmapped);
          if (strings[i].size() > 32765)
            throw Error(QStringLiteral("parameter '%1': text too long").arg(p.name_));
          set(SQL_VARYING, static_cast<unsigned>(std::max<qsizetype>(strings[i].size(), 1)), 0);
          b->setCharSet(&st, i, fb::kWin1250);
          st.check();
          break;
        }
        case Param::Kind::Float: set(SQL_DOUBLE, sizeof(double), 0); break;
        case Param::Kind::Integer: set(SQL_INT64, sizeof(std::int64_t), 0); break;
        case Param::Kind::Decimal: set(SQL_INT64, sizeof(std::int64_t), -p.decimal_.scale()); break;
        case Param::Kind::DateTime:
          if (declaredTypes[i] == SQL_TYPE_DATE)
            set(SQL_TYPE_DATE, sizeof(ISC_DATE), 0);
          else
            set(SQL_TIMESTAMP, sizeof(ISC_TIMESTAMP), 0);
          break;
        case Param::Kind::Date: set(SQL_TYPE_DATE, sizeof(ISC_DATE), 0); break;
      }
    }
    out.meta.reset(b->getMetadata(&st));
    st.check();
  }
  unsigned len = out.meta->getMessageLength(&st);
  st.check();
  out.buffer.assign(len, 0);
  unsigned char *buf = out.buffer.data();
  for (unsigned i = 0; i < n; ++i) {
    const Param &p = *values[i];
    unsigned off = out.meta->getOffset(&st, i);
    unsigned nullOff = out.meta->getNullOffset(&st, i);
    st.check();
    *reinterpret_cast<short *>(buf + nullOff) = p.kind_ == Param::Kind::Null ? -1 : 0;
    unsigned char *v = buf + off;
    switch (p.kind_) {
      case Param::Kind::Null: break;
      case Param::Kind::String: {
        auto len16 = static_cast<unsigned short>(strings[i].size());
        std::memcpy(v, &len16, 2);
        std::memcpy(v + 2, strings[i].constData(), len16);
        break;
      }
      case Param::Kind::Float: std::memcpy(v, &p.float_, sizeof(double)); break;
      case Param::Kind::Integer: std::memcpy(v, &p.integer_, sizeof(std::int64_t)); break;
      case Param::Kind::Decimal: {
        std::int64_t u = p.decimal_.units();
        std::memcpy(v, &u, sizeof u);
        break;
      }
      case Param::Kind::DateTime:
        if (!p.dateTime_.isValid()) {
          *reinterpret_cast<short *>(buf + nullOff) = -1;
        } else if (declaredTypes[i] == SQL_TYPE_DATE) {
          ISC_DATE d = fb::encodeDate(p.dateTime_.date());
          std::memcpy(v, &d, sizeof d);
        } else {
          ISC_TIMESTAMP ts{fb::encodeDate(p.dateTime_.date()), fb::encodeTime(p.dateTime_.time())};
          std::memcpy(v, &ts, sizeof ts);
        }
        break;
      case Param::Kind::Date:
        if (!p.date_.isValid()) {
          *reinterpret_cast<short *>(buf + nullOff) = -1;
        } else {
          ISC_DATE d = fb::encodeDate(p.date_);
          std::memcpy(v, &d, sizeof d);
        }
        break;
    }
  }
}

}  // namespace db

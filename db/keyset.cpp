// Lists read in their order around a position: the rows at and after the
// position come through one cursor (as any query's), the rows before it in
// batches read backwards from the first row held, each batch a statement
// that compares the ORDER BY keys with that row's values. Positioning asks
// the database for the row, never walks the rows before it.
#include "db/dataset.h"
#include "db/error.h"

#include <cstring>

namespace db {

namespace {

// Rows read before the first row held at a time.
constexpr int kEarlierBatch = 200;

QString keyParam(int i) { return QStringLiteral("ks%1").arg(i); }

}  // namespace

void Query::setKeyset(const QStringList &select, const QString &where, const QList<OrderKey> &order) {
  if (order.isEmpty()) throw Error(QStringLiteral("%1: a keyset needs an order").arg(objectName()));
  close();
  keyset_.select = select;
  keyset_.where = where;
  keyset_.order = order;
  keyset_.startFetched = true;
  keyset_.anchor.clear();
  QStringList whole = select;
  if (!where.isEmpty()) whole << QStringLiteral("  WHERE ") + where;
  whole << QStringLiteral("  ORDER BY ") + keysetOrderBy(false);
  sql_.clear();
  for (const QString &line : whole) sql_.add(line);
  keyset_.version = sql_.version();
}

bool Query::keysetActive() const { return !keyset_.order.isEmpty() && keyset_.version == sql_.version(); }

QString Query::keysetOrderBy(bool descending) const {
  QStringList keys;
  for (const OrderKey &k : keyset_.order)
    keys << (descending ? k.expression + QStringLiteral(" DESC") : k.expression);
  return keys.join(QStringLiteral(", "));
}

QString Query::keysetCondition(const QVariantList &values, bool before) const {
  // Ascending order puts nulls first: nothing comes before a null, every
  // value after it.
  const int n = std::min<int>(static_cast<int>(values.size()), static_cast<int>(keyset_.order.size()));
  auto equal = [&](int i) {
    const QString &e = keyset_.order[i].expression;
    return values[i].isNull() ? e + QStringLiteral(" IS NULL") : e + QStringLiteral(" = :") + keyParam(i);
  };
  auto compare = [&](int i, bool last) {
    const OrderKey &k = keyset_.order[i];
    const bool null = values[i].isNull();
    const QString p = QStringLiteral(":") + keyParam(i);
    if (before) {
      if (null) return QStringLiteral("1 = 0");
      return k.nullable ? QStringLiteral("(%1 < %2 OR %1 IS NULL)").arg(k.expression, p)
                        : QStringLiteral("%1 < %2").arg(k.expression, p);
    }
    if (last) return null ? QStringLiteral("1 = 1") : QStringLiteral("%1 >= %2").arg(k.expression, p);
    return null ? k.expression + QStringLiteral(" IS NOT NULL")
                : QStringLiteral("%1 > %2").arg(k.expression, p);
  };
  QStringList terms;
  for (int i = 0; i < n; ++i) {
    QStringList all;
    for (int j = 0; j < i; ++j) all << equal(j);
    all << compare(i, i == n - 1);
    terms << QStringLiteral("(") + all.join(QStringLiteral(" AND ")) + QStringLiteral(")");
  }
  // "At or after": the equal prefix with the last key at or after its value
  // is the last term; the earlier terms are the strictly greater ones.
  QString condition = terms.join(QStringLiteral(" OR "));
  // The first key's own bound, implied by the terms, gives an index on the
  // order's keys a range to start from (not before a nullable key: its nulls
  // come first).
  if (n > 1 && !values[0].isNull() && (!before || !keyset_.order[0].nullable))
    condition = QStringLiteral("%1 %2 :%3 AND (%4)")
                    .arg(keyset_.order[0].expression, before ? QStringLiteral("<=") : QStringLiteral(">="),
                         keyParam(0), condition);
  return condition;
}

QString Query::keysetStatement(const QString &condition, bool descending) const {
  QStringList where;
  if (!keyset_.where.isEmpty()) where << QStringLiteral("(") + keyset_.where + QStringLiteral(")");
  if (!condition.isEmpty()) where << QStringLiteral("(") + condition + QStringLiteral(")");
  QString text = keyset_.select.join(QLatin1Char('\n'));
  if (!where.isEmpty()) text += QStringLiteral("\n  WHERE ") + where.join(QStringLiteral(" AND "));
  return text + QStringLiteral("\n  ORDER BY ") + keysetOrderBy(descending);
}

void Query::copyParams(Query &q) {
  parseParams();
  q.parseParams();
  for (auto &to : q.params_)
    for (auto &from : params_)
      if (to->name_.compare(from->name_, Qt::CaseInsensitive) == 0) {
        const QString name = to->name_;
        *to = *from;
        to->name_ = name;
      }
}

namespace {

// Sets q's statement unless it is that already (a prepared statement is kept).
void setText(Query &q, const QString &text) {
  if (q.sql().text() != text) q.sql().setText(text);
}

void bindKeys(Query &q, const QVariantList &values) {
  for (int i = 0; i < values.size(); ++i)
    if (!values[i].isNull()) q.paramByName(keyParam(i)).setValue(values[i]);
}

}  // namespace

void Query::openAt(const QVariantList &anchor) {
  if (!keysetActive()) throw Error(QStringLiteral("%1: no keyset to open").arg(objectName()));
  close();
  parseParams();  // the list's parameters keep their values through the new text
  setText(*this, keysetStatement(anchor.isEmpty() ? QString() : keysetCondition(anchor, false), false));
  bindKeys(*this, anchor);
  keyset_.version = sql_.version();
  keyset_.startFetched = anchor.isEmpty();
  keyset_.anchor = anchor;
  open();
  if (!keyset_.startFetched) fetchEarlier();
}

bool Query::startFetched() const { return !keysetActive() || keyset_.startFetched || !active(); }

int Query::fetchEarlier() {
  if (startFetched()) return 0;
  QVariantList first;
  if (fetchedCount() > 0) {
    for (const OrderKey &k : keyset_.order) first << valueAt(0, fieldByName(k.field).index());
  } else {
    first = keyset_.anchor;
  }
  if (!earlier_) earlier_ = std::make_unique<Query>();
  Query &q = *earlier_;
  if (q.transaction() != transaction()) q.setTransaction(transaction());
  setText(
      q, keysetStatement(keysetCondition(first, true), true) + QStringLiteral(" ROWS %1").arg(kEarlierBatch));
  copyParams(q);
  bindKeys(q, first);
  q.open();
  q.fetchAll();
  const int count = q.fetchedCount();
  if (count > 0 && q.rowSize() != rowSize()) {
    q.close();
    throw Error(QStringLiteral("%1: the rows before the list differ in layout").arg(objectName()));
  }
  const bool wasEmpty = fetchedCount() == 0;
  for (int r = 0; r < count; ++r)
    std::memcpy(prependRow(), q.rowData(static_cast<std::size_t>(r)), rowSize());
  q.close();
  if (count < kEarlierBatch) keyset_.startFetched = true;
  if (count > 0) emit rowsPrepended(count);
  if (wasEmpty && count > 0) emit currentRowChanged(recNo());
  return count;
}

bool Query::readFromStart() {
  if (!keysetActive()) return false;
  openAt();
  return true;
}

QVariantList Query::keysOfFirst(const QString &condition, const QVariant &value) {
  Query q;
  q.setTransaction(transaction());
  QString text = keysetStatement(condition, false);
  text.replace(0, 6, QStringLiteral("SELECT FIRST 1"));  // "SELECT" begins the list's statement
  q.sql().setText(text);
  copyParams(q);
  if (!value.isNull()) q.paramByName(QStringLiteral("pos")).setValue(value);
  q.open();
  QVariantList keys;
  if (!q.isEmpty())
    for (const OrderKey &k : keyset_.order) keys << q.fieldByName(k.field).value();
  q.close();
  return keys;
}

QString Query::matchCondition(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (active()) fieldByName(fieldName);  // an unknown field is an error, as for any dataset
  if (value.isNull()) return fieldName + QStringLiteral(" IS NULL");
  // A text without cased letters compares the same either way, and the
  // column's index serves the plain comparison.
  const QString text = value.toString();
  const bool caseless =
      !options.caseInsensitive || value.typeId() != QMetaType::QString || text.toUpper() == text.toLower();
  if (options.partialKey)
    return caseless ? QStringLiteral("%1 STARTING WITH :pos").arg(fieldName)
                    : QStringLiteral("UPPER(%1) STARTING WITH UPPER(:pos)").arg(fieldName);
  return caseless ? QStringLiteral("%1 = :pos").arg(fieldName)
                  : QStringLiteral("UPPER(%1) = UPPER(:pos)").arg(fieldName);
}

bool Query::openOn(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!keysetActive()) throw Error(QStringLiteral("%1: no keyset to open").arg(objectName()));
  const QVariantList anchor = keysOfFirst(matchCondition(fieldName, value, options), value);
  openAt(anchor);
  return !anchor.isEmpty();
}

bool Query::locate(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!keysetActive() || !active()) return DataSet::locate(fieldName, value, options);
  const QVariantList anchor = keysOfFirst(matchCondition(fieldName, value, options), value);
  if (anchor.isEmpty()) return false;
  openAt(anchor);
  return true;
}

}  // namespace db

// Lists read in their order around a position: the rows at and after the
// position come through one cursor (as any query's), the rows before it in
// batches read backwards from the first row held, each batch a statement
// that compares the ORDER BY keys with that row's values. Positioning asks
// the database for the row, never walks the rows before it.
#include "db/dataset.h"
#include "db/error.h"
#include "db/fb_internal.h"
#include "platform/cp1250.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <functional>

namespace db {

namespace {

// Rows read before the first row held at a time.
constexpr int kEarlierBatch = 200;

QString keyParam(int i) { return QStringLiteral("ks%1").arg(i); }

// Key i equal to its value (bound as ":ks<i>").
QString keyEquals(const OrderKey &k, int i, const QVariant &value) {
  return value.isNull() ? k.expression + QStringLiteral(" IS NULL") : k.expression + QStringLiteral(" = :") + keyParam(i);
}

// The columns of the order keys in a dataset.
QList<int> keyColumns(DataSet &d, const QList<OrderKey> &order) {
  QList<int> columns;
  for (const OrderKey &k : order) columns << d.fieldByName(k.field).index();
  return columns;
}

// A text as the engine compares it: without trailing blanks (it pads the
// shorter of two texts).
QString compared(QString t) {
  qsizetype n = t.size();
  while (n > 0 && t[n - 1] == QLatin1Char(' ')) --n;
  t.truncate(n);
  return t;
}

// Whether two rows have equal keys as the database compares them.
bool sameKeys(const DataSet &a, int rowA, const DataSet &b, int rowB, const QList<int> &columns) {
  for (int c : columns) {
    const QVariant x = a.valueAt(rowA, c), y = b.valueAt(rowB, c);
    if (x.isNull() || y.isNull()) {
      if (x.isNull() != y.isNull()) return false;
      continue;
    }
    if (compared(a.textAt(rowA, c)) != compared(b.textAt(rowB, c))) return false;
  }
  return true;
}

// The case forms of a character: the Windows-1250 characters that fold to
// what it folds to, in the code page's byte order (the order of the
// column's default collation).
QString caseForms(QChar ch) {
  static const QHash<char16_t, QString> forms = [] {
    QHash<char16_t, QString> h;
    for (int b = 0x20; b < 0x100; ++b) {
      const char byte = static_cast<char>(b);
      const QString c = platform::fromCp1250(std::string_view(&byte, 1));
      h[c.at(0).toCaseFolded().unicode()] += c;
    }
    return h;
  }();
  return forms.value(ch.toCaseFolded().unicode());
}

}  // namespace

void Query::setKeyset(const QStringList &select, const QString &where, const QList<OrderKey> &order,
                      const QStringList &listLines) {
  if (order.isEmpty()) throw Error(QStringLiteral("%1: a keyset needs an order").arg(objectName()));
  close();
  keyset_.select = select;
  keyset_.where = where;
  keyset_.order = order;
  keyset_.startFetched = true;
  keyset_.anchor.clear();
  QStringList whole = listLines;
  if (whole.isEmpty()) {
    whole = select;
    if (!where.isEmpty()) whole << QStringLiteral("  WHERE ") + where;
    whole << QStringLiteral("  ORDER BY ") + keysetOrderBy(false);
  }
  sql_.clear();
  for (const QString &line : whole) sql_.add(line);
  keyset_.version = sql_.version();
  readFromKeys({});
}

bool Query::keysetActive() const { return !keyset_.order.isEmpty() && keyset_.version == sql_.version(); }

QString Query::statementText() const {
  return keysetActive() && !keyset_.statement.isEmpty() ? keyset_.statement : sql_.text();
}

QString Query::keysetOrderBy(bool descending) const {
  QStringList keys;
  for (const OrderKey &k : keyset_.order)
    keys << (descending ? k.expression + QStringLiteral(" DESC") : k.expression);
  return keys.join(QStringLiteral(", "));
}

QString Query::keysetCondition(const QVariantList &values, bool before, bool firstNotNull) const {
  // Ascending order puts nulls first: nothing comes before a null, every
  // value after it.
  const int n = std::min<int>(static_cast<int>(values.size()), static_cast<int>(keyset_.order.size()));
  auto compare = [&](int i, bool last) {
    const OrderKey &k = keyset_.order[i];
    const bool null = values[i].isNull();
    const QString p = QStringLiteral(":") + keyParam(i);
    if (before) {
      if (null) return QStringLiteral("1 = 0");
      return k.nullable && !(firstNotNull && i == 0) ? QStringLiteral("(%1 < %2 OR %1 IS NULL)").arg(k.expression, p)
                        : QStringLiteral("%1 < %2").arg(k.expression, p);
    }
    if (last) return null ? QStringLiteral("1 = 1") : QStringLiteral("%1 >= %2").arg(k.expression, p);
    return null ? k.expression + QStringLiteral(" IS NOT NULL")
                : QStringLiteral("%1 > %2").arg(k.expression, p);
  };
  QStringList terms;
  for (int i = 0; i < n; ++i) {
    QStringList all;
    for (int j = 0; j < i; ++j) all << keyEquals(keyset_.order[j], j, values[j]);
    all << compare(i, i == n - 1);
    terms << QStringLiteral("(") + all.join(QStringLiteral(" AND ")) + QStringLiteral(")");
  }
  // "At or after": the equal prefix with the last key at or after its value
  // is the last term; the earlier terms are the strictly greater ones.
  QString condition = terms.join(QStringLiteral(" OR "));
  // The first key's own bound, implied by the terms, gives an index on the
  // order's keys a range to start from (not before a nullable key: its nulls
  // come first).
  if (n > 1 && !values[0].isNull() && (!before || !keyset_.order[0].nullable || firstNotNull))
    condition = QStringLiteral("%1 %2 :%3 AND (%4)")
                    .arg(keyset_.order[0].expression, before ? QStringLiteral("<=") : QStringLiteral(">="),
                         keyParam(0), condition);
  return condition;
}

QString Query::keysetEquality(const QVariantList &values) const {
  QStringList all;
  for (int i = 0; i < values.size(); ++i) all << keyEquals(keyset_.order[i], i, values[i]);
  return all.join(QStringLiteral(" AND "));
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
  readFromKeys(anchor);
  keyset_.startFetched = anchor.isEmpty();
  keyset_.anchor = anchor;
  open();
  if (!keyset_.startFetched) fetchEarlier();
}

void Query::readFromKeys(const QVariantList &keys) {
  // From the first row the list's own lines are read.
  const QString statement = keys.isEmpty() ? QString() : keysetStatement(keysetCondition(keys, false), false);
  if (keyset_.statement != statement) {
    keyset_.statement = statement;
    ++keyset_.statementVersion;
  }
  bindKeys(*this, keys);
}

bool Query::startFetched() const { return !keysetActive() || keyset_.startFetched || !active(); }

int Query::fetchEarlier() {
  if (startFetched()) return 0;
  QVariantList first = keyset_.anchor;
  if (fetchedCount() > 0) {
    first.clear();
    for (int c : keyColumns(*this, keyset_.order)) first << valueAt(0, c);
  }
  if (!earlier_) earlier_ = std::make_unique<Query>();
  Query &q = *earlier_;
  if (q.transaction() != transaction()) q.setTransaction(transaction());
  // The rows for condition, backwards; at most a batch and one more unless whole.
  auto read = [&](const QString &condition, const QVariantList &keys, bool whole = false) {
    q.close();
    setText(q, keysetStatement(condition, true) + (whole ? QString() : QStringLiteral(" ROWS %1").arg(kEarlierBatch + 1)));
    copyParams(q);
    bindKeys(q, keys);
    q.open();
    q.fetchAll();
    return q.fetchedCount();
  };
  // Before a value of a first key that may be null come the smaller values,
  // then the nulls: read apart, so that each statement has the key's index
  // to start from ("x < v OR x IS NULL" has none).
  bool nullsLeft = !first.isEmpty() && !first[0].isNull() && keyset_.order[0].nullable;
  int count = read(keysetCondition(first, true, nullsLeft), first);
  if (nullsLeft && count == 0) {
    count = read(keyset_.order[0].expression + QStringLiteral(" IS NULL"), {});
    nullsLeft = false;
  }
  if (count > 0 && q.rowSize() != rowSize()) {
    q.close();
    throw Error(QStringLiteral("%1: the rows before the list differ in layout").arg(objectName()));
  }
  int take = count;
  if (count > kEarlierBatch) {
    // One row more than a batch is read: the rows of the batch with that
    // row's keys are left to the next batch, which reads them all.
    const QList<int> columns = keyColumns(q, keyset_.order);
    take = kEarlierBatch;
    while (take > 0 && sameKeys(q, take - 1, q, kEarlierBatch, columns)) --take;
    if (take == 0) {
      // A whole batch of one key: every row with that key, at once.
      QVariantList keys;
      for (int c : columns) keys << q.valueAt(kEarlierBatch, c);
      take = read(keysetEquality(keys), keys, true);
    }
  }
  const bool wasEmpty = fetchedCount() == 0;
  for (int r = 0; r < take; ++r)
    std::memcpy(prependRow(), q.rowData(static_cast<std::size_t>(r)), rowSize());
  q.close();
  if (count <= kEarlierBatch && !nullsLeft) keyset_.startFetched = true;
  if (take > 0) emit rowsPrepended(take);
  if (wasEmpty && take > 0) emit currentRowChanged(recNo());
  return take;
}

bool Query::canReadOnLater() const { return keysetActive(); }

QString Query::rowIdentity(int row) {
  for (int c = 0; c < fieldCount(); ++c)
    if (field(c).fieldName().startsWith(QLatin1String("ID_"), Qt::CaseInsensitive)) return textAt(row, c);
  QStringList values;
  for (int c = 0; c < fieldCount(); ++c)
    values << (valueAt(row, c).isNull() ? QStringLiteral("\x01") : textAt(row, c));
  return values.join(QChar(0x1f));
}

void Query::readOn() {
  readOnHeld_.clear();
  readOnKeys_ = keyset_.anchor;
  const int last = fetchedCount() - 1;
  if (last >= 0) {
    const QList<int> columns = keyColumns(*this, keyset_.order);
    readOnKeys_.clear();
    for (int c : columns) readOnKeys_ << valueAt(last, c);
    for (int r = last; r >= 0 && sameKeys(*this, r, *this, last, columns); --r) readOnHeld_ << rowIdentity(r);
  }
  readFromKeys(readOnKeys_);
  Firebird::IStatement *s = prepare();
  const InputMessage in = input(s);
  continueStatement(s, in.meta.get(), in.buffer.data());
  skipping_ = !readOnHeld_.isEmpty();
}

bool Query::fetchedAgain() {
  const int row = fetchedCount() - 1;
  const QList<int> columns = keyColumns(*this, keyset_.order);
  if (!hasKeys(row, readOnKeys_, columns)) {
    skipping_ = false;  // past the rows with the last held row's keys
    return false;
  }
  return readOnHeld_.contains(rowIdentity(row));
}

bool Query::readFromStart() {
  if (!keysetActive()) return false;
  openAt();
  return true;
}

void Query::firstRowOn(Query &q, const QString &condition, bool sortMatches) {
  if (q.transaction() != transaction()) q.setTransaction(transaction());
  QString text = keysetStatement(condition, false);
  if (sortMatches) {
    // The order keys as expressions: the engine finds the rows through the
    // condition's index and sorts those few, rather than walking an index
    // in the list's order until a row matches.
    QStringList keys;
    for (const OrderKey &k : keyset_.order) keys << QStringLiteral("COALESCE(%1, %1)").arg(k.expression);
    text = text.left(text.lastIndexOf(QStringLiteral("\n  ORDER BY "))) + QStringLiteral("\n  ORDER BY ") +
           keys.join(QStringLiteral(", "));
  }
  text.replace(0, 6, QStringLiteral("SELECT FIRST 1"));  // "SELECT" begins the list's statement
  setText(q, text);
  copyParams(q);
}

QVariantList Query::keysOf(Query &q, const QVariant &value) {
  if (!value.isNull()) q.paramByName(QStringLiteral("pos")).setValue(value);
  q.open();
  QVariantList keys;
  if (!q.isEmpty())
    for (const OrderKey &k : keyset_.order) keys << q.fieldByName(k.field).value();
  q.close();
  return keys;
}

Query &Query::probe(int which) {
  if (!probes_[which]) probes_[which] = std::make_unique<Query>();
  return *probes_[which];
}

QVariantList Query::keysOfMatch(const QString &fieldName, const QVariant &value, LocateOptions options) {
  const QString condition = matchCondition(fieldName, value, options);
  const OrderKey &first = keyset_.order.first();
  const bool onFirstKey = first.field.compare(fieldName, Qt::CaseInsensitive) == 0;
  // A text with cased letters on the first key, a plain column (it may be
  // named with its table): its index finds each case form.
  const bool plainColumn = !first.expression.contains(QLatin1Char(' ')) &&
                           first.expression.section(QLatin1Char('.'), -1).compare(first.field, Qt::CaseInsensitive) == 0;
  if (condition.startsWith(QLatin1String("UPPER(")) && plainColumn && onFirstKey)
    return keysOfCaseForms(value.toString(), options.partialKey);
  // A whole value of another column (a code, an ID) matches few rows.
  Query &q = probe(0);
  firstRowOn(q, condition, !onFirstKey && !options.partialKey);
  return keysOf(q, value);
}

QVariantList Query::keysOfCaseForms(const QString &text, bool partialKey) {
  // Rows beginning with one case form of a beginning all come before those
  // beginning with a later form (in the column's byte order), so the first
  // match is under the first form, taken depth first, that leads to one.
  const QString &column = keyset_.order.first().expression;
  Query &beginning = probe(0), &whole = probe(1);
  firstRowOn(beginning, column + QStringLiteral(" STARTING WITH :pos"), false);
  if (!partialKey) firstRowOn(whole, column + QStringLiteral(" = :pos"), false);
  auto matches = [&](const QVariantList &keys) {
    const QString have = keys.first().toString();
    return partialKey ? have.startsWith(text, Qt::CaseInsensitive) : have.compare(text, Qt::CaseInsensitive) == 0;
  };
  std::function<QVariantList(const QString &)> under = [&](const QString &prefix) -> QVariantList {
    const qsizetype at = prefix.size();
    const bool last = at + 1 == text.size();
    for (const QChar form : caseForms(text.at(at))) {
      const QString next = prefix + form;
      QVariantList keys = keysOf(last && !partialKey ? whole : beginning, next);
      if (keys.isEmpty()) continue;
      // The first row of this beginning matching the whole text is the first match under it.
      if (matches(keys)) return keys;
      if (last) continue;
      keys = under(next);
      if (!keys.isEmpty()) return keys;
    }
    return {};
  };
  return text.isEmpty() ? QVariantList() : under(QString());
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

bool Query::openOnMatch(const QVariantList &anchor, const QString &fieldName, const QVariant &value,
                        LocateOptions options) {
  openAt(anchor);
  if (anchor.isEmpty()) return false;
  // The rows with the anchor's keys come first from the cursor; the match is one of them.
  if (recNo() > 0) moveToMatchAmongKeys(recNo() - 1, fieldName, value, options);
  return true;
}

void Query::moveToMatchAmongKeys(int row, const QString &fieldName, const QVariant &value, LocateOptions options) {
  const QList<int> columns = keyColumns(*this, keyset_.order);
  if (!locateFrom(static_cast<std::size_t>(row), fieldName, value, options, [&](std::size_t r) {
        return sameKeys(*this, static_cast<int>(r), *this, row, columns);
      }))
    setRecNo(row + 1);
}

bool Query::openOn(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!keysetActive()) throw Error(QStringLiteral("%1: no keyset to open").arg(objectName()));
  return openOnMatch(keysOfMatch(fieldName, value, options), fieldName, value, options);
}

bool Query::locate(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!keysetActive() || !active()) return DataSet::locate(fieldName, value, options);
  const QVariantList anchor = keysOfMatch(fieldName, value, options);
  if (anchor.isEmpty()) return false;
  // A row held already (the rows held are a stretch of the list) is moved to
  // without reading the list again: a search typed on often stays near.
  const QList<int> columns = keyColumns(*this, keyset_.order);
  for (int r = 0; r < fetchedCount(); ++r) {
    if (!hasKeys(r, anchor, columns)) continue;
    if (r == 0 && !startFetched()) break;  // rows with these keys may come before the first held
    moveToMatchAmongKeys(r, fieldName, value, options);
    return true;
  }
  return openOnMatch(anchor, fieldName, value, options);
}

bool Query::hasKeys(int row, const QVariantList &keys, const QList<int> &columns) const {
  for (int i = 0; i < columns.size(); ++i) {
    const QVariant have = valueAt(row, columns[i]);
    const QVariant &want = keys[i];
    if (have.isNull() || want.isNull()) {
      if (have.isNull() != want.isNull()) return false;
    } else if (have.typeId() == QMetaType::QString && want.typeId() == QMetaType::QString) {
      if (compared(have.toString()) != compared(want.toString())) return false;
    } else if (have != want) {
      return false;
    }
  }
  return true;
}

}  // namespace db

// Lists read in their order around a position: the rows at and after the
// position come through one cursor (as any query's), the rows before it in
// batches read backwards from the first row held, each batch a statement
// that compares the ORDER BY keys with that row's values. Positioning asks
// the database for the row, never walks the rows before it.
#include "db/keyset.h"

#include "db/error.h"
#include "db/fb_internal.h"
#include "platform/cp1250.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <functional>

namespace db {

using namespace Firebird;

namespace {

// Rows read before the first row held at a time; on opening at a position,
// a grid's screenful and more (the grid asks for the rest as it comes near).
constexpr int kEarlierBatch = 200;
constexpr int kOpeningBatch = 50;

QString keyParam(int i) { return QStringLiteral("ks%1").arg(i); }

// A text as the engine compares it: without trailing blanks (it pads the
// shorter of two texts).
QString compared(QString t) {
  qsizetype n = t.size();
  while (n > 0 && t[n - 1] == QLatin1Char(' ')) --n;
  t.truncate(n);
  return t;
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

// Sets q's statement unless it is that already (a prepared statement is kept).
void setText(Query &q, const QString &text) {
  if (q.sql().text() != text) q.sql().setText(text);
}

void bindKeys(Query &q, const QVariantList &values) {
  for (int i = 0; i < values.size(); ++i)
    if (!values[i].isNull()) q.paramByName(keyParam(i)).setValue(values[i]);
}

// The condition of a locate: fieldName matches ":pos". A text without cased
// letters compares the same either way, and the column's index serves the
// plain comparison.
QString matchCondition(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (value.isNull()) return fieldName + QStringLiteral(" IS NULL");
  const QString text = value.toString();
  const bool caseless =
      !options.caseInsensitive || value.typeId() != QMetaType::QString || text.toUpper() == text.toLower();
  if (options.partialKey)
    return caseless ? QStringLiteral("%1 STARTING WITH :pos").arg(fieldName)
                    : QStringLiteral("UPPER(%1) STARTING WITH UPPER(:pos)").arg(fieldName);
  return caseless ? QStringLiteral("%1 = :pos").arg(fieldName)
                  : QStringLiteral("UPPER(%1) = UPPER(:pos)").arg(fieldName);
}

}  // namespace

KeysetList::KeysetList(QObject *parent) : Query(parent) { setFirstBatch(kOpeningBatch); }

KeysetList::~KeysetList() = default;

void KeysetList::setList(const ListSpec &spec) {
  if (spec.order.isEmpty()) throw Error(QStringLiteral("%1: a list needs an order").arg(objectName()));
  close();
  startFetched_ = true;
  anchor_.clear();
  if (listActive() && spec == spec_) {
    readFrom({});  // the same list: its prepared statements are kept
    return;
  }
  spec_ = spec;
  keyColumns_.clear();
  columnLengths_.clear();
  sql().clear();
  sql().add(QStringLiteral("SELECT ") + spec.columns);
  sql().add(QStringLiteral("  FROM ") + spec.from);
  if (!spec.where.isEmpty()) sql().add(QStringLiteral("  WHERE ") + spec.where);
  sql().add(QStringLiteral("  ORDER BY ") + orderBy(false));
  listVersion_ = Query::textVersion();
  readFrom({});
}

bool KeysetList::listActive() const { return !spec_.order.isEmpty() && listVersion_ == Query::textVersion(); }

QString KeysetList::statementText() const {
  return listActive() && !statement_.isEmpty() ? statement_ : Query::statementText();
}

unsigned KeysetList::textVersion() const { return Query::textVersion() + statementVersion_; }

QString KeysetList::orderTerm(const OrderKey &k) const {
  return k.collation.isEmpty() ? k.expression : k.expression + QStringLiteral(" COLLATE ") + k.collation;
}

QString KeysetList::orderBy(bool descending) const {
  QStringList keys;
  for (const OrderKey &k : spec_.order) keys << (descending ? orderTerm(k) + QStringLiteral(" DESC") : orderTerm(k));
  return keys.join(QStringLiteral(", "));
}

QString KeysetList::statement(const QString &condition, bool descending, int first, bool sortMatches) const {
  QString text = QStringLiteral("SELECT ");
  if (first > 0) text += QStringLiteral("FIRST %1 ").arg(first);
  text += spec_.columns + QStringLiteral("\n  FROM ") + spec_.from;
  QStringList where;
  if (!spec_.where.isEmpty()) where << QStringLiteral("(") + spec_.where + QStringLiteral(")");
  if (!condition.isEmpty()) where << QStringLiteral("(") + condition + QStringLiteral(")");
  if (!where.isEmpty()) text += QStringLiteral("\n  WHERE ") + where.join(QStringLiteral(" AND "));
  if (!sortMatches) return text + QStringLiteral("\n  ORDER BY ") + orderBy(descending);
  // The order keys as expressions: the engine finds the rows through the
  // condition's index and sorts those few, rather than walking an index in
  // the list's order until a row matches.
  QStringList keys;
  for (const OrderKey &k : spec_.order) keys << QStringLiteral("COALESCE(%1, %1)").arg(orderTerm(k));
  return text + QStringLiteral("\n  ORDER BY ") + keys.join(QStringLiteral(", "));
}

QString KeysetList::keysEqual(const Keys &keys) const {
  QStringList all;
  for (int i = 0; i < keys.size(); ++i) {
    const QString term = orderTerm(spec_.order[i]);
    all << (keys[i].isNull() ? term + QStringLiteral(" IS NULL") : term + QStringLiteral(" = :") + keyParam(i));
  }
  return all.join(QStringLiteral(" AND "));
}

QString KeysetList::keysetCondition(const Keys &keys, bool before, bool firstNotNull) const {
  // Ascending order puts nulls first: nothing comes before a null, every
  // value after it.
  const int n = std::min<int>(static_cast<int>(keys.size()), static_cast<int>(spec_.order.size()));
  auto compare = [&](int i, bool last) {
    const OrderKey &k = spec_.order[i];
    const QString term = orderTerm(k);
    const bool null = keys[i].isNull();
    const QString p = QStringLiteral(":") + keyParam(i);
    if (before) {
      if (null) return QStringLiteral("1 = 0");
      return k.nullable && !(firstNotNull && i == 0) ? QStringLiteral("(%1 < %2 OR %1 IS NULL)").arg(term, p)
                                                     : QStringLiteral("%1 < %2").arg(term, p);
    }
    if (last) return null ? QStringLiteral("1 = 1") : QStringLiteral("%1 >= %2").arg(term, p);
    return null ? term + QStringLiteral(" IS NOT NULL") : QStringLiteral("%1 > %2").arg(term, p);
  };
  QStringList terms;
  for (int i = 0; i < n; ++i) {
    QString all = i > 0 ? keysEqual(keys.mid(0, i)) + QStringLiteral(" AND ") : QString();
    terms << QStringLiteral("(") + all + compare(i, i == n - 1) + QStringLiteral(")");
  }
  // "At or after": the equal prefix with the last key at or after its value
  // is the last term; the earlier terms are the strictly greater ones.
  QString condition = terms.join(QStringLiteral(" OR "));
  // The first key's own bound, implied by the terms, gives an index on the
  // order's keys a range to start from (not before a nullable key: its nulls
  // come first).
  if (n > 1 && !keys[0].isNull() && (!before || !spec_.order[0].nullable || firstNotNull))
    condition = QStringLiteral("%1 %2 :%3 AND (%4)")
                    .arg(orderTerm(spec_.order[0]), before ? QStringLiteral("<=") : QStringLiteral(">="),
                         keyParam(0), condition);
  return condition;
}

KeysetList::Keys KeysetList::keysAt(const DataSet &d, int row) const {
  // The helpers' rows have the list's layout: the key columns are the list's.
  if (keyColumns_.isEmpty())
    for (const OrderKey &k : spec_.order) keyColumns_ << const_cast<KeysetList *>(this)->fieldByName(k.field).index();
  Keys keys;
  for (int c : keyColumns_) keys << d.valueAt(row, c);
  return keys;
}

bool KeysetList::sameKeys(const Keys &a, const Keys &b) {
  if (a.size() != b.size()) return false;
  for (int i = 0; i < a.size(); ++i) {
    const QVariant &x = a[i], &y = b[i];
    if (x.isNull() || y.isNull()) {
      if (x.isNull() != y.isNull()) return false;
    } else if (x.typeId() == QMetaType::QString && y.typeId() == QMetaType::QString) {
      if (compared(x.toString()) != compared(y.toString())) return false;
    } else if (x != y) {
      return false;
    }
  }
  return true;
}

std::string KeysetList::rowIdentity(const unsigned char *row) {
  if (identityField_ == -1)
    identityField_ = spec_.identity.isEmpty() ? -2 : fieldByName(spec_.identity).index();
  std::string id;
  auto add = [&](const Field &f) {
    if (f.nullIn(row)) {
      id += '\x01';
      return;
    }
    const unsigned char *p = row + f.offset_;
    std::size_t n = f.length_;
    if (f.sqlType_ == SQL_VARYING) n = 2 + *reinterpret_cast<const unsigned short *>(p);
    id += '\x02';
    id.append(reinterpret_cast<const char *>(p), n);
  };
  if (identityField_ >= 0) {
    add(field(identityField_));
  } else {
    for (int c = 0; c < fieldCount(); ++c) add(field(c));
  }
  return id;
}

void KeysetList::open() {
  held_.clear();
  readOnHeld_.clear();
  identityField_ = -1;
  keyColumns_.clear();
  Query::open();
}

bool KeysetList::keepFetched() {
  if (!listActive()) return true;
  const int last = fetchedCount() - 1;
  const unsigned char *row = rowData(static_cast<std::size_t>(last));
  if (!spec_.identity.isEmpty()) return held_.insert(rowIdentity(row)).second;
  if (!readOnHeld_.empty()) {
    if (!sameKeys(keysAt(*this, last), readOnKeys_)) {
      readOnHeld_.clear();  // past the rows with the last held row's keys
      return true;
    }
    const auto it = readOnHeld_.find(rowIdentity(row));
    if (it != readOnHeld_.end()) {
      readOnHeld_.erase(it);
      return false;
    }
  }
  return true;
}

KeysetList &KeysetList::helper(std::unique_ptr<KeysetList> &q) {
  if (!q) q = std::make_unique<KeysetList>();
  if (q->transaction() != transaction()) q->setTransaction(transaction());
  return *q;
}

void KeysetList::readFrom(const Keys &keys, bool whole) {
  // From the first row the list's own lines are read; the whole list with
  // its keys as expressions, so that the engine reads the rows in their
  // stored order and sorts them, rather than walking an index on the keys
  // and visiting the data pages at random, row by row.
  const QString text = !keys.isEmpty() ? statement(keysetCondition(keys, false), false)
                       : whole        ? statement(QString(), false, 0, true)
                                      : QString();
  if (statement_ != text) {
    statement_ = text;
    ++statementVersion_;
  }
  bindKeys(*this, keys);
}

void KeysetList::openAt(const Keys &anchor) { openFrom(anchor, false); }

void KeysetList::openFrom(const Keys &anchor, bool whole) {
  if (!listActive()) throw Error(QStringLiteral("%1: no list to open").arg(objectName()));
  close();
  parseParams();  // the list's parameters keep their values through the new text
  readFrom(anchor, whole);
  startFetched_ = anchor.isEmpty();
  anchor_ = anchor;
  KeysetList::open();  // the list as set up here (a table's open() would set it up anew, from its first row)
  if (!startFetched_) readEarlier(kOpeningBatch);
}

bool KeysetList::startFetched() const { return !listActive() || startFetched_ || !active(); }

int KeysetList::fetchEarlier() { return readEarlier(kEarlierBatch); }

int KeysetList::readEarlier(int batch) {
  if (startFetched()) return 0;
  Keys from = fetchedCount() > 0 ? keysAt(*this, 0) : anchor_;
  // Each batch size keeps its prepared statement.
  KeysetList &q = helper(batch == kOpeningBatch ? opening_ : earlier_);
  // The rows for condition, backwards; at most a batch and one more unless whole.
  auto read = [&](const QString &condition, const Keys &keys, bool whole = false) {
    q.close();
    setText(q, statement(condition, true, whole ? 0 : batch + 1));
    copyParamsTo(q);
    bindKeys(q, keys);
    q.open();
    q.fetchAll();
    return q.fetchedCount();
  };
  const bool wasEmpty = fetchedCount() == 0;
  int added = 0;
  while (added == 0 && !startFetched_) {
    // Before a value of a first key that may be null come the smaller
    // values, then the nulls: read apart, so that each statement has the
    // key's index to start from ("x < v OR x IS NULL" has none).
    bool nullsLeft = !from.isEmpty() && !from[0].isNull() && spec_.order[0].nullable;
    int count = read(keysetCondition(from, true, nullsLeft), from);
    if (nullsLeft && count == 0) {
      count = read(orderTerm(spec_.order[0]) + QStringLiteral(" IS NULL"), {});
      nullsLeft = false;
    }
    if (count > 0 && q.rowSize() != rowSize()) {
      q.close();
      throw Error(QStringLiteral("%1: the rows before the list differ in layout").arg(objectName()));
    }
    int take = count;
    if (count > batch) {
      // One row more than a batch is read: the rows of the batch with that
      // row's keys are left to the next batch, which reads them all.
      const Keys beyond = keysAt(q, batch);
      take = batch;
      while (take > 0 && sameKeys(keysAt(q, take - 1), beyond)) --take;
      if (take == 0) take = read(keysEqual(beyond), beyond, true);  // a whole batch of one key, at once
    }
    // A row held already (renamed by another program since it was read) is not shown twice.
    for (int r = 0; r < take; ++r) {
      const unsigned char *row = q.rowData(static_cast<std::size_t>(r));
      if (!spec_.identity.isEmpty() && !held_.insert(rowIdentity(row)).second) continue;
      std::memcpy(prependRow(), row, rowSize());
      ++added;
    }
    if (take > 0) from = keysAt(q, take - 1);
    q.close();
    if (count <= batch && !nullsLeft) startFetched_ = true;
  }
  if (added > 0) emit rowsPrepended(added);
  if (wasEmpty && added > 0) emit currentRowChanged(recNo());
  return added;
}

void KeysetList::first() {
  if (listActive() && active() && !startFetched()) {
    openAt();
    return;
  }
  DataSet::first();
}

void KeysetList::last() {
  if (listActive() && active() && !fetchedAll()) {
    // The last row's keys, asked of the database; the list opened there.
    KeysetList &q = helper(probe_);
    setText(q, statement(QString(), true, 1));
    copyParamsTo(q);
    const Keys keys = keysOf(q, QVariant());
    if (!keys.isEmpty()) openAt(keys);
  }
  DataSet::last();
}

void KeysetList::fetchWhole() {
  // A list read whole already reads on; so does a row being edited, which a
  // new cursor would drop.
  if (!listActive() || !active() || state() == State::Edit ||
      (startFetched() && (fetchedAll() || statement_ == statement(QString(), false, 0, true))))
    return DataSet::fetchWhole();
  // One sorted cursor from the first row, rather than the rows before the
  // window backwards a batch at a time or the rest through the keys' index;
  // then the same row is current again.
  const int current = recNo() - 1;
  const std::string id = current >= 0 ? rowIdentity(rowData(static_cast<std::size_t>(current))) : std::string();
  openFrom({}, true);
  fetchAll();
  if (current < 0) return;
  for (int r = 0; r < fetchedCount(); ++r)
    if (rowIdentity(rowData(static_cast<std::size_t>(r))) == id) {
      setRecNo(r + 1);
      return;
    }
}

bool KeysetList::canReadOnLater() const { return listActive(); }

void KeysetList::readOn() {
  readOnHeld_.clear();
  readOnKeys_ = anchor_;
  const int last = fetchedCount() - 1;
  if (last >= 0) {
    readOnKeys_ = keysAt(*this, last);
    // Without an identity the rows with the last keys held are skipped once
    // each; with one, every row held is.
    if (spec_.identity.isEmpty())
      for (int r = last; r >= 0 && sameKeys(keysAt(*this, r), readOnKeys_); --r)
        readOnHeld_.insert(rowIdentity(rowData(static_cast<std::size_t>(r))));
  }
  readFrom(readOnKeys_);
  IStatement *s = prepare();
  const InputMessage in = input(s);
  continueStatement(s, in.meta.get(), in.buffer.data());
}

KeysetList::Keys KeysetList::keysOf(KeysetList &q, const QVariant &value) {
  if (!value.isNull()) q.paramByName(QStringLiteral("pos")).setValue(value);
  q.open();
  Keys keys;
  if (!q.isEmpty())
    for (const OrderKey &k : spec_.order) keys << q.fieldByName(k.field).value();
  q.close();
  return keys;
}

bool KeysetList::fitsColumn(const QString &fieldName, const QVariant &value) {
  if (value.typeId() != QMetaType::QString) return true;
  if (active()) fieldByName(fieldName);  // an unknown field is an error, as for any dataset
  if (columnLengths_.isEmpty()) {
    // The text columns' widths from the prepared statement, once per list: no row is read.
    fb::Status st;
    const fb::Owned<IMessageMetadata> meta(prepare()->getOutputMetadata(&st));
    st.check();
    const unsigned n = meta->getCount(&st);
    for (unsigned i = 0; i < n; ++i) {
      const unsigned type = meta->getType(&st, i);
      columnLengths_.insert(platform::fromCp1250(std::string_view(meta->getAlias(&st, i))).toUpper(),
                            type == SQL_VARYING || type == SQL_TEXT ? static_cast<int>(meta->getLength(&st, i)) : -1);
    }
    st.check();
  }
  const int length = columnLengths_.value(fieldName.toUpper(), -1);
  return length < 0 || value.toString().size() <= length;
}

KeysetList::Keys KeysetList::keysOfMatch(const QString &fieldName, const QVariant &value, LocateOptions options) {
  // A text longer than its column matches no row (and would not fit the statement's parameter).
  if (!fitsColumn(fieldName, value)) return {};
  const OrderKey &first = spec_.order.first();
  const bool onFirstKey = first.field.compare(fieldName, Qt::CaseInsensitive) == 0;
  if (onFirstKey && options.caseInsensitive && value.typeId() == QMetaType::QString) {
    const QString text = value.toString();
    if (!first.collation.isEmpty()) return keysOfCollated(text, options.partialKey);
    // A text with cased letters: the column's index finds each case form.
    if (text.toUpper() != text.toLower()) return keysOfCaseForms(text, options.partialKey);
  }
  // A whole value of another column (a code, an ID) matches few rows.
  KeysetList &q = helper(probe_);
  setText(q, statement(matchCondition(fieldName, value, options), false, 1, !onFirstKey && !options.partialKey));
  copyParamsTo(q);
  return keysOf(q, value);
}

KeysetList::Keys KeysetList::keysOfCollated(const QString &text, bool partialKey) {
  // The key's collation orders without regard to case first, lower case
  // before upper on a tie (the Hungarian one): every row matching the text
  // in any case comes at or after the text in lower case, so the first row
  // there is the first match when it matches.
  const OrderKey &k = spec_.order.first();
  auto matches = [&](const Keys &keys) {
    if (keys.isEmpty() || keys.first().isNull()) return false;
    const QString have = keys.first().toString();
    return partialKey ? have.startsWith(text, Qt::CaseInsensitive)
                      : compared(have).compare(compared(text), Qt::CaseInsensitive) == 0;
  };
  // The text in the code page's lower case forms; a character the code page
  // has in no case form is in no stored name.
  QString lower;
  for (const QChar ch : text) {
    const QString forms = caseForms(ch);
    if (forms.isEmpty()) return {};
    QChar form = forms.at(0);
    for (const QChar f : forms)
      if (f.isLower()) form = f;
    lower += form;
  }
  KeysetList &q = helper(probe_);
  setText(q, statement(orderTerm(k) + QStringLiteral(" >= :pos"), false, 1));
  copyParamsTo(q);
  const Keys keys = keysOf(q, lower);
  if (matches(keys)) return keys;
  // Otherwise the matching rows, found through the index of the column in
  // upper case (usually none), sorted.
  KeysetList &w = helper(wholeProbe_);
  setText(w, statement(QStringLiteral("UPPER(%1) %2 UPPER(:pos)")
                           .arg(k.expression, partialKey ? QStringLiteral("STARTING WITH") : QStringLiteral("=")),
                       false, 1, true));
  copyParamsTo(w);
  return keysOf(w, lower);
}

KeysetList::Keys KeysetList::keysOfCaseForms(const QString &text, bool partialKey) {
  // Rows beginning with one case form of a beginning all come before those
  // beginning with a later form (in the column's byte order), so the first
  // match is under the first form, taken depth first, that leads to one.
  const QString &column = spec_.order.first().expression;
  KeysetList &beginning = helper(probe_), &whole = helper(wholeProbe_);
  setText(beginning, statement(column + QStringLiteral(" STARTING WITH :pos"), false, 1));
  copyParamsTo(beginning);
  if (!partialKey) {
    setText(whole, statement(column + QStringLiteral(" = :pos"), false, 1));
    copyParamsTo(whole);
  }
  auto matches = [&](const Keys &keys) {
    const QString have = keys.first().toString();
    return partialKey ? have.startsWith(text, Qt::CaseInsensitive) : have.compare(text, Qt::CaseInsensitive) == 0;
  };
  std::function<Keys(const QString &)> under = [&](const QString &prefix) -> Keys {
    const qsizetype at = prefix.size();
    const bool last = at + 1 == text.size();
    for (const QChar form : caseForms(text.at(at))) {
      const QString next = prefix + form;
      Keys keys = keysOf(last && !partialKey ? whole : beginning, next);
      if (keys.isEmpty()) continue;
      // The first row of this beginning matching the whole text is the first match under it.
      if (matches(keys)) return keys;
      if (last) continue;
      keys = under(next);
      if (!keys.isEmpty()) return keys;
    }
    return {};
  };
  return text.isEmpty() ? Keys() : under(QString());
}

bool KeysetList::openOnMatch(const Keys &anchor, const QString &fieldName, const QVariant &value,
                             LocateOptions options) {
  openAt(anchor);
  if (anchor.isEmpty()) return false;
  // The rows with the anchor's keys come first from the cursor; the match is one of them.
  if (recNo() > 0) moveToMatchAmongKeys(recNo() - 1, fieldName, value, options);
  return true;
}

void KeysetList::moveToMatchAmongKeys(int row, const QString &fieldName, const QVariant &value,
                                      LocateOptions options) {
  const Keys keys = keysAt(*this, row);
  if (!locateFrom(static_cast<std::size_t>(row), fieldName, value, options, [&](std::size_t r) {
        return sameKeys(keysAt(*this, static_cast<int>(r)), keys);
      }))
    setRecNo(row + 1);
}

bool KeysetList::openOn(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!listActive()) throw Error(QStringLiteral("%1: no list to open").arg(objectName()));
  return openOnMatch(keysOfMatch(fieldName, value, options), fieldName, value, options);
}

bool KeysetList::locate(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (!listActive() || !active()) return DataSet::locate(fieldName, value, options);
  const Keys anchor = keysOfMatch(fieldName, value, options);
  if (anchor.isEmpty()) return false;
  // A row held already (the rows held are a stretch of the list) is moved to
  // without reading the list again: a search typed on often stays near.
  for (int r = 0; r < fetchedCount(); ++r) {
    if (!sameKeys(keysAt(*this, r), anchor)) continue;
    if (r == 0 && !startFetched()) break;  // rows with these keys may come before the first held
    moveToMatchAmongKeys(r, fieldName, value, options);
    return true;
  }
  return openOnMatch(anchor, fieldName, value, options);
}

}  // namespace db

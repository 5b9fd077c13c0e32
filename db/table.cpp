// Tables read by their primary key a batch at a time, edited by it.
#include "db/table.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/transaction.h"

#include <cstring>
#include <optional>
#include <utility>

namespace db {

namespace {

QString quoted(const QString &name) {
  QString n = name;
  n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + n + QLatin1Char('"');
}

}  // namespace

Table::Table(QObject *parent) : KeysetList(parent) {}

Table::~Table() = default;

void Table::setTableName(const QString &name) {
  if (name == tableName_) return;
  tableName_ = name;
  key_.clear();
  keyKnown_ = false;
}

void Table::open() {
  if (tableName_.trimmed().isEmpty()) throw Error(QStringLiteral("%1: no table name").arg(objectName()));
  const QStringList key = primaryKey();
  if (key.isEmpty()) {
    // No key to read on from: the whole table at once, so that a write of
    // the transaction has nothing left to read first.
    const QString text = QStringLiteral("SELECT * FROM ") + tableName_.trimmed();
    if (sql().text() != text) sql().setText(text);
    Query::open();
    fetchAll();
    return;
  }
  QList<OrderKey> order;
  for (const QString &k : key) order << OrderKey(quoted(k), k, false);
  setList({QStringLiteral("*"), tableName_.trimmed(), QString(), order,
           key.size() == 1 ? key.first() : QString()});
  KeysetList::open();
}

QStringList Table::primaryKey() {
  if (keyKnown_) return key_;
  Query q;
  q.setTransaction(transaction());
  q.sql().add(QStringLiteral("SELECT s.RDB$FIELD_NAME FROM RDB$RELATION_CONSTRAINTS c"));
  q.sql().add(QStringLiteral("  JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = c.RDB$INDEX_NAME"));
  q.sql().add(QStringLiteral("  WHERE c.RDB$RELATION_NAME = :t AND c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"));
  q.sql().add(QStringLiteral("  ORDER BY s.RDB$FIELD_POSITION"));
  q.paramByName(QStringLiteral("t")).setString(tableName_.trimmed().toUpper());
  q.open();
  key_.clear();
  for (; !q.eof(); q.next()) key_ << q.field(0).asString().trimmed();
  q.close();
  keyKnown_ = true;
  return key_;
}

bool Table::locate(const QString &fieldName, const QVariant &value, LocateOptions options) {
  if (active() && !startFetched()) first();
  return DataSet::locate(fieldName, value, options);
}

void Table::edit() {
  if (readOnly_) throw Error(QStringLiteral("%1: Cannot modify a read-only dataset").arg(objectName()));
  if (!active()) throw Error(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
  if (state() == State::Edit) return;
  if (isEmpty()) throw Error(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(objectName()));
  pending_.assign(static_cast<std::size_t>(fieldCount()), std::nullopt);
  setState(State::Edit);
}

void Table::cancel() { DataSet::cancel(); }

// Writes the changed fields of the current row by its primary key, then
// reads the row back (derived columns follow the change).
void Table::post() {
  if (state() != State::Edit) return;
  const QStringList key = primaryKey();
  if (key.isEmpty())
    throw Error(QStringLiteral("%1: table %2 has no primary key").arg(objectName(), tableName_));
  std::vector<int> changed;
  for (int i = 0; i < fieldCount(); ++i)
    if (pending_[static_cast<std::size_t>(i)]) changed.push_back(i);
  if (changed.empty()) {
    pending_.clear();
    setState(State::Browse);
    return;
  }
  // The row is found by its stored key and read back by the key posted.
  std::vector<QVariant> keyValues, postedKey;
  bool keyChanged = false;
  for (const QString &k : key) {
    Field *f = findField(k);
    if (!f) throw Error(QStringLiteral("%1: key field %2 not in the dataset").arg(objectName(), k));
    keyValues.push_back(f->decode(currentRow()));
    const std::optional<QVariant> &posted = pending_[static_cast<std::size_t>(f->index())];
    postedKey.push_back(posted ? *posted : keyValues.back());
    keyChanged = keyChanged || posted;
  }
  if (keyChanged) {
    // The row moves in the key's order: the rest is read now, from the
    // stored keys (the pending ones kept aside meanwhile), so that nothing
    // is read on later from a key the row left.
    std::vector<std::optional<QVariant>> pending = std::exchange(pending_, {});
    try {
      while (!startFetched()) fetchEarlier();
      fetchAll();
    } catch (...) {
      pending_ = std::move(pending);
      throw;
    }
    pending_ = std::move(pending);
  }
  auto whereClause = [&] {
    QStringList parts;
    for (int j = 0; j < key.size(); ++j) parts << quoted(key[j]) + QStringLiteral(" = :k%1").arg(j);
    return QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
  };
  Query update;
  update.setObjectName(objectName() + QStringLiteral("_post"));
  update.setTransaction(transaction());
  QStringList sets;
  for (int i : changed) sets << quoted(field(i).fieldName()) + QStringLiteral(" = :v%1").arg(i);
  update.sql().add(QStringLiteral("UPDATE ") + tableName_.trimmed() + QStringLiteral(" SET ") +
                   sets.join(QStringLiteral(", ")) + whereClause());
  for (int i : changed) update.paramByName(QStringLiteral("v%1").arg(i)).setValue(*pending_[static_cast<std::size_t>(i)]);
  for (int j = 0; j < key.size(); ++j) update.paramByName(QStringLiteral("k%1").arg(j)).setValue(keyValues[static_cast<std::size_t>(j)]);
  update.execute();  // a failure keeps the row in edit mode with its values

  Query reread;
  reread.setTransaction(transaction());
  reread.sql().add(QStringLiteral("SELECT * FROM ") + tableName_.trimmed() + whereClause());
  for (int j = 0; j < key.size(); ++j)
    reread.paramByName(QStringLiteral("k%1").arg(j)).setValue(postedKey[static_cast<std::size_t>(j)]);
  reread.open();
  if (reread.recordCount() == 1 && reread.rowSize() == rowSize())
    std::memcpy(rowData(static_cast<std::size_t>(recNo() - 1)), reread.currentRow(), rowSize());
  reread.close();
  pending_.clear();
  setState(State::Browse);
  emit rowUpdated(recNo());
}

}  // namespace db

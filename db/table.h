#pragma once
// A table's rows as a list ("SELECT * FROM name"). A table with a primary
// key is read in that key's order a batch at a time, as a KeysetList from
// its first row: opening reads one batch, a grid reads on as it scrolls,
// and a write of the transaction lets the cursor go (the table reads on
// later from its last row's key, no row shown twice, none skipped). A table
// without one is read whole at open in the engine's order. A writable table
// edits the current row and posts it back by its primary key.
#include "db/keyset.h"

namespace db {

class Table : public KeysetList {
  Q_OBJECT
 public:
  explicit Table(QObject *parent = nullptr);
  ~Table() override;

  void setTableName(const QString &name);
  QString tableName() const { return tableName_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool readOnly() const { return readOnly_; }

  // A table that is not there raises the engine's error.
  void open() override;
  // The last row is read with the rows before it only, as a list's; a row
  // is located by reading on from the table's first row.
  bool locate(const QString &fieldName, const QVariant &value, LocateOptions options = {}) override;
  void edit() override;
  // A post that changes the primary key reads the whole table first: the
  // row keeps its place and nothing is read on, nor read before, from a key
  // it left.
  void post() override;
  void cancel() override;

 private:
  // The primary key's columns in order; empty when the table has none.
  QStringList primaryKey();
  QString tableName_;
  bool readOnly_ = false;
  QStringList key_;
  bool keyKnown_ = false;
};

}  // namespace db

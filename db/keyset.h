#pragma once
// Lists read in their order around a position, a batch at a time (a keyset
// over the ORDER BY keys), so that opening on a row, searching and going to
// either end cost the same on a long list as on a short one.
//
// What a list promises about writes of other programs: each batch shows the
// rows as they are committed when it is read. No row is shown twice (a row
// is known by its identity column) and no row that stays in the list is
// skipped; a row another program adds, renames or deletes among the rows
// already held shows as it was until the list is opened again (a search, a
// sort, Ctrl+Home or Ctrl+End opens it again).
#include "db/dataset.h"

#include <QHash>

#include <string>
#include <utility>
#include <unordered_set>

namespace db {

// One key of a list's order: the column (or expression) ORDER BY names, the
// collation it is ordered in (empty: the column's own) and the output column
// that holds its value. A key that cannot be null says so: its comparisons
// then leave the index usable.
struct OrderKey {
  OrderKey(QString expression, QString field, bool nullable = true, QString collation = QString())
      : expression(std::move(expression)), field(std::move(field)), nullable(nullable),
        collation(std::move(collation)) {}
  QString expression;
  QString field;
  bool nullable;
  QString collation;
  bool operator==(const OrderKey &) const = default;
};

// A list as values: "SELECT <columns> FROM <from> WHERE <where> ORDER BY
// <order>". identity names the output column that tells two rows apart (an
// ID); without one a row is told apart by all its values.
struct ListSpec {
  QString columns;
  QString from;
  QString where;  // may name parameters; empty: every row
  QList<OrderKey> order;  // ascending; rows of equal keys are kept together
  QString identity;
  bool operator==(const ListSpec &) const = default;
};

class KeysetList : public Query {
  Q_OBJECT
 public:
  explicit KeysetList(QObject *parent = nullptr);
  ~KeysetList() override;

  // Sets the list up, closed: the SQL lines become its statement, which
  // open() reads from the first row. Parameters of where are bound after
  // this call. Changing the SQL lines makes this a plain query again.
  void setList(const ListSpec &spec);
  bool listActive() const;
  const ListSpec &list() const { return spec_; }

  void open() override;
  // Opens on the first row whose keys come at or after anchor (the values
  // of the first anchor.size() keys; empty: the first row), holding some
  // fifty rows before it as well.
  void openAt(const QVariantList &anchor = {});
  // Opens on the first row, in the list's order, whose field matches value
  // as locate() matches; false when no row does, and the list is open on its
  // first row.
  bool openOn(const QString &fieldName, const QVariant &value, LocateOptions options = {});
  // The first matching row in the list's order is asked of the database and
  // the list opened there, unless it is held. A text longer than its column
  // matches nothing. A text compared without regard to case on the first
  // key is found through that key's index.
  bool locate(const QString &fieldName, const QVariant &value, LocateOptions options = {}) override;
  // The list's first and last rows, each read with the rows around it only.
  void first() override;
  void last() override;
  bool startFetched() const override;
  int fetchEarlier() override;

 protected:
  QString statementText() const override;
  unsigned textVersion() const override;
  // The whole list: read again from its first row through one cursor, on
  // the same current row.
  void fetchWhole() override;
  bool canReadOnLater() const override;
  void readOn() override;
  bool keepFetched() override;

 private:
  using Keys = QVariantList;
  QString orderTerm(const OrderKey &k) const;
  QString orderBy(bool descending) const;
  // The statement of the list's rows for which condition holds, in the
  // list's order (descending: backwards; sortMatches: the matching rows
  // found first, then sorted), first: at most that many rows.
  QString statement(const QString &condition, bool descending, int first = 0, bool sortMatches = false) const;
  // The keyset comparison with keys (the first keys.size() keys): rows at
  // or after them, or (before) rows before them; values bound as ":ks0"...
  // firstNotNull leaves out the rows whose first key is null.
  QString keysetCondition(const Keys &keys, bool before, bool firstNotNull = false) const;
  QString keysEqual(const Keys &keys) const;
  Keys keysAt(const DataSet &d, int row) const;
  // The one key comparison: values as the database compares them (texts
  // without trailing blanks, nulls equal to nulls).
  static bool sameKeys(const Keys &a, const Keys &b);
  // The bytes that tell the row apart: its identity column, else all values.
  std::string rowIdentity(const unsigned char *row);
  // Sets the statement that reads from keys on (empty: from the first row;
  // whole: the whole list at once) and binds keys.
  void readFrom(const Keys &keys, bool whole = false);
  void openFrom(const Keys &anchor, bool whole);
  // fetchEarlier() with batch rows at most.
  int readEarlier(int batch);
  KeysetList &helper(std::unique_ptr<KeysetList> &q);
  // Runs q (a first-row statement) with ":pos" bound to value: the keys of its row, empty when none.
  Keys keysOf(KeysetList &q, const QVariant &value);
  Keys keysOfMatch(const QString &fieldName, const QVariant &value, LocateOptions options);
  Keys keysOfCaseForms(const QString &text, bool partialKey);
  Keys keysOfCollated(const QString &text, bool partialKey);
  bool fitsColumn(const QString &fieldName, const QVariant &value);
  bool openOnMatch(const Keys &anchor, const QString &fieldName, const QVariant &value, LocateOptions options);
  void moveToMatchAmongKeys(int row, const QString &fieldName, const QVariant &value, LocateOptions options);

  ListSpec spec_;
  unsigned listVersion_ = ~0u;  // the SQL version the list belongs to
  bool startFetched_ = true;
  Keys anchor_;
  QString statement_;  // what open() prepares instead of the lines (empty: the lines)
  unsigned statementVersion_ = 0;
  std::unique_ptr<KeysetList> earlier_, opening_, probe_, wholeProbe_;
  // The identities of the rows held; a row fetched again is dropped.
  std::unordered_set<std::string> held_;
  int identityField_ = -1;
  mutable QList<int> keyColumns_;
  QHash<QString, int> columnLengths_;  // characters of the text columns, by upper-case name
  // Reading on after a let-go cursor from the last row's keys: the rows
  // with those keys held already (by all values, without an identity).
  Keys readOnKeys_;
  std::unordered_multiset<std::string> readOnHeld_;
};

}  // namespace db

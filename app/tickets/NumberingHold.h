#pragma once
// The hold on a receiver's numbering while a document that takes its next
// serial is being made (a ticket entry, a cancelling document): a row lock on
// the receiver's SORSZAM row, taken with SELECT ... WITH LOCK in a
// transaction of its own. Another program instance on the same database, and
// any other transaction of this one, meets it as a lock conflict at once, so
// two open entries never take the same serial and an entry never deletes the
// lines another one is writing. The lock ends with the hold's transaction: the
// save's commit, the release when the dialog closes, or the end of the process
// (the engine frees a dead program's locks, within DeadlockTimeout of
// firebird.conf).
//
// A dialog that numbers a document: take() when it opens (Busy: show
// busyMessage() and do not open, nothing written); the next serial from
// stored(); only then delete the lines an abandoned document left under it;
// on OK, TData::Write(transaction(), ...) with the document's statements and
// advance(serial); release (or destroy the hold) when the dialog closes.
#include <QString>

#include "db/dataset.h"
#include "db/transaction.h"

namespace db {
class Connection;
}

class NumberingHold {
 public:
  enum class Status {
    Held,  // the row is locked; stored() holds A_QZBSZAM
    Busy,  // another entry or cancelling holds the receiver's numbering
    NoRow, // the receiver has no SORSZAM row
  };

  explicit NumberingHold(db::Connection *connection);
  ~NumberingHold();  // releases
  NumberingHold(const NumberingHold &) = delete;
  NumberingHold &operator=(const NumberingHold &) = delete;

  // Locks the receiver's row, at once or not at all, and reads its
  // A_QZBSZAM. Other failures (no connection, a broken database) raise db::Error.
  Status take(const QString &receiver);
  // Until the save's commit or the release.
  bool held() const;
  // A_QZBSZAM as read by take() (or as advance() set it).
  const QString &stored() const { return stored_; }

  // The hold's transaction and a query on it for the save's statements: the
  // document written there and the counter are committed together
  // (TData::Write with this transaction), which ends the hold.
  db::Transaction &transaction() { return transaction_; }
  db::Query &query() { return query_; }

  // Compare-and-increment in the hold's transaction: A_QZBSZAM := serial
  // where it still holds the value read; raises db::Error when the row holds
  // another value or is gone.
  void advance(const QString &serial);

  // Ends the hold without writing anything (rollback). Harmless when not held.
  void release();

  // What a second entry for the same receiver is told; it writes nothing.
  static QString busyMessage();

 private:
  db::Transaction transaction_;
  db::Query query_;
  QString receiver_;
  QString stored_;
};

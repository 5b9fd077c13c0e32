#pragma once
// A saved ticket's modification (the entry dialog in modify mode) as one
// transaction of its own: the lines written, changed and deleted while the
// dialog is open and the header's save (or, when it closes otherwise, the
// header's totals) are committed together or not at all. Until then every
// other transaction, of this program or another one on the database, sees
// the ticket as it was, and a process that dies meanwhile leaves it so (the
// engine undoes an unfinished transaction): no header's totals ever disagree
// with its lines. While it lasts the queries that show and sum the lines
// (ZQ20, ZQ21, ZQ22) read in it, so the dialog shows what it has written.
//
// Every write of the modification checks first, in its transaction, that no
// other instance has printed or cancelled the ticket since it was opened; the
// one that commits locks the header row for that check, so neither can come
// in between.
#include <QString>

#include "db/dataset.h"
#include "db/transaction.h"

class WriteSteps;

class TicketModification {
 public:
  // Starts the transaction, reads the state of the ticket of the header ID
  // and puts the line queries on the transaction. Raises db::Error when the
  // database cannot be read.
  explicit TicketModification(qint64 headerId);
  // Undoes what was not committed; the line queries go back to IBTrans1.
  ~TicketModification();
  TicketModification(const TicketModification &) = delete;
  TicketModification &operator=(const TicketModification &) = delete;

  // The ticket as it was opened: printed (F_PRN "I") and its type (F_TIPUS).
  bool printed() const { return printed_; }
  const QString &type() const { return type_; }

  // The transaction, and a query on it for the header's statements.
  db::Transaction &transaction() { return transaction_; }
  db::Query &query() { return query_; }

  // The first statement of each write of the modification (a TData::Write on
  // transaction()). When another instance has cancelled or printed the ticket
  // since it was opened, the write fails with the message that says so
  // (steps.at) and refused() becomes true: nothing of the modification may be
  // stored any more. lock: the header row stays locked until the transaction
  // ends, for the write that commits. A header that is gone, or that another
  // transaction is writing just now, fails the write with its own message.
  void guard(WriteSteps &steps, bool lock);
  bool refused() const { return refused_; }

  static QString printedMessage();    // "Már kinyomtatták"
  static QString cancelledMessage();  // "Már érvénytelenítve van!"

 private:
  db::Transaction transaction_;
  db::Query query_;
  qint64 headerId_;
  bool printed_ = false;
  bool cancelled_ = false;  // F_ERVENYT not blank
  QString type_;
  bool refused_ = false;
};

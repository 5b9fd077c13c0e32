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
// other instance has printed, cancelled or otherwise changed the ticket since
// it was opened: its header and its lines (those this modification has not
// written itself) must still hold what they held then, else nothing of the
// modification is stored. The write that commits locks the header row for
// that check, so nothing can come in between. A row another instance is
// writing just now is a conflict at once, said as such (busyMessage).
#include <QHash>
#include <QSet>
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
  // transaction()). When another instance has cancelled, printed or changed
  // the ticket since it was opened, the write fails with the message that
  // says so (steps.at), the whole modification is undone before it shows
  // (steps.abandon) and refused() becomes true: nothing of it may be stored
  // any more. lock: the header row stays locked until the transaction ends,
  // for the write that commits. A header that is gone fails the write with
  // its own message; one that another transaction is writing just now with
  // busyMessage().
  void guard(WriteSteps &steps, bool lock);
  bool refused() const { return refused_; }
  // Runs a statement of the modification's writes: a row another instance
  // is writing just now fails it with busyMessage() (steps.at).
  void execute(WriteSteps &steps, db::Query &statement);
  // A line of the ticket this modification deleted (its write succeeded).
  void lineDeleted(qint64 lineId);

  // Another program writes the ticket of serial now; another program has
  // changed it since it was opened here.
  static QString busyMessage(const QString &serial);
  static QString changedMessage(const QString &serial);
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
  // The ticket as it was opened: the serial, the header's stored values and
  // each line's by its ID, as text (rowText). Deleted lines leave it.
  QString serial_;
  QString header_;
  QHash<qint64, QString> lines_;
  struct State {
    bool found = false;
    QString prn, cancelledBy;       // F_PRN, F_ERVENYT
    QString header;                 // rowText of the header's values
    QHash<qint64, QString> lines;   // the lines this transaction has not written
    QSet<qint64> own;               // the lines it has
  };
  // The header's values (F_PRN and F_PIPA left out: a print or a tick
  // changes nothing the modification writes) and the lines', in the
  // transaction; lock: the header row with a lock.
  State readState(bool lock);
};

#pragma once
// The statements around tickets that several dialogs run on the data module's
// queries (ticket list, entry, line entry; printing and cancelling later):
// the receiver's ticket list, a ticket's lines, the ticket's producer, the
// line sums and the producer's running totals.
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "app/tickets/TicketMath.h"

class NumberingHold;

namespace db {
class Query;
class Transaction;
struct ListSpec;
}

namespace TicketQueries {

// Closes q and sets its statement from lines.
void setSql(db::Query &q, const QStringList &lines);

// The receiver's ticket list (the stored header columns; the producer's
// columns come from ProducerLookup) ordered by orderBy ("o_nev" joins the
// producers for the order); its condition's :p1 is the receiver.
db::ListSpec ticketList(const QString &orderBy);

// That list into ZQ10; positioned on the first serial that begins with
// position (case-insensitive) when it is not empty.
void openTicketList(const QString &orderBy = QStringLiteral("f_Bszam"),
                    const QString &position = QString());

// The producer columns the ticket list shows (O_NEV, O_IRSZAM, O_HELYSEGNEV,
// O_UTCA, O_ADOSZAM, O_ADOAZON, O_ERVKELT, O_BETETLAP), by producer code.
// A producer is read (its own query on the data module's transaction, the
// first row of the code by ID, as a join's first match) when the list first
// shows it, so that opening the list costs the same however many producers
// there are.
class ProducerLookup {
 public:
  ProducerLookup();
  ~ProducerLookup();
  static const QStringList &columns();
  // Forgets the producers read: they are read again as they are shown.
  void reload();
  // The text of column for the producer code; empty for an unknown code,
  // and when the producer cannot be read (the failure is logged).
  QString value(const QString &code, const QString &column) const;

 private:
  mutable QHash<QString, QStringList> rows_;
  mutable std::unique_ptr<db::Query> query_;
};

// The lines of a serial into ZQ20 ordered by their ID; positioned on the line
// whose ID begins with positionId when that is not empty.
void openLines(const QString &serial, const QString &positionId = QString());

// The producer row of code into ZQ31 (no row for an unknown or empty code).
void openProducer(const QString &code);

// Sums of a serial's lines (ZQ21); all 0 when it has none.
TicketMath::LineSums readLineSums(const QString &serial);

// Sums of the lines of every saved ticket of a producer, of all receivers (ZQ22).
TicketMath::LineSums readProducerTotals(const QString &producerCode);

// Writes a saved ticket's derived header totals, F_MUVKTG (payable) and
// F_SUMVAR (price total), from its lines as the line queries read them (in
// a modification's transaction while it lasts) and its stored rates, deduction and payment mode, as the entry's OK computes them:
// statements of a write on transaction, which commits them. Raises when they
// cannot be stored. A header that is gone is left alone.
void storeHeaderTotals(db::Transaction &transaction, qint64 headerId);

// True when a ticket header with this serial exists (ZQ11).
bool headerExists(const QString &serial);

// Takes the hold on the receiver's numbering and the next serial (a serial
// that already has a header is skipped) into *serial. When another entry or
// cancelling holds the numbering, or the receiver has no usable serial, the
// message is shown and the answer is null: nothing was written.
std::unique_ptr<NumberingHold> holdNumbering(const QString &receiver, QString *serial);

// Deletes the lines an abandoned document left under serial, only while the
// serial has no header (the statement checks that again); made durable at
// once. A failure shows message and the caller goes on. Run under the hold:
// another instance's document in progress holds its receiver's numbering, so
// its lines are never taken for abandoned ones.
void deleteOrphanLines(const QString &serial, const QString &message);

}  // namespace TicketQueries

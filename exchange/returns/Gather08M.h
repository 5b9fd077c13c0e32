#pragma once
// The gather of the 08M return: for one checked month of payment dates, the
// receiver's total and one import file per tax identification number (the
// sum over every producer code that carries it, the personal data of the last
// code), then the list file naming them once each, in producer code order.
// No window: the dialog and the benchmark call it alike.
#include "exchange/returns/ReturnFiles.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace db {
class Query;
}

namespace returns {

// Opens q with the statement lines, :p1 and :p2 bound to the period's dates
// and :p3 to the receiver.
void OpenForPeriod(db::Query *q, const QStringList &lines, const Period &p, const QString &receiverCode);

struct GatherResult {
  QString receiverTotal;  // fixed-point, no decimals
  QStringList files;      // the import files written, as the list file names them
};

// The statements, with :p1 and :p2 the period and :p3 the receiver. sumPrice
// sums f_sumvar (the ticket's price), otherwise f_muvktg (its payable).
QStringList ReceiverTotalSql(bool sumPrice);
QStringList ProducerSumsSql(bool sumPrice);
// The list of the month for printing: one row per producer, by name.
QStringList PrintSql(bool sumPrice);
// The grand total of the printed list over the rows of PrintSql in q: the sum
// of the rows' amounts each in whole forints, as its row prints it and as an
// import file carries it, so the list adds up also where the amounts have
// fractions. Fixed-point, no decimals; q is left on its first row.
QString PrintedTotal(db::Query *q);

// Runs the gather through Data's queries: ZQ60 is left on the receiver's row
// and ZQ20 on the per-producer sums. Everything is read and checked before
// the month folder is cleared and written; a producer whose data cannot make
// a well-formed file stops it before that. Raises ReturnError (a refused
// producer, a file that cannot be written; files already written stay) or
// db::Error.
// A code without a producer row, or a producer without a tax
// identification number, stops it likewise. The old list file goes before
// any import file and the new one comes after them all. afterStep runs after
// each file written or deleted (tests stop the process there). While another
// gather or merge (of this or another program) writes the month folder,
// ReturnError before anything is read or written.
GatherResult Gather(const Period &period, const QString &receiverCode, bool sumPrice,
                    const std::function<void()> &afterStep = {});

}  // namespace returns

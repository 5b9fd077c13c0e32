#pragma once
// The gathers of the list dialogs: each fills the data module's queries
// that the dialog's grid shows and the list layouts read, for the current
// receiver. The dialogs only collect the inputs and show the results.
#include <QDate>
#include <QString>

namespace db {
class Query;
}

namespace lists {

// A list's date range: the date kind and both ends (included) and the
// receiver whose tickets count.
struct Range {
  bool byPayment = true;  // f_fizkelt; false: f_felvkelt
  QDate from, to;
  QString receiver;
};

// A number in the general format: up to 15 significant digits, decimal
// comma, no decimals for a whole number ("1234,5", "1234", "0").
QString NumberText(double value);

// The product list: the total of the range in ZQ80, one group per product
// name in ZQ20 (by name), the first product's lines in ZQ21 and its name in
// ListaTermekNev. The list sources then walk the groups with the same
// range. Answers the total's text.
QString GatherProducts(const Range &range);
// The producer list: the total in ZQ80, one group per producer code in
// ZQ20. Answers the total's text.
QString GatherProducers(const Range &range);
// Before the producer list is built, once its layout has loaded: the first
// group's code in ListaOstermeloKod, its total in ZQ80 (when the layout
// names ZQ80) and its lines in ZQ21.
void SeedProducerGroup();

// A producer's figures over all the receiver's tickets.
struct ProducerTotals {
  double felvar = 0, felar = 0, vetelar = 0;  // price, compensation, paid
};
// The producer's breakdown by month of purchase and product (or line by
// line when detailed) in ZQ11, on its last row, and its totals: the sums of
// the rows' amounts as they print.
ProducerTotals GatherProducerMonths(const QString &producerCode, const QString &receiver, bool detailed);

// Cash payments (tickets without the transfer mark) per payment day, or
// per payment day and product when detailed, in ZQ11 on its last row.
// Answers the total's text: the sum of the rows' amounts as they print.
QString GatherCash(const QString &receiver, bool detailed);

struct StatisticsTotals {
  double felvar = 0, kifiz = 0;  // net purchase price, paid
};
// Quantities, average net price and amounts per product and month of
// purchase (per product only when overall) in ZQ11 on its last row, and the
// receiver's totals, the sums of the rows as they print. The average of a group whose quantities sum to 0
// is empty.
StatisticsTotals GatherStatistics(const QString &receiver, bool overall);

}  // namespace lists

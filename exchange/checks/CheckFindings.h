#pragma once
// The data checks of the "Ellenörzés" dialog as pure functions: the findings
// report over gathered ticket lines or producers, the single checks of one
// typed identifier, and the tax identification number against a date of
// birth. The identifier checks themselves are those of app/receivers/Checks.
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace datachecks {

// The columns of one producer that the checks read, as their texts (a null
// reads as empty).
struct ProducerCheckRow {
  QString oKod, oAdoszam, oAdoazon, oTaj, oNev, oIrszam, oHelysegnev, oUtca, oIgszam, oSzulhely,
      oSzido, oAnyja, oNeme, oSzulnev;
};

// The columns of one gathered ticket line (line, header and producer joined)
// that the ticket checks read.
struct TicketCheckRow {
  ProducerCheckRow o;
  QString fOstermkod, fSzja, fPrn;
  QString sBszam, sTermekkod, sNetto, sEar, sKompmerteke;
};

// Fills row with the next row's columns; false when there is none.
template <class Row>
using RowReader = std::function<bool(Row &row)>;

// The memo lines of the ticket checks over the rows read: per check a start
// line, its findings over every row in order, an end line and a line of one
// blank; then the closing hint line. Each row is read once.
QStringList ticketCheckLines(const RowReader<TicketCheckRow> &read);
// The memo lines of the producer checks (no closing hint line).
QStringList producerCheckLines(const RowReader<ProducerCheckRow> &read);

// Reads rows from memory.
template <class Row>
RowReader<Row> readFrom(const std::vector<Row> &rows) {
  return [&rows, i = size_t(0)](Row &row) mutable {
    if (i >= rows.size()) return false;
    row = rows[i++];
    return true;
  };
}

// Verdicts of the single checks; failed is set when the verdict reports a
// failure (the dialog beeps before it).
QString adoszamVerdict(const QString &text, bool *failed = nullptr);
QString adoazonVerdict(const QString &text, bool *failed = nullptr);
// An 11-character TAJ (three groups with separators) is read without the
// separators.
QString tajVerdict(const QString &text, bool *failed = nullptr);

// Days from 1867.01.01 to date, as a count (the larger minus the smaller).
qint64 daysSince1867(const QDate &date);
// True when characters 2 to 6 of the tax identification number, read as a
// whole number (digits only), equal the day count of the date of birth given as a short
// date text. A text that is not a number, or a date text that is not a date,
// is a mismatch.
bool elteltNapEllenorzes(const QString &adoazon, const QString &birthDate);
// The "Napok" verdict of a tax identification number and a date of birth.
QString napokVerdict(const QString &adoazon, const QDate &birthDate, bool *failed = nullptr);

}  // namespace datachecks

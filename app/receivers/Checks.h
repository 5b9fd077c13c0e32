#pragma once
// Identifier checks and small text helpers shared by the producer dialogs, the
// returns, the audit export and ticket printing. Pure functions: no database,
// no user interface. TData carries thin wrappers that store the results in the
// process-wide strings.
#include <QString>
#include <QStringList>

namespace checks {

// Trimming as the dialogs do it: control characters and blanks (code <= 32)
// go, a no-break space stays.
QString trimText(const QString &text);
QString trimRight(const QString &text);

// Tax identification number (10 digits): digits 1-9 weighted 1..9, the sum
// mod 11 equals digit 10. A text shorter than 10 characters or a non-digit
// among the characters read answers false.
bool adoazonValid(const QString &text);

// Tax number (11 characters, only the first 8 are read): digits 1-7 weighted
// 9,7,3,1,9,7,3; (10 - last digit of the sum) mod 10 equals digit 8.
bool adoszamValid(const QString &text);

// Social security (TAJ) number (9 digits): digits 1-8 weighted 3,7,3,7,...;
// the sum mod 10 equals digit 9.
bool tajValid(const QString &text);

// Shape checks of the registration numbers; letters and digits are ASCII only.
bool felirValid(const QString &text);  // 2 letters, 7 digits
bool ocsgValid(const QString &text);   // "OCSG-" or "ocsg-", 8 digits
bool nebihValid(const QString &text);  // "NEBIH" or "nebih", 10 digits

// A full name split at its last blank: the first part keeps the blank.
struct NameParts {
  QString elotag;
  QString utotag;
};
// Without any blank the first part is a single blank and the second part the
// whole text.
NameParts splitName(const QString &name);

// The address parts (district, street, type, number, building, staircase,
// floor, door), each trimmed, joined with one blank between neighbours; empty
// parts are left out, so the printed address holds no runs of blanks.
QString joinAddress(const QStringList &parts);

// "yyyy.mm.dd" -> "yyyy-mm-dd" by character positions; a shorter text gives
// what its positions hold.
QString xmlDate(const QString &date);

}  // namespace checks

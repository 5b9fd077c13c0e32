#pragma once
// Process-wide strings and numbers of the ticket dialogs (ticket list, entry,
// line entry); they start empty or 0 and live until exit.
#include <QString>

extern QString JegyMod;          // "Új felvásárlási jegy" or "Felvásárlási jegy módositás"
extern QString UtolsoBszam;      // serial the ticket list is positioned on after a save
extern QString FizetendoSzoveg;  // payable of the last recomputation, integer text
extern double JegyVetelar;       // price total of the last recomputation (not rounded)
extern double JegySzja;          // tax withheld
extern double JegyJarul;         // member contribution
extern double JegyLevonas;       // deduction
extern QString TetelMod;         // "Új tételsor" or "Felvásárlási jegy módositás"
extern QString UtolsoTetelId;    // ID of the line last saved, for positioning the grid
extern QString ErvenytelenBszam; // serial of the ticket being cancelled
extern QString ErvenytelenKelt;  // its issue date as text (yyyy.mm.dd)

// Empties the strings and zeroes the amounts above, and puts the dialogs'
// replaceable steps back as at start: the producer and product pickers are the
// lists again, the ticket list prints through TicketPrint and cancels through
// TForm39. For tests, so that each starts as in a new process.
void resetTicketState();

// The mode texts.
inline const QString kJegyModUj = QStringLiteral("Új felvásárlási jegy");
inline const QString kJegyModModositas = QStringLiteral("Felvásárlási jegy módositás");
inline const QString kTetelModUj = QStringLiteral("Új tételsor");

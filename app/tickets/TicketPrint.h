#pragma once
// Preview and print of a ticket (TForm8.PrintTicket): the amounts are worked
// out again from the stored lines and header, handed to the layout
// "QzLista7" + layout letter + ".frf" as report variables, and a first print
// marks the ticket printed.
#include "app/tickets/TicketMath.h"

#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "report/expr/FR_Variant.h"

class TForm8;

namespace TicketPrint {

// What the printed texts are made of: the list row, the stored header's
// rates and the sums of the lines.
struct Ticket {
  TicketMath::LineSums sums;
  TicketMath::Rates rates;        // F_SZJA, F_JARULSZAZ, F_LEVONAS of the header
  bool transfer = false;          // F_UTAL = "x"; anything else is cash
  QString paymentDate;            // F_FIZKELT as short date text
  QString declaration;            // F_NYILATK
  bool printed = false;           // F_PRN = "I"
  bool cancelling = false;        // F_TIPUS other than TipusNormal
  QString cancelledSerial;        // F_ERVENYT
  QString producerStreet;         // OstermeloUtca
  QString receiverStreet;         // AtvevoUtca
};

using Variables = std::vector<std::pair<QString, report::Variant>>;

struct Prepared {
  TicketMath::Amounts amounts;
  Variables variables;  // in the order they are set
};

// The report variables of a ticket for a layout letter. Empty, with the
// message in error, when the amounts cannot be worked out or the payable
// does not fit 32 bits (it could not be written in words on the ticket).
std::optional<Prepared> PrepareVariables(const Ticket &ticket, const QString &layoutLetter, QString &error);

// The layout file of a layout letter, chosen by the same case-sensitive test
// as the contribution's base: "l" and "o" get the layout of no letter, and so
// does a character the working folder holds no layout for (but "L" and "O",
// whose base only their own layout names).
QString LayoutFileName(const QString &layoutLetter);

// TForm8.PrintTicket: preview ("Megtekint") or print ("Nyomtat", by
// NyomtatMod) of the ticket on the list's current row. The printed mark is
// set and committed only once the layout has loaded, just before it shows.
// A print locks the ticket's header row before it reads the ticket and holds
// it until then, so what it prints is what it marks; the producer printed is
// the one that row names, with that producer's row as read then (not the
// list's). When another instance is writing the row, nothing is printed and
// busyMessage says so.
void PrintTicket(TForm8 *form);
QString busyMessage(const QString &serial);
// For tests: runs in every print once it has read the ticket, just before
// the mark would be set, where another instance may act meanwhile.
void setBeforeMark(std::function<void()> hook);

}  // namespace TicketPrint

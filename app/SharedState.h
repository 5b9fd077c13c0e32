#pragma once
// Process-wide strings of the main window's unit: they start empty, live
// until exit and are never stored. Each group says who sets it.
#include <QString>

// Current receiver, set by the receiver choice (TForm18) and, for the
// declaration text and the layout letter, by the receiver details (TForm17).
extern QString AtvevoKod;            // V_AKOD of the current receiver
extern QString AtvevoNyilatk;        // V_NYILATK: default declaration of a new ticket
extern QString JegyVariant;          // first character of V_VERZIO: ticket layout letter
extern QString TipusNormal;          // F_TIPUS of a ticket: "1" once a receiver is chosen
extern QString TipusErvenytelenito;  // F_TIPUS of a cancelling document: "4"
extern QString NyomtatMod;           // "Megtekint" (preview) or "Nyomtat" (print)

// Results of the identifier checks and text helpers of TData.
extern QString FelirHiba;      // "0" valid, "1" invalid
extern QString OcsgHiba;       // "0" valid, "1" invalid
extern QString NebihHiba;      // "0" valid, "1" invalid
extern QString NevElotag;      // first part of a split name (ends with its blank)
extern QString NevUtotag;      // second part of a split name
extern QString AtvevoUtca;     // street part of the current receiver's address
extern QString OstermeloUtca;  // street part of the current ticket's producer's address

// Ticket options read from the ini files beside the program (IniOptions.h).
extern QString Edit14Option;   // form9.ini  [Form9]  Edit14Visible
extern QString Edit15Option;   // form9.ini  [Form9]  Edit15Visible
extern QString Edit13Option;   // form9.ini  [Form9]  Edit13Visible
extern QString Edit14Default;  // form9.ini  [Form9]  Edit14Text
extern QString Edit15Default;  // form9.ini  [Form9]  Edit15Text
extern QString Edit13Default;  // form9.ini  [Form9]  Edit13Text
extern QString Edit10Option;   // form10.ini [Form10] Edit10Visible
extern QString Edit8Default;   // form10.ini [Form10] Edit8Text

// Producers and products (TForm4 to TForm7; ticket entry sets AktOstermeloKod
// and AktTermek before it opens the pickers).
extern QString AktOstermeloKod;  // code the producer list positions itself on
extern QString OstermeloMod;     // "Új őstermelő" or "Őstermelő módositás"
extern QString AktTermek;        // code or beginning of a name the product list positions on
extern QString TermekMod;        // "Új termék" or "Termék módositás"

// Producer-wise list (TForm19 and the data module's list sources): the
// producer code of the current group.
extern QString ListaOstermeloKod;

// Audit data supply options (TForm40, kept in "<program>XML.ini" [XML]).
extern QString XmlHova;       // hova: path of the XML file to write
extern QString XmlOnszamla;   // onszla: self-billing clause, "true" or "false"
extern QString XmlSzlaForma;  // papir: invoice form text

// Empties every string above, as at start: no receiver chosen, no check
// results, no ini options read, no positions or modes. For tests, so that
// each starts as in a new process.
void resetSharedState();

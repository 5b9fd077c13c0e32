#pragma once
// The audit data supply's collect step: the current receiver's tickets and
// cancelling documents of a date or serial range staged into NAVFEJ, one row
// per document, through the data module (ZQ60 receiver, ZQ21 selection, ZQ90
// deletes and inserts).
#include <QDate>
#include <QString>

struct AuditSelection {
  enum class Range { Date, Serial };
  Range range = Range::Date;
  bool byPurchaseDate = false;  // date kind "Felvásárlás dátuma" (else "Kiállítás kelte")
  QDate from, to;               // both ends included
  QString serialFrom, serialTo; // compared as texts, as typed
};

// Empties NAVFEJ and NAVSOR (each committed on its own), checks the current
// receiver (AtvevoKod), selects the documents into ZQ21 and inserts one NAVFEJ
// row each, all inserts in one transaction. Every failure shows its message
// and answers false; a failed insert rolls back every row of this collection,
// so NAVFEJ is left empty, never partly filled. True when the collection was
// committed (ZQ21 stays open on the selection); the caller shows the end
// message.
bool CollectAudit(const AuditSelection &selection);

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
// Another program instance holding the staging (see below) refuses the
// collection with a message before anything is emptied.
bool CollectAudit(const AuditSelection &selection);

// The staging tables are shared by every program instance on the database:
// from its collection until it lets them go (the dialog closing), one
// instance holds them, so that no other instance's collection replaces the
// rows its export is about to write. A killed instance's hold goes with it.
// True when this instance holds them (taking them now when free); otherwise
// the message is shown.
bool HoldAuditStaging();
// Lets them go (nothing when not held).
void ReleaseAuditStaging();
// Whether this instance holds them.
bool AuditStagingHeld();
// Whether another program instance holds them now (its collection's file
// then belongs to it).
bool AuditStagingHeldByAnother();

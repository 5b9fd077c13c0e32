#pragma once
// The audit data supply's invoice XML: the documents staged in NAVFEJ and
// their ticket lines from QZSOR, validated and written as one UTF-8 file
// with a byte-order mark and CR LF line ends.
#include <QDate>
#include <QString>

struct AuditExport {
  bool serialRange = false;  // range kind "Sorszám" (else "Dátum")
  QDate from, to;            // the date pickers (range kind "Dátum")
  bool optionalGroup = true; // "Nem kötetező tipusok is kitöltve": write nem_kotelezo
  QString path;              // the target, in its Windows form
  QDate today;               // export_datuma
  // Set when the staged rows passed their checks: smallest and largest
  // FE_SZLASORSZAM.
  bool boundsRead = false;
  QString minSerial, maxSerial;
};

// Validates every staged row (the first failing check shows its message and
// nothing is written), then writes the file to a temporary name in the
// target folder and renames it over the target; a value the format cannot
// hold stops the writing and shows its message. False when a check failed or
// the file could not be written (an error shown; the target as it was).
// Numbers are written with "." whatever the regional settings hold.
bool ExportAuditXml(AuditExport &e);

// An amount in the file: two decimals, "." as separator, as the class
// library's fixed format with precision 10 writes it.
QString AuditAmount(double value);

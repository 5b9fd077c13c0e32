#pragma once
// What the print server says about a CUPS queue before a job and about the
// job once handed over: each a message naming the printer for the user, or
// an empty text when all is well.

#include <QString>

namespace report {

// Empty when the queue takes jobs and prints them; otherwise why nothing
// will be printed there: the queue is gone, stopped (it would keep the job
// without printing it) or does not accept jobs.
QString frCupsQueueProblem(const QString &printer);
// Right after the client handed a job to the queue: empty when the server
// took it, otherwise the server's refusal.
QString frCupsJobProblem(const QString &printer);

// The messages.
QString frPrinterStoppedText(const QString &printer);
QString frPrinterRejectsText(const QString &printer);
QString frPrinterRefusedJobText(const QString &printer, const QString &reason);

}  // namespace report

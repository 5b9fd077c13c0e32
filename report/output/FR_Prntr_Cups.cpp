#include "report/output/FR_Prntr_Cups.h"

#include "report/output/FR_Prntr.h"

#include <cups/cups.h>

namespace report {

QString frPrinterStoppedText(const QString &printer) {
  return QStringLiteral("The printer \"%1\" is stopped: it would keep the job without printing it. "
                        "Nothing was printed.")
      .arg(printer);
}
QString frPrinterRejectsText(const QString &printer) {
  return QStringLiteral("The printer \"%1\" does not accept jobs. Nothing was printed.").arg(printer);
}
QString frPrinterRefusedJobText(const QString &printer, const QString &reason) {
  return QStringLiteral("The printer \"%1\" did not take the job: %2. Nothing was printed.").arg(printer, reason);
}

namespace {
// A queue is named without its instance ("laser/duplex" is the queue "laser").
QByteArray queueOf(const QString &printer) { return printer.section(QLatin1Char('/'), 0, 0).toUtf8(); }
}  // namespace

QString frCupsQueueProblem(const QString &printer) {
  cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueOf(printer).constData(), nullptr);
  if (!dest) return frPrinterGoneText(printer);
  const QByteArray state = cupsGetOption("printer-state", dest->num_options, dest->options);
  const QByteArray accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  cupsFreeDests(1, dest);
  if (accepting == "false") return frPrinterRejectsText(printer);
  if (state.toInt() == IPP_PSTATE_STOPPED) return frPrinterStoppedText(printer);
  return QString();
}

QString frCupsJobProblem(const QString &printer) {
  const ipp_status_t status = cupsLastError();
  if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) return QString();
  if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) return frPrinterRejectsText(printer);
  return frPrinterRefusedJobText(printer, QString::fromUtf8(cupsLastErrorString()));
}

}  // namespace report

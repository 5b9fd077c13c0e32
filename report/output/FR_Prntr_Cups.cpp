#include "report/output/FR_Prntr_Cups.h"

#include "report/output/FR_Prntr.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <type_traits>

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

// The print server's client library, loaded when a queue is first asked
// about: a program that never prints does not load it and the libraries it
// brings. Without it (not installed) nothing is known against a queue.
struct CupsClient {
  decltype(&cupsGetNamedDest) getNamedDest = nullptr;
  decltype(&cupsGetOption) getOption = nullptr;
  decltype(&cupsFreeDests) freeDests = nullptr;
  decltype(&cupsLastError) lastError = nullptr;
  decltype(&cupsLastErrorString) lastErrorString = nullptr;

  static const CupsClient *get() {
    static const CupsClient client;
    return client.lastErrorString ? &client : nullptr;
  }

 private:
  CupsClient() {
    void *lib = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return;
    auto symbol = [lib](auto &fn, const char *name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(lib, name));
    };
    symbol(getNamedDest, "cupsGetNamedDest");
    symbol(getOption, "cupsGetOption");
    symbol(freeDests, "cupsFreeDests");
    symbol(lastError, "cupsLastError");
    if (getNamedDest && getOption && freeDests && lastError) symbol(lastErrorString, "cupsLastErrorString");
  }
};
}  // namespace

QString frCupsQueueProblem(const QString &printer) {
  const CupsClient *cups = CupsClient::get();
  if (!cups) return QString();
  cups_dest_t *dest = cups->getNamedDest(CUPS_HTTP_DEFAULT, queueOf(printer).constData(), nullptr);
  if (!dest) return frPrinterGoneText(printer);
  const QByteArray state = cups->getOption("printer-state", dest->num_options, dest->options);
  const QByteArray accepting = cups->getOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  cups->freeDests(1, dest);
  if (accepting == "false") return frPrinterRejectsText(printer);
  if (state.toInt() == IPP_PSTATE_STOPPED) return frPrinterStoppedText(printer);
  return QString();
}

QString frCupsJobProblem(const QString &printer) {
  const CupsClient *cups = CupsClient::get();
  if (!cups) return QString();
  const ipp_status_t status = cups->lastError();
  if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) return QString();
  if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) return frPrinterRejectsText(printer);
  return frPrinterRefusedJobText(printer, QString::fromUtf8(cups->lastErrorString()));
}

}  // namespace report

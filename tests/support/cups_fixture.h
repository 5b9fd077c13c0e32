#pragma once
// A private print server for tests: a CUPS scheduler of its own (configuration,
// spool, cache, state and logs in a temporary folder, listening only on a
// local socket there) with cups-pdf queues whose PDF files land in that
// folder. The process's print client (libcups, and so Qt's printer list) is
// pointed at it while it runs and given back to the system's server after.
//
// Queues: kPrinter takes jobs and writes each as a PDF file; kStopped is
// stopped (keeps jobs without printing); kRejecting does not accept jobs;
// kRefusing looks ready but the server refuses each job handed to it.
//
// cups-pdf reads its settings only from the system's configuration folder,
// so the scheduler runs in a mount namespace of its own where that file is
// replaced by the test's; nothing outside the temporary folder is written.
// The backend runs only under a scheduler started as root, in a mount
// namespace: as another user, or where no namespace can be made, the server
// does not start and missing() says why.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vorik::test {

class CupsServer {
 public:
  static constexpr const char *kPrinter = "VorikPdf";
  static constexpr const char *kStopped = "VorikStopped";
  static constexpr const char *kRejecting = "VorikRejecting";
  static constexpr const char *kRefusing = "VorikRefusing";

  // Starts the scheduler and points the client side at it; missing() is empty
  // when it runs.
  CupsServer();
  // Stops the scheduler and gives the client side back to the system's server.
  ~CupsServer();
  CupsServer(const CupsServer &) = delete;
  CupsServer &operator=(const CupsServer &) = delete;

  // What keeps the server from running here (a program, a permission), or
  // empty: the tests are then skipped.
  QString missing() const { return missing_; }
  // Why a server that could run here did not come up, or empty: the tests fail.
  QString failure() const { return failure_; }
  QString outputFolder() const;

  // Waits until no job of kPrinter is pending any more and returns the PDF
  // files written since the last call, in the order of their jobs. Empty
  // after timeoutMs.
  QStringList waitForNewPdfs(int count, int timeoutMs = 90000);
  // The scheduler's log, for a failure message.
  QString logTail() const;

 private:
  bool writeConfiguration();
  bool startScheduler();
  void stopScheduler();

  QTemporaryDir dir_;
  QProcess cupsd_;
  QString missing_, failure_;
  QStringList seen_;
  QByteArray previousServer_;
  bool hadServer_ = false;
  bool pointed_ = false;  // the client side points at this server
};

}  // namespace vorik::test

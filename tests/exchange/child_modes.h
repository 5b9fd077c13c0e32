#pragma once
// The second processes of the multi-process tests: this test program started
// again with "--child <mode> <arguments>" instead of running tests, and the
// parent's side of starting one.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <memory>

namespace vorik::test {

// Modes (each prints "ready" once it is where a test wants it, then waits to
// be killed, unless said otherwise):
//   "backup-killed <database> <target>"  the state a copy killed midway leaves:
//       the engine's backup lock taken, a part of the file in a temporary
//       beside the target;
//   "excel-killed <target>"  a workbook half written to its temporary;
//   "audit <database> <receiver> <target>"  a program instance's audit data
//       supply (collect, export, close, the dialog's opening) driven by
//       commands on standard input (child_modes.cpp);
//   "inventory <database> <receiver> <target>"  an instance's inventory
//       hand-over dialog (collect, hand over, close), likewise.
int runExchangeChild(const QString &mode, const QStringList &args);

// A child of this test program, started with its mode and arguments.
class Child {
 public:
  explicit Child(const QStringList &args);
  ~Child();  // killed if still running
  // Waits for a line starting with prefix; the line ("" on a time-out or
  // when the child ended first).
  QByteArray waitFor(const QByteArray &prefix, int ms = 60000);
  void send(const QByteArray &line);
  // SIGKILL, as a crash or the task manager would end it.
  void kill();
  QProcess &process() { return *p_; }

 private:
  std::unique_ptr<QProcess> p_;
  QByteArray buffer_;
};

}  // namespace vorik::test

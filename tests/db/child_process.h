#pragma once
// The second process of the multi-process tests: this test binary started
// again with "--child <mode> <arguments>".
#include <QProcessEnvironment>
#include <QStringList>

namespace vorik::test {

struct ChildResult {
  int exitCode = -1;
  bool crashed = false;
  QString output;
  qint64 elapsedMs = 0;
};

// Modes: "connect <db>" opens the database; "update <db> <id>" updates one
// producer row under the nowait transaction and commits. Exit code 0 on
// success, 2 on a db::Error (its message on standard output), 3 on a lock
// conflict.
ChildResult runChildProcess(const QStringList &args,
                            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

int runChild(int argc, char **argv);

}  // namespace vorik::test

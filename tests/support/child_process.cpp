#include "support/child_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/prctl.h>
#include <unistd.h>

namespace vorik::test {

namespace {

QHash<QString, std::function<int(const QStringList &)>> &modes() {
  static QHash<QString, std::function<int(const QStringList &)>> all;
  return all;
}

}  // namespace

ChildMode::ChildMode(const char *name, std::function<int(const QStringList &)> run) {
  modes().insert(QString::fromLatin1(name), std::move(run));
}

void tellParent(const QString &line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

bool isChildRun(int argc, char **argv) { return argc >= 3 && std::strcmp(argv[1], "--child") == 0; }

int runChildMode(int argc, char **argv) {
  const auto mode = modes().constFind(QString::fromLocal8Bit(argv[2]));
  if (mode == modes().cend()) {
    std::fprintf(stderr, "no child mode %s\n", argv[2]);
    return 1;
  }
  QStringList args;
  for (int i = 3; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  try {
    return (*mode)(args);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "%s: %s\n", argv[2], e.what());
    return 5;
  }
}

Child::Child(const QStringList &modeAndArgs, const QProcessEnvironment &env) {
  p_.setProcessEnvironment(env);
  p_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // Killed when the test program ends, also when that happens before the
  // request is made.
  const pid_t parent = ::getpid();
  p_.setChildProcessModifier([parent] {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(1);
  });
  p_.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + modeAndArgs);
  if (!p_.waitForStarted(30000)) ADD_FAILURE() << "the child " << modeAndArgs.join(QLatin1Char(' ')).toStdString()
                                               << " did not start: " << p_.errorString().toStdString();
}

Child::~Child() { kill(); }

QByteArray Child::waitFor(const QByteArray &prefix, int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    buffer_ += p_.readAllStandardOutput();
    for (qsizetype nl; (nl = buffer_.indexOf('\n')) >= 0;) {
      const QByteArray line = buffer_.left(nl);
      buffer_.remove(0, nl + 1);
      if (line.startsWith(prefix)) return line;
    }
    const qint64 left = ms - clock.elapsed();
    if (left <= 0 || p_.state() == QProcess::NotRunning) return QByteArray();
    p_.waitForReadyRead(static_cast<int>(qMin<qint64>(left, 1000)));
  }
}

void Child::send(const QByteArray &line) {
  if (p_.state() != QProcess::Running) return;
  p_.write(line + '\n');
  p_.waitForBytesWritten(30000);
}

int Child::wait(int ms) {
  if (p_.state() != QProcess::NotRunning && !p_.waitForFinished(ms)) {
    kill();
    return kHung;
  }
  if (p_.error() == QProcess::FailedToStart || p_.exitStatus() != QProcess::NormalExit) return kKilled;
  return p_.exitCode();
}

QByteArray Child::output() {
  buffer_ += p_.readAllStandardOutput();
  return buffer_;
}

void Child::terminate() { p_.terminate(); }

void Child::kill() {
  if (p_.state() == QProcess::NotRunning) return;
  p_.kill();
  p_.waitForFinished(30000);
}

}  // namespace vorik::test

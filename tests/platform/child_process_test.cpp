// The tests' second processes (tests/support/child_process.h): a child's own
// child ends with it, so no process of a test outlives the test program.
#include "support/child_process.h"

#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using vorik::test::Child;
using vorik::test::tellParent;

const vorik::test::ChildMode kWaiter("waiter", [](const QStringList &) -> int {
  tellParent(QStringLiteral("ready %1").arg(::getpid()));
  for (;;) QThread::sleep(1);
});
// Starts a waiter and passes its "ready <pid>" on.
const vorik::test::ChildMode kStarter("starter", [](const QStringList &) -> int {
  Child waiter({QStringLiteral("waiter")});
  tellParent(QString::fromLatin1(waiter.waitFor("ready")));
  for (;;) QThread::sleep(1);
});

TEST(ChildProcess, AChildEndsWithTheProgramThatStartedIt) {
  Child starter({QStringLiteral("starter")});
  const QByteArray ready = starter.waitFor("ready ");
  ASSERT_FALSE(ready.isEmpty());
  const int waiter = static_cast<int>(::syscall(SYS_pidfd_open, ready.mid(6).toInt(), 0));
  if (waiter < 0 && errno == ENOSYS) GTEST_SKIP() << "no pidfd_open in this kernel";
  ASSERT_GE(waiter, 0);
  starter.kill();  // as a crash ends it, its destructors never run
  pollfd ended{waiter, POLLIN, 0};
  if (::poll(&ended, 1, 30000) != 1) {
    ADD_FAILURE() << "the waiter outlived its starter";
    ::syscall(SYS_pidfd_send_signal, waiter, SIGKILL, nullptr, 0);
  }
  ::close(waiter);
}

}  // namespace

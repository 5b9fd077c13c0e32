#pragma once
// Second processes of the tests: the test program started again as
// "<program> --child <mode> <arguments>" runs that mode instead of its tests.
// A child is killed when the test program ends, even by a crash.
//
// A mode is defined once, at namespace scope in the test source that uses it;
// it writes lines for the parent with tellParent() and returns its exit status:
//
//   const vorik::test::ChildMode kHold("hold", [](const QStringList &args) {
//     ...                                          // args: after the mode's name
//     vorik::test::tellParent("ready");
//     for (std::string line; std::getline(std::cin, line) && line != "quit";) {}
//     return 0;
//   });
//
// A test runs it and waits for a line it prints:
//
//   vorik::test::Child child({"hold", path});
//   ASSERT_EQ(child.waitFor("ready"), "ready");   // "" past the time limit or at its end
//   child.send("quit");
//   EXPECT_EQ(child.wait(), 0);
//
// Every test program's main, once its application object exists:
//   if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>

namespace vorik::test {

// Registers a mode under its name.
struct ChildMode {
  ChildMode(const char *name, std::function<int(const QStringList &args)> run);
};

// Writes one line to the parent (standard output, flushed).
void tellParent(const QString &line);

// Whether the command line asks for a child mode; runs it: its exit status.
bool isChildRun(int argc, char **argv);
int runChildMode(int argc, char **argv);

// The parent's side: the test program running one mode.
class Child {
 public:
  static constexpr int kKilled = -1;  // wait(): ended by a signal, or never started
  static constexpr int kHung = -2;    // wait(): still running at the time limit (then killed)

  explicit Child(const QStringList &modeAndArgs,
                 const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
  ~Child();  // killed if still running

  // The next line that starts with prefix (lines before it are passed over);
  // "" when none came within ms or the child ended first.
  QByteArray waitFor(const QByteArray &prefix, int ms = 60000);
  // Writes a line to the child's standard input.
  void send(const QByteArray &line);
  // Waits for the end: the exit status, kKilled or kHung.
  int wait(int ms = 60000);
  // Standard output not taken by waitFor (all of it when it never was).
  QByteArray output();
  void terminate();  // SIGTERM, as the session's end sends
  void kill();       // SIGKILL, as a crash or the task manager ends a program; waits for the end

 private:
  QProcess p_;
  QByteArray buffer_;
};

}  // namespace vorik::test

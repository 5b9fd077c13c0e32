#pragma once
// Opening a file in the program the desktop associates with it (the shell's
// "open" verb). The process has one launcher; tests put a fake in its place.
#include <QString>

namespace platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts the associated program on the file (an absolute path); false when
  // nothing could open it (no opener, or the opener reported a failure: no
  // program for the file's type, a missing file). Returns once the opener has
  // handed the file on, or after a few seconds when it runs the program itself.
  virtual bool open(const QString &path) = 0;
  // Whether the desktop names a program for links of the scheme ("mailto").
  // A launcher that cannot tell answers true.
  virtual bool hasHandler(const QString &scheme) { return true; }
};

// The process's launcher: xdg-open, unless a test has set another.
Launcher &launcher();
// Replaces the process's launcher (not owned); nullptr restores xdg-open.
void setLauncher(Launcher *replacement);

}  // namespace platform

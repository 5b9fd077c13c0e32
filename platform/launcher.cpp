#include "platform/launcher.h"

#include <QProcess>

namespace platform {

namespace {

class XdgOpen : public Launcher {
 public:
  bool open(const QString &path) override {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
  }
};

Launcher *current = nullptr;

}  // namespace

Launcher &launcher() {
  static XdgOpen xdgOpen;
  return current ? *current : xdgOpen;
}

void setLauncher(Launcher *replacement) { current = replacement; }

}  // namespace platform

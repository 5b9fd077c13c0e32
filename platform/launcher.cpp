#include "platform/launcher.h"

#include <QProcess>

namespace platform {

namespace {

class XdgOpen : public Launcher {
 public:
  bool open(const QString &path) override {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
  }
  bool hasHandler(const QString &scheme) override {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForFinished(5000)) {
      query.kill();
      query.waitForFinished(1000);
      return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
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

#include "platform/launcher.h"

#include "platform/logging.h"

#include <QProcess>

namespace platform {

namespace {

// How long an opener may take to hand a file on.
constexpr int kSettleMs = 3000;

class XdgOpen : public Launcher {
 public:
  bool open(const QString &path) override {
    // The opener hands the file on and ends, with its exit code saying
    // whether anything took it; one that is still running after a while runs
    // the viewer itself, which is then left to it.
    auto *opener = new QProcess;
    opener->start(QStringLiteral("xdg-open"), {path});
    if (opener->waitForFinished(kSettleMs)) {
      const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
      if (!opened)
        qCWarning(lcPlatform).noquote() << "xdg-open" << path << "failed:" << opener->exitCode()
                                        << opener->readAllStandardError().trimmed() << opener->errorString();
      delete opener;
      return opened;
    }
    if (opener->state() == QProcess::NotRunning) {  // it could not be started at all
      qCWarning(lcPlatform).noquote() << "xdg-open" << path << "not started:" << opener->errorString();
      delete opener;
      return false;
    }
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    return true;
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

#include "support/cups_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <cups/cups.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace vorik::test {

namespace {

constexpr const char *kCupsd = "/usr/sbin/cupsd";
constexpr const char *kBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char *kPdfConf = "/etc/cups/cups-pdf.conf";
constexpr const char *kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

bool writeText(const QString &name, const QString &text) {
  QFile f(name);
  return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// The job number cups-pdf puts into a file name ("...-job_12.pdf").
int jobOf(const QString &file) {
  const auto m = QRegularExpression(QStringLiteral("job_(\\d+)")).match(file);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace

CupsServer::CupsServer() {
  if (!QFileInfo::exists(kCupsd)) {
    missing_ = QStringLiteral("cupsd is not installed (tools/setup-deps.sh installs cups)");
    return;
  }
  if (!QFileInfo::exists(kBackend) || !QFileInfo::exists(kPdfConf) || !QFileInfo::exists(kPpd)) {
    missing_ = QStringLiteral("the cups-pdf backend is not installed (tools/setup-deps.sh installs "
                              "printer-driver-cups-pdf)");
    return;
  }
  if (geteuid() != 0) {
    // The backend is readable by root only, and the scheduler runs it as root
    // only when it runs as root itself.
    missing_ = QStringLiteral("the cups-pdf backend runs only under a scheduler started as root; "
                              "these tests run as another user");
    return;
  }
  if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty()) {
    missing_ = QStringLiteral("unshare (util-linux) is not installed");
    return;
  }
  if (!dir_.isValid() || !writeConfiguration()) {
    failure_ = QStringLiteral("the print server's folder %1 cannot be written").arg(dir_.path());
    return;
  }
  if (!startScheduler()) return;
  hadServer_ = qEnvironmentVariableIsSet("CUPS_SERVER");
  previousServer_ = qgetenv("CUPS_SERVER");
  qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("cups.sock")).toUtf8());
  pointed_ = true;
  // The client keeps the server it first talked to: make it read the variable again.
  cupsSetServer(nullptr);
}

CupsServer::~CupsServer() {
  if (pointed_) {
    if (hadServer_)
      qputenv("CUPS_SERVER", previousServer_);
    else
      qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }
  stopScheduler();
}

QString CupsServer::outputFolder() const { return dir_.filePath(QStringLiteral("out")); }

bool CupsServer::writeConfiguration() {
  const QDir d(dir_.path());
  // The scheduler's filters run as user lp: they go through the folder and
  // write into its temporary folder.
  if (::chmod(QFile::encodeName(d.path()).constData(), 0755) != 0) return false;
  for (const char *sub : {"root", "root/ppd", "spool", "cache", "state", "log", "out", "pdf-spool", "tmp"})
    if (!d.mkpath(QString::fromLatin1(sub))) return false;
  if (::chmod(QFile::encodeName(d.filePath(QStringLiteral("tmp"))).constData(), 01777) != 0) return false;
  const QString files = QStringLiteral(
                            "ServerRoot %1/root\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                            "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                            "PageLog %1/log/page_log\nPrintcap %1/state/printcap\nServerKeychain %1/state/ssl\n"
                            "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                            "DocumentRoot /usr/share/cups/doc-root\nUser lp\nGroup lp\nSystemGroup root\n"
                            "FileDevice No\n")
                            .arg(d.path());
  // Only the local socket; a failed job is dropped without stopping its
  // queue. The policy "refuse" answers every new job with "forbidden": only a
  // user that does not exist may print (the client is known by its socket's
  // credentials, so no password is asked).
  const QString cupsd = QStringLiteral(
                            "Listen %1/cups.sock\nBrowsing No\nWebInterface No\nLogLevel info\n"
                            "ErrorPolicy abort-job\nDefaultAuthType None\n"
                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"
                            "<Policy refuse>\n  <Limit Create-Job Print-Job Print-URI Validate-Job>\n"
                            "    AuthType Default\n    Require user vorik-nobody\n  </Limit>\n"
                            "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                            .arg(d.path());
  QString printers;
  struct Queue {
    const char *name, *state, *accepting, *policy;
  };
  for (const Queue &q : {Queue{kPrinter, "Idle", "Yes", "default"}, Queue{kStopped, "Stopped", "Yes", "default"},
                         Queue{kRejecting, "Idle", "No", "default"}, Queue{kRefusing, "Idle", "Yes", "refuse"}}) {
    // The job's PDF goes to PostScript through poppler's cairo renderer, which
    // keeps the text readable in the PDF that cups-pdf makes of it.
    printers += QStringLiteral("<Printer %1>\nDeviceURI cups-pdf:/\nState %2\nAccepting %3\nOpPolicy %4\n"
                               "Option pdftops-renderer pdftocairo\n</Printer>\n")
                    .arg(QLatin1String(q.name), QLatin1String(q.state), QLatin1String(q.accepting),
                         QLatin1String(q.policy));
    if (!QFile::copy(kPpd, d.filePath(QStringLiteral("root/ppd/%1.ppd").arg(QLatin1String(q.name)))))
      return false;
  }
  // Every file to the output folder, named by its job.
  const QString pdf = QStringLiteral(
                          "Out %1/out\nAnonDirName %1/out\nSpool %1/pdf-spool\nLog %1/log\nLabel 2\n"
                          "Grp lp\nUserUMask 0000\nAnonUMask 0000\n")
                          .arg(d.path());
  return writeText(d.filePath(QStringLiteral("root/cups-files.conf")), files) &&
         writeText(d.filePath(QStringLiteral("root/cupsd.conf")), cupsd) &&
         writeText(d.filePath(QStringLiteral("root/printers.conf")), printers) &&
         writeText(d.filePath(QStringLiteral("cups-pdf.conf")), pdf);
}

bool CupsServer::startScheduler() {
  const QDir d(dir_.path());
  // A mount namespace of the scheduler's own, where the backend's settings
  // file is the test's; it ends with the scheduler. Whether one can be made
  // here is tried first.
  const QString bind = QStringLiteral("mount --bind \"$1\" %1").arg(QLatin1String(kPdfConf));
  const QStringList unshare{QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
                            QStringLiteral("sh"), QStringLiteral("-c")};
  const QString settings = d.filePath(QStringLiteral("cups-pdf.conf"));
  QProcess probe;
  probe.setProcessChannelMode(QProcess::MergedChannels);
  probe.start(QStringLiteral("unshare"), unshare + QStringList{bind, QStringLiteral("sh"), settings});
  if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
    missing_ = QStringLiteral("no mount namespace can be made here for the scheduler (unshare --mount and "
                              "mount --bind need CAP_SYS_ADMIN): %1")
                   .arg(QString::fromLocal8Bit(probe.readAll()).trimmed());
    return false;
  }
  cupsd_.setProcessChannelMode(QProcess::MergedChannels);
  // A test program that dies does not leave its scheduler running.
  cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
  cupsd_.start(QStringLiteral("unshare"),
               unshare + QStringList{bind + QStringLiteral(" && exec %1 -f -c \"$2\" -s \"$3\"")
                                                .arg(QLatin1String(kCupsd)),
                                     QStringLiteral("sh"), settings, d.filePath(QStringLiteral("root/cupsd.conf")),
                                     d.filePath(QStringLiteral("root/cups-files.conf"))});
  if (!cupsd_.waitForStarted(10000)) {
    failure_ = QStringLiteral("the scheduler cannot be started: %1").arg(cupsd_.errorString());
    return false;
  }
  // Ready once its socket takes connections (the queues are loaded before).
  const QString socket = d.filePath(QStringLiteral("cups.sock"));
  QDeadlineTimer deadline(30000);
  while (!deadline.hasExpired()) {
    if (cupsd_.state() == QProcess::NotRunning) break;
    if (http_t *http = httpConnect2(QFile::encodeName(socket).constData(), 0, nullptr, AF_UNSPEC,
                                    HTTP_ENCRYPTION_IF_REQUESTED, 1, 200, nullptr)) {
      httpClose(http);
      return true;
    }
    QThread::msleep(50);
  }
  failure_ = QStringLiteral("the scheduler did not come up: %1\n%2")
                 .arg(QString::fromLocal8Bit(cupsd_.readAll()).trimmed(), logTail());
  stopScheduler();
  return false;
}

void CupsServer::stopScheduler() {
  if (cupsd_.state() == QProcess::NotRunning) return;
  cupsd_.terminate();
  if (!cupsd_.waitForFinished(15000)) {
    cupsd_.kill();
    cupsd_.waitForFinished(5000);
  }
}

QStringList CupsServer::waitForNewPdfs(int count, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  QStringList fresh;
  while (!deadline.hasExpired()) {
    cups_job_t *jobs = nullptr;
    const int active = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kPrinter, 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(active > 0 ? active : 0, jobs);
    if (active == 0) {
      fresh.clear();
      for (const QString &f : QDir(outputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files))
        if (!seen_.contains(f)) fresh << f;
      if (fresh.size() >= count) break;
    }
    QCoreApplication::processEvents();
    QThread::msleep(100);
  }
  std::sort(fresh.begin(), fresh.end(), [](const QString &a, const QString &b) { return jobOf(a) < jobOf(b); });
  seen_ << fresh;
  QStringList paths;
  for (const QString &f : fresh) paths << QDir(outputFolder()).filePath(f);
  return paths;
}

QString CupsServer::logTail() const {
  QFile f(dir_.filePath(QStringLiteral("log/error_log")));
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll().right(4000));
}

}  // namespace vorik::test

#include "db/fb_internal.h"

#include "db/error.h"
#include "platform/cp1250.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>
#include <vector>

#ifndef VORIK_FBROOT_DEFAULT
#define VORIK_FBROOT_DEFAULT ""
#endif

namespace db::fb {

namespace {

// The client reads its configuration from the folder FIREBIRD names, once,
// at its first call: set it before that when the environment leaves it out.
// The folder beside the executable wins over the build tree's.
void ensureEngineRoot() {
  const char *given = std::getenv("FIREBIRD");
  if (given && *given) return;
  char exe[4096];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  QString root;
  if (n > 0) {
    exe[n] = '\0';
    QString beside = QFileInfo(QString::fromLocal8Bit(exe)).absolutePath() + QStringLiteral("/fbroot");
    if (QFileInfo(beside).isDir()) root = beside;
  }
  if (root.isEmpty()) root = QString::fromUtf8(VORIK_FBROOT_DEFAULT);
  if (!root.isEmpty()) ::setenv("FIREBIRD", QFile::encodeName(root).constData(), 1);
}

// The client library is loaded at run time, so that a machine without it
// gets a clear error from the connection instead of a program that cannot
// start. VORIK_FBCLIENT names another library file (tests use it).
Firebird::IMaster *loadMaster() {
  ensureEngineRoot();
  QByteArray file = qgetenv("VORIK_FBCLIENT");
  if (file.isEmpty()) file = QByteArrayLiteral("libfbclient.so.2");
  void *handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    const char *why = ::dlerror();
    throw Error(QStringLiteral("The database client library cannot be loaded: ") +
                QString::fromLocal8Bit(why ? why : file.constData()));
  }
  using GetMaster = Firebird::IMaster *(*)();
  auto getMaster = reinterpret_cast<GetMaster>(::dlsym(handle, "fb_get_master_interface"));
  if (!getMaster) {
    throw Error(QStringLiteral("The database client library cannot be loaded: ") +
                QString::fromLocal8Bit(file) +
                QStringLiteral(" has no fb_get_master_interface"));
  }
  return getMaster();
}

}  // namespace

Firebird::IMaster *master() {
  static Firebird::IMaster *m = loadMaster();
  return m;
}

Firebird::IUtil *util() {
  static Firebird::IUtil *u = master()->getUtilInterface();
  return u;
}

Firebird::IProvider *provider() {
  static Firebird::IProvider *p = master()->getDispatcher();
  return p;
}

Status::Status() : raw_(master()->getStatus()), wrapper_(raw_.get()) {}

bool Status::failed() const {
  return (const_cast<Firebird::CheckStatusWrapper &>(wrapper_).getState() &
          Firebird::IStatus::STATE_ERRORS) != 0;
}

void Status::check() {
  if (!failed()) return;
  std::vector<char> text(2048);
  unsigned len = util()->formatStatus(text.data(), static_cast<unsigned>(text.size()), &wrapper_);
  QString message = platform::fromCp1250(std::string_view(text.data(), len)).trimmed();
  std::vector<std::intptr_t> codes;
  const intptr_t *v = wrapper_.getErrors();
  // The status vector is a list of (argument kind, value) pairs; a
  // string-with-length argument takes two values.
  while (v && *v != isc_arg_end) {
    intptr_t kind = v[0];
    if (kind == isc_arg_gds) codes.push_back(v[1]);
    v += (kind == isc_arg_cstring) ? 3 : 2;
  }
  wrapper_.init();
  throw Error(message, std::move(codes));
}

ISC_TIME encodeTime(const QTime &t) {
  if (!t.isValid()) return 0;
  return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10;
}

QTime decodeTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10)); }

QByteArray fileName(const QString &path) { return QFile::encodeName(path); }

}  // namespace db::fb

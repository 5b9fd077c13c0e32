#include "platform/error_text.h"

#include <QLoggingCategory>

#include <cerrno>
#include <new>

namespace platform {

namespace {

// The library's "std::bad_alloc" says nothing to the user.
const QString kOutOfMemory = QStringLiteral(
    "Elfogyott a memória, a művelet nem fejeződött be. Kérem zárjon be más programokat, vagy válasszon kisebb "
    "fájlt vagy rövidebb időszakot, és próbálja újra.");

// The exception being handled as raised, for the log.
QString raisedText() {
  try {
    throw;
  } catch (const std::exception &e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}

}  // namespace

QString exceptionText(const std::exception &e) {
  if (dynamic_cast<const std::bad_alloc *>(&e)) return kOutOfMemory;
  return QString::fromUtf8(e.what());
}

QString exceptionText(std::exception_ptr e) {
  if (e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception &known) {
      return exceptionText(known);
    } catch (...) {
    }
  }
  return QStringLiteral("Unknown error");
}

void logCaught(const QLoggingCategory &category, const QString &context) {
  qCWarning(category).noquote() << context.trimmed() + QStringLiteral(" -- ") +
                                        (std::current_exception() ? raisedText() : exceptionText());
}

QString lastSystemErrorText() { return systemErrorText(errno != 0 ? errno : EIO); }

SystemErrorKind systemErrorKind(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT: return SystemErrorKind::DiskFull;
    case EFBIG: return SystemErrorKind::TooLarge;
    case EACCES:
    case EPERM: return SystemErrorKind::NoAccess;
    case EROFS: return SystemErrorKind::ReadOnlyDisk;
    case ENOENT:
    case ENOTDIR: return SystemErrorKind::Missing;
    case EISDIR: return SystemErrorKind::IsFolder;
    case EEXIST: return SystemErrorKind::Exists;
    case ENAMETOOLONG: return SystemErrorKind::NameTooLong;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: return SystemErrorKind::InUse;
    case EMFILE:
    case ENFILE: return SystemErrorKind::TooManyOpen;
    case ENOMEM: return SystemErrorKind::NoMemory;
    case EXDEV: return SystemErrorKind::OtherDisk;
    case EIO: return SystemErrorKind::DiskError;
    default: return SystemErrorKind::Other;
  }
}

QString systemErrorText(int error) {
  switch (systemErrorKind(error)) {
    case SystemErrorKind::DiskFull: return QStringLiteral("betelt a lemez");
    case SystemErrorKind::TooLarge: return QStringLiteral("a fájl túl nagy");
    case SystemErrorKind::NoAccess: return QStringLiteral("nincs hozzáférési jog");
    case SystemErrorKind::ReadOnlyDisk: return QStringLiteral("csak olvasható a lemez");
    case SystemErrorKind::Missing: return QStringLiteral("a fájl vagy a mappa nem létezik");
    case SystemErrorKind::IsFolder: return QStringLiteral("ilyen nevű mappa van");
    case SystemErrorKind::Exists: return QStringLiteral("ilyen nevű fájl már létezik");
    case SystemErrorKind::NameTooLong: return QStringLiteral("túl hosszú a fájl neve");
    case SystemErrorKind::InUse: return QStringLiteral("egy másik program használja");
    case SystemErrorKind::TooManyOpen: return QStringLiteral("túl sok a megnyitott fájl");
    case SystemErrorKind::NoMemory: return QStringLiteral("elfogyott a memória");
    case SystemErrorKind::OtherDisk: return QStringLiteral("másik lemezre nem nevezhető át");
    case SystemErrorKind::DiskError: return QStringLiteral("lemezhiba");
    case SystemErrorKind::Other: break;
  }
  return QStringLiteral("rendszerhiba (%1)").arg(error);
}

}  // namespace platform

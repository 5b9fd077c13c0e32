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

QString systemErrorText(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("betelt a lemez");
    case EFBIG:
      return QStringLiteral("a fájl túl nagy");
    case EACCES:
    case EPERM:
      return QStringLiteral("nincs hozzáférési jog");
    case EROFS:
      return QStringLiteral("csak olvasható a lemez");
    case ENOENT:
    case ENOTDIR:
      return QStringLiteral("a fájl vagy a mappa nem létezik");
    case EISDIR:
      return QStringLiteral("ilyen nevű mappa van");
    case EEXIST:
      return QStringLiteral("ilyen nevű fájl már létezik");
    case ENAMETOOLONG:
      return QStringLiteral("túl hosszú a fájl neve");
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
      return QStringLiteral("egy másik program használja");
    case EMFILE:
    case ENFILE:
      return QStringLiteral("túl sok a megnyitott fájl");
    case ENOMEM:
      return QStringLiteral("elfogyott a memória");
    case EXDEV:
      return QStringLiteral("másik lemezre nem nevezhető át");
    case EIO:
      return QStringLiteral("lemezhiba");
    default:
      return QStringLiteral("rendszerhiba (%1)").arg(error);
  }
}

}  // namespace platform

#include "platform/error_text.h"

namespace platform {

QString exceptionText(const std::exception &e) { return QString::fromUtf8(e.what()); }

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

}  // namespace platform

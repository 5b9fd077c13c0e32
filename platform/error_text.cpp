#include "platform/error_text.h"

#include <QLoggingCategory>

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

void logCaught(const QLoggingCategory &category, const QString &context) {
  qCWarning(category).noquote() << context.trimmed() + QStringLiteral(" -- ") + exceptionText();
}

}  // namespace platform

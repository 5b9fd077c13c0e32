#include "exchange/imports/ImportWriter.h"

#include "db/dataset.h"
#include "exchange/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

namespace imports {

QString InsertSql(const QString &table, const QStringList &columns) {
  QStringList params;
  for (int i = 1; i <= columns.size(); ++i) params << QStringLiteral(":p%1").arg(i);
  return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(QStringLiteral(", ")),
                                                                  params.join(QStringLiteral(", ")));
}

int InsertLines(db::Query *query, const QStringList &lines, const Parser &parse, const QString &message,
                const std::function<void(int)> &progress) {
  int inserted = 0;
  for (int i = 0; i < lines.size(); ++i) {
    if (progress) progress(i);
    if (Trim(lines[i]).isEmpty()) continue;
    const Record record = parse(lines[i], i + 1);
    QString reason = record.error;
    if (reason.isEmpty()) {
      try {
        for (int p = 0; p < record.values.size(); ++p)
          query->paramByName(QStringLiteral("p%1").arg(p + 1)).setValue(record.values[p]);
        // A refused statement is undone by itself; the transaction goes on.
        query->execute();
        ++inserted;
        continue;
      } catch (const std::exception &e) {
        reason = platform::exceptionText(e);
        platform::logCaught(lcExchange(), message + QStringLiteral(" %1. sor").arg(i + 1));
      }
    }
    platform::showMessage(message + QStringLiteral("\r%1. sor: ").arg(i + 1) + reason);
  }
  return inserted;
}

}  // namespace imports

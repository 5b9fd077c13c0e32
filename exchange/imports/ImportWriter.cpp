#include "exchange/imports/ImportWriter.h"

#include "app/Unit2.h"
#include "db/dataset.h"
#include "db/error.h"
#include "exchange/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

#include <QSet>

namespace imports {

namespace {

// A code as the database compares it: trailing blanks do not count.
QString CodeKey(const QString &code) {
  qsizetype e = code.size();
  while (e > 0 && code[e - 1] == QLatin1Char(' ')) --e;
  return code.left(e);
}

// The cause, in the user's words, of a failure of the database itself
// rather than of a line's values (the engine's error codes): its file cannot
// be written or read, or the attachment is gone. Empty for a line's fault.
QString DatabaseFailure(const std::exception &e) {
  const auto *error = dynamic_cast<const db::Error *>(&e);
  if (!error) return QString();
  constexpr std::intptr_t kIoError = 335544344, kCreateError = 335544733, kReadError = 335544736,
                          kWriteError = 335544737;
  constexpr std::intptr_t kNetworkError = 335544721, kLostConnection = 335544741, kShutdown = 335544528,
                          kAttachmentShutdown = 335544856;
  for (std::intptr_t code : {kIoError, kCreateError, kReadError, kWriteError})
    if (error->hasCode(code))
      return QStringLiteral("Az adatbázis fájlja nem írható (betelt a lemez, ahol az adatbázis van, vagy "
                            "lemezhiba). A fájlból semmi nem került tárolásra. Kérem szabadítson fel helyet "
                            "azon a lemezen, és ismételje meg a feldolgozást.");
  for (std::intptr_t code : {kNetworkError, kLostConnection, kShutdown, kAttachmentShutdown})
    if (error->hasCode(code))
      return QStringLiteral("Megszakadt a kapcsolat az adatbázissal. A fájlból semmi nem került tárolásra. "
                            "Kérem lépjen ki a programból, indítsa újra, és ismételje meg a feldolgozást.");
  return QString();
}

void Execute(db::Query *on, const QString &sql) {
  db::Query q;
  q.setTransaction(on->transaction());
  q.sql().add(sql);
  q.execute();
}

}  // namespace

QString InsertSql(const QString &table, const QStringList &columns) {
  QStringList params;
  for (int i = 1; i <= columns.size(); ++i) params << QStringLiteral(":p%1").arg(i);
  return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(QStringLiteral(", ")),
                                                                  params.join(QStringLiteral(", ")));
}

InsertResult InsertLines(db::Query *query, const QStringList &lines, const Parser &parse, const QString &message,
                         const InsertOptions &options) {
  InsertResult result;
  QSet<QString> taken;
  if (!options.takenCodesSql.isEmpty()) {
    db::Query codes;
    codes.setTransaction(query->transaction());
    codes.setForwardOnly(true);
    codes.sql().add(options.takenCodesSql);
    for (codes.open(); !codes.eof(); codes.next())
      if (!codes.field(0).isNull()) taken.insert(CodeKey(codes.field(0).asString()));
    codes.close();
  }
  // Where a stop takes the transaction back to.
  if (options.askAfterFirstRefusal) Execute(query, QStringLiteral("SAVEPOINT VORIK_IMPORT"));
  bool quiet = false;
  for (int i = 0; i < lines.size(); ++i) {
    if (options.progress) options.progress(i);
    if (Trim(lines[i]).isEmpty()) continue;
    const Record record = parse(lines[i], i + 1);
    QString reason = record.error;
    QString code;
    if (reason.isEmpty() && !options.takenCodesSql.isEmpty()) {
      code = CodeKey(record.values.value(0).toString());
      if (Trim(code).isEmpty()) reason = QStringLiteral("hiányzik a kód");
      else if (taken.contains(code)) reason = QStringLiteral("a(z) \"%1\" kód már létezik").arg(code);
    }
    if (reason.isEmpty()) {
      try {
        for (int p = 0; p < record.values.size(); ++p)
          query->paramByName(QStringLiteral("p%1").arg(p + 1)).setValue(record.values[p]);
        // A refused statement is undone by itself; the transaction goes on.
        query->execute();
        ++result.inserted;
        if (!options.takenCodesSql.isEmpty()) taken.insert(code);
        continue;
      } catch (const std::exception &e) {
        platform::logCaught(lcExchange(), message + QStringLiteral(" %1. sor").arg(i + 1));
        if (const QString cause = DatabaseFailure(e); !cause.isEmpty()) {
          if (options.steps) options.steps->at(message + QStringLiteral("\r") + cause);
          throw;
        }
        reason = platform::exceptionText(e);
      }
    }
    ++result.refused;
    const QString text = message + QStringLiteral("\r%1. sor: ").arg(i + 1) + reason;
    if (!options.askAfterFirstRefusal) {
      platform::showMessage(text);
    } else if (!quiet) {
      quiet = platform::confirmYesNo(
          text + QStringLiteral("\r\rFolytatja a feldolgozást? Igen: a további hibás sorok üzenet nélkül "
                                "kimaradnak, a végén látja a számukat. Nem: a feldolgozás leáll, semmi nem "
                                "kerül tárolásra."));
      if (!quiet) {
        Execute(query, QStringLiteral("ROLLBACK TO SAVEPOINT VORIK_IMPORT"));
        result.stopped = true;
        result.inserted = 0;
        return result;
      }
    }
  }
  return result;
}

}  // namespace imports

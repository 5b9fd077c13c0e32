#include "db/schema.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/logging.h"
#include "db/transaction.h"
#include "platform/error_text.h"
#include "platform/process_lock.h"
#include "db_schema_script.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <exception>

namespace db {

QString schemaScript(SchemaVariant variant) {
  const QString script = QString::fromUtf8(kSchemaScript);
  return variant == SchemaVariant::Old ? oldSchemaVariant(script) : script;
}

QString oldSchemaVariant(const QString &script) {
  static const QString marker = QStringLiteral("-- old:");
  QStringList out;
  for (const QString &line : script.split(QLatin1Char('\n'))) {
    const qsizetype at = line.indexOf(marker);
    if (at < 0 || line.trimmed().startsWith(QLatin1String("--"))) {
      out << line;
      continue;
    }
    const QString replacement = line.mid(at + marker.size()).trimmed();
    if (!replacement.isEmpty()) out << replacement;
  }
  return out.join(QLatin1Char('\n'));
}

int columnWidth(const QString &script, const QString &table, const QString &column) {
  static const QRegularExpression tableStart(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)\\s*\\("),
                                             QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression domain(
      QStringLiteral("^CREATE\\s+DOMAIN\\s+(\\w+)\\s+AS\\s+(?:VAR)?CHAR\\s*\\((\\d+)\\)"),
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression definition(QStringLiteral("^(\\w+)\\s+(?:(?:VAR)?CHAR\\s*\\((\\d+)\\)|(\\w+))"),
                                             QRegularExpression::CaseInsensitiveOption);
  QHash<QString, int> domains;
  bool inTable = false;
  for (const QString &raw : script.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.startsWith(QLatin1String("--"))) continue;
    if (const QRegularExpressionMatch m = domain.match(line); m.hasMatch()) {
      domains.insert(m.captured(1).toUpper(), m.captured(2).toInt());
    } else if (const QRegularExpressionMatch t = tableStart.match(line); t.hasMatch()) {
      inTable = t.captured(1).compare(table, Qt::CaseInsensitive) == 0;
    } else if (inTable && line.startsWith(QLatin1Char(')'))) {
      return -1;
    } else if (const QRegularExpressionMatch c = definition.match(line);
               inTable && c.hasMatch() && c.captured(1).compare(column, Qt::CaseInsensitive) == 0) {
      return c.captured(2).isEmpty() ? domains.value(c.captured(3).toUpper(), -1) : c.captured(2).toInt();
    }
  }
  return -1;
}

QStringList addMissingIndexes(Connection &connection) {
  // The script's collations come before the indexes that sort in them.
  static const QRegularExpression plainIndex(
      QStringLiteral("^CREATE\\s+(?:(?:(?:ASCENDING|DESCENDING)\\s+)?INDEX|COLLATION)\\s+(\\w+)\\s+(?:ON|FOR)\\b[^;]*"),
      QRegularExpression::CaseInsensitiveOption);
  QStringList made;
  Transaction t;
  t.setConnection(&connection);
  QSet<QString> present;
  {
    Query q;
    q.setTransaction(&t);
    q.sql().add(QStringLiteral("SELECT TRIM(rdb$index_name) FROM rdb$indices UNION ALL "
                               "SELECT TRIM(rdb$collation_name) FROM rdb$collations"));
    q.open();
    for (q.first(); !q.eof(); q.next()) present.insert(q.field(0).asString().toUpper());
    q.close();
    t.commit();
  }
  for (const QString &line : schemaScript().split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = plainIndex.match(line.trimmed());
    if (!m.hasMatch() || present.contains(m.captured(1).toUpper())) continue;
    try {
      Query q;
      q.setTransaction(&t);
      q.sql().add(m.captured(0));
      q.execute();
      t.commit();
      made << m.captured(1);
    } catch (const std::exception &e) {
      if (t.active()) t.rollback();
      qCWarning(lcDb).noquote() << "index" << m.captured(1) << "not made now:" << platform::exceptionText(e);
    }
  }
  return made;
}

const char *const kBackupCopier = "backup";

namespace {

// The first column of the first row of sql, committed.
qint64 valueOf(Transaction &t, const QString &sql) {
  Query q;
  q.setTransaction(&t);
  q.sql().add(sql);
  q.open();
  const qint64 v = q.field(0).asInteger();
  q.close();
  t.commit();
  return v;
}

void executeCommitted(Transaction &t, const QString &sql) {
  Query q;
  q.setTransaction(&t);
  q.sql().add(sql);
  q.execute();
  t.commit();
}

}  // namespace

int backupState(Transaction &transaction) {
  return static_cast<int>(valueOf(transaction, QStringLiteral("SELECT MON$BACKUP_STATE FROM MON$DATABASE")));
}

void endBackupLock(Transaction &transaction) {
  if (backupState(transaction) == 0) return;
  // A lock whose beginning failed half-way (the side file could not be
  // written) has the header's mark without the record of the lock, and the
  // engine refuses to end it: the lock is begun on it once more, which the
  // engine takes, and ended.
  const bool recorded = valueOf(transaction, QStringLiteral("SELECT COUNT(*) FROM RDB$FILES "
                                                            "WHERE BIN_AND(RDB$FILE_FLAGS, 64) <> 0")) != 0;
  if (!recorded) executeCommitted(transaction, QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
  executeCommitted(transaction, QStringLiteral("ALTER DATABASE END BACKUP"));
  if (const int state = backupState(transaction); state != 0)
    throw Error(QStringLiteral("the backup lock is still on after its end (state %1)").arg(state));
}

bool fileBackupLocked(const QString &path) {
  // The header page: page type 1 at offset 0, the flags at 42 (little
  // endian), whose bits 0x0C00 hold the backup state.
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray h = f.read(44);
  return h.size() == 44 && h[0] == 1 && (static_cast<unsigned char>(h[43]) & 0x0C) != 0;
}

QString backupLockLeftText(const QString &path) {
  const QString delta = QFileInfo(path).fileName() + QStringLiteral(".delta");
  return QStringLiteral("Az adatbázis egy félbemaradt mentés zárolásában maradt: a változások az adatbázis "
                        "melletti \"%1\" fájlba kerülnek, és a program nem tudta visszaírni őket. "
                        "Kérem szabadítson fel helyet azon a lemezen, ahol az adatbázis van, majd indítsa újra "
                        "a programot. Addig a \"%1\" fájlt ne törölje és ne mozgassa el, és az adatbázis fájlt "
                        "ne másolja le.")
      .arg(delta);
}

bool endLeftOverBackupLock(Connection &connection) {
  const auto copier = platform::ProcessLock::take(connection.databaseName(), QString::fromLatin1(kBackupCopier));
  if (!copier) return false;  // a live copy under way keeps its lock
  Transaction t;
  t.setConnection(&connection);
  t.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
  if (backupState(t) == 0) return false;
  endBackupLock(t);
  return true;
}

}  // namespace db

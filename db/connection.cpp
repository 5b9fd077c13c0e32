#include "db/connection.h"

#include "db/dataset.h"
#include "db/error.h"
#include "db/fb_internal.h"
#include "db/logging.h"
#include "db/transaction.h"
#include "platform/cp1250.h"
#include "platform/error_text.h"

#include <QFile>
#include <QFileInfo>

namespace db {

using namespace Firebird;

namespace {

// A path without a host part resolves against the working directory.
QString resolvedPath(const QString &name) {
  QFileInfo info(name);
  if (name.contains(QLatin1Char(':')) || !info.isRelative()) return name;
  return info.absoluteFilePath();
}

// Fills a parameter block from "key=value" lines.
void addParams(IXpbBuilder *dpb, fb::Status &st, const QStringList &params) {
  for (const QString &line : params) {
    if (line.trimmed().isEmpty()) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString key = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
    const QByteArray value = platform::toCp1250(eq < 0 ? QString() : line.mid(eq + 1));
    unsigned char tag;
    if (key == QLatin1String("user_name")) tag = isc_dpb_user_name;
    else if (key == QLatin1String("password")) tag = isc_dpb_password;
    else if (key == QLatin1String("lc_ctype")) tag = isc_dpb_lc_ctype;
    else if (key == QLatin1String("sql_role_name")) tag = isc_dpb_sql_role_name;
    else throw Error(QStringLiteral("unknown connection parameter '%1'").arg(key));
    dpb->insertString(&st, tag, value.constData());
    st.check();
  }
}

// A local path opens through the embedded engine only: without it the
// client would fall back to a network connection to "localhost" and report
// that instead of the engine's own failure.
void embeddedOnly(IXpbBuilder *dpb, fb::Status &st, const QString &name) {
  if (name.contains(QLatin1Char(':'))) return;
  dpb->insertString(&st, isc_dpb_config, "Providers = Engine12");
  st.check();
}

constexpr std::intptr_t kUnavailable = 335544375L;  // "unavailable database"

// The engine's terse text for an engine that did not load, with where it was looked for.
QString engineMissing(const Error &e) {
  return QStringLiteral("The embedded database engine could not be loaded (engine folder: %1): %2")
      .arg(QString::fromLocal8Bit(qgetenv("FIREBIRD")), e.message());
}

// Raises the failure of an attach or a create; an engine that did not load
// says where it was looked for.
void checkAttached(fb::Status &st) {
  try {
    st.check();
  } catch (const Error &e) {
    if (!e.hasCode(kUnavailable)) throw;
    throw Error(engineMissing(e), e.codes());
  }
}

}  // namespace

QStringList defaultConnectionParams() {
  return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=tulipfang"), QStringLiteral("lc_ctype=WIN1250")};
}

Connection::Connection(QObject *parent) : QObject(parent) {}

Connection::~Connection() {
  try {
    close();
  } catch (...) {
    platform::logCaught(lcDb(), objectName() + QStringLiteral(": closing"));
  }
}

void Connection::open() {
  if (connected()) return;
  rulesCheckedAt_ = -1;
  if (databaseName_.trimmed().isEmpty()) throw Error(QStringLiteral("%1: no database name").arg(objectName()));
  fb::Status st;
  const fb::Owned<IXpbBuilder> dpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
  st.check();
  addParams(dpb.get(), st, params_);
  dpb->insertInt(&st, isc_dpb_sql_dialect, sqlDialect());
  st.check();
  embeddedOnly(dpb.get(), st, databaseName_);
  const QByteArray path = fb::fileName(resolvedPath(databaseName_));
  const unsigned char *buf = dpb->getBuffer(&st);
  unsigned len = dpb->getBufferLength(&st);
  st.check();
  IAttachment *att = fb::provider()->attachDatabase(&st, path.constData(), len, buf);
  attachment_.reset(st.failed() ? nullptr : att);
  checkAttached(st);
}

void Connection::close() {
  if (!connected()) return;
  emit aboutToDisconnect();
  fb::Status st;
  attachment_->detach(&st);
  attachment_.ended(st);
  st.check();
}

QStringList splitScript(const QString &script) {
  QStringList statements;
  QString current;
  bool meaningful = false;  // anything but blanks and comments so far
  const qsizetype n = script.size();
  auto flush = [&] {
    if (meaningful) statements << current.trimmed();
    current.clear();
    meaningful = false;
  };
  for (qsizetype i = 0; i < n;) {
    QChar c = script[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      qsizetype j = i + 1;
      while (j < n) {
        if (script[j] == c) {
          if (j + 1 < n && script[j + 1] == c) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      j = std::min(j + 1, n);
      current += script.mid(i, j - i);
      meaningful = true;
      i = j;
    } else if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
      qsizetype j = script.indexOf(QLatin1Char('\n'), i);
      i = j < 0 ? n : j;
    } else if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
      qsizetype j = script.indexOf(QStringLiteral("*/"), i + 2);
      i = j < 0 ? n : j + 2;
      current += QLatin1Char(' ');
    } else if (c == QLatin1Char(';')) {
      flush();
      ++i;
    } else {
      current += c;
      if (!c.isSpace()) meaningful = true;
      ++i;
    }
  }
  flush();
  return statements;
}

void createDatabase(const QString &path, const QString &script) {
  if (QFileInfo::exists(path)) throw Error(QStringLiteral("The database file \"%1\" already exists").arg(path));
  const QStringList statements = splitScript(script);
  fb::Status st;
  fb::Owned<IAttachment> att;
  {
    const fb::Owned<IXpbBuilder> dpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    st.check();
    addParams(dpb.get(), st, defaultConnectionParams());
    dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1250");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    dpb->insertInt(&st, isc_dpb_page_size, 8192);
    st.check();
    embeddedOnly(dpb.get(), st, path);
    const unsigned char *buf = dpb->getBuffer(&st);
    unsigned len = dpb->getBufferLength(&st);
    st.check();
    IAttachment *created = fb::provider()->createDatabase(&st, fb::fileName(resolvedPath(path)).constData(), len, buf);
    att.reset(st.failed() ? nullptr : created);
    checkAttached(st);
  }

  for (const QString &sql : statements) {
    const QByteArray text = platform::toCp1250(sql);
    fb::Owned<ITransaction> tra(att->startTransaction(&st, 0, nullptr));
    if (!st.failed()) {
      att->execute(&st, tra.get(), static_cast<unsigned>(text.size()), text.constData(), 3, nullptr, nullptr,
                   nullptr, nullptr);
      if (!st.failed()) {
        tra->commit(&st);
        tra.ended(st);
      } else {
        fb::Status st2;
        tra->rollback(&st2);
        tra.ended(st2);
      }
    }
    if (st.failed()) {
      QString message;
      std::vector<std::intptr_t> codes;
      try {
        st.check();
      } catch (const Error &e) {
        message = e.message();
        codes = e.codes();
      }
      // Leave nothing behind: the half-built file goes.
      fb::Status st2;
      att->dropDatabase(&st2);
      if (st2.failed()) {
        att->detach(&st2);
        QFile::remove(path);
      }
      att.ended(st2);
      throw Error(message + QStringLiteral("\nStatement: ") + sql.left(200), std::move(codes));
    }
  }
  att->detach(&st);
  att.ended(st);
  st.check();
}

bool Connection::writesReachOtherTables(Transaction *t) {
  if (rulesCheckedAt_ == static_cast<int>(schemaVersion_)) return writesReachOtherTables_;
  Query q;
  q.setTransaction(t);
  // Check constraints are system triggers (flag 3) that change nothing.
  q.sql().add(QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0)"));
  q.sql().add(QStringLiteral("  OR EXISTS (SELECT 1 FROM RDB$REF_CONSTRAINTS WHERE"));
  q.sql().add(QStringLiteral("    TRIM(RDB$UPDATE_RULE) NOT IN ('RESTRICT', 'NO ACTION') OR"));
  q.sql().add(QStringLiteral("    TRIM(RDB$DELETE_RULE) NOT IN ('RESTRICT', 'NO ACTION'))"));
  q.sql().add(QStringLiteral("  THEN 1 ELSE 0 END FROM RDB$DATABASE"));
  q.open();
  writesReachOtherTables_ = q.field(0).asInteger() != 0;
  q.close();
  rulesCheckedAt_ = static_cast<int>(schemaVersion_);
  return writesReachOtherTables_;
}

}  // namespace db

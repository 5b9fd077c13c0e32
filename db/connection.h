#pragma once
// The database connection: one attachment to a database file through the
// embedded engine, with the connection character set WIN1250 and SQL
// dialect 3. Text crosses this boundary as Windows-1250 bytes.
#include "db/fb_owned.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace Firebird {
class IAttachment;
}

namespace db {

class Transaction;

class Connection : public QObject {
  Q_OBJECT
 public:
  explicit Connection(QObject *parent = nullptr);
  ~Connection() override;

  // A path; a bare file name resolves against the working directory.
  void setDatabaseName(const QString &name) { databaseName_ = name; }
  QString databaseName() const { return databaseName_; }
  // "key=value" lines: user_name, password, lc_ctype, sql_role_name.
  QStringList &params() { return params_; }
  void setParams(const QStringList &params) { params_ = params; }
  int sqlDialect() const { return 3; }

  // Attaches; the engine's message on failure (missing file, not a
  // database, engine not loadable) comes as db::Error.
  void open();
  // Rolls back active transactions (closing their datasets), releases
  // prepared statements and detaches. Harmless when not connected.
  void close();
  bool connected() const { return static_cast<bool>(attachment_); }

  void setDefaultTransaction(Transaction *t) { defaultTransaction_ = t; }
  Transaction *defaultTransaction() const { return defaultTransaction_; }

  // The engine's attachment (null when not connected).
  Firebird::IAttachment *attachment() const { return attachment_.get(); }

  // Grows with every DDL statement executed through this connection, so
  // prepared statements are prepared again with the new table layouts.
  unsigned schemaVersion() const { return schemaVersion_; }
  void schemaChanged() { ++schemaVersion_; }

  // Whether a write can change rows of tables other than the one it names:
  // the database has user triggers or foreign keys with cascading rules.
  // Asked through the transaction t once per attachment and schema version.
  bool writesReachOtherTables(Transaction *t);

 signals:
  // Emitted before detaching: statements and transactions let go of the attachment.
  void aboutToDisconnect();

 private:
  QString databaseName_;
  QStringList params_;
  Transaction *defaultTransaction_ = nullptr;
  fb::Owned<Firebird::IAttachment> attachment_;
  unsigned schemaVersion_ = 0;
  int rulesCheckedAt_ = -1;  // schema version of the cached answer, -1: none
  bool writesReachOtherTables_ = true;
};

// The connection parameters of the register database.
QStringList defaultConnectionParams();

// Creates a database file (character set WIN1250, dialect 3) and runs the
// schema script in it, one statement at a time, each committed. An existing
// file is never touched; on any failure the new file is removed again.
void createDatabase(const QString &path, const QString &script);

// The statements of a script separated by ';' outside quotes and comments;
// empty statements and comment-only pieces are left out.
QStringList splitScript(const QString &script);

}  // namespace db

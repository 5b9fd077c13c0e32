#pragma once
// The schema script of the register database, embedded at build time from
// resources/schema.sql.
#include <QString>

namespace db {

enum class SchemaVariant {
  Current,  // every column and domain width of this version
  Old,      // as earlier versions delivered it: before the upgrade dialogs ran
};

QString schemaScript(SchemaVariant variant = SchemaVariant::Current);

// Derives the older variant from a script: a statement line carrying the
// marker "-- old:" is replaced by the text after it, or left out when none
// follows. Comment lines are kept as they are.
QString oldSchemaVariant(const QString &script);

// The character width a script gives a text column of a table, directly
// (VARCHAR(n), CHAR(n)) or through its domain; -1 when the script has no
// such text column. Names compare without regard to case.
int columnWidth(const QString &script, const QString &table, const QString &column);

class Connection;

// Gives a database made by an earlier version the script's plain (not
// unique) indexes it lacks, which the lists read their rows through, and
// the collations they sort in (named among the indexes made). Each
// is made in a transaction of its own that waits for no lock; one that
// cannot be made now (another program holds the table) is left for a later
// start. Answers the names made.
QStringList addMissingIndexes(Connection &connection);

// The hold that whoever copies a database file keeps while the engine's
// backup lock is theirs (platform::ProcessLock purpose, on the database file).
extern const char *const kBackupCopier;
// Ends the engine's backup lock on the open database when no live copier
// holds it: one a killed copy left, which would keep the main file frozen
// (changes going to the side file) for good. True when one was ended.
// Errors rise as db::Error.
bool endLeftOverBackupLock(Connection &connection);

class Transaction;
// The engine's backup state of the transaction's database: 0 normal, 1
// locked (changes go to the side file), 2 merging.
int backupState(Transaction &transaction);
// Ends the engine's backup lock, also one whose beginning failed half-way
// (which the engine's plain end refuses), and checks that it ended. Nothing
// happens without a lock. Errors rise as db::Error.
void endBackupLock(Transaction &transaction);
// True when the header of the database file at path (a file-system path)
// carries the engine's backup lock: read from the file itself, as the engine
// may not open it then (no room for its side file).
bool fileBackupLocked(const QString &path);
// What the user is told of a backup lock that could not be ended: the state
// the database at path is in and what to do.
QString backupLockLeftText(const QString &path);

}  // namespace db

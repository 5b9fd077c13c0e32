#pragma once
// Inserting the records of an import file line by line inside the data
// module's transaction: a line that cannot be read, or that the database
// refuses, gets its numbered message (with the line's number and the reason
// on a second line) and is left out; the other lines go in. The caller runs
// this inside TData::Write, so the whole file is committed at once or, when
// the commit fails, not at all: an interrupted import never leaves half a
// file to be imported twice.
#include "exchange/imports/TextImport.h"

#include <QString>
#include <QStringList>

#include <functional>

class WriteSteps;

namespace db {
class Query;
}

namespace imports {

using Parser = std::function<Record(const QString &line, int lineNumber)>;

struct InsertOptions {
  // When set, value 0 of a record is a code that must be given and be new:
  // the codes this statement selects (read once, in the import's
  // transaction) and those of the lines inserted before are taken. Codes
  // compare as the database compares them, without trailing blanks.
  QString takenCodesSql;
  // After the first refused line a Yes/No box asks whether to go on, the
  // further refused lines left out without a box (Yes), or to stop with
  // nothing of the file stored (No).
  bool askAfterFirstRefusal = false;
  // Called with each line's index from 0.
  std::function<void(int)> progress;
  // The steps of the write the lines run in: a failure of the database
  // itself (its file cannot be written, a full disk, the attachment lost) is
  // no line's fault and stops the import; the write's message then names
  // that cause after message.
  WriteSteps *steps = nullptr;
};

struct InsertResult {
  int inserted = 0;
  int refused = 0;
  bool stopped = false;  // the user stopped: what the file inserted is undone
};

// Executes query (its SQL set, parameters ":p1" ... in record order) for every
// line that is not blank; message is the numbered text of a failing line. A
// failure of the database itself rises (options.steps then shows its
// cause): the write rolls back, no line counts as refused.
InsertResult InsertLines(db::Query *query, const QStringList &lines, const Parser &parse, const QString &message,
                         const InsertOptions &options = {});

// The insert statement "INSERT INTO table (columns) VALUES (:p1, ...)".
QString InsertSql(const QString &table, const QStringList &columns);

}  // namespace imports

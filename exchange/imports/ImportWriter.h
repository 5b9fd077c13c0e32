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

namespace db {
class Query;
}

namespace imports {

using Parser = std::function<Record(const QString &line, int lineNumber)>;

// Executes query (its SQL set, parameters ":p1" ... in record order) for every
// line that is not blank; message is the numbered text of a failing line;
// progress (when given) is called with each line's index from 0. Returns the
// number of lines inserted.
int InsertLines(db::Query *query, const QStringList &lines, const Parser &parse, const QString &message,
                const std::function<void(int)> &progress = {});

// The insert statement "INSERT INTO table (columns) VALUES (:p1, ...)".
QString InsertSql(const QString &table, const QStringList &columns);

}  // namespace imports

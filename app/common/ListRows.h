#pragma once
// The rows of the register core's lists and their entry dialogs: reading a
// statement, the current row's values, the next free code, the code check and
// the delete that keeps the last row. Each caller passes its own statement
// lines, field names and messages: only the steps are shared.
#include <QString>
#include <QStringList>

#include <functional>

namespace db {
class DataSet;
class Query;
}  // namespace db

// Closes q and opens it again with the statement lines.
void ReopenWith(db::Query *q, const QStringList &lines);

// The text of field name in d's current row; empty when d is closed, has no
// rows or lacks the field.
QString CurrentFieldText(db::DataSet *d, const QString &name);

// The proposed code of a new row: the largest whole-number codeField that
// selectLine returns through q, + 1; codes that are not whole numbers are
// skipped, "1" for an empty table.
QString NextNumericCode(db::Query *q, const QString &selectLine, const QString &codeField);

// Deletes the row whose ID is id unless it is the last one of the table:
// counts the rows with countLine (a column "db"), then runs deleteLines
// (the ID as :p1) through Data->Write under errorMessage with an at-once
// commit and shows doneMessage; the last row is kept with lastMessage.
void DeleteUnlessLast(db::Query *q, const QString &countLine, const QString &errorMessage,
                      const QStringList &deleteLines, const QString &id, const QString &doneMessage,
                      const QString &lastMessage);

// After a save: reopens the list and puts it on the saved code (matched whole,
// case-insensitive). A failure here is shown with failMessage; the save stands.
void ReopenListAtCode(const std::function<void()> &openList, db::Query *list, const QString &codeField,
                      const QString &code, const QString &failMessage);

// Whether a row other than the one whose ID is ownId holds code: countLines
// count such rows (a column "db") with the code as :p1 and ownId as :p0
// (-1 for a new row).
bool CodeHeldByAnother(db::Query *q, const QStringList &countLines, const QString &code, int ownId);

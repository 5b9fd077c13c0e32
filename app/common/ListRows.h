#pragma once
// Row plumbing shared by the register core's list dialogs (a grid over one
// of Data's queries) and their entry dialogs. Each caller passes its own
// statement lines, field names and messages: only the steps are shared.
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <functional>

#include "app/MenuCommands.h"
#include "app/common/Guarded.h"

class QTableView;

namespace db {
class DataSet;
class DataSetModel;
class Query;
}  // namespace db

// Closes q and opens it again with the statement lines.
void ReopenWith(db::Query *q, const QStringList &lines);

// The same for a list grid's statement whose last line orders it by the
// column orderColumn: q keeps the lines but reads the list around its
// position a batch at a time, and finds rows (locate) through the database.
void ReopenListWith(db::Query *q, const QStringList &lines, const QString &orderColumn);

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

// The list grid (DBGrid1) over model: one cell marked at a time, read-only,
// rows of fixed height, the model's current row following the selection,
// Hungarian titles over the columns (ListColumnTitles).
QTableView *MakeListGrid(QWidget *parent, db::DataSetModel *model);

// A push button of a list dialog: it is no default button, and a click runs
// slot with its errors shown (RunGuarded).
template <class Dialog>
QPushButton *MakeListButton(Dialog *dialog, const char *name, const char *text, void (Dialog::*slot)()) {
  auto *b = new QPushButton(QString::fromUtf8(text), dialog);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, dialog, [dialog, slot] { RunGuarded([&] { (dialog->*slot)(); }); });
  return b;
}

// Shows a list dialog modally as a picker (its global set meanwhile); true
// when it was closed with accept().
template <class Dialog>
bool PickFromList(Dialog *&global) {
  int result = QDialog::Rejected;
  ShowModalDialog<Dialog>(global, [&](Dialog *f) {
    QObject::connect(f, &QDialog::finished, f, [&result](int r) { result = r; });
  });
  return result == QDialog::Accepted;
}

// An entry dialog's "OK" (Button2; its errors shown) and "Mégsem" (Button3)
// buttons, neither a default button, right-aligned in the row returned.
template <class Dialog>
QHBoxLayout *MakeEntryButtons(Dialog *dialog, QPushButton *&ok, QPushButton *&cancel, void (Dialog::*okSlot)(),
                              void (Dialog::*cancelSlot)()) {
  ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setObjectName(QStringLiteral("Button2"));
  ok->setAutoDefault(false);
  cancel = new QPushButton(QStringLiteral("Mégsem"), dialog);
  cancel->setObjectName(QStringLiteral("Button3"));
  cancel->setAutoDefault(false);
  QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, okSlot] { RunGuarded([&] { (dialog->*okSlot)(); }); });
  QObject::connect(cancel, &QPushButton::clicked, dialog, cancelSlot);
  auto *row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

#pragma once
// The widgets of the register core's list dialogs and entry dialogs: the list
// grid, its buttons, the picker's modal run and the entry dialogs' OK and
// "Mégsem".
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

#include "app/MenuCommands.h"
#include "app/common/Guarded.h"

class QModelIndex;
class QTableView;

namespace db {
class DataSetModel;
}  // namespace db

// Binds a grid to model as a list grid: the grid's current row is the
// dataset's; of a list read around its position the grid holds the rows it
// shows and a screenful more (the rows before the first one held are read
// when the grid comes near it, and the rows shown stay in place), and
// Ctrl+Home and Ctrl+End make the list's first and last rows current. The
// current row is shown whole. Numbers are written as the printed lists write
// them (ListColumnFormats) and the columns sized by FitListColumns whenever
// the statement or the grid's size changes. listTitles: the Hungarian titles
// over the columns (ListColumnTitles); otherwise the model's own.
void BindListGrid(QTableView *grid, db::DataSetModel *model, bool listTitles = true);

// The list grid (DBGrid1) over model: one cell marked at a time, read-only,
// rows of fixed height, bound as BindListGrid binds it, Hungarian titles over
// the columns (ListColumnTitles).
QTableView *MakeListGrid(QWidget *parent, db::DataSetModel *model);

// Sizes a list grid's columns to their titles and to the widest value the
// schema allows in each, within the grid's width: a title is never cut.
void FitListColumns(QTableView *grid);

// The text a list grid shows in a cell: a number of a column the printed
// lists format as they print it, any other value as the model gives it.
QString ListCellText(const QModelIndex &index);

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

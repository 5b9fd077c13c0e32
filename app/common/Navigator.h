#pragma once
// A dataset navigator for the grids of the register core's dialogs: first,
// prior, next and last row of the dataset (the grid follows the dataset's
// current row). Buttons are named NavFirst, NavPrior, NavNext and NavLast.
#include <QString>

class QFrame;
class QWidget;

namespace db {
class DataSet;
}

QFrame *MakeNavigator(QWidget *parent, db::DataSet *dataSet,
                      const QString &name = QStringLiteral("DBNavigator1"));

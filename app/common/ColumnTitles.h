#pragma once
// The titles the list grids show over the columns of their statements, by
// upper-case column name: the Hungarian titles of the printed lists (and of
// the producer panel's captions for the columns no list prints), so that a
// grid never shows a bare column name such as O_KOD or V_MENNY.
#include <QHash>
#include <QString>

const QHash<QString, QString> &ListColumnTitles();

// How a grid writes a column's numbers, as the printed lists do: the number
// mask (platform::FormatFloat) and the widest value it shows, by upper-case
// column name. Columns without one show their numbers as stored.
struct ColumnFormat {
  QString mask;
  QString widest;
};
const QHash<QString, ColumnFormat> &ListColumnFormats();

#pragma once
// A list grid as a clerk reads it, checked where a list dialog shows one.
#include "app/common/ColumnTitles.h"
#include "app/common/ListGrid.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "support/gui_driver.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QStyle>
#include <QTableView>

#include <gtest/gtest.h>

namespace vorik::test {

// Every column under a title of its own (never the statement's column
// name), each title whole, the columns within the grid when their titles
// fit in it, and the numbers of a formatted column as the printed lists
// write them: thousands apart, amounts with two decimals.
inline void expectGridReadable(QObject *root, const QString &name) {
  SCOPED_TRACE(name.toStdString());
  auto *grid = qobject_cast<QTableView *>(findNamed(root, name));
  ASSERT_NE(grid, nullptr);
  auto *model = qobject_cast<db::DataSetModel *>(grid->model());
  ASSERT_NE(model, nullptr);
  db::DataSet *d = model->dataSource() ? model->dataSource()->dataSet() : nullptr;
  ASSERT_TRUE(d && d->active());
  // Titles as a style may draw them: bold, between the header's margins.
  QFont bold = grid->horizontalHeader()->font();
  bold.setBold(true);
  const QFontMetrics font(bold);
  const int margins = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid->horizontalHeader());
  const QRegularExpression number(QStringLiteral("^-?\\d{1,3}(\u00A0\\d{3})*(,\\d{1,4})?$"));
  int titles = 0, widths = 0;
  for (int c = 0; c < model->columnCount(); ++c) {
    const QString title = model->headerData(c, Qt::Horizontal).toString();
    const db::Field &f = d->field(model->fieldIndex(c));
    EXPECT_NE(title, f.fieldName());
    EXPECT_GE(grid->horizontalHeader()->sectionSize(c), font.horizontalAdvance(title) + margins) << title.toStdString();
    titles += font.horizontalAdvance(title) + margins;
    widths += grid->horizontalHeader()->sectionSize(c);
    const auto format = ListColumnFormats().constFind(f.fieldName().toUpper());
    if (format == ListColumnFormats().constEnd() || !f.isNumeric()) continue;
    for (int r = 0; r < model->rowCount(); ++r) {
      const QModelIndex cell = model->index(r, c);
      if (cell.data(Qt::EditRole).isNull()) continue;
      const QString text = ListCellText(cell);
      EXPECT_TRUE(number.match(text).hasMatch()) << title.toStdString() << ": " << text.toStdString();
      if (format->mask.endsWith(QLatin1String(".00"))) {
        EXPECT_EQ(text.indexOf(QLatin1Char(',')), text.size() - 3) << text.toStdString();
      }
    }
  }
  if (titles <= grid->viewport()->width()) {
    EXPECT_LE(widths, grid->viewport()->width());
  }
}

}  // namespace vorik::test

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
// name), each title whole (bold, between the header's margins), the columns
// within the grid when their titles fit in it, and the numbers as the
// printed lists write them: thousands apart, at most four decimals.
inline void expectGridReadable(QObject *root, const QString &name) {
  SCOPED_TRACE(name.toStdString());
  auto *grid = qobject_cast<QTableView *>(findNamed(root, name));
  auto *model = grid ? qobject_cast<db::DataSetModel *>(grid->model()) : nullptr;
  ASSERT_TRUE(model && model->dataSource()->dataSet()->active());
  QHeaderView *header = grid->horizontalHeader();
  QFont bold = header->font();
  bold.setBold(true);
  const int margins = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const QRegularExpression number(QStringLiteral("^-?\\d{1,3}(\u00A0\\d{3})*(,\\d{1,4})?$"));
  int titles = 0;
  for (int c = 0; c < model->columnCount(); ++c) {
    const QString title = model->headerData(c, Qt::Horizontal).toString();
    const db::Field &f = model->dataSource()->dataSet()->field(model->fieldIndex(c));
    EXPECT_NE(title, f.fieldName());
    titles += QFontMetrics(bold).horizontalAdvance(title) + margins;
    EXPECT_GE(header->sectionSize(c), QFontMetrics(bold).horizontalAdvance(title) + margins) << title.toStdString();
    const bool formatted = f.isNumeric() && ListColumnFormats().contains(f.fieldName().toUpper());
    for (int r = 0; formatted && r < model->rowCount(); ++r) {
      const QString text = ListCellText(model->index(r, c));
      EXPECT_TRUE(text.isEmpty() || number.match(text).hasMatch()) << title.toStdString() << ": " << text.toStdString();
    }
  }
  if (titles <= grid->viewport()->width()) {
    EXPECT_LE(header->length(), grid->viewport()->width());
  }
}

}  // namespace vorik::test

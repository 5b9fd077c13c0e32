// Table components (read-only or writable), data sources and the grid model
// whose cursor is the dataset's current row.
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/error.h"
#include "db/table.h"
#include "support/db_fixture.h"

#include <QItemSelectionModel>

#include <gtest/gtest.h>

using vorik::test::DatabaseTest;

namespace {

class TableTest : public DatabaseTest {
 protected:
  void SetUp() override {
    auto q = query();
    q->sql().add(QStringLiteral("DELETE FROM atvevo"));
    q->execute();
    q->sql().clear();
    q->sql().add(QStringLiteral("INSERT INTO atvevo ( v_akod, v_neve ) VALUES ( :p1, :p2 )"));
    for (const auto &[code, name] : {std::pair{"00001", "Első Kft."}, std::pair{"00002", "Második Bt."}}) {
      q->paramByName(QStringLiteral("p1")).setString(QString::fromUtf8(code));
      q->paramByName(QStringLiteral("p2")).setString(QString::fromUtf8(name));
      q->execute();
    }
    transaction().commit();
  }
  static std::unique_ptr<db::Table> table(const QString &name, bool readOnly) {
    auto t = std::make_unique<db::Table>();
    t->setObjectName(QStringLiteral("IBTable6"));
    t->setTransaction(&transaction());
    t->setTableName(name);
    t->setReadOnly(readOnly);
    return t;
  }
};

TEST_F(TableTest, ReadOnlyTableRefusesEdits) {
  auto t = table(QStringLiteral("ATVEVO"), true);
  t->open();
  EXPECT_EQ(t->recordCount(), 2);
  EXPECT_NE(t->findField(QStringLiteral("V_EV_NEVE")), nullptr);
  EXPECT_THROW(t->edit(), db::Error);
  EXPECT_THROW(t->fieldByName(QStringLiteral("v_neve")).setAsString(QStringLiteral("x")), db::Error);
  EXPECT_EQ(t->state(), db::DataSet::State::Browse);
}

TEST_F(TableTest, WritableTablePostsTheEditedRowAndReadsItBack) {
  auto t = table(QStringLiteral("atvevo"), false);
  t->open();
  ASSERT_TRUE(t->locate(QStringLiteral("V_AKOD"), QStringLiteral("00002")));
  t->edit();
  t->fieldByName(QStringLiteral("V_NEVE")).setAsString(QStringLiteral("Őrült Űrhajós Kft."));
  // The pending value reads back before the post.
  EXPECT_EQ(t->fieldByName(QStringLiteral("v_neve")).asString(), QStringLiteral("Őrült Űrhajós Kft."));
  t->post();
  EXPECT_EQ(t->state(), db::DataSet::State::Browse);
  EXPECT_EQ(t->fieldByName(QStringLiteral("v_neve")).asString(), QStringLiteral("Őrült Űrhajós Kft."));
  // A changed primary key is read back by the key posted.
  t->edit();
  t->fieldByName(QStringLiteral("ID_ATVEVO")).setAsInteger(500);
  t->post();
  EXPECT_EQ(t->fieldByName(QStringLiteral("ID_ATVEVO")).asInteger(), 500);
  EXPECT_EQ(t->fieldByName(QStringLiteral("V_AKOD")).asString(), QStringLiteral("00002"));
  transaction().commit();

  auto q = query();
  q->sql().add(QStringLiteral("SELECT v_neve FROM atvevo WHERE v_akod = '00002'"));
  q->open();
  EXPECT_EQ(q->field(0).asString(), QStringLiteral("Őrült Űrhajós Kft."));
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT v_neve FROM atvevo WHERE v_akod = '00001'"));
  q->open();
  EXPECT_EQ(q->field(0).asString(), QStringLiteral("Első Kft."));
}

TEST_F(TableTest, FailedPostKeepsTheEditAndCancelRestores) {
  auto t = table(QStringLiteral("ATVEVO"), false);
  t->open();
  t->edit();
  t->fieldByName(QStringLiteral("V_AKOD")).setAsString(QStringLiteral("TOOLONG"));
  EXPECT_THROW(t->post(), db::Error);
  EXPECT_EQ(t->state(), db::DataSet::State::Edit);
  t->cancel();
  EXPECT_EQ(t->fieldByName(QStringLiteral("V_AKOD")).asString(), QStringLiteral("00001"));
  // A number field takes only a number in the regional form.
  t->edit();
  EXPECT_THROW(t->fieldByName(QStringLiteral("ID_ATVEVO")).setAsString(QStringLiteral("1.5")), db::Error);
  t->cancel();
}

TEST_F(TableTest, DataSourceFollowsTheDatasetAndStopsWhenDisabled) {
  auto t = table(QStringLiteral("ATVEVO"), true);
  db::DataSource ds;
  ds.setObjectName(QStringLiteral("DS6"));
  ds.setDataSet(t.get());
  int data = 0;
  QList<int> rows;
  QObject::connect(&ds, &db::DataSource::dataChanged, [&] { ++data; });
  QObject::connect(&ds, &db::DataSource::rowChanged, [&](int recNo) { rows << recNo; });
  t->open();
  EXPECT_EQ(data, 1);
  t->next();
  ASSERT_FALSE(rows.isEmpty());
  EXPECT_EQ(rows.last(), 2);
  ds.setEnabled(false);
  const auto before = rows.count();
  t->first();
  EXPECT_EQ(rows.count(), before);
  ds.setEnabled(true);
  transaction().commit();  // closes the table
  EXPECT_FALSE(t->active());
  EXPECT_GE(data, 3);
  t.reset();
  EXPECT_EQ(ds.dataSet(), nullptr);
}

TEST_F(TableTest, GridModelShowsRowsAndItsCursorIsTheCurrentRow) {
  auto q = query(QStringLiteral("ZQ60"));
  db::DataSource ds;
  ds.setDataSet(q.get());
  db::DataSetModel model;
  model.setDataSource(&ds);
  model.setColumns({{QStringLiteral("v_akod"), QStringLiteral("Kód")}, {QStringLiteral("V_NEVE"), QString()}});
  QItemSelectionModel selection(&model);
  model.bindSelection(&selection);
  EXPECT_EQ(model.rowCount(), 0);

  q->sql().add(QStringLiteral("SELECT * FROM atvevo ORDER BY v_akod"));
  q->open();
  ASSERT_EQ(model.rowCount(), 2);
  ASSERT_EQ(model.columnCount(), 2);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kód"));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("V_NEVE"));
  // Titles by column name fill in where a column has none of its own.
  model.setTitles({{QStringLiteral("V_NEVE"), QStringLiteral("Név")}, {QStringLiteral("V_AKOD"), QStringLiteral("x")}});
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kód"));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Név"));
  EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("Második Bt."));
  EXPECT_EQ(selection.currentIndex().row(), 0);

  // Grid to dataset.
  selection.setCurrentIndex(model.index(1, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(q->recNo(), 2);
  EXPECT_EQ(q->fieldByName(QStringLiteral("v_akod")).asString(), QStringLiteral("00002"));
  // Dataset to grid.
  q->first();
  EXPECT_EQ(selection.currentIndex().row(), 0);
  ASSERT_TRUE(q->locate(QStringLiteral("v_neve"), QStringLiteral("máso"), {true, true}));
  EXPECT_EQ(selection.currentIndex().row(), 1);
  // A query grid is not editable.
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);

  q->close();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(TableTest, GridEditsAWritableTableThroughPost) {
  auto t = table(QStringLiteral("ATVEVO"), false);
  db::DataSource ds;
  ds.setDataSet(t.get());
  db::DataSetModel model;
  model.setDataSource(&ds);
  QStringList failed;
  QObject::connect(&model, &db::DataSetModel::editFailed, [&](const QString &m) { failed << m; });
  t->open();
  const int neve = t->fieldByName(QStringLiteral("V_NEVE")).index();
  const int akod = t->fieldByName(QStringLiteral("V_AKOD")).index();
  ASSERT_TRUE(model.flags(model.index(0, neve)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.setData(model.index(1, neve), QStringLiteral("Harmadik Zrt.")));
  EXPECT_EQ(model.data(model.index(1, neve)).toString(), QStringLiteral("Harmadik Zrt."));
  EXPECT_FALSE(model.setData(model.index(1, akod), QStringLiteral("HATJEGY")));
  ASSERT_EQ(failed.count(), 1);
  EXPECT_TRUE(failed.first().contains(QStringLiteral("truncation"))) << failed.first().toStdString();
  EXPECT_EQ(model.data(model.index(1, akod)).toString(), QStringLiteral("00002"));
  EXPECT_EQ(t->state(), db::DataSet::State::Browse);
}

}  // namespace

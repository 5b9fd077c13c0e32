// The database data source over real queries of an embedded database.
#include "report/data/FR_DBSet.h"
#include "platform/conv.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

class DBDataSetTest : public vorik::test::DatabaseTest {
 protected:
  void SetUp() override {
    owner.setObjectName("Data");
    q = query().release();
    q->setParent(&owner);
    q->setObjectName("Query1");
    q->sql().setText(
        "SELECT 1 AS N, 'egy' AS \"Field Name\" FROM RDB$DATABASE UNION ALL "
        "SELECT 2, 'kettő' FROM RDB$DATABASE UNION ALL SELECT 3, 'három' FROM RDB$DATABASE UNION ALL "
        "SELECT 4, 'négy' FROM RDB$DATABASE UNION ALL SELECT 5, 'öt' FROM RDB$DATABASE");
    src = new TfrDBDataSet(&owner);
    src->setObjectName("frDBDataSet1");
    src->SetDataSet(q);
    frSetReportOwner(&owner);
  }
  void TearDown() override {
    frSetReportOwner(nullptr);
    DatabaseTest::TearDown();
  }

  // The data loop of a band: the N of every record it prints.
  std::vector<int> run() {
    std::vector<int> seen;
    src->Init();
    src->First();
    while (!src->Eof() && seen.size() < 50) {
      seen.push_back(int(q->fieldByName("N").asInteger()));
      src->Next();
    }
    src->Exit();
    return seen;
  }

  QObject owner;
  db::Query *q = nullptr;
  TfrDBDataSet *src = nullptr;
};

TEST_F(DBDataSetTest, WalksTheWholeQueryAndLeavesItAtTheEnd) {
  EXPECT_FALSE(q->active());
  EXPECT_EQ(run(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(q->active());  // opened at Init, not closed
  EXPECT_TRUE(q->eof());
  EXPECT_EQ(src->RecNo, 5);

  // A second loop starts from the first record again.
  q->setRecNo(2);
  EXPECT_EQ(run(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(DBDataSetTest, RangesFromAndToTheCurrentRecord) {
  q->open();
  q->setRecNo(3);
  src->RangeBegin = rbCurrent;
  src->RangeEnd = reCurrent;
  EXPECT_EQ(run(), (std::vector<int>{3}));
  EXPECT_EQ(q->recNo(), 3);  // left on the record current at the start

  src->RangeEnd = reLast;
  EXPECT_EQ(run(), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(q->recNo(), 3);

  // From the first record to the current one, inclusive; it ends.
  src->RangeBegin = rbFirst;
  src->RangeEnd = reCurrent;
  EXPECT_EQ(run(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(q->recNo(), 3);

  src->RangeEnd = reCount;
  src->RangeEndCount = 2;
  EXPECT_EQ(run(), (std::vector<int>{1, 2}));
  src->RangeEndCount = 0;
  EXPECT_TRUE(run().empty());
}

TEST_F(DBDataSetTest, OpenCloseAndTheirEvents) {
  QStringList events;
  src->OnOpen = [&](QObject *s) { events << QStringLiteral("open:%1").arg(q->active()); EXPECT_EQ(s, src); };
  src->OnClose = [&](QObject *) { events << QStringLiteral("close:%1").arg(q->active()); };
  src->OnCheckEOF = [&](QObject *, bool &eof) { if (src->RecNo == 2) eof = true; };
  src->CloseDataSource = true;
  EXPECT_EQ(run(), (std::vector<int>{1, 2}));
  EXPECT_EQ(events, (QStringList{"open:1", "close:1"}));
  EXPECT_FALSE(q->active());

  // Without OpenDataSource a closed query is left closed and yields nothing.
  src->OpenDataSource = false;
  src->CloseDataSource = false;
  src->OnCheckEOF = nullptr;
  EXPECT_TRUE(run().empty());
}

TEST_F(DBDataSetTest, AnEmptyQueryPrintsNothing) {
  q->sql().setText("SELECT 1 AS N FROM RDB$DATABASE WHERE 1 = 0");
  EXPECT_TRUE(run().empty());
}

TEST_F(DBDataSetTest, WithoutDatasetEveryOperationFailsWithItsName) {
  TfrDBDataSet lone(&owner);
  lone.setObjectName("frDBDataSet2");
  for (auto op : {+[](TfrDBDataSet &d) { d.Init(); }, +[](TfrDBDataSet &d) { d.First(); },
                  +[](TfrDBDataSet &d) { d.Next(); }, +[](TfrDBDataSet &d) { d.Eof(); }}) {
    try {
      op(lone);
      FAIL() << "no error without a dataset";
    } catch (const EDSError &e) {
      EXPECT_EQ(e.message(), QStringLiteral("Unable to open dataset frDBDataSet2"));
    }
  }
  // A dataset that is destroyed is forgotten, not used.
  auto *gone = query().release();
  lone.SetDataSet(gone);
  EXPECT_NO_THROW(lone.GetDataSet());
  delete gone;
  EXPECT_EQ(lone.DataSet(), nullptr);
  EXPECT_THROW(lone.Init(), EDSError);
}

TEST_F(DBDataSetTest, ThroughADataSourceItFollowsItsDataset) {
  auto other = query();
  other->sql().setText("SELECT 7 AS N FROM RDB$DATABASE UNION ALL SELECT 8 FROM RDB$DATABASE");
  db::DataSource source(&owner);
  source.setObjectName("DataSource1");
  source.setDataSet(q);
  src->SetDataSource(&source);
  EXPECT_EQ(src->DataSet(), nullptr);
  EXPECT_EQ(run(), (std::vector<int>{1, 2, 3, 4, 5}));

  source.setDataSet(other.get());
  db::Query *saved = q;
  q = other.get();  // run() reads N of the dataset walked
  EXPECT_EQ(run(), (std::vector<int>{7, 8}));
  q = saved;

  // A data source without a dataset falls back to none at all.
  source.setDataSet(nullptr);
  EXPECT_THROW(src->Init(), EDSError);
  // Setting a dataset forgets the data source, and the other way round.
  src->SetDataSet(q);
  EXPECT_EQ(src->DataSource(), nullptr);
  src->SetDataSource(&source);
  EXPECT_EQ(src->DataSet(), nullptr);
  src->SetDataSource(nullptr);
  EXPECT_THROW(src->GetDataSet(), EDSError);

  // A layout may name the data source where a dataset is expected.
  source.setDataSet(q);
  q->open();
  db::DataSet *ds = nullptr;
  db::Field *f = nullptr;
  frGetDataSetAndField("DataSource1.N", ds, f);
  EXPECT_EQ(ds, q);
  EXPECT_NE(f, nullptr);
}

TEST_F(DBDataSetTest, TheGoverningBandsDataset) {
  EXPECT_EQ(frActiveDataSet(src), q);
  TfrUserDataset user;
  EXPECT_EQ(frActiveDataSet(&user), nullptr);
  EXPECT_EQ(frActiveDataSet(nullptr), nullptr);
  TfrDBDataSet empty;
  EXPECT_EQ(frActiveDataSet(&empty), nullptr);
  // Summary, master footer and groups read the master data band's dataset.
  for (int t : {1, 5, 6, 16, 17}) EXPECT_EQ(frGoverningDataBand(t), 5) << t;
  EXPECT_EQ(frGoverningDataBand(9), 8);
  EXPECT_EQ(frGoverningDataBand(12), 11);
  EXPECT_EQ(frGoverningDataBand(20), 19);
  for (int t : {0, 2, 3, 4, 7, 10, 13, 14, 15, 18, 21, -1, 99}) EXPECT_EQ(frGoverningDataBand(t), -1) << t;
}

TEST_F(DBDataSetTest, FieldsByLayoutNames) {
  q->open();
  q->setRecNo(2);
  db::DataSet *ds = nullptr;
  db::Field *f = nullptr;
  frGetDataSetAndField("Query1.N", ds, f);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ds, q);
  EXPECT_EQ(frFieldValue(*f).toInt(), 2);

  frGetDataSetAndField("query1.\"Field Name\"", ds, f);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(frFieldValue(*f).toString(), QStringLiteral("kettő"));

  // A plain name is a field of the dataset passed in.
  ds = q;
  frGetDataSetAndField("n", ds, f);
  ASSERT_NE(f, nullptr);
  ds = nullptr;
  frGetDataSetAndField("N", ds, f);
  EXPECT_EQ(f, nullptr);

  frRegisterGlobalComponent(&owner);
  ds = nullptr;
  frGetDataSetAndField("Data.Query1.\"Field Name\"", ds, f);
  EXPECT_NE(f, nullptr);
  frUnregisterGlobalComponent(&owner);

  for (const char *bad : {"Query1.Nope", "Nope.N", "Query1.", ".N", "a.b.c.d", "Data.Query1.N", ""}) {
    ds = nullptr;
    frGetDataSetAndField(QString::fromUtf8(bad), ds, f);
    EXPECT_EQ(f, nullptr) << bad;
  }
}

TEST_F(DBDataSetTest, BandSourcesByName) {
  bool owned = true;
  EXPECT_EQ(frFindDataSource("", owned), nullptr);
  EXPECT_FALSE(owned);
  EXPECT_EQ(frFindDataSource("a;b", owned), nullptr);

  TfrDataset *three = frFindDataSource("3", owned);
  ASSERT_NE(three, nullptr);
  EXPECT_TRUE(owned);
  EXPECT_EQ(three->parent(), nullptr);
  int count = 0;
  for (three->First(); !three->Eof(); three->Next()) ++count;
  EXPECT_EQ(count, 3);
  delete three;

  EXPECT_THROW(frFindDataSource("2x", owned), platform::ConvertError);
  EXPECT_FALSE(owned);

  EXPECT_EQ(frFindDataSource("frDBDataSet1", owned), src);
  EXPECT_FALSE(owned);
  EXPECT_TRUE(q->active());  // Init opened it

  try {
    frFindDataSource("Query1", owned);
    FAIL() << "a query accepted as a data source";
  } catch (const EInvalidCast &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Invalid class typecast"));
  }
  // A name that finds nothing gives no source and no error.
  owned = true;
  EXPECT_EQ(frFindDataSource("frDBDataSet9", owned), nullptr);
  EXPECT_FALSE(owned);
}

}  // namespace

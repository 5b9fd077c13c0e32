// The data module's report components: their settings, the database
// sources over the module's queries, and the event-driven sources of the
// product-wise and producer-wise lists building a report on a real database.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Build.h"
#include "report/data/FR_DBSet.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace report;
using namespace vorik::test;

namespace {

class ReportComponents : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = QDir::currentPath();
    createTestDatabase(dir_.path());
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    data_ = openDataModule();
    AtvevoKod = QStringLiteral("00001");
    exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('00010', 'Kiss')");
    exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('00020', 'Nagy')");
    // Ticket 1 bought and paid in March; ticket 2 bought in March, paid in April.
    exec("INSERT INTO qzfej (f_bszam, f_ostermkod, f_felvkelt, f_fizkelt, f_akod) "
         "VALUES ('25000001', '00010', '2025-03-01', '2025-03-20', '00001')");
    exec("INSERT INTO qzfej (f_bszam, f_ostermkod, f_felvkelt, f_fizkelt, f_akod) "
         "VALUES ('25000002', '00020', '2025-03-05', '2025-04-02', '00001')");
    exec("INSERT INTO qzsor (s_bszam, s_megnevezes, s_brutto) VALUES ('25000001', 'Alma', 100)");
    exec("INSERT INTO qzsor (s_bszam, s_megnevezes, s_brutto) VALUES ('25000001', 'Körte', 50)");
    exec("INSERT INTO qzsor (s_bszam, s_megnevezes, s_brutto) VALUES ('25000002', 'Alma', 30)");
    data_->IBTrans1->commit();
  }
  void TearDown() override {
    closeDataModule(data_);
    QDir::setCurrent(previous_);
  }
  void exec(const char *sql) {
    db::Query *q = data_->ZQ11;
    q->close();
    q->sql().clear();
    q->sql().add(QString::fromUtf8(sql));
    q->execute();
  }
  // The groups the list dialog puts into ZQ20: products of the range by the date kind.
  void productGroups(bool byPayment) {
    const QString col = byPayment ? "f_fizkelt" : "f_felvkelt";
    db::Query *q = data_->ZQ20;
    q->close();
    q->sql().clear();
    q->sql().add("SELECT DISTINCT s_megnevezes FROM qzsor JOIN qzfej ON s_bszam = f_bszam");
    q->sql().add(QStringLiteral("WHERE %1 BETWEEN '2025-03-01' AND '2025-03-31' AND f_akod = '00001'").arg(col));
    q->sql().add("ORDER BY s_megnevezes");
    q->open();
    data_->ListaSzuro = {byPayment, QDate(2025, 3, 1), QDate(2025, 3, 31), "00001"};
  }
  // The producer-wise list in frNyomtat, its groups every producer, March by
  // date of purchase; the query of its groups.
  db::Query *producerList() {
    db::Query *q = data_->ZQ20;
    q->sql().clear();
    q->sql().add("SELECT DISTINCT o_kod FROM ostermelo ORDER BY o_kod");
    q->open();
    data_->ListaSzuro = {false, QDate(2025, 3, 1), QDate(2025, 3, 31), "00001"};
    listLayout(*data_->frNyomtat, "frUserDataset3", "frUserDataset4", "[ZQ20.O_KOD] [ZQ80.O_KOD]");
    return q;
  }
  // What the producer-wise list prints.
  const QStringList producerListPrinted{"00010 00010", "25000001 100", "25000001 50", "= 150",
                                        "00020 00020", "25000002 30",  "= 30"};
  QStringList texts(TfrReport &r) {
    QStringList t;
    for (int p = 0; p < r.EMFPages->Count(); ++p)
      for (const auto &v : TfrEMFPages::ReadObjects(r.EMFPages->GetPageRec(p)->Stream)) t << v->Memo1.join('|');
    return t;
  }
  // A two-level list layout over the given group and line sources.
  void listLayout(TfrReport &r, const QString &groups, const QString &lines, const QString &groupText) {
    TfrReport src;
    TfrPage *p = src.Pages.Add();
    p->UseMargins = false;
    auto band = [&](int type, int y, const QString &ds) {
      auto v = std::make_unique<TfrBandView>();
      v->SetBandType(type);
      v->y = y;
      v->dx = 700;
      v->dy = 20;
      v->FormatStr = ds;
      p->Add(std::move(v));
    };
    auto memo = [&](int y, const QString &text) {
      auto v = std::make_unique<TfrMemoView>();
      v->y = y;
      v->dx = 300;
      v->dy = 20;
      v->Memo = QStringList{text};
      p->Add(std::move(v));
    };
    band(btMasterData, 0, groups);
    memo(0, groupText);
    band(btDetailData, 30, lines);
    memo(30, "[ZQ21.S_BSZAM] [ZQ21.S_BRUTTO]");
    band(btDetailFooter, 60, {});
    memo(60, "= [SUM([ZQ21.S_BRUTTO])]");
    r.LoadFromBytes(src.SaveToBytes());
  }

  TempDir dir_;
  QString previous_;
  std::unique_ptr<TData> data_;
};

TEST_F(ReportComponents, ComponentsCarryTheirNamesAndSettings) {
  EXPECT_EQ(data_->frNyomtat->Name, "frNyomtat");
  EXPECT_FALSE(data_->frNyomtat->ModifyPrepared);
  EXPECT_TRUE(data_->frNyomtat->StoreInDFM);
  EXPECT_EQ(data_->frNyomtat->PreviewButtons, TfrReport::pbZoom | TfrReport::pbPrint | TfrReport::pbExit);
  EXPECT_EQ(data_->frMegtekint->PreviewButtons, TfrReport::pbZoom | TfrReport::pbExit);
  EXPECT_EQ(data_->frCompositeReport1->PreviewButtons, 127);
  EXPECT_EQ(data_->frDBDataSet1->DataSet(), data_->ZQ20);
  EXPECT_EQ(data_->frDBDataSet2->DataSet(), data_->ZQ30);
  EXPECT_EQ(data_->frDBDataSet5->DataSet(), data_->ZQ11);
  EXPECT_EQ(data_->frDBDataSet6->DataSet(), data_->ZQ40);
  // Layouts find them by name among the module's components.
  EXPECT_EQ(frFindReportComponent("frUserDataset3"), data_->frUserDataset3);
  EXPECT_EQ(frFindReportComponent("FRDBDATASET4"), data_->frDBDataSet4);
}

TEST_F(ReportComponents, ProductListGroupsFollowTheDateKind) {
  productGroups(true);
  listLayout(*data_->frNyomtat, "frUserDataset1", "frUserDataset2", "[ZQ20.S_MEGNEVEZES]");
  ASSERT_TRUE(data_->frNyomtat->PrepareReport());
  EXPECT_EQ(texts(*data_->frNyomtat),
            (QStringList{"Alma", "25000001 100", "= 100", "Körte", "25000001 50", "= 50"}));
  EXPECT_EQ(ListaTermekNev, "Körte");

  // By date of purchase the April payment counts in March.
  productGroups(false);
  ASSERT_TRUE(data_->frNyomtat->PrepareReport());
  EXPECT_EQ(texts(*data_->frNyomtat), (QStringList{"Alma", "25000001 100", "25000002 30", "= 130", "Körte",
                                                  "25000001 50", "= 50"}));
}

TEST_F(ReportComponents, ProducerListWalksProducersAndAnEmptyGroupQueryPrintsNothing) {
  db::Query *q = producerList();
  ASSERT_TRUE(data_->frNyomtat->PrepareReport());
  EXPECT_EQ(texts(*data_->frNyomtat), producerListPrinted);
  EXPECT_EQ(ListaOstermeloKod, "00020");
  // Every producer's total is in ZQ80, read once; it stands on the second's.
  ASSERT_TRUE(data_->ZQ80->active());
  EXPECT_EQ(data_->ZQ80->recordCount(), 2);
  EXPECT_EQ(data_->ZQ80->fieldByName("O_KOD").asString(), "00020");
  EXPECT_NE(data_->ZQ80->findField("NEVOSSZESEN"), nullptr);

  q->close();
  q->sql().clear();
  q->sql().add("SELECT o_kod FROM ostermelo WHERE o_kod = 'none'");
  q->open();
  ASSERT_TRUE(data_->frNyomtat->PrepareReport());
  EXPECT_TRUE(texts(*data_->frNyomtat).isEmpty());
}

// The seed before the build and both passes share one read of the lines and
// of the producers' totals; the lines hold the columns the layout names, and
// a layout edited to name another, or ZQ21 opened by anyone else, reads
// them again.
TEST_F(ReportComponents, ProducerListReadsItsLinesOnceWithTheColumnsItsLayoutNames) {
  producerList();
  TfrReport &r = *data_->frNyomtat;
  r.DoublePass = true;
  int lineReads = 0, totalReads = 0;
  QObject::connect(data_->ZQ21, &db::DataSet::opened, [&] { ++lineReads; });
  QObject::connect(data_->ZQ80, &db::DataSet::opened, [&] { ++totalReads; });
  data_->frUserDataset3First(nullptr);
  ASSERT_TRUE(r.PrepareReport());
  EXPECT_EQ(texts(r), producerListPrinted);
  EXPECT_EQ(lineReads, 1);
  EXPECT_EQ(totalReads, 1);
  EXPECT_NE(data_->ZQ21->findField("S_BRUTTO"), nullptr);
  EXPECT_EQ(data_->ZQ21->findField("O_NEV"), nullptr) << "a column no text names is read";

  TfrReport edited;
  edited.LoadFromBytes(r.SaveToBytes());
  for (const auto &v : edited.Pages[0]->Objects)
    if (v->Memo.value(0).startsWith("[ZQ21.S_BSZAM]"))
      v->Memo = QStringList{"[ZQ21.S_BSZAM] [ZQ21.\"O_NEV\"]"};
  r.LoadFromBytes(edited.SaveToBytes());
  ASSERT_TRUE(r.PrepareReport());
  EXPECT_EQ(lineReads, 2);
  EXPECT_EQ(texts(r), (QStringList{"00010 00010", "25000001 Kiss", "25000001 Kiss", "= 150", "00020 00020",
                                   "25000002 Nagy", "= 30"}));

  data_->ZQ21->close();
  ASSERT_TRUE(r.PrepareReport());
  EXPECT_EQ(lineReads, 3);
  EXPECT_EQ(totalReads, 1);

  // A layout that does not name the producers' totals does not have them read.
  listLayout(r, "frUserDataset3", "frUserDataset4", "[ZQ20.O_KOD]");
  data_->ZQ80->close();
  ASSERT_TRUE(r.PrepareReport());
  EXPECT_EQ(texts(r).value(0), "00010");
  EXPECT_EQ(totalReads, 1);
}

}  // namespace

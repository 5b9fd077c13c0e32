#include "report/data/FR_DSet.h"

#include <gtest/gtest.h>

#include <memory>

using namespace report;

namespace {

// The data loop of a band: what a source yields, as record numbers.
std::vector<int> runLoop(TfrDataset &ds, int limit = 100) {
  std::vector<int> seen;
  ds.Init();
  ds.First();
  while (!ds.Eof() && int(seen.size()) < limit) {
    seen.push_back(ds.RecNo);
    ds.Next();
  }
  ds.Exit();
  return seen;
}

TEST(UserDataset, YieldsExactlyTheRecordsItsHandlersSay) {
  // The handlers walk a list of their own, as the data module's handlers walk a query.
  const QStringList rows{"Kovács", "Nagy", "Szabó"};
  int pos = -1;
  QStringList printed;
  QObject *firstSender = nullptr;
  TfrUserDataset ds;
  ds.OnFirst = [&](QObject *sender) { pos = 0; firstSender = sender; };
  ds.OnNext = [&](QObject *) { ++pos; };
  ds.OnCheckEOF = [&](QObject *, bool &eof) { eof = pos >= rows.size(); };
  ds.Init();
  ds.First();
  while (!ds.Eof()) {
    printed.append(rows.at(pos));
    ds.Next();
  }
  EXPECT_EQ(printed, rows);
  EXPECT_EQ(firstSender, &ds);
  EXPECT_EQ(ds.RecNo, 3);

  // A second run starts again from the first record.
  printed.clear();
  ds.First();
  EXPECT_EQ(ds.RecNo, 0);
  while (!ds.Eof()) {
    printed.append(rows.at(pos));
    ds.Next();
  }
  EXPECT_EQ(printed, rows);
}

TEST(UserDataset, CountRangeAndCheckEofTogether) {
  TfrUserDataset ds;
  ds.RangeEnd = reCount;
  ds.RangeEndCount = 0;
  EXPECT_TRUE(runLoop(ds).empty());  // Eof right after First

  ds.RangeEndCount = 3;
  EXPECT_EQ(runLoop(ds), (std::vector<int>{0, 1, 2}));

  // The handler sees the count's decision and may end earlier.
  std::vector<bool> told;
  ds.OnCheckEOF = [&](QObject *, bool &eof) {
    told.push_back(eof);
    if (ds.RecNo == 2) eof = true;
  };
  EXPECT_EQ(runLoop(ds), (std::vector<int>{0, 1}));
  EXPECT_EQ(told, (std::vector<bool>{false, false, false}));

  // ...or extend it.
  ds.OnCheckEOF = [&](QObject *, bool &eof) { eof = ds.RecNo >= 5; };
  EXPECT_EQ(runLoop(ds).size(), 5u);
}

TEST(UserDataset, WithoutEventsAndReLastItNeverEndsByItself) {
  TfrUserDataset ds;
  EXPECT_EQ(runLoop(ds, 50).size(), 50u);
}

TEST(ComponentLookup, PlainAndQualifiedNames) {
  QObject module;
  module.setObjectName("Data");
  auto *ds1 = new TfrUserDataset(&module);
  ds1->setObjectName("frUserDataset1");
  QObject form;
  form.setObjectName("Form9");
  auto *panel = new QObject(&form);
  auto *ds2 = new TfrUserDataset(panel);
  ds2->setObjectName("frUserDataset2");
  auto *other = new QObject(&form);
  other->setObjectName("Button1");

  EXPECT_EQ(frFindComponent(&module, "frUserDataset1"), ds1);
  EXPECT_EQ(frFindComponent(&module, "FRUSERDATASET1"), ds1);
  EXPECT_EQ(frFindComponent(&module, "frUserDataset2"), nullptr);
  EXPECT_EQ(frFindComponent(nullptr, "frUserDataset1"), nullptr);
  EXPECT_EQ(frFindComponent(&module, ""), nullptr);

  // Qualified names need the container to be known globally.
  EXPECT_EQ(frFindComponent(&module, "Form9.frUserDataset2"), nullptr);
  frRegisterGlobalComponent(&form);
  frRegisterGlobalComponent(&module);
  EXPECT_EQ(frFindComponent(&module, "Form9.frUserDataset2"), ds2);
  EXPECT_EQ(frFindComponent(nullptr, "form9.FRUSERDATASET2"), ds2);
  EXPECT_EQ(frFindComponent(&module, "Form9."), nullptr);
  EXPECT_EQ(frFindComponent(&module, ".x"), nullptr);
  EXPECT_EQ(frFindComponent(&module, "Nowhere.frUserDataset2"), nullptr);

  frSetReportOwner(&module);
  EXPECT_EQ(frFindReportComponent("frUserDataset1"), ds1);
  EXPECT_EQ(frFindReportComponent("Form9.Button1"), other);

  QStringList list;
  frGetComponents(&module, TfrDataset::staticMetaObject, list);
  EXPECT_EQ(list, (QStringList{"frUserDataset1", "Form9.frUserDataset2"}));
  list.clear();
  frGetComponents(&module, TfrDataset::staticMetaObject, list, ds1);
  EXPECT_EQ(list, (QStringList{"Form9.frUserDataset2"}));

  frSetReportOwner(nullptr);
  frUnregisterGlobalComponent(&form);
  frUnregisterGlobalComponent(&module);
  EXPECT_EQ(frFindComponent(&module, "Form9.frUserDataset2"), nullptr);
}

TEST(ComponentLookup, DestroyedContainerIsForgotten) {
  auto form = std::make_unique<QObject>();
  form->setObjectName("Form2");
  frRegisterGlobalComponent(form.get());
  EXPECT_EQ(frFindGlobalComponent("Form2"), form.get());
  form.reset();
  EXPECT_EQ(frFindGlobalComponent("Form2"), nullptr);
}

}  // namespace

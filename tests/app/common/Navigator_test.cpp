// The dataset navigator: its buttons move the dataset; a move that fails
// while fetching rows shows the engine's message instead of leaving the
// event loop with an exception.
#include "app/common/Navigator.h"

#include <QAbstractButton>
#include <QFrame>
#include <QWidget>

#include <gtest/gtest.h>

#include "db/dataset.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"

using namespace vorik::test;

namespace {

class NavigatorTest : public DatabaseTest {};

TEST_F(NavigatorTest, AFailedFetchWhileMovingIsShownAndTheRowsReadStay) {
  // Row 600 divides by zero; the rows before it read fine.
  auto q = query(QStringLiteral("ZQ10"));
  q->sql().add(QStringLiteral("SELECT 1 / (600 - n) AS x FROM (SELECT FIRST 1000 ROW_NUMBER() OVER () AS n "
                              "FROM rdb$types a CROSS JOIN rdb$types b)"));
  q->open();
  QWidget host;
  QFrame *nav = MakeNavigator(&host, q.get(), QStringLiteral("Nav"));
  child<QAbstractButton>(nav, QStringLiteral("NavNext"))->click();
  EXPECT_EQ(q->recNo(), 2);

  MessageSeen seen;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &seen));
  ASSERT_TRUE(script.run([&] { child<QAbstractButton>(nav, QStringLiteral("NavLast"))->click(); }));
  EXPECT_EQ(seen.kind, QStringLiteral("Error"));
  EXPECT_TRUE(seen.text.contains(QStringLiteral("divide by zero"), Qt::CaseInsensitive)) << seen.text.toStdString();
  EXPECT_EQ(q->recNo(), 2);  // the move did not happen
  child<QAbstractButton>(nav, QStringLiteral("NavLast"))->click();  // the rows read stay
  EXPECT_EQ(q->recNo(), 599);
}

}  // namespace

// Engine objects are let go of exactly once, also when their use throws:
// the owner on its own, and statements and result sets of failing queries on
// a real database, which stays usable and keeps no statements behind.
#include "db/error.h"
#include "db/fb_owned.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using vorik::test::DatabaseTest;

namespace {

struct Counts {
  int released = 0, disposed = 0;
};
// Shaped like the engine's reference-counted and disposable objects.
struct Counted {
  Counts *counts;
  int release() { return ++counts->released, 0; }
};
struct Disposable {
  Counts *counts;
  void dispose() { ++counts->disposed; }
};
struct FakeStatus {
  bool bad;
  bool failed() const { return bad; }
};

TEST(OwnedHandle, LetsGoOnceWhateverHappens) {
  Counts c;
  Counted a{&c}, b{&c};
  {
    db::fb::Owned<Counted> owner(&a);
    db::fb::Owned<Counted> moved = std::move(owner);
    EXPECT_FALSE(owner);
    moved.reset(&b);  // the first is released, the second taken
    EXPECT_EQ(c.released, 1);
  }
  EXPECT_EQ(c.released, 2);

  c = {};
  Disposable d{&c};
  EXPECT_THROW(
      {
        db::fb::Owned<Disposable> builder(&d);
        throw std::runtime_error("a failing step between getting and using");
      },
      std::runtime_error);
  EXPECT_EQ(c.disposed, 1);
  EXPECT_EQ(c.released, 0);

  // An ending call that succeeded released the object already; after a
  // failed one the owner releases it.
  c = {};
  db::fb::Owned<Counted> closed(&a), failed(&b);
  closed.ended(FakeStatus{false});
  failed.ended(FakeStatus{true});
  EXPECT_FALSE(closed);
  EXPECT_FALSE(failed);
  EXPECT_EQ(c.released, 1);
}

class HandlesTest : public DatabaseTest {
 protected:
  // Statements the engine holds for this attachment, in a fresh monitoring
  // snapshot (one a transaction).
  static int statementsHeld() {
    if (transaction().active()) transaction().commit();
    auto q = query();
    q->sql().add(QStringLiteral("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    q->open();
    const int n = static_cast<int>(q->field(0).asInteger());
    q->close();
    transaction().commit();
    return n;
  }
};

TEST_F(HandlesTest, FailingStatementsAndCursorsLeaveNothingBehind) {
  const int before = statementsHeld();
  constexpr int kRounds = 300;
  auto reused = query();
  // The cursor opens; its first fetch divides by zero.
  reused->sql().add(QStringLiteral("SELECT 1 / (RDB$RELATION_ID - RDB$RELATION_ID) FROM RDB$DATABASE"));
  for (int i = 0; i < kRounds; ++i) {
    {
      auto select = query();
      select->sql().add(QStringLiteral("SELECT 1 / (RDB$RELATION_ID - RDB$RELATION_ID) FROM RDB$DATABASE"));
      ASSERT_THROW(select->open(), db::Error);
      auto insert = query();  // fails in the engine: the code is too long
      insert->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod ) VALUES ( :k )"));
      insert->paramByName(QStringLiteral("k")).setString(QStringLiteral("1234567890123"));
      ASSERT_THROW(insert->execute(), db::Error);
      // Fails building its input, between getting the declared layout and using it.
      insert->paramByName(QStringLiteral("k")).setString(QString(40000, QLatin1Char('x')));
      ASSERT_THROW(insert->execute(), db::Error);
    }
    // A result set left open would make its statement refuse to open again.
    try {
      reused->open();
      FAIL() << "the division by zero went unnoticed";
    } catch (const db::Error &e) {
      ASSERT_FALSE(e.message().contains(QStringLiteral("reopen"), Qt::CaseInsensitive)) << e.what();
    }
  }
  reused.reset();
  EXPECT_LE(statementsHeld(), before);
  // The attachment goes on working and closes cleanly.
  auto q = query();
  q->sql().add(QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE"));
  q->open();
  EXPECT_EQ(q->field(0).asInteger(), 1);
  q->close();
  EXPECT_NO_THROW(connection().close());
  EXPECT_NO_THROW(connection().open());
}

}  // namespace

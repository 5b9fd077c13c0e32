// The write pattern of the data module: start when inactive, execute,
// commit (or commit retaining); on failure rollback, then the step's message
// in a plain box, and the caller learns it failed. In a transaction of the
// caller's, a failure undoes only the write's own statements.
#include "app/Unit2.h"
#include "db/error.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

using namespace vorik::test;

namespace {

class DataWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = QDir::currentPath();
    createTestDatabase(dir_.path());
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    data_ = openDataModule();
  }
  void TearDown() override {
    other_.reset();
    closeDataModule(data_);
    QDir::setCurrent(previous_);
  }

  // A second attachment, as a second program instance would have.
  db::Connection &other() {
    if (!other_) {
      other_ = std::make_unique<Other>();
      other_->con.setDatabaseName(dir_.file(QStringLiteral("qz2025.fdb")));
      other_->con.setParams(db::defaultConnectionParams());
      other_->trans.setConnection(&other_->con);
      other_->con.setDefaultTransaction(&other_->trans);
      other_->con.open();
      other_->q.setTransaction(&other_->trans);
    }
    return other_->con;
  }
  int countOther(const QString &where) {
    other();
    other_->q.close();
    other_->q.sql().clear();
    other_->q.sql().add(QStringLiteral("SELECT COUNT(*) AS N FROM TERMEK WHERE ") + where);
    other_->q.open();
    const int n = static_cast<int>(other_->q.fieldByName(QStringLiteral("N")).asInteger());
    other_->trans.commit();
    return n;
  }
  void insertProduct(db::Query *q, const QString &code, const QString &name) {
    q->close();
    q->sql().clear();
    q->sql().add(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) "));
    q->sql().add(QStringLiteral("  VALUES (:p0, :p1) "));
    q->paramByName(QStringLiteral("p0")).setString(code);
    q->paramByName(QStringLiteral("p1")).setString(name);
    q->execute();
  }

  struct Other {
    db::Connection con;
    db::Transaction trans;
    db::Query q;
  };
  TempDir dir_;
  QString previous_;
  std::unique_ptr<TData> data_;
  std::unique_ptr<Other> other_;
};

TEST_F(DataWriteTest, ComponentsAreNamedAndSetAsTheDataModuleLists) {
  EXPECT_EQ(Data, data_.get());
  EXPECT_EQ(data_->ZCon1->databaseName(), QStringLiteral("qz2025.fdb"));
  EXPECT_EQ(data_->ZCon1->params(),
            (QStringList{"user_name=SYSDBA", "password=tulipfang", "lc_ctype=WIN1250"}));
  EXPECT_EQ(data_->ZCon1->defaultTransaction(), data_->IBTrans1);
  EXPECT_EQ(data_->IBTrans1->params(), (QStringList{"read_committed", "rec_version", "nowait"}));
  const QStringList queries = {"ZQ10", "ZQ20", "ZQ30", "ZQ40", "ZQ50", "ZQ60", "ZQ70",
                               "ZQ80", "ZQ11", "ZQ21", "ZQ41", "ZQ12", "ZQ22", "ZQ31",
                               "ZQ32", "ZQ33", "ZQ61", "ZQ90", "ZQ91"};
  for (const QString &name : queries) {
    auto *q = data_->findChild<db::Query *>(name);
    ASSERT_NE(q, nullptr) << name.toStdString();
    EXPECT_EQ(q->transaction(), data_->IBTrans1) << name.toStdString();
  }
  // Each data source shows the dataset the component list pairs it with.
  const std::vector<std::pair<QString, QString>> sources = {
      {"DS1", "IBTable1"}, {"DS2", "IBTable2"}, {"DS3", "IBTable3"},  {"DS4", "IBTable4"},
      {"DS5", "IBTable5"}, {"DS6", "IBTable6"}, {"DS9", "IBTable9"},  {"DSQ10", "ZQ10"},
      {"DSQ20", "ZQ20"},   {"DSQ30", "ZQ30"},   {"DSQ40", "ZQ40"},    {"DSQ50", "ZQ50"},
      {"DSQ60", "ZQ60"},   {"DSQ70", "ZQ70"},   {"DSQ80", "ZQ80"},    {"DS11", "ZQ11"},
      {"DS21", "ZQ21"},    {"DS41", "ZQ41"},    {"DS12", "ZQ12"},     {"DS22", "ZQ22"},
      {"DS31", "ZQ31"},    {"DS33", "ZQ33"},    {"DSQ61", "ZQ61"},    {"DS90", "ZQ90"},
      {"DS91", "ZQ91"}};
  for (const auto &[source, dataset] : sources) {
    auto *ds = data_->findChild<db::DataSource *>(source);
    ASSERT_NE(ds, nullptr) << source.toStdString();
    ASSERT_NE(ds->dataSet(), nullptr) << source.toStdString();
    EXPECT_EQ(ds->dataSet()->objectName(), dataset) << source.toStdString();
  }
  EXPECT_EQ(data_->findChildren<db::DataSource *>().size(), static_cast<qsizetype>(sources.size()));
  EXPECT_EQ(data_->ZQ10->sql().text(), QStringLiteral("select * from QZFEJ "));
  EXPECT_EQ(data_->ZQ30->sql().text(), QStringLiteral("select * from OSTERMELO"));
  EXPECT_EQ(data_->ZQ20->sql().count(), 0);
  EXPECT_FALSE(data_->IBTrans1->active());
  EXPECT_EQ(data_->IBTable9->tableName(), QStringLiteral("NAV"));
}

TEST_F(DataWriteTest, ASuccessfulWriteIsCommittedAndSeenByOthers) {
  EXPECT_TRUE(data_->Write(QStringLiteral("Hiba71: Új termék INSERT "), [&](WriteSteps &) {
    insertProduct(data_->ZQ41, QStringLiteral("501"), QStringLiteral("Kukorica"));
  }));
  EXPECT_FALSE(data_->IBTrans1->active());
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '501'")), 1);
}

TEST_F(DataWriteTest, AFailedWriteRollsTheWholeStepBackThenShowsItsMessage) {
  MessageSeen box;
  bool ok = true;
  bool activeWhenShown = true;
  ModalScript script;
  script.then([&](QWidget *w) {
    activeWhenShown = data_->IBTrans1->active();  // the rollback comes before the message
    answer(QMessageBox::Ok, &box)(w);
  });
  EXPECT_TRUE(script.run([&] {
    ok = data_->Write(QStringLiteral("Hiba72: Új termék INSERT "), [&](WriteSteps &) {
      insertProduct(data_->ZQ41, QStringLiteral("502"), QStringLiteral("Zab"));
      data_->ZQ41->close();
      data_->ZQ41->sql().clear();
      data_->ZQ41->sql().add(QStringLiteral("UPDATE NINCSILYEN SET X = 1"));
      data_->ZQ41->execute();
    });
  }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(box.kind, QStringLiteral("Message"));
  EXPECT_EQ(box.text, QStringLiteral("Hiba72: Új termék INSERT "));
  EXPECT_EQ(box.buttons, QStringList{QStringLiteral("OK")});
  EXPECT_FALSE(activeWhenShown);
  EXPECT_FALSE(data_->IBTrans1->active());
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '502'")), 0);
  // The transaction is usable again.
  EXPECT_TRUE(data_->Write(QStringLiteral("x"), [&](WriteSteps &) {
    insertProduct(data_->ZQ41, QStringLiteral("502"), QStringLiteral("Zab"));
  }));
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '502'")), 1);
}

TEST_F(DataWriteTest, CommitRetainingKeepsTheListsOpenAndTheWriteDurable) {
  // A small write such as a deletion runs while the dialog's list is open.
  data_->ZQ40->sql().add(QStringLiteral("SELECT * FROM TERMEK ORDER BY T_KOD"));
  data_->ZQ40->open();
  EXPECT_TRUE(data_->Write(
      QStringLiteral("Hiba61: termék DELETE törlésekor"),
      [&](WriteSteps &) { insertProduct(data_->ZQ41, QStringLiteral("503"), QStringLiteral("Rozs")); },
      TData::CommitMode::CommitRetaining));
  EXPECT_TRUE(data_->ZQ40->active());
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '503'")), 1);
  // A later failed write of any dialog cannot undo it.
  ModalScript script;
  script.then(answer(QMessageBox::Ok));
  script.run([&] {
    data_->Write(QStringLiteral("Hiba72"), [&](WriteSteps &) {
      data_->ZQ41->close();
      data_->ZQ41->sql().clear();
      data_->ZQ41->sql().add(QStringLiteral("DELETE FROM NINCSILYEN"));
      data_->ZQ41->execute();
    });
  });
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '503'")), 1);
}

TEST_F(DataWriteTest, ALockHeldByAnotherInstanceFailsAtOnce) {
  ASSERT_TRUE(data_->Write(QStringLiteral("x"), [&](WriteSteps &) {
    insertProduct(data_->ZQ41, QStringLiteral("504"), QStringLiteral("Napraforgó"));
  }));
  // The other instance updates the row and keeps its transaction open.
  other();
  other_->q.sql().add(QStringLiteral("UPDATE TERMEK SET T_MEGNEVEZES = 'Más' WHERE T_KOD = '504'"));
  other_->q.execute();
  MessageSeen box;
  bool ok = true;
  // The other transaction holds its lock until the end of the test: a write
  // that waited for it would never return.
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &box));
  script.run([&] {
    ok = data_->Write(QStringLiteral("Hiba73: Módosítás UPDATE termék "), [&](WriteSteps &) {
      data_->ZQ41->close();
      data_->ZQ41->sql().clear();
      data_->ZQ41->sql().add(QStringLiteral("UPDATE TERMEK SET T_MEGNEVEZES = 'Búza' "));
      data_->ZQ41->sql().add(QStringLiteral(" WHERE T_KOD = :p0"));
      data_->ZQ41->paramByName(QStringLiteral("p0")).setString(QStringLiteral("504"));
      data_->ZQ41->execute();
    });
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(box.text, QStringLiteral("Hiba73: Módosítás UPDATE termék "));
  other_->trans.rollback();
}

TEST_F(DataWriteTest, AWriteInTheCallersTransactionUndoesOnlyItsOwnStatements) {
  ASSERT_TRUE(data_->Write(QStringLiteral("x"), [&](WriteSteps &) {
    insertProduct(data_->ZQ41, QStringLiteral("505"), QStringLiteral("Cirok"));
  }));
  // The caller's transaction holds a row lock taken before the write, as a
  // numbering hold does.
  db::Transaction held;
  held.setConnection(data_->ZCon1);
  db::Query q;
  q.setTransaction(&held);
  q.sql().add(QStringLiteral("SELECT T_KOD FROM TERMEK WHERE T_KOD = '505' WITH LOCK"));
  q.open();
  auto otherUpdates = [&] {
    other();
    other_->q.close();
    other_->q.sql().clear();
    other_->q.sql().add(QStringLiteral("UPDATE TERMEK SET T_MEGNEVEZES = 'x' WHERE T_KOD = '505'"));
    try {
      other_->q.execute();
      other_->trans.rollback();
      return true;
    } catch (const db::Error &e) {
      other_->trans.rollback();
      return !e.isLockConflict();
    }
  };
  MessageSeen box;
  bool ok = true;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &box));
  script.run([&] {
    ok = data_->Write(held, QStringLiteral("Hiba94: Újban, INSERT a Qzfejben "), [&](WriteSteps &) {
      insertProduct(&q, QStringLiteral("506"), QStringLiteral("Köles"));
      q.close();
      q.sql().clear();
      q.sql().add(QStringLiteral("UPDATE NINCSILYEN SET X = 1"));
      q.execute();
    });
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(box.text, QStringLiteral("Hiba94: Újban, INSERT a Qzfejben "));
  // The failed statements are undone; the lock taken before stays.
  ASSERT_TRUE(held.active());
  q.close();
  q.sql().clear();
  q.sql().add(QStringLiteral("SELECT COUNT(*) FROM TERMEK WHERE T_KOD = '506'"));
  q.open();
  EXPECT_EQ(q.field(0).asInteger(), 0);
  EXPECT_FALSE(otherUpdates());
  // A successful write commits, which ends the lock.
  EXPECT_TRUE(data_->Write(held, QStringLiteral("x"), [&](WriteSteps &) {
    insertProduct(&q, QStringLiteral("506"), QStringLiteral("Köles"));
  }));
  EXPECT_FALSE(held.active());
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '506'")), 1);
  EXPECT_TRUE(otherUpdates());
}

TEST_F(DataWriteTest, TheMessageShownIsTheOneOfTheStepThatFailed) {
  const QStringList messages = {QStringLiteral("Hiba392: Újban, INSERT a Qzfejben "),
                                QStringLiteral("Hiba394: Új UPDATE QzFej -ben "),
                                QStringLiteral("Hiba398: Új UPDATE Sorszam -ba ")};
  // Three steps of one write, each inserting a row; the step numbered
  // failing runs a statement the engine refuses instead.
  for (int failing = 0; failing < static_cast<int>(messages.size()); ++failing) {
    bool ok = true;
    const QString shown = messageOf([&] {
      ok = data_->Write(messages[0], [&](WriteSteps &steps) {
        for (int step = 0; step < static_cast<int>(messages.size()); ++step) {
          if (step > 0) steps.at(messages[step]);
          if (step == failing) {
            data_->ZQ41->close();
            data_->ZQ41->sql().clear();
            data_->ZQ41->sql().add(QStringLiteral("UPDATE NINCSILYEN SET X = 1"));
            data_->ZQ41->execute();
          }
          insertProduct(data_->ZQ41, QStringLiteral("6%1%2").arg(failing).arg(step), QStringLiteral("Bab"));
        }
      });
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(shown, messages[failing]) << "failing step " << failing;
    EXPECT_EQ(countOther(QStringLiteral("T_KOD STARTING WITH '6%1'").arg(failing)), 0);
  }
  // A step that ends without failure leaves its message unused.
  EXPECT_TRUE(data_->Write(messages[0], [&](WriteSteps &steps) {
    insertProduct(data_->ZQ41, QStringLiteral("690"), QStringLiteral("Bab"));
    steps.at(messages[1]);
    EXPECT_EQ(steps.message(), messages[1]);
  }));
  EXPECT_EQ(countOther(QStringLiteral("T_KOD = '690'")), 1);
}

// Warnings of one logging category, captured while the object lives.
class LogCapture {
 public:
  explicit LogCapture(const char *category) : category_(category) {
    std::lock_guard lock(mutex());
    current() = this;
    previous_ = qInstallMessageHandler(&LogCapture::handle);
  }
  ~LogCapture() {
    std::lock_guard lock(mutex());
    qInstallMessageHandler(previous_);
    current() = nullptr;
  }
  QStringList warnings() const {
    std::lock_guard lock(mutex());
    return warnings_;
  }

 private:
  static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    std::lock_guard lock(mutex());
    LogCapture *self = current();
    if (self && type == QtWarningMsg && context.category && self->category_ == context.category)
      self->warnings_ << text;
  }
  static LogCapture *&current() {
    static LogCapture *capture = nullptr;
    return capture;
  }
  static std::mutex &mutex() {
    static std::mutex m;
    return m;
  }
  QByteArray category_;
  QtMessageHandler previous_ = nullptr;
  QStringList warnings_;
};

TEST_F(DataWriteTest, AFailedWriteLogsTheEnginesOwnText) {
  // The engine's text for the statement, as the data access layer reports it.
  QString engineText;
  try {
    db::Query q;
    q.setTransaction(data_->IBTrans1);
    q.sql().add(QStringLiteral("UPDATE NINCSILYEN SET X = 1"));
    q.execute();
  } catch (const db::Error &e) {
    engineText = e.message();
  }
  data_->IBTrans1->rollback();
  ASSERT_FALSE(engineText.isEmpty());

  LogCapture log("vorik.app");
  const QString shown = messageOf([&] {
    data_->Write(QStringLiteral("Hiba72: Új termék INSERT "), [&](WriteSteps &) {
      data_->ZQ41->close();
      data_->ZQ41->sql().clear();
      data_->ZQ41->sql().add(QStringLiteral("UPDATE NINCSILYEN SET X = 1"));
      data_->ZQ41->execute();
    });
  });
  // The user sees only the step's message; the log has the cause beside it.
  EXPECT_EQ(shown, QStringLiteral("Hiba72: Új termék INSERT "));
  const QStringList warnings = log.warnings();
  ASSERT_EQ(warnings.size(), 1) << warnings.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("Hiba72"))) << warnings[0].toStdString();
  EXPECT_TRUE(warnings[0].contains(engineText)) << warnings[0].toStdString();
}

}  // namespace

// The one turning of a caught exception into text, over the exception kinds
// of every module: each carries its text, accents included, so that the
// message or the log line reads as raised.
#include "platform/error_text.h"

#include "db/error.h"
#include "platform/conv.h"
#include "platform/ini_file.h"
#include "report/core/FR_Utils.h"
#include "report/output/FR_Prntr.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace vorik::test;

namespace {

// The text the helper gives for ex, caught as std::exception, caught by
// catch (...) and stored.
template <class E>
void expectText(const E &ex, const QString &expected) {
  try {
    throw ex;
  } catch (const std::exception &e) {
    EXPECT_EQ(platform::exceptionText(e), expected);
  }
  try {
    throw ex;
  } catch (...) {
    EXPECT_EQ(platform::exceptionText(), expected);
    EXPECT_EQ(platform::exceptionText(std::current_exception()), expected);
  }
}

TEST(ExceptionText, EveryKindOfTheProgramGivesItsOwnText) {
  expectText(std::runtime_error("disk full"), QStringLiteral("disk full"));
  expectText(std::runtime_error(QStringLiteral("lemez megtelt: ő ű").toStdString()),
             QStringLiteral("lemez megtelt: ő ű"));
  expectText(db::Error(QStringLiteral("Táblázat ismeretlen: ŐSTERMELŐ"), {335544569}),
             QStringLiteral("Táblázat ismeretlen: ŐSTERMELŐ"));
  expectText(platform::IniFileError("Unable to write to form9.ini"),
             QStringLiteral("Unable to write to form9.ini"));
  expectText(report::EPrinterError(QStringLiteral("A nyomtató nem érhető el")),
             QStringLiteral("A nyomtató nem érhető el"));
  expectText(report::EReadError(), QStringLiteral("Stream read error"));
  expectText(std::bad_alloc(), QStringLiteral("Elfogyott a memória, a művelet nem fejeződött be. Kérem zárjon be "
                                              "más programokat, vagy válasszon kisebb fájlt vagy rövidebb "
                                              "időszakot, és próbálja újra."));
  // A conversion's own message, as the conversion raised it.
  try {
    platform::StrToInt(QStringLiteral("12ő"));
    ADD_FAILURE() << "no ConvertError";
  } catch (const platform::ConvertError &e) {
    EXPECT_FALSE(e.message().isEmpty());
    EXPECT_EQ(platform::exceptionText(e), e.message());
    expectText(e, e.message());
  }
}

TEST(ExceptionText, AnythingElseIsAnUnknownError) {
  try {
    throw 42;
  } catch (...) {
    EXPECT_EQ(platform::exceptionText(), QStringLiteral("Unknown error"));
  }
  EXPECT_EQ(platform::exceptionText(std::exception_ptr()), QStringLiteral("Unknown error"));
}

TEST(ExceptionText, TheEnginesErrorReadsAsTheDataLayerReportsIt) {
  TestDatabase database;
  auto q = database.query();
  q->sql().add(QStringLiteral("SELECT X FROM NINCSILYEN"));
  try {
    q->open();
    ADD_FAILURE() << "no db::Error";
  } catch (const db::Error &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("NINCSILYEN"))) << e.message().toStdString();
    EXPECT_EQ(platform::exceptionText(e), e.message());
  }
}

}  // namespace

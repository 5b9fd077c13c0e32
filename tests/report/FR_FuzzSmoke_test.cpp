// A short mutation run over the fuzz seeds, with any compiler: the readers of
// layouts, templates, expressions and scripts take thousands of damaged inputs
// and answer each with a result or one of the engine's errors.
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "report/core/FR_Class_Report.h"
#include "report/expr/FR_Intrp.h"

#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace report;

namespace {

QList<QByteArray> seeds(const char *target) {
  QList<QByteArray> r;
  QDir dir(vorik::test::sourcePath(QStringLiteral("tests/fuzz/corpus/%1").arg(QLatin1String(target))));
  for (const QString &f : dir.entryList(QDir::Files)) {
    QFile file(dir.filePath(f));
    if (file.open(QIODevice::ReadOnly)) r << file.readAll();
  }
  return r;
}

QByteArray mutate(QByteArray b, QRandomGenerator &rng) {
  const int edits = 1 + static_cast<int>(rng.bounded(4));
  for (int e = 0; e < edits; ++e) {
    const int kind = static_cast<int>(rng.bounded(4));
    const int at = b.isEmpty() ? 0 : static_cast<int>(rng.bounded(static_cast<quint32>(b.size())));
    if (kind == 0 && !b.isEmpty()) b[at] = static_cast<char>(rng.bounded(256));
    else if (kind == 1) b.insert(at, static_cast<char>(rng.bounded(256)));
    else if (kind == 2 && !b.isEmpty()) b.remove(at, 1 + static_cast<int>(rng.bounded(8)));
    else if (!b.isEmpty()) b.insert(at, b.mid(at, 1 + static_cast<int>(rng.bounded(16))));
  }
  return b;
}

constexpr int kRounds = 4000;

}  // namespace

TEST(FuzzSmoke, LayoutAndTemplateReaders) {
  const auto savedBox = frErrorBox;
  frErrorBox = nullptr;  // a version byte above 23 would show a box
  QRandomGenerator rng(1234);
  const QList<QByteArray> layouts = seeds("layout_fuzz");
  ASSERT_FALSE(layouts.isEmpty());
  for (const QByteArray &s : layouts) {
    TfrReport r;
    EXPECT_NO_THROW(r.LoadFromBytes(s));
  }
  int ok = 0;
  for (int i = 0; i < kRounds; ++i) {
    TfrReport r;
    try {
      r.LoadFromBytes(mutate(layouts[i % layouts.size()], rng));
      ++ok;
    } catch (const Exception &) {
    }
  }
  EXPECT_GT(ok, 0);
  const QList<QByteArray> templates = seeds("template_fuzz");
  ASSERT_FALSE(templates.isEmpty());
  for (int i = 0; i < kRounds; ++i) {
    TfrReport r;
    TfrStream s(mutate(templates[i % templates.size()], rng));
    QStringList d;
    TfrPicture p;
    try {
      r.LoadTemplateFromStream(s, &d, &p, true);
    } catch (const Exception &) {
    }
  }
  frErrorBox = savedBox;
}

TEST(FuzzSmoke, ExpressionAndScriptReaders) {
  QRandomGenerator rng(99);
  const QList<QByteArray> exprs = seeds("expression_fuzz");
  const QList<QByteArray> scripts = seeds("script_fuzz");
  ASSERT_FALSE(exprs.isEmpty());
  ASSERT_FALSE(scripts.isEmpty());
  TfrParser p;
  p.OnGetValue = [](const QString &name, Variant &v) { v = Variant(static_cast<int>(name.size())); };
  p.OnFunction = [](const QString &, const Variant &a, const Variant &, const Variant &, QString &val) {
    val = a.toString();
  };
  for (int i = 0; i < kRounds; ++i) {
    try {
      p.Calc(platform::fromCp1250(mutate(exprs[i % exprs.size()], rng)));
    } catch (const Exception &) {
    } catch (const platform::ConvertError &) {
    }
  }
  const long long saved = TfrInterpretator::MaxSteps;
  TfrInterpretator::MaxSteps = 2000;
  for (int i = 0; i < kRounds; ++i) {
    QStringList compiled, errors;
    frInterpretator->PrepareScript(platform::fromCp1250(mutate(scripts[i % scripts.size()], rng)).split('\n'),
                                   compiled, errors);
    try {
      frInterpretator->DoScript(compiled);
    } catch (const Exception &) {
    } catch (const platform::ConvertError &) {
    }
  }
  TfrInterpretator::MaxSteps = saved;
  frVariables->Clear();
}

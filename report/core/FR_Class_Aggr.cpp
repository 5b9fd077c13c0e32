// The aggregates SUM, AVG, COUNT, MIN and MAX: over a dataset named in the
// first argument (walked and put back where it was), or collected record by
// record into the footer band that shows them.
#include "platform/conv.h"
#include "platform/format_settings.h"
#include "report/core/FR_Class_Band.h"
#include "report/expr/FR_Class_Funcs.h"
#include "report/core/FR_Class_Report.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Pars.h"

namespace report {

namespace {

using Std = TfrStdFunctionLibrary;

// Numbers go back into expression text, where "," separates arguments.
QString numberText(double v) {
  static const platform::FormatSettings dot = [] {
    platform::FormatSettings f = platform::regional();
    f.decimalSeparator = QLatin1Char('.');
    return f;
  }();
  return platform::FloatToStr(v, dot);
}

double realOf(const Variant &v) { return v.isNull() ? 0 : v.toFloat(); }

// "Dataset.Field" or "Form.Dataset.Field": the dataset and the field. The
// aggregate walks the dataset whether or not it is open, so a closed one is
// opened to find its field.
bool splitDataSetField(const QString &text, db::DataSet *&ds, db::Field *&field) {
  ds = nullptr;
  field = nullptr;
  if (!text.contains(QLatin1Char('.'))) return false;
  frGetDataSetAndField(text, ds, field);
  if (ds && !field && !ds->active()) {
    ds->open();
    frGetDataSetAndField(text, ds, field);
  }
  return ds && field;
}

void datasetAggregate(int fno, db::DataSet *ds, db::Field *field, QString &val) {
  double sum = 0, mn = 1e200, mx = -1e200;
  int count = 0;
  if (!ds->active()) ds->open();
  // The walk puts the dataset back where it was, so that a band looping
  // over the same dataset goes on from its record.
  const bool wasEof = ds->eof();
  const int recNo = ds->recNo();
  const QString fieldName = field ? field->fieldName() : QString();
  ds->first();
  while (!ds->eof()) {
    double v = 0;
    if (field) {
      db::Field *f = ds->findField(fieldName);
      v = f ? realOf(frFieldValue(*f)) : 0;
    }
    sum += v;
    mn = std::min(mn, v);
    mx = std::max(mx, v);
    ++count;
    ds->next();
  }
  if (wasEof) {
    if (!ds->isEmpty()) {
      ds->last();
      ds->next();
    }
  } else if (recNo > 0) {
    ds->setRecNo(recNo);
  }
  switch (fno) {
    case Std::fnSUM: val = numberText(sum); break;
    case Std::fnMIN: val = numberText(mn); break;
    case Std::fnMAX: val = numberText(mx); break;
    case Std::fnCOUNT: val = numberText(count); break;
    case Std::fnAVG: val = numberText(count ? sum / count : 0); break;
    default: break;
  }
}

QString functionName(int fno) {
  switch (fno) {
    case Std::fnSUM: return QStringLiteral("SUM");
    case Std::fnAVG: return QStringLiteral("AVG");
    case Std::fnCOUNT: return QStringLiteral("COUNT");
    case Std::fnMIN: return QStringLiteral("MIN");
    case Std::fnMAX: return QStringLiteral("MAX");
    default: return QString();
  }
}

void aggregate(int fno, const Variant &p1, const Variant &p2, const Variant &p3, QString &val) {
  val = QStringLiteral("0");
  const QString arg1 = p1.toString().trimmed();
  TfrBand *target = frBuild.EvalBand ? frBuild.EvalBand : frBuild.CurBand;

  // Over a dataset.
  db::DataSet *ds = nullptr;
  db::Field *field = nullptr;
  bool isDataset = false;
  if (fno == Std::fnCOUNT) {
    ds = frDataSetOf(frFindReportComponent(arg1));
    isDataset = ds != nullptr;
  } else {
    isDataset = splitDataSetField(arg1, ds, field);
  }
  if (isDataset) {
    if (target && !target->Visible) return;  // collecting: nothing to add
    datasetAggregate(fno, ds, field, val);
    return;
  }

  // Collected into a footer band. COUNT takes its band name from the second
  // argument and its count-invisible switch from the third; with two
  // arguments the second serves both.
  QString bandName = p2.toString().trimmed();
  QString sw = p3.toString().trimmed();
  if (fno == Std::fnCOUNT && sw.isEmpty()) sw = bandName;
  TfrBand *printing = frBuild.CurBand;
  if (bandName.isEmpty() && printing) bandName = printing->Name();
  if (!target || !target->IsFooterKind()) return;
  if (sw != QLatin1String("1") && printing && !printing->Visible) return;
  // Cells of a cross column collect apart from the other columns.
  const QString key = functionName(fno) + arg1 + frBuild.CrossKey;
  if (!target->Visible) {
    if (!printing || bandName.compare(printing->Name(), Qt::CaseInsensitive) != 0) return;
    auto it = target->Values.find(key);
    if (it == target->Values.end()) {
      TfrAggregate a;
      a.value = fno == Std::fnMIN ? 1e200 : fno == Std::fnMAX ? -1e200 : 0;
      it = target->Values.insert(key, a);
    } else if (it->counted) {
      return;  // the same aggregate twice in the footer counts a record once
    }
    double v = 1;
    if (fno != Std::fnCOUNT) v = realOf(frParser->Calc(arg1));
    switch (fno) {
      case Std::fnSUM: case Std::fnAVG: it->value += v; break;
      case Std::fnCOUNT: it->value += 1; break;
      case Std::fnMIN: it->value = std::min(it->value, v); break;
      case Std::fnMAX: it->value = std::max(it->value, v); break;
      default: break;
    }
    ++it->n;
    it->counted = true;
    return;
  }
  const auto it = target->Values.constFind(key);
  if (it == target->Values.constEnd()) {
    val = QStringLiteral("''");  // never collected: an empty result
    return;
  }
  // AVG divides by the records added under this key (records left out as
  // invisible do not count).
  if (fno == Std::fnAVG) val = numberText(it->n ? it->value / it->n : 0);
  else val = numberText(it->value);
}

}  // namespace

void frInstallAggregates() { frStdFunctionLibrary()->Aggregate = aggregate; }

}  // namespace report

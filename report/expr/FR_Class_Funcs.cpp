#include "report/expr/FR_Class_Funcs.h"

#include "platform/conv.h"
#include "report/expr/FR_Pars.h"

#include <QApplication>
#include <QInputDialog>

#include <algorithm>
#include <vector>

namespace report {

bool frDefaultInputBox(const QString &caption, const QString &prompt, QString &value) {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return false;
  bool ok = false;
  const QString text = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, value, &ok);
  if (ok) value = text;
  return ok;
}

TfrInputBox frInputBox = frDefaultInputBox;

namespace {

std::vector<std::unique_ptr<TfrFunctionLibrary>> &libraries() {
  static std::vector<std::unique_ptr<TfrFunctionLibrary>> libs = [] {
    std::vector<std::unique_ptr<TfrFunctionLibrary>> v;
    v.push_back(std::make_unique<TfrStdFunctionLibrary>());
    return v;
  }();
  return libs;
}

QString quoted(const QString &s) { return QLatin1Char('\'') + s + QLatin1Char('\''); }

// A literal whose inner quotes are doubled, so that any text reads back.
QString literal(const QString &prefix, const QString &s) {
  QString t = s;
  t.replace(QLatin1String("'"), QLatin1String("''"));
  return prefix + QLatin1Char('\'') + t + QLatin1Char('\'');
}

Variant arg(const Variant &p) { return frParser->Calc(p.toString()); }

}  // namespace

void TfrFunctionLibrary::AddFunctions(const QStringList &names) {
  List.append(names);
  std::sort(List.begin(), List.end(),
            [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

bool TfrFunctionLibrary::OnFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                                    QString &val) {
  const auto it = std::lower_bound(List.cbegin(), List.cend(), name, [](const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  if (it == List.cend() || it->compare(name, Qt::CaseInsensitive) != 0) return false;
  DoFunction(static_cast<int>(it - List.cbegin()), p1, p2, p3, val);
  return true;
}

TfrStdFunctionLibrary::TfrStdFunctionLibrary() {
  AddFunctions({QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("FORMATDATETIME"),
                QStringLiteral("FORMATFLOAT"), QStringLiteral("INPUT"), QStringLiteral("LOWERCASE"),
                QStringLiteral("MAX"), QStringLiteral("MIN"), QStringLiteral("NAMECASE"),
                QStringLiteral("STRTODATE"), QStringLiteral("STRTOTIME"), QStringLiteral("SUM"),
                QStringLiteral("UPPERCASE")});
}

void TfrStdFunctionLibrary::DoFunction(int FNo, const Variant &p1, const Variant &p2, const Variant &p3,
                                       QString &val) {
  val = QStringLiteral("0");
  switch (FNo) {
    case fnAVG: case fnCOUNT: case fnMAX: case fnMIN: case fnSUM:
      if (Aggregate) Aggregate(FNo, p1, p2, p3, val);
      break;
    case fnFORMATDATETIME: {
      const QString fmt = arg(p1).toString();
      const Variant v = arg(p2);
      val = quoted(platform::FormatDateTime(fmt, frToDateTime(v.toDateTime())));
      break;
    }
    case fnFORMATFLOAT: {
      const QString fmt = arg(p1).toString();
      val = quoted(platform::FormatFloat(fmt, arg(p2).toFloat()));
      break;
    }
    case fnINPUT: {
      const QString prompt = arg(p1).toString();
      QString value = arg(p2).toString();
      const QString def = value;
      if (!frInputBox || !frInputBox(QString(), prompt, value)) value = def;
      val = quoted(value);
      break;
    }
    case fnLOWERCASE:
      val = quoted(arg(p1).toString().toLower());
      break;
    case fnUPPERCASE:
      val = quoted(arg(p1).toString().toUpper());
      break;
    case fnNAMECASE: {
      QString s = arg(p1).toString().toLower();
      if (!s.isEmpty()) s[0] = s[0].toUpper();
      val = quoted(s);
      break;
    }
    case fnSTRTODATE:
      val = literal(QStringLiteral("%d"), arg(p1).toString());
      break;
    case fnSTRTOTIME:
      val = literal(QStringLiteral("%t"), arg(p1).toString());
      break;
    default:
      break;
  }
}

void frRegisterFunctionLibrary(std::unique_ptr<TfrFunctionLibrary> lib) { libraries().push_back(std::move(lib)); }

TfrStdFunctionLibrary *frStdFunctionLibrary() {
  return static_cast<TfrStdFunctionLibrary *>(libraries().front().get());
}

bool frCallLibraryFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                           QString &val) {
  for (const auto &lib : libraries())
    if (lib->OnFunction(name, p1, p2, p3, val)) return true;
  return false;
}

}  // namespace report

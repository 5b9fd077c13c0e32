#pragma once
// Layouts for build tests, written with the stream writer and read back the
// way a layout file is, and the texts of prepared pages.
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Build.h"
#include "report/data/FR_DSet.h"
#include "support/qt_print.h"
#include "tools/layouts/LayoutBuilder.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace report::test {

// A design report whose pages and objects a test puts together.
using report::layouts::LayoutBuilder;

// Two pages of one line each: "portrait" on A4 portrait, then "landscape" on A4 landscape.
inline void LoadPortraitThenLandscape(TfrReport &r) {
  LayoutBuilder l;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"portrait"});
  l.AddPage()->pgOr = 1;
  l.Band(btReportTitle, 0, 20);
  l.Memo(0, 0, 100, 20, {"landscape"});
  l.LoadInto(r);
}

// One printed object of a prepared page.
struct PrintedObject {
  QString text;
  int x, y, dx, dy;
};

inline std::vector<PrintedObject> PageObjects(TfrReport &r, int page) {
  std::vector<PrintedObject> out;
  const TfrPageRec *rec = r.EMFPages->GetPageRec(page);
  if (!rec) return out;
  for (const auto &v : TfrEMFPages::ReadObjects(rec->Stream)) {
    QStringList lines;
    for (const QString &l : v->Memo1) {
      QString t = l;
      // Laid-out lines carry a paragraph mark and two width characters.
      const qsizetype mark = t.indexOf(QChar(1));
      if (mark >= 0) t.truncate(mark);
      lines << t;
    }
    out.push_back({lines.join(QLatin1Char('|')), v->x, v->y, v->dx, v->dy});
  }
  return out;
}

inline QStringList PageTexts(TfrReport &r, int page) {
  QStringList t;
  for (const PrintedObject &o : PageObjects(r, page)) t << o.text;
  return t;
}

inline QStringList AllTexts(TfrReport &r) {
  QStringList t;
  for (int i = 0; i < r.EMFPages->Count(); ++i) t << PageTexts(r, i);
  return t;
}

// A user data source over n records whose fields a test reads through the
// report's OnGetValue; RecNo is the current record.
inline TfrUserDataset *Records(QObject *owner, const QString &name, std::function<int()> count) {
  auto *ds = new TfrUserDataset(owner);
  ds->setObjectName(name);
  ds->OnCheckEOF = [ds, count](QObject *, bool &eof) { eof = ds->RecNo >= count(); };
  return ds;
}

}  // namespace report::test

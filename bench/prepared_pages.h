#pragma once
// A prepared page as a ticket list prints it: 60 text objects in three
// columns (shared by the prepared-page and preview benchmarks).
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_TextLayout.h"

#include <QString>

inline void addListPage(report::TfrEMFPages &pages, int n) {
  using namespace report;
  static const TfrPage a4;
  pages.Add(a4);
  const int index = pages.Count() - 1;
  TfrMemoView m;
  m.dx = 240;
  m.dy = 18;
  m.FrameTyp = 2;
  for (int i = 0; i < 60; ++i) {
    m.x = 40 + (i % 3) * 240;
    m.y = 40 + (i / 3) * 50;
    m.Adjust = i % 3 == 2 ? frAlignRight : frAlignLeft;
    m.Memo1 = {i % 3 == 0 ? QStringLiteral("Termelő %1 / %2").arg(n).arg(i)
               : i % 3 == 1 ? QStringLiteral("Búza, 2. osztály")
                            : QStringLiteral("%1 Ft").arg(1234567 + n * 60 + i)};
    pages.AddObject(index, m);
  }
}

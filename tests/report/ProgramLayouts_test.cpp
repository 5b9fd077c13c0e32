// The program's own layouts as the build writes them: every one reads back
// to the same bytes, the files in the build's layout folder are exactly what
// the builder makes, and every object stays on its page.
#include "report/core/FR_Class_Report.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_print.h"

using namespace report;

namespace {

TEST(ProgramLayouts, EveryLayoutReadsBackToItsOwnBytesAndTheBuildWroteThem) {
  const auto &layouts = layouts::ProgramLayouts();
  ASSERT_EQ(layouts.size(), 39u);  // no letter, A to Z, the producer and product lists, the two return lists,
                                   // the contract, the seven lists of "Listák"
  const QDir built(QStringLiteral(VORIK_BINARY_DIR "/layouts"));
  for (const auto &layout : layouts) {
    TfrReport r;
    layout.build(r);
    const QByteArray bytes = r.SaveToBytes();
    TfrReport again;
    ASSERT_TRUE(again.LoadFromBytes(bytes)) << layout.fileName.toStdString();
    EXPECT_EQ(again.SaveToBytes(), bytes) << layout.fileName.toStdString();
    EXPECT_TRUE(again.DoublePass) << layout.fileName.toStdString();  // "n/m" page numbers
    QFile f(built.filePath(layout.fileName));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << layout.fileName.toStdString();
    EXPECT_EQ(f.readAll(), bytes) << layout.fileName.toStdString();
  }
}

// Landscape: the producer and product lists and the return's line list;
// portrait: the tickets, the contract, the 08M month list and the lists of
// the "Listák" menu.
TEST(ProgramLayouts, TicketsArePortraitListsLandscapeAndNoObjectLeavesItsMargins) {
  for (const auto &layout : layouts::ProgramLayouts()) {
    TfrReport r;
    layout.build(r);
    ASSERT_EQ(r.Pages.Count(), 1);
    const TfrPage &p = *r.Pages[0];
    const bool landscape = layout.fileName == QStringLiteral("QzLista2.frf") ||
                           layout.fileName == QStringLiteral("QzLista6.frf") ||
                           layout.fileName == QStringLiteral("QzLista4.frf");
    EXPECT_EQ(p.pgOr, landscape ? 1 : 0) << layout.fileName.toStdString();
    const int width = qRound((p.pgOr ? p.pgHeight : p.pgWidth) / 254.0 * frPixelsX);
    for (const auto &v : p.Objects) {
      if (v->Typ == gtBand) continue;
      EXPECT_GE(v->x, p.pgMargins.Left) << layout.fileName.toStdString() << " " << v->Name.toStdString();
      EXPECT_LE(v->x + v->dx, width - p.pgMargins.Right)
          << layout.fileName.toStdString() << " " << v->Name.toStdString();
    }
  }
}

// The engine prints an object with the first band (by band type, then top)
// whose height holds the object's top edge; the designer carries along with a
// band only the objects lying wholly inside it. So every object lies inside
// that band, and dragging the band moves all it prints.
TEST(ProgramLayouts, EveryObjectLiesInsideTheBandHoldingItsTopEdge) {
  for (const auto &layout : layouts::ProgramLayouts()) {
    TfrReport r;
    layout.build(r);
    std::vector<const TfrView *> bands;
    for (const auto &v : r.Pages[0]->Objects)
      if (v->Typ == gtBand) bands.push_back(v.get());
    std::stable_sort(bands.begin(), bands.end(), [](const TfrView *a, const TfrView *b) {
      const int ta = static_cast<const TfrBandView *>(a)->BandType(), tb = static_cast<const TfrBandView *>(b)->BandType();
      return ta != tb ? ta < tb : a->y < b->y;
    });
    for (const auto &v : r.Pages[0]->Objects) {
      if (v->Typ == gtBand) continue;
      const std::string what = layout.fileName.toStdString() + " " + v->Name.toStdString();
      auto holder = std::find_if(bands.begin(), bands.end(),
                                 [&](const TfrView *b) { return b->y <= v->y && v->y <= b->y + b->dy; });
      ASSERT_NE(holder, bands.end()) << what << " lies on no band";
      const TfrView &b = **holder;
      EXPECT_TRUE(v->x >= b.x && v->x + v->dx <= b.x + b.dx && v->y + v->dy <= b.y + b.dy)
          << what << " (" << v->x << ", " << v->y << ", " << v->dx << " x " << v->dy << ") sticks out of "
          << b.Name.toStdString() << " (" << b.x << ", " << b.y << ", " << b.dx << " x " << b.dy << ")";
    }
  }
}

}  // namespace

#pragma once
// A list layout put together band by band for the benchmarks: each band and
// text object named in the order added, as a layout saved by the designer.
#include "report/core/FR_Class_Band.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace bench {

class PageBuilder {
 public:
  explicit PageBuilder(report::TfrPage *page) : page_(page) {}

  void band(int type, int y, int dy, const QString &source) {
    auto v = std::make_unique<report::TfrBandView>();
    v->SetBandType(type);
    v->y = y;
    v->dx = 700;
    v->dy = dy;
    v->FormatStr = source;
    v->Name = QStringLiteral("Band%1").arg(++n_);
    page_->Add(std::move(v));
  }

  void memo(int x, int y, int dx, const QString &text) {
    auto v = std::make_unique<report::TfrMemoView>();
    v->x = x;
    v->y = y;
    v->dx = dx;
    v->dy = 16;
    v->Memo = QStringList{text};
    v->Name = QStringLiteral("Memo%1").arg(++n_);
    page_->Add(std::move(v));
  }

 private:
  report::TfrPage *page_;
  int n_ = 0;
};

}  // namespace bench

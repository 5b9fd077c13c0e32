#pragma once
// The list per product ("Listák" > "Termékenkénti lista"): one group per
// product name of the range, with its quantity and amount, and its lines.
#include "exchange/lists/RangeList.h"

class TForm13 : public TRangeListForm {
  Q_OBJECT
 public:
  explicit TForm13(QWidget *owner = nullptr);

 protected:
  QString Gather(const lists::Range &range) override;
  void Print() override;
};

extern TForm13 *Form13;

#pragma once
// The list per producer ("Listák" > "Östermelönkénti lista"): one group
// per producer of the range, with its amount, and its lines by product name.
#include "exchange/lists/RangeList.h"

class TForm19 : public TRangeListForm {
  Q_OBJECT
 public:
  explicit TForm19(QWidget *owner = nullptr);

 protected:
  QString Gather(const lists::Range &range) override;
  void Print() override;
};

extern TForm19 *Form19;

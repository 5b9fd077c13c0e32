#pragma once
// Statistics ("Listák" > "Statisztika"): quantity, average net price and
// amounts per product by month of purchase, or per product overall, with
// the receiver's totals; "QzLista12.frf" or "QzLista13.frf".
#include "exchange/lists/SummaryList.h"

class TForm32 : public TSummaryListForm {
  Q_OBJECT
 public:
  explicit TForm32(QWidget *owner = nullptr);

 protected:
  void Gather(bool boxTicked) override;
  QString LayoutFile(bool boxTicked) const override;
};

extern TForm32 *Form32;

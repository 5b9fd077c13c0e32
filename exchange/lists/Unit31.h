#pragma once
// Cash payments per payment day ("Listák" > "Kp. napi lista"), in total or
// per product: tickets without the transfer mark, cancelling documents
// included; "QzLista10.frf" or "QzLista11.frf".
#include "exchange/lists/SummaryList.h"

class TForm31 : public TSummaryListForm {
  Q_OBJECT
 public:
  explicit TForm31(QWidget *owner = nullptr);

 protected:
  void Gather(bool boxTicked) override;
  QString LayoutFile(bool boxTicked) const override;
};

extern TForm31 *Form31;

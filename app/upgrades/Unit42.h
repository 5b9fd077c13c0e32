#pragma once
// TForm42: Widening of the chamber id domain D_KAMARA to 20 ("Kamarai szám hossza").
#include "app/upgrades/Upgrade.h"

class TForm42 : public Upgrade::UpgradeDialog {
  Q_OBJECT
 public:
  explicit TForm42(QWidget *parent = nullptr);
  void Button1Click() { run(); }

 protected:
  void run() override;
};

extern TForm42 *Form42;

#pragma once
// TForm28: Upgrade of the pension-member column O_MNYPTAG ("Magánny.tag?").
#include "app/upgrades/Upgrade.h"

class TForm28 : public Upgrade::UpgradeDialog {
  Q_OBJECT
 public:
  explicit TForm28(QWidget *parent = nullptr);
  void Button1Click() { run(); }

 protected:
  void run() override;
};

extern TForm28 *Form28;

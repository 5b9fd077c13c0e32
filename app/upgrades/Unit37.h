#pragma once
// TForm37: Upgrade of the FELIR column O_FELIR ("FELIR azon. felvétele").
#include "app/upgrades/Upgrade.h"

class TForm37 : public Upgrade::UpgradeDialog {
  Q_OBJECT
 public:
  explicit TForm37(QWidget *parent = nullptr);
  void Button1Click() { run(); }

 protected:
  void run() override;
};

extern TForm37 *Form37;

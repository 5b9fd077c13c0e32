#pragma once
// TForm43: Upgrade of the NÉBIH columns O_IGSZAM1, O_ERVKELT1 (with its start value) and O_CSGAZD1
// ("Nébih azon. felvétele").
#include "app/upgrades/Upgrade.h"

class TForm43 : public Upgrade::UpgradeDialog {
  Q_OBJECT
 public:
  explicit TForm43(QWidget *parent = nullptr);
  void Button1Click() { run(); }

 protected:
  void run() override;
};

extern TForm43 *Form43;

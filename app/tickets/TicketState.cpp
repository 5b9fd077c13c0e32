#include "app/tickets/TicketState.h"

#include "app/tickets/Unit10.h"
#include "app/tickets/Unit39.h"
#include "app/tickets/Unit8.h"
#include "app/tickets/Unit9.h"

QString JegyMod;
QString UtolsoBszam;
QString FizetendoSzoveg;
double JegyVetelar = 0;
double JegySzja = 0;
double JegyJarul = 0;
double JegyLevonas = 0;
QString TetelMod;
QString UtolsoTetelId;
QString ErvenytelenBszam;
QString ErvenytelenKelt;

void resetTicketState() {
  for (QString *s : {&JegyMod, &UtolsoBszam, &FizetendoSzoveg, &TetelMod, &UtolsoTetelId, &ErvenytelenBszam,
                     &ErvenytelenKelt})
    s->clear();
  JegyVetelar = JegySzja = JegyJarul = JegyLevonas = 0;
  TForm9::setProducerPicker({});
  TForm10::setProductPicker({});
  TForm8::setPrintTicket({});
  TForm8::setCancelTicket(&TForm39::CancelGuard);
}

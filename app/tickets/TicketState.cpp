#include "app/tickets/TicketState.h"

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

#include "app/SharedState.h"

QString AtvevoKod;
QString AtvevoNyilatk;
QString JegyVariant;
QString TipusNormal;
QString TipusErvenytelenito;
QString NyomtatMod;

QString FelirHiba;
QString OcsgHiba;
QString NebihHiba;
QString NevElotag;
QString NevUtotag;
QString AtvevoUtca;
QString OstermeloUtca;

QString Edit14Option;
QString Edit15Option;
QString Edit13Option;
QString Edit14Default;
QString Edit15Default;
QString Edit13Default;
QString Edit10Option;
QString Edit8Default;

QString AktOstermeloKod;
QString OstermeloMod;
QString AktTermek;
QString TermekMod;
QString ListaOstermeloKod;

QString XmlHova;
QString XmlOnszamla;
QString XmlSzlaForma;

void resetSharedState() {
  for (QString *s : {&AtvevoKod, &AtvevoNyilatk, &JegyVariant, &TipusNormal, &TipusErvenytelenito, &NyomtatMod,
                     &FelirHiba, &OcsgHiba, &NebihHiba, &NevElotag, &NevUtotag, &AtvevoUtca, &OstermeloUtca,
                     &Edit14Option, &Edit15Option, &Edit13Option, &Edit14Default, &Edit15Default, &Edit13Default,
                     &Edit10Option, &Edit8Default, &AktOstermeloKod, &OstermeloMod, &AktTermek, &TermekMod,
                     &ListaOstermeloKod, &XmlHova, &XmlOnszamla, &XmlSzlaForma})
    s->clear();
}

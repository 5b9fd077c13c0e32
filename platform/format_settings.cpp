#include "platform/format_settings.h"

namespace platform {

FormatSettings::FormatSettings()
    : shortMonthNames{QStringLiteral("jan."), QStringLiteral("febr."), QStringLiteral("márc."),
                      QStringLiteral("ápr."), QStringLiteral("máj."), QStringLiteral("jún."),
                      QStringLiteral("júl."), QStringLiteral("aug."), QStringLiteral("szept."),
                      QStringLiteral("okt."), QStringLiteral("nov."), QStringLiteral("dec.")},
      longMonthNames{QStringLiteral("január"), QStringLiteral("február"), QStringLiteral("március"),
                     QStringLiteral("április"), QStringLiteral("május"), QStringLiteral("június"),
                     QStringLiteral("július"), QStringLiteral("augusztus"), QStringLiteral("szeptember"),
                     QStringLiteral("október"), QStringLiteral("november"), QStringLiteral("december")},
      shortDayNames{QStringLiteral("V"), QStringLiteral("H"), QStringLiteral("K"), QStringLiteral("Sze"),
                    QStringLiteral("Cs"), QStringLiteral("P"), QStringLiteral("Szo")},
      longDayNames{QStringLiteral("vasárnap"), QStringLiteral("hétfő"), QStringLiteral("kedd"),
                   QStringLiteral("szerda"), QStringLiteral("csütörtök"), QStringLiteral("péntek"),
                   QStringLiteral("szombat")} {}

FormatSettings &regional() {
  static FormatSettings settings;
  return settings;
}

}  // namespace platform

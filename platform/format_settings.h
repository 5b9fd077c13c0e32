#pragma once
// The fixed Hungarian regional settings that every number and date
// conversion reads, in place of the machine's locale.
#include <QChar>
#include <QString>

#include <array>

namespace platform {

struct FormatSettings {
  QChar decimalSeparator = u',';
  QChar thousandSeparator = QChar(0x00A0);  // no-break space (byte 0xA0)
  QChar dateSeparator = u'.';
  QChar timeSeparator = u':';
  // Date-time patterns in the class library's letters (see FormatDateTime).
  QString shortDateFormat = QStringLiteral("yyyy.mm.dd");
  QString longDateFormat = QStringLiteral("yyyy. mmmm d.");
  QString shortTimeFormat = QStringLiteral("h:nn");
  QString longTimeFormat = QStringLiteral("h:nn:ss");
  // Designators of the 12-hour clock; the Hungarian time formats above use
  // the 24-hour clock, so they appear only through "ampm" and in StrToTime.
  QString timeAMString = QStringLiteral("de.");
  QString timePMString = QStringLiteral("du.");
  QString currencyString = QStringLiteral("Ft");
  int currencyDecimals = 2;
  // Two-digit years are placed in the hundred years that ends this many
  // years after the current year minus this window (0: current century).
  int twoDigitYearCenturyWindow = 50;
  // Index 0 = January.
  std::array<QString, 12> shortMonthNames;
  std::array<QString, 12> longMonthNames;
  // Index 0 = Sunday, as the class library counts days of the week.
  std::array<QString, 7> shortDayNames;
  std::array<QString, 7> longDayNames;

  FormatSettings();
};

// The process-wide settings. Mutable: the audit export switches the decimal
// separator to '.' while its dialog is open. Code that needs another
// separator for one call should pass its own copy instead of mutating this.
FormatSettings &regional();

}  // namespace platform

#pragma once
// Printing a return list through the data module's frNyomtat: the receiver
// row for the header in ZQ60, the report alone in frCompositeReport1's list
// (double pass) while it shows, the printer's orientation, the report
// variables, the layout by bare name from the working folder and the modal
// preview. A layout that cannot be read raises with the file's name before
// anything is shown.
#include "report/expr/FR_Variant.h"

#include <QString>

#include <utility>
#include <vector>

namespace returns {

using ReportVariables = std::vector<std::pair<QString, report::Variant>>;

// ZQ60 := the receiver's row.
void OpenReceiverRow(const QString &receiverCode);

// orientation: 0 portrait, 1 landscape.
void ShowList(const QString &layoutFile, int orientation, const ReportVariables &variables);

}  // namespace returns

#pragma once
// The program's own layouts: each layout file the register loads by bare
// name, with the function that builds it. A new layout is one function and
// one entry in ProgramLayouts().
#include <QString>

#include <functional>
#include <vector>

namespace report {
class TfrReport;
}

namespace report::layouts {

struct ProgramLayout {
  QString fileName;                       // as the program loads it
  std::function<void(TfrReport &)> build;  // puts the layout into an empty report
};

// Every layout the build writes into the working folder's layout set.
const std::vector<ProgramLayout> &ProgramLayouts();

// The layouts themselves.
void BuildTicket(TfrReport &r, const QString &layoutLetter);  // "QzLista7" + letter
void BuildProducerList(TfrReport &r);                          // "QzLista2"
void BuildProductList(TfrReport &r);                           // "QzLista6"
void BuildReturnList(TfrReport &r);                            // "QzLista3": the 08M month per producer
void BuildReturnLineList(TfrReport &r);                        // "QzLista4": the return's ticket lines
void BuildContract(TfrReport &r);                              // "QzSzerzodes"
void BuildProductGroupList(TfrReport &r);                      // "QzLista5": lines per product
void BuildProducerGroupList(TfrReport &r);                     // "QzLista8": lines per producer
void BuildProducerMonthList(TfrReport &r);                     // "QzLista9": a producer by month
void BuildCashDayList(TfrReport &r, bool perProduct);          // "QzLista10", "QzLista11"
void BuildStatisticsList(TfrReport &r, bool overall);          // "QzLista12", "QzLista13"

}  // namespace report::layouts

// Script compiler and runner: any text compiles (with errors or not) and the
// compiled lines run without leaving the list; runs are cut by a step limit.
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "report/expr/FR_Intrp.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = platform::fromCp1250(std::string_view(reinterpret_cast<const char *>(data), size));
  report::TfrInterpretator::MaxSteps = 2000;
  QStringList compiled, errors;
  report::frInterpretator->PrepareScript(text.split(QLatin1Char('\n')), compiled, errors);
  try {
    report::frInterpretator->DoScript(compiled);
  } catch (const report::Exception &) {
  } catch (const platform::ConvertError &) {
  }
  report::frVariables->Clear();
  return 0;
}

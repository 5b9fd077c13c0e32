// Expression parser: conversion and evaluation of any text, with names and
// functions answered by callbacks.
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "report/expr/FR_Pars.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = platform::fromCp1250(std::string_view(reinterpret_cast<const char *>(data), size));
  static report::TfrParser p;
  p.OnGetValue = [](const QString &name, report::Variant &v) {
    // Names starting with "X" are expressions themselves, as report values can be.
    if (name.startsWith(QLatin1Char('X')) || name.startsWith(QLatin1Char('x'))) v = p.Calc(name.mid(1));
    else if (name.size() % 3 == 0) v = report::Variant(static_cast<int>(name.size()));
    else if (name.size() % 3 == 1) v = report::Variant(name);
  };
  p.OnFunction = [](const QString &name, const report::Variant &p1, const report::Variant &,
                    const report::Variant &, QString &val) { val = name.size() % 2 ? p1.toString() : name; };
  try {
    p.Calc(text);
  } catch (const report::Exception &) {
  } catch (const platform::ConvertError &) {
  }
  return 0;
}

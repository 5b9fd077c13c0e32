#pragma once
// The text of an exception, for a message or the log: the one place that
// turns a caught exception into text.
#include <QString>

#include <exception>

namespace platform {

// what() read as UTF-8. Every exception of the program carries its text so:
// db::Error the engine's own message, ConvertError, IniFileError and the
// report engine's E...Error classes their message.
QString exceptionText(const std::exception &e);
// A stored exception, or inside a catch block the one being handled
// (catch (...) included); "Unknown error" for one not derived from
// std::exception or for none.
QString exceptionText(std::exception_ptr e = std::current_exception());

}  // namespace platform

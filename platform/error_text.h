#pragma once
// The text of an exception, for a message or the log: the one place that
// turns a caught exception into text.
#include <QString>

#include <exception>

class QLoggingCategory;

namespace platform {

// what() read as UTF-8. Every exception of the program carries its text so:
// db::Error the engine's own message, ConvertError, IniFileError and the
// report engine's E...Error classes their message. Running out of memory
// (std::bad_alloc) reads in the program's words, what happened and what to
// do; the log (logCaught) keeps the text as raised.
QString exceptionText(const std::exception &e);
// A stored exception, or inside a catch block the one being handled
// (catch (...) included); "Unknown error" for one not derived from
// std::exception or for none.
QString exceptionText(std::exception_ptr e = std::current_exception());

// Inside a catch block: logs the exception being handled as a warning in
// category, after context (the message the user is shown, or what was being
// done when the error is passed over): "context -- text".
void logCaught(const QLoggingCategory &category, const QString &context);

// What a system error (an errno) means to the user: the kinds the table of
// texts tells apart, for a message that says more about one of them.
enum class SystemErrorKind {
  DiskFull,
  TooLarge,
  NoAccess,
  ReadOnlyDisk,
  Missing,
  IsFolder,
  Exists,
  NameTooLong,
  InUse,
  TooManyOpen,
  NoMemory,
  OtherDisk,
  DiskError,
  Other
};
SystemErrorKind systemErrorKind(int error);

// A system error (an errno) in the program's Hungarian words, as a message
// shows it after the file's name ("betelt a lemez"): the one table every
// message that shows a system error goes through.
QString systemErrorText(int error);
// The same for the error of the system call that just failed (errno).
QString lastSystemErrorText();

}  // namespace platform

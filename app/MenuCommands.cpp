#include "app/MenuCommands.h"

#include "app/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

#include <QHash>

#include <exception>

namespace {
QHash<QString, MenuCommand> &registry() {
  static QHash<QString, MenuCommand> commands;
  return commands;
}
}  // namespace

bool RegisterMenuCommand(const QString &itemName, MenuCommand command) {
  registry().insert(itemName, std::move(command));
  return true;
}

MenuCommand MenuCommandOf(const QString &itemName) { return registry().value(itemName); }

bool HasMenuCommand(const QString &itemName) { return registry().contains(itemName); }

bool RunMenuCommand(const QString &itemName) {
  auto it = registry().constFind(itemName);
  if (it == registry().constEnd() || !*it) return false;
  const MenuCommand command = *it;  // a copy: the command may register others
  try {
    command();
  } catch (...) {
    platform::logCaught(lcApp(), itemName);
    platform::error(platform::exceptionText());
  }
  return true;
}

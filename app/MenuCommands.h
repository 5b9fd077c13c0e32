#pragma once
// The main menu's commands. A dialog's unit registers what its menu item does
// with one line at namespace scope of its .cpp:
//
//   VORIK_MENU_COMMAND(Felvsrlsijegy1, TForm8, Form8)
//
// Choosing the item then creates the dialog with no parent window (the
// application owns it), stores it in its global (Form8), shows it modally
// and frees it when the modal loop returns; the global is null again after.
// For a command that prepares its dialog first, register a function:
//
//   static const bool reg = RegisterMenuCommand("Lekrdezs2", [] {
//     ShowModalDialog<TForm17>(Form17, [](TForm17 *f) { f->AtvevoBetoltes(); });
//   });
//
// An item without a registered command does nothing. The vorik program
// links the register core whole, so every registration is present there.
#include <QString>

#include <functional>
#include <memory>

using MenuCommand = std::function<void()>;

// Registers (or replaces) the command of the menu item named itemName.
bool RegisterMenuCommand(const QString &itemName, MenuCommand command);
// The item's command (empty when none).
MenuCommand MenuCommandOf(const QString &itemName);
// True when a command is registered for the item.
bool HasMenuCommand(const QString &itemName);
// Runs the item's command. An error the command does not catch is shown in
// an error box and the program goes on. False when none is registered.
bool RunMenuCommand(const QString &itemName);

template <class T, class Prepare>
void ShowModalDialog(T *&global, Prepare prepare) {
  std::unique_ptr<T> dialog(new T(nullptr));
  global = dialog.get();
  struct Reset {
    T *&g;
    ~Reset() { g = nullptr; }
  } reset{global};
  prepare(dialog.get());
  dialog->exec();
}

template <class T>
void ShowModalDialog(T *&global) {
  ShowModalDialog(global, [](T *) {});
}

#define VORIK_MENU_COMMAND(item, Class, global)                  \
  static const bool item##_menu_command_registered =             \
      RegisterMenuCommand(QStringLiteral(#item), [] { ShowModalDialog<Class>(global); });

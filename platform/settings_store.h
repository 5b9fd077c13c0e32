#pragma once
// The registry substitute: the current user's settings under
// "Software\Quorvane\" + the application title ("Vorik"), kept by QSettings in
// INI format in the user's configuration folder. Key paths keep their Windows
// form below that root, such as "Form\frDesigner1".
#include <QString>
#include <QVariant>

namespace platform {

// A value of a key below the root; def when the key or the value is missing.
QVariant readRegistry(const QString &keyPath, const QString &name, const QVariant &def = {});
void writeRegistry(const QString &keyPath, const QString &name, const QVariant &value);

}  // namespace platform

#include "platform/file_dialog.h"

#include <QFileDialog>

namespace platform {

QFileDialog *makeFileDialog(QWidget *parent, const char *name, FileDialogKind kind, const QString &title,
                            const QString &filter, const QString &defaultExt) {
  auto *d = new QFileDialog(parent, title);
  d->setObjectName(QLatin1String(name));
  d->setOption(QFileDialog::DontUseNativeDialog, true);
  d->setAcceptMode(kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d->setFileMode(kind == FileDialogKind::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The Windows form "description|pattern[|description|pattern]" as Qt's "description (pattern)".
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
  if (!filters.isEmpty()) d->setNameFilters(filters);
  QString ext = defaultExt;
  if (ext.startsWith(QStringLiteral("*."))) ext = ext.mid(2);
  d->setDefaultSuffix(ext);
  return d;
}

QString execFileDialog(QFileDialog *dialog, const QString &folder, const QString &file) {
  if (!folder.isEmpty()) dialog->setDirectory(folder);
  if (!file.isEmpty()) dialog->selectFile(file);
  if (dialog->exec() != QDialog::Accepted) return QString();
  const QStringList chosen = dialog->selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace platform

#include "exchange/returns/ReturnControls.h"

#include "platform/collation.h"
#include "platform/win_path.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace returns {

namespace {

// Names in Hungarian alphabetical order, as the lists of names are; names
// the collation cannot tell apart by their exact text.
void SortHungarian(QStringList &names) {
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    const int c = platform::CompareStr(a, b);
    return c != 0 ? c < 0 : a < b;
  });
}

}  // namespace

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent) {
  for (const platform::Drive &d : platform::drives())
    if (d.letter == u'C' || QDir(d.root).exists()) addItem(QString(d.letter.toLower()) + QLatin1Char(':'));
  connect(this, &QComboBox::activated, this, [this](int i) { emit driveChosen(itemText(i) + QLatin1Char('\\')); });
}

void DriveComboBox::setDriveOf(const QString &winPath) {
  const QString drive = winPath.left(2).toLower();
  int i = findText(drive);
  if (i < 0 && drive.size() == 2 && drive[1] == QLatin1Char(':')) {
    addItem(drive);
    i = count() - 1;
  }
  const QSignalBlocker block(this);
  setCurrentIndex(i);
}

DirectoryListBox::DirectoryListBox(QWidget *parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem *item) { setDirectory(item->data(Qt::UserRole).toString()); });
}

void DirectoryListBox::setDirectory(const QString &winFolder) {
  QString folder = winFolder;
  if (!folder.endsWith(QLatin1Char('\\'))) folder += QLatin1Char('\\');
  directory_ = folder;
  clear();
  // Ancestors: "c:\", "c:\qz2025\", "c:\qz2025\01\".
  const QStringList parts = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
  QString path;
  for (int i = 0; i < parts.size(); ++i) {
    path += parts[i] + QLatin1Char('\\');
    auto *item = new QListWidgetItem(QString(i, QLatin1Char(' ')) + parts[i] + (i == 0 ? QStringLiteral("\\") : QString()), this);
    item->setData(Qt::UserRole, path);
    if (path == folder) setCurrentItem(item);
  }
  QStringList subs = QDir(platform::mapWindowsPath(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  SortHungarian(subs);
  for (const QString &s : subs) {
    auto *item = new QListWidgetItem(QString(parts.size(), QLatin1Char(' ')) + s, this);
    item->setData(Qt::UserRole, folder + s + QLatin1Char('\\'));
  }
  emit changed();
}

QStringList FilesOf(const QString &winFolder, const QString &mask) {
  const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(mask),
                                   QRegularExpression::CaseInsensitiveOption);
  QStringList out;
  const QDir dir(platform::mapWindowsPath(winFolder));
  for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted))
    if (pattern.match(name).hasMatch()) out << name;
  SortHungarian(out);
  return out;
}

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent) { setSelectionMode(QAbstractItemView::NoSelection); }

void FileListBox::setDirectory(const QString &winFolder) {
  directory_ = winFolder;
  refresh();
}

void FileListBox::setMask(const QString &mask) {
  mask_ = mask;
  refresh();
}

void FileListBox::refresh() {
  files_ = directory_.isEmpty() ? QStringList() : FilesOf(directory_, mask_);
  clear();
  addItems(files_);
}

}  // namespace returns

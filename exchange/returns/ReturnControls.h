#pragma once
// Controls of the merge dialog: the drive, folder and file lists that pick
// its folders. Folders are Windows path texts ("C:\QZ2025\01\"); only the
// listing maps them.
#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace returns {

// The drives: "c:" and every other letter whose folder exists (an
// environment variable VORIK_DRIVE_X, or /mnt/x), with the USB sticks mounted
// under /media/<user>/ on the next free letters, in mount order.
class DriveComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveComboBox(QWidget *parent = nullptr);
  // The drive of a path ("c:"), chosen without a signal.
  void setDriveOf(const QString &winPath);
 signals:
  void driveChosen(const QString &root);  // "x:\"
};

// The folder list: the folder's ancestors from the drive down, then its
// subfolders; activating an entry opens it.
class DirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirectoryListBox(QWidget *parent = nullptr);
  // The folder with a closing backslash.
  QString directory() const { return directory_; }
  void setDirectory(const QString &winFolder);
 signals:
  void changed();

 private:
  QString directory_;
};

// The files of a folder matching a mask ("*.imp"), compared without regard to
// case, by name; display only.
class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget *parent = nullptr);
  void setDirectory(const QString &winFolder);
  void setMask(const QString &mask);
  void refresh();
  QString directory() const { return directory_; }
  QStringList files() const { return files_; }

 private:
  QString directory_, mask_ = QStringLiteral("*.*");
  QStringList files_;
};

// The file names of a folder matching a mask, by name (case-insensitive).
QStringList FilesOf(const QString &winFolder, const QString &mask);

}  // namespace returns

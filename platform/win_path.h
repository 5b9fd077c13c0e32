#pragma once
// Windows paths such as "C:\QZ2025\03\" keep their Windows form in fields,
// files and messages; only the file-system call maps them to a Linux path.
#include <QList>
#include <QString>

namespace platform {

// Maps a Windows path to the file system:
// - a drive letter "X:" (either case, with or without a separator after it)
//   becomes the folder named by the environment variable VORIK_DRIVE_X;
//   without it, drive C: is the user's home folder and any other drive X: is
//   /mnt/x (where Windows drives are commonly mounted); a letter from D: on
//   that has neither is taken by the next removable medium (drives());
// - backslashes become slashes, and repeated separators collapse;
// - below the drive's folder, each component that names no existing entry
//   exactly is matched to one whose name differs only in case (the first in
//   name order if there are several); components that match nothing, and
//   everything after them, are kept as written; "." and ".." are kept;
// - a path without a drive letter is used as it is, with slashes: relative
//   stays relative, "\x" becomes "/x", "\\server\share" becomes
//   "//server/share".
// A trailing separator is kept ("C:\QZ2025\" -> "<home>/QZ2025/").
QString mapWindowsPath(const QString &winPath);

// A drive letter (upper case) and the folder it maps to.
struct Drive {
  QChar letter;
  QString root;
};

// The drives that have a folder, by letter: C:, every letter whose
// VORIK_DRIVE_X is set or whose /mnt/x exists, and the removable media (USB
// sticks the desktop mounts under /media/<user>/) on the free letters from D:
// on, in the order they were mounted.
QList<Drive> drives();

// For tests: the mount table read in place of /proc/self/mounts and the
// folder in place of /media/<user>; empty texts put back the system's.
void setRemovableMediaSource(const QString &mountTable, const QString &mediaRoot);

// A file-system path as the original's case-insensitive file system found
// it: each component that names no existing entry exactly is matched as in
// mapWindowsPath, a relative path from the current folder ("qzlista7l.frf"
// -> "QzLista7L.frf"). A path that matches nothing keeps its spelling.
QString matchCase(const QString &path);

}  // namespace platform

#pragma once
// Windows paths such as "C:\QZ2025\03\" keep their Windows form in fields,
// files and messages; only the file-system call maps them to a Linux path.
#include <QString>

namespace platform {

// Maps a Windows path to the file system:
// - a drive letter "X:" (either case, with or without a separator after it)
//   becomes the folder named by the environment variable VORIK_DRIVE_X;
//   without it, drive C: is the user's home folder and any other drive X: is
//   /mnt/x (where Windows drives are commonly mounted);
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

// A file-system path as the original's case-insensitive file system found
// it: each component that names no existing entry exactly is matched as in
// mapWindowsPath, a relative path from the current folder ("qzlista7l.frf"
// -> "QzLista7L.frf"). A path that matches nothing keeps its spelling.
QString matchCase(const QString &path);

}  // namespace platform

#pragma once
// A folder nothing may be created in, renamed in or deleted from while this
// object lives: read-only permissions, or for the superuser (whom permissions
// do not bind) the file system's immutable attribute.
#include <QFile>
#include <QProcess>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

namespace vorik::test {

class Unwritable {
 public:
  explicit Unwritable(const QString &folder) : folder_(folder) {
    if (::geteuid() == 0)
      ok_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder_}) == 0;
    else
      ok_ = ::chmod(QFile::encodeName(folder_).constData(), 0555) == 0;
  }
  ~Unwritable() {
    if (::geteuid() == 0)
      QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder_});
    else
      ::chmod(QFile::encodeName(folder_).constData(), 0755);
  }
  bool ok() const { return ok_; }

 private:
  QString folder_;
  bool ok_ = false;
};

}  // namespace vorik::test

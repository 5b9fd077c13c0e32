#pragma once
// What the schema upgrade dialogs share: the dialog frame with its one button
// "Módosítás végrehajtása", the test whether a producer column exists, the
// test that no other program uses the database (DDL needs it alone), and one
// DDL step.
#include <QDialog>
#include <QString>
#include <QStringList>

class QPushButton;

namespace Upgrade {

// True when the producer table has the column (its fields by name).
bool producerColumnExists(const QString &column);

// Other attachments of the database (other program instances, tools): while
// there are any, the DDL statements are not run.
int otherAttachments();
// Checks that the database is this program's alone; otherwise shows why the
// change cannot be made now and answers false.
bool databaseIsOurs();
QString inUseMessage();

// One DDL step: the statement and its commit (Done). On failure the first
// message and a rollback (Failed: the run goes on without its success
// message); a failure outside the statement shows the second message
// (Stopped: the run ends).
enum class Result { Done, Failed, Stopped };
Result ddlStep(const QString &statement, const QString &firstMessage, const QString &secondMessage);

// The frame of an upgrade dialog: caption, text lines, the button
// "Módosítás végrehajtása" (Button1) running run(), and "Mégsem" (Button2).
class UpgradeDialog : public QDialog {
  Q_OBJECT
 public:
  UpgradeDialog(QWidget *parent, const char *name, const QString &caption,
                const QStringList &lines);
  QPushButton *Button1, *Button2;

 protected:
  virtual void run() = 0;
};

}  // namespace Upgrade

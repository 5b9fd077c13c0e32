#pragma once
// The register's print pattern, shared by every dialog that prints through
// the data module's reports: the receiver row for the report header, the
// composite report's list, the printer's orientation, the layout file by
// bare name and the modal preview.
#include <QString>
#include <QStringList>

#include <functional>

namespace report {
class TfrReport;
}

// Opens the current receiver's row into ZQ60 for the report header and sets
// the report variable v_atvevoutca to its street part. False, after a
// message, when the receiver is no longer in the database; with error given
// the message goes there instead, for the caller to show.
bool OpenReceiverRow(QString *error = nullptr);

enum class PrintOrientation { Portrait = 0, Landscape = 1 };

// Loads fileName (a bare name: the working folder, found without regard to
// case) into report and shows it in the modal preview under title (the
// preview's caption and the print job's title, which the PDF printer
// proposes as the file name). The report stands alone in frCompositeReport1's list
// while it shows. A layout that cannot be read shows an error naming the
// file and nothing else happens (false); the report keeps its previous
// layout. afterLoad runs once the layout has loaded, just before the report
// is built and shown. With errors given, the messages of a layout that cannot
// be read (the engine's own first) go there in order instead of boxes, for
// the caller to show.
bool ShowLayout(report::TfrReport &report, const QString &fileName, const QString &title,
                PrintOrientation orientation,
                const std::function<void()> &afterLoad = {}, QStringList *errors = nullptr);

// The message of a layout that cannot be loaded.
QString LayoutErrorText(const QString &fileName, const QString &reason);

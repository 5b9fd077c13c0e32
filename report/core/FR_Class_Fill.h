#pragma once
// What the units of page filling share (FR_Class_Band, FR_Class_Cross and
// FR_Class_Split) and nothing else includes: the prepared pages being
// written, kinds of bands and objects, and the build's errors.
#include "report/core/FR_Class_Band.h"

#include <QString>
#include <QStringList>

#include <exception>

namespace report {

class TfrEMFPages;
class TfrReport;

namespace fill {

// The prepared pages of the build (those of the outermost report).
TfrEMFPages &emf();

// Bands that a page or column start or end prints itself: they are cut at
// the page bottom, never moved or continued on another page.
bool isPageBand(TfrBandType t);

// Cross header, data and footer bands.
bool isCrossBand(int t);

// A text that grows with its content.
bool isStretching(const TfrView *v);

// The script compiled, empty for none.
QStringList compiledScript(const QStringList &source);

// Whether the build of r (or of the report it runs in) was ended.
bool terminated(const TfrReport *r);

// Ends the build with text, unless an error came first.
void setBuildError(TfrReport *report, const QString &text);
// Ends the build with the lines that failed and the band they stand in.
void buildError(TfrReport *report, const QStringList &lines, TfrBandType band);
// ... or with the engine's own message (a data source that failed).
void buildError(TfrReport *report, const std::exception &e, TfrBandType band);
// ... or with an object's lines, followed by the object, its band and the
// reason (an unknown name, a malformed expression), so that the author finds it.
void objectError(TfrReport *report, const TfrBand *band, const TfrView *v, const std::exception &e);
// The lines an error of an object names: a text's lines, else its script.
QStringList sourceLines(const TfrView *v);

// Ends the build because the band, or the cross-tab it holds, does not fit
// on a page.
enum class Misfit { Band, CrossTab };
void notFitError(TfrReport *report, TfrBandType band, Misfit what);

// Makes the database dataset of the data band that governs b the one the
// evaluator reads fields from.
void setActiveDataSet(TfrBand *b);

}  // namespace fill
}  // namespace report

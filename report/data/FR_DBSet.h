#pragma once
// The data source over a database dataset, the dataset adapter routines and
// the lookup of datasets and fields by the names that layouts give them.

#include "report/data/FR_DSet.h"
#include "report/core/FR_Utils.h"
#include "report/expr/FR_Variant.h"
#include "db/dataset.h"
#include "db/datasource.h"

#include <QPointer>


namespace report {

// A dataset position: the 1-based row number, 0 for none.
using TfrBookmark = int;

class TfrDBDataSet : public TfrDataset {
  Q_OBJECT
 public:
  explicit TfrDBDataSet(QObject *owner = nullptr);
  ~TfrDBDataSet() override;

  db::DataSet *DataSet() const { return dataSet_; }
  void SetDataSet(db::DataSet *ds);  // clears DataSource
  // A data source whose current dataset is read; a non-null one clears DataSet.
  db::DataSource *DataSource() const { return dataSource_; }
  void SetDataSource(db::DataSource *source);

  bool OpenDataSource = true;   // open the dataset at Init
  bool CloseDataSource = false; // close it at Exit
  TNotifyEvent OnOpen;          // after opening at Init
  TNotifyEvent OnClose;         // at Exit, before closing

  // The dataset read; raises EDSError when there is none.
  db::DataSet *GetDataSet() const;

  void Init() override;
  void Exit() override;
  void First() override;
  void Next() override;
  bool Eof() override;

 private:
  QPointer<db::DataSet> dataSet_;
  QPointer<db::DataSource> dataSource_;
  bool hasBookmark_ = false;
  TfrBookmark bookmark_ = 0;
  bool endMark_ = false;
};

// Dataset adapter routines.
bool frIsBlobField(const db::Field *field);
void frGetFieldNames(db::DataSet *ds, QStringList &list);
TfrBookmark frGetBookmark(db::DataSet *ds);
void frGotoBookmark(db::DataSet *ds, TfrBookmark bookmark);
void frFreeBookmark(db::DataSet *ds, TfrBookmark bookmark);
bool frBookmarksEqual(db::DataSet *ds, TfrBookmark b1, TfrBookmark b2);

// The dataset of a component named in a layout: a db::DataSet itself, or the
// dataset of a data source. nullptr for anything else.
db::DataSet *frDataSetOf(QObject *component);

// The data band type whose source governs a band of the given type (report
// summary, master footer and group bands: master data; detail footer: detail
// data; subdetail footer: subdetail data; cross footer: cross data); -1 for
// bands that no data band governs.
int frGoverningDataBand(int bandType);
// The database dataset of a governing band's source; nullptr when the source
// is not a database source or there is none.
db::DataSet *frActiveDataSet(TfrDataset *source);

// Form.DataSet.Field, DataSet.Field (the dataset among the report owner's
// components), or Field alone (in the dataset passed in). A field name loses
// one pair of enclosing double quotes. Field is nullptr when not found.
void frGetDataSetAndField(const QString &name, db::DataSet *&dataSet, db::Field *&field);

// The value of a field of the current row in the engine's value type.
Variant frFieldValue(const db::Field &field);

}  // namespace report

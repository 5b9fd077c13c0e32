#pragma once
// TForm33 "Szerzödés nyomtatás": a cultivation contract for one producer,
// printed from the layout "QzSzerzodes.frf" of the working directory with the
// ten free-text fields as report variables.
#include "app/common/LimitedEdit.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TForm33 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm33(QWidget *parent = nullptr);

  // The fields and the report variable each one sets, in order.
  static const char *const kVariables[10];

  // "Őstermelő": the producer list as a picker; the current row of ZQ30 when
  // it closes is the chosen producer.
  void Button1Click();
  // Takes ZQ30's current row as the chosen producer.
  void ProducerChosen();
  // "Nyomtatás": nothing without a producer; otherwise the variables, the
  // layout and its modal preview.
  void Button2Click();

  LimitedEdit *Edit[10];  // Edit1 .. Edit10
  LimitedEdit *Edit11;    // hidden, read-only: the chosen producer's code
  QLabel *Label11, *Label12, *Label13, *Label14;  // name, postcode, town, street
  QPushButton *Button1, *Button2, *Button3;  // "Őstermelő", "Nyomtatás", "Mégsem"
};

extern TForm33 *Form33;

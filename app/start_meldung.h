#pragma once
// The progress message shown while the catalogue loads: a small framed popup without caption,
// "Ostrelin" over "wird geladen..." and a progress bar.

#include <QDialog>

class QProgressBar;

namespace ostrelin {

class StartMeldung : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kProgressBarId = 1824;

  explicit StartMeldung(QWidget* parent = nullptr);

  // The bar runs from 0 to `maximum` in steps of one.
  void SetRange(int maximum);
  void Step();

  int maximum() const;
  int value() const;

 private:
  QProgressBar* bar_;
};

}  // namespace ostrelin

#pragma once
// The window "Lernstand": how many structures of the pictogram's region and of the whole atlas sit
// in each box of the learning record and how many are due today, and the ten structures most often
// confused with another, each with a button that opens a page showing it.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "structures/core/learning_record.h"

class QGridLayout;
class QPushButton;

namespace ostrelin {

class LearningStateWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kConfusedShown = 10;

  // `regionNames` are the structures of the pictogram's region; `open` shows a structure's page.
  LearningStateWindow(QWidget* parent, const LearningRecord& record, Day today,
                      const std::vector<std::string>& regionNames,
                      std::function<void(const std::string&)> open);

  // The count in `row` (0..4 the boxes, 5 due today) for the region (column 0) or the atlas (1).
  QString Count(int row, int column) const;
  const std::vector<QPushButton*>& ShowButtons() const { return showButtons_; }

 private:
  QGridLayout* counts_ = nullptr;
  std::vector<QPushButton*> showButtons_;
};

}  // namespace ostrelin

#pragma once
// The window "Lernstand": how many structures of the pictogram's region and of the whole atlas sit
// in each box of the learning record and how many are due today, and the ten structures most often
// confused with another, each with a button that shows it: outlined at once when it is on the
// image shown, otherwise on a page found for it. The window opens beside the image's centre and
// closes with its button "Schlieﬂen" or Escape.

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "quiz/core/learning_record.h"
#include "structures/ui/image_window.h"

class QGridLayout;
class QLabel;
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

  // The image window "Zeigen" outlines a structure in when the structure is on its image, and
  // the window opens beside its centre.
  void ShowOnImage(ImageWindow* image) { image_ = image; }

  // The count in `row` (0..4 the boxes, 5 due today) for the region (column 0) or the atlas (1).
  QString Count(int row, int column) const;
  const std::vector<QPushButton*>& ShowButtons() const { return showButtons_; }
  QPushButton* CloseButton() const { return close_; }
  // The header above the counts of the region (column 0) or the atlas (1).
  QLabel* Header(int column) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Show(const std::string& name);

  std::function<void(const std::string&)> open_;
  QPointer<ImageWindow> image_;
  QPushButton* close_ = nullptr;
  QGridLayout* counts_ = nullptr;
  std::vector<QPushButton*> showButtons_;
};

}  // namespace ostrelin

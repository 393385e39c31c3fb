#pragma once
// The start dialog shown once at start-up: a large information picture, the credits and the logo.
// A click on the picture shows the text of "Info.TXT" instead, "&Schnellübersicht" shows the
// quick-overview picture (whose click shows the text again), "&Programmstart" or the logo closes.

#include <QDialog>
#include <QPointer>
#include <string>

#include "platform/ui/picture_button.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ostrelin {

// The text of "Info.TXT" in `dataPath` + "Texte\Other\" as the dialog shows it: every line
// followed by CR LF, no markup interpreted. A file that cannot be read gives "Datei nicht
// gefunden: ", an empty line and the full path in square brackets followed by " !?!".
std::string ReadInfoText(const std::string& dataPath);

class StartInfo : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPictureId = 1837;
  static constexpr int kLogoId = 1838;
  static constexpr int kTextFieldId = 1840;
  static constexpr int kFrameId = 1843;
  // The pictures' rectangle in the dialog's client area, in pixels.
  static constexpr int kPictureLeft = 15, kPictureTop = 15, kPictureRight = 350,
                       kPictureBottom = 350;
  static constexpr int kLogoWidth = 146, kLogoHeight = 46;

  StartInfo(QWidget* parent, std::string dataPath);
  ~StartInfo() override;

  // The picture shown now (caption "Info" or "Hilfe"), or nullptr while the text is shown.
  PictureButton* Picture() const { return picture_; }
  PictureButton* Logo() const { return logo_; }
  QPushButton* OverviewButton() const { return overviewButton_; }
  QPushButton* StartButton() const { return startButton_; }
  QPlainTextEdit* TextField() const { return textField_; }
  QLabel* Credits() const { return credits_; }
  QGroupBox* Frame() const { return frame_; }
  const std::string& InfoText() const { return infoText_; }

  // The dialog's actions: a picture click, "&Schnellübersicht", closing.
  void ShowInfoText();
  void ShowQuickOverview();
  void Close();

  void accept() override;  // the default button: the quick overview, not closing
  void reject() override;  // "&Programmstart", Escape, the close box

 private:
  void DropPicture();
  void MakePicture(const char* caption, const char* bitmap);

  std::string dataPath_;
  std::string infoText_;
  QPointer<PictureButton> picture_;
  QPointer<PictureButton> logo_;
  QPushButton* overviewButton_;
  QPushButton* startButton_;
  QPlainTextEdit* textField_;
  QLabel* credits_;
  QGroupBox* frame_;
};

// Start-up: runs the start dialog modally over `parent` and returns when it is closed.
void ShowStartInfo(QWidget* parent, const std::string& dataPath);

}  // namespace ostrelin

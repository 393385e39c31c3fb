#include "app/start_info.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <utility>

#include "resources/core/ui_texts.h"
#include "platform/core/paths.h"
#include "platform/core/text_file.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

constexpr const char* kInfoFile = "Info.TXT";

// The hourglass for as long as the dialog changes its view.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// CR LF as the data holds it becomes the line break the widget expects.
QString ForDisplay(const std::string& text) {
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

}  // namespace

std::string ReadInfoText(const std::string& dataPath) {
  const std::string path = dataPath + LoadText(text::kDirTextOther) + kInfoFile;
  std::optional<std::string> bytes = ReadFileBytes(ResolvePath(path));
  if (!bytes) {
    return LoadText(text::kFileNotFound) + ": \r\n\r\n[" + path + "] !?!\r\n";
  }
  std::string text;
  TextReader reader(std::move(*bytes));
  std::string line;
  while (reader.ReadLine(line)) text += line + "\r\n";
  return text;
}

StartInfo::StartInfo(QWidget* parent, std::string dataPath)
    : QDialog(parent), dataPath_(std::move(dataPath)) {
  setWindowTitle(ToQString(LoadText(text::kProgramName)));
  setFont(DialogFont(8));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(QSize(412, 242)));

  startButton_ = new QPushButton(ToQString(app_text::kProgramStart), this);
  startButton_->setObjectName(QStringLiteral("2"));
  startButton_->setGeometry(du.ToPixels(QRect(335, 220, 59, 14)));
  overviewButton_ = new QPushButton(ToQString(app_text::kQuickOverview), this);
  overviewButton_->setObjectName(QStringLiteral("1"));
  overviewButton_->setGeometry(du.ToPixels(QRect(260, 220, 65, 14)));
  overviewButton_->setDefault(true);
  connect(overviewButton_, &QPushButton::clicked, this, &StartInfo::ShowQuickOverview);
  connect(startButton_, &QPushButton::clicked, this, &StartInfo::Close);

  frame_ = new QGroupBox(this);
  frame_->setObjectName(QString::number(kFrameId));
  frame_->setGeometry(du.ToPixels(QRect(265, 8, 130, 161)));
  credits_ = new QLabel(ToQString(app_text::kStartCredits), this);
  credits_->setGeometry(du.ToPixels(QRect(268, 15, 124, 150)));
  credits_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  credits_->setWordWrap(true);

  textField_ = new QPlainTextEdit(this);
  textField_->setObjectName(QString::number(kTextFieldId));
  textField_->setReadOnly(true);
  textField_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textField_->setGeometry(du.ToPixels(QRect(10, 10, 240, 220)));
  textField_->hide();

  MakePicture("Info", "INFOBMP");

  // The logo sits centred under the frame, halfway between it and the buttons.
  const QRect frame = frame_->geometry();
  const QRect ok = overviewButton_->geometry();
  const int left = frame.left() + (frame.width() - kLogoWidth) / 2;
  const int top =
      frame.top() + frame.height() + (ok.top() - (frame.top() + frame.height()) - kLogoHeight) / 2;
  logo_ = new PictureButton(QStringLiteral("Logo"), QRect(left, top, kLogoWidth, kLogoHeight), this,
                            kLogoId);
  logo_->setFocusPolicy(Qt::StrongFocus);
  logo_->LoadBitmaps("KV_LOGO", "KV_LOGOD");
  connect(logo_, &PictureButton::command, this, &StartInfo::Close);
}

StartInfo::~StartInfo() = default;

void StartInfo::MakePicture(const char* caption, const char* bitmap) {
  const QRect rect(QPoint(kPictureLeft, kPictureTop),
                   QSize(kPictureRight - kPictureLeft, kPictureBottom - kPictureTop));
  picture_ = new PictureButton(QString::fromLatin1(caption), rect, this, kPictureId);
  picture_->setFocusPolicy(Qt::StrongFocus);
  picture_->LoadBitmaps(bitmap);
  // The click removes the button; it is deleted only once the click has been handled.
  connect(picture_, &PictureButton::command, this, &StartInfo::ShowInfoText);
  picture_->show();
}

void StartInfo::DropPicture() {
  if (!picture_) return;
  picture_->hide();
  picture_->deleteLater();
  picture_ = nullptr;
}

void StartInfo::ShowInfoText() {
  DropPicture();
  const BusyCursor busy;
  infoText_ = ReadInfoText(dataPath_);
  overviewButton_->setEnabled(true);
  textField_->show();
  textField_->setPlainText(ForDisplay(infoText_));
}

void StartInfo::ShowQuickOverview() {
  const BusyCursor busy;
  overviewButton_->setEnabled(false);
  textField_->hide();
  DropPicture();
  MakePicture("Hilfe", "HELPBMP");
}

void StartInfo::Close() {
  DropPicture();
  if (logo_) {
    logo_->hide();
    logo_->deleteLater();
    logo_ = nullptr;
  }
  QDialog::reject();
}

void StartInfo::accept() { ShowQuickOverview(); }
void StartInfo::reject() { Close(); }

void ShowStartInfo(QWidget* parent, const std::string& dataPath) {
  StartInfo dialog(parent, dataPath);
  dialog.exec();
}

}  // namespace ostrelin

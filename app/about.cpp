#include "app/about.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "resources/core/ui_texts.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

// The program icon, resource 102; the application's icon stands in while it is not built in.
QPixmap ProgramIcon(int size) {
  QIcon icon(QStringLiteral(":/icons/102.png"));
  if (icon.isNull()) icon = QApplication::windowIcon();
  return icon.isNull() ? QPixmap() : icon.pixmap(size, size);
}

QLabel* CentredText(const char* text, const QRect& rect, const DialogUnits& du, QWidget* parent) {
  auto* label = new QLabel(ToQString(text), parent);
  label->setGeometry(du.ToPixels(rect));
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

QPushButton* DefaultButton(const char* text, const QRect& rect, const DialogUnits& du,
                           QDialog* dialog) {
  auto* button = new QPushButton(ToQString(text), dialog);
  button->setObjectName(QStringLiteral("1"));
  button->setGeometry(du.ToPixels(rect));
  button->setDefault(true);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
  return button;
}

}  // namespace

UeberKarvolen::UeberKarvolen(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQString(app_text::kAboutTitle));
  setFont(DialogFont(8));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(QSize(188, 136)));

  credits_ = CentredText(app_text::kAboutCredits, QRect(0, 0, 187, 100), du, this);
  icon_ = new QLabel(this);
  const int side = std::max(16, style()->pixelMetric(QStyle::PM_LargeIconSize));
  icon_->setPixmap(ProgramIcon(side));
  icon_->setGeometry(QRect(du.ToPixels(QRect(18, 54, 0, 0)).topLeft(), QSize(side, side)));
  names_ = DefaultButton(app_text::kNamesButton, QRect(72, 111, 43, 15), du, this);
}

WhoIsWho::WhoIsWho(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQString(app_text::kNamesTitle));
  setFont(DialogFont(8));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(QSize(264, 201)));

  blocks_[0] = CentredText(app_text::kProgramHeading, QRect(0, 9, 262, 25), du, this);
  blocks_[1] = CentredText(app_text::kProgramNames, QRect(0, 35, 264, 48), du, this);
  blocks_[2] = CentredText(app_text::kContentHeading, QRect(0, 90, 264, 25), du, this);
  blocks_[3] = CentredText(app_text::kContentNames, QRect(0, 119, 264, 50), du, this);
  // The headings are drawn grey, as disabled texts.
  blocks_[0]->setEnabled(false);
  blocks_[2]->setEnabled(false);
  ok_ = DefaultButton(app_text::kOk, QRect(110, 180, 43, 15), du, this);
}

void ShowAbout(QWidget* parent) {
  {
    UeberKarvolen about(parent);
    about.exec();
  }
  WhoIsWho names(parent);
  names.exec();
}

}  // namespace ostrelin

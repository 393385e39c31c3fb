#include "app/start_meldung.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "platform/ui/dialog_units.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {

StartMeldung::StartMeldung(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setFont(DialogFont(24));
  const DialogUnits du(font());

  // The dialog frame, drawn around the whole popup since it has no caption.
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
  frame->setGeometry(QRect(QPoint(0, 0), du.ToPixels(QSize(104, 49))));

  (new QGroupBox(this))->setGeometry(du.ToPixels(QRect(2, 0, 99, 46)));
  (new QGroupBox(ToQString(LoadText(text::kProgramName)), this))
      ->setGeometry(du.ToPixels(QRect(9, 7, 88, 35)));
  auto* label = new QLabel(ToQString(LoadText(text::kLoading)), this);
  label->setGeometry(du.ToPixels(QRect(9, 15, 48, 8)));
  label->setIndent(du.ToPixelsX(4));

  bar_ = new QProgressBar(this);
  bar_->setObjectName(QString::number(kProgressBarId));
  bar_->setTextVisible(false);
  bar_->setGeometry(du.ToPixels(QRect(12, 29, 80, 8)));
  bar_->setRange(0, 100);
  bar_->setValue(0);

  setFixedSize(du.ToPixels(QSize(104, 49)));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void StartMeldung::SetRange(int maximum) {
  bar_->setRange(0, maximum);
  bar_->setValue(0);
}

void StartMeldung::Step() {
  if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
}

int StartMeldung::maximum() const { return bar_->maximum(); }
int StartMeldung::value() const { return bar_->value(); }

}  // namespace ostrelin

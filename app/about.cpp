#include "app/about.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "platform/ui/dialog_units.h"

namespace ostrelin {
namespace {

// The program icon, resource 102; the application's icon stands in while it is not built in.
QPixmap ProgramIcon(int size) {
  QIcon icon(QStringLiteral(":/icons/102.png"));
  if (icon.isNull()) icon = QApplication::windowIcon();
  return icon.isNull() ? QPixmap() : icon.pixmap(size, size);
}

QLabel* CentredText(const char* utf8, const QRect& rect, const DialogUnits& du, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(utf8), parent);
  label->setGeometry(du.ToPixels(rect));
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

QPushButton* DefaultButton(const char* utf8, const QRect& rect, const DialogUnits& du,
                           QDialog* dialog) {
  auto* button = new QPushButton(QString::fromUtf8(utf8), dialog);
  button->setObjectName(QStringLiteral("1"));
  button->setGeometry(du.ToPixels(rect));
  button->setDefault(true);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
  return button;
}

}  // namespace

UeberKarvolen::UeberKarvolen(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Über Karvolen..."));
  setFont(DialogFont(8));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(QSize(188, 136)));

  credits_ = CentredText(
      "\nOstrelin\n"
      "karvolen \xE2\x80\x93 interaktiver Atlas der Schnittanatomie f\xC3\xBCr die Lehre\n\n\n\n\n"
      "Ein Werk des Ostrelin-Teams",
      QRect(0, 0, 187, 100), du, this);
  icon_ = new QLabel(this);
  const int side = std::max(16, style()->pixelMetric(QStyle::PM_LargeIconSize));
  icon_->setPixmap(ProgramIcon(side));
  icon_->setGeometry(QRect(du.ToPixels(QRect(18, 54, 0, 0)).topLeft(), QSize(side, side)));
  names_ = DefaultButton("&Namen", QRect(72, 111, 43, 15), du, this);
}

WhoIsWho::WhoIsWho(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Die Namen aller Beteiligten..."));
  setFont(DialogFont(8));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(QSize(264, 201)));

  blocks_[0] = CentredText("Programm und Bildverarbeitung", QRect(0, 9, 262, 25), du, this);
  blocks_[1] = CentredText(
      "Programmierung: Entwicklergruppe des Ostrelin-Teams\n"
      "Bildgebung und Aufbereitung der Schnittbilder: Arbeitsgruppe Bildgebung\n"
      "Umrisse der Strukturen: Arbeitsgruppe Datenaufbereitung",
      QRect(0, 35, 264, 48), du, this);
  blocks_[2] = CentredText("Inhalte und Didaktik", QRect(0, 90, 264, 25), du, this);
  blocks_[3] = CentredText(
      "Anatomische Inhalte und Texte: Arbeitsgruppe Anatomie\n"
      "Didaktisches Konzept und Testat: Arbeitsgruppe Lehre\n"
      "Herausgeber: das Ostrelin-Team",
      QRect(0, 119, 264, 50), du, this);
  // The headings are drawn grey, as disabled texts.
  blocks_[0]->setEnabled(false);
  blocks_[2]->setEnabled(false);
  ok_ = DefaultButton("&OK", QRect(110, 180, 43, 15), du, this);
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

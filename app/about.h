#pragma once
// The about box "Über Karvolen..." and the credits dialog "Die Namen aller Beteiligten...", shown
// one after the other by the help menu.

#include <QDialog>

class QLabel;
class QPushButton;

namespace ostrelin {

// What the program is and who made it, with the program's icon; "&Namen" leads on to the names.
class UeberKarvolen : public QDialog {
  Q_OBJECT

 public:
  explicit UeberKarvolen(QWidget* parent = nullptr);

  QLabel* Credits() const { return credits_; }
  QLabel* Icon() const { return icon_; }
  QPushButton* NamesButton() const { return names_; }

 private:
  QLabel* credits_;
  QLabel* icon_;
  QPushButton* names_;
};

// Everyone who took part: two grey group headings, each over its block of names.
class WhoIsWho : public QDialog {
  Q_OBJECT

 public:
  explicit WhoIsWho(QWidget* parent = nullptr);

  // The four texts from top to bottom; the first and the third are headings.
  QLabel* Block(int i) const { return blocks_[i]; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QLabel* blocks_[4];
  QPushButton* ok_;
};

// Runs UeberKarvolen modally and, however it was closed, WhoIsWho after it.
void ShowAbout(QWidget* parent);

}  // namespace ostrelin

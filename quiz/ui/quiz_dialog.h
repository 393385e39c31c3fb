#pragma once
// The quiz's small modeless control dialog TESTAT_NAME: a read-only field with the question's
// name and the buttons "Zeige Antwort", "Nächste Frage" and "Test beenden", and below them the
// score line. While a structure is to be named, an editable field takes the name field's place:
// Enter there hands the typed name to the image window. It sends its commands to the image window
// through `send`. It is as wide as its caption and question need, from its design width up.

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrelin {

class QuizDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kNameField = 1836;

  QuizDialog(QWidget* parent, std::function<void(int)> send);

  // A question naming a structure to find: the name is shown.
  void AskForStructure(const std::string& name);
  // A question showing a structure: the name is kept, the name field hidden and empty, and the
  // answer field shown empty in its place.
  void AskForName(const std::string& name);
  void SetCaption(const std::string& caption);
  // "Richtig: r   Falsch: f   Offen: o".
  void SetScore(const std::string& text);

  // "Zeige Antwort", "Nächste Frage", "Test beenden".
  QPushButton* ShowAnswerButton() const { return showAnswer_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* EndButton() const { return end_; }
  QLineEdit* NameField() const { return field_; }
  QLineEdit* AnswerField() const { return answer_; }
  QLabel* ScoreLine() const { return score_; }

 protected:
  void reject() override;  // the close box and Escape end the quiz like "Test beenden"
  bool eventFilter(QObject* watched, QEvent* event) override;  // Enter in the answer field

 private:
  void ShowAnswer();
  void End();
  // Widens the dialog (never narrows it) until its caption fits the title bar and the question
  // its field, up to the screen's width; the buttons spread over the width.
  void FitWidth();
  QFont TitleFont() const;

  std::function<void(int)> send_;
  QLineEdit* field_ = nullptr;
  QLineEdit* answer_ = nullptr;
  QLabel* score_ = nullptr;
  QPushButton* showAnswer_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* end_ = nullptr;
  std::string name_;
  bool nameToStructure_ = true;
  bool ending_ = false;
  int designWidth_ = 0;
  int margin_ = 0;
};

}  // namespace ostrelin

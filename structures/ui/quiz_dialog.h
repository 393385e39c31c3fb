#pragma once
// The quiz's small modeless control dialog TESTAT_NAME: a read-only field with the question's
// name and the buttons "Zeige Antwort", "Nächste Frage" and "Test beenden". It sends its commands
// to the image window through `send`.

#include <QDialog>
#include <functional>
#include <string>

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
  // A question showing a structure: the name is kept, the field hidden and empty.
  void AskForName(const std::string& name);
  void SetCaption(const std::string& caption);

  // "Zeige Antwort", "Nächste Frage", "Test beenden".
  QPushButton* ShowAnswerButton() const { return showAnswer_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* EndButton() const { return end_; }
  QLineEdit* NameField() const { return field_; }

 protected:
  void reject() override;  // the close box and Escape end the quiz like "Test beenden"

 private:
  void ShowAnswer();
  void End();

  std::function<void(int)> send_;
  QLineEdit* field_ = nullptr;
  QPushButton* showAnswer_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* end_ = nullptr;
  std::string name_;
  bool nameToStructure_ = true;
  bool ending_ = false;
};

}  // namespace ostrelin

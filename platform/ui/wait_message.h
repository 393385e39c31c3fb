#pragma once
// The modeless wait message "Bitte warten...": a small framed window without caption that a busy
// operation puts up and takes down again. There is at most one. Its place is worked out at its
// first showing of the run and kept from then on, whatever parent later showings name.

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace ostrelin {

class WaitMessageService {
 public:
  // The one wait message of the program.
  static WaitMessageService& Instance();

  WaitMessageService() = default;
  ~WaitMessageService();
  WaitMessageService(const WaitMessageService&) = delete;
  WaitMessageService& operator=(const WaitMessageService&) = delete;

  // on: shows the message, painted before returning (the caller is busy and does not return to
  // the event loop until it switches the message off); nothing happens while it is shown.
  // off: destroys it; nothing happens while there is none.
  void Set(bool on, QWidget* parent);

  // The message window while it is shown, else nullptr.
  QWidget* Window() const { return window_; }
  // Screen rectangle of every showing; empty until the first one.
  QRect RememberedRect() const { return remembered_; }

  // Destroys the message and forgets its place, as at the start of a run.
  void Reset();

 private:
  void Destroy();

  QPointer<QWidget> window_;
  QRect remembered_;
};

// WaitMessageService::Instance().Set(on, parent).
void WaitMessage(bool on, QWidget* parent);

}  // namespace ostrelin

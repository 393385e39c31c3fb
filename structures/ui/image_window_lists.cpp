// The small list windows of the image window: the structures overlapping under a click, the
// markable structures, and the places a structure was found on.
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <functional>

#include "platform/ui/list_selection.h"
#include "platform/ui/make_font.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/wait_message.h"
#include "shell/core/commands.h"
#include "resources/core/ui_texts.h"
#include "structures/ui/image_window.h"

namespace ostrelin {
namespace t = image_window_text;
namespace {

void CloseFrame(QPointer<ChildFrame>& frame) {
  if (!frame) return;
  ChildFrame* closing = frame;
  frame = nullptr;
  closing->hide();
  closing->deleteLater();  // it may be inside one of its own signals right now
}

// A list box filled with `texts` in the given order.
// Long names scroll sideways rather than being cut.
QListWidget* MakeListBox(const std::vector<std::string>& texts, const QFont& font,
                         const QString& name) {
  auto* list = new QListWidget;
  list->setAccessibleName(name);
  list->setAccessibleDescription(ToQString(t::kListDescription));
  list->setFont(font);
  ShowSelectionAlways(*list);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (const std::string& text : texts) list->addItem(ToQString(text));
  return list;
}

// Enter and Escape in a list of places: Enter opens the current place, Escape closes the list.
// Neither goes on to the image window, whose Enter would look the places up again and whose
// Escape would clear the highlight.
class PlaceListKeys : public QObject {
 public:
  PlaceListKeys(QObject* parent, std::function<void()> enter, std::function<void()> escape)
      : QObject(parent), enter_(std::move(enter)), escape_(std::move(escape)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: enter_(); return true;
      case Qt::Key_Escape: escape_(); return true;
      default: return false;
    }
  }

 private:
  std::function<void()> enter_;
  std::function<void()> escape_;
};

}  // namespace

QFont ImageWindow::ListFont(int height) {
  QFont font;
  MakeFont(font, height, false);
  return font;
}

Rect& ImageWindow::RememberedMarkableRect() {
  static Rect remembered;
  return remembered;
}

QListWidget* ImageWindow::ListBoxOf(ChildFrame* frame) {
  return frame ? qobject_cast<QListWidget*>(frame->Content()) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The list windows

void ImageWindow::CloseLists() {
  CloseMarkableList();
  CloseFoundOnList();
}

void ImageWindow::OpenOverlapList(const HitList& hits, const QPoint& at) {
  CloseOverlapList();
  overlapNames_.clear();
  for (int index : hits) overlapNames_.emplace_back(objects_->At(index).Name());
  auto* frame = new ChildFrame(this, ToQString(t::kOverlapCaption), false);
  frame->setObjectName(QString::number(image_cmd::kOverlapList));
  QListWidget* list = MakeListBox(overlapNames_, ListFont(15), frame->Caption());
  frame->SetContent(list);
  const ClientSize client = Client();
  const Rect r = OverlapListRect(at.x(), at.y(), client.width, client.height);
  frame->setGeometry(ToQRect(r));
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || size_t(row) >= overlapNames_.size()) return;
    OverlapChosen(overlapNames_[size_t(row)]);
  });
  frame->show();
  frame->raise();
  overlapList_ = frame;
}

void ImageWindow::OverlapChosen(const std::string& name) {
  // The list takes its selected name and hands it over like any request; after a choice it also
  // sends what the overview's close box sends, which puts the overview away and unchecks its box.
  if (buffer_.Take(name)) Command(image_cmd::kOverlapChoice);
  Command(image_cmd::kCloseOverview);
  CloseOverlapList();
}

void ImageWindow::CloseOverlapList() { CloseFrame(overlapList_); }

void ImageWindow::OpenMarkableList() {
  if (!image_ || !objects_) return;
  std::vector<std::string> names = MarkableNames(*objects_);
  if (names.empty()) return;  // an empty list is closed again at once
  SortForListBox(names);
  CloseMarkableList();
  Rect& remembered = RememberedMarkableRect();
  if (remembered.Empty()) remembered = kFirstMarkableListRect;
  const ClientSize client = Client();
  const Rect r = KeepMarkableListInside(remembered, client.width, client.height);

  auto* frame = new ChildFrame(this, ToQString(t::kMarkableCaption), true);
  frame->setObjectName(QString::number(image_cmd::kMarkableList));
  QListWidget* list = MakeListBox(names, ListFont(14), frame->Caption());
  frame->SetContent(list);
  frame->setGeometry(ToQRect(r));
  frame->SetCloseHandler([this] { CloseMarkableList(); });
  frame->SetGeometryHandler([this, frame] {
    const QRect g = frame->geometry();
    RememberedMarkableRect() = FromQRect(g);
  });
  connect(list, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) Highlight(FromQString(text), kDrawOutline, true, false);
  });
  markableList_ = frame;
  SelectInMarkableList(highlight_.LastName());
  frame->show();
  frame->raise();
}

void ImageWindow::SelectInMarkableList(const std::string& name) {
  QListWidget* list = ListBoxOf(markableList_);
  if (!list) return;
  const QSignalBlocker quiet(list);
  const QList<QListWidgetItem*> found = list->findItems(ToQString(name), Qt::MatchExactly);
  if (found.isEmpty()) {
    list->setCurrentRow(-1);
    list->clearSelection();
  } else {
    list->setCurrentItem(found.front());
    list->scrollToItem(found.front());
  }
}

void ImageWindow::CloseMarkableList() { CloseFrame(markableList_); }

void ImageWindow::ShowFoundOnList(const std::vector<std::string>& taggedPages) {
  CloseFoundOnList();
  std::vector<std::string> texts = taggedPages;
  SortForListBox(texts);
  auto* frame =
      new ChildFrame(this, ToQString(buffer_.structureToSelect + t::kFoundOnSuffix), false);
  frame->setObjectName(QString::number(image_cmd::kFoundOnList));
  QListWidget* list = MakeListBox(texts, ListFont(14), frame->Caption());
  frame->SetContent(list);
  const Rect r = kFoundOnListRect;
  frame->setGeometry(ToQRect(r));
  frame->SetCloseHandler([this] { CloseFoundOnList(); });
  // A place opens by a click on it or by Enter; moving through the list with the arrow keys, or
  // arriving in it by Tab, only makes a place current.
  const auto open = [this](const QString& text) {
    if (text.isEmpty() || !foundOnList_) return;
    const std::string chosen = FromQString(text);
    Highlight(chosen, kDrawOutline, true, false);
    CloseFoundOnList();
    requests_.GoToPlace(chosen);
  };
  connect(list, &QListWidget::itemClicked, this,
          [open](QListWidgetItem* item) { open(item->text()); });
  list->installEventFilter(new PlaceListKeys(
      list,
      [list, open] {
        if (list->currentItem()) open(list->currentItem()->text());
      },
      [this] { CloseFoundOnList(); }));
  frame->show();
  frame->raise();
  foundOnList_ = frame;
  // The keyboard goes to the list at once: Up and Down move in it, Enter opens, Escape closes.
  if (list->count() > 0) list->setCurrentRow(0);
  list->setFocus(Qt::OtherFocusReason);
}

void ImageWindow::CloseFoundOnList() {
  // The keyboard comes back to the image the list was opened over.
  if (foundOnList_ && foundOnList_->isAncestorOf(QApplication::focusWidget())) {
    setFocus(Qt::OtherFocusReason);
  }
  CloseFrame(foundOnList_);
}

void ImageWindow::ShowAllMarkable() {
  WaitMessage(true, this);
  if (image_ && objects_) {
    highlight_.ShowAll();
    update();
    image_->SetHighlightStatus(t::kSeveralHighlighted);
  }
  WaitMessage(false, this);
}

}  // namespace ostrelin

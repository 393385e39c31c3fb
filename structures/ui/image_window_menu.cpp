// The image window's commands: its check boxes, the context menu, the lists and the overview,
// and whatever a mode's own dialogs send.
#include <QCheckBox>
#include <QMenu>

#include "platform/ui/qt_text.h"
#include "shell/core/commands.h"
#include "resources/core/ui_texts.h"
#include "structures/ui/image_window.h"

namespace ostrelin {
namespace t = image_window_text;

// ---------------------------------------------------------------------------------------------
// Commands

void ImageWindow::Command(int id) {
  switch (id) {
    case image_cmd::kToggleOverview: ToggleOverview(); return;
    case image_cmd::kToggleFullView:
      Command(fullViewBox_->checkState() == Qt::Checked ? image_cmd::kNormalView
                                                        : image_cmd::kFullView);
      return;
    case image_cmd::kCloseOverview: CloseOverview(); return;
    case image_cmd::kOverlapChoice: {
      const std::string name = buffer_.name;
      ClearHighlight(false);  // the buffer is still busy: nothing goes to the main window yet
      buffer_.Release();
      // The main window follows a choice in the overlap list like any other click.
      Highlight(name, kDrawOutline, false, false);
      return;
    }
    case image_cmd::kGoToHighlighted:
      if (image_) requests_.GoToPlace(image_->HighlightStatus());
      return;
    case image_cmd::kFullView: EnterFullView(); return;
    case image_cmd::kNormalView:
      if (!normalView_) LeaveFullView();
      if (parentWidget()) parentWidget()->update();
      return;
    case image_cmd::kHelp: requests_.Send(Command::kContextHelp); return;
    case image_cmd::kListMarkable: OpenMarkableList(); return;
    case image_cmd::kShowMarkable: ShowAllMarkable(); return;
    case image_cmd::kSavePicture: SavePicture(); return;
    case image_cmd::kCopyPicture: CopyPicture(); return;
    default:
      if (mode_ && mode_->Command(id)) return;
      if (id >= image_cmd::kFirstRelated && id <= image_cmd::kLastRelated) {
        const std::string name = RelatedNameOf(related_, id);
        if (!name.empty()) requests_.GoToPlace(name);
      }
      return;
  }
}

void ImageWindow::OpenContextMenu(const QPoint& at) {
  ContextMenuState state;
  state.paintedCount = highlight_.PaintedCount();
  state.highlightStatus = image_ ? image_->HighlightStatus() : std::string(t::kNoHighlight);
  if (highlight_.PaintedCount() == 1) crossReferences_.Lookup(highlight_.LastPainted(), related_);
  state.relatedNames = related_;
  state.normalView = normalView_;
  state.markableStructures = image_ && objects_ && HasMarkableStructures(*objects_);
  state.imageLoaded = image_ != nullptr;
  const std::vector<ContextMenuEntry> entries = BuildContextMenu(state);
  const QPoint global = mapToGlobal(at);
  const int chosen =
      chooseFromMenu_ ? chooseFromMenu_(entries, global) : ChooseWithPopup(entries, global);
  if (chosen != 0) Command(chosen);
}

int ImageWindow::ChooseWithPopup(const std::vector<ContextMenuEntry>& entries, const QPoint& at) {
  QMenu menu(this);
  for (const ContextMenuEntry& entry : entries) {
    if (entry.command == 0) {
      menu.addSeparator();
    } else {
      // '&' in a structure name is a letter here, not a mnemonic.
      QAction* action = menu.addAction(ToQString(entry.text).replace('&', QStringLiteral("&&")));
      action->setData(entry.command);
    }
  }
  const QAction* chosen = menu.exec(at);
  return chosen ? chosen->data().toInt() : 0;
}

// ---------------------------------------------------------------------------------------------
// Overview

void ImageWindow::ToggleOverview() {
  if (!image_) return;
  if (overview_) {
    CloseOverview();
    return;
  }
  OverviewWindow* overview = nullptr;
  try {
    overview = new OverviewWindow(
        this, *image_, [this] { update(); }, [this] { Command(image_cmd::kCloseOverview); });
  } catch (const std::bad_alloc&) {
    messages_.Show(t::kNoOverviewMemory, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  overview->show();
  overview->raise();
  overview_ = overview;
  overviewBox_->setCheckState(Qt::Checked);
}

void ImageWindow::CloseOverview() {
  overviewBox_->setCheckState(Qt::Unchecked);
  if (!overview_) return;
  OverviewWindow* closing = overview_;
  overview_ = nullptr;
  closing->hide();
  closing->deleteLater();
}

}  // namespace ostrelin

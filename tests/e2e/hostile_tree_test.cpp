// The real main window on a data tree where every kind of file is damaged in every way that
// matters: every page is requested, shown in every image type, zoomed through every step, seen in
// the overview and full view, quizzed, and every text link followed. Nothing may crash or hang
// (each step is bounded), and where the atlas has a message for a damage, that message is shown.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <chrono>
#include <memory>
#include <set>
#include <string>

#include "app/main_window.h"
#include "hypertext/ui/text_panel.h"
#include "platform/core/scripted_message_service.h"
#include "quiz/core/quiz.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/commands.h"
#include "structures/core/image_window_model.h"
#include "structures/ui/image_window.h"
#include "tests/support/hostile_tree.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/step_watchdog.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/scripted_shell.h"

namespace ostrelin {
namespace {

using test::FileKind;
using test::HostilePage;

class SilentMedia : public Media {
 public:
  void StopMedia() override {}
  void PlayMedia(const std::string&) override {}
  void PlayWave(const std::string&) override {}
};

class HostileTreeTest : public testing::Test {
 protected:
  HostileTreeTest() : hostile_(test::WriteHostileTree(tree_)) {
    settings_.DataPath = tree_.DataPath();
    settings_.SavePath = tree_.DataPath() + "Benutzer\\";
    shell_.services.media = &media_;
    window_ = std::make_unique<MainWindow>(settings_, shell_.services, QRect(0, 0, 1024, 768));
  }

  void Settle() {
    QCoreApplication::processEvents();
    (void)window_->grab();  // paints every visible child
  }

  void Request(const std::string& name) {
    AtlasRequests(window_->transferBuffer(), *window_).OpenPage(name);
    Settle();
  }

  std::string Shown() const {
    std::string all;
    for (const auto& m : shell_.messages.shown) all += "[" + m.caption + "] " + m.text + "\n";
    return all;
  }

  std::string FirstTextLine() {
    const auto& lines = window_->textPanel()->layout().lines;
    return lines.empty() ? std::string() : lines.front();
  }

  // Every link target shown in the text panel, scrolled through from top to bottom, with a point
  // where it can be clicked (in the scroll position it was found at).
  std::vector<std::pair<std::string, int>> VisibleLinks() {
    TextPanel* panel = window_->textPanel();
    QScrollBar* bar = panel->verticalScrollBar();
    std::vector<std::pair<std::string, int>> links;
    std::set<std::string> seen;
    for (int position = bar->minimum();; position += std::max(1, bar->pageStep())) {
      bar->setValue(position);
      for (int y = 2; y < panel->viewport()->height(); y += 4) {
        for (int x = 2; x < panel->viewport()->width(); x += 4) {
          const std::string target = panel->HitAt({x, y}).target;
          if (!target.empty() && seen.insert(target).second)
            links.push_back({target, bar->value()});
        }
      }
      if (position >= bar->maximum()) break;
    }
    return links;
  }

  void ClickLink(const std::string& target, int scroll) {
    TextPanel* panel = window_->textPanel();
    panel->verticalScrollBar()->setValue(scroll);
    for (int y = 2; y < panel->viewport()->height(); y += 4) {
      for (int x = 2; x < panel->viewport()->width(); x += 4) {
        if (panel->HitAt({x, y}).target != target) continue;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, y), QPointF(x, y),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(panel->viewport(), &release);
        Settle();
        return;
      }
    }
  }

  // Zoom steps, overview, full view and the quiz on the image shown now.
  void ExerciseImage(test::StepWatchdog& watchdog, const std::string& where) {
    ImageWindow* image = window_->imageWindow();
    QScrollBar* zoom = image->ZoomBar();
    for (int step = zoom->minimum(); step <= zoom->maximum(); ++step) {
      watchdog.Step(where + ": zoom step " + std::to_string(step));
      zoom->setValue(step);
      image->HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
      image->VerticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
      Settle();
    }
    watchdog.Step(where + ": overview");
    image->OverviewBox()->click();
    Settle();
    image->OverviewBox()->click();
    watchdog.Step(where + ": full view");
    image->FullViewBox()->click();
    Settle();
    image->FullViewBox()->click();
    Settle();
    watchdog.Step(where + ": quiz");
    window_->SendCommand(CommandId(Command::kQuizNameToStructure));
    Settle();
    image->Command(quiz_cmd::kNextQuestion);
    image->Command(quiz_cmd::kShowAnswer);
    image->Command(image_cmd::kNormalView);  // "Test beenden"
    Settle();
  }

  test::TempTree tree_;
  Settings settings_;
  test::ScriptedShell shell_;
  SilentMedia media_;
  test::HostileTree hostile_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(HostileTreeTest, EveryPageTypeZoomQuizAndLinkOfADamagedTreeShowsItsMessageAndGoesOn) {
  test::StepWatchdog watchdog(std::chrono::seconds(30));
  watchdog.Step("start-up");
  ASSERT_TRUE(window_->Start());
  window_->show();
  Settle();
  // The damaged lists around the page list cost no message; the sound pages all count.
  EXPECT_TRUE(shell_.messages.shown.empty()) << Shown();
  EXPECT_EQ(window_->catalogue().PageCount(), hostile_.pages.size());

  for (const HostilePage& page : hostile_.pages) {
    const std::string where = page.name + " (" + page.damage + ")";
    SCOPED_TRACE(where);
    watchdog.Step(where + ": request");
    shell_.messages.shown.clear();
    Request(page.name);
    ASSERT_EQ(window_->requests().currentPage().name, page.name);
    // The page opens in its preferred type, the damaged one: its message comes with the request.
    const auto request = shell_.messages.shown;

    for (ImageType type : kImageTypesInOfferOrder) {
      const std::string typed = where + " type " + std::to_string(type);
      watchdog.Step(typed);
      shell_.messages.shown.clear();
      window_->SendCommand(ImageButtonCommand(type));
      Settle();
      if (type == page.type) {
        shell_.messages.shown.insert(shell_.messages.shown.begin(), request.begin(), request.end());
      }
      const bool damagedHere = page.type == type;
      if (page.kind == FileKind::kText) {
        EXPECT_TRUE(shell_.messages.shown.empty()) << Shown();
        if (damagedHere && !page.message.empty()) {
          EXPECT_NE(FirstTextLine().find(page.message), std::string::npos) << FirstTextLine();
        }
      } else if (!damagedHere || page.kind == FileKind::kOutline) {
        EXPECT_TRUE(shell_.messages.shown.empty()) << Shown();
        EXPECT_NE(window_->imageWindow()->Image(), nullptr);
      } else if (!page.message.empty()) {
        EXPECT_NE(Shown().find(page.message), std::string::npos)
            << "expected: " << page.message << "\nshown:\n"
            << Shown();
      }
      ExerciseImage(watchdog, typed);
    }

    const auto links = VisibleLinks();
    for (const auto& [target, scroll] : links) {
      watchdog.Step(where + ": link " + target);
      ClickLink(target, scroll);
      if (window_->requests().currentPage().name != page.name) Request(page.name);
    }
  }

  watchdog.Step("closing");
  shell_.messages.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window_->close());
}

}  // namespace
}  // namespace ostrelin

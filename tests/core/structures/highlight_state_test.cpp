// What the image window highlights, paints and comes back to, without the window.
#include <gtest/gtest.h>

#include <memory>

#include "platform/core/scripted_message_service.h"
#include "structures/core/highlight_state.h"
#include "tests/support/outline_testing.h"

namespace ostrelin {
namespace {

TEST(HighlightStateTest, WhatIsHighlightedPaintedAndComeBackTo) {
  // Structures without outline: only names matter here; the third one has none.
  test::RawOutline raw;
  raw.Title("T").Int16(4);
  raw.Head(1, "Herz", -1, -1).Head(2, "Lunge", -1, -1).Head(3, "", -1, -1).Head(4, "Aorta", -1, -1);
  const std::string bytes = raw.Data();
  test::RecordingPlotter plotter;
  ScriptedMessageService messages;
  const Objektliste list(plotter, OutlineBytes{bytes}, messages);

  enum class Op { Set, ShowAll, EndShowAll, Clear, Forget };
  struct Step {
    Op op;
    std::string names;  // for Set
    std::vector<std::string> painted;
    std::string last;
    bool active;
    bool all;
    std::string stepFrom;
    int mode;  // show-all outlines; a highlight is drawn as it was asked for
  };
  const Step steps[] = {
      {Op::Set,
       "Herz & Lunge",
       {"Herz", "Lunge"},
       "Herz & Lunge",
       true,
       false,
       "Herz",
       kDrawFilled},
      {Op::ShowAll,
       "",
       {"Herz", "Lunge", "Aorta"},
       "Herz & Lunge",
       true,
       true,
       "Herz",
       kDrawOutline},
      {Op::EndShowAll, "", {"Herz", "Lunge"}, "Herz & Lunge", true, false, "Herz", kDrawOutline},
      {Op::Clear, "", {}, "Herz & Lunge", false, false, "", kDrawOutline},
      {Op::ShowAll, "", {"Herz", "Lunge", "Aorta"}, "Herz & Lunge", false, true, "", kDrawOutline},
      {Op::Set,
       " Aorta &\tHerz ",
       {"Aorta", "Herz"},
       " Aorta &\tHerz ",
       true,
       false,
       "Aorta",
       kDrawFilled},
      {Op::Forget, "", {}, "", false, false, "", kDrawFilled},
  };
  HighlightState state;
  EXPECT_TRUE(state.Names(list).empty());
  int n = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(n++);
    switch (step.op) {
      case Op::Set: state.Set(step.names, kDrawFilled); break;
      case Op::ShowAll: state.ShowAll(); break;
      case Op::EndShowAll: state.EndShowAll(); break;
      case Op::Clear: state.Clear(false); break;
      case Op::Forget: state.Clear(true); break;
    }
    EXPECT_EQ(state.Names(list), step.painted);
    EXPECT_EQ(state.LastName(), step.last);
    EXPECT_EQ(state.Active(), step.active);
    EXPECT_EQ(state.ShowsAll(), step.all);
    EXPECT_EQ(state.StepFrom(), step.stepFrom);
    EXPECT_EQ(state.DisplayMode(), step.mode);
  }

  // Painting skips empty parts and counts what was drawn; the context menu looks up related
  // names only for a single one.
  state.Set("Herz & Lunge & ", kDrawOutline);
  std::vector<std::string> asked;
  const std::vector<std::string> drawn = state.Draw(list, [&](const std::string& name) {
    asked.push_back(name);
    return name != "Lunge";  // not on the image
  });
  EXPECT_EQ(asked, (std::vector<std::string>{"Herz", "Lunge"}));
  state.Painted(drawn);
  EXPECT_EQ(state.PaintedCount(), 1);
  EXPECT_EQ(state.LastPainted(), "Herz");
  state.Painted({});
  EXPECT_EQ(state.PaintedCount(), 0);
  EXPECT_EQ(state.LastPainted(), "");
}

}  // namespace
}  // namespace ostrelin

#pragma once
// Recording stand-ins for every window the request processing talks to. Each call is written to
// one shared log as a short line, in the order the calls were made, so a test can assert what each
// window was asked and in which order:
//
//   "stop"                      media stopped          "wait+" / "wait-"    wait message
//   "close-lists"  "leave-full-view"  "load <path>"  "highlight <name> c<centre> k<close list>"
//   "rehighlight"  "clear-highlight"  "found-on <a>|<b>"
//   "text <name> v<visible> t<type>"  "text-with-name <name> v<visible> <requested> t<type>"
//   "select-page <sex> <region> <plane>"  "mark-shown <clear>"  "search <name>"
//   "enable <type>=<0|1>"  "history <type> <name>"
//
// A hook per window lets a test make that window send a command of its own from inside a call, as
// the real windows do.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shell/core/media.h"
#include "shell/core/views.h"

namespace ostrelin::test {

class CallLog {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& lines() const { return lines_; }
  void Clear() { lines_.clear(); }

  // The lines that start with one of `prefixes` followed by a blank or the end, in order.
  std::vector<std::string> Only(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> kept;
    for (const std::string& line : lines_) {
      for (const std::string& prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0 &&
            (line.size() == prefix.size() || line[prefix.size()] == ' ')) {
          kept.push_back(line);
          break;
        }
      }
    }
    return kept;
  }

 private:
  std::vector<std::string> lines_;
};

class RecordingViews : public ImageView,
                       public TextView,
                       public NavigationView,
                       public SearchView,
                       public ImageTypeButtons,
                       public PageHistory,
                       public Media {
 public:
  explicit RecordingViews(CallLog& log) : log_(log) {}

  void CloseLists() override { log_.Add("close-lists"); }
  void LeaveFullView() override { log_.Add("leave-full-view"); }
  void ExpectImage(const std::string& path) override {
    log_.Add(path.empty() ? "expect-nothing" : "expect " + path);
  }
  bool LoadImage(const std::string& path, bool allowReduction) override {
    log_.Add("load " + path + (allowReduction ? "" : " (no reduction)"));
    return true;
  }
  void Highlight(const std::string& name, int displayMode, bool centre,
                 bool closeMarkableList) override {
    log_.Add("highlight " + name + " c" + Flag(centre) + " k" + Flag(closeMarkableList) +
             (displayMode == 0 ? "" : " mode" + std::to_string(displayMode)));
  }
  void Rehighlight(int displayMode) override {
    log_.Add(displayMode == 0 ? "rehighlight" : "rehighlight mode" + std::to_string(displayMode));
  }
  void ClearHighlight(bool forget) override {
    log_.Add(forget ? "clear-highlight forget" : "clear-highlight");
  }
  void ShowFoundOnList(const std::vector<std::string>& places) override {
    std::string line = "found-on ";
    for (size_t i = 0; i < places.size(); ++i) line += (i ? "|" : "") + places[i];
    log_.Add(line);
  }

  void ShowText(const std::string& textName, bool visible, ImageType type) override {
    log_.Add("text " + textName + " v" + Flag(visible) + " t" + std::to_string(type));
  }
  void ShowTextWithName(const std::string& textName, bool visible, const std::string& name,
                        ImageType type) override {
    log_.Add("text-with-name " + textName + " v" + Flag(visible) + " " + name + " t" +
             std::to_string(type));
  }

  void SelectFromPage(Sex sex, BodyRegion region, const std::string& plane) override {
    log_.Add("select-page " + std::to_string(sex) + " " + std::to_string(region) + " " + plane);
  }
  void MarkShown(bool clear) override { log_.Add("mark-shown " + Flag(clear)); }

  void SelectName(const std::string& name) override {
    log_.Add("search " + name);
    if (onSelectName) onSelectName(name);
  }

  void SetEnabled(ImageType type, bool enabled) override {
    log_.Add("enable " + std::to_string(type) + "=" + Flag(enabled));
    enabled_.at(size_t(type)) = enabled;
  }
  bool IsEnabled(ImageType type) const override {
    return IsImageType(type) && enabled_[size_t(type)];
  }

  void AddHistory(ImageType type, const std::string& name) override {
    log_.Add("history " + std::to_string(type) + " " + name);
  }

  void StopMedia() override { log_.Add("stop"); }
  void PlayMedia(const std::string& name) override { log_.Add("play " + name); }
  void PlayWave(const std::string& name) override { log_.Add("wave " + name); }

  // Called from SelectName after it is logged: the search window announcing its selection.
  std::function<void(const std::string&)> onSelectName;

 private:
  static std::string Flag(bool on) { return on ? "1" : "0"; }

  CallLog& log_;
  std::array<bool, 4> enabled_{};
};

}  // namespace ostrelin::test

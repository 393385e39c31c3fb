// webdump TREE: runs the browser facade's calls natively on a data tree and prints their results,
// one JSON line per call, so the WebAssembly build can be held against the native cores.
//
// Calls arrive on standard input, one a line, fields separated by tabs (file names relative to
// TREE, as they are on disk):
//   lists INDEX STRUKTUR OBJEKTE SYNONYMS   (a missing file reads as empty)
//   pictogram NAME WIDTH HEIGHT     start     request COMMAND NAME     command COMMAND
//   menus     bookmarks (the bookmark text as a JSON string)
//   page NAME     places NAME     xref NAME     outline FILE     hit X Y HEIGHT
//   find NAMES HEIGHT     paint NAMES MODE WIDTH HEIGHT   (prints the set pixels and an FNV-1a hash
//   of the overlay) picture PAGE TYPE NAMES SHOWALL WIDTH HEIGHT TEXTHEIGHT     steporder stepfrom
//   NAME FORWARD contextmenu NAMES SHOWALL NORMALVIEW IMAGELOADED text FILE     index     search
//   TEXT     move COMMAND SELECTED     synonyms navselect SEX REGION PLANE     navcommand COMMAND
//   navpick X Y WIDTH HEIGHT OPEN navpicture
//   quizseed SEED     quiztoday Y M D     quizstart DIRECTION ALTERNATE     quizseries     quiznext
//   quizclick X Y HEIGHT     quizchoose NAME     quiztyped TEXT     quizshow     quizleave
//   quizstate learnload FILE     learnmerge FILE     learnbytes (as a JSON string)     learnstate
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "web/core/json_writer.h"
#include "web/core/web_atlas.h"

namespace {

// Regular files only: a folder where a file should be reads as missing, as in the browser.
bool ReadFile(const std::string& path, std::string& bytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return true;
}

std::string PaintDigest(const std::string& rgba) {
  uint32_t hash = 2166136261u;
  long set = 0;
  for (size_t i = 0; i < rgba.size(); ++i) {
    hash = (hash ^ uint8_t(rgba[i])) * 16777619u;
    if (i % 4 == 3 && rgba[i] != 0) ++set;
  }
  return "{\"bytes\":" + std::to_string(rgba.size()) + ",\"set\":" + std::to_string(set) +
         ",\"hash\":" + std::to_string(hash) + "}";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Aufruf: webdump BAUM < Aufrufe\n";
    return 2;
  }
  const std::string tree = argv[1];
  ostrelin::web::WebAtlas atlas(tree);
  const auto file = [&tree](const std::string& name, bool* found = nullptr) {
    std::string bytes;
    const bool ok = !name.empty() && ReadFile(tree + "/" + name, bytes);
    if (found) *found = ok;
    return bytes;
  };
  std::string line;
  while (std::getline(std::cin, line)) {
    std::vector<std::string> f;
    std::string field;
    std::istringstream fields(line);
    while (std::getline(fields, field, '\t')) f.push_back(field);
    while (f.size() < 8) f.emplace_back();
    const std::string& op = f[0];
    std::string out;
    if (op == "lists") {
      out = atlas.LoadLists(file(f[1]), file(f[2]), file(f[3]), file(f[4]));
    } else if (op == "pictogram") {
      atlas.SetPictogramSize(f[1], std::stoi(f[2]), std::stoi(f[3]));
      out = "null";
    } else if (op == "start") {
      out = atlas.Start();
    } else if (op == "request") {
      out = atlas.Request(std::stoi(f[1]), f[2]);
    } else if (op == "command") {
      out = atlas.Command(std::stoi(f[1]));
    } else if (op == "menus") {
      out = atlas.Menus();
    } else if (op == "bookmarks") {
      out = ostrelin::web::JsonWriter().Utf8(atlas.BookmarkText()).str();
    } else if (op == "page") {
      out = atlas.Page(f[1]);
    } else if (op == "places") {
      out = atlas.PagesOfStructure(f[1]);
    } else if (op == "xref") {
      out = atlas.CrossReferences(f[1]);
    } else if (op == "outline") {
      out = atlas.LoadOutline(file(f[1]));
    } else if (op == "hit") {
      out = atlas.HitTest(std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]));
    } else if (op == "find") {
      out = atlas.FindStructure(f[1], std::stoi(f[2]));
    } else if (op == "picture") {
      out = atlas.PictureInfo(f[1], std::stoi(f[2]), f[3], f[4] == "1", std::stoi(f[5]),
                              std::stoi(f[6]), std::stoi(f[7]));
    } else if (op == "contextmenu") {
      out = atlas.ContextMenu(f[1], f[2] == "1", f[3] == "1", f[4] == "1");
    } else if (op == "steporder") {
      out = atlas.StepOrder();
    } else if (op == "stepfrom") {
      out = std::to_string(atlas.StepFrom(f[1], f[2] == "1"));
    } else if (op == "paint") {
      out = PaintDigest(atlas.Paint(f[1], std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4])));
    } else if (op == "text") {
      bool found = false;
      const std::string bytes = file(f[1], &found);
      out = atlas.Text(bytes, found, f[1]);
    } else if (op == "index") {
      out = atlas.IndexNames();
    } else if (op == "move") {
      out = std::to_string(atlas.MoveSelection(std::stoi(f[1]), std::stoi(f[2])));
    } else if (op == "synonyms") {
      out = atlas.Synonyms();
    } else if (op == "search") {
      out = atlas.Search(f[1]);
    } else if (op == "navselect") {
      out = atlas.NavSelect(std::stoi(f[1]), std::stoi(f[2]), f[3]);
    } else if (op == "navcommand") {
      out = atlas.NavCommand(std::stoi(f[1]));
    } else if (op == "navpick") {
      out = atlas.NavPick(std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4]),
                          f[5] == "1");
    } else if (op == "navpicture") {
      out = atlas.NavPicture();
    } else if (op == "quizseed") {
      atlas.Quiz().Seed(uint32_t(std::stoul(f[1])));
      out = "null";
    } else if (op == "quiztoday") {
      atlas.Quiz().SetToday(std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]));
      out = "null";
    } else if (op == "quizstart") {
      out = atlas.Quiz().Start(std::stoi(f[1]), f[2] == "1");
    } else if (op == "quizseries") {
      out = atlas.Quiz().StartSeries();
    } else if (op == "quiznext") {
      out = atlas.Quiz().Next();
    } else if (op == "quizclick") {
      out = atlas.Quiz().Click(std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]));
    } else if (op == "quizchoose") {
      out = atlas.Quiz().Choose(f[1]);
    } else if (op == "quiztyped") {
      out = atlas.Quiz().Typed(f[1]);
    } else if (op == "quizshow") {
      out = atlas.Quiz().ShowAnswer();
    } else if (op == "quizleave") {
      out = atlas.Quiz().LeaveFullView();
    } else if (op == "quizstate") {
      out = atlas.Quiz().State();
    } else if (op == "learnload") {
      atlas.Quiz().LoadRecord(file(f[1]));
      out = "null";
    } else if (op == "learnmerge") {
      out = atlas.Quiz().MergeRecord(file(f[1]));
    } else if (op == "learnbytes") {
      out = ostrelin::web::JsonWriter().String(atlas.Quiz().RecordBytes()).str();
    } else if (op == "learnstate") {
      out = atlas.Quiz().LearningState();
    } else {
      std::cerr << "webdump: unbekannter Aufruf " << op << "\n";
      return 2;
    }
    std::cout << out << "\n";
  }
  return 0;
}

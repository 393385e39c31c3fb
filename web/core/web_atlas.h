#pragma once
// The atlas as the browser edition sees it: one object over the Qt-free cores, every call taking
// and giving UTF-8, every result a JSON text. It has no logic of its own: the catalogue, the
// request processing, the outline files, the text format, the index search and the navigation
// state are the cores the desktop atlas runs; this object only records what they ask the windows
// to do and writes it down for the page's script (web/README.md lists every call and its JSON).
//
// Coordinates: image points are pixels of the source image counted from its top-left corner (the
// cores count rows upward from the bottom; the facade turns them round). Panel points are pixels
// of the navigation panel's client area, whose size each call gives.

#include <map>
#include <memory>
#include <string>

#include "catalogue/core/catalogue.h"
#include "search/core/search_names.h"
#include "catalogue/core/synonym_list.h"
#include "catalogue/core/cross_reference_list.h"
#include "web/core/web_quiz.h"

namespace ostrelin::web {

// The key under which the export's manifest lists a file: `windowsPath` relative to the data path
// (as the cores compose it: "Bilder\Schnitt\Kopf01.jpg"), backslashes as "/", every letter folded
// as Windows folds file names, in UTF-8: "BILDER/SCHNITT/KOPF01.JPG". Empty for a path that climbs
// out of the tree ("..") or is absolute.
std::string ManifestKey(std::string_view windowsPath);

class WebAtlas {
 public:
  // `root`: the folder that holds the files the cores open by themselves (the plane lists); in
  // the browser a folder of the module's memory file system, filled through PutFile.
  explicit WebAtlas(std::string root);
  ~WebAtlas();
  WebAtlas(const WebAtlas&) = delete;
  WebAtlas& operator=(const WebAtlas&) = delete;

  // ---- Lists -----------------------------------------------------------------------------------
  // Replaces the catalogue, the cross references, the synonyms and the index with the lists given
  // as the files' bytes (a missing file: empty bytes). Returns the summary JSON.
  std::string LoadLists(const std::string& indexList, const std::string& structureList,
                        const std::string& crossReferences, const std::string& synonyms);
  // Writes `bytes` to `relativePath` (a data-relative path, "/" or "\") below the root. False for
  // a path that would leave the root.
  bool PutFile(const std::string& relativePath, const std::string& bytes);
  // The size of a pictogram bitmap ("KOPF", ...), which the navigation state needs for its lines.
  void SetPictogramSize(const std::string& name, int width, int height);

  // ---- Requests (every call returns the request JSON) ---------------------------------------
  std::string Start();
  // Puts `name` into the transfer buffer and sends `command` (1274 page link, 1276 place, 9045
  // history, 9046 bookmark, 9054 index, 1275 structure link, 9059 announce, 9060 select).
  std::string Request(int command, const std::string& name);
  // Sends `command` without a name: the image-type buttons 9025 to 9028, the history entries
  // 1149 to 1164, "löschen" 1173 and "setzen" 1174 of the bookmarks, the bookmarks 1175 to 1189.
  std::string Command(int command);

  // ---- History and bookmarks (the desktop's menus, kept by shell/core) ------------------------
  // {"history": [{id, text, enabled}], "bookmarks": [...]}: the items of both menus.
  std::string Menus() const;
  // The bookmarks as the bookmark file holds them (UTF-8 here), for the browser's storage, and
  // back: adds the bookmarks of such a text.
  std::string BookmarkText() const;
  void AddBookmarkText(const std::string& text);

  // ---- Catalogue -------------------------------------------------------------------------------
  std::string Page(const std::string& name) const;
  std::string PagesOfStructure(const std::string& structure) const;
  std::string CrossReferences(const std::string& structure) const;

  // ---- Outline of the shown image -------------------------------------------------------------
  std::string LoadOutline(const std::string& bytes);
  std::string HitTest(int x, int y, int imageHeight);
  // The structure a highlight of `names` marks (the first of '&'-separated names, found as the
  // image window finds it): {"index", "name", "centre": [x, y] or null}, or null when the image has
  // none of that name.
  std::string FindStructure(const std::string& names, int imageHeight) const;
  // An RGBA overlay of width x height: the structures of `names` ('&' separates several; empty:
  // every markable structure) in highlight green, outlined (mode 0) or filled (mode 1), the rest
  // transparent.
  std::string Paint(const std::string& names, int mode, int width, int height) const;
  // The same overlay cut to the rectangle of what is drawn: its pixels are those of Paint at
  // (x, y) .. (x + width - 1, y + height - 1), everything outside is transparent. Nothing drawn
  // gives a rectangle of width 0; a refused size gives ok false.
  struct DrawnOverlay {
    bool ok = false;
    int x = 0, y = 0, width = 0, height = 0;
    std::string rgba;
  };
  DrawnOverlay PaintDrawn(const std::string& names, int mode, int width, int height) const;

  // "Bild speichern" and the screen reader's description, as the image window decides them: the
  // file name offered for `page`, the name band of a width x height picture whose font is
  // textHeight pixels high and its text for the highlight `names` (the names the current outline
  // has; none while `showAll`), the description of page, image type and highlight.
  std::string PictureInfo(const std::string& page, int imageType, const std::string& names,
                          bool showAll, int width, int height, int textHeight) const;
  // The image window's context menu for the highlight `names` (or all markable structures while
  // `showAll`): [{command, text, name?}], command 0 a separator; `name` on the related entries is
  // what choosing one sends with 1276.
  std::string ContextMenu(const std::string& names, bool showAll, bool normalView,
                          bool imageLoaded) const;
  // Tab and Shift+Tab through the structures of the current outline: the order, and the index in
  // it a step from `current` goes to (-1: past either end).
  std::string StepOrder() const;
  int StepFrom(const std::string& current, bool forward) const;

  // ---- Texts ----------------------------------------------------------------------------------
  // The paragraphs and segments of a text file given as its bytes; `found` false: the text of a
  // file that could not be fetched, with `path` (data-relative) in its message.
  std::string Text(const std::string& bytes, bool found, const std::string& path) const;

  // ---- Index ----------------------------------------------------------------------------------
  std::string IndexNames() const;
  std::string Search(const std::string& typed) const;
  // The entry a movement key selects in the index (9130 Up, 9131 Down, 9132 Home, 9133 End,
  // 9134 Page Up, 9135 Page Down) from `selected` (-1: none); -1 when it does nothing.
  int MoveSelection(int command, int selected) const;
  // [[synonym, atlas name], ...] of SYNONYMS.LST in file order (in capitals, as the list holds
  // them).
  std::string Synonyms() const;

  // ---- Navigation panel -----------------------------------------------------------------------
  // Every call returns {"actions":[...], "panel":{...}}: what the requests it caused showed and
  // the panel's picture afterwards.
  std::string NavSelect(int sex, int region, const std::string& plane);
  // 9036 sex, 9037 OK, 9038 to 9041 regions, 9042 upper and 9043 lower arrow.
  std::string NavCommand(int command);
  // A click (or with `open` a double click) at panel pixel (x, y) of a panel width x height.
  std::string NavPick(int x, int y, int width, int height, bool open);
  std::string NavPicture() const;

  // ---- The quiz and the learning record (web_quiz.h) -----------------------------------------
  // While a run has confused structures, Paint and PaintDrawn add them over the highlight: those
  // chosen outlined red, the one asked green.
  WebQuiz& Quiz();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ostrelin::web

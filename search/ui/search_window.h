#pragma once
// The index of the atlas: a caption "Suche nach", a one-line search field in capitals and the
// sorted list of every page and structure name. Typing selects the first name that begins with
// the text (or with its translation through the synonym list); choosing a name announces it to
// the main window (9059), opening it asks the main window to show it (9054), a right click asks
// for the navigation panel again (9024). Requests travel through the transfer buffer.
//
// The list is a view on SearchNames, so a few hundred thousand names cost one sort at start-up
// and a binary search per keystroke; only the visible rows ever become widget text.

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QFont>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <string>
#include <string_view>

#include "catalogue/core/synonym_list.h"
#include "search/core/search_names.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/views.h"

class QLabel;

namespace ostrelin {

// The one-line search field: at most 512 characters, typed and pasted letters become capitals.
// Enter and the movement keys never reach the edit control; they become commands of the window.
class SearchField : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kMaxLength = 512;
  explicit SearchField(QWidget* parent);

 signals:
  void command(int commandId);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The sorted list. Enter opens the selected entry, a right click asks for the navigation panel,
// typed characters select the first entry beginning with them.
class NameList : public QListView {
  Q_OBJECT

 public:
  explicit NameList(QWidget* parent);

  void keyboardSearch(const QString& search) override;

 signals:
  void command(int commandId);
  void rightClicked();
  // Characters typed into the list, gathered while they follow one another quickly.
  void prefixTyped(const QString& prefix);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString typed_;
  QElapsedTimer sinceTyped_;
};

// The list's rows, straight from SearchNames.
class NameListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // Every row is as wide as a list box's horizontal extent, so the list scrolls sideways.
  static constexpr int kHorizontalExtent = 8192;

  NameListModel(const SearchNames& names, QObject* parent);

  // Shows the names as they are now (after a fill or a removal).
  void Refresh();
  void SetRowHeight(int height) { rowHeight_ = height; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const SearchNames& names_;
  int shown_ = 0;
  int rowHeight_ = 16;
};

class SearchWindow : public QFrame, public SearchView {
  Q_OBJECT

 public:
  static constexpr int kWindowId = 9032;

  // Creates the window hidden, with its controls and fonts; typed text is translated through
  // `synonyms`, which the owner loads and keeps. Requests go through `buffer` to `mainWindow`.
  SearchWindow(QWidget* parent, const SynonymList& synonyms, TransferBuffer& buffer,
               CommandTarget& mainWindow);
  ~SearchWindow() override;

  // Filling at start-up: AddName for every name, then RemoveDuplicates once.
  void Reserve(size_t count) { names_.Reserve(count); }
  void AddName(std::string_view name);
  void RemoveDuplicates();

  // Selects the first entry that begins with `name`, case ignored, as if the user had chosen it;
  // without one the list loses its selection and the search field is emptied.
  void SelectName(const std::string& name) override;
  // Sends 9059 with the selected entry when there is one and no request is busy.
  void AnnounceSelection();

  // What the window shows, for its owner and for tests.
  int Count() const;
  int SelectedIndex() const;  // SearchNames::kNone without a selection
  std::string SelectedName() const;
  std::string EntryAt(int index) const;
  const SynonymList& Synonyms() const { return synonyms_; }
  QLabel* Caption() const { return caption_; }
  SearchField* Field() const { return field_; }
  NameList* List() const { return list_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void HandleCommand(int commandId);
  void Open();
  // The search on every change of the field's text.
  void Search(const QString& text);
  // Selects `row` (kNone: no selection) without treating it as the user's choice.
  void SelectRow(int row);
  // A selection made by the user, a movement key or SelectName: the entry goes into the field,
  // the search runs on it, and the selection is announced.
  void UserSelected(int row);
  // Brings the list up to date with names added since it was last shown.
  void SyncList();

  AtlasRequests requests_;

  SearchNames names_;
  const SynonymList& synonyms_;
  bool listStale_ = false;
  bool selecting_ = false;  // the window itself is changing the selection

  QFont listFont_;
  QFont captionFont_;
  QLabel* caption_;
  SearchField* field_;
  NameList* list_;
  NameListModel* model_;
};

}  // namespace ostrelin

#include "search/ui/search_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QValidator>
#include <utility>

#include "search/core/search_rules.h"
#include "resources/core/ui_texts.h"
#include "platform/ui/list_selection.h"
#include "platform/ui/make_font.h"
#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

// Capitals as an upper-case edit control makes them: letter by letter, so the sharp s stays and
// the text keeps its length.
class CapitalsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar& c : input) c = c.toUpper();
    return Acceptable;
  }
};

int CommandForKey(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return search_cmd::kOpen;
    case Qt::Key_Up: return search_cmd::kPrevious;
    case Qt::Key_Down: return search_cmd::kNext;
    case Qt::Key_PageUp: return search_cmd::kPageUp;
    case Qt::Key_PageDown: return search_cmd::kPageDown;
    case Qt::Key_Home: return search_cmd::kFirst;
    case Qt::Key_End: return search_cmd::kLast;
    default: return 0;
  }
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

// ---------------------------------------------------------------------------------------------

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QString::number(kSearchFieldId));
  setMaxLength(kMaxLength);
  setValidator(new CapitalsValidator(this));
}

void SearchField::keyPressEvent(QKeyEvent* event) {
  if (const int id = CommandForKey(event->key())) {
    event->accept();
    emit command(id);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------

NameList::NameList(QWidget* parent) : QListView(parent) {
  setObjectName(QString::number(kNameListId));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  ShowSelectionAlways(*this);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this] { emit command(search_cmd::kOpen); });
}

void NameList::keyboardSearch(const QString& search) {
  if (search.isEmpty()) return;
  if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > QApplication::keyboardInputInterval()) {
    typed_.clear();
  }
  sinceTyped_.start();
  typed_ += search;
  emit prefixTyped(typed_);
}

void NameList::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event->key())) {
    event->accept();
    emit command(search_cmd::kOpen);
    return;
  }
  QListView::keyPressEvent(event);
}

void NameList::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    emit rightClicked();
    return;
  }
  QListView::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------------

NameListModel::NameListModel(const SearchNames& names, QObject* parent)
    : QAbstractListModel(parent), names_(names) {}

void NameListModel::Refresh() {
  beginResetModel();
  shown_ = static_cast<int>(names_.Count());
  endResetModel();
}

int NameListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  if (role == Qt::DisplayRole) return ToQString(names_.At(static_cast<size_t>(index.row())));
  if (role == Qt::SizeHintRole) return QSize(kHorizontalExtent, rowHeight_);
  return {};
}

// ---------------------------------------------------------------------------------------------

SearchWindow::SearchWindow(QWidget* parent, const SynonymList& synonyms, TransferBuffer& buffer,
                           CommandTarget& mainWindow)
    : QFrame(parent), requests_(buffer, mainWindow), synonyms_(synonyms) {
  setObjectName(QString::number(kWindowId));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  hide();

  MakeFont(listFont_, 16, false);
  MakeFont(captionFont_, 14, false);

  caption_ = new QLabel(ToQString(search_text::kCaption), this);
  caption_->setFont(captionFont_);
  caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  caption_->setWordWrap(false);

  field_ = new SearchField(this);
  field_->setFont(listFont_);

  model_ = new NameListModel(names_, this);
  model_->SetRowHeight(QFontMetrics(listFont_).height() + 2);
  list_ = new NameList(this);
  list_->setFont(listFont_);
  list_->setModel(model_);
  field_->setAccessibleName(ToQString(search_text::kFieldName));
  field_->setAccessibleDescription(ToQString(search_text::kFieldDescription));
  list_->setAccessibleName(ToQString(search_text::kListName));
  list_->setAccessibleDescription(ToQString(search_text::kListDescription));

  connect(field_, &QLineEdit::textChanged, this, &SearchWindow::Search);
  connect(field_, &SearchField::command, this, &SearchWindow::HandleCommand);
  connect(list_, &NameList::command, this, &SearchWindow::HandleCommand);
  connect(list_, &NameList::rightClicked, this, [this] { requests_.Send(Command::kTogglePanel); });
  connect(list_, &NameList::prefixTyped, this, [this](const QString& prefix) {
    int row = names_.FindPrefix(FromQString(prefix));
    if (row == SearchNames::kNone) row = names_.FindPrefix(FromQString(prefix.right(1)));
    if (row != SearchNames::kNone) UserSelected(row);
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (selecting_) return;
    const int row = SelectedIndex();
    if (row != SearchNames::kNone) UserSelected(row);
  });
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::AddName(std::string_view name) {
  names_.Add(name);
  listStale_ = true;
}

void SearchWindow::RemoveDuplicates() {
  names_.RemoveDuplicates();
  listStale_ = true;
  SyncList();
}

void SearchWindow::SyncList() {
  if (!listStale_) return;
  listStale_ = false;
  const bool wasSelecting = std::exchange(selecting_, true);
  model_->Refresh();
  selecting_ = wasSelecting;
}

int SearchWindow::Count() const { return static_cast<int>(names_.Count()); }

int SearchWindow::SelectedIndex() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? SearchNames::kNone : rows.front().row();
}

std::string SearchWindow::SelectedName() const {
  const int row = SelectedIndex();
  return row == SearchNames::kNone ? std::string() : names_.At(static_cast<size_t>(row));
}

std::string SearchWindow::EntryAt(int index) const { return names_.At(static_cast<size_t>(index)); }

void SearchWindow::SelectRow(int row) {
  SyncList();
  const bool wasSelecting = std::exchange(selecting_, true);
  QItemSelectionModel* selection = list_->selectionModel();
  if (row == SearchNames::kNone || row >= model_->rowCount()) {
    selection->clearSelection();
    selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  } else {
    const QModelIndex index = model_->index(row);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index);
  }
  selecting_ = wasSelecting;
}

void SearchWindow::Search(const QString& text) {
  SyncList();
  SelectRow(FindForText(names_, synonyms_, FromQString(text)));
}

void SearchWindow::UserSelected(int row) {
  SelectRow(row);
  {
    // The search runs once, below, also when the field already held this text.
    const QSignalBlocker quiet(field_);
    field_->setText(ToQString(names_.At(static_cast<size_t>(row))));
  }
  Search(field_->text());
  AnnounceSelection();
}

void SearchWindow::SelectName(const std::string& name) {
  SyncList();
  const int row = names_.FindPrefix(name);
  if (row == SearchNames::kNone) {
    SelectRow(SearchNames::kNone);
    field_->clear();
    return;
  }
  UserSelected(row);
}

void SearchWindow::AnnounceSelection() {
  const std::string selected = SelectedName();
  if (selected.empty()) return;
  requests_.AnnouncePage(selected);
}

void SearchWindow::Open() {
  if (requests_.Busy()) return;
  const int row = SelectedIndex();
  if (row == SearchNames::kNone) return;
  requests_.OpenFound(names_.At(static_cast<size_t>(row)));
}

void SearchWindow::HandleCommand(int commandId) {
  SyncList();
  if (commandId == search_cmd::kOpen) {
    Open();
    return;
  }
  const int row = MoveSelection(commandId, SelectedIndex(), Count());
  if (row != SearchNames::kNone) UserSelected(row);
}

void SearchWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    requests_.Send(Command::kTogglePanel);
    return;
  }
  QFrame::mousePressEvent(event);
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  const int w = width();
  const int h = height();
  caption_->setGeometry(3, 8, w - 8, 14);
  field_->setGeometry(3, 30, w - 8, 18);
  list_->setGeometry(3, 58, w - 8, h - 66);
}

}  // namespace ostrelin

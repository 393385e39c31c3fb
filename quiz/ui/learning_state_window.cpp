#include "quiz/ui/learning_state_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/qt_rect.h"
#include "platform/ui/qt_text.h"
#include "structures/core/image_window_model.h"
#include "quiz/core/learning_state_layout.h"
#include "structures/ui/image_window.h"

namespace ostrelin {

LearningStateWindow::LearningStateWindow(QWidget* parent, const LearningRecord& record, Day today,
                                         const std::vector<std::string>& regionNames,
                                         std::function<void(const std::string&)> open)
    : QDialog(parent), open_(std::move(open)) {
  setWindowTitle(QStringLiteral("Lernstand"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);

  const BoxCounts inRegion = record.Count(today, [&](const std::string& name) {
    return std::any_of(regionNames.begin(), regionNames.end(),
                       [&](const std::string& r) { return EqualsIgnoringCase(r, name); });
  });
  const BoxCounts inAtlas = record.Count(today);

  counts_ = new QGridLayout;
  // The headers stand right-aligned over their right-aligned numbers.
  for (const auto& [column, text] :
       {std::pair{1, QStringLiteral("Region")}, std::pair{2, QStringLiteral("Ganzer Atlas")}}) {
    auto* header = new QLabel(text);
    header->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counts_->addWidget(header, 0, column);
  }
  for (int row = 0; row <= kHighestBox; ++row) {
    const bool due = row == kHighestBox;
    counts_->addWidget(new QLabel(due ? QStringLiteral("Heute f\u00E4llig")
                                      : QStringLiteral("Fach %1").arg(row + 1)),
                       row + 1, 0);
    const BoxCounts* columns[] = {&inRegion, &inAtlas};
    for (int column = 0; column < 2; ++column) {
      const BoxCounts& c = *columns[column];
      auto* cell = new QLabel(QString::number(due ? c.due : c.inBox[size_t(row)]));
      cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      counts_->addWidget(cell, row + 1, column + 1);
    }
  }
  layout->addLayout(counts_);

  const auto confused = record.MostConfused(kConfusedShown);
  layout->addWidget(new QLabel(confused.empty()
                                   ? QStringLiteral("Noch keine Verwechslungen.")
                                   : QStringLiteral("Am h\u00E4ufigsten verwechselt:")));
  auto* list = new QGridLayout;
  for (size_t i = 0; i < confused.size(); ++i) {
    const LearningEntry& e = *confused[i];
    auto* line = new QLabel(ToQString(e.name + ": " + std::to_string(e.wrong) +
                                      "-mal falsch, zuletzt mit " + e.confusedWith));
    line->setWordWrap(true);  // long names wrap: the window stays narrow beside the image
    list->addWidget(line, int(i), 0);
    auto* button = new QPushButton(QStringLiteral("Zeigen"));
    button->setAccessibleName(ToQString(e.name) + QStringLiteral(" zeigen"));
    const std::string name = e.name;
    connect(button, &QPushButton::clicked, this, [this, name] { Show(name); });
    list->addWidget(button, int(i), 1);
    showButtons_.push_back(button);
  }
  layout->addLayout(list);

  close_ = new QPushButton(QStringLiteral("Schlie\u00DFen"));
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_);
  layout->addLayout(buttons);
}

void LearningStateWindow::Show(const std::string& name) {
  if (image_ && image_->ShowStructureHere(name)) return;
  if (open_) open_(name);
}

QLabel* LearningStateWindow::Header(int column) const {
  QLayoutItem* item = counts_->itemAtPosition(0, column + 1);
  return item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
}

void LearningStateWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!image_ || !image_->isVisible()) return;
  const QScreen* shown = image_->screen();
  if (shown == nullptr) return;
  const QRect image(image_->mapToGlobal(QPoint(0, 0)), image_->size());
  const QSize size(std::min(sizeHint().width(), 2 * minimumSizeHint().width()),
                   sizeHint().height());
  const Rect placed = PlaceBesideCentre(FromQRect(image), size.width(), size.height(),
                                        FromQRect(shown->availableGeometry()));
  setGeometry(ToQRect(placed));
}

QString LearningStateWindow::Count(int row, int column) const {
  QLayoutItem* item = counts_->itemAtPosition(row + 1, column + 1);
  auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
  return label ? label->text() : QString();
}

}  // namespace ostrelin

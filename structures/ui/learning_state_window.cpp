#include "structures/ui/learning_state_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/qt_text.h"
#include "structures/core/image_window_model.h"

namespace ostrelin {

LearningStateWindow::LearningStateWindow(QWidget* parent, const LearningRecord& record, Day today,
                                         const std::vector<std::string>& regionNames,
                                         std::function<void(const std::string&)> open)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Lernstand"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);

  const BoxCounts inRegion = record.Count(today, [&](const std::string& name) {
    return std::any_of(regionNames.begin(), regionNames.end(),
                       [&](const std::string& r) { return EqualsIgnoringCase(r, name); });
  });
  const BoxCounts inAtlas = record.Count(today);

  counts_ = new QGridLayout;
  counts_->addWidget(new QLabel(QStringLiteral("Region")), 0, 1);
  counts_->addWidget(new QLabel(QStringLiteral("Ganzer Atlas")), 0, 2);
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
  layout->addWidget(new QLabel(confused.empty() ? QStringLiteral("Noch keine Verwechslungen.")
                                                : QStringLiteral("Am h\u00E4ufigsten verwechselt:")));
  auto* list = new QGridLayout;
  for (size_t i = 0; i < confused.size(); ++i) {
    const LearningEntry& e = *confused[i];
    list->addWidget(new QLabel(ToQString(e.name + ": " + std::to_string(e.wrong) +
                                         "-mal falsch, zuletzt mit " + e.confusedWith)),
                    int(i), 0);
    auto* button = new QPushButton(QStringLiteral("Zeigen"));
    button->setAccessibleName(ToQString(e.name) + QStringLiteral(" zeigen"));
    const std::string name = e.name;
    connect(button, &QPushButton::clicked, this, [open, name] {
      if (open) open(name);
    });
    list->addWidget(button, int(i), 1);
    showButtons_.push_back(button);
  }
  layout->addLayout(list);
}

QString LearningStateWindow::Count(int row, int column) const {
  QLayoutItem* item = counts_->itemAtPosition(row + 1, column + 1);
  auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
  return label ? label->text() : QString();
}

}  // namespace ostrelin

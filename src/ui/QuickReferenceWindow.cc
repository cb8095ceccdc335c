#include "ui/QuickReferenceWindow.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/DialogPlacement.h"
#include "ui/LinkButton.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"
#include "workspace/WindowPlacement.h"

namespace kea::ui {

namespace {

QLabel* heading(std::string_view text, QWidget* parent) {
  auto* label = new QLabel(toQString(text), parent);
  // A heading's "&" is no mnemonic; none of them has one.
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

QuickReferenceWindow::QuickReferenceWindow(SettingsStore& store, QWidget* parent)
    : QDialog(parent), showBox_(new QCheckBox(tr("&Show this window when KEA starts"), this)) {
  setWindowTitle(toQString(dialogs::kQuickReferenceCaption));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(18);
  grid->addWidget(heading(dialogs::kFeatureHeading, this), 0, 0);
  grid->addWidget(heading(dialogs::kExampleHeading, this), 0, 1);
  grid->addWidget(heading(dialogs::kFindsHeading, this), 0, 2);

  // Examples are patterns, shown as the pattern box shows them: every
  // character its own width, so dots and stars can be counted.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  int row = 0;
  for (const dialogs::QuickReferenceRow& entry : dialogs::quickReferenceRows()) {
    auto* feature = new LinkButton(toQString(entry.feature), this);
    auto* example = new LinkButton(toQString(entry.example), this);
    example->setFont(fixed);
    auto* finds = new QLabel(toQString(entry.finds), this);
    finds->setTextFormat(Qt::PlainText);
    grid->addWidget(feature, row + 1, 0);
    grid->addWidget(example, row + 1, 1);
    grid->addWidget(finds, row + 1, 2);
    connect(feature, &QAbstractButton::clicked, this, [this, row] { emit featureClicked(row); });
    const QString pattern = toQString(entry.example);
    connect(example, &QAbstractButton::clicked, this, [this, pattern] { emit exampleClicked(pattern); });
    features_.push_back(feature);
    examples_.push_back(example);
    ++row;
  }
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addWidget(showBox_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  showBox_->setChecked(true);
  connect(showBox_, &QCheckBox::toggled, this, &QuickReferenceWindow::showOnStartupChanged);

  placement_ = new DialogPlacement(this, dialogs::kQuickReferenceWindowName, store);
  restored_ = placement_->restore();
}

QuickReferenceWindow::~QuickReferenceWindow() = default;

bool QuickReferenceWindow::showOnStartup() const { return showBox_->isChecked(); }

void QuickReferenceWindow::setShowOnStartup(bool on) { showBox_->setChecked(on); }

LinkButton* QuickReferenceWindow::featureLink(int row) const {
  return row >= 0 && row < static_cast<int>(features_.size()) ? features_[static_cast<std::size_t>(row)] : nullptr;
}

LinkButton* QuickReferenceWindow::exampleLink(int row) const {
  return row >= 0 && row < static_cast<int>(examples_.size()) ? examples_[static_cast<std::size_t>(row)] : nullptr;
}

void QuickReferenceWindow::placeBeside(QWidget* mainWindow) {
  if (restored_ || !mainWindow) return;
  placeBesideMainWindow(this, mainWindow, {});
}

}  // namespace kea::ui

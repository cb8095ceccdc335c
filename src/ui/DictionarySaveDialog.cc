#include "ui/DictionarySaveDialog.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "dictionary/DictionaryList.h"
#include "dictionary/KkdFormat.h"
#include "search/ResultsDictionary.h"
#include "search/ResultsList.h"
#include "text/StringTable.h"
#include "ui/DialogPlacement.h"
#include "ui/FileDialogs.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

DictionarySaveDialog::DictionarySaveDialog(QWidget* parent, SettingsStore& store,
                                               const DictionaryList& dictionaries, int index,
                                               const std::string& target, int shortest, int longest)
    : QDialog(parent),
      dictionaries_(dictionaries),
      index_(index),
      shortest_(shortest),
      longest_(longest),
      file_(new QLineEdit(toQString(target), this)),
      description_(new QLineEdit(this)),
      status_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      save_(new QPushButton(toQString(dialogs::kSaveButton), this)),
      cancel_(new QPushButton(toQString(dialogs::kSaveCancelButton), this)) {
  setObjectName(toQString(dialogs::kDictionarySaveWindowName));
  setWindowTitle(toQString(texts::kSaveDictionaryTitle));

  auto* change = new QPushButton(toQString(dialogs::kSaveChangeButton), this);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(change);
  auto* fileLabel = new QLabel(toQString(dialogs::kSaveFileLabel), this);
  fileLabel->setBuddy(file_);
  auto* descriptionLabel = new QLabel(toQString(dialogs::kSaveDescriptionLabel), this);
  descriptionLabel->setBuddy(description_);
  description_->setMaxLength(kkd::kDescriptionSizeV1 - 1);  // what the file keeps
  file_->setMinimumWidth(fontMetrics().averageCharWidth() * 50);

  auto* form = new QFormLayout;
  form->addRow(fileLabel, fileRow);
  form->addRow(descriptionLabel, description_);

  status_->setTextFormat(Qt::PlainText);
  progress_->setRange(0, 0);  // the builder tells stages, not fractions
  progress_->setTextVisible(false);
  progress_->hide();

  auto* help = new QPushButton(toQString(dialogs::kSaveHelpButton), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help);
  save_->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addLayout(buttons);

  connect(change, &QPushButton::clicked, this, &DictionarySaveDialog::changeFile);
  connect(save_, &QPushButton::clicked, this, &DictionarySaveDialog::save);
  connect(cancel_, &QPushButton::clicked, this, &DictionarySaveDialog::reject);
  connect(help, &QPushButton::clicked, this, &DictionarySaveDialog::helpRequested);
  connect(file_, &QLineEdit::textChanged, this, [this](const QString& text) { save_->setEnabled(!text.isEmpty()); });
  (new DialogPlacement(this, dialogs::kDictionarySaveWindowName, store))->restore();
}

void DictionarySaveDialog::changeFile() {
  const QString chosen = saveFileName(this, toQString(texts::kCreateExpurgatedTitle), file_->text(),
                                      fileDialogFilter(texts::kCreateExpurgatedFilter));
  if (!chosen.isEmpty()) file_->setText(QDir::toNativeSeparators(chosen));
}

void DictionarySaveDialog::showStatus(const std::string& text) {
  status_->setText(toQString(text));
  keepResponsive();
}

// The build runs in steps of a few thousand lines; between them the
// dialog repaints, while what the user does waits until it is over.
void DictionarySaveDialog::keepResponsive() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DictionarySaveDialog::reject() {
  if (!building_) QDialog::reject();
}

bool DictionarySaveDialog::save() {
  if (building_) return false;
  platform::CodecError error;
  const std::optional<std::string> target = fromQString(file_->text().trimmed(), &error);
  if (!target) {
    QMessageBox::warning(this, toQString(texts::kDictionarySaveFailedCaption),
                         toQString(dialogs::unusableFileNameCharacter(error.codePoint)));
    return false;
  }
  if (target->empty()) return false;
  const std::optional<std::string> description = fromQString(description_->text(), &error);
  if (!description) {
    QMessageBox::warning(this, toQString(texts::kDictionarySaveFailedCaption),
                         toQString(dialogs::unusableTextCharacter(error.codePoint)));
    return false;
  }

  building_ = true;
  for (QWidget* w : findChildren<QWidget*>()) {
    if (w != status_ && w != progress_) w->setEnabled(false);
  }
  progress_->show();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string log;
  const bool saved = build(*target, *description, &log);
  QApplication::restoreOverrideCursor();
  progress_->hide();
  status_->clear();
  for (QWidget* w : findChildren<QWidget*>()) w->setEnabled(true);
  building_ = false;

  if (!saved) {
    QMessageBox::warning(this, toQString(texts::kDictionarySaveFailedCaption), toQString(log));
    return false;
  }
  accept();
  return true;
}

ResultsDictionarySaveDialog::ResultsDictionarySaveDialog(QWidget* parent, SettingsStore& store,
                                                     const ResultsList& list,
                                                     const DictionaryList& dictionaries, int index,
                                                     const std::string& target, const std::string& pattern,
                                                     int shortest, int longest)
    : DictionarySaveDialog(parent, store, dictionaries, index, target, shortest, longest), list_(list) {
  descriptionField()->setText(toQString(resultsDictionaryDescription(dictionaries.name(index), pattern)));
}

bool ResultsDictionarySaveDialog::build(const std::string& target, const std::string& description,
                                      std::string* log) {
  // A new source per attempt: the log holds the messages of this one only.
  ResultsLineSource lines(list_);
  lines.onStatus([this](const std::string& text) { showStatus(text); });
  lines.onPendingEvents([this] { keepResponsive(); });
  const bool saved =
      saveResultsDictionary(lines, dictionaries_, index_, target, description, shortest_, longest_);
  if (log) *log = lines.log();
  return saved;
}

}  // namespace kea::ui

#include "ui/companions/CompanionWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "builder/WordListMerge.h"
#include "ui/DialogPlacement.h"
#include "ui/FileDialogs.h"
#include "ui/HelpWindow.h"
#include "ui/QtSettingsStore.h"

namespace kea::ui {
namespace {

std::vector<std::string> fileNames(const QListWidget* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->count(); ++i) names.push_back(list->item(i)->text().toStdString());
  return names;
}

// A name chosen without an extension gets the one of its kind.
QString withExtension(const QString& name, const QString& extension) {
  if (name.isEmpty() || QFileInfo(name).fileName().contains('.')) return name;
  return name + extension;
}

int runWindow(int& argc, char** argv, const char* name, const char* placementName, CompanionWindow* (*make)()) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Gridsmith");
  QApplication::setApplicationName(name);
  QApplication::setApplicationVersion(KEA_VERSION);
  // The window opens where it was last closed, as KEA's own windows do.
  QtSettingsStore store;
  std::unique_ptr<CompanionWindow> window(make());
  (new DialogPlacement(window.get(), placementName, store))->restore();
  window->show();
  return QApplication::exec();
}

}  // namespace

bool hasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int runBuilderWindow(int& argc, char** argv) {
  return runWindow(argc, argv, "kkbuild", "DictionaryBuilder", []() -> CompanionWindow* { return new BuilderWindow; });
}

int runMergeWindow(int& argc, char** argv) {
  return runWindow(argc, argv, "kkmerge", "WordListMerge", []() -> CompanionWindow* { return new MergeWindow; });
}

// ---------------------------------------------------------------------------

CompanionWindow::CompanionWindow(const QString& title, const QString& startText, const QString& helpPage,
                                 QWidget* parent)
    : QMainWindow(parent), helpPage_(helpPage) {
  setWindowTitle(title);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  form_ = new QFormLayout;
  form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  layout->addLayout(form_);

  // The inputs: a list with Add and Remove beside it.
  inputs_ = new QListWidget;
  inputs_->setObjectName("inputs");
  inputs_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  inputs_->setStatusTip(tr("The files to read, in this order"));
  add_ = new QPushButton(tr("&Add..."));
  add_->setStatusTip(tr("Add files to the list of inputs"));
  remove_ = new QPushButton(tr("&Remove"));
  remove_->setStatusTip(tr("Take the selected files out of the list of inputs"));
  auto* inputButtons = new QVBoxLayout;
  inputButtons->addWidget(add_);
  inputButtons->addWidget(remove_);
  inputButtons->addStretch();
  auto* inputRow = new QHBoxLayout;
  inputRow->setContentsMargins(0, 0, 0, 0);
  inputRow->addWidget(inputs_, 1);
  inputRow->addLayout(inputButtons);
  auto* inputLabel = new QLabel(tr("&Input files:"));
  inputLabel->setBuddy(inputs_);
  form_->addRow(inputLabel, inputRow);

  // The target: a field with a browse button.
  target_ = new QLineEdit;
  target_->setObjectName("target");
  change_ = new QPushButton(tr("Bro&wse..."));
  change_->setStatusTip(tr("Choose the file to write"));
  auto* targetRow = new QHBoxLayout;
  targetRow->setContentsMargins(0, 0, 0, 0);
  targetRow->addWidget(target_, 1);
  targetRow->addWidget(change_);
  auto* targetLabel = new QLabel(tr("&Target:"));
  targetLabel->setBuddy(target_);
  form_->addRow(targetLabel, targetRow);

  progress_ = new QProgressBar;
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setStatusTip(tr("How far the work has come"));
  progressText_ = new QLabel;
  progressText_->setObjectName("progressText");
  progressText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  progressText_->setWordWrap(true);
  // Room for two lines from the start, so that a report does not move the buttons.
  progressText_->setMinimumHeight(2 * progressText_->fontMetrics().lineSpacing());
  progressText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  layout->addSpacing(6);
  layout->addWidget(progress_);
  layout->addWidget(progressText_);
  layout->addStretch();

  // Help on the left; the work's own buttons on the right, in the order
  // they are used.
  help_ = new QPushButton(QIcon::fromTheme("help-contents"), tr("&Help"));
  help_->setStatusTip(tr("Show how this works"));
  start_ = new QPushButton(startText);
  start_->setDefault(true);
  cancel_ = new QPushButton(tr("&Cancel"));
  cancel_->setStatusTip(tr("Stop the work; the target is left as it was"));
  close_ = new QPushButton(tr("Cl&ose"));
  close_->setStatusTip(tr("Close the window"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help_);
  buttons->addStretch();
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  setCentralWidget(central);
  statusBar();

  connect(add_, &QPushButton::clicked, this, &CompanionWindow::addInputs);
  connect(remove_, &QPushButton::clicked, this, &CompanionWindow::removeInputs);
  connect(change_, &QPushButton::clicked, this, &CompanionWindow::chooseTarget);
  connect(start_, &QPushButton::clicked, this, &CompanionWindow::start);
  connect(cancel_, &QPushButton::clicked, this, &CompanionWindow::cancelJob);
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(help_, &QPushButton::clicked, this, &CompanionWindow::showHelp);
  connect(inputs_->model(), &QAbstractItemModel::rowsInserted, this, &CompanionWindow::updateButtons);
  connect(inputs_->model(), &QAbstractItemModel::rowsRemoved, this, &CompanionWindow::updateButtons);
  connect(inputs_, &QListWidget::itemSelectionChanged, this, &CompanionWindow::updateButtons);
  connect(target_, &QLineEdit::textChanged, this, &CompanionWindow::updateButtons);

  jobProgress_.cancelled = [this] { return cancelled_.load(); };
  jobProgress_.progress = [this](const std::string& text, int percent) {
    QMetaObject::invokeMethod(
        this,
        [this, shown = QString::fromStdString(text), percent] {
          progress_->setValue(percent);
          progressText_->setText(shown);
        },
        Qt::QueuedConnection);
  };
  setAcceptDrops(true);
  resize(560, 420);
  updateButtons();
}

CompanionWindow::~CompanionWindow() {
  cancelled_ = true;
  if (worker_.joinable()) worker_.join();
  // The help window keeps its place in the store, which goes with this window.
  delete helpWindow_;
}

void CompanionWindow::addSettingsRow(const QString& label, QWidget* field, QWidget* buddy) {
  auto* text = new QLabel(label);
  text->setBuddy(buddy ? buddy : field);
  form_->insertRow(form_->rowCount() - 1, text, field);
}

bool CompanionWindow::canStart() const { return inputs_->count() > 0 && !target_->text().trimmed().isEmpty(); }

void CompanionWindow::updateButtons() {
  const bool running = isRunning();
  start_->setEnabled(!running && canStart());
  cancel_->setEnabled(running);
  remove_->setEnabled(!running && !inputs_->selectedItems().isEmpty());
  for (QWidget* w : {static_cast<QWidget*>(add_), static_cast<QWidget*>(change_), static_cast<QWidget*>(target_),
                     static_cast<QWidget*>(inputs_)}) {
    w->setEnabled(!running);
  }
  for (int row = 0; row < form_->rowCount(); ++row) {
    if (QLayoutItem* item = form_->itemAt(row, QFormLayout::FieldRole); item && item->widget()) {
      item->widget()->setEnabled(!running);
    }
  }
}

void CompanionWindow::addInputs() {
  const QStringList files = QFileDialog::getOpenFileNames(this, tr("Add Input Files"), QString(), inputFilter());
  for (const QString& file : files) inputs_->addItem(file);
}

void CompanionWindow::removeInputs() {
  for (QListWidgetItem* item : inputs_->selectedItems()) delete item;
}

void CompanionWindow::chooseTarget() {
  QString selected;
  const QString file = saveFileName(this, tr("Choose the Target"), target_->text(), targetFilter(), &selected);
  if (file.isEmpty()) return;
  // The extension of the chosen kind: the first pattern of its filter.
  const int star = selected.indexOf("*.");
  const QString extension = star < 0 ? QString() : selected.mid(star + 1, selected.indexOf(')', star) - star - 1);
  target_->setText(withExtension(file, extension.contains('*') ? QString() : extension));
}

void CompanionWindow::start() {
  if (isRunning() || !canStart()) return;
  auto job = makeJob();
  cancelled_ = false;
  progress_->setValue(0);
  progressText_->clear();
  worker_ = std::thread([this, job] {
    JobResult result = job(jobProgress_);
    QMetaObject::invokeMethod(this, [this, result] { finish(result); }, Qt::QueuedConnection);
  });
  updateButtons();
  statusBar()->showMessage(tr("Working..."));
}

void CompanionWindow::cancelJob() {
  if (!isRunning()) return;
  cancelled_ = true;
  cancel_->setEnabled(false);
  statusBar()->showMessage(tr("Cancelling..."));
}

void CompanionWindow::finish(const JobResult& result) {
  if (worker_.joinable()) worker_.join();
  lastResult_ = result;
  updateButtons();
  progress_->setValue(result.ok ? 100 : 0);
  const QString report = QString::fromStdString(result.report);
  if (result.ok || result.cancelled) {
    // The last line says what became of the target.
    progressText_->setText(report.section('\n', -1));
    statusBar()->showMessage(report.section('\n', -1), 10000);
  } else {
    progressText_->setText(report.section('\n', -1));
    statusBar()->clearMessage();
    auto* box = new QMessageBox(QMessageBox::Warning, failureCaption(), report, QMessageBox::Ok, this);
    box->setObjectName("failureBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
  emit jobFinished(result.ok);
}

void CompanionWindow::closeEvent(QCloseEvent* event) {
  if (isRunning()) {
    // Cancelling takes effect at the builder's next line, at once.
    cancelled_ = true;
    worker_.join();
  }
  if (helpWindow_) helpWindow_->close();
  event->accept();
}

void CompanionWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (isRunning() || !event->mimeData()->hasUrls()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      return;
    }
  }
}

void CompanionWindow::dropEvent(QDropEvent* event) {
  if (isRunning()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) inputs_->addItem(url.toLocalFile());
  }
  event->acceptProposedAction();
}

void CompanionWindow::showHelp() {
  if (!helpWindow_) {
    helpStore_ = std::make_unique<QtSettingsStore>();
    helpWindow_ = new HelpWindow(*helpStore_, QString(), nullptr);
    helpWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
  }
  helpWindow_->showPage(helpPage_);
}

// ---------------------------------------------------------------------------

BuilderWindow::BuilderWindow(QWidget* parent)
    : CompanionWindow(tr("KEA&Kindred Dictionary Builder"), tr("&Build"), "kkbuild.html", parent) {
  startButton()->setStatusTip(tr("Build the dictionary from the input files"));
  inputList()->setStatusTip(tr("Text files of builder input lines (UTF-8), read in this order"));
  targetEdit()->setStatusTip(tr("The dictionary (.kkd) to write; it is replaced only when the new one is complete"));

  alphabet_ = new QLineEdit("english");
  alphabet_->setObjectName("alphabet");
  alphabet_->setStatusTip(tr("english for the built-in letters, or an alphabet file of 256 bytes"));
  auto* alphabetButton = new QPushButton(tr("Alphabet &file..."));
  alphabetButton->setStatusTip(tr("Choose an alphabet file"));
  auto* alphabetRow = new QWidget;
  auto* alphabetLayout = new QHBoxLayout(alphabetRow);
  alphabetLayout->setContentsMargins(0, 0, 0, 0);
  alphabetLayout->addWidget(alphabet_, 1);
  alphabetLayout->addWidget(alphabetButton);
  addSettingsRow(tr("A&lphabet:"), alphabetRow, alphabet_);
  connect(alphabetButton, &QPushButton::clicked, this, &BuilderWindow::chooseAlphabet);

  description_ = new QLineEdit;
  description_->setObjectName("description");
  description_->setMaxLength(999);
  description_->setStatusTip(tr("The description stored in the dictionary"));
  addSettingsRow(tr("&Description:"), description_);

  shortest_ = new QSpinBox;
  shortest_->setObjectName("shortest");
  shortest_->setRange(1, 100);
  shortest_->setValue(1);
  shortest_->setStatusTip(tr("Headwords with fewer letters are left out"));
  longest_ = new QSpinBox;
  longest_->setObjectName("longest");
  longest_->setRange(1, 100);
  longest_->setValue(100);
  longest_->setStatusTip(tr("Headwords with more letters are left out"));
  auto* lengths = new QWidget;
  auto* lengthsLayout = new QHBoxLayout(lengths);
  lengthsLayout->setContentsMargins(0, 0, 0, 0);
  lengthsLayout->addWidget(shortest_);
  auto* longestLabel = new QLabel(tr("Lon&gest:"));
  longestLabel->setBuddy(longest_);
  lengthsLayout->addSpacing(12);
  lengthsLayout->addWidget(longestLabel);
  lengthsLayout->addWidget(longest_);
  lengthsLayout->addStretch();
  addSettingsRow(tr("&Shortest:"), lengths, shortest_);
  connect(alphabet_, &QLineEdit::textChanged, this, &BuilderWindow::updateButtons);
  updateButtons();
}

void BuilderWindow::chooseAlphabet() {
  const QString file = QFileDialog::getOpenFileName(this, tr("Choose an Alphabet File"), QString(),
                                                    tr("All Files (*)"));
  if (!file.isEmpty()) alphabet_->setText(file);
}

std::function<JobResult(const JobProgress&)> BuilderWindow::makeJob() {
  BuildJob job;
  job.inputs = fileNames(inputList());
  job.alphabet = alphabet_->text().trimmed().isEmpty() ? "english" : alphabet_->text().trimmed().toStdString();
  job.description = description_->text().toStdString();
  job.shortest = shortest_->value();
  job.longest = longest_->value();
  job.target = targetEdit()->text().trimmed().toStdString();
  return [job](const JobProgress& progress) { return runBuildJob(job, progress); };
}

QString BuilderWindow::inputFilter() const { return tr("Text Files (*.txt);;All Files (*)"); }
QString BuilderWindow::targetFilter() const { return tr("KEA&Kindred Dictionary (*.kkd);;All Files (*)"); }
QString BuilderWindow::failureCaption() const { return tr("Dictionary Build Failed"); }

// ---------------------------------------------------------------------------

MergeWindow::MergeWindow(QWidget* parent)
    : CompanionWindow(tr("KEA&Kindred Word List Merge"), tr("&Merge"), "kkmerge.html", parent) {
  startButton()->setStatusTip(tr("Merge the inputs into the target"));
  inputList()->setStatusTip(tr("Word lists (UTF-8 text, one entry per line) and dictionaries (.kkd) to merge"));
  targetEdit()->setStatusTip(
      tr("A text file for a word list, or a name ending in .kkd for a dictionary (the old one is kept as a backup)"));

  fold_ = new QCheckBox(tr("Merge entries with the same &letters (case, accents and punctuation ignored)"));
  fold_->setObjectName("fold");
  fold_->setStatusTip(tr("Keep one of Ice-cream, icecream and ICE CREAM: the first met"));
  addSettingsRow(tr("Duplicates:"), fold_);

  description_ = new QLineEdit;
  description_->setObjectName("description");
  description_->setMaxLength(999);
  description_->setPlaceholderText(tr("Merged from the inputs' names"));
  description_->setStatusTip(tr("The description of a merged dictionary (.kkd target only)"));
  addSettingsRow(tr("&Description:"), description_);
}

std::function<JobResult(const JobProgress&)> MergeWindow::makeJob() {
  MergeJob job;
  job.inputs = fileNames(inputList());
  job.fold = fold_->isChecked();
  job.target = targetEdit()->text().trimmed().toStdString();
  if (isDictionaryTarget(job.target)) job.description = description_->text().toStdString();
  return [job](const JobProgress& progress) { return runMergeJob(job, progress); };
}

QString MergeWindow::inputFilter() const {
  return tr("Word Lists and Dictionaries (*.txt *.kkd);;Text Files (*.txt);;KEA&Kindred Dictionaries (*.kkd);;"
            "All Files (*)");
}
QString MergeWindow::targetFilter() const {
  return tr("Text Files (*.txt);;KEA&Kindred Dictionary (*.kkd);;All Files (*)");
}
QString MergeWindow::failureCaption() const { return tr("Word List Merge Failed"); }

}  // namespace kea::ui

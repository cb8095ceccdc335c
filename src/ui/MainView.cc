#include "ui/MainView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "dictionary/DictionaryList.h"
#include "settings/MainViewState.h"
#include "settings/UserOptions.h"
#include "text/StringTable.h"
#include "ui/CommandTexts.h"
#include "ui/ProgressBarWidget.h"
#include "ui/QtFonts.h"
#include "ui/QtText.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"

namespace kea::ui {

namespace {

// The length boxes take any number the user types; the controller clamps
// it into 1…100 and couples the two boxes when the edit is finished
// (Return, the focus leaving, an arrow), so "15" typed into Longest does
// not pull Shortest down to the "1" it passes through.
constexpr int kLengthBoxLimit = 999;

// Room for the buttons a window manager puts in a title bar beside the title.
constexpr int kTitleBarButtonsWidth = 160;

// A menu opened from the keyboard takes the focus (the bar first, then the
// popup); the commands in it still apply to the control the user was in.
bool isMenu(const QWidget* widget) {
  return qobject_cast<const QMenuBar*>(widget) != nullptr || qobject_cast<const QMenu*>(widget) != nullptr;
}

}  // namespace

MainView::MainView(SearchWorkspace& workspace, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      controller_(workspace, *this),
      patternBox_(new QComboBox(this)),
      modeButton_(new QToolButton(this)),
      searchButton_(new QPushButton(this)),
      commonFirstButton_(new QToolButton(this)),
      meaningButton_(new QToolButton(this)),
      meaningLabel_(new QLabel(tr("Meaning:"), this)),
      meaningBox_(new QLineEdit(this)),
      shortestBox_(new QSpinBox(this)),
      longestBox_(new QSpinBox(this)),
      progressBar_(new ProgressBarWidget(controller_.progress(), this)),
      splitter_(new QSplitter(Qt::Vertical, this)),
      modeMenu_(new QMenu(this)),
      wordSearchAction_(new QAction(this)),
      fullTextSearchAction_(new QAction(this)),
      phraseAnagramAction_(new QAction(this)),
      enumerationBox_(new QLineEdit(this)),
      enumerationLabel_(new QLabel(tr("E&numeration:"), this)) {
  auto* patternLabel = new QLabel(tr("P&attern"), this);
  patternLabel->setBuddy(patternBox_);
  patternBox_->setEditable(true);
  patternBox_->setInsertPolicy(QComboBox::NoInsert);
  patternBox_->setMaxCount(MainViewState::kMaxPatternHistory);
  patternBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  patternBox_->setToolTip(tr("Enter the word pattern you are searching for here (see the KEA Quick Reference for examples)"));
  patternBox_->lineEdit()->setClearButtonEnabled(true);
  // Many patterns are the beginnings of older ones, so the box never
  // completes what is typed: the history is offered by the drop-down only.
  patternBox_->setCompleter(nullptr);

  modeButton_->setArrowType(Qt::DownArrow);
  modeButton_->setToolTip(tr("Click on the down arrow to switch between Word Search and Full Text Search mode"));
  searchButton_->setToolTip(tr("Click on this button to start, stop and resume searching"));
  searchButton_->setEnabled(false);
  searchButton_->setAutoDefault(false);
  commonFirstButton_->setText(tr("&Common first"));
  commonFirstButton_->setCheckable(true);
  commonFirstButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  commonFirstButton_->setAutoRaise(false);
  const QString commonTip = tr("List the most common entries first, by the commonness scores kept beside the "
                               "dictionary (rare entries are drawn fainter)");
  commonFirstButton_->setToolTip(commonTip);
  commonFirstButton_->setStatusTip(commonTip);
  connect(commonFirstButton_, &QToolButton::toggled, this, &MainView::commonFirstToggled);

  meaningButton_->setText(tr("&Meaning"));
  meaningButton_->setCheckable(true);
  meaningButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const QString meaningButtonTip = tr("Show the Meaning box: say what the answer means, and a word search lists the likeliest answers "
                                          "first");
  meaningButton_->setToolTip(meaningButtonTip);
  meaningButton_->setStatusTip(meaningButtonTip);
  meaningLabel_->setBuddy(meaningBox_);
  meaningBox_->setPlaceholderText(tr("What the answer means, such as: negatively charged particle"));
  const QString meaningBoxTip =
      tr("What the answer means, as a clue says it (\"negatively charged particle\"): the entries that fit the "
         "pattern are listed most likely first");
  meaningBox_->setToolTip(meaningBoxTip);
  meaningBox_->setStatusTip(meaningBoxTip);
  meaningBox_->setClearButtonEnabled(true);
  connect(meaningButton_, &QToolButton::toggled, this, [this](bool on) {
    showMeaningBox(on);
    if (on) meaningBox_->setFocus(Qt::ShortcutFocusReason);
    emit meaningBoxToggled(on);
  });
  // Return in the box searches, as it does anywhere in the window.
  connect(meaningBox_, &QLineEdit::textChanged, this, &MainView::meaningEdited);

  auto* shortestLabel = new QLabel(tr("Sho&rtest:"), this);
  auto* longestLabel = new QLabel(tr("&Longest:"), this);
  shortestLabel->setBuddy(shortestBox_);
  longestLabel->setBuddy(longestBox_);
  for (QSpinBox* box : {shortestBox_, longestBox_}) {
    box->setRange(0, kLengthBoxLimit);
    box->setAccelerated(true);
    box->setKeyboardTracking(false);
  }
  shortestBox_->setValue(MainViewState::kShortestLength);
  longestBox_->setValue(MainViewState::kLongestLength);
  shortestBox_->setToolTip(tr("Update this number to change the shortest length of word that will be matched"));
  longestBox_->setToolTip(tr("Update this number to change the longest length of word that will be matched"));

  applyCommandText(wordSearchAction_, CommandId::WordSearch);
  applyCommandText(fullTextSearchAction_, CommandId::FullTextSearch);
  applyCommandText(phraseAnagramAction_, CommandId::PhraseAnagram);
  for (QAction* action : {wordSearchAction_, fullTextSearchAction_, phraseAnagramAction_}) {
    action->setCheckable(true);
    action->setShortcutContext(Qt::WindowShortcut);
    modeMenu_->addAction(action);
    addAction(action);
  }
  wordSearchAction_->setChecked(true);
  connect(wordSearchAction_, &QAction::triggered, this, [this] {
    controller_.setMode(false);
    updateModeActions();
    emit commandStateChanged();
  });
  connect(fullTextSearchAction_, &QAction::triggered, this, [this] {
    controller_.setMode(true);
    updateModeActions();
    emit commandStateChanged();
  });
  connect(phraseAnagramAction_, &QAction::triggered, this, [this] {
    controller_.setMode(SearchMode::PhraseAnagram);
    updateModeActions();
    emit commandStateChanged();
  });

  enumerationLabel_->setBuddy(enumerationBox_);
  enumerationBox_->setPlaceholderText(QStringLiteral("(4,3)"));
  const QString enumerationTip =
      tr("The word lengths of the answer, as a clue gives them: (4,3) or (5-4). Results have the same shape");
  enumerationBox_->setToolTip(enumerationTip);
  enumerationBox_->setStatusTip(enumerationTip);
  enumerationBox_->setClearButtonEnabled(true);
  const QFontMetrics metrics = enumerationBox_->fontMetrics();
  enumerationBox_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("(4,3)")) + 24);
  enumerationBox_->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("(10,10-10)")) + 40);
  // However narrow the window, the bar keeps room to show a length or two.
  progressBar_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("10 11 12 13")));
  connect(enumerationBox_, &QLineEdit::textEdited, this, [this] { controller_.enumerationChanged(); });

  auto* controls = new QGridLayout;
  controls->addWidget(patternLabel, 0, 0);
  auto* patternRow = new QHBoxLayout;
  patternRow->setSpacing(2);
  patternRow->addWidget(patternBox_, 1);
  patternRow->addWidget(modeButton_);
  patternRow->addSpacing(4);
  patternRow->addWidget(searchButton_);
  patternRow->addWidget(commonFirstButton_);
  patternRow->addWidget(meaningButton_);
  controls->addLayout(patternRow, 0, 1, 1, 5);
  // The meaning goes with the pattern it ranks, right under it; hidden, its
  // row takes no room.
  controls->addWidget(meaningLabel_, 1, 0);
  controls->addWidget(meaningBox_, 1, 1, 1, 5);
  meaningLabel_->hide();
  meaningBox_->hide();
  controls->addWidget(shortestLabel, 2, 0);
  controls->addWidget(shortestBox_, 2, 1);
  controls->addWidget(longestLabel, 2, 2);
  controls->addWidget(longestBox_, 2, 3);
  // The enumeration shapes the answer as the lengths do, so it sits with them.
  auto* enumerationRow = new QHBoxLayout;
  enumerationRow->setSpacing(6);
  enumerationRow->addSpacing(6);
  enumerationRow->addWidget(enumerationLabel_);
  enumerationRow->addWidget(enumerationBox_);
  controls->addLayout(enumerationRow, 2, 4);
  controls->setColumnStretch(5, 1);
  // The bar has a row of its own, as wide as the window: squeezed beside
  // the boxes it had some 70 pixels for a dozen lengths, and it made the
  // window's narrowest width wider than the lists need.
  controls->addWidget(progressBar_, 3, 0, 1, 6);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(splitter_, 1);
  splitter_->setChildrenCollapsible(false);

  connect(patternBox_, &QComboBox::editTextChanged, this, &MainView::patternEdited);
  connect(searchButton_, &QPushButton::clicked, this, &MainView::search);
  connect(modeButton_, &QToolButton::clicked, this, &MainView::showModeMenu);
  connect(shortestBox_, &QSpinBox::valueChanged, this, [this] {
    controller_.lengthChanged(LengthBox::Shortest);
    emit commandStateChanged();
  });
  connect(longestBox_, &QSpinBox::valueChanged, this, [this] {
    controller_.lengthChanged(LengthBox::Longest);
    emit commandStateChanged();
  });
  connect(patternBox_->lineEdit(), &QLineEdit::selectionChanged, this, &MainView::commandStateChanged);
  patternBox_->installEventFilter(this);
  patternBox_->lineEdit()->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && !isMenu(now)) lastFocus_ = now;
    emit commandStateChanged();
  });

  stepTimer_.setInterval(0);
  connect(&stepTimer_, &QTimer::timeout, this, &MainView::runSlice);
  controller_.dictionariesChanged();
  buildPanes();
}

void MainView::showMeaningBox(bool on) {
  {
    const QSignalBlocker quiet(meaningButton_);
    meaningButton_->setChecked(on);
  }
  meaningLabel_->setVisible(on);
  meaningBox_->setVisible(on);
  meaningEdited();
}

void MainView::meaningEdited() {
  // A hidden box asks nothing. Characters the dictionaries cannot hold
  // cannot be in a definition either: they part words like a space.
  std::string text;
  if (meaningBox_->isVisibleTo(this)) {
    for (const QChar c : meaningBox_->text()) text += fromQString(QString(c)).value_or(" ");
  }
  if (text == controller_.meaning()) return;
  controller_.setMeaning(text);
  emit commandStateChanged();
}

void MainView::showCommonFirst(bool on) {
  const QSignalBlocker quiet(commonFirstButton_);
  commonFirstButton_->setChecked(on);
}

MainView::~MainView() {
  stepTimer_.stop();
  // The widgets below go after this object has stopped being a MainView:
  // nothing they (or the application) send on the way may reach it.
  disconnect(qApp, nullptr, this, nullptr);
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
  // Panes hold the controller's lists: they go first.
  removePanes();
}

// ---------------------------------------------------------------------------
// Panes

void MainView::removePanes() {
  // Deleting a pane can move the focus and so ask for the commands' states,
  // which read the panes: none of them may be listed while they go.
  std::vector<ResultsPane*> going;
  going.swap(panes_);
  for (ResultsPane* pane : going) delete pane;
}

void MainView::buildPanes() {
  removePanes();
  for (int i = 0; i < controller_.groupCount(); ++i) {
    auto* pane = new ResultsPane(i, controller_.group(i), splitter_);
    // Captions name a dictionary by its file's name; the tip says where it is.
    if (const DictionaryList* list = workspace_.dictionaries(); list != nullptr && i < list->count()) {
      pane->caption()->setToolTip(toQString(list->path(i)));
    }
    pane->model()->setMeaningMatches([this, i](std::string_view word) -> std::optional<std::vector<std::string>> {
      if (!controller_.rankedByMeaning(i)) return std::nullopt;
      return controller_.meaningMatches(i, word);
    });
    ResultsView* view = pane->view();
    view->setLocked(!resultsEnabled_);
    connect(view, &ResultsView::focused, this, [this, i] { emit paneFocused(i); });
    connect(view, &ResultsView::contextMenuWanted, this,
            [this, i](ResultsList::MenuKind kind, const QPoint& at) { emit paneContextMenu(i, kind, at); });
    connect(view, &ResultsView::rowDoubleClicked, this, [this, i](bool shift) { emit paneDoubleClicked(i, shift); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainView::commandStateChanged);
    connect(pane, &ResultsPane::captionDoubleClicked, this, [this, i] { emit captionDoubleClicked(i); });
    connect(pane, &ResultsPane::captionContextMenu, this,
            [this, i](const QPoint& at) { emit captionContextMenu(i, at); });
    splitter_->addWidget(pane);
    panes_.push_back(pane);
  }
  for (int i = 0; i < splitter_->count() - 1; ++i) splitter_->handle(i + 1)->installEventFilter(this);
  showStaleness();
  emit commandStateChanged();
}

void MainView::setPaneOrientation(int orientation) {
  orientation_ = orientation == 1 ? 1 : 0;
  splitter_->setOrientation(orientation_ == 1 ? Qt::Horizontal : Qt::Vertical);
}

std::vector<int> MainView::paneSizes() const {
  const QList<int> sizes = splitter_->sizes();
  return std::vector<int>(sizes.begin(), sizes.end());
}

int MainView::paneArea() const {
  return splitter_->orientation() == Qt::Horizontal ? splitter_->width() : splitter_->height();
}

void MainView::setPaneSizes(const std::vector<int>& sizes) {
  splitter_->setSizes(QList<int>(sizes.begin(), sizes.end()));
}

void MainView::applyFonts(const UserOptions& options) {
  const QFont word = toQFont(options.fontOutput);
  const QFont rest = toQFont(options.fontOutputAnnotation);
  for (ResultsPane* pane : panes_) {
    pane->view()->setFonts(word, toQColor(options.fontOutput.colour), rest,
                           toQColor(options.fontOutputAnnotation.colour));
  }
  patternBox_->setFont(toQFont(options.fontPattern));
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
  // A menu opened from the keyboard takes the focus, and the line edit
  // drops its selection when it loses it that way: it is kept here, for
  // the menu's Cut and Copy and for the user when the menu closes.
  if (watched == patternBox_ || watched == patternBox_->lineEdit()) {
    QLineEdit* edit = patternBox_->lineEdit();
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::MenuBarFocusReason && edit->hasSelectedText()) {
      keptSelection_ = {edit->selectionStart(), static_cast<int>(edit->selectedText().size()), edit->text()};
    } else if (event->type() == QEvent::FocusIn) {
      restorePatternSelection();
    }
    return QWidget::eventFilter(watched, event);
  }
  // A pane border let go: the sizes are worth keeping.
  if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QSplitterHandle*>(watched) != nullptr) {
    emit paneSizesChanged();
  }
  return QWidget::eventFilter(watched, event);
}

bool MainView::patternHasSelection() const {
  return patternBox_->lineEdit()->hasSelectedText() ||
         (keptSelection_.length > 0 && keptSelection_.text == patternBox_->lineEdit()->text());
}

void MainView::restorePatternSelection() {
  QLineEdit* edit = patternBox_->lineEdit();
  if (keptSelection_.length > 0 && keptSelection_.text == edit->text() && !edit->hasSelectedText()) {
    edit->setSelection(keptSelection_.start, keptSelection_.length);
  }
  keptSelection_ = {};
}

int MainView::focusedPane() const {
  for (const ResultsPane* pane : panes_) {
    if (pane->view()->hasFocus()) return pane->number();
  }
  return -1;
}

void MainView::copy(int activeGroup) {
  if (focus() == Control::PatternBox) {
    restorePatternSelection();
    patternBox_->lineEdit()->copy();
    return;
  }
  if (activeGroup < 0 || activeGroup >= controller_.groupCount()) return;
  const ResultsSelection& selection = resultsSelection(activeGroup);
  if (selection.count() == 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Lines end the Linux way on the clipboard.
  QApplication::clipboard()->setText(toQString(controller_.group(activeGroup).list.copyText(selection, "\n")));
  QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------
// The search

void MainView::search() {
  controller_.searchClicked();
  followSearch();
}

void MainView::orderChanged() {
  if (controller_.orderChanged()) followSearch();
}

void MainView::cancelSearch() {
  controller_.cancel();
  followSearch();
}

void MainView::closeView() {
  controller_.close();
  followSearch();
}

// Starts driving a search that began, or stops driving one that stopped.
void MainView::followSearch() {
  const bool searching = controller_.state() == SearchState::Searching;
  if (searching && !stepTimer_.isActive()) {
    syncModels();
    stepTimer_.start();
  } else if (!searching && stepTimer_.isActive()) {
    stepTimer_.stop();
    if (controller_.state() != SearchState::Closing) syncModels();
    emit searchStopped();
  }
  emit commandStateChanged();
}

void MainView::runSlice() {
  QElapsedTimer slice;
  slice.start();
  SearchController::Step step = SearchController::Step::More;
  while (step == SearchController::Step::More && slice.elapsed() < kSliceMilliseconds) step = controller_.step(1);
  // A closing view leaves its lists alone.
  if (controller_.state() != SearchState::Closing) syncModels();
  if (step == SearchController::Step::Finished) {
    stepTimer_.stop();
    emit commandStateChanged();
    emit searchStopped();
  }
}

void MainView::syncModels() {
  for (ResultsPane* pane : panes_) pane->model()->sync();
  showStaleness();
  // The lists grew: Select All and the like may apply now.
  emit commandStateChanged();
}

void MainView::showStaleness() {
  for (ResultsPane* pane : panes_) pane->view()->setStale(controller_.resultsStale(pane->number()));
}

void MainView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // The Search button is the window's default button.
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (searchButton_->isEnabled()) search();
        return;
      }
      break;
    case Qt::Key_Escape:
      cancelSearch();
      return;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}

void MainView::patternEdited(const QString& text) {
  platform::CodecError error;
  if (auto pattern = fromQString(text, &error)) {
    pattern_ = std::move(*pattern);
    controller_.patternChanged();
  } else {
    controller_.patternUnusable(unusableCharacterText(error.codePoint));
  }
  showStaleness();
  emit commandStateChanged();
}

void MainView::showModeMenu() {
  updateModeActions();
  modeMenu_->popup(searchButton_->mapToGlobal(QPoint(0, 0)));
}

void MainView::updateModeActions() {
  const SearchMode mode = controller_.mode();
  wordSearchAction_->setChecked(mode == SearchMode::Word);
  fullTextSearchAction_->setChecked(mode == SearchMode::FullText);
  phraseAnagramAction_->setChecked(mode == SearchMode::PhraseAnagram);
  // Definitions are searched for words, not for shapes.
  const bool shaped = mode != SearchMode::FullText;
  enumerationBox_->setVisible(shaped);
  enumerationLabel_->setVisible(shaped);
}

// ---------------------------------------------------------------------------
// SearchHost

std::string MainView::patternText() { return pattern_; }

int MainView::historyCount() { return patternBox_->count(); }

std::string MainView::historyItem(int index) { return fromQString(patternBox_->itemText(index)).value_or(""); }

void MainView::insertHistory(std::string_view text) {
  // Adding to the list must not touch the text being edited.
  const QSignalBlocker blocker(patternBox_);
  const QString edited = patternBox_->currentText();
  patternBox_->insertItem(0, toQString(text));
  while (patternBox_->count() > MainViewState::kMaxPatternHistory) patternBox_->removeItem(patternBox_->count() - 1);
  patternBox_->setCurrentIndex(-1);
  patternBox_->setEditText(edited);
}

std::string MainView::enumerationText() {
  // A character no dictionary holds is no enumeration either: "?" gets the
  // enumeration's own message.
  return fromQString(enumerationBox_->text()).value_or("?");
}

std::string MainView::patternSelection() {
  return fromQString(patternBox_->lineEdit()->selectedText()).value_or("");
}

QSpinBox* MainView::lengthSpin(LengthBox box) const {
  return box == LengthBox::Shortest ? shortestBox_ : longestBox_;
}

int MainView::lengthBox(LengthBox box) { return lengthSpin(box)->value(); }

void MainView::setLengthBox(LengthBox box, int value) {
  const QSignalBlocker blocker(lengthSpin(box));
  lengthSpin(box)->setValue(value);
}

namespace {

// The labels the controller gives the Search button, so that lupdate lists
// them and the button shows them translated.
constexpr const char* kSearchButtonLabels[] = {
    QT_TRANSLATE_NOOP("MainView", "Word &Search"), QT_TRANSLATE_NOOP("MainView", "Full Text &Search"),
    QT_TRANSLATE_NOOP("MainView", "Phrase &Search"), QT_TRANSLATE_NOOP("MainView", "&Stop"),
    QT_TRANSLATE_NOOP("MainView", "Re&sume")};

}  // namespace

void MainView::setSearchButtonLabel(std::string_view label) {
  for (const char* known : kSearchButtonLabels) {
    if (label == known) {
      searchButton_->setText(QCoreApplication::translate("MainView", known));
      return;
    }
  }
  searchButton_->setText(toQString(label));
}

void MainView::enableControl(Control control, bool enabled) {
  switch (control) {
    case Control::PatternBox:
      patternBox_->setEnabled(enabled);
      break;
    case Control::SearchButton:
      searchButton_->setEnabled(enabled);
      break;
    case Control::ShortestBox:
      shortestBox_->setEnabled(enabled);
      break;
    case Control::LongestBox:
      longestBox_->setEnabled(enabled);
      break;
    case Control::SearchModeButton:
      modeButton_->setEnabled(enabled);
      // The order cannot change under a running search either. The mode
      // menu's commands are the window's to enable, by their rules.
      commonFirstButton_->setEnabled(enabled);
      break;
    case Control::EnumerationBox:
      enumerationBox_->setEnabled(enabled);
      break;
    case Control::ResultsArea:
      // The lists stay readable while they fill; they only take no input.
      resultsEnabled_ = enabled;
      for (ResultsPane* pane : panes_) pane->view()->setLocked(!enabled);
      break;
    case Control::OptionsWindow:
      emit optionsWindowEnabled(enabled);
      break;
    case Control::None:
      break;
  }
}

void MainView::searchStateChanged() { emit commandStateChanged(); }

void MainView::setStatus(std::string_view text) {
  status_ = toQString(text);
  emit statusChanged(status_);
}

SearchHost::Control MainView::focus() {
  const QWidget* focused = QApplication::focusWidget();
  if (focused != nullptr && isMenu(focused)) focused = lastFocus_;
  if (focused == nullptr) return Control::None;
  if (focused == patternBox_ || patternBox_->isAncestorOf(focused)) return Control::PatternBox;
  if (focused == searchButton_) return Control::SearchButton;
  if (focused == shortestBox_ || shortestBox_->isAncestorOf(focused)) return Control::ShortestBox;
  if (focused == longestBox_ || longestBox_->isAncestorOf(focused)) return Control::LongestBox;
  if (focused == modeButton_) return Control::SearchModeButton;
  if (splitter_->isAncestorOf(focused)) return Control::ResultsArea;
  return Control::None;
}

void MainView::setFocus(Control control) {
  switch (control) {
    case Control::PatternBox:
      patternBox_->setFocus(Qt::OtherFocusReason);
      break;
    case Control::SearchButton:
      searchButton_->setFocus(Qt::OtherFocusReason);
      break;
    case Control::ShortestBox:
      shortestBox_->setFocus(Qt::OtherFocusReason);
      break;
    case Control::LongestBox:
      longestBox_->setFocus(Qt::OtherFocusReason);
      break;
    case Control::SearchModeButton:
      modeButton_->setFocus(Qt::OtherFocusReason);
      break;
    case Control::ResultsArea:
      if (!panes_.empty()) panes_.front()->view()->setFocus(Qt::OtherFocusReason);
      break;
    default:
      break;
  }
}

SearchHost::Answer MainView::messageBox(std::string_view text, std::string_view caption, Buttons buttons,
                                         Icon icon) {
  QMessageBox box(this);
  box.setWindowTitle(toQString(caption));
  box.setText(toQString(text));
  switch (icon) {
    case Icon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case Icon::None:
      break;
  }
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::RetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      break;
  }
  // A short message would make the box narrower than its title, which the
  // window manager then cuts ("Text File... ve Error"): the box keeps room
  // for the whole title and the title bar's buttons beside it. (The box
  // lays itself out anew as icon and buttons are set, so this comes last.)
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtonsWidth;
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                  1, grid->columnCount());
  }
  switch (box.exec()) {
    case QMessageBox::Retry:
      return Answer::Retry;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Ok;
  }
}

void MainView::progressChanged() { progressBar_->modelChanged(); }

void MainView::labelChanged(int group) {
  if (group >= 0 && group < paneCount()) panes_[static_cast<std::size_t>(group)]->updateCaption();
}

const ResultsSelection& MainView::resultsSelection(int group) {
  if (group < 0 || group >= paneCount()) return noSelection();
  return panes_[static_cast<std::size_t>(group)]->view()->selection();
}

}  // namespace kea::ui

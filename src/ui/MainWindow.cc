#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <QDesktopServices>
#include <QUrl>

#include "settings/Persist.h"
#include "text/StringTable.h"
#include "ui/AboutDialog.h"
#include "ui/CommandTexts.h"
#include "ui/DefinitionViewFrame.h"
#include "ui/DialogPlacement.h"
#include "ui/DictionaryPropertiesDialog.h"
#include "ui/ExternalLookupDialog.h"
#include "ui/HelpWindow.h"
#include "ui/LookupController.h"
#include "ui/LookupMethodsDialog.h"
#include "ui/MainView.h"
#include "ui/OptionsDialog.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/QtText.h"
#include "ui/QuickReferenceWindow.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsPrinting.h"
#include "ui/ResultsSaver.h"
#include "ui/ResultsView.h"
#include "ui/StartupTipsWindow.h"
#include "workspace/DialogTexts.h"
#include "workspace/HelpTopics.h"
#include "workspace/WindowPlacement.h"

namespace kea::ui {

namespace {

using Control = SearchHost::Control;

ScreenRect workArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {0, 0, 1024, 768};
  const QRect g = screen->availableGeometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

// A group of commands that a separator sets apart from the one before.
bool startsGroup(CommandId id) {
  switch (id) {
    case CommandId::SaveResults:
    case CommandId::Demote:
    case CommandId::Print:
    case CommandId::Exit:
    case CommandId::SelectAll:
    case CommandId::Lookup:
    case CommandId::DictionaryBuilder:
    case CommandId::TileHorizontal:
    case CommandId::HelpContents:
    case CommandId::EmailSupport:
    case CommandId::About:
      return true;
    default:
      return false;
  }
}

}  // namespace

MainWindow::MainWindow(SettingsStore& store, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      workspace_(store, *this),
      status_(new QLabel(this)),
      saver_(std::make_unique<ResultsSaver>(*this)),
      printing_(std::make_unique<ResultsPrinting>(*this)) {
  setObjectName("KEAMainWindow");
  view_ = new MainView(workspace_, this);
  setCentralWidget(view_);
  workspace_.setView(this);
  lookups_ = new LookupController(*this, store_);

  // The status line sits in the bar as a widget, so that command hints
  // shown over it while a menu is open leave it as it was.
  statusBar()->setSizeGripEnabled(true);
  statusBar()->addWidget(status_, 1);
  status_->setTextFormat(Qt::PlainText);
  status_->setText(view_->statusLine());
  connect(view_, &MainView::statusChanged, status_, &QLabel::setText);

  installHandlers();
  buildMenus();
  installLookupKeys();
  connect(view_, &MainView::commandStateChanged, this, &MainWindow::updateCommands);
  connect(view_, &MainView::paneFocused, this, &MainWindow::paneFocused);
  connect(view_, &MainView::paneContextMenu, this, &MainWindow::showListMenu);
  connect(view_, &MainView::captionContextMenu, this, [this](int group, const QPoint& at) {
    showListMenu(group, ResultsList::MenuKind::List, at);
  });
  connect(view_, &MainView::captionDoubleClicked, this, [this](int group) {
    if (workspace_.setActive(group)) run(CommandId::Properties);
  });
  connect(view_, &MainView::paneSizesChanged, this, &MainWindow::savePaneSizes);
  connect(view_, &MainView::paneDoubleClicked, this, &MainWindow::paneDoubleClicked);
  connect(view_, &MainView::optionsWindowEnabled, this, [this](bool enabled) {
    if (options_) options_->setEnabled(enabled);
  });
  // The toggle is the option itself, kept at once; a finished search runs
  // again so its lists show the new order.
  view_->showCommonFirst(workspace_.options().viewCommonFirst);
  connect(view_, &MainView::commonFirstToggled, this, [this](bool on) {
    workspace_.profile().viewCommonFirst = on;
    workspace_.profile().saveCommonFirst(store_);
    if (options_) options_->refresh();
    if (!isSearching()) view_->orderChanged();
    updateCommands();
  });
  // The Meaning box is shown once the user asks for it, and stays so.
  view_->showMeaningBox(workspace_.options().viewMeaningBox);
  connect(view_, &MainView::meaningBoxToggled, this, [this](bool on) {
    workspace_.profile().viewMeaningBox = on;
    workspace_.profile().saveMeaningBox(store_);
  });
  setAcceptDrops(true);
  new FrameOnScreen(this);
  // F1 anywhere in the program: help on what it is pointed at.
  qApp->installEventFilter(this);
  workspace_.updateCaption();
  updateCommands();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  workspace_.setView(nullptr);
  // The child windows and the view go after this object has stopped being a
  // MainWindow: nothing they send on the way may reach it.
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

QAction* MainWindow::action(CommandId id) const {
  const auto it = actions_.find(static_cast<int>(id));
  return it == actions_.end() ? nullptr : it->second;
}

QString MainWindow::statusText() const { return status_->text(); }

OptionsDialog* MainWindow::optionsWindow() const { return options_; }
QuickReferenceWindow* MainWindow::quickReferenceWindow() const { return quickReference_; }
StartupTipsWindow* MainWindow::startupTipsWindow() const { return startupTips_; }
HelpWindow* MainWindow::helpWindow() const { return help_; }

// ---------------------------------------------------------------------------
// Menus

QAction* MainWindow::addCommand(QMenu* menu, CommandId id) {
  auto* action = new QAction(this);
  applyCommandText(action, id);
  action->setData(static_cast<int>(id));
  connect(action, &QAction::triggered, this, [this, id] { run(id); });
  menu->addAction(action);
  // Shortcuts work with the menus closed.
  addAction(action);
  actions_[static_cast<int>(id)] = action;
  return action;
}

void MainWindow::buildMenus() {
  QMenu* menus[] = {menuBar()->addMenu(tr("&File")), menuBar()->addMenu(tr("&Edit")),
                    menuBar()->addMenu(tr("&Tools")), menuBar()->addMenu(tr("&Window")),
                    menuBar()->addMenu(tr("&Help"))};
  for (const Command& command : commandTable()) {
    if (command.menu == Menu::SearchMode) continue;
    QMenu* menu = menus[static_cast<int>(command.menu)];
    if (startsGroup(command.id) && !menu->isEmpty()) menu->addSeparator();
    if (command.id == CommandId::FirstRecentFile) {
      recentSeparator_ = menu->addSeparator();
      for (int i = 0; i < kRecentFileCommands; ++i) addCommand(menu, recentFileCommand(i))->setVisible(false);
      continue;
    }
    if (command.id == CommandId::ExternalLookup) {
      // Built from the configured lookup methods when it opens. The submenu
      // itself stays enabled so that its Setup... can always be reached;
      // the command's rule greys the methods inside it.
      QMenu* submenu = menu->addMenu(commandLabel(command.id));
      submenu->menuAction()->setStatusTip(translatedCommandText(commandText(command.id)->statusTip));
      auto* rule = new QAction(this);
      rule->setData(static_cast<int>(command.id));
      connect(rule, &QAction::triggered, this, [this] { run(CommandId::ExternalLookup); });
      actions_[static_cast<int>(command.id)] = rule;
      externalMenu_ = submenu;
      connect(submenu, &QMenu::aboutToShow, this, &MainWindow::fillExternalLookupMenu);
      continue;
    }
    if (command.id == CommandId::ExternalLookupSetup && externalMenu_ != nullptr) {
      addCommand(externalMenu_, command.id);
      continue;
    }
    QAction* action = addCommand(menu, command.id);
    if (command.id == CommandId::AlwaysOnTop || command.id == CommandId::TileHorizontal ||
        command.id == CommandId::TileVertical) {
      action->setCheckable(true);
    }
  }
  // The search-mode menu's commands belong to the view; their rules are the
  // table's all the same.
  actions_[static_cast<int>(CommandId::WordSearch)] = view_->wordSearchAction();
  actions_[static_cast<int>(CommandId::FullTextSearch)] = view_->fullTextSearchAction();
  actions_[static_cast<int>(CommandId::PhraseAnagram)] = view_->phraseAnagramAction();
}

void MainWindow::updateMenuTexts() {
  const std::string name = workspace_.activeName();
  for (const Command& command : commandTable()) {
    const CommandText* text = commandText(command.id);
    if (text == nullptr || std::string_view(text->label).find('*') == std::string_view::npos) continue;
    if (QAction* a = action(command.id)) a->setText(commandLabel(command.id, name));
  }
  updateRecentFiles();
}

void MainWindow::updateRecentFiles() {
  bool any = false;
  for (int i = 0; i < kRecentFileCommands; ++i) {
    QAction* a = action(recentFileCommand(i));
    if (a == nullptr) continue;
    const std::string& path = workspace_.history().item(i);
    a->setVisible(!path.empty());
    if (path.empty()) continue;
    any = true;
    a->setText(toQString(recentFileMenuText(i, path)));
    a->setToolTip(toQString(path));
  }
  if (recentSeparator_ != nullptr) recentSeparator_->setVisible(any);
}

CommandContext MainWindow::commandContext() const {
  CommandContext c;
  const SearchController& controller = view_->controller();
  c.searching = controller.state() == SearchState::Searching;
  c.lists = controller.groupCount();
  c.active = workspace_.activeDictionary();
  if (c.active >= 0 && c.active < c.lists) {
    const ResultsList& list = controller.group(c.active).list;
    c.activeEntries = list.count();
    c.selectedResults = view_->resultsSelection(c.active).count();
  }
  QLineEdit* edit = view_->patternBox()->lineEdit();
  c.patternFocused = view_->focus() == Control::PatternBox;
  c.patternHasSelection = view_->patternHasSelection();
  c.patternEmpty = edit->text().isEmpty();
  // Printing to a PDF file always works.
  c.printerAvailable = true;
  c.fullTextMode = controller.fullTextMode();
  c.phraseMode = controller.mode() == SearchMode::PhraseAnagram;
  c.topMost = values_.windowTopMost;
  c.paneOrientation = view_->paneOrientation();
  return c;
}

void MainWindow::updateCommands() {
  // The File menu's texts name the active dictionary and the recent files.
  updateMenuTexts();
  const CommandContext context = commandContext();
  for (const auto& [number, a] : actions_) {
    const auto id = static_cast<CommandId>(number);
    a->setEnabled(commandEnabled(id, context));
    if (a->isCheckable()) a->setChecked(commandChecked(id, context));
  }
}

// ---------------------------------------------------------------------------
// Commands

void MainWindow::installHandlers() {
  const auto on = [this](CommandId id, std::function<void()> handler) {
    handlers_[static_cast<int>(id)] = std::move(handler);
  };
  // File
  on(CommandId::Open, [this] { openDictionaries(); });
  on(CommandId::Close, [this] { workspace_.closeActive(); });
  on(CommandId::SaveResults, [this] { saver_->saveResults(); });
  on(CommandId::Demote, [this] { workspace_.demoteActive(); });
  on(CommandId::Promote, [this] { workspace_.promoteActive(); });
  on(CommandId::Properties, [this] { showProperties(); });
  on(CommandId::Print, [this] { printing_->print(); });
  on(CommandId::PrintPreview, [this] { printing_->preview(); });
  on(CommandId::PageSetup, [this] { printing_->pageSetup(); });
  for (int item = 0; item < kRecentFileCommands; ++item) {
    on(recentFileCommand(item), [this, item] { workspace_.openRecent(item); });
  }
  on(CommandId::Exit, [this] { close(); });
  // Edit
  on(CommandId::Cut, [this] {
    editingPattern();
    view_->patternBox()->lineEdit()->cut();
  });
  on(CommandId::Copy, [this] {
    editingPattern();
    view_->copy(workspace_.activeDictionary());
  });
  on(CommandId::Paste, [this] {
    editingPattern();
    view_->patternBox()->lineEdit()->paste();
  });
  on(CommandId::SelectAll, [this] { selectAll(); });
  on(CommandId::Lookup, [this] { lookups_->lookUpFromMainWindow(false); });
  on(CommandId::LookupNewWindow, [this] { lookups_->lookUpFromMainWindow(true); });
  on(CommandId::ExternalLookup,
     [this] { lookups_->externalLookUpFromMainWindow(lookup_commands::kDefaultMethod); });
  on(CommandId::ExternalLookupSetup, [this] { lookups_->openSetup(this); });
  // Tools
  on(CommandId::Options, [this] { openOptions(); });
  on(CommandId::DictionaryBuilder, [this] { startCompanion("kkbuild"); });
  on(CommandId::WordListMerge, [this] { startCompanion("kkmerge"); });
  // Window
  on(CommandId::AlwaysOnTop, [this] { setTopMost(!values_.windowTopMost); });
  on(CommandId::TileHorizontal, [this] { setPaneOrientation(0); });
  on(CommandId::TileVertical, [this] { setPaneOrientation(1); });
  // Help
  on(CommandId::QuickReference, [this] { openQuickReference(); });
  on(CommandId::StartupTips, [this] { openStartupTips(); });
  on(CommandId::HelpContents, [this] { showHelp(kHelpContents); });
  on(CommandId::EmailSupport, [this] { openAddress(QUrl(toQString(texts::kSupportMail))); });
  on(CommandId::OnlineHelp, [this] { openShippedPage(helpPage(kHelpContents)); });
  on(CommandId::OnlineTutorial, [this] { openShippedPage(helpPage(kHelpGettingStarted)); });
  on(CommandId::About, [this] {
    AboutDialog about(this);
    about.exec();
  });
}

void MainWindow::run(CommandId id) {
  if (QAction* a = action(id); a != nullptr && !a->isEnabled()) return;
  const auto handler = handlers_.find(static_cast<int>(id));
  if (handler == handlers_.end()) return;
  handler->second();
  updateCommands();
}

void MainWindow::showProperties() {
  const int active = workspace_.activeDictionary();
  if (active < 0 || active >= workspace_.count()) return;
  DictionaryPropertiesDialog properties(*workspace_.dictionaries(), active, store_, this);
  connect(&properties, &DictionaryPropertiesDialog::helpRequested, this,
          [this] { showHelp(kHelpDictionaryProperties); });
  properties.exec();
}

void MainWindow::openOptions() {
  if (!options_) {
    options_ = new OptionsDialog(workspace_.profile(), store_, this);
    keepAbove(options_);
    options_->setAttribute(Qt::WA_DeleteOnClose);
    connect(options_, &OptionsDialog::optionsChanged, this, &MainWindow::optionsChanged);
    connect(options_, &OptionsDialog::helpRequested, this, [this] { showHelp(kHelpOptionsWindow); });
  }
  options_->setEnabled(!isSearching());
  options_->show();
  options_->raise();
  options_->activateWindow();
}

// The options take effect at once: the lists are drawn in the new fonts and
// the pattern is checked again (the macros and letter variables may read
// otherwise now).
void MainWindow::optionsChanged() {
  view_->applyFonts(workspace_.options());
  view_->showCommonFirst(workspace_.options().viewCommonFirst);
  if (!isSearching()) view_->controller().patternChanged();
  updateCommands();
}

void MainWindow::openQuickReference() {
  if (!quickReference_) {
    quickReference_ = new QuickReferenceWindow(store_, this);
    keepAbove(quickReference_);
    quickReference_->setAttribute(Qt::WA_DeleteOnClose);
    quickReference_->setShowOnStartup(values_.quickReference);
    // Beside the main window, never over its controls: a place kept from a
    // main window that has since grown is given up.
    if (!quickReference_->placeWasStored() || coversMainWindow(quickReference_, this)) {
      placeBesideMainWindow(quickReference_, this, {startupTips_});
    }
    connect(quickReference_, &QuickReferenceWindow::showOnStartupChanged, this,
            [this](bool on) { values_.quickReference = on; });
    connect(quickReference_, &QuickReferenceWindow::featureClicked, this, [this](int row) {
      if (row >= 0 && row < static_cast<int>(kQuickReferenceTopics.size())) {
        showHelp(kQuickReferenceTopics[static_cast<std::size_t>(row)]);
      }
    });
    // Trying an example: it becomes the pattern and is searched, as the
    // window's column heading promises.
    connect(quickReference_, &QuickReferenceWindow::exampleClicked, this, [this](const QString& example) {
      if (isSearching()) return;
      view_->patternBox()->setEditText(example);
      view_->setFocus(SearchHost::Control::PatternBox);
      activateWindow();
      if (view_->searchButton()->isEnabled()) view_->search();
    });
  }
  quickReference_->show();
  quickReference_->raise();
}

void MainWindow::openStartupTips() {
  if (!startupTips_) {
    startupTips_ = new StartupTipsWindow(store_, workspace_.folder(), this);
    keepAbove(startupTips_);
    // Beside the main window, below the quick reference: over the results
    // it would hide what the user came for.
    if (!startupTips_->placeWasStored() || coversMainWindow(startupTips_, this)) {
      placeBesideMainWindow(startupTips_, this, {quickReference_});
    }
    startupTips_->setAttribute(Qt::WA_DeleteOnClose);
    startupTips_->setShowOnStartup(values_.startupTips);
    connect(startupTips_, &StartupTipsWindow::showOnStartupChanged, this,
            [this](bool on) { values_.startupTips = on; });
    connect(startupTips_, &StartupTipsWindow::topicRequested, this, &MainWindow::showHelp);
    connect(startupTips_, &StartupTipsWindow::helpRequested, this, [this] { showHelp(kHelpStartupTipsWindow); });
  } else {
    startupTips_->showNextTip();
  }
  startupTips_->show();
  startupTips_->raise();
}

void MainWindow::showStartWindows() {
  if (values_.quickReference) openQuickReference();
  if (values_.startupTips) openStartupTips();
}

bool MainWindow::showHelp(int topic) {
  if (!help_) {
    help_ = new HelpWindow(store_, QString(), this);
    keepAbove(help_);
    help_->setAttribute(Qt::WA_DeleteOnClose);
  }
  std::string_view page = helpPage(topic);
  if (page.empty()) page = helpPage(kHelpContents);
  if (!help_->showPage(toQString(page))) {
    help_->close();
    return false;
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
  return true;
}

// The shipped help pages in the user's browser.
void MainWindow::openShippedPage(std::string_view page) {
  const QString folder = HelpWindow::programHelpFolder();
  const QString file = folder + QLatin1Char('/') + toQString(page);
  if (folder.isEmpty() || !QFileInfo::exists(file)) {
    QMessageBox::warning(this, toQString(dialogs::kHelpNotFoundCaption), toQString(dialogs::kHelpNotFound));
    return;
  }
  openAddress(QUrl::fromLocalFile(file));
}

void MainWindow::openAddress(const QUrl& address) {
  const bool opened = urlOpener_ ? urlOpener_(address) : QDesktopServices::openUrl(address);
  if (!opened) {
    const auto text = fromQString(address.toDisplayString());
    messageBox(dialogs::nothingOpened(text.value_or(std::string())), dialogs::kNothingOpenedCaption, Buttons::Ok,
               Icon::Exclamation);
  }
}

int MainWindow::contextHelpTopic() const {
  // A menu that is open: its first command says which menu it is.
  if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
    if (menu == view_->wordSearchAction()->menu() || menu->actions().contains(view_->wordSearchAction())) {
      return kHelpSearchModeMenu;
    }
    for (const QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      if (const int topic = helpContextOfMenu(a->data().toInt())) return topic;
      break;
    }
    return kHelpCommands;
  }
  // Another window of the program: its own topic.
  const QWidget* active = QApplication::activeWindow();
  if (active != nullptr && active != this) {
    if (active == options_) return kHelpOptionsWindow;
    if (active == quickReference_) return kHelpQuickReferenceWindow;
    if (active == startupTips_) return kHelpStartupTipsWindow;
    if (qobject_cast<const DictionaryPropertiesDialog*>(active)) return kHelpDictionaryProperties;
    if (qobject_cast<const AboutDialog*>(active)) return kHelpAboutBox;
    if (const int topic = savePrintHelpTopic(active)) return topic;
    if (const int topic = lookupHelpTopic(active)) return topic;
    return kHelpContents;
  }
  switch (view_->focus()) {
    case Control::PatternBox:
      return kHelpPatternBox;
    case Control::SearchButton:
      return kHelpSearchButton;
    case Control::SearchModeButton:
      return kHelpSearchModeButton;
    case Control::ShortestBox:
    case Control::LongestBox:
      return kHelpLengthBoxes;
    case Control::ResultsArea:
      return kHelpResultsList;
    default:
      return kHelpMainWindow;
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && !closing_) {
    // The help window answers F1 itself.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr || widget->window() != help_) {
      const int topic = contextHelpTopic();
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) menu->close();
      showHelp(topic);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::openDictionaries() {
  const QString recent = toQString(workspace_.history().item(0));
  const QStringList chosen =
      QFileDialog::getOpenFileNames(this, toQString(texts::kOpenDialogTitle), recent,
                                    fileDialogFilter(texts::kOpenDialogFilter));
  std::vector<std::string> paths;
  for (const QString& file : chosen) {
    if (auto path = fromQString(QDir::toNativeSeparators(file))) {
      paths.push_back(std::move(*path));
    } else {
      QMessageBox::warning(this, toQString(texts::kDictionaryOpenFailedCaption), file + toQString(texts::kFileNameNotUsable));
    }
  }
  if (!paths.empty()) workspace_.openChosen(paths);
}

bool MainWindow::editingPattern() {
  // A menu opened from the keyboard took the focus and the pattern box's
  // selection with it; the command acts on what the user had selected.
  const bool inPattern = view_->focus() == Control::PatternBox;
  if (inPattern) view_->restorePatternSelection();
  return inPattern;
}

void MainWindow::selectAll() {
  if (editingPattern()) {
    view_->patternBox()->lineEdit()->selectAll();
  } else if (const int active = workspace_.activeDictionary(); active >= 0 && active < view_->paneCount()) {
    view_->pane(active)->view()->selectAll();
  }
}

void MainWindow::startCompanion(std::string_view program) {
  // Started from the program's own folder, with no arguments and no shell;
  // a program that is not there simply does not start.
  QProcess::startDetached(toQString(workspace_.folder()) + toQString(program), {});
}

namespace {

// Changing the flag hides a window; it comes back where it was.
void setStaysOnTop(QWidget* window, bool on) {
  if (window == nullptr || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const QPoint corner = window->pos();
  const QSize size = window->size();
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) {
    window->resize(size);
    window->move(corner);
    window->show();
  }
}

}  // namespace

void MainWindow::setTopMost(bool on) {
  values_.windowTopMost = on;
  setStaysOnTop(this, on);
  // The windows opened from it go with it: above it, or no longer above all.
  for (QWidget* window : openedWindows()) setStaysOnTop(window, on);
}

void MainWindow::keepAbove(QWidget* window) const {
  // A window the program opens from an always-on-top main window would
  // otherwise open behind it, and a modal one would leave the program
  // looking frozen.
  if (values_.windowTopMost) setStaysOnTop(window, true);
}

std::vector<QWidget*> MainWindow::openedWindows() const {
  std::vector<QWidget*> out;
  QWidget* preview = printing_->previewWindow();
  for (QWidget* w : std::initializer_list<QWidget*>{options_, quickReference_, startupTips_, help_, preview}) {
    if (w != nullptr) out.push_back(w);
  }
  for (DefinitionViewFrame* w : lookups_->windows()) out.push_back(w);
  return out;
}

void MainWindow::setPaneOrientation(int orientation) {
  if (orientation == view_->paneOrientation()) return;
  values_.paneOrientation = orientation;
  view_->setPaneOrientation(orientation);
  layOutPanes();
}

// ---------------------------------------------------------------------------
// Panes and the active list

void MainWindow::layOutPanes() {
  view_->buildPanes();
  view_->applyFonts(workspace_.options());
  const int count = view_->paneCount();
  if (count > 1) {
    Persist persist(store_, SettingsMode::Read);
    const int extent = view_->paneArea() > 0 ? view_->paneArea() : 1000;
    view_->setPaneSizes(loadPaneSizes(persist, view_->paneOrientation(), count, extent));
  }
  focusActivePane();
  updateCommands();
}

void MainWindow::savePaneSizes() {
  Persist persist(store_, SettingsMode::Write);
  kea::savePaneSizes(persist, view_->paneOrientation(), {view_->paneArea(), view_->paneSizes()});
}

void MainWindow::focusActivePane() {
  const int active = workspace_.activeDictionary();
  if (active >= 0 && active < view_->paneCount() && view_->focus() != Control::PatternBox) {
    view_->pane(active)->view()->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::paneFocused(int group) {
  workspace_.setActive(group);
  // The progress bar shows the active dictionary's lengths.
  if (view_->controller().state() == SearchState::Ready) view_->controller().validate();
  updateCommands();
}

void MainWindow::paneDoubleClicked(int group, bool shift) {
  if (!workspace_.setActive(group)) return;
  using DoubleClick = ResultsList::DoubleClickCommand;
  switch (view_->controller().group(group).list.doubleClickCommand(workspace_.options().viewDoubleClick, shift)) {
    case DoubleClick::Lookup:
      run(CommandId::Lookup);
      break;
    case DoubleClick::LookupInNewWindow:
      run(CommandId::LookupNewWindow);
      break;
    case DoubleClick::ExternalLookup:
      run(CommandId::ExternalLookup);
      break;
    case DoubleClick::None:
      break;
  }
}

void MainWindow::showListMenu(int group, ResultsList::MenuKind kind, const QPoint& globalPos) {
  if (isSearching() || !workspace_.setActive(group)) return;
  // The items take their states from the list the menu was opened on.
  updateCommands();
  QMenu menu(this);
  for (const ContextCommand& entry : contextMenu(kind)) {
    if (entry.separatorBefore) menu.addSeparator();
    QAction* source = action(entry.id);
    QAction* item = menu.addAction(commandContextLabel(entry.id));
    item->setData(static_cast<int>(entry.id));
    item->setEnabled(source != nullptr && source->isEnabled());
    if (source != nullptr) item->setStatusTip(source->statusTip());
    const CommandId id = entry.id;
    connect(item, &QAction::triggered, this, [this, id] { run(id); });
  }
  updateCommands();
  menu.exec(globalPos);
}

// ---------------------------------------------------------------------------
// Lookups

// Ctrl+Alt+Enter looks the word up with the default method; F5 and F6 go
// to the definition windows.
void MainWindow::installLookupKeys() {
  auto* external = new QAction(this);
  external->setShortcuts(defaultExternalLookupKeys());
  connect(external, &QAction::triggered, this, [this] { run(CommandId::ExternalLookup); });
  addAction(external);
  for (const auto& [key, which] : {std::pair{Qt::Key_F5, DefinitionKey::F5}, std::pair{Qt::Key_F6, DefinitionKey::F6}}) {
    auto* a = new QAction(this);
    a->setShortcut(QKeySequence(key));
    const DefinitionKey k = which;
    connect(a, &QAction::triggered, this, [this, k] { lookups_->windowKey(k, this); });
    addAction(a);
  }
}

// The help topic of a window of the lookups, or 0.
int MainWindow::lookupHelpTopic(const QWidget* window) {
  if (qobject_cast<const DefinitionViewFrame*>(window)) return kHelpDefinitionWindow;
  if (qobject_cast<const LookupMethodsDialog*>(window)) return kHelpLookupMethods;
  if (qobject_cast<const ExternalLookupDialog*>(window)) return kHelpExternalLookupPrompt;
  return 0;
}

void MainWindow::fillExternalLookupMenu() {
  const QAction* submenu = action(CommandId::ExternalLookup);
  const bool possible = submenu != nullptr && submenu->isEnabled();
  lookups_->fillExternalMenu(externalMenu_, possible, [this](int command) {
    if (command == static_cast<int>(CommandId::ExternalLookupSetup)) {
      run(CommandId::ExternalLookupSetup);
    } else {
      lookups_->externalLookUpFromMainWindow(command);
    }
  });
}

// ---------------------------------------------------------------------------
// WorkspaceHost and WorkspaceView

SearchHost::Answer MainWindow::messageBox(std::string_view text, std::string_view caption, Buttons buttons,
                                           Icon icon) {
  return view_->messageBox(text, caption, buttons, icon);
}

void MainWindow::setCaption(std::string_view text) { setWindowTitle(toQString(text)); }

// The panes show the groups' lists, so they go before the groups change.
void MainWindow::dictionaryAdded() {
  view_->removePanes();
  view_->controller().dictionaryAdded();
  layOutPanes();
}

void MainWindow::dictionaryClosed(int index) {
  view_->removePanes();
  view_->controller().dictionaryClosed(index);
  layOutPanes();
}

void MainWindow::dictionariesSwapped(int first, int second) {
  view_->removePanes();
  view_->controller().dictionariesSwapped(first, second);
  layOutPanes();
}

void MainWindow::activeChanged(int) {
  focusActivePane();
  updateCommands();
}

void MainWindow::revalidate() {
  view_->controller().patternChanged();
  updateCommands();
}

bool MainWindow::isSearching() const { return view_->controller().state() == SearchState::Searching; }

// ---------------------------------------------------------------------------
// Files dropped on the window

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!isSearching() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (isSearching()) return;
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    if (auto path = fromQString(url.toLocalFile())) {
      paths.push_back(std::move(*path));
    } else {
      QMessageBox::warning(this, toQString(texts::kDictionaryOpenFailedCaption),
                           url.toLocalFile() + toQString(texts::kFileNameNotUsable));
    }
  }
  if (paths.empty()) return;
  event->acceptProposedAction();
  workspace_.openDropped(paths);
  updateCommands();
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void MainWindow::loadSettings() {
  {
    Persist persist(store_, SettingsMode::Read);
    values_.load(persist, QLocale().measurementSystem() == QLocale::ImperialUSSystem);
  }
  view_->setLengthBox(SearchHost::LengthBox::Shortest, values_.rangeShortest);
  view_->setLengthBox(SearchHost::LengthBox::Longest, values_.rangeLongest);
  {
    QComboBox* box = view_->patternBox();
    const QSignalBlocker blocker(box);
    box->clear();
    for (const std::string& pattern : values_.patternHistory) box->addItem(toQString(pattern));
    box->setCurrentIndex(-1);
    box->setEditText(QString());
  }
  view_->setPaneOrientation(values_.paneOrientation);
  if (values_.windowTopMost) setWindowFlag(Qt::WindowStaysOnTopHint, true);

  // Places are of the frame's corner and the inside's size, so that the
  // title bar lands where it was (or on the work area's corner on a first
  // run) and not a title bar's height above.
  const WindowPosition place = mainWindowPlacement(workspace_.placement(), workArea(), screenRects());
  resize(place.width, place.height);
  move(place.left, place.top);
  if (workspace_.placement().state == Workspace::kMaximized) setWindowState(windowState() | Qt::WindowMaximized);
  updateMenuTexts();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    // A running search pauses first, as Escape would pause it.
    view_->cancelSearch();
    askRangeDefaults();
    closing_ = true;
    view_->closeView();
    // The windows opened from the main window go with it; each keeps its
    // place, and the tips their next index.
    for (QWidget* child : std::initializer_list<QWidget*>{options_, quickReference_, startupTips_, help_}) {
      if (child != nullptr) child->close();
    }
    lookups_->closeWindows();
    saveViewSettings();
    // The window's place, the open dictionaries and the recent files.
    WindowPosition place = framePlace(this);
    place.state = isMaximized() ? Workspace::kMaximized : 0;
    workspace_.setPlacement(place);
    workspace_.save();
  }
  event->accept();
}

void MainWindow::askRangeDefaults() {
  const int shortest = view_->lengthBox(SearchHost::LengthBox::Shortest);
  const int longest = view_->lengthBox(SearchHost::LengthBox::Longest);
  if (shortest != values_.rangeShortest || longest != values_.rangeLongest) {
    if (messageBox(texts::kRangeChanged, texts::kRangeChangedCaption, Buttons::YesNo, Icon::Question) ==
        Answer::Yes) {
      values_.rangeShortest = shortest;
      values_.rangeLongest = longest;
      Persist persist(store_, SettingsMode::Write);
      values_.saveRange(persist);
    }
  }
  // The pattern history, newest first.
  values_.patternHistory.clear();
  QComboBox* box = view_->patternBox();
  for (int i = 0; i < box->count() && i < MainViewState::kMaxPatternHistory; ++i) {
    values_.patternHistory.push_back(fromQString(box->itemText(i)).value_or(""));
  }
  Persist persist(store_, SettingsMode::Write);
  values_.savePatternHistory(persist);
}

void MainWindow::saveViewSettings() {
  Persist persist(store_, SettingsMode::Write);
  values_.saveWindow(persist);
  values_.savePrinting(persist);
}

}  // namespace kea::ui

#include "ui/LookupController.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

#include "definitions/FullTextQueryMatcher.h"
#include "lookup/ExternalLookupPrompt.h"
#include "search/SearchController.h"
#include "ui/CommandTexts.h"
#include "ui/DefinitionViewFrame.h"
#include "ui/DialogPlacement.h"
#include "ui/ExternalLookupDialog.h"
#include "ui/LookupMethodsDialog.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtLookupLauncher.h"
#include "ui/QtText.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"
#include "workspace/HelpTopics.h"

namespace kea::ui {

// The launcher the configuration holds on to; it hands every call to the
// launcher in use, which tests may replace.
class LookupController::Launcher : public LookupLauncher {
 public:
  explicit Launcher(std::unique_ptr<LookupLauncher>& target) : target_(target) {}
  bool openAddress(std::string_view address) override { return target_->openAddress(address); }
  bool startProgram(std::string_view program, std::string_view argument) override {
    return target_->startProgram(program, argument);
  }
  DdeResult ddeExecute(std::string_view service, std::string_view topic, std::string_view command) override {
    return target_->ddeExecute(service, topic, command);
  }
  bool sendWindowCommand(std::string_view title, int commandId, std::string_view word) override {
    return target_->sendWindowCommand(title, commandId, word);
  }

 private:
  std::unique_ptr<LookupLauncher>& target_;
};

LookupController::LookupController(MainWindow& main, SettingsStore& store)
    : QObject(&main),
      main_(main),
      store_(store),
      launcher_(std::make_unique<QtLookupLauncher>()),
      forwarder_(std::make_unique<Launcher>(launcher_)),
      configuration_(store, *forwarder_) {
  configuration_.load();
}

LookupController::~LookupController() {
  // The windows use this object to their end: they go with it.
  closeWindows();
  for (DefinitionViewFrame* window : windows()) delete window;
}

const UserOptions& LookupController::options() const { return main_.workspace().options(); }

void LookupController::setLauncher(std::unique_ptr<LookupLauncher> launcher) {
  if (launcher) launcher_ = std::move(launcher);
}

std::vector<DefinitionViewFrame*> LookupController::windows() const {
  std::vector<DefinitionViewFrame*> out;
  for (const auto& window : windows_) {
    if (window) out.push_back(window);
  }
  return out;
}

void LookupController::closeWindows() {
  for (DefinitionViewFrame* window : windows()) window->close();
}

// ---------------------------------------------------------------------------
// Definitions

std::optional<DictionaryTexts> LookupController::dictionaryTexts(std::string_view path) {
  return definitions_.texts(*main_.workspace().dictionaries(), options().viewDefinitionDictionary, path);
}

std::vector<Definition> LookupController::definitionsOf(std::string_view word) {
  return definitions_.lookUp(*main_.workspace().dictionaries(), options().viewDefinitionDictionary, word);
}

DefinitionViewFrame* LookupController::newWindow() {
  // The lowest number no open window has.
  int number = 1;
  const std::vector<DefinitionViewFrame*> open = windows();
  while (std::any_of(open.begin(), open.end(), [number](DefinitionViewFrame* w) { return w->number() == number; })) {
    ++number;
  }
  // A top-level window of its own, closed with the main window; it opens
  // clear of the definition windows already open.
  auto* window = new DefinitionViewFrame(number, *this, store_, nullptr);
  main_.keepAbove(window);
  std::vector<WindowPosition> places;
  for (const DefinitionViewFrame* w : open) places.push_back(framePlace(w));
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr && !places.empty()) {
    const WindowPosition place = clearOfOpenWindows(framePlace(window), places, toScreenRect(screen->availableGeometry()));
    window->move(place.left, place.top);
  }
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const auto& w) { return w.isNull(); }),
                 windows_.end());
  windows_.append(window);
  return window;
}

void LookupController::show(std::vector<Definition> definitions, std::string_view word, DefinitionViewFrame* target,
                            bool inNewWindow, std::string_view dictionaryToSelect, std::string_view suffix,
                            const FullTextWordMatcher* fullTextQuery) {
  if (inNewWindow) target = nullptr;
  else if (target == nullptr) target = lastUsed_;
  if (target == nullptr) target = newWindow();
  lastUsed_ = target;
  target->showWord(std::move(definitions), word, dictionaryToSelect, suffix, fullTextQuery);
}

void LookupController::lookUp(const LookupRequest& request, DefinitionViewFrame* target, bool inNewWindow) {
  if (request.word.empty()) return;
  std::vector<Definition> found = definitionsOf(request.word);
  if (found.empty()) {
    prompt(request.word, true);
    return;
  }
  show(std::move(found), request.word, target, inNewWindow, request.dictionaryToSelect, request.wordSuffix);
}

bool LookupController::mainWindowHasWord() const {
  return main_.view().controller().lookupSubject().has_value();
}

void LookupController::lookUpFromMainWindow(bool inNewWindow) {
  const auto subject = main_.view().controller().lookupSubject();
  if (!subject) return;
  if (subject->reference != 0 && subject->group >= 0) {
    lookUpFullTextHit(subject->group, subject->reference, subject->word, inNewWindow);
    return;
  }
  lookUp({subject->word, {}, {}}, nullptr, inNewWindow);
}

void LookupController::lookUpFullTextHit(int group, std::uint32_t reference, std::string_view word,
                                         bool inNewWindow) {
  SearchController& controller = main_.view().controller();
  Definition record;
  if (!controller.lookUpFullTextHit(group, reference, record)) return;
  // The words that made the record a hit are highlighted, as the search's
  // own terms match them.
  const DictionaryList* list = main_.workspace().dictionaries();
  std::unique_ptr<FullTextQueryMatcher> query;
  if (list != nullptr && group < list->count() && list->dictionary(group) != nullptr) {
    query = std::make_unique<FullTextQueryMatcher>(
        list->dictionary(group)->alphabet(), controller.pattern(),
        main_.view().lengthBox(SearchHost::LengthBox::Shortest), main_.view().lengthBox(SearchHost::LengthBox::Longest));
  }
  std::vector<Definition> records;
  records.push_back(std::move(record));
  show(std::move(records), word, nullptr, inNewWindow, {}, {}, query.get());
}

// ---------------------------------------------------------------------------
// External lookups

void LookupController::externalLookUpFromMainWindow(int command) {
  const auto subject = main_.view().controller().lookupSubject();
  if (subject) externalLookUp(subject->word, command);
}

void LookupController::externalLookUp(std::string_view word, int command) {
  if (word.empty()) return;
  switch (startExternalLookup(configuration_, word, command)) {
    case ExternalLookupOutcome::LookedUp:
      break;
    case ExternalLookupOutcome::Failed:
      lookupFailed(activeWindow());
      break;
    case ExternalLookupOutcome::PromptNeeded:
      prompt(word, false);
      break;
  }
}

void LookupController::prompt(std::string_view word, bool noDefinitions) {
  ExternalLookupPrompt model(configuration_, word,
                                  noDefinitions ? ExternalLookupPrompt::Mode::NoDefinitions
                                                : ExternalLookupPrompt::Mode::Requested);
  QWidget* parent = activeWindow();
  ExternalLookupDialog dialog(model, store_, parent);
  connect(&dialog, &ExternalLookupDialog::setupWanted, this, [this, &dialog] {
    openSetup(&dialog);
    dialog.refresh();
  });
  connect(&dialog, &ExternalLookupDialog::helpWanted, this, [this] { main_.showHelp(kHelpExternalLookupPrompt); });
  if (dialog.exec() != QDialog::Accepted) return;
  if (!model.ok()) lookupFailed(parent);
}

void LookupController::lookupFailed(QWidget* parent) {
  const LookupFailureMessage message = lookupFailureMessage();
  QMessageBox::information(parent, toQString(message.caption), toQString(message.text));
}

void LookupController::fillExternalMenu(QMenu* menu, bool lookupPossible, const std::function<void(int)>& run) {
  menu->clear();
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  for (const LookupConfiguration::MenuItem& item : configuration_.buildMenu(lookupPossible)) {
    if (item.kind == LookupConfiguration::MenuItem::Kind::Separator) {
      menu->addSeparator();
      continue;
    }
    const bool setup = item.kind == LookupConfiguration::MenuItem::Kind::Setup;
    QAction* a = menu->addAction(setup ? commandLabel(CommandId::ExternalLookupSetup) : toQString(item.text));
    a->setData(item.command);
    a->setEnabled(item.enabled);
    if (item.kind == LookupConfiguration::MenuItem::Kind::Method) {
      a->setCheckable(true);
      a->setChecked(item.radioTicked);
      group->addAction(a);
      // The default method shows its key; the key itself belongs to the
      // window's default lookup, so the item only answers it while the
      // menu has the keyboard.
      if (item.radioTicked) {
        a->setShortcuts(defaultExternalLookupKeys());
        a->setShortcutContext(Qt::WidgetShortcut);
      }
    }
    const int command = item.command;
    connect(a, &QAction::triggered, this, [run, command] { run(command); });
  }
}

void LookupController::openSetup(QWidget* parent) {
  LookupMethodsDialog dialog(configuration_, store_, parent != nullptr ? parent : activeWindow());
  connect(&dialog, &LookupMethodsDialog::lookupFailed, this, [this, &dialog] { lookupFailed(&dialog); });
  dialog.exec();
}

QWidget* LookupController::activeWindow() const {
  QWidget* active = QApplication::activeWindow();
  return active != nullptr ? active : &main_;
}

// ---------------------------------------------------------------------------
// The main window's results

namespace {

// The one selected row of the active list, or -1.
int selectedRow(MainWindow& main) {
  const int active = main.workspace().activeDictionary();
  SearchController& controller = main.view().controller();
  if (active < 0 || active >= controller.groupCount()) return -1;
  return main.view().resultsSelection(active).onlyRow();
}

}  // namespace

bool LookupController::canMoveResult(int delta) const {
  if (main_.isSearching()) return false;
  const int row = selectedRow(main_);
  if (row < 0) return false;
  const int count = main_.view().controller().group(main_.workspace().activeDictionary()).list.count();
  return row + delta >= 0 && row + delta < count;
}

void LookupController::moveResult(int delta, DefinitionViewFrame* from) {
  if (!canMoveResult(delta)) return;
  const int active = main_.workspace().activeDictionary();
  if (active >= main_.view().paneCount()) return;
  ResultsView* view = main_.view().pane(active)->view();
  const QModelIndex index = view->model()->index(selectedRow(main_) + delta, 0);
  view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view->scrollTo(index);
  const auto subject = main_.view().controller().lookupSubject();
  if (!subject) return;
  if (subject->reference != 0 && subject->group >= 0) {
    lookUpFullTextHit(subject->group, subject->reference, subject->word, false);
    return;
  }
  lookUp({subject->word, {}, {}}, from, false);
}

void LookupController::windowKey(DefinitionKey key, QWidget* from) {
  std::vector<QWidget*> all{&main_};
  for (DefinitionViewFrame* window : windows()) all.push_back(window);
  int current = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == from) current = static_cast<int>(i);
  }
  QWidget* next = all[static_cast<std::size_t>(windowAfterKey(key, current, static_cast<int>(all.size())))];
  if (next->isMinimized()) next->showNormal();
  next->raise();
  next->activateWindow();
}

}  // namespace kea::ui

// The lookups of the desktop program: the Lookup commands of the main
// window and of the definition windows (definitions found: a definition
// window shows them; none: the External Lookup prompt offers an external
// search), external lookups with the configured methods, the External
// Lookup submenus, the Lookup Methods dialog, Next and Previous Result,
// and F4, F5 and F6 between the program's windows. It owns the lookup
// configuration, loaded once from the settings store, and the definition
// windows while they are open.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "definitions/DefinitionViews.h"
#include "lookup/LookupConfiguration.h"
#include "lookup/LookupLauncher.h"
#include "settings/SettingsStore.h"
#include "settings/UserOptions.h"
#include "workspace/DefinitionLookup.h"

class QMenu;
class QWidget;

namespace kea::ui {

class DefinitionViewFrame;
class MainWindow;

class LookupController : public QObject {
  Q_OBJECT

 public:
  LookupController(MainWindow& main, SettingsStore& store);
  ~LookupController() override;

  LookupConfiguration& configuration() { return configuration_; }
  const UserOptions& options() const;
  // Tests watch lookups through a launcher of their own.
  void setLauncher(std::unique_ptr<LookupLauncher> launcher);

  // ---- From the main window ----

  // "&Lookup..." and "Lookup in &New Window..." of the main window's word.
  void lookUpFromMainWindow(bool inNewWindow);
  // An external lookup of the main window's word with `command` (12710:
  // the default method; 13120 + k: method k of the submenu).
  void externalLookUpFromMainWindow(int command);
  // Whether the main window has a word to look up.
  bool mainWindowHasWord() const;

  // ---- For the definition windows ----

  std::optional<DictionaryTexts> dictionaryTexts(std::string_view path);
  std::vector<Definition> definitionsOf(std::string_view word);
  // Shows the word's definitions in `target` (null: the last definition
  // window used, or a new one) or, with `inNewWindow`, in a new window;
  // without definitions, offers an external lookup.
  void lookUp(const LookupRequest& request, DefinitionViewFrame* target, bool inNewWindow);
  void externalLookUp(std::string_view word, int command);
  bool canMoveResult(int delta) const;
  void moveResult(int delta, DefinitionViewFrame* from);
  // `from` is the window with the key: the main window or a definition window.
  void windowKey(DefinitionKey key, QWidget* from);

  // Fills an External Lookup submenu with the enabled methods, then the
  // separator and "&Setup..."; `run` carries out the command chosen.
  void fillExternalMenu(QMenu* menu, bool lookupPossible, const std::function<void(int)>& run);
  // The Lookup Methods dialog, modal over `parent`.
  void openSetup(QWidget* parent);

  // The definition windows in the order they opened.
  std::vector<DefinitionViewFrame*> windows() const;
  void closeWindows();

 private:
  class Launcher;

  DefinitionViewFrame* newWindow();
  void show(std::vector<Definition> definitions, std::string_view word, DefinitionViewFrame* target,
            bool inNewWindow, std::string_view dictionaryToSelect = {}, std::string_view suffix = {},
            const FullTextWordMatcher* fullTextQuery = nullptr);
  void lookUpFullTextHit(int group, std::uint32_t reference, std::string_view word, bool inNewWindow);
  // The External Lookup prompt; mode 1 when a lookup found no definitions.
  void prompt(std::string_view word, bool noDefinitions);
  void lookupFailed(QWidget* parent);
  QWidget* activeWindow() const;

  MainWindow& main_;
  SettingsStore& store_;
  std::unique_ptr<LookupLauncher> launcher_;
  std::unique_ptr<Launcher> forwarder_;
  LookupConfiguration configuration_;
  DefinitionLookup definitions_;
  QList<QPointer<DefinitionViewFrame>> windows_;
  QPointer<DefinitionViewFrame> lastUsed_;
};

}  // namespace kea::ui

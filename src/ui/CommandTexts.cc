#include "ui/CommandTexts.h"

#include <QAction>
#include <QCoreApplication>

#include "ui/QtText.h"

namespace kea::ui {

namespace {

using K = QKeySequence;

const CommandText kTexts[] = {
    // File
    {.id = CommandId::Open,
     .label = QT_TRANSLATE_NOOP("Commands", "&Open..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Open a dictionary for searching"),
     .standardKey = K::Open},
    {.id = CommandId::Close,
     .label = QT_TRANSLATE_NOOP("Commands", "&Close *"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Close the active dictionary"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Close")},
    {.id = CommandId::SaveResults,
     .label = QT_TRANSLATE_NOOP("Commands", "Save Results from * &As..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Save the list of results as a file"),
     .standardKey = K::Save,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "Save Results &As...")},
    {.id = CommandId::Demote,
     .label = QT_TRANSLATE_NOOP("Commands", "&Demote *"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Move the active dictionary down in the search order"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Demote")},
    {.id = CommandId::Promote,
     .label = QT_TRANSLATE_NOOP("Commands", "Pro&mote *"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Move the active dictionary up in the search order"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "Pro&mote")},
    {.id = CommandId::Properties,
     .label = QT_TRANSLATE_NOOP("Commands", "P&roperties from *"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Display information about the active dictionary"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "P&roperties")},
    {.id = CommandId::Print,
     .label = QT_TRANSLATE_NOOP("Commands", "&Print Results from *..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Print the words selected in the list of results"),
     .standardKey = K::Print,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Print...")},
    {.id = CommandId::PrintPreview,
     .label = QT_TRANSLATE_NOOP("Commands", "Print Pre&view Results from *..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Display pages as they will be printed"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "Print Pre&view...")},
    {.id = CommandId::PageSetup,
     .label = QT_TRANSLATE_NOOP("Commands", "Page Set&up..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Change page layout settings")},
    // The recent files' items are their paths; they share the status tip.
    {.id = CommandId::FirstRecentFile,
     .label = "",
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Change to this previously used dictionary")},
    {.id = CommandId::Exit,
     .label = QT_TRANSLATE_NOOP("Commands", "E&xit"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Exit KEA"),
     .standardKey = K::Quit},
    // Edit
    {.id = CommandId::Cut,
     .label = QT_TRANSLATE_NOOP("Commands", "Cu&t"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Remove the selection and put it in the clipboard"),
     .standardKey = K::Cut},
    {.id = CommandId::Copy,
     .label = QT_TRANSLATE_NOOP("Commands", "&Copy"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Copy the selection and put it in the clipboard"),
     .standardKey = K::Copy,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Copy")},
    {.id = CommandId::Paste,
     .label = QT_TRANSLATE_NOOP("Commands", "&Paste"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Insert text from the clipboard"),
     .standardKey = K::Paste},
    {.id = CommandId::SelectAll,
     .label = QT_TRANSLATE_NOOP("Commands", "&Select All"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Select all the words in the list of results"),
     .standardKey = K::SelectAll,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Select All")},
    {.id = CommandId::Lookup,
     .label = QT_TRANSLATE_NOOP("Commands", "&Lookup..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Look up the selected word"),
     .toolTip = QT_TRANSLATE_NOOP("Commands", "Lookup"),
     .key = Qt::CTRL | Qt::Key_Return,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Lookup...")},
    {.id = CommandId::LookupNewWindow,
     .label = QT_TRANSLATE_NOOP("Commands", "Lookup in &New Window..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Look up the selected word in a new window"),
     .key = Qt::SHIFT | Qt::CTRL | Qt::Key_Return,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "Lookup in &New Window...")},
    {.id = CommandId::ExternalLookup,
     .label = QT_TRANSLATE_NOOP("Commands", "&External Lookup"),
     .statusTip =
         QT_TRANSLATE_NOOP("Commands", "Look up the selected word online or in an another dictionary application"),
     .toolTip = QT_TRANSLATE_NOOP("Commands", "External Lookup"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&External Lookup")},
    {.id = CommandId::ExternalLookupSetup,
     .label = QT_TRANSLATE_NOOP("Commands", "&Setup..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Configure the applications used to do external lookups"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "&Setup...")},
    // Tools
    {.id = CommandId::Options,
     .label = QT_TRANSLATE_NOOP("Commands", "&Options..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Change KEA settings")},
    {.id = CommandId::DictionaryBuilder,
     .label = QT_TRANSLATE_NOOP("Commands", "Dictionary &Builder..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Start the KEA&Kindred Dictionary Builder application")},
    {.id = CommandId::WordListMerge,
     .label = QT_TRANSLATE_NOOP("Commands", "Word List &Merge..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Start the KEA&Kindred Word List Merge application")},
    // Window
    {.id = CommandId::AlwaysOnTop, .label = QT_TRANSLATE_NOOP("Commands", "Always On &Top")},
    {.id = CommandId::TileHorizontal,
     .label = QT_TRANSLATE_NOOP("Commands", "Tile &Horizontal"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Show results lists one on top of the other")},
    {.id = CommandId::TileVertical,
     .label = QT_TRANSLATE_NOOP("Commands", "Tile &Vertical"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Show results lists side by side")},
    // Help
    {.id = CommandId::QuickReference,
     .label = QT_TRANSLATE_NOOP("Commands", "&Quick Reference..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Open a summary of KEA patterns")},
    {.id = CommandId::StartupTips, .label = QT_TRANSLATE_NOOP("Commands", "&Startup Tips...")},
    {.id = CommandId::HelpContents,
     .label = QT_TRANSLATE_NOOP("Commands", "&Contents"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Display the KEA help topics")},
    {.id = CommandId::EmailSupport,
     .label = QT_TRANSLATE_NOOP("Commands", "&Email Support"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Send an e-mail to request technical support")},
    {.id = CommandId::OnlineHelp,
     .label = QT_TRANSLATE_NOOP("Commands", "Online &Help"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "View the KEA support page using your web browser")},
    {.id = CommandId::OnlineTutorial,
     .label = QT_TRANSLATE_NOOP("Commands", "Online &Tutorial"),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "View the KEA tutorial pages using your web browser")},
    {.id = CommandId::About,
     .label = QT_TRANSLATE_NOOP("Commands", "&About KEA..."),
     .statusTip = QT_TRANSLATE_NOOP("Commands", "Display KEA version information")},
    // The search-mode button's menu
    {.id = CommandId::WordSearch, .label = QT_TRANSLATE_NOOP("Commands", "&Word Search"), .key = Qt::CTRL | Qt::Key_W},
    {.id = CommandId::FullTextSearch,
     .label = QT_TRANSLATE_NOOP("Commands", "&Full Text Search"),
     .key = Qt::CTRL | Qt::Key_F},
    {.id = CommandId::PhraseAnagram,
     .label = QT_TRANSLATE_NOOP("Commands", "&Phrase Anagram"),
     .statusTip =
         QT_TRANSLATE_NOOP("Commands", "Find phrases of entries whose letters are exactly those in the pattern box"),
     .toolTip = QT_TRANSLATE_NOOP("Commands", "Phrase Anagram"),
     .key = Qt::CTRL | Qt::Key_R},
};

}  // namespace

const CommandText* commandText(CommandId id) {
  if (recentFileItem(id) >= 0) id = CommandId::FirstRecentFile;
  for (const CommandText& text : kTexts) {
    if (text.id == id) return &text;
  }
  return nullptr;
}

QString translatedCommandText(const char* source) {
  if (source == nullptr) return {};
  return QCoreApplication::translate("Commands", source);
}

QString commandLabel(CommandId id, std::string_view activeName) {
  const CommandText* text = commandText(id);
  if (text == nullptr) return {};
  QString label = translatedCommandText(text->label);
  // Replaced after translating, so that a translation may put the name
  // where its language wants it.
  if (label.contains(QLatin1Char('*'))) label.replace(QLatin1Char('*'), toQString(escapeMnemonics(activeName)));
  return label;
}

QString commandContextLabel(CommandId id) {
  const CommandText* text = commandText(id);
  return text == nullptr ? QString() : translatedCommandText(text->contextLabel);
}

QList<QKeySequence> commandShortcuts(CommandId id) {
  const CommandText* text = commandText(id);
  if (text == nullptr) return {};
  if (text->standardKey != QKeySequence::UnknownKey) return QKeySequence::keyBindings(text->standardKey);
  if (text->key.key() != Qt::Key_unknown) return {QKeySequence(text->key)};
  return {};
}

QList<QKeySequence> defaultExternalLookupKeys() {
  return {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Enter)};
}

void applyCommandText(QAction* action, CommandId id, std::string_view activeName) {
  const CommandText* text = commandText(id);
  if (text == nullptr) return;
  action->setText(commandLabel(id, activeName));
  action->setShortcuts(commandShortcuts(id));
  action->setStatusTip(translatedCommandText(text->statusTip));
  if (text->toolTip != nullptr) action->setToolTip(translatedCommandText(text->toolTip));
}

}  // namespace kea::ui

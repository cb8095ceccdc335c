// What the user reads and presses for each command of the main window: one
// record per command with its menu text, shortcut, status tip and tool tip.
// The texts are marked for translation in the "Commands" context, so that
// lupdate lists them; the rules of when a command applies stay with the
// core's command table.
#pragma once

#include <QKeySequence>
#include <QString>
#include <string_view>

#include "workspace/CommandTable.h"

class QAction;

namespace kea::ui {

struct CommandText {
  CommandId id;
  // The menu text: "&" marks the mnemonic, "*" stands for the active
  // dictionary's name.
  const char* label;
  const char* statusTip = nullptr;
  // Null leaves Qt's own tool tip, the label without its mnemonic.
  const char* toolTip = nullptr;
  // The platform's key for the command where it has one, else `key`.
  QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
  QKeyCombination key = QKeyCombination(Qt::Key_unknown);
  // The text in a results list's context menu, where the command is offered
  // there; null otherwise.
  const char* contextLabel = nullptr;
};

// The record of a command (every recent file shares one), or null.
const CommandText* commandText(CommandId id);

// A text of a record, translated.
QString translatedCommandText(const char* source);

// The command's menu text, translated, with "*" replaced by the dictionary's
// name (its "&" doubled so that it shows as itself).
QString commandLabel(CommandId id, std::string_view activeName = {});
// The command's text in a results list's context menu, translated.
QString commandContextLabel(CommandId id);
// The command's shortcuts, the first one shown in the menu; none when it has
// no key.
QList<QKeySequence> commandShortcuts(CommandId id);

// The keys that look the word up with the default external method.
QList<QKeySequence> defaultExternalLookupKeys();

// Gives an action its command's text, shortcuts, status tip and tool tip.
void applyCommandText(QAction* action, CommandId id, std::string_view activeName = {});

}  // namespace kea::ui

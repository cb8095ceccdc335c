// The properties of one open dictionary: where its file lies, its date and
// description and, for a usable dictionary, how many entries and
// definitions it holds and its shortest and longest entry. Every field can
// be selected and copied but not changed. Its place is kept as
// "DictionaryPropertiesPosition".
#pragma once

#include <QDialog>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "settings/SettingsStore.h"
#include "workspace/DictionaryProperties.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kea::ui {

class DictionaryPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // Shows dictionary `index` of the list as it is now.
  DictionaryPropertiesDialog(const DictionaryList& list, int index, SettingsStore& store,
                             QWidget* parent = nullptr);
  ~DictionaryPropertiesDialog() override;

  const DictionaryProperties& properties() const { return properties_; }
  // The field shown beside a label of the window ("&Entries:"), or null
  // when the window shows no such field.
  QWidget* field(std::string_view label) const;
  // A field's text as shown.
  QString fieldText(std::string_view label) const;

 signals:
  void helpRequested();

 private:
  DictionaryProperties properties_;
  std::vector<std::pair<std::string_view, QWidget*>> fields_;
};

}  // namespace kea::ui

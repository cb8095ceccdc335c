// The options window: every user option of UserOptions on five
// tabs (Pattern, Result, Sorting, Dictionary, Appearance). Each control
// edits the options object directly and the window says so at once with
// optionsChanged(), so the main window checks the pattern again and redraws
// its lists while the window stays open. "&Save as defaults" writes every
// option to the settings, for the next start.
//
// One instance at a time, modeless, kept as "KEAOptionsPosition". The main
// window disables it while a search runs.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "settings/SettingsStore.h"
#include "settings/UserOptions.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QSpinBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kea::ui {

class DialogPlacement;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // The options and the store must outlive the window.
  OptionsDialog(UserOptions& profile, SettingsStore& store, QWidget* parent = nullptr);
  ~OptionsDialog() override;

  QTabWidget* tabs() const { return tabs_; }
  // The control whose label (or text) is `label`, exactly as the window
  // shows it with its "&" ("S&ort alphabetically"); null when none.
  QWidget* control(std::string_view label) const;
  // The font sample drawn for a font setting, and the colour button beside it.
  QAbstractButton* fontSample(std::string_view label) const;
  QAbstractButton* fontColourButton(std::string_view label) const;
  // The message shown under the "@" and "#" boxes, empty when none.
  QString expansionMessage() const;

 public slots:
  // Shows the options as they are now, after something else changed them.
  void refresh();

 signals:
  // An option was changed: the pattern is checked again and the lists drawn again.
  void optionsChanged();
  void helpRequested();

 protected:
  // What the user picks in the standard dialogs; nothing when cancelled.
  virtual std::optional<QString> chooseDictionaryFile(const QString& current);
  virtual std::optional<QFont> chooseFont(const QFont& current, const QString& title);
  virtual std::optional<QColor> chooseColour(const QColor& current, const QString& title);
  virtual void showMessage(const QString& text, const QString& caption);

  void showEvent(QShowEvent* event) override;

 private:
  // Where a font's sample is drawn: where the font is used.
  enum class SampleGround { Window, Paper, Definition };
  struct FlagControl {
    bool UserOptions::*member;
    QCheckBox* box;
  };
  struct FontControl {
    std::string_view label;
    FontSetting UserOptions::*member;
    SampleGround ground;
    QAbstractButton* sample;
    QAbstractButton* colour;
  };

  QWidget* patternTab();
  QWidget* resultTab();
  QWidget* sortingTab();
  QWidget* dictionaryTab();
  QWidget* appearanceTab();
  QWidget* newTab(int index);
  QCheckBox* flagBox(std::string_view label, bool UserOptions::*member, QWidget* parent);
  QWidget* fontRow(std::string_view label, FontSetting UserOptions::*member, SampleGround ground,
                   QWidget* parent, QGridLayout* grid, int row);
  void remember(std::string_view label, QWidget* widget);

  void expansionEdited(QLineEdit* edit, std::string UserOptions::*member);
  void changeDefinitionDictionary();
  void changeFont(FontControl& control);
  void changeFontColour(FontControl& control);
  void changeBackground();
  void drawSamples();
  void changed();

  UserOptions& profile_;
  SettingsStore& store_;
  QTabWidget* tabs_;
  std::vector<std::pair<std::string_view, QWidget*>> controls_;
  std::vector<FlagControl> flags_;
  std::vector<FontControl> fonts_;
  QLineEdit* expansionAt_ = nullptr;
  QLineEdit* expansionHash_ = nullptr;
  QLabel* expansionMessage_ = nullptr;
  QComboBox* doubleClick_ = nullptr;
  QCheckBox* sorting_ = nullptr;
  QCheckBox* commonFirst_ = nullptr;
  QSpinBox* minimumScore_ = nullptr;
  QCheckBox* sortingAscending_ = nullptr;
  QCheckBox* grouping_ = nullptr;
  QButtonGroup* groupingSense_ = nullptr;
  QButtonGroup* multiple_ = nullptr;
  QLineEdit* definitionDictionary_ = nullptr;
  QAbstractButton* background_ = nullptr;
  DialogPlacement* placement_ = nullptr;
  // Set while the controls are being filled from the options, whose
  // signals then change nothing.
  bool filling_ = false;
};

}  // namespace kea::ui

#include "ui/OptionsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "dictionary/DictionaryList.h"
#include "settings/Persist.h"
#include "text/StringTable.h"
#include "ui/DialogPlacement.h"
#include "ui/LinkButton.h"
#include "ui/QtFonts.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

namespace {

using Profile = UserOptions;

// A logical pixel is 1/96 inch and a point 1/72 inch.
constexpr double kPointsPerPixel = 72.0 / 96.0;
// Sub-options sit this far in from the option they belong to.
constexpr int kIndent = 24;

// A button that shows what it chooses: a font's sample in that font and
// colour, or a colour's swatch, drawn inside the button's own frame.
class SampleButton : public QPushButton {
 public:
  explicit SampleButton(QWidget* parent) : QPushButton(parent) {}

  void setSample(const QString& text, const QFont& font, const QColor& ink, const QColor& ground) {
    sampleText_ = text;
    sampleFont_ = font;
    ink_ = ink;
    ground_ = ground;
    setAccessibleName(text);
    setToolTip(text);
    updateGeometry();
    update();
  }
  const QString& sampleText() const { return sampleText_; }

  QSize sizeHint() const override {
    const QSize button = QPushButton::sizeHint();
    if (sampleText_.isEmpty()) return QSize(std::max(button.width(), button.height() * 2), button.height());
    // Room for the whole sample, so the face and size read in full.
    const QFontMetrics metrics(sampleFont_);
    return QSize(std::max(button.width(), metrics.horizontalAdvance(sampleText_) + 24),
                 std::max(button.height(), metrics.height() + 12));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
    painter.fillRect(inside, ground_);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(inside.adjusted(0, 0, -1, -1));
    if (sampleText_.isEmpty()) return;
    painter.setFont(sampleFont_);
    painter.setPen(ink_);
    const QRect textRect = inside.adjusted(6, 0, -6, 0);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     QFontMetrics(sampleFont_).elidedText(sampleText_, Qt::ElideRight, textRect.width()));
  }

 private:
  QString sampleText_;
  QFont sampleFont_;
  QColor ink_;
  QColor ground_;
};

// The label without its mnemonic and closing colon, as a dialog's title.
QString plainLabel(std::string_view label) {
  QString text = toQString(label);
  text.remove(QLatin1Char('&'));
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text;
}

// A font as the font dialog offers it: in points, as fonts are chosen.
QFont inPoints(const FontSetting& setting) {
  QFont font = toQFont(setting);
  if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * kPointsPerPixel);
  return font;
}

QString describeFont(const FontSetting& setting) {
  const QFont font = inPoints(setting);
  QString text = toQString(setting.faceName);
  if (text.isEmpty()) text = font.family();
  if (font.pointSizeF() > 0) {
    text += OptionsDialog::tr(", %1 pt").arg(std::round(font.pointSizeF() * 2) / 2);
  }
  if (font.bold()) text += OptionsDialog::tr(", bold");
  if (font.italic()) text += OptionsDialog::tr(", italic");
  return text;
}

QLabel* hintLine(std::string_view hint, QWidget* parent) {
  auto* label = new QLabel(toQString(hint), parent);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setItalic(true);
  label->setFont(font);
  return label;
}

QWidget* indented(QWidget* widget, QWidget* parent) {
  auto* holder = new QWidget(parent);
  auto* layout = new QHBoxLayout(holder);
  layout->setContentsMargins(kIndent, 0, 0, 0);
  layout->addWidget(widget);
  layout->addStretch(1);
  return holder;
}

}  // namespace

OptionsDialog::OptionsDialog(UserOptions& profile, SettingsStore& store, QWidget* parent)
    : QDialog(parent), profile_(profile), store_(store), tabs_(new QTabWidget(this)) {
  setWindowTitle(toQString(dialogs::kOptionsCaption));

  tabs_->addTab(patternTab(), toQString(dialogs::kOptionsTabs[dialogs::kPatternTab].title));
  tabs_->addTab(resultTab(), toQString(dialogs::kOptionsTabs[dialogs::kResultTab].title));
  tabs_->addTab(sortingTab(), toQString(dialogs::kOptionsTabs[dialogs::kSortingTab].title));
  tabs_->addTab(dictionaryTab(), toQString(dialogs::kOptionsTabs[dialogs::kDictionaryTab].title));
  tabs_->addTab(appearanceTab(), toQString(dialogs::kOptionsTabs[dialogs::kAppearanceTab].title));
  for (int i = 0; i < dialogs::kOptionsTabCount; ++i) {
    const QString hint = toQString(dialogs::kOptionsTabs[static_cast<std::size_t>(i)].hint);
    tabs_->setTabToolTip(i, hint);
    tabs_->widget(i)->setStatusTip(hint);
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* save = buttons->addButton(toQString(dialogs::kSaveAsDefaultsButton), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
  QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
  remember(dialogs::kSaveAsDefaultsButton, save);
  for (QPushButton* button : {save, close, help}) button->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this, [this] { profile_.save(store_); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, &OptionsDialog::helpRequested);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(buttons);

  refresh();
  placement_ = new DialogPlacement(this, dialogs::kOptionsWindowName, store_);
  placement_->restore();
}

OptionsDialog::~OptionsDialog() = default;

// ---- Building the tabs ----

QWidget* OptionsDialog::newTab(int index) {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(hintLine(dialogs::kOptionsTabs[static_cast<std::size_t>(index)].hint, page));
  layout->addSpacing(6);
  return page;
}

void OptionsDialog::remember(std::string_view label, QWidget* widget) { controls_.emplace_back(label, widget); }

QCheckBox* OptionsDialog::flagBox(std::string_view label, bool UserOptions::*member, QWidget* parent) {
  auto* box = new QCheckBox(toQString(label), parent);
  flags_.push_back({member, box});
  remember(label, box);
  connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
    if (filling_) return;
    profile_.*member = on;
    changed();
  });
  return box;
}

QWidget* OptionsDialog::patternTab() {
  QWidget* page = newTab(dialogs::kPatternTab);
  auto* layout = static_cast<QVBoxLayout*>(page->layout());
  auto* form = new QFormLayout;
  expansionAt_ = new QLineEdit(page);
  expansionHash_ = new QLineEdit(page);
  for (auto [label, edit, member] : {std::tuple{dialogs::kExpansionAtLabel, expansionAt_, &Profile::expansionAt},
                                     std::tuple{dialogs::kExpansionHashLabel, expansionHash_, &Profile::expansionHash}}) {
    auto* name = new QLabel(toQString(label), page);
    name->setBuddy(edit);
    form->addRow(name, edit);
    remember(label, edit);
    // Clang 14 cannot capture structured bindings in a lambda.
    QLineEdit* const box = edit;
    const auto value = member;
    connect(box, &QLineEdit::textEdited, this, [this, box, value] { expansionEdited(box, value); });
  }
  expansionMessage_ = new QLabel(page);
  expansionMessage_->setWordWrap(true);
  expansionMessage_->setTextFormat(Qt::PlainText);
  expansionMessage_->hide();
  layout->addLayout(form);
  layout->addWidget(expansionMessage_);
  layout->addWidget(flagBox(dialogs::kVariablesExclusiveBox, &Profile::variablesExclusive, page));
  layout->addWidget(flagBox(dialogs::kIgnoreUnusedPunctuationBox, &Profile::ignoreUnusedPunctuation, page));
  layout->addStretch(1);
  return page;
}

QWidget* OptionsDialog::resultTab() {
  QWidget* page = newTab(dialogs::kResultTab);
  auto* layout = static_cast<QVBoxLayout*>(page->layout());
  layout->addWidget(flagBox(dialogs::kShowAnnotationsBox, &Profile::viewShowAnnotations, page));
  layout->addWidget(flagBox(dialogs::kShowBalancesBox, &Profile::viewShowBalances, page));
  layout->addSpacing(6);
  layout->addWidget(flagBox(dialogs::kOutputLowerBox, &Profile::outputLower, page));
  layout->addWidget(flagBox(dialogs::kOutputUpperBox, &Profile::outputUpper, page));
  layout->addWidget(flagBox(dialogs::kOutputPunctuationBox, &Profile::outputPunctuation, page));
  layout->addWidget(flagBox(dialogs::kOutputWhitespaceBox, &Profile::outputWhitespace, page));
  layout->addSpacing(6);

  doubleClick_ = new QComboBox(page);
  for (std::string_view choice : dialogs::kDoubleClickChoices) doubleClick_->addItem(toQString(choice));
  auto* label = new QLabel(toQString(dialogs::kDoubleClickLabel), page);
  label->setBuddy(doubleClick_);
  remember(dialogs::kDoubleClickLabel, doubleClick_);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(doubleClick_);
  row->addStretch(1);
  layout->addLayout(row);
  connect(doubleClick_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (filling_ || index < 0) return;
    profile_.viewDoubleClick = index;
    changed();
  });

  minimumScore_ = new QSpinBox(page);
  minimumScore_->setRange(0, Profile::kMaxScore);
  minimumScore_->setSpecialValueText(toQString(dialogs::kMinimumScoreNone));
  auto* minimumLabel = new QLabel(toQString(dialogs::kMinimumScoreLabel), page);
  minimumLabel->setBuddy(minimumScore_);
  remember(dialogs::kMinimumScoreLabel, minimumScore_);
  auto* minimumRow = new QHBoxLayout;
  minimumRow->addWidget(minimumLabel);
  minimumRow->addWidget(minimumScore_);
  minimumRow->addStretch(1);
  layout->addLayout(minimumRow);
  connect(minimumScore_, &QSpinBox::valueChanged, this, [this](int value) {
    if (filling_) return;
    profile_.outputMinimumScore = value;
    changed();
  });
  layout->addStretch(1);
  return page;
}

QWidget* OptionsDialog::sortingTab() {
  QWidget* page = newTab(dialogs::kSortingTab);
  auto* layout = static_cast<QVBoxLayout*>(page->layout());

  sorting_ = new QCheckBox(toQString(dialogs::kSortingBox), page);
  sortingAscending_ = new QCheckBox(toQString(dialogs::kAscending), page);
  remember(dialogs::kSortingBox, sorting_);
  layout->addWidget(sorting_);
  layout->addWidget(indented(sortingAscending_, page));
  layout->addSpacing(6);

  grouping_ = new QCheckBox(toQString(dialogs::kGroupingBox), page);
  remember(dialogs::kGroupingBox, grouping_);
  layout->addWidget(grouping_);
  groupingSense_ = new QButtonGroup(page);
  auto* senses = new QWidget(page);
  auto* sensesLayout = new QHBoxLayout(senses);
  sensesLayout->setContentsMargins(kIndent, 0, 0, 0);
  for (const dialogs::GroupingSense& sense : dialogs::kGroupingSenses) {
    auto* radio = new QRadioButton(toQString(sense.label), senses);
    groupingSense_->addButton(radio, sense.value);
    sensesLayout->addWidget(radio);
  }
  sensesLayout->addStretch(1);
  layout->addWidget(senses);
  layout->addSpacing(6);
  commonFirst_ = new QCheckBox(toQString(dialogs::kCommonFirstBox), page);
  remember(dialogs::kCommonFirstBox, commonFirst_);
  layout->addWidget(commonFirst_);
  layout->addStretch(1);
  connect(commonFirst_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    profile_.viewCommonFirst = on;
    refresh();
    changed();
  });

  // Clearing one of sorting and grouping ticks the other, and the window
  // shows it at once.
  connect(sorting_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    profile_.setViewSorting(on);
    refresh();
    changed();
  });
  connect(grouping_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    profile_.setViewLengthGrouping(on);
    refresh();
    changed();
  });
  connect(sortingAscending_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    profile_.viewSortingAscending = on;
    changed();
  });
  connect(groupingSense_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (filling_ || !on) return;
    profile_.viewLengthGroupingSense = id;
    changed();
  });
  return page;
}

QWidget* OptionsDialog::dictionaryTab() {
  QWidget* page = newTab(dialogs::kDictionaryTab);
  auto* layout = static_cast<QVBoxLayout*>(page->layout());
  multiple_ = new QButtonGroup(page);
  for (const dialogs::MultipleDictionaries& choice : dialogs::kMultipleDictionaryChoices) {
    auto* radio = new QRadioButton(toQString(choice.label), page);
    multiple_->addButton(radio, choice.value);
    remember(choice.label, radio);
    layout->addWidget(radio);
  }
  connect(multiple_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (filling_ || !on) return;
    profile_.viewMultipleDictionaries = id;
    changed();
  });
  layout->addSpacing(6);

  auto* group = new QGroupBox(toQString(dialogs::kDefinitionDictionaries), page);
  definitionDictionary_ = new QLineEdit(group);
  definitionDictionary_->setReadOnly(true);
  auto* change = new QPushButton(toQString(dialogs::kChangeButton), group);
  change->setAutoDefault(false);
  remember(dialogs::kDefinitionDictionaries, definitionDictionary_);
  remember(dialogs::kChangeButton, change);
  auto* row = new QHBoxLayout(group);
  row->addWidget(definitionDictionary_, 1);
  row->addWidget(change);
  layout->addWidget(group);
  layout->addStretch(1);
  connect(change, &QPushButton::clicked, this, &OptionsDialog::changeDefinitionDictionary);
  return page;
}

QWidget* OptionsDialog::fontRow(std::string_view label, FontSetting UserOptions::*member,
                                SampleGround ground, QWidget* parent, QGridLayout* grid, int row) {
  auto* sample = new SampleButton(parent);
  auto* colour = new SampleButton(parent);
  colour->setToolTip(tr("Text colour"));
  colour->setAccessibleName(tr("Text colour"));
  auto* name = new QLabel(toQString(label), parent);
  name->setBuddy(sample);
  grid->addWidget(name, row, 0);
  grid->addWidget(sample, row, 1);
  grid->addWidget(colour, row, 2);
  remember(label, sample);
  fonts_.push_back({label, member, ground, sample, colour});
  const std::size_t index = fonts_.size() - 1;
  connect(sample, &QPushButton::clicked, this, [this, index] { changeFont(fonts_[index]); });
  connect(colour, &QPushButton::clicked, this, [this, index] { changeFontColour(fonts_[index]); });
  return sample;
}

QWidget* OptionsDialog::appearanceTab() {
  QWidget* page = newTab(dialogs::kAppearanceTab);
  auto* layout = static_cast<QVBoxLayout*>(page->layout());

  auto* main = new QGroupBox(tr("Main window and printing"), page);
  auto* mainGrid = new QGridLayout(main);
  fontRow(dialogs::kPatternFontLabel, &Profile::fontPattern, SampleGround::Window, main, mainGrid, 0);
  fontRow(dialogs::kResultsFontLabel, &Profile::fontOutput, SampleGround::Window, main, mainGrid, 1);
  fontRow(dialogs::kAnnotationFontLabel, &Profile::fontOutputAnnotation, SampleGround::Window, main, mainGrid, 2);
  fontRow(dialogs::kPrintoutFontLabel, &Profile::fontPrinting, SampleGround::Paper, main, mainGrid, 3);
  mainGrid->setColumnStretch(1, 1);

  auto* definitions = new QGroupBox(tr("Definition window"), page);
  auto* definitionGrid = new QGridLayout(definitions);
  auto* background = new SampleButton(definitions);
  background_ = background;
  auto* backgroundLabel = new QLabel(toQString(dialogs::kBackgroundColorLabel), definitions);
  backgroundLabel->setBuddy(background);
  definitionGrid->addWidget(backgroundLabel, 0, 0);
  definitionGrid->addWidget(background, 0, 2);
  remember(dialogs::kBackgroundColorLabel, background);
  connect(background, &QPushButton::clicked, this, &OptionsDialog::changeBackground);
  fontRow(dialogs::kDefaultFontLabel, &Profile::definitionDefaultFont, SampleGround::Definition, definitions,
          definitionGrid, 1);
  fontRow(dialogs::kHighlightFontLabel, &Profile::definitionHighlightFont, SampleGround::Definition, definitions,
          definitionGrid, 2);
  definitionGrid->setColumnStretch(1, 1);

  // The two groups' labels share one width, so the samples line up.
  int labelWidth = 0;
  for (QGridLayout* grid : {mainGrid, definitionGrid}) {
    for (int row = 0; row < grid->rowCount(); ++row) {
      if (QLayoutItem* item = grid->itemAtPosition(row, 0)) labelWidth = std::max(labelWidth, item->sizeHint().width());
    }
  }
  mainGrid->setColumnMinimumWidth(0, labelWidth);
  definitionGrid->setColumnMinimumWidth(0, labelWidth);
  layout->addWidget(main);
  layout->addWidget(definitions);
  layout->addStretch(1);
  return page;
}

// ---- Showing the options ----

void OptionsDialog::refresh() {
  filling_ = true;
  for (const FlagControl& flag : flags_) flag.box->setChecked(profile_.*flag.member);
  // A box the user is typing in keeps what was typed, even text that was
  // refused.
  if (!expansionAt_->hasFocus()) expansionAt_->setText(toQString(profile_.expansionAt));
  if (!expansionHash_->hasFocus()) expansionHash_->setText(toQString(profile_.expansionHash));
  doubleClick_->setCurrentIndex(std::clamp(profile_.viewDoubleClick, 0, doubleClick_->count() - 1));
  sorting_->setChecked(profile_.viewSorting);
  sortingAscending_->setChecked(profile_.viewSortingAscending);
  // The most common first replaces the alphabet as the order.
  sorting_->setEnabled(!profile_.viewCommonFirst);
  sortingAscending_->setEnabled(profile_.viewSorting && !profile_.viewCommonFirst);
  commonFirst_->setChecked(profile_.viewCommonFirst);
  minimumScore_->setValue(profile_.outputMinimumScore);
  grouping_->setChecked(profile_.viewLengthGrouping);
  if (QAbstractButton* sense = groupingSense_->button(profile_.viewLengthGroupingSense)) sense->setChecked(true);
  for (QAbstractButton* sense : groupingSense_->buttons()) sense->setEnabled(profile_.viewLengthGrouping);
  if (QAbstractButton* choice = multiple_->button(profile_.viewMultipleDictionaries)) choice->setChecked(true);
  definitionDictionary_->setText(toQString(profile_.viewDefinitionDictionary));
  definitionDictionary_->setCursorPosition(0);
  drawSamples();
  filling_ = false;
}

void OptionsDialog::drawSamples() {
  const QPalette& p = palette();
  const QColor paper(Qt::white);
  const QColor definitionGround = toQColor(profile_.definitionBackgroundColor);
  for (FontControl& control : fonts_) {
    const FontSetting& setting = profile_.*control.member;
    const QColor ink = toQColor(setting.colour);
    QColor ground = p.color(QPalette::Base);
    QColor shown = ink;
    switch (control.ground) {
      case SampleGround::Window:
        // As the lists draw it: a colour lost on the theme's background
        // gives way to the theme's text colour.
        shown = readableOn(ink, ground, p.color(QPalette::Text));
        break;
      case SampleGround::Paper:
        ground = paper;
        break;
      case SampleGround::Definition:
        ground = definitionGround;
        break;
    }
    static_cast<SampleButton*>(control.sample)->setSample(describeFont(setting), toQFont(setting), shown, ground);
    static_cast<SampleButton*>(control.colour)->setSample({}, font(), ink, ink);
    control.colour->setAccessibleDescription(ink.name());
  }
  static_cast<SampleButton*>(background_)->setSample({}, font(), definitionGround, definitionGround);
  background_->setAccessibleName(plainLabel(dialogs::kBackgroundColorLabel));
  background_->setAccessibleDescription(definitionGround.name());
}

QWidget* OptionsDialog::control(std::string_view label) const {
  for (const auto& [name, widget] : controls_) {
    if (name == label) return widget;
  }
  return nullptr;
}

QAbstractButton* OptionsDialog::fontSample(std::string_view label) const {
  for (const FontControl& font : fonts_) {
    if (font.label == label) return font.sample;
  }
  return nullptr;
}

QAbstractButton* OptionsDialog::fontColourButton(std::string_view label) const {
  for (const FontControl& font : fonts_) {
    if (font.label == label) return font.colour;
  }
  return nullptr;
}

QString OptionsDialog::expansionMessage() const {
  return expansionMessage_->isHidden() ? QString() : expansionMessage_->text();
}

void OptionsDialog::showEvent(QShowEvent* event) {
  // The options may have been changed elsewhere while the window was closed.
  refresh();
  QDialog::showEvent(event);
}

// ---- Changing them ----

void OptionsDialog::changed() { emit optionsChanged(); }

void OptionsDialog::expansionEdited(QLineEdit* edit, std::string UserOptions::*member) {
  platform::CodecError error;
  const std::optional<std::string> text = fromQString(edit->text(), &error);
  if (!text) {
    // The option keeps its last usable text until the box holds one again.
    expansionMessage_->setText(toQString(dialogs::unusableTextCharacter(error.codePoint)));
    expansionMessage_->show();
    return;
  }
  expansionMessage_->clear();
  expansionMessage_->hide();
  if (profile_.*member == *text) return;
  profile_.*member = *text;
  changed();
}

void OptionsDialog::changeDefinitionDictionary() {
  const std::optional<QString> chosen = chooseDictionaryFile(toQString(profile_.viewDefinitionDictionary));
  if (!chosen || chosen->isEmpty()) return;
  platform::CodecError error;
  const std::optional<std::string> path = fromQString(*chosen, &error);
  if (!path) {
    showMessage(toQString(dialogs::unusableFileNameCharacter(error.codePoint)),
                toQString(texts::kDictionaryOpenFailedCaption));
    return;
  }
  // Checked the way a dictionary is opened, so that a file which is no
  // dictionary never becomes the one definitions are looked up in.
  DictionaryList::Dictionary dictionary(*path);
  dictionary.open(true);
  if (!dictionary.isOpen()) {
    showMessage(toQString(*path + std::string(texts::kNotValidDictionary) + dictionaryProblemDetail(dictionary.problem())),
                toQString(texts::kDictionaryOpenFailedCaption));
    return;
  }
  if (profile_.viewDefinitionDictionary == *path) return;
  profile_.viewDefinitionDictionary = *path;
  refresh();
  changed();
}

void OptionsDialog::changeFont(FontControl& control) {
  FontSetting& setting = profile_.*control.member;
  const std::optional<QFont> font = chooseFont(inPoints(setting), plainLabel(control.label));
  if (!font) return;
  setting = fromQFont(*font, toQColor(setting.colour), setting);
  drawSamples();
  changed();
}

void OptionsDialog::changeFontColour(FontControl& control) {
  FontSetting& setting = profile_.*control.member;
  const std::optional<QColor> colour = chooseColour(toQColor(setting.colour), plainLabel(control.label));
  if (!colour || !colour->isValid()) return;
  setting.colour = fromQColor(*colour);
  drawSamples();
  changed();
}

void OptionsDialog::changeBackground() {
  const std::optional<QColor> colour =
      chooseColour(toQColor(profile_.definitionBackgroundColor), plainLabel(dialogs::kBackgroundColorLabel));
  if (!colour || !colour->isValid()) return;
  profile_.definitionBackgroundColor = fromQColor(*colour);
  drawSamples();
  changed();
}

// ---- The standard dialogs ----

std::optional<QString> OptionsDialog::chooseDictionaryFile(const QString& current) {
  const QString file = QFileDialog::getOpenFileName(this, toQString(texts::kOpenDialogTitle), current,
                                                    fileDialogFilter(texts::kOpenDialogFilter));
  if (file.isEmpty()) return std::nullopt;
  return file;
}

std::optional<QFont> OptionsDialog::chooseFont(const QFont& current, const QString& title) {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, current, this, title);
  if (!ok) return std::nullopt;
  return font;
}

std::optional<QColor> OptionsDialog::chooseColour(const QColor& current, const QString& title) {
  const QColor colour = QColorDialog::getColor(current, this, title);
  if (!colour.isValid()) return std::nullopt;
  return colour;
}

void OptionsDialog::showMessage(const QString& text, const QString& caption) {
  QMessageBox::warning(this, caption, text);
}

}  // namespace kea::ui

#include "ui/DictionaryPropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogPlacement.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

namespace {

QLineEdit* readOnlyLine(const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setReadOnly(true);
  // A long path is read from its start.
  edit->setCursorPosition(0);
  return edit;
}

}  // namespace

DictionaryPropertiesDialog::DictionaryPropertiesDialog(const DictionaryList& list, int index,
                                                       SettingsStore& store, QWidget* parent)
    : QDialog(parent), properties_(dictionaryProperties(list, index)) {
  setWindowTitle(toQString(properties_.caption));

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  const auto addField = [&](std::string_view label, QWidget* field) {
    auto* name = new QLabel(toQString(label), this);
    name->setBuddy(field);
    form->addRow(name, field);
    fields_.emplace_back(label, field);
  };
  addField(dialogs::kLocationLabel, readOnlyLine(toQString(properties_.location), this));
  addField(dialogs::kDateLabel, readOnlyLine(toQString(properties_.date), this));
  auto* description = new QPlainTextEdit(toQString(properties_.description), this);
  description->setReadOnly(true);
  description->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  description->setTabChangesFocus(true);
  description->setMinimumHeight(4 * QFontMetrics(description->font()).lineSpacing());
  addField(dialogs::kDescriptionLabel, description);
  if (properties_.valid) {
    // Counts in the user's own way of grouping digits.
    const QLocale locale;
    addField(dialogs::kEntriesLabel, readOnlyLine(locale.toString(properties_.entries), this));
    addField(dialogs::kDefinitionsLabel, readOnlyLine(locale.toString(properties_.definitions), this));
    addField(dialogs::kShortestLabel, readOnlyLine(locale.toString(properties_.shortest), this));
    addField(dialogs::kLongestLabel, readOnlyLine(locale.toString(properties_.longest), this));
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(toQString(dialogs::kOkButton), QDialogButtonBox::AcceptRole);
  QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(help, &QPushButton::clicked, this, &DictionaryPropertiesDialog::helpRequested);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form, 1);
  layout->addWidget(buttons);
  // A description is a few lines; the box grows with the window.
  const int descriptionHeight = 6 * QFontMetrics(description->font()).lineSpacing();
  resize(qMax(sizeHint().width(), 460),
         sizeHint().height() - description->sizeHint().height() + descriptionHeight);

  (new DialogPlacement(this, dialogs::kPropertiesWindowName, store))->restore();
  ok->setFocus();
}

DictionaryPropertiesDialog::~DictionaryPropertiesDialog() = default;

QWidget* DictionaryPropertiesDialog::field(std::string_view label) const {
  for (const auto& [name, widget] : fields_) {
    if (name == label) return widget;
  }
  return nullptr;
}

QString DictionaryPropertiesDialog::fieldText(std::string_view label) const {
  const QWidget* widget = field(label);
  if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
  if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget)) return text->toPlainText();
  return {};
}

}  // namespace kea::ui

#include "ui/LookupMethodsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/DialogPlacement.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

namespace {

using Box = LookupMethodsModel::BoxState;

Qt::CheckState checkState(Box state) {
  switch (state) {
    case Box::Clear: return Qt::Unchecked;
    case Box::Grey: return Qt::PartiallyChecked;
    case Box::Ticked: return Qt::Checked;
  }
  return Qt::Unchecked;
}

Box boxState(Qt::CheckState state) {
  switch (state) {
    case Qt::Unchecked: return Box::Clear;
    case Qt::PartiallyChecked: return Box::Grey;
    case Qt::Checked: return Box::Ticked;
  }
  return Box::Clear;
}

}  // namespace

LookupMethodsDialog::LookupMethodsDialog(LookupConfiguration& configuration, SettingsStore& store, QWidget* parent)
    : QDialog(parent), configuration_(configuration), model_(configuration) {
  setObjectName(QStringLiteral("LookupMethodsDialog"));
  setWindowTitle(tr("Lookup Methods"));
  rows_.reserve(12);

  auto* layout = new QVBoxLayout(this);
  auto* testRow = new QHBoxLayout;
  auto* testLabel = new QLabel(tr("Test &word:"), this);
  testWord_ = new QLineEdit(toQString(configuration_.testWord()), this);
  testLabel->setBuddy(testWord_);
  test_ = new QPushButton(tr("&Test lookup"), this);
  testRow->addWidget(testLabel);
  testRow->addWidget(testWord_, 1);
  testRow->addWidget(test_);
  layout->addLayout(testRow);
  connect(testWord_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (auto word = stored(text)) model_.editTestWord(*word);
  });
  connect(test_, &QPushButton::clicked, this, [this] {
    const bool done = model_.testLookup();
    refreshBoxes();
    if (!done) emit lookupFailed();
  });

  struct MethodGroup {
    LookupStyle style;
    QString title;
    int methods;
    QStringList headings;
  };
  const MethodGroup groups[] = {
      {LookupStyle::WebSearch, tr("Web search"), 4, {tr("Name"), tr("Address ({entry} stands for the word)")}},
      {LookupStyle::Dde, tr("DDE (Windows programs only; kept for settings shared with them)"), 4,
       {tr("Name"), tr("Service"), tr("Topic")}},
      {LookupStyle::Message, tr("Message (Windows programs only; kept for settings shared with them)"), 2,
       {tr("Name"), tr("Window"), tr("Command")}},
      {LookupStyle::Program, tr("Program"), 2, {tr("Name"), tr("Program"), QString(), tr("Encoding")}},
  };
  for (const MethodGroup& kind : groups) {
    auto* group = new QGroupBox(kind.title, this);
    auto* grid = new QGridLayout(group);
    for (int c = 0; c < kind.headings.size(); ++c) grid->addWidget(new QLabel(kind.headings[c], group), 0, c + 1);
    for (int n = 0; n < kind.methods; ++n) {
      Row& r = addRow(kind.style, n, group);
      int column = 0;
      grid->addWidget(r.box, n + 1, column++);
      grid->addWidget(r.name, n + 1, column++);
      grid->addWidget(r.first, n + 1, column++);
      if (r.second != nullptr) grid->addWidget(r.second, n + 1, column++);
      if (r.browse != nullptr) grid->addWidget(r.browse, n + 1, column++);
      if (r.encoding != nullptr) grid->addWidget(r.encoding, n + 1, column++);
    }
    grid->setColumnStretch(2, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(group);
  }

  message_ = new QLabel(this);
  message_->setWordWrap(true);
  message_->hide();
  layout->addWidget(message_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* save = buttons->addButton(toQString(dialogs::kSaveAsDefaultsButton), QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Close);
  connect(save, &QPushButton::clicked, this, [this] { model_.saveAsDefaults(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  refreshBoxes();
  resize(std::max(sizeHint().width(), 720), sizeHint().height());
  auto* placement = new DialogPlacement(this, "LookupMethods", store);
  placement->restore();
}

LookupMethodsDialog::Row& LookupMethodsDialog::addRow(LookupStyle style, int number, QWidget* group) {
  rows_.push_back({style, number});
  Row& r = rows_.back();
  const LookupConfiguration::LookupEntry& method = configuration_.entry(style, number);
  r.box = new QCheckBox(group);
  r.box->setTristate(true);
  r.box->setToolTip(tr("Clear: not offered; grey: offered; ticked: the default method"));
  r.name = new QLineEdit(toQString(method.label), group);
  r.first = new QLineEdit(toQString(method.first), group);
  if (style == LookupStyle::Dde || style == LookupStyle::Message) {
    r.second = new QLineEdit(toQString(method.second), group);
  }
  // Long texts show from their start.
  for (QLineEdit* edit : {r.name, r.first, r.second}) {
    if (edit != nullptr) edit->setCursorPosition(0);
  }
  if (style == LookupStyle::Program) {
    r.browse = new QPushButton(tr("&Browse..."), group);
    r.encoding = new QComboBox(group);
    r.encoding->addItems({tr("No Encoding"), tr("Hex Encoding")});
    r.encoding->setCurrentIndex(method.second == "1" ? 1 : 0);
    connect(r.browse, &QPushButton::clicked, this, [this, number] { browse(number); });
    connect(r.encoding, &QComboBox::activated, this,
            [this, number](int index) { model_.chooseEncoding(number, index == 1); });
  }
  connect(r.box, &QCheckBox::clicked, this, [this, style, number] {
    const Row* me = row(style, number);
    model_.clickBox(style, number, boxState(me->box->checkState()));
    refreshBoxes();
  });
  connect(r.name, &QLineEdit::textEdited, this, [this, style, number](const QString& text) {
    if (auto name = stored(text)) model_.editName(style, number, *name);
    refreshBoxes();
  });
  connect(r.first, &QLineEdit::textEdited, this, [this, style, number](const QString& text) {
    if (auto value = stored(text)) model_.editFirst(style, number, *value);
  });
  if (r.second != nullptr) {
    connect(r.second, &QLineEdit::textEdited, this, [this, style, number](const QString& text) {
      if (auto value = stored(text)) model_.editSecond(style, number, *value);
    });
  }
  return r;
}

const LookupMethodsDialog::Row* LookupMethodsDialog::row(LookupStyle style, int number) const {
  for (const Row& r : rows_) {
    if (r.style == style && r.number == number) return &r;
  }
  return nullptr;
}

void LookupMethodsDialog::refreshBoxes() {
  for (const Row& r : rows_) {
    r.box->setCheckState(checkState(model_.boxState(r.style, r.number)));
    r.box->setEnabled(model_.boxEnabled(r.style, r.number));
  }
}

std::optional<std::string> LookupMethodsDialog::stored(const QString& text) {
  platform::CodecError error;
  auto value = fromQString(text, &error);
  if (value) {
    message_->hide();
  } else {
    // The change is not kept; the text the method had stays in force.
    message_->setText(toQString(dialogs::unusableTextCharacter(error.codePoint)));
    message_->show();
  }
  return value;
}

void LookupMethodsDialog::browse(int number) {
  const Row* r = row(LookupStyle::Program, number);
  if (r == nullptr) return;
  // On Linux a program is any executable file, whatever its name.
  QFileDialog dialog(this, tr("Application File Selection"), QFileInfo(r->first->text()).path());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDot);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  programChosen(number, dialog.selectedFiles().front());
}

void LookupMethodsDialog::programChosen(int number, const QString& path) {
  const Row* r = row(LookupStyle::Program, number);
  if (r == nullptr) return;
  const QFileInfo file(path);
  if (!file.isFile() || !file.isExecutable()) {
    message_->setText(tr("%1 is not a program that can be started.").arg(path));
    message_->show();
    return;
  }
  const auto value = stored(path);
  if (!value) return;
  r->first->setText(path);
  model_.editFirst(LookupStyle::Program, number, *value);
}

void LookupMethodsDialog::done(int result) {
  if (model_.unsavedChanges() &&
      QMessageBox::question(this, windowTitle(), toQString(LookupMethodsModel::kKeepMethodsQuestion),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes) {
    model_.saveAsDefaults();
  }
  QDialog::done(result);
}

}  // namespace kea::ui

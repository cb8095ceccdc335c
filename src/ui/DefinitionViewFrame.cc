#include "ui/DefinitionViewFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

#include "settings/Persist.h"
#include "ui/CommandTexts.h"
#include "ui/DialogPlacement.h"
#include "ui/LookupController.h"
#include "ui/QtFonts.h"
#include "ui/QtText.h"
#include "workspace/DefinitionLookup.h"

namespace kea::ui {

namespace {

using W = DefinitionBrowser;

constexpr std::string_view kSplitterPosition = "SplitterPosition";
// The text pane's left edge before the user moves it, in dialog units of
// the window's font (a quarter of its average character width).
constexpr int kTextPaneLeftDialogUnits = 108;

QTextCharFormat toTextFormat(const CharacterFormat& format) {
  QTextCharFormat out;
  if (!format.faceName.empty()) out.setFontFamilies({toQString(format.faceName)});
  if (format.sizeTwips > 0) out.setFontPointSize(format.pointSize());
  out.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  out.setFontItalic(format.italic);
  out.setFontUnderline(format.underline);
  out.setFontStrikeOut(format.strikeOut);
  out.setForeground(toQColor(format.colour));
  return out;
}

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

DefinitionKey keyOf(int key) {
  switch (key) {
    case Qt::Key_Backspace: return DefinitionKey::Backspace;
    case Qt::Key_F4: return DefinitionKey::F4;
    case Qt::Key_F5: return DefinitionKey::F5;
    case Qt::Key_F6: return DefinitionKey::F6;
    default: return DefinitionKey::Other;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The panes as the logic sees them

class DefinitionViewFrame::TreePane : public DefinitionTreeView {
 public:
  explicit TreePane(QTreeWidget* tree) : tree_(tree) {
    branch_ = themeIcon("accessories-dictionary", QStyle::SP_DirIcon);
    // A leaf shows a page, and an opened one while it is selected where
    // the icon theme has one.
    leaf_ = themeIcon("text-x-generic", QStyle::SP_FileIcon);
    if (QIcon::hasThemeIcon(QStringLiteral("document-open"))) {
      const QIcon open = QIcon::fromTheme(QStringLiteral("document-open"));
      for (const QSize size : {QSize(16, 16), QSize(20, 20), QSize(32, 32)}) {
        leaf_.addPixmap(open.pixmap(size), QIcon::Selected);
      }
    }
  }

  TreeItem insert(std::string_view text, TreeItemKind kind, TreeItem parent, int data) override {
    auto* item = parent == kNoTreeItem ? new QTreeWidgetItem(tree_)
                                       : new QTreeWidgetItem(reinterpret_cast<QTreeWidgetItem*>(parent));
    item->setText(0, toQString(text));
    item->setToolTip(0, item->text(0));
    item->setIcon(0, kind == TreeItemKind::Dictionary ? branch_ : leaf_);
    item->setData(0, Qt::UserRole, data);
    return reinterpret_cast<TreeItem>(item);
  }
  void deleteAll() override { tree_->clear(); }
  void expand(TreeItem item) override { reinterpret_cast<QTreeWidgetItem*>(item)->setExpanded(true); }
  void select(TreeItem item) override { tree_->setCurrentItem(reinterpret_cast<QTreeWidgetItem*>(item)); }
  void ensureVisible(TreeItem item) override { tree_->scrollToItem(reinterpret_cast<QTreeWidgetItem*>(item)); }
  TreeItem selected() const override { return reinterpret_cast<TreeItem>(tree_->currentItem()); }

 private:
  QTreeWidget* tree_;
  QIcon branch_;
  QIcon leaf_;
};

class DefinitionViewFrame::TextPane : public DefinitionTextView {
 public:
  explicit TextPane(QTextEdit* edit) : edit_(edit) {}

  int pixelsPerInchY() const override {
    const int dpi = edit_->logicalDpiY();
    return dpi > 0 ? dpi : kDefaultPixelsPerInch;
  }
  void setBackground(Colour colour) override {
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, toQColor(colour));
    edit_->setPalette(palette);
  }
  void clear(const CharacterFormat& format) override {
    base_ = toTextFormat(format);
    edit_->clear();
    QFont font = edit_->document()->defaultFont();
    if (!format.faceName.empty()) font.setFamilies({toQString(format.faceName)});
    if (format.sizeTwips > 0) font.setPointSizeF(format.pointSize());
    edit_->document()->setDefaultFont(font);
    edit_->setCurrentCharFormat(base_);
  }
  void setContent(const StyledText& text) override {
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const StyledRun& run : text.runs) {
      QTextCharFormat format = base_;
      if (run.style.bold) format.setFontWeight(QFont::Bold);
      if (run.style.italic) format.setFontItalic(true);
      if (run.style.underline) format.setFontUnderline(true);
      if (run.style.strikeOut) format.setFontStrikeOut(true);
      if (run.style.hasColour) format.setForeground(toQColor(run.style.colour));
      std::string_view rest = run.text;
      while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string piece(rest.substr(0, end));
        std::erase(piece, '\r');
        if (!piece.empty()) cursor.insertText(toQString(piece), format);
        if (end == std::string_view::npos) break;
        cursor.insertBlock(QTextBlockFormat(), format);
        rest.remove_prefix(end + 1);
      }
    }
    cursor.endEditBlock();
    edit_->document()->setModified(false);
  }
  std::string plainText() const override {
    // Built block by block so that positions are the document's own: one
    // character per block break, none of Qt's replacements.
    std::string out;
    for (QTextBlock block = edit_->document()->begin(); block.isValid(); block = block.next()) {
      if (block != edit_->document()->begin()) out += '\n';
      out += fromQString(block.text()).value_or(std::string(static_cast<std::size_t>(block.length() - 1), '?'));
    }
    return out;
  }
  TextRange selection() const override {
    const QTextCursor cursor = edit_->textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
  }
  void setSelection(TextRange range) override {
    QTextCursor cursor = edit_->textCursor();
    const int last = edit_->document()->characterCount() - 1;
    cursor.setPosition(std::clamp(range.start, 0, last));
    cursor.setPosition(std::clamp(range.end, 0, last), QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
  }
  void applyFormat(const CharacterFormat& format) override {
    QTextCursor cursor = edit_->textCursor();
    cursor.setCharFormat(toTextFormat(format));
  }
  void scrollCaretIntoView() override { edit_->ensureCursorVisible(); }
  void selectAll() override { edit_->selectAll(); }
  void copySelection() override { edit_->copy(); }
  void setFocus() override { edit_->setFocus(Qt::OtherFocusReason); }

 private:
  QTextEdit* edit_;
  QTextCharFormat base_;
};

// ---------------------------------------------------------------------------
// The text pane's widget

DefinitionRichEdit::DefinitionRichEdit(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  // Read-only text still takes the keyboard: the caret moves, and the word
  // under it is the one looked up.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setUndoRedoEnabled(false);
}

void DefinitionRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  // The double-click selects the word first; the lookup takes the selection.
  QTextEdit::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClicked(event->modifiers().testFlag(Qt::ShiftModifier));
}

void DefinitionRichEdit::keyPressEvent(QKeyEvent* event) {
  const DefinitionKey key = keyOf(event->key());
  if (key != DefinitionKey::Other && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    emit windowKey(key);
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void DefinitionRichEdit::contextMenuEvent(QContextMenuEvent* event) { emit menuWanted(event->globalPos()); }

// ---------------------------------------------------------------------------
// The frame

DefinitionViewFrame::DefinitionViewFrame(int number, LookupController& lookups, SettingsStore& store,
                                         QWidget* parent)
    : QMainWindow(parent),
      lookups_(lookups),
      store_(store),
      tree_(new QTreeWidget(this)),
      text_(new DefinitionRichEdit(this)),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      status_(new QLabel(this)) {
  setObjectName(QStringLiteral("DefinitionFrame%1").arg(number));
  setAttribute(Qt::WA_DeleteOnClose);
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setRootIsDecorated(true);
  tree_->setObjectName(QStringLiteral("DefinitionTree"));
  text_->setObjectName(QStringLiteral("DefinitionText"));

  splitter_->addWidget(tree_);
  splitter_->addWidget(text_);
  splitter_->setChildrenCollapsible(false);
  // A pane being made smaller keeps at least eight gaps of width.
  tree_->setMinimumWidth(8 * splitter_->handleWidth());
  text_->setMinimumWidth(8 * splitter_->handleWidth());
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  status_->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(status_, 1);

  treePane_ = std::make_unique<TreePane>(tree_);
  textPane_ = std::make_unique<TextPane>(text_);
  DefinitionWorkspace& workspace = *this;
  DefinitionFrameView& frame = *this;
  windows_ = std::make_unique<DefinitionBrowser>(number, lookups_.options(), workspace, frame, *treePane_,
                                                     *textPane_);
  buildToolBar();

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
    windows_->onTreeSelectionChanged();
    updateCommands();
  });
  connect(text_, &DefinitionRichEdit::doubleClicked, this, [this](bool shift) { windows_->onTextDoubleClick(shift); });
  connect(text_, &DefinitionRichEdit::windowKey, this, [this](DefinitionKey key) {
    windows_->onTextKey(key);
    updateCommands();
  });
  connect(text_, &DefinitionRichEdit::menuWanted, this, &DefinitionViewFrame::showContextMenu);
  connect(text_, &QTextEdit::selectionChanged, this, &DefinitionViewFrame::updateCommands);
  connect(text_, &QTextEdit::cursorPositionChanged, this, &DefinitionViewFrame::updateCommands);
  connect(splitter_, &QSplitter::splitterMoved, this, &DefinitionViewFrame::storeSplitter);

  placement_ = new DialogPlacement(this, "Definition" + std::to_string(number), store_);
  restorePlacement();
}

DefinitionViewFrame::~DefinitionViewFrame() {
  // The logic goes before the panes it drives.
  windows_.reset();
}

QString DefinitionViewFrame::statusText() const { return status_->text(); }

QAction* DefinitionViewFrame::action(int command) const {
  const auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

QAction* DefinitionViewFrame::addCommand(int command, const QString& text, const QIcon& icon) {
  auto* a = new QAction(icon, text, this);
  a->setData(command);
  connect(a, &QAction::triggered, this, [this, command] { run(command); });
  addAction(a);
  actions_[command] = a;
  return a;
}

void DefinitionViewFrame::buildToolBar() {
  QToolBar* bar = addToolBar(tr("Definition"));
  bar->setObjectName(QStringLiteral("DefinitionToolBar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonFollowStyle);

  addCommand(W::kPreviousResult, tr("Previous &Result"), themeIcon("go-up", QStyle::SP_ArrowUp))
      ->setStatusTip(tr("Look up the result before this one in the main window"));
  addCommand(W::kNextResult, tr("Next R&esult"), themeIcon("go-down", QStyle::SP_ArrowDown))
      ->setStatusTip(tr("Look up the result after this one in the main window"));
  QAction* lookup = addCommand(W::kLookup, tr("&Lookup"), themeIcon("edit-find", QStyle::SP_FileDialogContentsView));
  lookup->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  lookup->setStatusTip(tr("Look up the selected word"));
  QAction* inNew = addCommand(W::kLookupInNewWindow, tr("Lookup in &New Window..."));
  inNew->setShortcuts({QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Return),
                       QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Enter)});
  inNew->setStatusTip(tr("Look up the selected word in a new window"));
  QAction* external =
      addCommand(W::kExternalLookup, tr("&External Lookup"), themeIcon("internet-web-browser", QStyle::SP_DriveNetIcon));
  external->setShortcuts({QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Return),
                          QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Enter)});
  external->setStatusTip(tr("Look up the selected word online or in an another dictionary application"));
  // The keys a browser uses for Back and Forward.
  QAction* back = addCommand(W::kBack, tr("&Back"), themeIcon("go-previous", QStyle::SP_ArrowBack));
  back->setStatusTip(tr("Go back to the word looked up before"));
  back->setShortcuts(QKeySequence::Back);
  QAction* forward = addCommand(W::kForward, tr("&Forward"), themeIcon("go-next", QStyle::SP_ArrowForward));
  forward->setStatusTip(tr("Go forward to the word looked up next"));
  forward->setShortcuts(QKeySequence::Forward);
  addCommand(W::kNextDefinition, tr("&Next Definition"))->setStatusTip(tr("Show the next definition"));
  addCommand(W::kPreviousDefinition, tr("&Previous Definition"))->setStatusTip(tr("Show the previous definition"));
  addCommand(W::kCopy, tr("&Copy"), QIcon::fromTheme(QStringLiteral("edit-copy")))
      ->setShortcut(QKeySequence::Copy);
  addCommand(W::kSelectAll, tr("Select &All"))->setShortcut(QKeySequence::SelectAll);

  historyMenu_ = new QMenu(this);
  connect(historyMenu_, &QMenu::aboutToShow, this, &DefinitionViewFrame::fillHistoryMenu);
  externalMenu_ = new QMenu(this);
  connect(externalMenu_, &QMenu::aboutToShow, this, [this] { fillExternalMenu(externalMenu_); });

  for (const int command : {W::kPreviousResult, W::kNextResult, W::kLookup, W::kExternalLookup, W::kBack, W::kForward}) {
    bar->addAction(action(command));
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action(command)));
    if (button == nullptr) continue;
    if (command == W::kBack || command == W::kForward) {
      button->setMenu(historyMenu_);
      button->setPopupMode(QToolButton::MenuButtonPopup);
    } else if (command == W::kExternalLookup) {
      button->setMenu(externalMenu_);
      button->setPopupMode(QToolButton::MenuButtonPopup);
    }
  }
  updateCommands();
}

void DefinitionViewFrame::updateCommands() {
  for (const auto& [command, a] : actions_) a->setEnabled(windows_->isEnabled(command));
}

void DefinitionViewFrame::run(int command) {
  if (command == lookup_commands::kSetup) {
    lookups_.openSetup(this);
  } else {
    windows_->execute(command);
  }
  // The window may have closed meanwhile only through the user; it is
  // still here when execute() returns.
  updateCommands();
}

void DefinitionViewFrame::fillHistoryMenu() {
  historyMenu_->clear();
  for (const W::MenuItem& item : windows_->historyMenu()) {
    QAction* a = historyMenu_->addAction(toQString(item.text));
    a->setCheckable(true);
    a->setChecked(item.checked);
    const int command = item.command;
    connect(a, &QAction::triggered, this, [this, command] { run(command); });
  }
}

void DefinitionViewFrame::fillExternalMenu(QMenu* menu) {
  lookups_.fillExternalMenu(menu, windows_->isEnabled(W::kExternalLookup), [this](int command) { run(command); });
}

void DefinitionViewFrame::showContextMenu(const QPoint& globalPos) {
  updateCommands();
  QMenu menu(this);
  QMenu* goTo = menu.addMenu(tr("&Go To"));
  for (const int command : {W::kPreviousDefinition, W::kNextDefinition, W::kPreviousResult, W::kNextResult, W::kBack,
                            W::kForward}) {
    goTo->addAction(action(command));
  }
  goTo->addSeparator();
  for (const W::MenuItem& item : windows_->historyMenu()) {
    QAction* a = goTo->addAction(toQString(item.text));
    a->setCheckable(true);
    a->setChecked(item.checked);
    const int command = item.command;
    connect(a, &QAction::triggered, this, [this, command] { run(command); });
  }
  menu.addSeparator();
  for (const int command : {W::kLookup, W::kLookupInNewWindow}) {
    QAction* a = menu.addAction(toQString(windows_->lookupMenuText(command)));
    // The same keys as the main window's lookups.
    a->setShortcuts(commandShortcuts(command == W::kLookup ? CommandId::Lookup : CommandId::LookupNewWindow));
    a->setEnabled(windows_->isEnabled(command));
    connect(a, &QAction::triggered, this, [this, command] { run(command); });
  }
  QMenu* external = menu.addMenu(tr("&External Lookup"));
  fillExternalMenu(external);
  menu.addSeparator();
  menu.addAction(action(W::kCopy));
  menu.addAction(action(W::kSelectAll));
  menu.exec(globalPos);
}

// ---- Placement ----

void DefinitionViewFrame::restorePlacement() {
  if (!placement_->restore()) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const WindowPosition place = firstDefinitionWindowPlacement({area.x(), area.y(), area.width(), area.height()});
    move(place.left, place.top);
    resize(place.width, place.height);
  }
  // Until the user moves it, the tree takes two fifths of the window, so
  // that its leaves show enough of their glosses to be told apart.
  int left = std::max(kTextPaneLeftDialogUnits * fontMetrics().averageCharWidth() / 4, width() * 2 / 5);
  {
    Persist persist(store_, SettingsMode::Read);
    persist.readInt(kSplitterPosition, left);
  }
  const int handle = splitter_->handleWidth();
  const int total = std::max(width(), 2 * left);
  splitter_->setSizes({std::max(left - handle, 8 * handle), std::max(total - left, 8 * handle)});
}

void DefinitionViewFrame::storeSplitter() {
  const QList<int> sizes = splitter_->sizes();
  if (sizes.size() < 2) return;
  Persist persist(store_, SettingsMode::Write);
  persist.writeInt(kSplitterPosition, sizes[0] + splitter_->handleWidth());
}

void DefinitionViewFrame::closeEvent(QCloseEvent* event) {
  placement_->save();
  QMainWindow::closeEvent(event);
}

// ---- Showing ----

void DefinitionViewFrame::showWord(std::vector<Definition> definitions, std::string_view word,
                                   std::string_view dictionaryToSelect, std::string_view wordSuffix,
                                   const FullTextWordMatcher* fullTextQuery) {
  windows_->showWord(std::move(definitions), word, dictionaryToSelect, wordSuffix, fullTextQuery);
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
  updateCommands();
}

// ---- The panes' frame and workspace ----

void DefinitionViewFrame::setCaption(std::string_view caption) { setWindowTitle(toQString(caption)); }
void DefinitionViewFrame::setStatusText(std::string_view text) { status_->setText(toQString(text)); }

std::optional<DictionaryTexts> DefinitionViewFrame::dictionaryTexts(std::string_view path) {
  return lookups_.dictionaryTexts(path);
}
std::vector<Definition> DefinitionViewFrame::lookupDefinitions(std::string_view word) {
  return lookups_.definitionsOf(word);
}
void DefinitionViewFrame::lookUp(const LookupRequest& request, bool inNewWindow) {
  lookups_.lookUp(request, inNewWindow ? nullptr : this, inNewWindow);
}
void DefinitionViewFrame::externalLookUp(std::string_view word, int command) { lookups_.externalLookUp(word, command); }
bool DefinitionViewFrame::canMoveResult(int delta) const { return lookups_.canMoveResult(delta); }
void DefinitionViewFrame::moveResult(int delta) { lookups_.moveResult(delta, this); }
void DefinitionViewFrame::windowKey(DefinitionKey key) { lookups_.windowKey(key, this); }

}  // namespace kea::ui

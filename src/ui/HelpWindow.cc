#include "ui/HelpWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ProgramFolder.h"
#include "ui/DialogPlacement.h"
#include "platform/File.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

namespace {

// No help page comes near this; what lies beyond is not read for the list.
constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;

QString indexPage() { return toQString(dialogs::kHelpIndexPage); }

QString readPage(const QString& path) {
  // Only a regular file is opened, and nothing waits: a page that is a
  // named pipe would hold the window until something wrote to it.
  platform::ReadOnlyFile file;
  if (file.openNative(QFile::encodeName(path).toStdString()) != platform::OpenError::None) return {};
  std::string bytes(static_cast<std::size_t>(kMaxPageBytes), '\0');
  bytes.resize(file.readAt(0, bytes.data(), bytes.size()));
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString titleOf(const QString& html) {
  static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch match = title.match(html);
  if (!match.hasMatch()) return {};
  QString text = QTextDocumentFragment::fromHtml(match.captured(1)).toPlainText().simplified();
  // Every page's title names the guide too; the contents list need not.
  const QString suffix = QStringLiteral(" - KEA Help");
  if (text.endsWith(suffix) && text.size() > suffix.size()) text.chop(suffix.size());
  return text;
}

// The pages an index links to, in the order of its links.
QStringList linkedPages(const QString& html) {
  static const QRegularExpression href(QStringLiteral("href\\s*=\\s*[\"']([^\"'#?]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
  QStringList pages;
  for (auto it = href.globalMatch(html); it.hasNext();) {
    const QString page = it.next().captured(1);
    if (!pages.contains(page)) pages.push_back(page);
  }
  return pages;
}

bool isExternal(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

}  // namespace

QString HelpWindow::programHelpFolder() {
  const std::string index = std::string(dialogs::kHelpFolder) + "/" + std::string(dialogs::kHelpIndexPage);
  const auto path = platform::findDataFile(index);
  return path ? QFileInfo(toQString(*path)).absolutePath() : QString();
}

HelpWindow::HelpWindow(SettingsStore& store, const QString& folder, QWidget* parent)
    : QMainWindow(parent),
      folder_(folder.isEmpty() ? programHelpFolder() : folder),
      browser_(new QTextBrowser(this)),
      contents_(new QListWidget(this)),
      search_(new QLineEdit(this)) {
  setWindowTitle(toQString(dialogs::kHelpCaption));
  // A window of its own beside the main one, not a dialog over it.
  setWindowFlag(Qt::Window);

  auto* toolBar = addToolBar(tr("Navigation"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  back_ = toolBar->addAction(QIcon::fromTheme(QStringLiteral("go-previous"), style()->standardIcon(QStyle::SP_ArrowBack)),
                             tr("&Back"), browser_, &QTextBrowser::backward);
  forward_ = toolBar->addAction(
      QIcon::fromTheme(QStringLiteral("go-next"), style()->standardIcon(QStyle::SP_ArrowForward)), tr("&Forward"),
      browser_, &QTextBrowser::forward);
  QAction* home = toolBar->addAction(
      QIcon::fromTheme(QStringLiteral("go-home"), style()->standardIcon(QStyle::SP_DirHomeIcon)), tr("&Home"), this,
      [this] { showContents(); });
  back_->setShortcut(QKeySequence::Back);
  forward_->setShortcut(QKeySequence::Forward);
  home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
  back_->setEnabled(false);
  forward_->setEnabled(false);

  search_->setPlaceholderText(tr("Search"));
  search_->setClearButtonEnabled(true);
  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(search_);
  sideLayout->addWidget(contents_, 1);

  browser_->setOpenLinks(false);
  browser_->setSearchPaths({folder_});
  auto* central = new QWidget(this);
  auto* splitter = new QSplitter(central);
  splitter->addWidget(side);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 680});
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->addWidget(splitter);
  setCentralWidget(central);
  resize(900, 640);

  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
  connect(contents_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item) showPage(item->data(Qt::UserRole).toString());
  });
  connect(search_, &QLineEdit::textChanged, this, &HelpWindow::filterContents);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);

  placement_ = new DialogPlacement(this, dialogs::kHelpWindowName, store);
  placement_->restore();
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::helpAvailable() const { return !folder_.isEmpty() && QFileInfo(folder_).isDir(); }

QString HelpWindow::pagePath(const QString& file) const {
  if (!helpAvailable() || file.isEmpty()) return {};
  const QFileInfo page(QDir(folder_).filePath(file));
  if (!page.isFile()) return {};
  // Only pages of the help folder: a name with ".." leads nowhere else.
  const QString root = QFileInfo(folder_).canonicalFilePath() + QLatin1Char('/');
  const QString path = page.canonicalFilePath();
  return path.startsWith(root) ? path : QString();
}

QString HelpWindow::relativePath(const QString& path) const {
  // Pages are opened by their real paths; the folder may be named through a link.
  return QDir(QFileInfo(folder_).canonicalFilePath()).relativeFilePath(path);
}

bool HelpWindow::showPage(const QString& pageWithOptionalAnchor) {
  const qsizetype hash = pageWithOptionalAnchor.indexOf(QLatin1Char('#'));
  const QString file = pageWithOptionalAnchor.left(hash < 0 ? pageWithOptionalAnchor.size() : hash);
  const QString path = pagePath(file);
  if (path.isEmpty()) {
    reportMissing();
    return false;
  }
  loadContents();
  QUrl url = QUrl::fromLocalFile(path);
  if (hash >= 0) url.setFragment(pageWithOptionalAnchor.mid(hash + 1));
  if (browser_->source() != url) browser_->setSource(url);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  return true;
}

bool HelpWindow::showContents() { return showPage(indexPage()); }

QUrl HelpWindow::currentPage() const { return browser_->source(); }

void HelpWindow::reportMissing() {
  QMessageBox::warning(isVisible() ? this : parentWidget(), toQString(dialogs::kHelpNotFoundCaption),
                       toQString(dialogs::kHelpNotFound));
}

void HelpWindow::openExternal(const QUrl& url) { QDesktopServices::openUrl(url); }

void HelpWindow::loadContents() {
  if (contentsLoaded_) return;
  contentsLoaded_ = true;
  const QDir dir(folder_);
  const QStringList files =
      dir.entryList({QStringLiteral("*.html"), QStringLiteral("*.htm")}, QDir::Files | QDir::Readable, QDir::Name);
  std::vector<Page> found;
  for (const QString& file : files) {
    const QString html = readPage(dir.filePath(file));
    Page page{file, titleOf(html), QTextDocumentFragment::fromHtml(html).toPlainText()};
    if (page.title.isEmpty()) page.title = QFileInfo(file).completeBaseName();
    found.push_back(std::move(page));
  }
  // The index first, then the pages in the order it links to them, then
  // any others by title.
  QStringList order{indexPage()};
  const auto index = std::find_if(found.begin(), found.end(), [](const Page& p) { return p.file == indexPage(); });
  if (index != found.end()) {
    for (const QString& linked : linkedPages(readPage(dir.filePath(indexPage())))) {
      if (!order.contains(linked)) order.push_back(linked);
    }
  }
  const auto rank = [&](const Page& page) {
    const qsizetype at = order.indexOf(page.file);
    return at < 0 ? order.size() : at;
  };
  std::stable_sort(found.begin(), found.end(), [&](const Page& a, const Page& b) {
    const qsizetype ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb;
    return QString::localeAwareCompare(a.title, b.title) < 0;
  });
  pages_ = std::move(found);

  const QSignalBlocker blocker(contents_);
  contents_->clear();
  for (const Page& page : pages_) {
    auto* item = new QListWidgetItem(page.title, contents_);
    item->setData(Qt::UserRole, page.file);
    item->setToolTip(page.title);
  }
}

void HelpWindow::followLink(const QUrl& url) {
  if (isExternal(url)) {
    openExternal(url);
    return;
  }
  const QUrl target = browser_->source().resolved(url);
  if (!target.isLocalFile()) return;
  const QString path = pagePath(relativePath(target.toLocalFile()));
  if (path.isEmpty()) {
    reportMissing();
    return;
  }
  QUrl page = QUrl::fromLocalFile(path);
  page.setFragment(target.fragment());
  browser_->setSource(page);
}

void HelpWindow::pageChanged(const QUrl& url) {
  const QString file = relativePath(url.toLocalFile());
  const QSignalBlocker blocker(contents_);
  for (int i = 0; i < contents_->count(); ++i) {
    QListWidgetItem* item = contents_->item(i);
    if (item->data(Qt::UserRole).toString() == file) {
      contents_->setCurrentItem(item);
      return;
    }
  }
  contents_->setCurrentItem(nullptr);
}

void HelpWindow::filterContents(const QString& words) {
  loadContents();
  const QStringList wanted = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (int i = 0; i < contents_->count() && i < static_cast<int>(pages_.size()); ++i) {
    const Page& page = pages_[static_cast<std::size_t>(i)];
    const bool shown = std::all_of(wanted.begin(), wanted.end(), [&](const QString& word) {
      return page.title.contains(word, Qt::CaseInsensitive) || page.text.contains(word, Qt::CaseInsensitive);
    });
    contents_->item(i)->setHidden(!shown);
  }
}

}  // namespace kea::ui

#include "ui/StartupTipsWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>

#include "definitions/RichTextReader.h"
#include "settings/Persist.h"
#include "ui/DialogPlacement.h"
#include "ui/QtFonts.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {

namespace {

constexpr int kIconSize = 48;

// A light bulb where the icon theme has one, else the theme's or the
// style's information sign.
QIcon tipIcon(const QStyle* style) {
  return QIcon::fromTheme(QStringLiteral("help-hint"),
                          QIcon::fromTheme(QStringLiteral("dialog-information"),
                                           style->standardIcon(QStyle::SP_MessageBoxInformation)));
}

void showStyledText(QTextBrowser* browser, const StyledText& text) {
  browser->clear();
  QTextCursor cursor(browser->document());
  for (const StyledRun& run : text.runs) {
    QTextCharFormat format;
    if (run.style.bold) format.setFontWeight(QFont::Bold);
    format.setFontItalic(run.style.italic);
    format.setFontUnderline(run.style.underline);
    format.setFontStrikeOut(run.style.strikeOut);
    if (run.style.hasColour) format.setForeground(toQColor(run.style.colour));
    cursor.insertText(toQString(run.text), format);
  }
}

}  // namespace

StartupTipsWindow::StartupTipsWindow(SettingsStore& store, std::string_view programFolder, QWidget* parent)
    : QDialog(parent),
      store_(store),
      text_(new QTextBrowser(this)),
      nextButton_(new QPushButton(tr("&Next Tip"), this)),
      moreButton_(new QPushButton(tr("&More on this topic"), this)),
      showBox_(new QCheckBox(tr("&Show this window when KEA starts"), this)) {
  setWindowTitle(tr("KEA Tip of the Day"));

  auto* icon = new QLabel(this);
  icon->setPixmap(tipIcon(style()).pixmap(kIconSize, kIconSize));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  auto* heading = new QLabel(toQString(dialogs::kTipHeading), this);
  heading->setTextFormat(Qt::PlainText);
  QFont headingFont = heading->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
  heading->setFont(headingFont);

  text_->setReadOnly(true);
  text_->setOpenLinks(false);
  text_->setFrameShape(QFrame::NoFrame);
  text_->document()->setDocumentMargin(0);
  // The tip reads as part of the window, not as a box to type in.
  text_->viewport()->setAutoFillBackground(false);
  text_->setFocusPolicy(Qt::NoFocus);

  auto* tipColumn = new QVBoxLayout;
  tipColumn->addWidget(heading);
  tipColumn->addWidget(text_, 1);
  auto* tipRow = new QHBoxLayout;
  tipRow->addWidget(icon, 0, Qt::AlignTop);
  tipRow->addLayout(tipColumn, 1);

  auto* closeButton = new QPushButton(tr("&Close"), this);
  auto* helpButton = new QPushButton(tr("&Help"), this);
  // The show box on a line of its own keeps the window compact.
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {nextButton_, moreButton_, closeButton, helpButton}) buttons->addWidget(button);
  nextButton_->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tipRow, 1);
  layout->addWidget(showBox_);
  layout->addLayout(buttons);
  resize(460, 220);

  connect(nextButton_, &QPushButton::clicked, this, &StartupTipsWindow::showNextTip);
  connect(moreButton_, &QPushButton::clicked, this, [this] {
    if (tips_.topic() != 0) emit topicRequested(tips_.topic());
  });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
  connect(helpButton, &QPushButton::clicked, this, &StartupTipsWindow::helpRequested);
  connect(showBox_, &QCheckBox::toggled, this, &StartupTipsWindow::showOnStartupChanged);

  if (const auto file = StartupTips::findFile(programFolder)) tips_.readFile(*file);
  {
    Persist persist(store_, SettingsMode::Read);
    tips_.loadNextIndex(persist);
  }
  tips_.restartPastTheEnd();
  showBox_->setChecked(true);
  showNextTip();

  placement_ = new DialogPlacement(this, StartupTips::kWindowName, store_);
  restored_ = placement_->restore();
}

StartupTipsWindow::~StartupTipsWindow() {
  // Closed with the main window: the hide that follows reaches only the
  // placement, so the turn is written here.
  if (isVisible()) saveNextIndex();
}

bool StartupTipsWindow::showOnStartup() const { return showBox_->isChecked(); }

void StartupTipsWindow::setShowOnStartup(bool on) { showBox_->setChecked(on); }

QString StartupTipsWindow::tipText() const { return text_->toPlainText(); }

void StartupTipsWindow::showNextTip() {
  // A line without a blank leaves the text as it was, so drawing it again
  // changes nothing.
  tips_.showNext();
  if (tips_.isRichText()) {
    showStyledText(text_, readRichText(tips_.text()));
  } else {
    text_->setPlainText(toQString(tips_.text()));
  }
  moreButton_->setEnabled(tips_.topic() != 0);
  nextButton_->setEnabled(tips_.nextIndex() < tips_.tips().size());
}

void StartupTipsWindow::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) saveNextIndex();
  QDialog::hideEvent(event);
}

void StartupTipsWindow::saveNextIndex() {
  Persist persist(store_, SettingsMode::Write);
  tips_.saveNextIndex(persist);
}

}  // namespace kea::ui

#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ProgramFolder.h"
#include "text/StringTable.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

#ifndef KEA_VERSION
#error "KEA_VERSION is set by the build from the project's version"
#endif

namespace kea::ui {

namespace {

constexpr int kIconSize = 64;
constexpr std::string_view kIconFile = "kea.svg";

}  // namespace

QString AboutDialog::versionText() { return QStringLiteral(KEA_VERSION); }

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), version_(new QLabel(this)), notices_(new QPlainTextEdit(this)) {
  setWindowTitle(toQString(dialogs::kAboutCaption));

  auto* icon = new QLabel(this);
  if (const auto path = platform::findDataFile(kIconFile)) {
    const QIcon svg(toQString(*path));
    const QPixmap pixmap = svg.pixmap(kIconSize, kIconSize);
    if (!pixmap.isNull()) {
      icon->setPixmap(pixmap);
      hasIcon_ = true;
    }
  }
  if (!hasIcon_) icon->setPixmap(windowIcon().pixmap(kIconSize, kIconSize));
  icon->setAlignment(Qt::AlignTop);

  auto* name = new QLabel(toQString(texts::kProgramName), this);
  QFont nameFont = name->font();
  nameFont.setBold(true);
  nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
  name->setFont(nameFont);
  version_->setText(tr("Version %1").arg(versionText()));
  version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* summary = new QLabel(toQString(dialogs::kAboutSummary), this);
  summary->setWordWrap(true);

  auto* titles = new QVBoxLayout;
  titles->addWidget(name);
  titles->addWidget(version_);
  titles->addWidget(summary);
  titles->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(titles, 1);

  notices_->setPlainText(toQString(dialogs::dataNotices()));
  notices_->setReadOnly(true);
  notices_->setTabChangesFocus(true);
  // The notices are laid out in fixed columns; a narrow window wraps them
  // rather than hiding their ends.
  notices_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(tr("&Close"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(notices_, 1);
  layout->addWidget(buttons);
  resize(680, 560);
}

}  // namespace kea::ui

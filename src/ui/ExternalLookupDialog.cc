#include "ui/ExternalLookupDialog.h"

#include <algorithm>

#include <QLayout>

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/DialogPlacement.h"
#include "ui/QtText.h"

namespace kea::ui {

ExternalLookupDialog::ExternalLookupDialog(const ExternalLookupPrompt& model, SettingsStore& store,
                                           QWidget* parent)
    : QDialog(parent), model_(model), message_(new QLabel(this)) {
  setObjectName(QStringLiteral("ExternalLookupPrompt"));
  setWindowTitle(toQString(model.caption()));
  // The program's other windows wait for the answer.
  setWindowModality(Qt::ApplicationModal);

  auto* icon = new QLabel(this);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
  icon->setAlignment(Qt::AlignTop);
  message_->setTextFormat(Qt::PlainText);
  message_->setWordWrap(true);
  message_->setMinimumWidth(320);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  setup_ = buttons->addButton(tr("&Setup..."), QDialogButtonBox::ActionRole);
  QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(setup_, &QPushButton::clicked, this, &ExternalLookupDialog::setupWanted);
  connect(help, &QPushButton::clicked, this, &ExternalLookupDialog::helpWanted);

  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(message_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);

  auto* placement = new DialogPlacement(this, ExternalLookupPrompt::kPlacementKey, store);
  placement->restore();
  refresh();
}

void ExternalLookupDialog::refresh() {
  message_->setText(toQString(model_.message()));
  // A size kept from a shorter message must not clip this one.
  const QLayout* box = layout();
  const int wide = std::max(width(), box->totalMinimumSize().width());
  const int needed = box->hasHeightForWidth() ? box->totalHeightForWidth(wide) : box->totalSizeHint().height();
  if (wide > width() || needed > height()) resize(wide, std::max(height(), needed));
  ok_->setEnabled(model_.okEnabled());
  if (model_.okEnabled()) {
    ok_->setDefault(true);
  } else {
    setup_->setDefault(true);
  }
}

QString ExternalLookupDialog::message() const { return message_->text(); }

}  // namespace kea::ui

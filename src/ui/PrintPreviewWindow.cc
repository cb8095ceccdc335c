#include "ui/PrintPreviewWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "ui/DialogPlacement.h"
#include "ui/QtPrintoutDevice.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {
namespace {

// The sheets on a grey desk, as large as the window allows.
class PageArea : public QWidget {
 public:
  explicit PageArea(PrintPreviewWindow& window) : QWidget(&window), window_(window) {
    setObjectName(QStringLiteral("PreviewPages"));
    setMinimumSize(200, 200);
  }

  QSizeF sheet;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const int from = window_.fromPage();
    const int to = window_.toPage();
    if (from < 1 || sheet.isEmpty()) return;
    const int count = to > from ? 2 : 1;
    constexpr double kGap = 16;
    const double width = (this->width() - kGap * (count + 1)) / count;
    const double height = this->height() - 2 * kGap;
    if (width <= 0 || height <= 0) return;
    const double scale = std::min(width / sheet.width(), height / sheet.height());
    const QSizeF shown = sheet * scale;
    const double top = (this->height() - shown.height()) / 2;
    double left = (this->width() - count * shown.width() - (count - 1) * kGap) / 2;
    for (int page = from; page <= to && page < from + count; ++page) {
      const QRectF area(QPointF(left, top), shown);
      painter.fillRect(area.translated(3, 3), QColor(0, 0, 0, 90));
      window_.drawPage(painter, area, page);
      left += shown.width() + kGap;
    }
  }

 private:
  PrintPreviewWindow& window_;
};

QPushButton* hintedButton(std::string_view label, std::string_view hint, QWidget* parent) {
  auto* button = new QPushButton(toQString(label), parent);
  const Hint text = hintText(hint);
  button->setStatusTip(text.status);
  button->setToolTip(text.toolTip);
  button->setFocusPolicy(Qt::NoFocus);  // the keys belong to the pages
  return button;
}

}  // namespace

PrintPreviewWindow::PrintPreviewWindow(QPrinter& printer, std::unique_ptr<PrintoutFeeder> feeder,
                                       std::unique_ptr<ResultsPrintout> printout, SettingsStore& store,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      printer_(printer),
      feeder_(std::move(feeder)),
      printout_(std::move(printout)),
      device_(std::make_unique<QtPrintoutDevice>(printer)),
      pages_(new PageArea(*this)),
      status_(new QLabel(this)),
      previous_(hintedButton(dialogs::kPreviousPageButton, dialogs::kPreviousPageHint, this)),
      next_(hintedButton(dialogs::kNextPageButton, dialogs::kNextPageHint, this)),
      printButton_(hintedButton(dialogs::kPrintButton, dialogs::kPrintPageHint, this)),
      two_(hintedButton(dialogs::kTwoPagesButton, dialogs::kTwoPagesHint, this)),
      buttons_(new QHBoxLayout) {
  setObjectName(toQString(dialogs::kPrintPreviewWindowName));
  setWindowTitle(toQString(std::string(dialogs::kPrintPreviewCaption) + " - " + printout_->title()));
  setWindowModality(Qt::ApplicationModal);
  setFocusPolicy(Qt::StrongFocus);

  auto* closeButton = hintedButton(dialogs::kPreviewCloseButton, "", this);
  buttons_->addWidget(printButton_);
  buttons_->addWidget(previous_);
  buttons_->addWidget(next_);
  buttons_->addWidget(two_);
  buttons_->addWidget(closeButton);
  buttons_->addSpacing(12);
  buttons_->addWidget(status_, 1);
  status_->setObjectName(QStringLiteral("PreviewStatus"));
  status_->setTextFormat(Qt::PlainText);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons_);
  layout->addWidget(pages_, 1);

  connect(previous_, &QPushButton::clicked, this, &PrintPreviewWindow::previousPage);
  connect(next_, &QPushButton::clicked, this, &PrintPreviewWindow::nextPage);
  connect(two_, &QPushButton::clicked, this, [this] { setTwoPages(!twoPages_); });
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  connect(printButton_, &QPushButton::clicked, this, [this] {
    const auto callback = print_;
    const std::uint32_t flags = printout_->printFlags();
    close();
    if (callback) callback(flags);
  });

  const QRectF paper = printer_.paperRect(QPrinter::DevicePixel);
  static_cast<PageArea*>(pages_)->sheet = paper.size();
  // Until a place is stored: a tall window over the middle of the main
  // one, inside the screen.
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  const QRect room = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  resize(std::min(720, room.width()), std::min(860, room.height() - 40));
  QPoint corner = (parent != nullptr ? parent->geometry().center() : room.center()) - rect().center();
  corner.setX(std::clamp(corner.x(), room.left(), std::max(room.left(), room.right() - width())));
  corner.setY(std::clamp(corner.y(), room.top(), std::max(room.top(), room.bottom() - height() - 30)));
  move(corner);
  (new DialogPlacement(this, dialogs::kPrintPreviewWindowName, store))->restore();
  restart();
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

void PrintPreviewWindow::restart() {
  last_ = printout_->pageRange(*device_).second;
  from_ = last_ > 0 ? 1 : 0;
  to_ = from_;
  showPages();
}

void PrintPreviewWindow::showPages() {
  if (last_ > 0) {
    from_ = std::clamp(from_, 1, last_);
    to_ = twoPages_ ? std::min(from_ + 1, last_) : from_;
  }
  status_->setText(statusText());
  previous_->setEnabled(from_ > 1);
  next_->setEnabled(to_ < last_);
  printButton_->setEnabled(last_ > 0);
  two_->setText(toQString(twoPages_ ? dialogs::kOnePageButton : dialogs::kTwoPagesButton));
  pages_->update();
}

QString PrintPreviewWindow::statusText() const {
  return toQString(dialogs::previewPageText(from_, to_, last_, twoPages_));
}

void PrintPreviewWindow::setTwoPages(bool two) {
  twoPages_ = two;
  showPages();
}

void PrintPreviewWindow::previousPage() {
  if (from_ <= 1) return;
  --from_;
  showPages();
}

void PrintPreviewWindow::nextPage() {
  if (to_ >= last_) return;
  ++from_;
  showPages();
}

void PrintPreviewWindow::firstPage() {
  if (from_ <= 1) return;
  from_ = 1;
  showPages();
}

void PrintPreviewWindow::lastPage() {
  if (to_ >= last_) return;
  from_ = twoPages_ ? std::max(1, last_ - 1) : last_;
  showPages();
}

void PrintPreviewWindow::drawPage(QPainter& painter, const QRectF& area, int page) {
  painter.fillRect(area, Qt::white);
  const QRectF paper = printer_.paperRect(QPrinter::DevicePixel);
  if (paper.isEmpty()) return;
  painter.save();
  painter.setClipRect(area);
  painter.translate(area.topLeft());
  painter.scale(area.width() / paper.width(), area.height() / paper.height());
  painter.setRenderHint(QPainter::TextAntialiasing);
  device_->setPainter(&painter);
  printout_->printPage(*device_, page);
  device_->setPainter(nullptr);
  painter.restore();
}

void PrintPreviewWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      close();
      break;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up:
      previousPage();
      break;
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Down:
      nextPage();
      break;
    case Qt::Key_Home:
      firstPage();
      break;
    case Qt::Key_End:
      lastPage();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

// The pages fill the window, so a turn of the wheel turns a page.
void PrintPreviewWindow::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta > 0) {
    previousPage();
  } else if (delta < 0) {
    nextPage();
  }
  event->accept();
}

PrintPreviewWindowKEA::PrintPreviewWindowKEA(QPrinter& printer, std::unique_ptr<PrintoutFeeder> feeder,
                                             std::unique_ptr<ResultsPrintout> printout, SettingsStore& store,
                                             QWidget* parent)
    : PrintPreviewWindow(printer, std::move(feeder), std::move(printout), store, parent),
      all_(hintedButton(dialogs::kAllResultsButton, dialogs::kAllResultsHint, this)),
      selected_(hintedButton(dialogs::kSelectedResultsButton, dialogs::kSelectedResultsHint, this)) {
  all_->setCheckable(true);
  selected_->setCheckable(true);
  buttonRow()->insertWidget(4, all_);
  buttonRow()->insertWidget(5, selected_);
  selected_->setEnabled(this->printout().getDialogInfo().selectionTo > 0);
  connect(all_, &QPushButton::clicked, this, [this] { choose(false); });
  connect(selected_, &QPushButton::clicked, this, [this] { choose(true); });
  all_->setChecked((this->printout().printFlags() & ResultsPrintout::kPrintSelection) == 0);
  selected_->setChecked(!all_->isChecked());
}

void PrintPreviewWindowKEA::choose(bool selected) {
  std::uint32_t flags = printout().printFlags() & ~ResultsPrintout::kPrintSelection;
  if (selected) flags |= ResultsPrintout::kPrintSelection;
  printout().setPrintFlags(flags);
  all_->setChecked(!selected);
  selected_->setChecked(selected);
  restart();
}

}  // namespace kea::ui

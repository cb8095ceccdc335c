#include "app/LowMemory.h"

#include <unistd.h>

#include <QMessageBox>
#include <new>

#include "search/KEAViewWindows.h"
#include "search/StringTable.h"
#include "ui/QtText.h"

namespace kea::app {

namespace {

constexpr std::size_t kReserveBytes = 8 << 20;
char* reserve = nullptr;
bool handling = false;

void onOutOfMemory() {
  // Showing the message ran out of memory too: this allocation fails.
  if (handling) throw std::bad_alloc();
  handling = true;
  delete[] reserve;
  reserve = nullptr;
  const auto answer = QMessageBox::warning(nullptr, ui::toQString(texts::kMemoryLowCaption),
                                           ui::toQString(texts::kMemoryLow),
                                           QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
  handling = false;
  if (answer != QMessageBox::Retry) _exit(1);
  KEAViewWindows::setLowMemory();
}

}  // namespace

void installLowMemoryHandler() {
  reserve = new char[kReserveBytes];
  std::set_new_handler(onOutOfMemory);
}

}  // namespace kea::app

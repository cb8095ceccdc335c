// The desktop program's responsiveness, measured in the real main window on
// the platform Qt is given (offscreen when there is no display):
//   - start-up: from entering main() to a shown window whose pattern box has
//     the keyboard focus, with the shipped English.kkd opened on a first run;
//   - the pattern "*" over English.kkd: the longest time between two turns
//     of the event loop while the list fills, the time to the end, and the
//     peak memory of the process;
//   - a lookup: from the Lookup command with a word in the pattern box to
//     the definition window's filled tree and text, the first one (which
//     opens the window) and then the median and slowest of repeated ones.
// Not a Google Benchmark: each figure is one run of the real thing, as a
// user meets it. Run it a few times; the figures vary by a few percent.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/DesktopApp.h"
#include "ui/DefinitionViewFrame.h"
#include "ui/LookupController.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtSettingsStore.h"

namespace {

long peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // A first run: no settings, so the shipped dictionary is opened.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QApplication app(argc, argv);

  kea::ui::QtSettingsStore store;
  kea::app::DesktopApp program(store);
  program.start({});
  kea::ui::MainWindow& frame = program.frame();
  kea::ui::MainView& view = frame.view();
  if (!QTest::qWaitForWindowExposed(&frame, 5000)) {
    std::fprintf(stderr, "the window did not appear\n");
    return 1;
  }
  QCoreApplication::processEvents();
  const qint64 startup = sinceStart.elapsed();
  // The combo box hands its focus on to its line edit.
  const QWidget* focus = frame.focusWidget();
  const bool ready = (focus == view.patternBox() || focus == view.patternBox()->lineEdit()) && view.paneCount() == 1;
  std::printf("start-up to a window that takes typing: %lld ms%s\n", static_cast<long long>(startup),
              ready ? "" : " (but the pattern box has no focus or no dictionary is open)");

  // The longest wait between two turns of the event loop: a zero timer
  // fires once per turn.
  QTest::keyClick(view.patternBox()->lineEdit(), Qt::Key_Asterisk);
  qint64 longestGap = 0;
  qint64 turns = 0;
  QElapsedTimer turn;
  QTimer probe;
  probe.setInterval(0);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (turn.isValid()) longestGap = std::max(longestGap, turn.nsecsElapsed());
    ++turns;
    turn.restart();
  });
  QElapsedTimer search;
  search.start();
  view.search();
  probe.start();
  while (view.controller().state() == kea::SearchState::Searching) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  probe.stop();
  const qint64 searchMs = search.elapsed();
  std::printf("pattern *: %d results in %lld ms, %lld event loop turns, longest gap %.1f ms\n",
              view.controller().resultCount(), static_cast<long long>(searchMs), static_cast<long long>(turns),
              static_cast<double>(longestGap) / 1e6);
  std::printf("peak memory: %ld MB\n", peakMegabytes());

  // Lookups: the word in the pattern box, which has the focus, then the
  // command. The definition window takes the focus; the pattern box gets
  // it back between lookups, outside the timing.
  bool firstLookup = true;
  for (const char* word : {"electron", "aardvark", "zucchini", "zymurgy"}) {
    std::vector<qint64> times;
    qint64 firstOfLength = 0;
    for (int i = 0; i < 42; ++i) {
      frame.activateWindow();
      view.patternBox()->lineEdit()->setFocus();
      view.patternBox()->setEditText(QString::fromLatin1(word));
      QCoreApplication::processEvents();
      frame.updateCommands();
      QElapsedTimer lookup;
      lookup.start();
      frame.run(kea::CommandId::Lookup);
      const qint64 elapsed = lookup.nsecsElapsed();
      if (firstLookup) {
        std::printf("first lookup (opens the window): %.2f ms\n", static_cast<double>(elapsed) / 1e6);
        firstLookup = false;
      } else if (i == 0) {
        firstOfLength = elapsed;
      } else {
        times.push_back(elapsed);
      }
    }
    std::sort(times.begin(), times.end());
    const auto windows = frame.lookups().windows();
    const QString title = windows.empty() ? QStringLiteral("no window") : windows.front()->windowTitle();
    std::printf("lookup %s: first %.3f ms, then median %.3f ms, slowest %.3f ms (%s)\n", word,
                static_cast<double>(firstOfLength) / 1e6, static_cast<double>(times[times.size() / 2]) / 1e6,
                static_cast<double>(times.back()) / 1e6, title.toUtf8().constData());
  }
  frame.close();
  return 0;
}

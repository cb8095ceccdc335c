// kea: the desktop program. The command line names dictionaries to open
// instead of the last run's; --help and --version answer at the terminal.
#include <csignal>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "app/DesktopApp.h"
#include "app/LowMemory.h"
#include "platform/ProgramFolder.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"

int main(int argc, char** argv) {
  // Results saved into a named pipe whose reader went away: the save
  // reports the failed write; the program does not end.
  std::signal(SIGPIPE, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KEA"));
  QApplication::setApplicationVersion(QStringLiteral(KEA_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Gridsmith"));
  QApplication::setDesktopFileName(QStringLiteral("kea"));
  QIcon icon = QIcon::fromTheme(QStringLiteral("kea"));
  if (icon.isNull()) {
    if (const auto file = kea::platform::findDataFile("kea.svg")) icon = QIcon(kea::ui::toQString(*file));
  }
  QApplication::setWindowIcon(icon);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "KEA finds the words that fit a crossword pattern, an anagram or a clue.\n"
      "With no FILE it opens the dictionaries open when it last closed."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A dictionary (.kkd) to open; up to nine."),
                               QStringLiteral("[FILE...]"));
  parser.process(app);

  kea::app::installLowMemoryHandler();
  kea::ui::QtSettingsStore store;
  kea::app::DesktopApp program(store);
  program.start(parser.positionalArguments());
  return app.exec();
}

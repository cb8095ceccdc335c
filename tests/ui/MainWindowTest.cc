// The real main window on the offscreen platform, started as the program
// starts it: a search typed and run from the keyboard, the commands enabled
// and disabled as their rules say while idle, searching and paused, and
// what closing the window leaves in the settings file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "AppWindowTest.h"
#include "builder/ScoreCompanions.h"
#include "meaning/MeaningDocuments.h"
#include "settings/Persist.h"
#include "support/SpecialFiles.h"
#include "text/StringTable.h"
#include "ui/DialogPlacement.h"
#include "ui/HelpWindow.h"
#include "ui/LinkButton.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"
#include "ui/QuickReferenceWindow.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"
#include "ui/StartupTipsWindow.h"
#include "workspace/HelpTopics.h"

namespace kea::ui {
namespace {

class MainWindowTest : public AppWindowTest {
 protected:
  bool enabled(CommandId id) { return frame().action(id)->isEnabled(); }
};

TEST_F(MainWindowTest, TypingAPatternAndReturnFillsTheListsAndCountsThem) {
  test::TestDictionaryOptions second;
  second.fileName = "birds.kkd";
  start({test::buildTestDictionary(dir, {"electron", "elector", "obelisk", "cat"}),
         test::buildTestDictionary(dir, {"elector", "plectron"}, second)});
  EXPECT_EQ(frame().windowTitle(), "test, birds - KEA");
  type(".l...r.n");
  EXPECT_EQ(frame().statusText(), "Pattern is valid - press the return key to start searching");
  QTest::keyClick(view().patternBox()->lineEdit(), Qt::Key_Return);
  waitWhileSearching();
  EXPECT_EQ(frame().statusText(), "2 results found");
  EXPECT_EQ(view().pane(0)->caption()->text(), "&1 test (1)");
  EXPECT_EQ(view().pane(1)->caption()->text(), "&2 birds (1)");

  search(";lobikes");
  EXPECT_EQ(frame().statusText(), "1 result found");
  EXPECT_EQ(view().patternBox()->itemText(0), ";lobikes");  // the history, newest first
  EXPECT_EQ(view().patternBox()->itemText(1), ".l...r.n");
}

TEST_F(MainWindowTest, PhraseAnagramsFromTheKeyboardWithAnEnumeration) {
  start({test::buildTestDictionary(dir, {"tail end", "tail", "end", "dial", "net", "lead", "tin", "definitely"})});
  QTest::keyClick(&frame(), Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(view().phraseAnagramAction()->isChecked());
  EXPECT_TRUE(frame().action(CommandId::PhraseAnagram)->isChecked());
  EXPECT_EQ(view().searchButton()->text(), "Phrase &Search");
  type("Tail-end!");
  QTest::keyClicks(view().enumerationBox(), "(4,3)");
  QTest::keyClick(view().patternBox()->lineEdit(), Qt::Key_Return);
  waitWhileSearching();
  EXPECT_EQ(frame().statusText(), "3 results found");
  EXPECT_EQ(view().pane(0)->caption()->text(), "&1 test (3)");
  // A wrong enumeration says what is wrong and allows no search.
  QTest::keyClick(view().enumerationBox(), Qt::Key_Comma);
  EXPECT_FALSE(view().searchButton()->isEnabled());
  EXPECT_EQ(frame().statusText().toStdString(), enumerationErrorText(EnumerationError::Parentheses));
  // Full-text search has no use for it.
  QTest::keyClick(&frame(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_FALSE(view().enumerationBox()->isVisible());
}

// The "Common first" toggle reorders the finished search at once,
// the choice outlives the program, rare entries are quieter and tell their
// score, and the options window shows the same option.
TEST_F(MainWindowTest, TheCommonFirstToggleReordersAndIsRemembered) {
  const std::vector<std::string> lines = {"meal;60", "mead;20", "made;90", "maze", "mode;80"};
  const std::string path = test::buildTestDictionary(dir, lines);
  ScoredWords words;
  for (const std::string& line : lines) words.addLine(line);
  ASSERT_TRUE(writeScoresCompanion(path, words, nullptr, nullptr));
  start({path});
  search("m*");
  const auto rows = [this] {
    QStringList out;
    QAbstractItemModel* model = view().pane(0)->model();
    for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data(ResultsModel::WordRole).toString();
    return out;
  };
  EXPECT_EQ(rows(), (QStringList{"made", "maze", "mead", "meal", "mode"}));
  EXPECT_FALSE(view().commonFirstButton()->isChecked());
  QTest::mouseClick(view().commonFirstButton(), Qt::LeftButton);
  waitWhileSearching();
  EXPECT_TRUE(view().commonFirstButton()->isChecked());
  EXPECT_EQ(rows(), (QStringList{"made", "mode", "meal", "mead", "maze"}));
  QAbstractItemModel* model = view().pane(0)->model();
  EXPECT_EQ(model->index(3, 0).data(Qt::ToolTipRole).toString(), "Commonness 20 of 100: very rare");
  EXPECT_GT(model->index(3, 0).data(ResultsModel::ShadeRole).toDouble(), 0.3);
  EXPECT_EQ(model->index(0, 0).data(ResultsModel::ShadeRole).toDouble(), 0.0);
  EXPECT_FALSE(model->index(4, 0).data(Qt::ToolTipRole).isValid());  // no score, no tip
  // Kept at once, as the user set it (the options are otherwise written
  // only when saved as defaults), and read back at the next start.
  frame().close();
  program.reset();
  start({path});
  EXPECT_TRUE(view().commonFirstButton()->isChecked());
  EXPECT_TRUE(frame().workspace().options().viewCommonFirst);
}

TEST_F(MainWindowTest, TheMeaningBoxRanksTheSearchSaysWhyAndIsRemembered) {
  const std::string path = test::buildTestDictionary(dir, {"electron", "proton", "neutron", "elk", "lepton"});
  MeaningDocuments documents;
  ASSERT_TRUE(documents.addLines("electron\tparticle:1 negative:1 charge:1\nproton\tparticle:1 positive:1 charge:1\n",
                                 nullptr));
  ASSERT_TRUE(writeMeaningCompanion(path, documents, nullptr, nullptr));
  start({path});
  const auto rows = [this] {
    QStringList out;
    QAbstractItemModel* model = view().pane(0)->model();
    for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data(ResultsModel::WordRole).toString();
    return out;
  };
  // Hidden until asked for.
  EXPECT_FALSE(view().meaningBox()->isVisible());
  search("*");
  EXPECT_EQ(rows(), (QStringList{"elk", "lepton", "proton", "neutron", "electron"}));
  QTest::mouseClick(view().meaningButton(), Qt::LeftButton);
  EXPECT_TRUE(view().meaningBox()->isVisible());
  EXPECT_TRUE(view().meaningBox()->hasFocus());
  QTest::keyClicks(view().meaningBox(), "negatively charged particle");
  QTest::keyClick(view().meaningBox(), Qt::Key_Return);
  waitWhileSearching();
  EXPECT_EQ(rows().mid(0, 2), (QStringList{"electron", "proton"}));
  EXPECT_EQ(view().statusLine(), "5 results found, 2 ranked by meaning");
  QAbstractItemModel* model = view().pane(0)->model();
  EXPECT_EQ(model->index(0, 0).data(Qt::ToolTipRole).toString(),
            "Meaning: matched \"negatively\", \"charged\" and \"particle\"");
  EXPECT_EQ(model->index(4, 0).data(Qt::ToolTipRole).toString(), "Meaning: none of its words; listed by commonness");
  // Common words alone are no meaning: the status says so and Search waits.
  view().meaningBox()->setText("of the");
  EXPECT_FALSE(view().searchButton()->isEnabled());
  EXPECT_EQ(view().statusLine(), QString::fromUtf8(texts::kMeaningHasNoWords.data(), texts::kMeaningHasNoWords.size()));
  // Hidden again, the box asks nothing; shown, it is kept for the next start.
  QTest::mouseClick(view().meaningButton(), Qt::LeftButton);
  EXPECT_FALSE(view().meaningBox()->isVisible());
  EXPECT_TRUE(view().searchButton()->isEnabled());
  QTest::mouseClick(view().meaningButton(), Qt::LeftButton);
  frame().close();
  program.reset();
  start({path});
  EXPECT_TRUE(view().meaningBox()->isVisible());
  EXPECT_TRUE(view().meaningButton()->isChecked());
}

TEST_F(MainWindowTest, CommandsFollowTheirRulesIdleSearchingAndPaused) {
  test::TestDictionaryOptions second;
  second.fileName = "two.kkd";
  start({test::buildTestDictionary(dir, test::generatedWords(30000, 5)),
         test::buildTestDictionary(dir, {"cat"}, second)});
  type("*");
  const struct {
    CommandId id;
    bool idle, searching;
  } rules[] = {
      {CommandId::Open, true, false},          {CommandId::Close, true, false},
      {CommandId::Properties, true, false},    {CommandId::Options, true, false},
      {CommandId::TileHorizontal, true, false}, {CommandId::TileVertical, true, false},
      {CommandId::Exit, true, true},           {CommandId::QuickReference, true, true},
      {CommandId::AlwaysOnTop, true, true},    {CommandId::Paste, true, false},
      {CommandId::WordSearch, true, false},    {CommandId::FullTextSearch, true, false},
      {CommandId::PhraseAnagram, true, false},
      {CommandId::Lookup, true, false},  // the pattern box has the focus and a pattern
  };
  for (const auto& r : rules) EXPECT_EQ(enabled(r.id), r.idle) << "idle " << static_cast<int>(r.id);
  EXPECT_FALSE(enabled(CommandId::Promote));  // the first list is active
  EXPECT_TRUE(enabled(CommandId::Demote));
  EXPECT_TRUE(frame().action(CommandId::TileHorizontal)->isChecked());

  QTest::keyClick(view().patternBox()->lineEdit(), Qt::Key_Return);
  ASSERT_EQ(view().controller().state(), SearchState::Searching);
  for (const auto& r : rules) EXPECT_EQ(enabled(r.id), r.searching) << "searching " << static_cast<int>(r.id);
  EXPECT_FALSE(enabled(CommandId::FirstRecentFile));

  QTest::keyClick(&view(), Qt::Key_Escape);  // pauses
  ASSERT_EQ(view().controller().state(), SearchState::Paused);
  for (const auto& r : rules) EXPECT_EQ(enabled(r.id), r.idle) << "paused " << static_cast<int>(r.id);

  // One list left: the layouts have nothing to arrange.
  frame().run(CommandId::Close);
  EXPECT_EQ(view().paneCount(), 1);
  EXPECT_FALSE(enabled(CommandId::TileVertical));
  EXPECT_EQ(frame().windowTitle(), "two - KEA");
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsOnce) {
  const std::string path = test::buildTestDictionary(dir, {"electron", "obelisk"});
  test::TestDictionaryOptions second;
  second.fileName = "two.kkd";
  const std::string other = test::buildTestDictionary(dir, {"cat"}, second);
  start({path, other});
  search("e*");
  frame().run(CommandId::TileVertical);
  frame().close();
  program.reset();
  QSettings settings(QtSettingsStore::fileName(), QSettings::IniFormat);
  EXPECT_EQ(settings.value("OpenDictionary0").toString().toStdString(), path);
  EXPECT_EQ(settings.value("OpenDictionary1").toString().toStdString(), other);
  EXPECT_EQ(settings.value("OpenDictionary2").toString(), "");
  EXPECT_EQ(settings.value("FileDictionary").toString().toStdString(), other);
  EXPECT_EQ(settings.value("Pattern0").toString(), "e*");
  EXPECT_EQ(settings.value("PaneOrientation").toInt(), 1);
  EXPECT_GT(settings.value("ViewWindowW").toInt(), 0);

  // The next start finds it all again.
  start({});
  EXPECT_EQ(view().paneCount(), 2);
  EXPECT_EQ(view().patternBox()->itemText(0), "e*");
  EXPECT_EQ(view().paneOrientation(), 1);
}

// A dictionary stored from the last run that is now a named pipe: opening
// it would wait for a writer before any window appeared. It is reported like
// any file that does not open, and the program starts with the others.
TEST_F(MainWindowTest, AStoredDictionaryThatIsANamedPipeIsReportedAndTheWindowAppears) {
  const std::string pipe = dir.file("pipe.kkd");
  ASSERT_TRUE(test::makeNamedPipe(pipe));
  const std::string good = test::buildTestDictionary(dir, {"obelisk"});
  {
    Persist persist(store, SettingsMode::Write);
    persist.writeString("OpenDictionary0", pipe);
    persist.writeString("OpenDictionary1", good);
    persist.writeString("OpenDictionary2", "");
    persist.writeFlag("StartupTips", false);
  }
  QStringList shown;
  // Every message box of the start, answered as it comes.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown << box->windowTitle() + "|" + box->text();
      box->close();
    }
  });
  answer.start(20);
  start({});
  answer.stop();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown[0].toStdString(), "Dictionary Open Failed|" + pipe +
                                        "\nis not a valid KEA&Kindred Dictionary File\n\nIt is a named pipe, not a "
                                        "dictionary file.");
  EXPECT_EQ(view().paneCount(), 1);
  EXPECT_TRUE(frame().isVisible());
}

TEST_F(MainWindowTest, ChangedLengthBoxesAreOfferedAsTheDefaultAtExit) {
  start({test::buildTestDictionary(dir, {"obelisk"})});
  QSpinBox* longest = view().lengthSpin(SearchHost::LengthBox::Longest);
  for (const auto& [answer, stored] : {std::pair{QMessageBox::No, 100}, std::pair{QMessageBox::Yes, 12}}) {
    longest->setValue(12);
    QString asked;
    QTimer::singleShot(0, [&, answer = answer] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      asked = box->windowTitle() + "|" + box->text();
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
      box->button(answer)->click();
    });
    frame().close();
    program.reset();
    EXPECT_EQ(asked.toStdString(),
              "Range Settings Updated|The Shortest and Longest settings have been changed.\nDo you want the new "
              "settings to be the default when KEA is started?");
    start({});
    EXPECT_EQ(view().lengthBox(SearchHost::LengthBox::Longest), stored);
    longest = view().lengthSpin(SearchHost::LengthBox::Longest);
  }
}

TEST_F(MainWindowTest, StartWindowsFollowTheirShowBoxesAndAnExampleBecomesThePattern) {
  {
    Persist persist(store, SettingsMode::Write);
    persist.writeFlag("StartupTips", false);  // switched off by the user; the quick reference is on by default
  }
  start({test::buildTestDictionary(dir, {"obelisk", "electron"})});
  ASSERT_NE(frame().quickReferenceWindow(), nullptr);
  EXPECT_TRUE(frame().quickReferenceWindow()->isVisible());
  EXPECT_EQ(frame().startupTipsWindow(), nullptr);

  // Trying an example puts it in the pattern box and searches it.
  frame().quickReferenceWindow()->exampleLink(1)->click();
  EXPECT_EQ(view().patternBox()->currentText(), ";lobikes");
  waitWhileSearching();
  EXPECT_EQ(frame().statusText(), "1 result found");
  EXPECT_EQ(view().pane(0)->model()->rowCount(), 1);

  // The show box, cleared, is what the next start reads.
  frame().quickReferenceWindow()->showBox()->click();
  frame().close();
  program.reset();
  start({});
  EXPECT_EQ(frame().quickReferenceWindow(), nullptr);
  EXPECT_EQ(frame().startupTipsWindow(), nullptr);
}

// With no browser or mail program, Email Support and Online Help say what
// failed instead of doing nothing visible.
TEST_F(MainWindowTest, AnAddressNothingOpensIsReported) {
  start({test::buildTestDictionary(dir, {"cat"})});
  std::vector<QUrl> handed;
  frame().setUrlOpener([&](const QUrl& url) {
    handed.push_back(url);
    return false;
  });
  for (const CommandId id : {CommandId::EmailSupport, CommandId::OnlineHelp}) {
    QString caption, text;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        caption = box->windowTitle();
        text = box->text();
        box->accept();
      }
    });
    frame().run(id);
    EXPECT_EQ(caption, "Nothing Opened") << static_cast<int>(id);
    EXPECT_TRUE(text.startsWith("No program on this computer opened\n")) << text.toStdString();
  }
  ASSERT_EQ(handed.size(), 2u);
  EXPECT_EQ(handed[0].scheme(), "mailto");
  EXPECT_TRUE(handed[1].isLocalFile());
  // Opened: nothing to say.
  frame().setUrlOpener([](const QUrl&) { return true; });
  frame().run(CommandId::OnlineTutorial);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// On a first run the quick reference and the tips open beside the main
// window, hiding neither it nor each other where the screen has room (the
// tips sat over the lists); the rule itself is the core's.
TEST_F(MainWindowTest, StartWindowsOpenBesideTheMainWindowAndClearOfEachOther) {
  start({test::buildTestDictionary(dir, {"cat"})});
  QWidget* quick = frame().quickReferenceWindow();
  QWidget* tips = frame().startupTipsWindow();
  ASSERT_NE(quick, nullptr);
  ASSERT_NE(tips, nullptr);
  const auto place = [](const QRect& r) { return WindowPosition{r.x(), r.y(), r.width(), r.height(), 0}; };
  const ScreenRect area = toScreenRect(frame().screen()->availableGeometry());
  const WindowPosition main = place(frame().frameGeometry());
  const WindowPosition quickPlace = place(quick->frameGeometry());
  EXPECT_EQ(quickPlace, helperWindowPlace(main, quickPlace.width, quickPlace.height, area, {}));
  const WindowPosition tipsPlace = place(tips->frameGeometry());
  EXPECT_EQ(tipsPlace, helperWindowPlace(main, tipsPlace.width, tipsPlace.height, area, {quickPlace}));
  // On this small screen nothing fits clear of the main window; the tips
  // still leave the quick reference alone.
  EXPECT_FALSE(windowsOverlap(tipsPlace, quickPlace)) << tips->x() << "," << tips->y();
}

TEST_F(MainWindowTest, F1OpensHelpOnWhatHasTheFocus) {
  start({test::buildTestDictionary(dir, {"obelisk"})});
  view().patternBox()->lineEdit()->setFocus();
  EXPECT_EQ(frame().contextHelpTopic(), kHelpPatternBox);
  QTest::keyClick(view().patternBox()->lineEdit(), Qt::Key_F1);
  ASSERT_NE(frame().helpWindow(), nullptr);
  EXPECT_TRUE(frame().helpWindow()->isVisible());
  EXPECT_TRUE(frame().helpWindow()->currentPage().toString().contains(toQString(helpPage(kHelpPatternBox))))
      << frame().helpWindow()->currentPage().toString().toStdString();
}

}  // namespace
}  // namespace kea::ui

// The windows of kkbuild and kkmerge driven as a user would: files listed,
// settings typed, Build or Merge pressed, and Cancel leaving the target as
// it was. Each job runs on the window's worker thread; the tests wait for
// the window's own signal that it ended.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QUrl>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>


#include "builder/WordListMerge.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"
#include "ui/companions/CompanionWindow.h"

namespace kea::ui {
namespace {

std::vector<std::string> headwords(const std::string& path) {
  WordListMerge merge;
  std::string error;
  EXPECT_TRUE(merge.addDictionary(path, &error)) << error;
  std::vector<std::string> words;
  for (const auto& entry : merge.merged()) words.push_back(entry.text);
  return words;
}

// Starts the job and waits for its end; `cancelMidway` presses Cancel once
// the progress bar has moved.
bool runAndWait(CompanionWindow& window, bool cancelMidway = false) {
  QSignalSpy finished(&window, &CompanionWindow::jobFinished);
  EXPECT_TRUE(window.startButton()->isEnabled());
  window.startButton()->click();
  EXPECT_TRUE(window.isRunning());
  EXPECT_FALSE(window.startButton()->isEnabled());
  if (cancelMidway) {
    for (int i = 0; i < 6000 && window.progressBar()->value() == 0 && window.isRunning(); ++i) QTest::qWait(5);
    EXPECT_GT(window.progressBar()->value(), 0);
    EXPECT_TRUE(window.cancelButton()->isEnabled());
    window.cancelButton()->click();
  }
  EXPECT_TRUE(finished.wait(60000));
  EXPECT_FALSE(window.isRunning());
  return !finished.isEmpty() && finished.first().first().toBool();
}

QMessageBox* failureBox(QWidget& window) {
  return window.findChild<QMessageBox*>("failureBox");
}

TEST(BuilderWindow, BuildsADictionaryFromTheListedFiles) {
  test::TempDir dir;
  test::writeFile(dir.file("a.txt"), "apple|a fruit\nhi\n");
  test::writeFile(dir.file("b.txt"), "caf\xC3\xA9\npomegranate\n");
  BuilderWindow window;
  EXPECT_EQ(window.windowTitle(), "KEA&Kindred Dictionary Builder");
  EXPECT_FALSE(window.startButton()->isEnabled());
  EXPECT_FALSE(window.cancelButton()->isEnabled());
  window.inputList()->addItem(QString::fromStdString(dir.file("a.txt")));
  window.inputList()->addItem(QString::fromStdString(dir.file("b.txt")));
  window.descriptionEdit()->setText("Fruit");
  window.shortestBox()->setValue(3);
  window.longestBox()->setValue(10);
  window.targetEdit()->setText(QString::fromStdString(dir.file("fruit.kkd")));
  ASSERT_TRUE(runAndWait(window)) << window.lastResult().report;
  EXPECT_EQ(window.progressBar()->value(), 100);
  EXPECT_EQ(window.progressText()->text().toStdString(), "Built " + dir.file("fruit.kkd") + " from 4 lines");
  // hi is too short and pomegranate too long.
  EXPECT_EQ(headwords(dir.file("fruit.kkd")), (std::vector<std::string>{"apple", "caf\xE9"}));
  EXPECT_TRUE(window.startButton()->isEnabled());
  EXPECT_EQ(failureBox(window), nullptr);
}

TEST(BuilderWindow, CancelLeavesTheTargetAndAFailureShowsTheLog) {
  test::TempDir dir;
  std::string lines;
  for (const std::string& word : test::generatedWords(60000, 7)) lines += word + "|a definition of " + word + "\n";
  test::writeFile(dir.file("big.txt"), lines);
  test::writeFile(dir.file("out.kkd"), "previous dictionary");
  BuilderWindow window;
  window.inputList()->addItem(QString::fromStdString(dir.file("big.txt")));
  window.targetEdit()->setText(QString::fromStdString(dir.file("out.kkd")));
  EXPECT_FALSE(runAndWait(window, true));
  EXPECT_TRUE(window.lastResult().cancelled);
  EXPECT_EQ(window.progressText()->text().toStdString(), "Cancelled: " + dir.file("out.kkd") + " was left as it was");
  EXPECT_EQ(test::readFile(dir.file("out.kkd")), "previous dictionary");
  EXPECT_EQ(dir.names().size(), 2u);
  EXPECT_EQ(failureBox(window), nullptr);

  // An alphabet that is no alphabet: the reason in a message box.
  window.alphabetEdit()->setText(QString::fromStdString(dir.file("big.txt")));
  EXPECT_FALSE(runAndWait(window));
  QMessageBox* box = failureBox(window);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowTitle(), "Dictionary Build Failed");
  EXPECT_TRUE(box->text().contains("is not a usable alphabet")) << box->text().toStdString();
  box->close();
  EXPECT_EQ(test::readFile(dir.file("out.kkd")), "previous dictionary");
}

TEST(MergeWindow, MergesFoldedIntoADictionaryAndReportsADamagedInput) {
  test::TempDir dir;
  const std::string source = test::buildTestDictionary(dir, {"apple", "Ice-cream"});
  test::writeFile(dir.file("list.txt"), "ICE CREAM\nzebra\n");
  MergeWindow window;
  EXPECT_EQ(window.windowTitle(), "KEA&Kindred Word List Merge");
  // The inputs dropped on the window, as from a file manager.
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(source)),
                 QUrl::fromLocalFile(QString::fromStdString(dir.file("list.txt")))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  ASSERT_EQ(window.inputList()->count(), 2);
  EXPECT_EQ(window.inputList()->item(1)->text().toStdString(), dir.file("list.txt"));
  window.foldBox()->setChecked(true);
  window.targetEdit()->setText(QString::fromStdString(dir.file("merged.kkd")));
  ASSERT_TRUE(runAndWait(window)) << window.lastResult().report;
  EXPECT_EQ(headwords(dir.file("merged.kkd")), (std::vector<std::string>{"apple", "Ice-cream", "zebra"}));

  test::writeFile(dir.file("broken.kkd"), "KKD1 and no more");
  window.inputList()->addItem(QString::fromStdString(dir.file("broken.kkd")));
  const std::string before = test::readFile(dir.file("merged.kkd"));
  EXPECT_FALSE(runAndWait(window));
  QMessageBox* box = failureBox(window);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowTitle(), "Word List Merge Failed");
  EXPECT_EQ(box->text().toStdString(), dir.file("broken.kkd") + " is damaged: its header is not valid");
  box->close();
  EXPECT_EQ(test::readFile(dir.file("merged.kkd")), before);
}

}  // namespace
}  // namespace kea::ui

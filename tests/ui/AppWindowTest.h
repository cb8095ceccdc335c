// The real program on the offscreen platform, started as `kea FILE...`
// starts it, with a settings file of its own that each test begins and
// ends without; and the pattern box typed into as a user would.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "app/DesktopApp.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"

namespace kea::ui {

class AppWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { QFile::remove(QtSettingsStore::fileName()); }
  void TearDown() override {
    if (program) program->frame().close();
    program.reset();
    QFile::remove(QtSettingsStore::fileName());
  }
  void start(const std::vector<std::string>& paths) {
    program = std::make_unique<app::DesktopApp>(store);
    QStringList files;
    for (const std::string& path : paths) files << toQString(path);
    program->start(files);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame()));
  }
  MainWindow& frame() { return program->frame(); }
  MainView& view() { return frame().view(); }
  void type(const QString& text) {
    QLineEdit* edit = view().patternBox()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void waitWhileSearching() {
    QElapsedTimer timer;
    timer.start();
    while (view().controller().state() == SearchState::Searching && timer.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
  }
  // Types the pattern, presses Return and waits for the search to end.
  void search(const QString& pattern) {
    type(pattern);
    QTest::keyClick(view().patternBox()->lineEdit(), Qt::Key_Return);
    waitWhileSearching();
  }

  kea::test::TempDir dir;
  QtSettingsStore store;
  std::unique_ptr<app::DesktopApp> program;
};

}  // namespace kea::ui

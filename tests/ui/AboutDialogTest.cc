// The about box: the version the build was made as, which must be the one
// the settings are kept under, the program's icon, and the notices the
// shipped dictionary data requires.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>

#include "settings/SettingsStore.h"
#include "ui/AboutDialog.h"
#include "ui/QtText.h"

namespace kea::ui {
namespace {

TEST(AboutDialog, ShowsTheVersionTheIconAndTheDataNotices) {
  AboutDialog about;
  // The settings key names the version too ("KEA 2.11"); the two move together.
  EXPECT_EQ("KEA " + AboutDialog::versionText(), toQString(kSettingsApplication));
  EXPECT_TRUE(about.versionLabel()->text().contains(AboutDialog::versionText()));
  EXPECT_TRUE(about.hasIcon());  // kea.svg in the build's share/kea, drawn by the SVG plugin
  const QString notices = about.notices()->toPlainText();
  EXPECT_TRUE(about.notices()->isReadOnly());
  EXPECT_TRUE(notices.contains("Copyright 2000-2011 by Kevin Atkinson"));
  EXPECT_TRUE(notices.contains("Permission to use, copy, modify, distribute and sell these word"));
  EXPECT_TRUE(notices.contains("Copyright (c) J Ross Beresford 1993-1999. All Rights Reserved."));
  EXPECT_TRUE(notices.contains("WordNet 3.0 Copyright 2006 by Princeton University.  All rights reserved."));
  EXPECT_TRUE(notices.contains("THIS SOFTWARE AND DATABASE IS PROVIDED \"AS IS\" AND PRINCETON"));
}

}  // namespace
}  // namespace kea::ui

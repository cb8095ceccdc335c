// The controller tells its host each time its state changes, once, after
// the change is settled, so that what depends on the state (the commands a
// window offers) need not be asked for again on every menu opening.
#include <gtest/gtest.h>

#include <vector>

#include "FakeView.h"

namespace kea::test {
namespace {

TEST_F(ViewTest, EveryStateChangeIsAnnouncedOnceAndSettled) {
  openDictionaries({{"ant", "bee", "cat", "eel", "gnu"}});
  std::vector<SearchState> announced;
  host.onStateChanged = [&] {
    announced.push_back(view.state());
    // Settled: the status already says what the new state means.
    if (view.state() == SearchState::Searching) {
      EXPECT_EQ(host.status, "Searching - click on Stop to pause");
    }
  };
  type("*");
  ASSERT_EQ(view.state(), SearchState::Ready);
  announced.clear();
  type("c*");  // still ready: nothing to announce
  EXPECT_TRUE(announced.empty());

  type("*");
  view.searchClicked();
  EXPECT_EQ(announced, (std::vector<SearchState>{SearchState::Searching}));
  view.searchClicked();  // stop
  EXPECT_EQ(announced.back(), SearchState::Paused);
  drive();
  view.searchClicked();  // resume, then run to the end
  drive();
  EXPECT_EQ(announced, (std::vector<SearchState>{SearchState::Searching, SearchState::Paused, SearchState::Searching,
                                                 SearchState::Ready}));

  announced.clear();
  type("[");  // an unfinished choice list: invalid
  EXPECT_EQ(announced, (std::vector<SearchState>{SearchState::Invalid}));
}

}  // namespace
}  // namespace kea::test

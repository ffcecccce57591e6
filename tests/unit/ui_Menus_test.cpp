#include "ui/Menus.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = nullptr;
    Headless().PopupMenus.clear();
    Headless().PopupMenuChooser = nullptr;
    menu = std::make_unique<TPopupMenu>(nullptr);
    for (const char* caption : {"&Open", "-", "&Close"})
      menu->Add(caption, [this, caption](TObject* sender) {
        log.push_back(caption);
        senders.push_back(sender);
      });
  }
  void TearDown() override {
    Headless().PopupMenuChooser = nullptr;
    Application().OnException = nullptr;
  }

  std::unique_ptr<TPopupMenu> menu;
  std::vector<std::string> log;
  std::vector<TObject*> senders;
};

TEST_F(Menus, ShowsItsItemsAtThePositionAndRunsTheChosenOne) {
  struct Case {
    int chosen;
    std::vector<std::string> runs;
  };
  const Case cases[] = {
      {-1, {}},          // dismissed
      {0, {"&Open"}},
      {2, {"&Close"}},
      {1, {}},           // a separator does nothing
      {3, {}},           // past the end
      {-7, {}},
  };
  for (const Case& c : cases) {
    log.clear();
    senders.clear();
    Headless().PopupMenus.clear();
    Headless().PopupMenuChooser = [&](const TPopupMenuCall&) { return c.chosen; };
    menu->Popup(30, 40);
    ASSERT_EQ(Headless().PopupMenus.size(), 1u);
    EXPECT_EQ(Headless().PopupMenus[0].At, (TPoint{30, 40}));
    EXPECT_EQ(Headless().PopupMenus[0].Captions, (std::vector<std::string>{"&Open", "-", "&Close"}));
    EXPECT_EQ(log, c.runs) << c.chosen;
    if (!c.runs.empty()) {
      EXPECT_EQ(senders, (std::vector<TObject*>{menu->Items()[static_cast<size_t>(c.chosen)]}));
    }
  }
}

TEST_F(Menus, OnPopupRunsBeforeTheMenuShowsAndMayAddItems) {
  menu->OnPopup = [this](TObject* sender) {
    EXPECT_EQ(sender, menu.get());
    EXPECT_TRUE(Headless().PopupMenus.empty());
    menu->Add("&Late", [this](TObject*) { log.push_back("late"); });
  };
  Headless().PopupMenuChooser = [](const TPopupMenuCall& call) { return static_cast<int>(call.Captions.size()) - 1; };
  menu->Popup(0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"late"}));
}

TEST_F(Menus, AFailingItemReachesTheErrorHandler) {
  menu->Items()[0]->OnClick = [](TObject*) { throw std::runtime_error("cannot open"); };
  std::string seen;
  Application().OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
  Headless().PopupMenuChooser = [](const TPopupMenuCall&) { return 0; };
  menu->Popup(0, 0);
  EXPECT_EQ(seen, "cannot open");
}

TEST_F(Menus, AMenuFreedWhileShownRunsNothing) {
  Headless().PopupMenuChooser = [this](const TPopupMenuCall&) {
    menu.reset();  // as a timer may, while the menu waits for the user
    return 0;
  };
  TPopupMenu* shown = menu.get();
  shown->Popup(0, 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(Menus, AnItemMayFreeTheMenu) {
  menu->Items()[2]->OnClick = [this](TObject*) {
    menu.reset();
    log.push_back("freed");
  };
  Headless().PopupMenuChooser = [](const TPopupMenuCall&) { return 2; };
  TPopupMenu* shown = menu.get();
  shown->Popup(0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"freed"}));
}

}  // namespace

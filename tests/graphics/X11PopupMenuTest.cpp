// The X11 editor's own popup menus against a real display (Xvfb): a user on
// a connection of its own looks at the menu windows and chooses with XTest
// while the editor's thread waits in ShowMenu. Without a display the cases
// are skipped.
#include "IMenuTree.h"
#include "PopupPainter.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros would clash with it.
#include "X11Bench.h"
#include "X11PopupUser.h"

#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <unistd.h>

namespace {

constexpr uint32_t Rgb(LICE_PixelWord pixel) {
  return pixel & 0xFFFFFF;
}
constexpr uint32_t kBackground = Rgb(PopupPainter::kBackground);
constexpr uint32_t kHighlight = Rgb(PopupPainter::kHighlight);
constexpr uint32_t kText = Rgb(PopupPainter::kText);
constexpr uint32_t kGreyText = Rgb(PopupPainter::kGreyText);
constexpr int kCheckColumn = 20; // the check marks are left of this, the labels right

// The entries of a menu window as the picture shows them: one band of rows
// drawn on (a label or a separator line) per entry, top to bottom; each
// band's middle row, and its rows.
struct Rows {
  std::vector<int> centres;
  std::vector<IBox> bands; // label column only
};

Rows RowsOf(const std::vector<uint32_t>& pixels, const IBox& box) {
  Rows rows;
  const int w = box.W();
  int start = -1;
  for (int y = 2; y < box.H() - 1; ++y) {
    bool drawn = false;
    for (int x = kCheckColumn + 2; x < w - 24 && !drawn; ++x)
      drawn = PixelOf(pixels, w, x, y) != kBackground;
    if (drawn && start < 0) start = y;
    if (!drawn && start >= 0) {
      rows.centres.push_back((start + y) / 2);
      rows.bands.push_back(IBox(kCheckColumn + 2, start, w - 24, y));
      start = -1;
    }
  }
  return rows;
}

// The menu windows once at least count are up and drawn (their frame).
std::vector<::Window> WaitForMenus(X11PopupUser& user, size_t count = 1) {
  std::vector<::Window> menus = user.WaitFor("menu", count);
  for (::Window menu : menus)
    EXPECT_TRUE(user.WaitPixel(menu, 0, 0, PopupPainter::kFrame & 0xFFFFFF));
  return menus;
}

bool Highlighted(const std::vector<uint32_t>& pixels, const IBox& box, int y) {
  return PixelOf(pixels, box.W(), 3, y) == kHighlight;
}

// Shows menu below area's bottom-left corner while script plays the user.
IMenuTree* ShowWithUser(X11Bench& b, IMenuTree& menu, const IBox& area,
                        std::function<void(X11PopupUser&)> script) {
  X11PopupUser user;
  EXPECT_TRUE(user.Ready());
  user.Start(std::move(script));
  IMenuTree* chosen = b.graphics->ShowMenu(menu, area);
  user.Finish();
  return chosen;
}

TEST(X11PopupMenu, OpensBelowTheAreaShowsItsEntriesAndAReleaseChooses) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("One");
  menu.AddItem("Two", IMenuEntry::Checked);
  menu.AddItem("Three");
  const int presentsBefore = b.graphics->presents;
  IBox editorBox, menuBox;
  Rows rows;
  bool highlightFollows = false;
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(10, 20, 40, 50), [&](X11PopupUser& user) {
    const std::vector<::Window> menus = WaitForMenus(user);
    ASSERT_EQ(menus.size(), 1u);
    editorBox = user.Box(b.editor);
    menuBox = user.Box(menus[0]);
    const std::vector<uint32_t> pixels = user.Pixels(menus[0]);
    rows = RowsOf(pixels, menuBox);
    ASSERT_EQ(rows.centres.size(), 3u);
    // The check mark is drawn for the second entry only.
    for (size_t i = 0; i < 3; ++i) {
      const int y = rows.centres[i];
      EXPECT_EQ(CountColour(pixels, menuBox.W(), IBox(2, y - 6, kCheckColumn, y + 6), kText) > 0,
                i == 1)
          << "entry " << i;
    }
    user.MoveTo(menuBox.L + 30, menuBox.T + rows.centres[2]);
    EXPECT_TRUE(user.WaitPixel(menus[0], 3, rows.centres[2], kHighlight));
    const std::vector<uint32_t> hovered = user.Pixels(menus[0]);
    highlightFollows = Highlighted(hovered, menuBox, rows.centres[2]) &&
                       !Highlighted(hovered, menuBox, rows.centres[0]);
    user.Button(1, true);
    user.Button(1, false);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_EQ(menuBox.L, editorBox.L + 10);
  EXPECT_EQ(menuBox.T, editorBox.T + 50);
  EXPECT_TRUE(highlightFollows);
  EXPECT_EQ(chosen, &menu);
  EXPECT_EQ(menu.ChosenIndex(), 2);
  // The whole editor is painted again once the menu has gone.
  EXPECT_GT(b.graphics->presents, presentsBefore);
  EXPECT_EQ(b.graphics->lastArea, IBox(0, 0, 100, 80));
}

TEST(X11PopupMenu, SubmenusOpenBesideTheirEntryAndHoldTheirOwnChoice) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("Greyed", IMenuEntry::Greyed);
  menu.AddSeparator();
  menu.AddItem("Disabled", IMenuEntry::Disabled);
  IMenuTree* sub = new IMenuTree(IMenuTree::PrefixTwoDigits);
  sub->AddItem("X");
  sub->AddItem("Y");
  sub->AddItem("Z");
  menu.AddSubmenu("More", sub);
  menu.AddItem("Last");
  bool stayedOpen = false, greyDrawnGrey = false, disabledDrawnBlack = false;
  IBox topBox, subBox;
  int moreCentre = 0, firstSubCentre = 0;
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(0, 0, 10, 10), [&](X11PopupUser& user) {
    const std::vector<::Window> menus = WaitForMenus(user);
    ASSERT_EQ(menus.size(), 1u);
    topBox = user.Box(menus[0]);
    const std::vector<uint32_t> pixels = user.Pixels(menus[0]);
    const Rows rows = RowsOf(pixels, topBox);
    ASSERT_EQ(rows.centres.size(), 5u);
    const int w = topBox.W();
    greyDrawnGrey = CountColour(pixels, w, rows.bands[0], kGreyText) > 0 &&
                    CountColour(pixels, w, rows.bands[0], kText) == 0;
    disabledDrawnBlack = CountColour(pixels, w, rows.bands[2], kText) > 0;
    // Greyed, separator and disabled entries choose nothing.
    for (int i : {0, 1, 2})
      user.Click(topBox.L + 30, topBox.T + rows.centres[static_cast<size_t>(i)]);
    usleep(100000);
    stayedOpen = user.WaitFor("menu").size() == 1;
    moreCentre = rows.centres[3];
    user.MoveTo(topBox.L + 30, topBox.T + moreCentre);
    const std::vector<::Window> both = WaitForMenus(user, 2);
    ASSERT_EQ(both.size(), 2u);
    subBox = user.Box(both[1]);
    const Rows subRows = RowsOf(user.Pixels(both[1]), subBox);
    ASSERT_EQ(subRows.centres.size(), 3u);
    firstSubCentre = subBox.T + subRows.centres[0];
    // Along the entry into the submenu, then down to its second entry.
    user.MoveTo(subBox.L + 20, topBox.T + moreCentre);
    user.MoveTo(subBox.L + 20, subBox.T + subRows.centres[1]);
    user.Click(subBox.L + 20, subBox.T + subRows.centres[1]);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(greyDrawnGrey);
  EXPECT_TRUE(disabledDrawnBlack);
  // Beside the top menu's right edge, its first entry level with "More".
  EXPECT_LT(subBox.L, topBox.R);
  EXPECT_GT(subBox.L, topBox.R - 10);
  EXPECT_NEAR(firstSubCentre, topBox.T + moreCentre, 2);
  EXPECT_EQ(chosen, sub);
  EXPECT_EQ(sub->ChosenIndex(), 1);
  EXPECT_EQ(menu.ChosenIndex(), -1);
}

TEST(X11PopupMenu, KeysMoveOpenCloseChooseAndCancel) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("Greyed", IMenuEntry::Greyed);
  menu.AddItem("A");
  IMenuTree* sub = new IMenuTree;
  sub->AddItem("X");
  sub->AddItem("Y");
  menu.AddSubmenu("More", sub);
  menu.AddItem("B");
  size_t openAfterDown = 0, openAfterRight = 0;
  bool closedByLeft = false;
  bool firstSkipped = false;
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(0, 0, 10, 10), [&](X11PopupUser& user) {
    const std::vector<::Window> menus = WaitForMenus(user);
    ASSERT_EQ(menus.size(), 1u);
    const IBox box = user.Box(menus[0]);
    const Rows rows = RowsOf(user.Pixels(menus[0]), box);
    ASSERT_EQ(rows.centres.size(), 4u);
    user.Key(XK_Down); // the greyed entry is passed over
    EXPECT_TRUE(user.WaitPixel(menus[0], 3, rows.centres[1], kHighlight));
    const std::vector<uint32_t> pixels = user.Pixels(menus[0]);
    firstSkipped =
        Highlighted(pixels, box, rows.centres[1]) && !Highlighted(pixels, box, rows.centres[0]);
    user.Key(XK_Down); // onto "More": moving alone opens nothing
    openAfterDown = user.WaitFor("menu").size();
    user.Key(XK_Right);
    openAfterRight = WaitForMenus(user, 2).size();
    user.Key(XK_Left);
    closedByLeft = user.WaitCount("menu", 1);
    user.Key(XK_Up);
    user.Key(XK_Return);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_TRUE(firstSkipped);
  EXPECT_EQ(openAfterDown, 1u);
  EXPECT_EQ(openAfterRight, 2u);
  EXPECT_TRUE(closedByLeft);
  EXPECT_EQ(chosen, &menu);
  EXPECT_EQ(menu.ChosenIndex(), 1);

  // Escape closes an open submenu first, then the menu without a choice.
  menu.SetChosenIndex(-1);
  bool closedByEscape = false;
  chosen = ShowWithUser(b, menu, IBox(0, 0, 10, 10), [&](X11PopupUser& user) {
    ASSERT_EQ(WaitForMenus(user).size(), 1u);
    user.Key(XK_Down);
    user.Key(XK_Down);
    user.Key(XK_Return); // Enter on a submenu entry opens it
    ASSERT_EQ(WaitForMenus(user, 2).size(), 2u);
    user.Key(XK_Escape);
    closedByEscape = user.WaitCount("menu", 1);
    user.Key(XK_Escape);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_TRUE(closedByEscape);
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(menu.ChosenIndex(), -1);
  EXPECT_EQ(sub->ChosenIndex(), -1);
}

TEST(X11PopupMenu, APressOutsideCancelsAndReachesNoControlWhileTheEditorKeepsTicking) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("One");
  menu.AddItem("Two");
  bool ticked = false;
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(10, 10, 20, 20), [&](X11PopupUser& user) {
    ASSERT_EQ(WaitForMenus(user).size(), 1u);
    // A host thread's parameter change is painted by the editor's tick while
    // the menu is open.
    b.graphics->SetParamFromHost(0, 0.9, true);
    for (int i = 0; i < 150 && b.graphics->GetControl(0)->IsDirty(); ++i)
      usleep(10000);
    ticked = !b.graphics->GetControl(0)->IsDirty();
    // On control b, above the menu.
    const IBox editor = user.Box(b.editor);
    user.Click(editor.L + 90, editor.T + 5);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_TRUE(ticked);
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(menu.ChosenIndex(), -1);
  // The press and its release were the menu's.
  b.graphics->ProcessEvents();
  EXPECT_EQ(b.TakeLog(), std::vector<std::string>{});
  // The editor takes presses again.
  b.Button(ButtonPress, Button1, 70, 40, 5000);
  EXPECT_EQ(b.TakeLog(), std::vector<std::string>{"b press 70,40"});
}

TEST(X11PopupMenu, EndsWithoutAChoiceWhenTheHostDestroysItsWindow) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("One");
  const int errorsBefore = X11PopupUser::HostErrors();
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(0, 0, 10, 10), [&](X11PopupUser& user) {
    ASSERT_EQ(WaitForMenus(user).size(), 1u);
    XDestroyWindow(user.display(), b.parent);
    XSync(user.display(), False);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(b.graphics->EditorWindowHandle(), nullptr);
  EXPECT_EQ(X11PopupUser::HostErrors(), errorsBefore);
  // Without a window there is no menu to show.
  EXPECT_EQ(b.graphics->ShowMenu(menu, IBox(0, 0, 10, 10)), nullptr);
  b.parent = XCreateSimpleWindow(b.display, DefaultRootWindow(b.display), 0, 0, 1, 1, 0, 0, 0);
}

// The server closing the editor's connection while the menu is open (here:
// the menu's client killed) ends the menu, not the process.
TEST(X11PopupMenu, EndsWithoutAChoiceWhenTheConnectionBreaks) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IMenuTree menu;
  menu.AddItem("One");
  IMenuTree* chosen = ShowWithUser(b, menu, IBox(0, 0, 10, 10), [&](X11PopupUser& user) {
    const std::vector<::Window> menus = WaitForMenus(user);
    ASSERT_EQ(menus.size(), 1u);
    XKillClient(user.display(), menus[0]);
    XSync(user.display(), False);
    EXPECT_TRUE(user.WaitGone("menu"));
  });
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(b.graphics->ConnectionFd(), -1);
  EXPECT_EQ(b.graphics->EditorWindowHandle(), nullptr);
}

// The core's prompt for a stepped parameter with display texts, end to end:
// a right press, the menu of its texts with the current one checked, and the
// choice reaching the plug-in.
TEST(X11PopupMenu, APromptMenuSetsTheParameterChosen) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  b.plug.GetParam(5)->AddDisplayText(0, "Off");
  b.plug.GetParam(5)->AddDisplayText(1, "On");
  auto* control = new ProbeControl(b.log, "c", &b.plug, IBox(0, 0, 30, 30), 5);
  control->SetPromptDisabled(false);
  b.graphics->AddControl(control);
  bool offChecked = false;
  X11PopupUser user;
  ASSERT_TRUE(user.Ready());
  user.Start([&](X11PopupUser& u) {
    const std::vector<::Window> menus = WaitForMenus(u);
    ASSERT_EQ(menus.size(), 1u);
    const IBox box = u.Box(menus[0]);
    const std::vector<uint32_t> pixels = u.Pixels(menus[0]);
    const Rows rows = RowsOf(pixels, box);
    ASSERT_EQ(rows.centres.size(), 2u);
    offChecked =
        CountColour(pixels, box.W(),
                    IBox(2, rows.centres[0] - 6, kCheckColumn, rows.centres[0] + 6), kText) > 0 &&
        CountColour(pixels, box.W(),
                    IBox(2, rows.centres[1] - 6, kCheckColumn, rows.centres[1] + 6), kText) == 0;
    u.Click(box.L + 30, box.T + rows.centres[1]);
  });
  b.Button(ButtonPress, Button3, 10, 10, 1000, Button3Mask);
  user.Finish();
  EXPECT_TRUE(offChecked);
  EXPECT_EQ(b.plug.GetParam(5)->Value(), 1.0);
  ASSERT_FALSE(b.plug.notified.empty());
  EXPECT_EQ(b.plug.notified.back(), std::make_pair(5, 1.0));
  ASSERT_FALSE(b.plug.edits.empty());
  EXPECT_EQ(b.plug.edits.front(), "begin 5");
}

} // namespace

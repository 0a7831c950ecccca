// The X11 editor's own message box against a real display (Xvfb): a user on
// a connection of its own answers it with XTest while the editor's thread
// waits in ShowMessage. Without a display the cases are skipped.
#include "PopupPainter.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros would clash with it.
#include "X11Bench.h"
#include "X11PopupUser.h"

#include <X11/keysym.h>

#include <unistd.h>

namespace {

constexpr uint32_t kBand = PopupPainter::kBackground & 0xFFFFFF;

// The buttons of a message window as its picture shows them, left to right:
// runs of pixels that are not the band's colour a few rows into the band.
std::vector<IBox> ButtonsOf(X11PopupUser& user, ::Window window) {
  const IBox box = user.Box(window);
  const std::vector<uint32_t> pixels = user.Pixels(window);
  const int w = box.W();
  int band = 0;
  while (band < box.H() && PixelOf(pixels, w, 1, band) != kBand)
    ++band;
  std::vector<IBox> buttons;
  const int y = band + 15;
  if (y >= box.H()) return buttons;
  for (int x = 0, start = -1; x <= w; ++x) {
    const bool on = x < w && PixelOf(pixels, w, x, y) != kBand;
    if (on && start < 0) start = x;
    if (!on && start >= 0) {
      buttons.push_back(IBox(box.L + start, box.T + y - 3, box.L + x, box.T + y + 5));
      start = -1;
    }
  }
  return buttons;
}

int CentreX(const IBox& b) {
  return (b.L + b.R) / 2;
}
int CentreY(const IBox& b) {
  return (b.T + b.B) / 2;
}

// Shows a message box while script plays the user.
int ShowWithUser(X11Bench& b, const char* text, const char* caption, int type,
                 std::function<void(X11PopupUser&, ::Window)> script) {
  X11PopupUser user;
  EXPECT_TRUE(user.Ready());
  user.Start([&script](X11PopupUser& u) {
    const std::vector<::Window> found = u.WaitFor("message");
    ASSERT_EQ(found.size(), 1u);
    ASSERT_TRUE(u.WaitFocus(found[0]));
    ASSERT_TRUE(u.WaitPixel(found[0], 1, 1, 0xFFFFFF)); // the text area is up
    script(u, found[0]);
  });
  const int result = b.graphics->ShowMessage(text, caption, type);
  user.Finish();
  return result;
}

TEST(X11MessageBox, EachButtonSetAnswersWithTheButtonClicked) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  struct Case {
    int type;
    size_t buttons;
    size_t click;
    int answer;
  };
  const Case cases[] = {
      {IGraphics::MessageButtonsOk, 1, 0, IGraphics::MessageOk},
      {IGraphics::MessageButtonsOkCancel, 2, 1, IGraphics::MessageCancel},
      {IGraphics::MessageButtonsAbortRetryIgnore, 3, 2, IGraphics::MessageIgnore},
      {IGraphics::MessageButtonsYesNoCancel, 3, 1, IGraphics::MessageNo},
      {IGraphics::MessageButtonsYesNo, 2, 0, IGraphics::MessageYes},
      {IGraphics::MessageButtonsRetryCancel, 2, 0, IGraphics::MessageRetry},
      {0x37, 1, 0, IGraphics::MessageOk}, // unknown set: OK
  };
  for (const Case& c : cases) {
    size_t seen = 0;
    const int answer =
        ShowWithUser(b, "Text", "Caption", c.type, [&](X11PopupUser& user, ::Window window) {
          const std::vector<IBox> buttons = ButtonsOf(user, window);
          seen = buttons.size();
          ASSERT_GT(buttons.size(), c.click);
          // A press that leaves its button before the release answers
          // nothing (another button's, where there is one).
          const IBox& other = buttons[(c.click + 1) % buttons.size()];
          user.MoveTo(CentreX(other), CentreY(other));
          user.Button(1, true);
          user.MoveTo(CentreX(other), CentreY(other) - 60);
          user.Button(1, false);
          user.Click(CentreX(buttons[c.click]), CentreY(buttons[c.click]));
        });
    EXPECT_EQ(seen, c.buttons) << "type " << c.type;
    EXPECT_EQ(answer, c.answer) << "type " << c.type;
  }
}

TEST(X11MessageBox, KeysDefaultButtonEscapeAndClosing) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  using G = IGraphics;
  // Enter answers with the default button.
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsYesNo | G::MessageDefaultSecond,
                         [](X11PopupUser& user, ::Window) { user.Key(XK_Return); }),
            G::MessageNo);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsYesNoCancel | G::MessageDefaultThird,
                         [](X11PopupUser& user, ::Window) { user.Key(XK_space); }),
            G::MessageCancel);
  // A default beyond the buttons is the first.
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsOkCancel | G::MessageDefaultThird,
                         [](X11PopupUser& user, ::Window) { user.Key(XK_Return); }),
            G::MessageOk);
  // Tab and the arrows move the focus, round the row.
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsOkCancel,
                         [](X11PopupUser& user, ::Window) {
                           user.Key(XK_Tab);
                           user.Key(XK_Return);
                         }),
            G::MessageCancel);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsAbortRetryIgnore,
                         [](X11PopupUser& user, ::Window) {
                           user.Key(XK_Left);
                           user.Key(XK_Return);
                         }),
            G::MessageIgnore);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsYesNoCancel,
                         [](X11PopupUser& user, ::Window) {
                           user.Key(XK_Tab, true);
                           user.Key(XK_Tab, true);
                           user.Key(XK_Return);
                         }),
            G::MessageNo);
  // Escape and closing: Cancel where there is one, OK alone, else nothing
  // (and the letters answer).
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsRetryCancel,
                         [](X11PopupUser& user, ::Window) { user.Key(XK_Escape); }),
            G::MessageCancel);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsOk,
                         [](X11PopupUser& user, ::Window w) { user.AskToClose(w); }),
            G::MessageOk);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsYesNoCancel,
                         [](X11PopupUser& user, ::Window w) { user.AskToClose(w); }),
            G::MessageCancel);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsYesNo,
                         [](X11PopupUser& user, ::Window w) {
                           user.Key(XK_Escape);
                           user.AskToClose(w);
                           usleep(50000);
                           ASSERT_EQ(user.WaitFor("message").size(), 1u);
                           user.Key(XK_y);
                         }),
            G::MessageYes);
  EXPECT_EQ(ShowWithUser(b, "t", "c", G::MessageButtonsAbortRetryIgnore,
                         [](X11PopupUser& user, ::Window) { user.Key(XK_r); }),
            G::MessageRetry);
}

TEST(X11MessageBox, IsADialogOfTheHostWindowCentredOverItWithTheTextWrapped) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  std::string name, netName, type, className;
  ::Window owner = 0;
  IBox shortBox, longBox, twoLineBox, parentBox;
  bool textDrawn = false;
  ShowWithUser(b, "Short", "R\xC3\xA9glage", IGraphics::MessageButtonsOk,
               [&](X11PopupUser& user, ::Window w) {
                 name = user.Property(w, "WM_NAME");
                 netName = user.Property(w, "_NET_WM_NAME");
                 type = user.Property(w, "_NET_WM_WINDOW_TYPE");
                 owner = user.TransientFor(w);
                 shortBox = user.Box(w);
                 parentBox = user.Box(b.parent);
                 const std::vector<uint32_t> pixels = user.Pixels(w);
                 textDrawn = CountColour(pixels, shortBox.W(), IBox(0, 0, shortBox.W(), 40),
                                         PopupPainter::kText & 0xFFFFFF) > 0;
                 user.Key(XK_Return);
               });
  EXPECT_EQ(netName, "R\xC3\xA9glage");
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(type, "_NET_WM_WINDOW_TYPE_DIALOG");
  EXPECT_EQ(owner, b.parent);
  EXPECT_TRUE(textDrawn);
  EXPECT_NEAR(CentreX(shortBox), CentreX(parentBox), 1);
  EXPECT_NEAR(CentreY(shortBox), CentreY(parentBox), 1);

  std::string longText;
  for (int i = 0; i < 12; ++i)
    longText += "several words of a long message ";
  ShowWithUser(b, longText.c_str(), "c", IGraphics::MessageButtonsOk,
               [&](X11PopupUser& user, ::Window w) {
                 longBox = user.Box(w);
                 user.Key(XK_Return);
               });
  ShowWithUser(b, "Short\nShort", "c", IGraphics::MessageButtonsOk,
               [&](X11PopupUser& user, ::Window w) {
                 twoLineBox = user.Box(w);
                 user.Key(XK_Return);
               });
  // Wrapped at a width of its own, over several lines.
  EXPECT_LE(longBox.W(), 420 + 2 * 16);
  EXPECT_GT(longBox.H(), twoLineBox.H() + 20);
  EXPECT_GT(twoLineBox.H(), shortBox.H());
  EXPECT_EQ(twoLineBox.W(), shortBox.W());
}

TEST(X11MessageBox, EndsWithNoAnswerWhenTheHostDestroysItsWindow) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  const int errorsBefore = X11PopupUser::HostErrors();
  const int answer =
      ShowWithUser(b, "t", "c", IGraphics::MessageButtonsYesNo, [&](X11PopupUser& user, ::Window) {
        XDestroyWindow(user.display(), b.parent);
        XSync(user.display(), False);
        EXPECT_TRUE(user.WaitGone("message"));
      });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(b.graphics->EditorWindowHandle(), nullptr);
  EXPECT_EQ(X11PopupUser::HostErrors(), errorsBefore);
  // No window, no box.
  EXPECT_EQ(b.graphics->ShowMessage("t", "c", IGraphics::MessageButtonsOk), 0);
  b.parent = XCreateSimpleWindow(b.display, DefaultRootWindow(b.display), 0, 0, 1, 1, 0, 0, 0);
}

} // namespace

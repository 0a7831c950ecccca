// The X11 window backend in this process, against a real display (Xvfb):
// X events sent with exact times and positions, and what the core and the
// controls get from them; the tick under a flood of idle calls; clipboard,
// links and folders. Without a display the window cases are skipped.
#include "GraphicsTestSupport.h"
#include "IGraphicsX11.h"
#include "ITextEntry.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros would clash with it.
#include "X11Bench.h"
#include "X11Pixels.h"
#include "X11PopupUser.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using Log = std::vector<std::string>;

TEST(GraphicsX11, PressDragReleaseAndTheDoublePressRule) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  ASSERT_NE(b.editor, 0u);
  EXPECT_TRUE(b.graphics->IsEditorOpen());
  EXPECT_GE(b.graphics->ConnectionFd(), 0);

  b.Button(ButtonPress, Button1, 5, 5, 1000);
  b.Motion(5, 9, Button1Mask);
  b.Motion(60, 9, Button1Mask); // off the control: still its drag
  b.Button(ButtonRelease, Button1, 60, 9, 1100, Button1Mask);
  EXPECT_EQ(b.TakeLog(),
            (Log{"a press 5,5", "a drag 5,9 0 4", "a drag 60,9 55 0", "a release 60,9"}));
  EXPECT_EQ(b.plug.edits, (std::vector<std::string>{"begin 0", "end 0"}));

  // Within 400 ms and 4 pixels the second press is the double press; a third
  // starts afresh.
  b.Button(ButtonPress, Button1, 9, 8, 1399);
  b.Button(ButtonRelease, Button1, 9, 8, 1420, Button1Mask);
  b.Button(ButtonPress, Button1, 9, 8, 1450);
  EXPECT_EQ(b.TakeLog(), (Log{"a double 9,8", "a release 9,8", "a press 9,8"}));
  b.Button(ButtonRelease, Button1, 9, 8, 1460, Button1Mask);
  // Too late, and too far: plain presses.
  b.Button(ButtonPress, Button1, 9, 8, 1861);
  b.Button(ButtonRelease, Button1, 9, 8, 1870, Button1Mask);
  b.Button(ButtonPress, Button1, 14, 8, 1900);
  b.Button(ButtonRelease, Button1, 14, 8, 1910, Button1Mask);
  EXPECT_EQ(b.TakeLog(), (Log{"a release 9,8", "a press 9,8", "a release 9,8", "a press 14,8",
                              "a release 14,8"}));

  // A drag needs the press first.
  b.Motion(20, 20, Button1Mask);
  EXPECT_TRUE(b.TakeLog().empty());

  // Right press and release; the middle button presses but its release is
  // not one.
  b.Button(ButtonPress, Button3, 70, 5, 3000);
  b.Button(ButtonRelease, Button3, 70, 5, 3010, Button3Mask);
  b.Button(ButtonPress, Button2, 71, 5, 3020);
  b.Button(ButtonRelease, Button2, 71, 5, 3030, Button2Mask);
  EXPECT_EQ(b.TakeLog(), (Log{"b press 70,5", "b release 70,5", "b press 71,5"}));
}

TEST(GraphicsX11, WheelHoverAndKeys) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  b.Button(ButtonPress, Button4, 10, 10, 100);
  b.Button(ButtonRelease, Button4, 10, 10, 101);
  b.Button(ButtonPress, Button5, 60, 10, 102);
  b.Button(ButtonPress, 6, 60, 10, 103); // horizontal: ignored
  b.Button(ButtonPress, 7, 60, 10, 104);
  EXPECT_EQ(b.TakeLog(), (Log{"a wheel 10,10 1", "b wheel 60,10 -1"}));

  // Hover is off in this plug-in: no hover, and no leave armed.
  b.Motion(10, 10, 0);
  b.Crossing(LeaveNotify);
  EXPECT_TRUE(b.TakeLog().empty());
  b.graphics->SetHandleHover(true);
  b.Motion(10, 10, 0);
  b.Motion(60, 10, 0);
  b.Crossing(LeaveNotify);
  b.Crossing(LeaveNotify); // armed once
  EXPECT_EQ(b.TakeLog(), (Log{"a hover 10,10", "b hover 60,10", "a leave", "a leave", "b leave"}));

  // Keys by the table go to the key catcher (nothing under the pointer).
  b.graphics->SetKeyCatcher(new ProbeControl(b.log, "k", &b.plug, IBox()));
  b.Key(XK_a);
  b.Key(XK_space);
  b.Key(XK_Down);
  b.Key(XK_7);
  b.Key(XK_F5); // outside the table
  Log codes;
  for (const std::string& line : b.TakeLog())
    codes.push_back(line.substr(0, 6) + line.substr(line.rfind(' ')));
  EXPECT_EQ(codes, (Log{"k key  15", "k key  0", "k key  2", "k key  12"}));
}

TEST(GraphicsX11, TickPaintsOnlyTheDirtyAreaAtItsPeriodHoweverOftenIdleRuns) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  EXPECT_EQ(b.graphics->TickPeriodMs(), 40);
  b.graphics->Tick(); // whatever the opening left
  const int start = b.graphics->presents;
  // Events alone do not paint dirty controls; the tick does, and only them.
  b.graphics->GetControl(1)->MarkDirty(false);
  b.graphics->ProcessEvents();
  EXPECT_EQ(b.graphics->presents, start);
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->presents, start + 1);
  EXPECT_EQ(b.graphics->lastArea, IBox(50, 0, 100, 80));

  const auto begin = std::chrono::steady_clock::now();
  int calls = 0;
  while (std::chrono::steady_clock::now() - begin < std::chrono::milliseconds(400)) {
    b.graphics->GetControl(0)->MarkDirty(false);
    b.graphics->Idle();
    ++calls;
  }
  const int ticks = b.graphics->presents - start - 1;
  EXPECT_GT(calls, 500);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 12);
  EXPECT_EQ(b.graphics->lastArea, IBox(0, 0, 50, 80));

  b.graphics->CloseEditorWindow();
  EXPECT_FALSE(b.graphics->IsEditorOpen());
  EXPECT_EQ(b.graphics->ConnectionFd(), -1);
  b.graphics->Idle(); // closed: nothing
  b.graphics->Tick();
}

TEST(GraphicsX11, TextEntryFiltersCommitsAndCancelsOnTheTick) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  IControl* a = b.graphics->GetControl(0);
  const IBox area(10, 10, 40, 26);
  const auto type = [&](std::initializer_list<KeySym> keys) {
    for (KeySym key : keys)
      b.Key(key);
  };

  // A continuous parameter: digits, signs and the point; the first character
  // replaces the selected initial text; Enter commits on the next tick.
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.50", b.plug.GetParam(0));
  ASSERT_NE(b.graphics->TextEntry(), nullptr);
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "x", nullptr); // one at a time
  EXPECT_EQ(b.graphics->TextEntry()->Text(), "0.50");
  // The field's background.
  EXPECT_EQ(X11WindowPixels(b.display, b.editor, 12, 12, 1, 1), std::vector<uint32_t>{0xFFFFFF});
  type({XK_a, XK_b, XK_c}); // refused: the text stays as it was
  EXPECT_EQ(b.graphics->TextEntry()->Text(), "0.50");
  type({XK_period, XK_2, XK_x, XK_5, XK_BackSpace, XK_7});
  EXPECT_EQ(b.graphics->TextEntry()->Text(), ".27");
  // While typing the editor is not repainted, and a press elsewhere would
  // cancel: the tick waits.
  const int presents = b.graphics->presents;
  b.graphics->GetControl(1)->MarkDirty(false);
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->presents, presents);
  type({XK_Return});
  EXPECT_NE(b.graphics->TextEntry(), nullptr); // closed by the tick only
  b.plug.notified.clear();
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 0.27);
  ASSERT_EQ(b.plug.notified.size(), 1u);
  EXPECT_EQ(b.plug.notified[0].first, 0);

  // An integer parameter drops the point; the value is clamped into range.
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0", b.plug.GetParam(5));
  type({XK_1, XK_period, XK_5});
  EXPECT_EQ(b.graphics->TextEntry()->Text(), "15");
  type({XK_KP_Enter});
  b.graphics->Tick();
  EXPECT_DOUBLE_EQ(a->Value(), 1.0);

  // Escape cancels; so does a press elsewhere while typing, which presses
  // nothing.
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.1", b.plug.GetParam(0));
  type({XK_3, XK_Escape});
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 1.0);
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.1", b.plug.GetParam(0));
  b.TakeLog();
  b.Button(ButtonPress, Button1, 70, 40, 100);
  b.Button(ButtonRelease, Button1, 70, 40, 110, Button1Mask);
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  // The release is the editor's again (the field is closing), as with a
  // native field.
  EXPECT_EQ(b.TakeLog(), (Log{"b release 70,40"}));
  EXPECT_DOUBLE_EQ(a->Value(), 1.0);

  // Losing the focus commits; after that a press elsewhere commits too (the
  // field already lost it) and wheel turns cancel.
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.1", b.plug.GetParam(0));
  type({XK_period, XK_4});
  XEvent focus{};
  focus.type = FocusOut;
  focus.xfocus.mode = NotifyNormal;
  focus.xfocus.detail = NotifyNonlinear;
  b.Send(focus, FocusChangeMask);
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 0.4);

  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.6", b.plug.GetParam(0));
  b.Send(focus, FocusChangeMask);
  b.Button(ButtonPress, Button4, 70, 40, 200); // not typing: cancels
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 0.4);
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.6", b.plug.GetParam(0));
  b.Send(focus, FocusChangeMask);
  b.Button(ButtonPress, Button1, 70, 40, 300);
  b.Button(ButtonRelease, Button1, 70, 40, 310, Button1Mask);
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 0.6);
  // AbortTextEntry cancels; closing the window drops an open entry.
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.2", b.plug.GetParam(0));
  b.graphics->AbortTextEntry();
  b.graphics->Tick();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
  EXPECT_DOUBLE_EQ(a->Value(), 0.6);
  b.graphics->OpenTextEntry(a, a->TextStyle(), area, "0.2", b.plug.GetParam(0));
  b.graphics->CloseEditorWindow();
  EXPECT_EQ(b.graphics->TextEntry(), nullptr);
}

// The server closing the editor's connection (here by killing it as a
// client) ends the window, not the process; a new window opens afterwards.
TEST(GraphicsX11, ABrokenConnectionClosesTheWindowNotTheProcess) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  ASSERT_NE(b.editor, 0u);
  XKillClient(b.display, b.editor);
  XSync(b.display, False);
  for (int i = 0; i < 50 && b.graphics->ConnectionFd() >= 0; ++i) {
    b.graphics->ProcessEvents();
    usleep(10000);
  }
  EXPECT_EQ(b.graphics->ConnectionFd(), -1);
  EXPECT_EQ(b.graphics->EditorWindowHandle(), nullptr);
  // Everything the host or a control may still call is harmless.
  b.graphics->Idle();
  b.graphics->Tick();
  std::string text;
  EXPECT_FALSE(b.graphics->ClipboardText(text));
  IMenuTree menu;
  menu.AddItem("One");
  EXPECT_EQ(b.graphics->ShowMenu(menu, IBox(0, 0, 10, 10)), nullptr);
  EXPECT_EQ(b.graphics->ShowMessage("t", "c", IGraphics::MessageButtonsOk), 0);
  b.graphics->CloseEditorWindow();
  const void* reopened =
      b.graphics->OpenEditorWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(b.parent)));
  EXPECT_NE(reopened, nullptr);
  EXPECT_GE(b.graphics->ConnectionFd(), 0);
}

TEST(GraphicsX11, HiddenCursorComesBackWhereItWasHidden) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  const auto pointer = [&] {
    ::Window root = 0, child = 0;
    int rx = 0, ry = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(b.display, b.editor, &root, &child, &rx, &ry, &x, &y, &mask);
    return std::make_pair(x, y);
  };
  XWarpPointer(b.display, None, b.editor, 0, 0, 0, 0, 30, 40);
  XSync(b.display, False);
  ASSERT_EQ(pointer(), std::make_pair(30, 40));
  b.graphics->RevealCursor(); // not hidden: nothing
  EXPECT_EQ(pointer(), std::make_pair(30, 40));
  b.graphics->ConcealCursor();
  XWarpPointer(b.display, None, b.editor, 0, 0, 0, 0, 70, 5); // the user moves on
  XSync(b.display, False);
  b.graphics->ConcealCursor(); // already hidden: the first position stays
  b.graphics->RevealCursor();
  XSync(b.display, False);
  EXPECT_EQ(pointer(), std::make_pair(30, 40));
  b.graphics->RevealCursor(); // shown again: nothing moves
  EXPECT_EQ(pointer(), std::make_pair(30, 40));
}

// Owns CLIPBOARD on a connection of its own and answers requests for
// UTF8_STRING with text, until stopped: in one piece, in incremental pieces
// of piece bytes, or (Silent) not at all.
class ClipboardOwner {
public:
  enum Mode { Whole, Incremental, Silent };
  ClipboardOwner(std::string text, Mode mode, size_t piece = 0)
      : mText(std::move(text)), mMode(mode), mPiece(piece) {
    mDisplay = OpenDisplay();
    mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
    mClipboard = XInternAtom(mDisplay, "CLIPBOARD", False);
    mUtf8 = XInternAtom(mDisplay, "UTF8_STRING", False);
    mIncremental = XInternAtom(mDisplay, "INCR", False);
    XSetSelectionOwner(mDisplay, mClipboard, mWindow, CurrentTime);
    XSync(mDisplay, False);
    mThread = std::thread([this] { Serve(); });
  }
  ~ClipboardOwner() {
    mStop = true;
    mThread.join();
    XDestroyWindow(mDisplay, mWindow);
    XCloseDisplay(mDisplay);
  }
  // Pieces sent in incremental transfers, the closing empty one included.
  int Pieces() const { return mPieces; }

private:
  void Put(::Window window, Atom property, Atom type, const char* data, size_t size) {
    XChangeProperty(mDisplay, window, property, type, type == mIncremental ? 32 : 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(data),
                    static_cast<int>(type == mIncremental ? 1 : size));
  }
  void Serve() {
    ::Window requestor = 0;
    Atom property = None;
    size_t sent = 0;
    while (!mStop) {
      while (XPending(mDisplay) > 0) {
        XEvent e;
        XNextEvent(mDisplay, &e);
        // The requestor took a piece: the next one, an empty one at the end.
        if (e.type == PropertyNotify && e.xproperty.window == requestor &&
            e.xproperty.atom == property && e.xproperty.state == PropertyDelete) {
          const size_t size = std::min(mPiece, mText.size() - sent);
          Put(requestor, property, mUtf8, mText.data() + sent, size);
          sent += size;
          ++mPieces;
          if (size == 0) requestor = 0;
          XFlush(mDisplay);
          continue;
        }
        if (e.type != SelectionRequest || mMode == Silent) continue;
        const XSelectionRequestEvent& r = e.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r.requestor;
        reply.xselection.selection = r.selection;
        reply.xselection.target = r.target;
        reply.xselection.time = r.time;
        reply.xselection.property = None;
        if (r.target == mUtf8 && mMode == Whole) {
          Put(r.requestor, r.property, mUtf8, mText.data(), mText.size());
          reply.xselection.property = r.property;
        } else if (r.target == mUtf8) {
          XSelectInput(mDisplay, r.requestor, PropertyChangeMask);
          const long total = static_cast<long>(mText.size());
          XChangeProperty(mDisplay, r.requestor, r.property, mIncremental, 32, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(&total), 1);
          requestor = r.requestor;
          property = r.property;
          sent = 0;
          reply.xselection.property = r.property;
        }
        XSendEvent(mDisplay, r.requestor, False, 0, &reply);
        XFlush(mDisplay);
      }
      usleep(2000);
    }
  }
  std::string mText;
  Mode mMode;
  size_t mPiece;
  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  Atom mClipboard = 0, mUtf8 = 0, mIncremental = 0;
  std::atomic<bool> mStop{false};
  std::atomic<int> mPieces{0};
  std::thread mThread;
};

TEST(GraphicsX11, ClipboardTextComesAsUtf8WithinATimeLimit) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  std::string text = "stale";
  {
    ClipboardOwner owner("gain \xC3\xBC 3 dB", ClipboardOwner::Whole);
    EXPECT_TRUE(b.graphics->ClipboardText(text));
    EXPECT_EQ(text, "gain \xC3\xBC 3 dB");
  }
  {
    // A large text in pieces, as owners send what does not fit one request.
    std::string large;
    for (int i = 0; large.size() < 300000; ++i)
      large += std::to_string(i) + " \xC3\xBC ";
    ClipboardOwner owner(large, ClipboardOwner::Incremental, 65536);
    EXPECT_TRUE(b.graphics->ClipboardText(text));
    EXPECT_EQ(text.size(), large.size());
    EXPECT_TRUE(text == large);
    EXPECT_EQ(owner.Pieces(), static_cast<int>(large.size() / 65536) + 2);
  }
  {
    // An owner that never answers costs the time limit, not a hang.
    ClipboardOwner owner("x", ClipboardOwner::Silent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(b.graphics->ClipboardText(text));
    EXPECT_EQ(text, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
  // No owner at all (the silent one has gone).
  EXPECT_FALSE(b.graphics->ClipboardText(text));
  // The editor's own events still come after a transfer.
  b.Button(ButtonPress, Button1, 10, 10, 9000);
  EXPECT_EQ(b.TakeLog(), std::vector<std::string>{"a press 10,10"});
  b.graphics->CloseEditorWindow();
  EXPECT_FALSE(b.graphics->ClipboardText(text));
}

// A scratch folder for environment and program stand-ins.
struct StandIns {
  ScratchFolder folder{"tolven-x11"};
  const std::string path = folder.Path().string();
  void Write(const std::string& name, const std::string& text, bool executable = false) {
    std::ofstream(folder.File(name)) << text;
    if (executable) chmod(folder.File(name).c_str(), 0755);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(folder.File(name));
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
};

// Sets an environment variable for one scope.
struct ScopedEnv {
  std::string name;
  std::string old;
  bool had;
  ScopedEnv(const char* n, const std::string& value) : name(n), had(std::getenv(n) != nullptr) {
    if (had) old = std::getenv(n);
    setenv(n, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had)
      setenv(name.c_str(), old.c_str(), 1);
    else
      unsetenv(name.c_str());
  }
};

TEST(GraphicsX11, FoldersFollowTheXdgSettings) {
  GraphicsTestPlug plug;
  IGraphicsX11 graphics(&plug, 10, 10);
  StandIns scratch;
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv config("XDG_CONFIG_HOME", scratch.path);
  std::string path;
  graphics.DesktopFolder(path);
  EXPECT_EQ(path, "/home/someone/Desktop"); // no user-dirs file
  scratch.Write("user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  graphics.DesktopFolder(path);
  EXPECT_EQ(path, "/home/someone/Schreibtisch");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data/home");
    graphics.AppDataFolder(path, false);
    EXPECT_EQ(path, "/data/home");
    graphics.SandboxAppDataFolder(path);
    EXPECT_EQ(path, "/data/home");
  }
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
    graphics.AppDataFolder(path, false);
    EXPECT_EQ(path, "/home/someone/.local/share");
  }
  {
    ScopedEnv dirs("XDG_DATA_DIRS", "/opt/share:/usr/share");
    graphics.AppDataFolder(path, true);
    EXPECT_EQ(path, "/opt/share");
  }
  graphics.HostModulePath(path);
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '/');
  graphics.PluginModulePath(path); // linked into this program
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '/');
  // The dialogs answer as cancelled.
  std::string file = "x.wav", folder;
  graphics.AskForFile(file, false, folder, "wav");
  EXPECT_EQ(file, "");
  IArgb colour;
  EXPECT_FALSE(graphics.AskForColour(colour, "Colour"));
}

TEST(GraphicsX11, OpenLinkRunsXdgOpenWithTheUrlAsOneArgument) {
  GraphicsTestPlug plug;
  IGraphicsX11 graphics(&plug, 10, 10);
  StandIns scratch;
  scratch.Write("xdg-open",
                "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/called\"\n"
                "[ \"$1\" != fail ]\n",
                true);
  ScopedEnv path("PATH", scratch.path + ":/usr/bin:/bin");
  const std::string url = "https://example.invalid/a b;touch " + scratch.path + "/pwned";
  EXPECT_TRUE(graphics.OpenLink(url.c_str(), "Link", nullptr, nullptr));
  EXPECT_EQ(scratch.Read("called"), "1|" + url);
  EXPECT_EQ(scratch.Read("pwned"), "");
  EXPECT_FALSE(graphics.OpenLink("fail", "Link", nullptr, "could not open"));
  // Asked to confirm without a window to ask in: nothing is run.
  scratch.Write("called", "");
  EXPECT_FALSE(graphics.OpenLink("https://example.invalid", "Link", "Open?", nullptr));
  EXPECT_EQ(scratch.Read("called"), "");
  EXPECT_FALSE(graphics.OpenLink("", "Link", nullptr, nullptr));
}

// With a window open, the confirmation and the failure are message boxes.
TEST(GraphicsX11, OpenLinkAsksInAMessageBoxAndShowsItsFailure) {
  X11Bench b;
  REQUIRE_DISPLAY(b);
  StandIns scratch;
  scratch.Write("xdg-open",
                "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/called\"\n"
                "[ \"$1\" != fail ]\n",
                true);
  ScopedEnv path("PATH", scratch.path + ":/usr/bin:/bin");
  const auto withUser = [&](std::function<void(X11PopupUser&)> script, const char* url,
                            const char* confirm, const char* failure) {
    X11PopupUser user;
    user.Start(std::move(script));
    const bool opened = b.graphics->OpenLink(url, "Link", confirm, failure);
    user.Finish();
    return opened;
  };
  std::string title;
  EXPECT_FALSE(withUser(
      [&](X11PopupUser& user) {
        const std::vector<::Window> boxes = user.WaitFor("message");
        ASSERT_EQ(boxes.size(), 1u);
        title = user.Property(boxes[0], "_NET_WM_NAME");
        ASSERT_TRUE(user.WaitFocus(boxes[0]));
        user.Key(XK_n);
      },
      "https://example.invalid/no", "Open the page?", nullptr));
  EXPECT_EQ(title, "Link");
  EXPECT_EQ(scratch.Read("called"), "");
  EXPECT_TRUE(withUser(
      [&](X11PopupUser& user) {
        const std::vector<::Window> boxes = user.WaitFor("message");
        ASSERT_EQ(boxes.size(), 1u);
        ASSERT_TRUE(user.WaitFocus(boxes[0]));
        user.Key(XK_y);
      },
      "https://example.invalid/yes", "Open the page?", nullptr));
  EXPECT_EQ(scratch.Read("called"), "https://example.invalid/yes");
  // The failure text is shown until it is acknowledged.
  bool failureShown = false;
  EXPECT_FALSE(withUser(
      [&](X11PopupUser& user) {
        const std::vector<::Window> boxes = user.WaitFor("message");
        failureShown = boxes.size() == 1;
        ASSERT_TRUE(failureShown);
        ASSERT_TRUE(user.WaitFocus(boxes[0]));
        user.Key(XK_Return);
      },
      "fail", nullptr, "The page could not be opened."));
  EXPECT_TRUE(failureShown);
}

} // namespace

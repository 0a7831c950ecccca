// The Windows editor window (IGraphicsWin) inside a real top-level window:
// text entry, menus, message boxes and dialogs, tooltips, keys, clipboard,
// folders, cursor, resizing and the window's lifetime, driven with posted
// messages. Modal loops (menus, boxes, dialogs) are answered from a thread
// timer, which those loops keep dispatching.
#include "GraphicsTestSupport.h"
#include "HostWindow.h"
#include "IGraphicsWin.h"
#include "IMenuTree.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace editorwin;

// A control that records entered values and texts, with prompting on.
class EntryControl : public ProbeControl {
public:
  EntryControl(std::vector<std::string>& log, const char* name, IPlugBase* plugin, const IBox& area,
               int paramIndex)
      : ProbeControl(log, name, plugin, area, paramIndex) {
    SetPromptDisabled(false);
  }
  void SetValueFromEntry(double value) override {
    entered.push_back(value);
    ProbeControl::SetValueFromEntry(value);
  }
  void TakeEnteredText(const char* text) override { texts.emplace_back(text); }
  std::vector<double> entered;
  std::vector<std::string> texts;
};

// A plug-in, an editor with two prompting controls and a probe, and a host
// window it is open in.
struct Editor {
  explicit Editor(int format = kFormatVST2, bool open = true) : plug(format) {
    plug.GetParam(5)->DefineInteger("Steps", 0, 0, 100, "");
    // The plug-in owns its editor (prompts find the editor through it).
    graphics = new IGraphicsWin(&plug, 200, 120);
    steps = new EntryControl(log, "steps", &plug, IBox(10, 10, 90, 40), 5);
    gain = new EntryControl(log, "gain", &plug, IBox(100, 10, 190, 40), 0);
    probe = new ProbeControl(log, "probe", &plug, IBox(10, 60, 190, 110));
    graphics->AddControl(steps);
    graphics->AddControl(gain);
    graphics->AddControl(probe);
    plug.AttachEditor(graphics);
    if (open) Open();
  }
  void Open() {
    window = static_cast<HWND>(graphics->OpenEditorWindow(host.Handle()));
    Pump(60);
  }
  // A right press on a prompting control opens its text field.
  HWND Prompt(const IControl* control) {
    const IBox& a = control->Area();
    PostMouse(window, WM_RBUTTONDOWN, a.L + 5, a.T + 5, MK_RBUTTON);
    PostMouse(window, WM_RBUTTONUP, a.L + 5, a.T + 5, 0);
    Pump(30);
    return graphics->EditWindow();
  }
  std::string FieldText() const {
    char text[64] = {};
    GetWindowTextA(graphics->EditWindow(), text, sizeof text);
    return text;
  }
  // The timer closes a committed or cancelled field on its next tick.
  bool FieldCloses() {
    return PumpUntil([this] { return graphics->EditWindow() == nullptr; }, 2000);
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c)
      PostMessageA(graphics->EditWindow(), WM_CHAR, static_cast<WPARAM>(*c), 1);
    Pump(30);
  }

  HostWindow host;
  GraphicsTestPlug plug;
  std::vector<std::string> log;
  IGraphicsWin* graphics;
  EntryControl* steps;
  EntryControl* gain;
  ProbeControl* probe;
  HWND window = nullptr;
};

// The first visible top-level window of this process with that class.
HWND FindOwnWindow(const char* className) {
  struct Search {
    const char* name;
    HWND found;
  } search = {className, nullptr};
  EnumWindows(
      [](HWND w, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char name[64] = {};
        GetClassNameA(w, name, sizeof name);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && std::strcmp(name, s->name) == 0) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs answer() from inside the next modal loop of this thread (or right
// away if there is none), then stops.
class ModalAnswer {
public:
  explicit ModalAnswer(std::function<bool()> answer) : mAnswer(std::move(answer)) {
    Current() = this;
    mTimer = SetTimer(nullptr, 0, 60, Tick);
  }
  ~ModalAnswer() {
    KillTimer(nullptr, mTimer);
    Current() = nullptr;
  }
  int Calls() const { return mCalls; }

private:
  static ModalAnswer*& Current() {
    static ModalAnswer* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalAnswer* self = Current();
    if (!self) return;
    if (!self->mDone) {
      ++self->mCalls;
      self->mDone = self->mAnswer();
    } else if (++self->mTicksAfter > 50) {
      // The answer went astray: end the modal loop so the test fails
      // instead of hanging.
      EndMenu();
      if (HWND dialog = FindOwnWindow("#32770")) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }
  std::function<bool()> mAnswer;
  UINT_PTR mTimer = 0;
  int mCalls = 0;
  int mTicksAfter = 0;
  bool mDone = false;
};

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HMODULE ThisProgram() {
  return GetModuleHandleA(nullptr);
}

// ---- Window and class ---------------------------------------------------------------------

TEST(EditorWindow, ChildWindowClassAndTimer) {
  Editor e;
  ASSERT_NE(e.window, nullptr);
  EXPECT_EQ(e.graphics->EditorWindowHandle(), e.window);
  EXPECT_TRUE(e.graphics->IsEditorOpen());
  EXPECT_STREQ(e.graphics->ApiName(), "Windows GDI");
  char name[64] = {};
  GetClassNameA(e.window, name, sizeof name);
  EXPECT_STREQ(name, "IPlugWndClass");
  EXPECT_EQ(WindowText(e.window), "IPlug");
  EXPECT_EQ(GetParent(e.window), e.host.Handle());
  EXPECT_EQ(GetWindowLongA(e.window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  WNDCLASSA wc;
  ASSERT_TRUE(GetClassInfoA(ThisProgram(), "IPlugWndClass", &wc));
  EXPECT_TRUE(wc.style & CS_DBLCLKS);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);

  // The timer paints what became dirty, without being asked.
  e.log.clear();
  e.probe->MarkDirty(false);
  EXPECT_TRUE(PumpUntil([&] { return !e.probe->IsDirty(); }, 2000));
  EXPECT_NE(std::find(e.log.begin(), e.log.end(), "probe draw"), e.log.end());

  // WM_CLOSE closes the editor's window and lets go of the class.
  SendMessageA(e.window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(e.window));
  EXPECT_FALSE(e.graphics->IsEditorOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(GetClassInfoA(ThisProgram(), "IPlugWndClass", &wc));
}

TEST(EditorWindow, ClassCountStaysBalanced) {
  Editor a, b;
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  // Reopening replaces the window and keeps one share.
  a.Open();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  a.graphics->CloseEditorWindow();
  a.graphics->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  // Bad parents register nothing.
  EXPECT_EQ(a.graphics->OpenEditorWindow(nullptr), nullptr);
  EXPECT_EQ(a.graphics->OpenEditorWindow(reinterpret_cast<void*>(0x4321)), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  // The host destroys its window first: the share is kept until the close.
  b.host.Destroy();
  EXPECT_FALSE(b.graphics->IsEditorOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  Pump(100);
  b.graphics->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  WNDCLASSA wc;
  EXPECT_FALSE(GetClassInfoA(ThisProgram(), "IPlugWndClass", &wc));
}

TEST(EditorWindow, DestroyingTheEditorWhileOpenLeavesNothingBehind) {
  Editor e;
  HWND window = e.window;
  e.log.clear();
  e.probe->MarkDirty(false);
  // Replacing the editor deletes the open one.
  e.plug.AttachEditor(new IGraphicsWin(&e.plug, 10, 10));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  // Nothing reaches the controls' old owner any more.
  PostMouse(window, WM_LBUTTONDOWN, 20, 70, MK_LBUTTON);
  Pump(100);
  EXPECT_TRUE(e.log.empty());
}

// ---- Keys ------------------------------------------------------------------------------------

TEST(EditorWindow, KeysGoThroughTheTableOrToTheHost) {
  Editor e;
  // The key goes to the control under the pointer.
  POINT p = {50, 80};
  ClientToScreen(e.window, &p);
  ASSERT_TRUE(SetCursorPos(p.x, p.y));
  e.log.clear();
  const WPARAM keys[] = {VK_SPACE, VK_UP, VK_RIGHT, '0', '9', 'A', 'Z', 97, 122};
  for (WPARAM key : keys)
    PostMessageA(e.window, WM_KEYDOWN, key, 1);
  Pump(50);
  std::vector<std::string> expected;
  for (int code : {0, 1, 4, 5, 14, 15, 40, 15, 40})
    expected.push_back("probe key 50,80 " + std::to_string(code));
  EXPECT_EQ(e.log, expected);
  EXPECT_TRUE(e.host.KeysDown().empty());
  // Not taken, or not in the table: the host's top-level window gets it.
  e.probe->takesKeys = false;
  PostMessageA(e.window, WM_KEYDOWN, 'Q', 1);
  PostMessageA(e.window, WM_KEYDOWN, VK_F1, 1);
  PostMessageA(e.window, WM_KEYUP, 'Q', 1);
  Pump(50);
  EXPECT_EQ(e.host.KeysDown(), (std::vector<WPARAM>{'Q', VK_F1}));
  EXPECT_EQ(e.host.KeysUp(), (std::vector<WPARAM>{'Q'}));
}

// ---- Text entry ------------------------------------------------------------------------------

TEST(EditorWindow, TextEntryForAnIntegerDropsThePointAndCommitsOnTheNextTick) {
  Editor e;
  HWND field = e.Prompt(e.steps);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(GetParent(field), e.window);
  EXPECT_EQ(GetDlgCtrlID(field), 99);
  EXPECT_EQ(GetWindowLongPtrA(field, GWLP_USERDATA), IGraphicsWin::kEditMarker);
  char className[16] = {};
  GetClassNameA(field, className, sizeof className);
  EXPECT_STREQ(className, "Edit");
  EXPECT_EQ(e.FieldText(), "0");
  EXPECT_EQ(e.graphics->EditState(), IGraphicsWin::EditActive);

  e.Type("1.5");
  EXPECT_EQ(e.FieldText(), "15");
  PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
  // Enter only marks the commit; the timer closes the field.
  MSG m;
  while (PeekMessageA(&m, field, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
    DispatchMessageA(&m);
  EXPECT_EQ(e.graphics->EditState(), IGraphicsWin::EditCommit);
  EXPECT_TRUE(IsWindow(field));
  EXPECT_TRUE(e.steps->entered.empty());
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_FALSE(IsWindow(field));
  EXPECT_EQ(e.graphics->EditWindow(), nullptr);
  ASSERT_EQ(e.steps->entered.size(), 1u);
  EXPECT_DOUBLE_EQ(e.steps->entered[0], 0.15);
  EXPECT_EQ(e.plug.GetParam(5)->Value(), 15.0);
}

TEST(EditorWindow, TextEntryFiltersAndCancels) {
  Editor e;
  HWND field = e.Prompt(e.gain);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(e.FieldText(), "0.50");
  e.Type("abc");
  EXPECT_EQ(e.FieldText(), "0.50"); // nothing entered
  e.Type("-0.25");
  EXPECT_EQ(e.FieldText(), "-0.25"); // a continuous value takes the point
  PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_EQ(e.graphics->EditWindow(), nullptr);
  EXPECT_TRUE(e.gain->entered.empty());
  EXPECT_EQ(e.plug.GetParam(0)->Value(), 0.5);
}

TEST(EditorWindow, APressWhileTypingCancelsAndPressesNothing) {
  Editor e;
  HWND field = e.Prompt(e.steps);
  ASSERT_NE(field, nullptr);
  ASSERT_EQ(e.graphics->EditState(), IGraphicsWin::EditActive);
  e.Type("42");
  e.log.clear();
  PostMouse(e.window, WM_LBUTTONDOWN, 50, 80, MK_LBUTTON);
  PostMouse(e.window, WM_LBUTTONUP, 50, 80, 0);
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_EQ(e.graphics->EditWindow(), nullptr);
  EXPECT_TRUE(e.steps->entered.empty());
  EXPECT_EQ(e.plug.GetParam(5)->Value(), 0.0);
  for (const std::string& line : e.log)
    EXPECT_EQ(line.find("probe press"), std::string::npos) << line;
  // The wheel over an open field that is not being typed in cancels it too.
  e.graphics->OpenTextEntry(e.probe, e.probe->TextStyle(), e.probe->Area(), "x", nullptr);
  ASSERT_NE(e.graphics->EditWindow(), nullptr);
  SetFocus(e.window); // the field loses the focus: that commits
  EXPECT_EQ(e.graphics->EditState(), IGraphicsWin::EditCommit);
  // (Sent, not posted: the next tick must not close the field before the check.)
  POINT at = {50, 80};
  ClientToScreen(e.window, &at);
  SendMessageA(e.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(e.graphics->EditState(), IGraphicsWin::EditCancel);
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_EQ(e.graphics->EditWindow(), nullptr);
}

TEST(EditorWindow, FreeTextTakesEverythingAndAbortCancels) {
  Editor e;
  e.graphics->OpenTextEntry(e.steps, e.steps->TextStyle(), e.steps->Area(), "old", nullptr);
  HWND field = e.graphics->EditWindow();
  ASSERT_NE(field, nullptr);
  // A second field does not open while one is.
  e.graphics->OpenTextEntry(e.gain, e.gain->TextStyle(), e.gain->Area(), "other", nullptr);
  EXPECT_EQ(e.graphics->EditWindow(), field);
  e.Type("a.b!");
  PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_EQ(e.steps->texts, (std::vector<std::string>{"a.b!"}));
  EXPECT_TRUE(e.steps->entered.empty());

  e.graphics->OpenTextEntry(e.steps, e.steps->TextStyle(), e.steps->Area(), "old", nullptr);
  e.graphics->AbortTextEntry();
  EXPECT_TRUE(e.FieldCloses());
  EXPECT_EQ(e.graphics->EditWindow(), nullptr);
  EXPECT_EQ(e.steps->texts.size(), 1u);
}

// ---- Menus -------------------------------------------------------------------------------------

// Sends keys to the open popup menu, one per tick.
std::function<bool()> MenuKeys(std::vector<WPARAM> keys,
                               std::vector<std::string>* labels = nullptr) {
  auto left = std::make_shared<std::vector<WPARAM>>(std::move(keys));
  return [left, labels]() {
    HWND menu = FindOwnWindow("#32768");
    if (!menu) return false;
    if (labels && labels->empty()) {
      HMENU native = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
      for (int i = 0; native && i < GetMenuItemCount(native); ++i) {
        char text[64] = {};
        GetMenuStringA(native, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(native, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR)
          labels->push_back("-");
        else
          labels->push_back(std::string(text) + ((state & MF_CHECKED) ? "*" : "") +
                            ((state & MF_GRAYED) ? "~" : ""));
      }
    }
    if (left->empty()) return true;
    PostMessageA(menu, WM_KEYDOWN, left->front(), 0);
    left->erase(left->begin());
    return left->empty();
  };
}

IMenuTree* MakeMenu(IMenuTree& menu) {
  menu.AddItem("alpha");
  menu.AddItem("beta", IMenuEntry::Checked);
  auto* sub = new IMenuTree();
  sub->AddItem("gamma");
  sub->AddItem("delta");
  menu.AddSubmenu("more", sub);
  menu.AddSeparator();
  menu.AddItem("omega", IMenuEntry::Greyed);
  return sub;
}

TEST(EditorWindow, MenuChoicesMapBackThroughTheIdBlocks) {
  Editor e;
  {
    IMenuTree menu(IMenuTree::PrefixOneDigit);
    MakeMenu(menu);
    std::vector<std::string> labels;
    ModalAnswer answer(MenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}, &labels));
    IMenuTree* chosen = e.graphics->ShowMenu(menu, IBox(10, 10, 90, 40));
    EXPECT_GT(answer.Calls(), 0);
    ASSERT_EQ(chosen, &menu);
    EXPECT_EQ(menu.ChosenIndex(), 1);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"1: alpha", "2: beta*", "3: more", "-", "5: omega~"}));
  }
  {
    IMenuTree menu;
    IMenuTree* sub = MakeMenu(menu);
    ModalAnswer answer(MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}));
    IMenuTree* chosen = e.graphics->ShowMenu(menu, IBox(10, 10, 90, 40));
    ASSERT_EQ(chosen, sub);
    EXPECT_EQ(sub->ChosenIndex(), 1);
    EXPECT_EQ(menu.ChosenIndex(), -1);
  }
  {
    IMenuTree menu;
    MakeMenu(menu);
    ModalAnswer answer(MenuKeys({VK_ESCAPE}));
    EXPECT_EQ(e.graphics->ShowMenu(menu, IBox(10, 10, 90, 40)), nullptr);
  }
  EXPECT_EQ(e.graphics->CaptureIndex(), -1);
}

// ---- Message boxes, links, dialogs
// ----------------------------------------------------------------

// Answers the first message box or dialog with a command, after reading it.
std::function<bool()> AnswerDialog(WORD command, HWND* owner = nullptr,
                                   std::string* title = nullptr) {
  return [=]() {
    HWND box = FindOwnWindow("#32770");
    if (!box) return false;
    if (owner) *owner = GetWindow(box, GW_OWNER);
    if (title) *title = WindowText(box);
    PostMessageA(box, WM_COMMAND, command, 0);
    return true;
  };
}

TEST(EditorWindow, MessageBoxesBelongToTheHostsMainWindow) {
  Editor e;
  HWND owner = nullptr;
  std::string title;
  {
    ModalAnswer answer(AnswerDialog(IDCANCEL, &owner, &title));
    EXPECT_EQ(e.graphics->ShowMessage("text", "Caption", MB_OKCANCEL), IGraphics::MessageCancel);
  }
  EXPECT_EQ(owner, e.host.Handle());
  EXPECT_EQ(e.graphics->MainWindow(), e.host.Handle());
  EXPECT_EQ(title, "Caption");
  // A link the user does not confirm is not opened.
  {
    ModalAnswer answer(AnswerDialog(IDNO));
    EXPECT_FALSE(e.graphics->OpenLink("tolven-test:nothing", "Link", "Open it?", nullptr));
  }
  // One that cannot be opened shows the failure text.
  {
    ModalAnswer answer(AnswerDialog(IDOK, nullptr, &title));
    EXPECT_FALSE(e.graphics->OpenLink("C:\\no\\such\\file.tolven", "Failed link", nullptr,
                                      "could not open"));
    EXPECT_GT(answer.Calls(), 0);
  }
  EXPECT_EQ(title, "Failed link");
}

TEST(EditorWindow, FileDialogs) {
  Editor e;
  std::string file = "preset", folder;
  {
    ModalAnswer answer(AnswerDialog(IDCANCEL));
    e.graphics->AskForFile(file, false, folder, "wav aif");
    EXPECT_GT(answer.Calls(), 0);
  }
  EXPECT_TRUE(file.empty());

  // Saving under a name typed into the dialog.
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string target = std::string(temp) + "tolven-dialog-test.wav";
  folder = temp;
  file.clear();
  {
    ModalAnswer answer([&]() {
      HWND dialog = FindOwnWindow("#32770");
      if (!dialog) return false;
      HWND name = GetDlgItem(dialog, cmb13);
      if (!name) name = GetDlgItem(dialog, edt1);
      if (!name) return false;
      SetWindowTextA(name, target.c_str());
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      return true;
    });
    e.graphics->AskForFile(file, true, folder, "wav");
  }
  EXPECT_EQ(file, target);
  EXPECT_EQ(folder, std::string(temp));

  // Without a window nothing is asked.
  e.graphics->CloseEditorWindow();
  file = "kept?";
  e.graphics->AskForFile(file, false, folder, "wav");
  EXPECT_TRUE(file.empty());
}

TEST(EditorWindow, ColourDialog) {
  Editor e;
  std::string title;
  IArgb colour(200, 10, 20, 30);
  {
    ModalAnswer answer(AnswerDialog(IDOK, nullptr, &title));
    EXPECT_TRUE(e.graphics->AskForColour(colour, "Pick a colour"));
  }
  EXPECT_EQ(title, "Pick a colour");
  EXPECT_EQ(colour, IArgb(200, 10, 20, 30));
  {
    ModalAnswer answer(AnswerDialog(IDCANCEL));
    EXPECT_FALSE(e.graphics->AskForColour(colour, "Again"));
  }
  e.graphics->CloseEditorWindow();
  EXPECT_FALSE(e.graphics->AskForColour(colour, "No window"));
}

// ---- Clipboard, folders, cursor, images ---------------------------------------------------------

TEST(EditorWindow, ClipboardTextArrivesAsUtf8) {
  Editor e;
  ASSERT_TRUE(OpenClipboard(e.host.Handle()));
  EmptyClipboard();
  const wchar_t text[] = L"Gain \u00e9 3";
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(GlobalLock(data), text, sizeof text);
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
  std::string out;
  EXPECT_TRUE(e.graphics->ClipboardText(out));
  EXPECT_EQ(out, "Gain \xc3\xa9 3");

  ASSERT_TRUE(OpenClipboard(e.host.Handle()));
  EmptyClipboard();
  CloseClipboard();
  out = "stale";
  EXPECT_FALSE(e.graphics->ClipboardText(out));
  EXPECT_TRUE(out.empty());
}

TEST(EditorWindow, Folders) {
  Editor e(kFormatVST2, false);
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string expected(program);
  expected.resize(expected.rfind('\\') + 1);
  std::string path;
  e.graphics->HostModulePath(path);
  EXPECT_EQ(path, expected);
  e.graphics->PluginModulePath(path); // the editor is built into this program
  EXPECT_EQ(path, expected);
  e.graphics->DesktopFolder(path);
  EXPECT_FALSE(path.empty());
  std::string user, common, sandbox;
  e.graphics->AppDataFolder(user, false);
  e.graphics->AppDataFolder(common, true);
  e.graphics->SandboxAppDataFolder(sandbox);
  EXPECT_FALSE(user.empty());
  EXPECT_FALSE(common.empty());
  EXPECT_NE(user, common);
  EXPECT_EQ(sandbox, user);
}

TEST(EditorWindow, ConcealedCursorComesBackWhereItWas) {
  Editor e;
  ASSERT_TRUE(SetCursorPos(300, 200));
  e.graphics->ConcealCursor();
  EXPECT_TRUE(e.graphics->CursorHidden());
  e.graphics->ConcealCursor(); // once only
  SetCursorPos(20, 20);
  e.graphics->RevealCursor();
  EXPECT_FALSE(e.graphics->CursorHidden());
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 200);
  CURSORINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetCursorInfo(&info));
  EXPECT_TRUE(info.flags & CURSOR_SHOWING);
}

TEST(EditorWindow, ImagesComeFromTheModulesPngResources) {
  Editor e(kFormatVST2, false);
  std::unique_ptr<LICE_IBitmap> background(e.graphics->LoadImageResource(101, "img/BG.PNG"));
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->Width(), 135);
  EXPECT_EQ(std::unique_ptr<LICE_IBitmap>(e.graphics->LoadImageResource(101, "img/BG.bmp")),
            nullptr);
  EXPECT_EQ(std::unique_ptr<LICE_IBitmap>(e.graphics->LoadImageResource(4242, "x.png")), nullptr);
}

// ---- Size and tooltips
// ---------------------------------------------------------------------------

TEST(EditorWindow, ResizingGrowsTheHostWindowsUnderVst2Only) {
  for (int format : {kFormatVST2, kFormatVST3}) {
    Editor e(format);
    RECT host0, editor0;
    GetWindowRect(e.host.Handle(), &host0);
    GetWindowRect(e.window, &editor0);
    e.graphics->ResizeEditor(230, 100);
    EXPECT_EQ(e.graphics->Width(), 230);
    EXPECT_EQ(e.plug.sizes.back(), std::make_pair(230, 100));
    RECT host1, editor1;
    GetWindowRect(e.host.Handle(), &host1);
    GetWindowRect(e.window, &editor1);
    EXPECT_EQ(editor1.right - editor1.left, editor0.right - editor0.left + 30) << format;
    EXPECT_EQ(editor1.bottom - editor1.top, editor0.bottom - editor0.top - 20) << format;
    EXPECT_EQ(editor1.left, editor0.left);
    const int grown = format == kFormatVST2 ? 30 : 0;
    EXPECT_EQ(host1.right - host1.left, host0.right - host0.left + grown) << format;
    // The same size again changes nothing.
    e.graphics->ResizeEditor(230, 100);
    EXPECT_EQ(e.plug.sizes.size(), 1u);
  }
}

TEST(EditorWindow, TooltipsFollowTheHoveredControl) {
  Editor e(kFormatVST2, false);
  e.graphics->SetHandleHover(true);
  e.graphics->SetTooltipsEnabled(true);
  e.probe->SetTooltip("Probe tip");
  e.Open();
  HWND tooltip = e.graphics->TooltipWindow();
  ASSERT_NE(tooltip, nullptr);
  EXPECT_TRUE(IsWindow(tooltip));
  EXPECT_TRUE(e.graphics->TooltipsEnabled());
  PostMouse(e.window, WM_MOUSEMOVE, 50, 80, 0);
  Pump(30);
  EXPECT_EQ(e.graphics->TooltipIndex(), 2);
  SendMessageA(e.window, WM_MOUSEHOVER, 0, MAKELPARAM(50, 80));
  EXPECT_TRUE(e.graphics->TooltipShowing());
  char text[64] = {};
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = e.window;
  tool.uId = reinterpret_cast<UINT_PTR>(e.window);
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Probe tip");
  e.log.clear();
  SendMessageA(e.window, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(e.graphics->TooltipShowing());
  EXPECT_NE(std::find(e.log.begin(), e.log.end(), "probe leave"), e.log.end());
  e.graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(tooltip));
}

} // namespace

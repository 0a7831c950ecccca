#include "IGraphicsWin.h"

#include "IControl.h"
#include "IMenuTree.h"
#include "IParameter.h"
#include "IPlugBase.h"
#include "ImageResourceName.h"
#include "LICE_Png.h"
#include "LICE_SysBitmap.h"
#include "ModuleHandle.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace {

// The class registration is shared by every editor window of this module in
// the process; the count says how many objects hold it.
std::mutex& ClassLock() {
  static std::mutex lock;
  return lock;
}
int gOpenWindows = 0;

// The module this code is linked into: the plug-in module, or the program
// when the editor is built into one (tools and tests).
HINSTANCE ThisModule() {
  if (void* handle = ModuleHandle::Get()) return static_cast<HINSTANCE>(handle);
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

// The key-code table of DispatchKey; -1 for a key outside it.
int KeyCode(WPARAM key) {
  switch (key) {
  case VK_SPACE:
    return 0;
  case VK_UP:
    return 1;
  case VK_DOWN:
    return 2;
  case VK_LEFT:
    return 3;
  case VK_RIGHT:
    return 4;
  default:
    break;
  }
  if (key >= 48 && key <= 57) return static_cast<int>(key - 48) + 5;
  if (key >= 65 && key <= 90) return static_cast<int>(key - 65) + 15;
  if (key >= 97 && key <= 122) return static_cast<int>(key - 97) + 15;
  return -1;
}

IMouseKeys KeysFrom(WPARAM flags) {
  return IMouseKeys((flags & MK_LBUTTON) != 0, (flags & MK_RBUTTON) != 0, (flags & MK_SHIFT) != 0,
                    (flags & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

int SignedX(LPARAM lParam) {
  return static_cast<short>(LOWORD(lParam));
}
int SignedY(LPARAM lParam) {
  return static_cast<short>(HIWORD(lParam));
}

// The folder part (with its trailing backslash) of a module's file name; ""
// when the name has no backslash or ends with one.
void ModuleFolder(HMODULE module, std::string& path) {
  path.clear();
  char name[256] = {};
  const DWORD length = GetModuleFileNameA(module, name, sizeof name);
  if (length == 0 || length >= sizeof name) return;
  const char* slash = std::strrchr(name, '\\');
  if (!slash || slash[1] == '\0') return;
  path.assign(name, static_cast<std::size_t>(slash - name + 1));
}

// Grows or shrinks a window by (dw, dh) without moving it.
void GrowWindow(HWND window, int dw, int dh) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
}

bool IsNonMdiChild(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) &&
         !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

// Native popup menus from a menu tree: the top menu's entries get ids
// 0 .. n - 1, each submenu met on the way (depth first, in entry order) the
// next block of its size.
HMENU BuildMenu(const IMenuTree& menu, int& nextId) {
  HMENU native = CreatePopupMenu();
  const int first = nextId;
  nextId += menu.NumEntries();
  for (int i = 0; i < menu.NumEntries(); ++i) {
    const IMenuEntry* entry = menu.Entry(i);
    const std::string label = menu.Label(i);
    UINT flags = 0;
    if (entry->flags & IMenuEntry::Greyed) flags |= MF_GRAYED;
    if (entry->flags & IMenuEntry::Disabled) flags |= MF_DISABLED;
    if (entry->flags & IMenuEntry::Checked) flags |= MF_CHECKED;
    if (entry->flags & IMenuEntry::Separator) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
    } else if (entry->submenu) {
      HMENU sub = BuildMenu(*entry->submenu, nextId);
      AppendMenuA(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label.c_str());
    } else {
      AppendMenuA(native, flags | MF_STRING, static_cast<UINT_PTR>(first + i), label.c_str());
    }
  }
  return native;
}

// The menu whose block holds id, walking the tree as BuildMenu numbered it;
// sets its chosen index.
IMenuTree* FindChoice(IMenuTree& menu, int id, int& nextId) {
  const int first = nextId;
  nextId += menu.NumEntries();
  if (id >= first && id < nextId) {
    menu.SetChosenIndex(id - first);
    return &menu;
  }
  for (int i = 0; i < menu.NumEntries(); ++i) {
    IMenuEntry* entry = menu.Entry(i);
    if (entry->submenu && !(entry->flags & IMenuEntry::Separator))
      if (IMenuTree* found = FindChoice(*entry->submenu, id, nextId)) return found;
  }
  return nullptr;
}

struct MainWindowSearch {
  DWORD processId;
  const std::string* className;
  HWND found;
};

BOOL CALLBACK FindTopLevelOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<MainWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  if (*search->className != name) return TRUE;
  search->found = window;
  return FALSE;
}

} // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate), mModuleInstance(ThisModule()) {}

IGraphicsWin::~IGraphicsWin() {
  if (mCursorHidden) RevealCursor();
  CloseEditorWindow();
  mCustomColours.reset();
}

int IGraphicsWin::OpenWindowCount() {
  std::lock_guard<std::mutex> guard(ClassLock());
  return gOpenWindows;
}

// ---- Window and class -----------------------------------------------------------------

bool IGraphicsWin::AcquireClass() {
  if (mHoldsClass) return true;
  std::lock_guard<std::mutex> guard(ClassLock());
  if (gOpenWindows == 0) {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = mModuleInstance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClassName;
    // A class left behind by an earlier registration is as good as ours.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  ++gOpenWindows;
  mHoldsClass = true;
  return true;
}

void IGraphicsWin::ReleaseClass() {
  if (!mHoldsClass) return;
  mHoldsClass = false;
  std::lock_guard<std::mutex> guard(ClassLock());
  if (--gOpenWindows == 0) UnregisterClassA(kWindowClassName, mModuleInstance);
}

void* IGraphicsWin::OpenEditorWindow(void* parent) {
  HWND parentWindow = static_cast<HWND>(parent);
  // Nothing to embed in: refused before anything is registered or created.
  if (!parentWindow || !IsWindow(parentWindow)) return nullptr;

  int x = 0, y = 0, w = Width(), h = Height();
  if (mEditorWindow && IsWindow(mEditorWindow)) {
    RECT r;
    GetWindowRect(mEditorWindow, &r);
    MapWindowPoints(HWND_DESKTOP, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    x = r.left;
    y = r.top;
    w = r.right - r.left;
    h = r.bottom - r.top;
    CloseEditorWindow();
  } else {
    // A window the host destroyed leaves only its share of the class.
    DetachWindow(false);
  }
  mParentWindow = parentWindow;

  if (!AcquireClass()) return nullptr;
  HWND window = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w,
                                h, parentWindow, nullptr, mModuleInstance, this);
  if (!window) {
    // WM_CREATE may have run: let go of the window it recorded.
    mEditorWindow = nullptr;
    ReleaseClass();
    return nullptr;
  }
  mEditorWindow = window;
  MarkAllDirty();
  if (TooltipsEnabled()) CreateTooltip();
  return mEditorWindow;
}

void IGraphicsWin::CreateTooltip() {
  INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  mTooltipWindow =
      CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mEditorWindow,
                      nullptr, mModuleInstance, nullptr);
  bool ok = mTooltipWindow != nullptr;
  if (ok) {
    SetWindowPos(mTooltipWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = mEditorWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
    tool.lpszText = const_cast<char*>("");
    ok = SendMessageA(mTooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  }
  if (!ok) {
    if (mTooltipWindow) DestroyWindow(mTooltipWindow);
    mTooltipWindow = nullptr;
    SetTooltipsEnabled(false);
  }
}

void IGraphicsWin::DestroyTextEntry(bool destroyWindow) {
  if (!mEditWindow) return;
  HWND edit = mEditWindow;
  const bool hadFocus = GetFocus() == edit;
  mEditWindow = nullptr;
  if (IsWindow(edit)) {
    if (mEditPreviousProc)
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEditPreviousProc));
    SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
    if (destroyWindow) DestroyWindow(edit);
  }
  mEditPreviousProc = nullptr;
  mEditParam = nullptr;
  mEditControl = nullptr;
  mEditState = EditIdle;
  if (mEditFont) DeleteObject(mEditFont);
  mEditFont = nullptr;
  // The keys go back to the editor, which forwards what it does not take.
  if (destroyWindow && hadFocus && mEditorWindow && IsWindow(mEditorWindow))
    SetFocus(mEditorWindow);
}

void IGraphicsWin::DetachWindow(bool destroying) {
  HWND window = mEditorWindow;
  DestroyTextEntry(!destroying);
  if (mTooltipWindow && IsWindow(mTooltipWindow)) DestroyWindow(mTooltipWindow);
  mTooltipWindow = nullptr;
  mTooltipShowing = false;
  mTooltipIndex = -1;
  if (window && IsWindow(window)) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    KillTimer(window, kTimerId);
    if (GetCapture() == window) ::ReleaseCapture();
  }
  mEditorWindow = nullptr;
  // A press whose release will never come.
  IGraphics::ReleaseCapture();
}

void IGraphicsWin::CloseEditorWindow() {
  HWND window = mEditorWindow;
  DetachWindow(false);
  if (window && IsWindow(window)) DestroyWindow(window);
  ReleaseClass();
}

IGraphicsWin* IGraphicsWin::FromWindow(HWND window) {
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return graphics && graphics->mEditorWindow == window ? graphics : nullptr;
}

// ---- Window procedure ----------------------------------------------------------------------

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* graphics = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
    if (graphics) {
      graphics->mEditorWindow = window;
      const int rate = graphics->FrameRate() > 0 ? graphics->FrameRate() : kDefaultFrameRate;
      SetTimer(window, kTimerId, static_cast<UINT>(1000 / rate), nullptr);
    }
    SetFocus(window);
    return 0;
  }
  IGraphicsWin* graphics = FromWindow(window);
  if (!graphics) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return graphics->HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT IGraphicsWin::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The host is destroying its window (and ours with it) before closing the
  // editor: let go of it now, keep only the share of the class.
  if (message == WM_DESTROY) {
    DetachWindow(true);
    return 0;
  }
  if (mEditWindow && mEditState == EditActive) {
    // The user is typing: a press in the editor cancels, everything else is
    // left to the system (the editor is not repainted meanwhile). Releases
    // still end the press that opened the field (its capture and its edit
    // gesture), and the field's colours still come from its style.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      mEditState = EditCancel;
      return 0;
    }
    if (message != WM_CTLCOLOREDIT && message != WM_LBUTTONUP && message != WM_RBUTTONUP)
      return DefWindowProcA(window, message, wParam, lParam);
  }

  switch (message) {
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    return 0;

  case WM_PAINT: {
    RECT r;
    if (GetUpdateRect(window, &r, FALSE)) Redraw(IBox(r.left, r.top, r.right, r.bottom));
    // Without controls Redraw presents nothing; the area must still count
    // as painted, or the system would ask again at once.
    if (mEditorWindow == window) ValidateRect(window, nullptr);
    return 0;
  }

  case WM_CLOSE:
    CloseEditorWindow();
    return 0;

  case WM_TIMER:
    if (wParam == kTimerId) {
      OnTimer();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);

  case WM_KEYDOWN:
    OnKeyDown(window, wParam, lParam);
    return 0;

  case WM_KEYUP:
    SendMessageA(GetAncestor(window, GA_ROOT), WM_KEYUP, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);

  case WM_CTLCOLOREDIT: {
    if (!mEditControl) return 0;
    HDC dc = reinterpret_cast<HDC>(wParam);
    const COLORREF background = mEditStyle.entryBackground.ToWindowsColour();
    SetBkColor(dc, background);
    SetTextColor(dc, mEditStyle.entryForeground.ToWindowsColour());
    SetBkMode(dc, OPAQUE);
    SetDCBrushColor(dc, background);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }

  case WM_MOUSEMOVE: {
    const IMouseKeys keys = KeysFrom(wParam);
    const int x = SignedX(lParam), y = SignedY(lParam);
    if (keys.left || keys.right) {
      if (GetCapture() == window && !mEditWindow) DispatchDrag(x, y, keys);
    } else if (DispatchHover(x, y, keys)) {
      TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
      if (TooltipsEnabled() && HoverIndex() != mTooltipIndex) {
        mTooltipIndex = HoverIndex();
        if (mTooltipIndex >= 0) track.dwFlags |= TME_HOVER;
        HideTooltip();
      }
      TrackMouseEvent(&track);
    }
    return 0;
  }

  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
    HideTooltip();
    if (mEditWindow) {
      // The field is open but not being typed in: the press commits it.
      mEditState = EditCommit;
      return 0;
    }
    SetFocus(window);
    SetCapture(window);
    DispatchPress(SignedX(lParam), SignedY(lParam), KeysFrom(wParam));
    return 0;

  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    ::ReleaseCapture();
    DispatchRelease(SignedX(lParam), SignedY(lParam), KeysFrom(wParam));
    return 0;

  case WM_LBUTTONDBLCLK:
    if (DispatchDoublePress(SignedX(lParam), SignedY(lParam), KeysFrom(wParam)) &&
        mEditorWindow == window)
      SetCapture(window);
    return 0;

  case WM_MOUSEWHEEL: {
    if (mEditWindow) {
      mEditState = EditCancel;
      return 0;
    }
    RECT r;
    GetWindowRect(window, &r);
    const int x = SignedX(lParam) - r.left, y = SignedY(lParam) - r.top;
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    // A turn of less than a notch (a high-resolution wheel) moves nothing.
    if (notches != 0) DispatchWheel(x, y, KeysFrom(GET_KEYSTATE_WPARAM(wParam)), notches);
    return 0;
  }

  case WM_MOUSEHOVER:
    if (mTooltipWindow) {
      const IControl* control = GetControl(mTooltipIndex);
      TOOLINFOA tool = {};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.hwnd = window;
      tool.uId = reinterpret_cast<UINT_PTR>(window);
      tool.lpszText = const_cast<char*>(control ? control->Tooltip().c_str() : "");
      SendMessageA(mTooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
      mTooltipShowing = true;
    }
    return 0;

  case WM_MOUSELEAVE:
    HideTooltip();
    DispatchLeave();
    return 0;

  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

void IGraphicsWin::HideTooltip() {
  if (!mTooltipShowing) return;
  mTooltipShowing = false;
  if (!mTooltipWindow || !mEditorWindow) return;
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = mEditorWindow;
  tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
  tool.lpszText = nullptr;
  SendMessageA(mTooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void IGraphicsWin::OnKeyDown(HWND window, WPARAM wParam, LPARAM lParam) {
  const int code = KeyCode(wParam);
  if (code >= 0) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    if (DispatchKey(p.x, p.y, code)) return;
  }
  // Keys the editor does not take belong to the host (transport, shortcuts).
  SendMessageA(GetAncestor(window, GA_ROOT), WM_KEYDOWN, wParam, lParam);
  DefWindowProcA(window, WM_KEYDOWN, wParam, lParam);
}

void IGraphicsWin::OnTimer() {
  if (mEditWindow && mEditState != EditIdle) {
    if (mEditState == EditRefresh) {
      mEditState = EditIdle;
      return;
    }
    // Commit or cancel: the field closes on this tick.
    const bool commit = mEditState == EditCommit;
    char text[32] = {};
    if (commit) SendMessageA(mEditWindow, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    IControl* control = mEditControl;
    IParameter* param = mEditParam;
    DestroyTextEntry();
    if (!commit || !control) return;
    if (param) {
      double value = 0.0;
      if (!param->IsDouble() && param->NumDisplayTexts() > 0) {
        int matched = 0;
        if (param->MatchDisplayText(text, &matched)) value = matched;
      } else {
        value = IParameter::ParseLeadingNumber(text);
        if (param->NegateDisplay()) value = -value;
      }
      control->SetValueFromEntry(param->ToNormalized(value));
    } else {
      control->TakeEnteredText(text);
    }
    return;
  }

  IBox dirty;
  if (!CollectDirty(dirty) || !mEditorWindow) return;
  RECT r = {dirty.L, dirty.T, dirty.R, dirty.B};
  InvalidateRect(mEditorWindow, &r, FALSE);
  if (mEditWindow && mEditControl) {
    // Everything but the field is repainted.
    const IBox& field = mEditControl->Area();
    RECT keep = {field.L, field.T, field.R, field.B};
    ValidateRect(mEditorWindow, &keep);
    UpdateWindow(mEditorWindow);
    mEditState = EditRefresh;
  } else {
    UpdateWindow(mEditorWindow);
  }
}

// ---- Painting -------------------------------------------------------------------------------

bool IGraphicsWin::PresentArea(const IBox& area) {
  if (!mEditorWindow) return true;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(mEditorWindow, &paint);
  LICE_SysBitmap* surface = Surface();
  if (dc && surface && surface->DeviceContext())
    BitBlt(dc, area.L, area.T, area.W(), area.H(), static_cast<HDC>(surface->DeviceContext()),
           area.L, area.T, SRCCOPY);
  EndPaint(mEditorWindow, &paint);
  return true;
}

// ---- Text entry ----------------------------------------------------------------------------

void IGraphicsWin::AbortTextEntry() {
  if (mEditWindow) mEditState = EditCancel;
}

void IGraphicsWin::OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area,
                                 const char* text, IParameter* parameter) {
  if (!control || mEditWindow || !mEditorWindow) return;
  DWORD alignment = 0;
  if (style.align == ITextStyle::AlignCentre) alignment = ES_CENTER;
  if (style.align == ITextStyle::AlignFar) alignment = ES_RIGHT;
  HWND edit = CreateWindowExA(0, "EDIT", text ? text : "",
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | alignment,
                              area.L, area.T, area.W() + 1, area.H() + 1, mEditorWindow,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditControlId)),
                              mModuleInstance, nullptr);
  if (!edit) return;
  mEditFont = CreateFontA(style.size, 0, 0, 0, style.style == ITextStyle::StyleBold ? 700 : 0,
                          style.style == ITextStyle::StyleItalic, 0, 0, 0, 0, 0, 0, 0, style.face);
  mEditStyle = style;
  mEditStyle.cachedFont = nullptr;
  mEditWindow = edit;
  mEditParam = parameter;
  mEditControl = control;
  mEditState = EditIdle;
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLimit()), 0);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), 0);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  // Subclassed before it takes the focus, so that focus makes the entry
  // active: while the user types, a press in the editor cancels.
  mEditPreviousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetWindowLongPtrA(edit, GWLP_USERDATA, kEditMarker);
  SetFocus(edit);
}

LRESULT CALLBACK IGraphicsWin::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  IGraphicsWin* graphics = FromWindow(GetParent(window));
  if (!graphics || graphics->mEditWindow != window ||
      GetWindowLongPtrA(window, GWLP_USERDATA) != kEditMarker || !graphics->mEditPreviousProc)
    return DefWindowProcA(window, message, wParam, lParam);
  try {
    return graphics->HandleEditMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT IGraphicsWin::HandleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HideTooltip();
  switch (message) {
  case WM_SETFOCUS:
    mEditState = EditActive;
    break;
  case WM_KILLFOCUS:
    mEditState = EditCommit;
    break;
  case WM_GETDLGCODE: {
    LRESULT code = CallWindowProcA(mEditPreviousProc, window, message, wParam, lParam);
    const MSG* queried = reinterpret_cast<const MSG*>(lParam);
    if (!mEditParam && queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN)
      code |= DLGC_WANTALLKEYS;
    return code;
  }
  case WM_KEYDOWN:
    if (wParam == VK_RETURN) {
      mEditState = EditCommit;
      return 0;
    }
    if (wParam == VK_ESCAPE) {
      mEditState = EditCancel;
      return 0;
    }
    break;
  case WM_CHAR:
    // Enter commits (above); the line break it also types is no part of the text.
    if (wParam == '\r' || wParam == '\n') return 0;
    if (mEditParam && wParam != VK_BACK && mEditParam->Kind() != IParameter::kKindUndefined) {
      const bool sign = wParam == '+' || wParam == '-';
      const bool digit = wParam >= '0' && wParam <= '9';
      const bool point = wParam == '.' && mEditParam->IsDouble();
      if (!sign && !digit && !point) return 0;
    }
    break;
  case WM_COMMAND:
    if (HIWORD(wParam) == 1) {
      mEditState = EditCommit;
      return 0;
    }
    break;
  default:
    break;
  }
  return CallWindowProcA(mEditPreviousProc, window, message, wParam, lParam);
}

// ---- Menus and message boxes ----------------------------------------------------------------

IMenuTree* IGraphicsWin::ShowMenu(IMenuTree& menu, const IBox& area) {
  ReleaseCapture();
  if (!mEditorWindow) return nullptr;
  int nextId = 0;
  HMENU native = BuildMenu(menu, nextId);
  POINT corner = {area.L, area.B};
  ClientToScreen(mEditorWindow, &corner);
  HWND window = mEditorWindow;
  IMenuTree* chosen = nullptr;
  MSG message;
  if (TrackPopupMenu(native, TPM_LEFTBUTTON, corner.x, corner.y, 0, window, nullptr) &&
      PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
      HIWORD(message.wParam) == 0) {
    int walk = 0;
    chosen = FindChoice(menu, LOWORD(message.wParam), walk);
  }
  DestroyMenu(native);
  if (mEditorWindow) InvalidateRect(mEditorWindow, nullptr, FALSE);
  return chosen;
}

void IGraphicsWin::FindMainWindow() {
  if (mMainWindow && IsWindow(mMainWindow)) return;
  mMainWindow = nullptr;
  if (mParentWindow && IsWindow(mParentWindow)) {
    HWND top = mParentWindow;
    while (HWND up = GetParent(top))
      top = up;
    mMainWindow = top;
    char name[128] = {};
    GetClassNameA(top, name, sizeof name);
    mMainWindowClass = name;
  } else if (!mMainWindowClass.empty()) {
    mProcessId = GetCurrentProcessId();
    MainWindowSearch search = {mProcessId, &mMainWindowClass, nullptr};
    EnumWindows(FindTopLevelOfClass, reinterpret_cast<LPARAM>(&search));
    mMainWindow = search.found;
  }
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, int type) {
  FindMainWindow();
  return MessageBoxA(mMainWindow, text, caption, static_cast<UINT>(type));
}

bool IGraphicsWin::OpenLink(const char* url, const char* caption, const char* confirmText,
                            const char* failureText) {
  if (confirmText && MessageBoxA(mEditorWindow, confirmText, caption, MB_YESNO) != IDYES)
    return false;
  DWORD state = 0;
  if (url && InternetGetConnectedState(&state, 0) &&
      reinterpret_cast<INT_PTR>(
          ShellExecuteA(mEditorWindow, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32)
    return true;
  if (failureText) MessageBoxA(mEditorWindow, failureText, caption, MB_OK);
  return false;
}

// ---- Dialogs ---------------------------------------------------------------------------------

void IGraphicsWin::AskForFile(std::string& file, bool save, std::string& folder,
                              const char* extensions) {
  if (!mEditorWindow) {
    file.clear();
    return;
  }
  char name[256] = {};
  std::strncpy(name, file.c_str(), sizeof name - 1);
  std::string initialFolder = folder;
  if (initialFolder.empty()) DesktopFolder(initialFolder);

  // "wav aif" gives the filter "*.wav;*.aif", used as description and pattern.
  std::string patterns, defaultExtension;
  if (extensions) {
    const char* p = extensions;
    while (*p) {
      while (*p == ' ')
        ++p;
      const char* start = p;
      while (*p && *p != ' ')
        ++p;
      if (p == start) break;
      const std::string extension(start, static_cast<std::size_t>(p - start));
      if (defaultExtension.empty()) defaultExtension = extension.substr(0, 15);
      if (!patterns.empty()) patterns += ';';
      patterns += "*." + extension;
    }
  }
  if (patterns.size() > 255) patterns.resize(255);
  std::vector<char> filter;
  for (int twice = 0; twice < 2; ++twice) {
    filter.insert(filter.end(), patterns.begin(), patterns.end());
    filter.push_back('\0');
  }
  filter.push_back('\0');

  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = mEditorWindow;
  dialog.lpstrFilter = patterns.empty() ? nullptr : filter.data();
  dialog.lpstrFile = name;
  dialog.nMaxFile = sizeof name - 1;
  dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  // The host's current directory is not ours to change.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  dialog.Flags |= save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
  const BOOL ok = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!ok) {
    file.clear();
    return;
  }
  file = name;
  char drive[_MAX_DRIVE] = {}, directory[_MAX_DIR] = {};
  _splitpath(name, drive, directory, nullptr, nullptr);
  folder = std::string(drive) + directory;
}

UINT_PTR CALLBACK IGraphicsWin::ColourHook(HWND dialog, UINT message, WPARAM /*wParam*/,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG && lParam) {
    const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (const char* prompt = reinterpret_cast<const char*>(choose->lCustData))
      SetWindowTextA(dialog, prompt);
  }
  return 0;
}

bool IGraphicsWin::AskForColour(IArgb& colour, const char* prompt) {
  if (!mEditorWindow) return false;
  if (!mCustomColours) mCustomColours.reset(new COLORREF[16]());
  CHOOSECOLORA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = mEditorWindow;
  dialog.rgbResult = RGB(colour.R, colour.G, colour.B);
  dialog.lpCustColors = mCustomColours.get();
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
  dialog.lCustData = reinterpret_cast<LPARAM>(prompt);
  dialog.lpfnHook = ColourHook;
  if (!ChooseColorA(&dialog)) return false;
  colour.R = GetRValue(dialog.rgbResult);
  colour.G = GetGValue(dialog.rgbResult);
  colour.B = GetBValue(dialog.rgbResult);
  return true;
}

// ---- Clipboard, folders, cursor ----------------------------------------------------------------

bool IGraphicsWin::ClipboardText(std::string& text) {
  text.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(mEditorWindow)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (bytes > 0) {
        std::vector<char> utf8(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
        text.assign(utf8.data());
        ok = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

void IGraphicsWin::HostModulePath(std::string& path) {
  ModuleFolder(nullptr, path);
}

void IGraphicsWin::PluginModulePath(std::string& path) {
  ModuleFolder(mModuleInstance, path);
}

void IGraphicsWin::DesktopFolder(std::string& path) {
  char folder[MAX_PATH] = {};
  path = SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOP, FALSE) ? folder : "";
}

void IGraphicsWin::AppDataFolder(std::string& path, bool systemWide) {
  char folder[MAX_PATH] = {};
  const int which = systemWide ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA;
  path = SUCCEEDED(SHGetFolderPathA(nullptr, which, nullptr, 0, folder)) ? folder : "";
}

void IGraphicsWin::SandboxAppDataFolder(std::string& path) {
  AppDataFolder(path, false);
}

void IGraphicsWin::ConcealCursor() {
  if (mCursorHidden) return;
  POINT p;
  if (GetCursorPos(&p)) {
    mSavedCursorX = p.x;
    mSavedCursorY = p.y;
  }
  ShowCursor(FALSE);
  mCursorHidden = true;
}

void IGraphicsWin::RevealCursor() {
  if (!mCursorHidden) return;
  SetCursorPos(mSavedCursorX, mSavedCursorY);
  ShowCursor(TRUE);
  mCursorHidden = false;
}

// ---- Images and size -------------------------------------------------------------------------

LICE_IBitmap* IGraphicsWin::LoadImageResource(int resourceId, const char* name) {
  if (!IsPngResourceName(name) || !mModuleInstance || resourceId < 1 || resourceId > 0xFFFF)
    return nullptr;
  HRSRC info = FindResourceA(mModuleInstance, MAKEINTRESOURCEA(resourceId), "PNG");
  if (!info) return nullptr;
  const DWORD size = SizeofResource(mModuleInstance, info);
  HGLOBAL loaded = LoadResource(mModuleInstance, info);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size <= 7) return nullptr;
  return LICE_DecodePngMemory(bytes, size);
}

void IGraphicsWin::ResizeEditor(int width, int height) {
  if (width == Width() && height == Height()) return;
  const int dw = width - Width(), dh = height - Height();
  IGraphics::ResizeEditor(width, height);
  HWND window = mEditorWindow;
  if (!window) return;
  GrowWindow(window, dw, dh);
  // A VST3 host sizes its own frame (through the view); VST2 hosts expect
  // the plug-in to grow the windows it sits in.
  const int format = Plugin() ? Plugin()->PluginFormat() : kFormatVST2;
  if (format != kFormatVST3 && format != 3 && IsNonMdiChild(window)) {
    if (HWND parent = GetParent(window)) {
      const bool grandparentToo = IsNonMdiChild(parent);
      GrowWindow(parent, dw, dh);
      if (grandparentToo)
        if (HWND grandparent = GetParent(parent)) GrowWindow(grandparent, dw, dh);
    }
  }
  if (mEditorWindow) InvalidateRect(mEditorWindow, nullptr, FALSE);
}

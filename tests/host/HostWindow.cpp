#include "HostWindow.h"

namespace editorwin {

namespace {

constexpr const char* kHostClass = "TolvenTestHostWindow";

void RegisterHostClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kHostClass;
  registered = RegisterClassA(&wc) != 0;
}

} // namespace

HostWindow::HostWindow(int x, int y, int width, int height, const char* title) {
  RegisterHostClass(Proc);
  mWindow =
      CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, x,
                      y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  Pump(20);
}

HostWindow::~HostWindow() {
  Destroy();
}

void HostWindow::Destroy() {
  if (mWindow && IsWindow(mWindow)) DestroyWindow(mWindow);
  mWindow = nullptr;
  Pump(10);
}

HWND HostWindow::Editor() const {
  return mWindow ? FindWindowExA(mWindow, nullptr, kEditorClass, kEditorTitle) : nullptr;
}

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host && message == WM_KEYDOWN) host->mKeysDown.push_back(wParam);
  if (host && message == WM_KEYUP) host->mKeysUp.push_back(wParam);
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return DefWindowProcA(window, message, wParam, lParam);
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
}

Picture Capture(HWND window, bool withFrame) {
  Picture picture;
  RECT area;
  if (!window || !(withFrame ? GetWindowRect(window, &area) : GetClientRect(window, &area)))
    return picture;
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return picture;
  HDC source = withFrame ? GetWindowDC(window) : GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section && bits) {
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    GdiFlush();
    picture.width = w;
    picture.height = h;
    picture.rgb.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < picture.rgb.size(); ++i)
      picture.rgb[i] = pixels[i] & 0x00FFFFFFu;
    SelectObject(memory, previous);
  }
  if (section) DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return picture;
}

int Differences(const Picture& a, const Picture& b, const IBox& box) {
  if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
  IBox area = box.Empty() ? IBox(0, 0, a.width, a.height) : box;
  area = IBox::Intersection(area, IBox(0, 0, a.width, a.height));
  int count = 0;
  for (int y = area.T; y < area.B; ++y)
    for (int x = area.L; x < area.R; ++x)
      if (a.At(x, y) != b.At(x, y)) ++count;
  return count;
}

void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
  PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

void PostWheel(HWND window, int x, int y, int delta, WPARAM keys) {
  POINT p = {x, y};
  ClientToScreen(window, &p);
  PostMessageA(window, WM_MOUSEWHEEL,
               MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))),
               MAKELPARAM(p.x, p.y));
}

HMODULE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(address), &module);
  return module;
}

bool EditorClassRegistered(HMODULE module) {
  WNDCLASSA wc;
  return module && GetClassInfoA(module, kEditorClass, &wc) != 0;
}

} // namespace editorwin

#include "IGraphicsX11.h"

#include "IMenuTree.h"
#include "ITextEntry.h"
#include "LICE_SysBitmap.h"
#include "PngResource.h"
#include "X11Clipboard.h"
#include "X11ErrorTrap.h"
#include "X11MessageBox.h"
#include "X11Modal.h"
#include "X11Picture.h"
#include "X11PopupMenu.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <spawn.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask | StructureNotifyMask;
constexpr unsigned kDoublePressMs = 400;
constexpr int kDoublePressDistance = 4;

// The editor's key codes: the same numbers the Windows virtual keys give, and
// X11's keysyms for digits and letters already have those values.
int EditorKeyCode(KeySym sym) {
  switch (sym) {
  case XK_space:
    return 0;
  case XK_Up:
    return 1;
  case XK_Down:
    return 2;
  case XK_Left:
    return 3;
  case XK_Right:
    return 4;
  default:
    break;
  }
  if (sym >= XK_0 && sym <= XK_9) return 5 + static_cast<int>(sym - XK_0);
  if (sym >= XK_A && sym <= XK_Z) return 15 + static_cast<int>(sym - XK_A);
  if (sym >= XK_a && sym <= XK_z) return 15 + static_cast<int>(sym - XK_a);
  return -1;
}

IMouseKeys KeysOf(unsigned state) {
  IMouseKeys keys;
  keys.left = (state & Button1Mask) != 0;
  keys.right = (state & Button3Mask) != 0;
  keys.shift = (state & ShiftMask) != 0;
  keys.ctrl = (state & ControlMask) != 0;
  keys.alt = (state & Mod1Mask) != 0;
  return keys;
}

// The surface's pixels are 32-bit words 0xAARRGGBB: a 24-bit true-colour
// visual with 32 bits per pixel takes them as they are.
bool TakesSurfacePixels(Display* display, const Visual* visual, int depth) {
  if (!visual || depth != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
      visual->blue_mask != 0xFF)
    return false;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  bool ok = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) ok = formats[i].bits_per_pixel == 32;
  if (formats) XFree(formats);
  return ok;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
  return path.substr(0, slash + 1);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

// One XDG user directory from ~/.config/user-dirs.dirs (lines such as
// XDG_DESKTOP_DIR="$HOME/Desktop"); fallback when it is not set.
std::string UserDirectory(const char* key, const char* fallback) {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const std::string config =
      (configHome && *configHome ? std::string(configHome) : HomeFolder() + "/.config") +
      "/user-dirs.dirs";
  std::ifstream in(config);
  const std::string prefix = std::string(key) + "=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) value = HomeFolder() + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return HomeFolder() + fallback;
}

// Hands url to the desktop's opener (xdg-open, found on the PATH, the url
// one argument and no shell in between).
bool RunLinkOpener(const char* url) {
  char program[] = "xdg-open";
  std::string target(url);
  char* argv[] = {program, target.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
  // xdg-open hands the link on and exits; wait briefly for its verdict, and
  // take a launcher that keeps running as success.
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    usleep(20000);
  }
  return true;
}

} // namespace

// ---- The window ---------------------------------------------------------------------

struct IGraphicsX11::State {
  Display* display = nullptr;
  ::Window parent = 0;
  ::Window window = 0; // 0 once destroyed (by us or by the host)
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0; // ours when the parent's visual did not fit
  GC gc = nullptr;
  bool broken = false; // the connection failed

  XShmSegmentInfo shm{};
  XImage* shmImage = nullptr;

  IBox exposed;
  bool captured = false;
  bool leaveArmed = false;
  bool havePress = false; // a left press that a second one may make double
  Time pressTime = 0;
  int pressX = 0;
  int pressY = 0;

  long long lastTick = 0;
  bool ticked = false;

  Cursor blankCursor = 0;
  bool cursorHidden = false;
  int savedX = -1;
  int savedY = -1;

  Atom wmState = 0;

  ~State() {
    if (display) {
      X11ErrorTrap trap;
      // Also after the connection broke: Xlib then sends nothing, but the
      // GC's memory is still ours to free.
      if (gc) XFreeGC(display, gc);
      XCloseDisplay(display);
    }
    X11ErrorTrap::RemoveEditorDisplay(display);
    if (shmImage) {
      shmdt(shm.shmaddr);
      shmImage->data = nullptr;
      XDestroyImage(shmImage);
    }
  }

  // Shared memory for presenting when the server is local and offers it.
  void SetupShm(X11ErrorTrap& trap, int width, int height) {
    if (!XShmQueryExtension(display) || width <= 0 || height <= 0) return;
    XImage* image =
        XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm,
                        static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image) return;
    shm.shmid =
        shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
    void* address = shm.shmid >= 0 ? shmat(shm.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (address == reinterpret_cast<void*>(-1)) {
      if (shm.shmid >= 0) shmctl(shm.shmid, IPC_RMID, nullptr);
      XDestroyImage(image);
      return;
    }
    shm.shmaddr = image->data = static_cast<char*>(address);
    shm.readOnly = False;
    const bool attached = XShmAttach(display, &shm) && trap.Sync(display);
    // Marked for removal now: it goes when the last user detaches, also if
    // this process dies.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!attached) {
      shmdt(address);
      image->data = nullptr;
      XDestroyImage(image);
      return;
    }
    shmImage = image;
  }

  // The surface's pixels inside area onto target (the window, or a pixmap
  // of the window's size).
  void Put(Drawable target, LICE_SysBitmap& surface, const IBox& area) {
    const IBox clip = IBox::Intersection(area, IBox(0, 0, surface.Width(), surface.Height()));
    if (clip.Empty() || clip.W() <= 0 || clip.H() <= 0) return;
    const int span = surface.RowSpan();
    if (shmImage && shmImage->width == surface.Width() && shmImage->height == surface.Height()) {
      for (int y = clip.T; y < clip.B; ++y)
        std::memcpy(shmImage->data + static_cast<size_t>(y) * shmImage->bytes_per_line +
                        static_cast<size_t>(clip.L) * 4,
                    surface.Pixels() + static_cast<size_t>(y) * span + clip.L,
                    static_cast<size_t>(clip.W()) * 4);
      XShmPutImage(display, target, gc, shmImage, clip.L, clip.T, clip.L, clip.T,
                   static_cast<unsigned>(clip.W()), static_cast<unsigned>(clip.H()), False);
      // The server reads the segment later; the next copy must wait for it.
      XSync(display, False);
      return;
    }
    X11PutPicture(display, target, gc, visual, depth, surface, clip);
  }

  // The top-level window the host's keys go to: the nearest ancestor a
  // window manager marked as a client window, else the child of the root.
  ::Window TopLevel() const {
    ::Window current = parent, topmost = 0;
    while (current) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, current, wmState, 0, 0, False, AnyPropertyType, &type,
                             &format, &items, &after, &data) == Success) {
        if (data) XFree(data);
        if (type != None) return current;
      }
      ::Window root = 0, up = 0;
      ::Window* children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display, current, &root, &up, &children, &count)) break;
      if (children) XFree(children);
      topmost = current;
      current = up == root ? 0 : up;
    }
    return topmost;
  }

  void Forward(XEvent& event) {
    const ::Window top = TopLevel();
    if (!top) return;
    XEvent copy = event;
    copy.xkey.window = top;
    copy.xkey.subwindow = None;
    XSendEvent(display, top, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &copy);
  }
};

IGraphicsX11::IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate) {}

IGraphicsX11::~IGraphicsX11() {
  CloseEditorWindow();
}

void* IGraphicsX11::OpenEditorWindow(void* parent) {
  IBox box(0, 0, Width(), Height());
  if (mWin && mWin->window) {
    // The new window takes the old one's place and size.
    X11ErrorTrap trap;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (XGetGeometry(mWin->display, mWin->window, &root, &x, &y, &w, &h, &border, &depth) &&
        trap.Sync(mWin->display))
      box = IBox(x, y, x + static_cast<int>(w), y + static_cast<int>(h));
  }
  CloseEditorWindow();
  const ::Window parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
  if (!parentId || box.W() <= 0 || box.H() <= 0) return nullptr;

  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<State> win(new State);
  win->display = display;
  X11ErrorTrap::AddEditorDisplay(display);
  // A broken connection marks the window broken instead of ending the
  // process.
  XSetIOErrorExitHandler(
      display, [](Display*, void* data) { static_cast<State*>(data)->broken = true; }, win.get());
  win->parent = parentId;
  win->wmState = XInternAtom(display, "WM_STATE", False);

  X11ErrorTrap trap;
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parentId, &parentAttributes) || !trap.Sync(display))
    return nullptr;
  XSetWindowAttributes attributes{};
  attributes.event_mask = kEventMask;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  unsigned long valueMask = CWEventMask | CWBackPixmap | CWBorderPixel;
  if (TakesSurfacePixels(display, parentAttributes.visual, parentAttributes.depth)) {
    win->visual = parentAttributes.visual;
    win->depth = parentAttributes.depth;
  } else {
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, DefaultScreen(display), 24, TrueColor, &info) ||
        !TakesSurfacePixels(display, info.visual, info.depth))
      return nullptr;
    win->visual = info.visual;
    win->depth = info.depth;
    win->colormap = XCreateColormap(display, parentAttributes.root, info.visual, AllocNone);
    attributes.colormap = win->colormap;
    valueMask |= CWColormap;
  }
  win->window = XCreateWindow(display, parentId, box.L, box.T, static_cast<unsigned>(box.W()),
                              static_cast<unsigned>(box.H()), 0, win->depth, InputOutput,
                              win->visual, valueMask, &attributes);
  // The parent's end is the window's end too; watching it keeps us from
  // talking to a window the host has already destroyed.
  XSelectInput(display, parentId, StructureNotifyMask);
  if (win->window) win->gc = XCreateGC(display, win->window, 0, nullptr);
  if (win->window) XMapWindow(display, win->window);
  if (!win->window || !trap.Sync(display)) return nullptr;
  win->SetupShm(trap, Width(), Height());
  mWin = std::move(win);
  MarkAllDirty();
  // Painted at once, for hosts that are slow to call the idle operation (a
  // parent not shown yet gets its Expose later).
  Redraw(IBox(0, 0, Width(), Height()));
  trap.Sync(display);
  return reinterpret_cast<void*>(static_cast<uintptr_t>(mWin->window));
}

void IGraphicsX11::CloseEditorWindow() {
  mEntry.reset();
  if (!mWin) return;
  std::unique_ptr<State> win = std::move(mWin);
  if (!win->broken) {
    X11ErrorTrap trap;
    // A destruction the host already made may still be waiting in the queue.
    while (XPending(win->display) > 0) {
      XEvent event;
      XNextEvent(win->display, &event);
      if (event.type == DestroyNotify && (event.xdestroywindow.window == win->window ||
                                          event.xdestroywindow.window == win->parent))
        win->window = 0;
    }
    if (win->cursorHidden && win->window) XUndefineCursor(win->display, win->window);
    if (win->blankCursor) XFreeCursor(win->display, win->blankCursor);
    if (win->shmImage) XShmDetach(win->display, &win->shm);
    if (win->window) XDestroyWindow(win->display, win->window);
    if (win->colormap) XFreeColormap(win->display, win->colormap);
    trap.Sync(win->display);
  }
  ReleaseCapture();
}

void* IGraphicsX11::EditorWindowHandle() const {
  // A broken connection took the window with it.
  return mWin && mWin->window && !mWin->broken
             ? reinterpret_cast<void*>(static_cast<uintptr_t>(mWin->window))
             : nullptr;
}

int IGraphicsX11::ConnectionFd() const {
  return mWin && !mWin->broken ? ConnectionNumber(mWin->display) : -1;
}

int IGraphicsX11::TickPeriodMs() const {
  return FrameRate() > 0 ? 1000 / FrameRate() : 1000 / kDefaultFrameRate;
}

bool IGraphicsX11::PresentArea(const IBox& area) {
  LICE_SysBitmap* surface = Surface();
  if (!mWin || !mWin->window || mWin->broken || !surface || !surface->Pixels()) return true;
  mWin->Put(mWin->window, *surface, area);
  XFlush(mWin->display);
  return true;
}

void IGraphicsX11::KeepStill() {
  LICE_SysBitmap* surface = Surface();
  if (!mWin || !mWin->window || mWin->broken || !surface || !surface->Pixels()) return;
  State& w = *mWin;
  X11ErrorTrap trap;
  // Nothing selected, nothing piles up unread; input goes to the host's
  // window instead.
  XSelectInput(w.display, w.window, NoEventMask);
  XSelectInput(w.display, w.parent, NoEventMask);
  const Pixmap picture =
      XCreatePixmap(w.display, w.window, static_cast<unsigned>(surface->Width()),
                    static_cast<unsigned>(surface->Height()), static_cast<unsigned>(w.depth));
  w.Put(picture, *surface, IBox(0, 0, surface->Width(), surface->Height()));
  XSetWindowBackgroundPixmap(w.display, w.window, picture);
  XFreePixmap(w.display, picture); // the window keeps it as long as it needs it
  XClearWindow(w.display, w.window);
  trap.Sync(w.display);
  XSync(w.display, True); // and what was queued before is nobody's now
}

void IGraphicsX11::Tick() {
  if (!mWin || !mWin->window || mWin->broken) return;
  X11ErrorTrap trap;
  IBox area;
  if (!TickEntry() && CollectDirty(area)) {
    // The window system clips an invalidated area to the window.
    area = IBox::Intersection(area, IBox(0, 0, Width(), Height()));
    if (!area.Empty()) Redraw(area);
    // An open field (not being typed in) stays on top of what was painted.
    if (mEntry) {
      PaintEntry();
      mEntry->SetState(ITextEntry::EditRefresh);
    }
  }
  if (mWin && !mWin->broken) trap.Sync(mWin->display);
}

void IGraphicsX11::Idle() {
  if (!mWin) return;
  ProcessEvents();
  if (!mWin) return;
  const long long now = MonotonicMs();
  const long long period = TickPeriodMs();
  if (mWin->ticked && now - mWin->lastTick < period) return;
  // Keep the beat when called often; start afresh after a long pause.
  mWin->lastTick =
      mWin->ticked && now - mWin->lastTick < 2 * period ? mWin->lastTick + period : now;
  mWin->ticked = true;
  Tick();
}

void IGraphicsX11::ProcessEvents() {
  if (!mWin || mWin->broken) return;
  X11ErrorTrap trap;
  bool handled = false;
  while (mWin && !mWin->broken && XPending(mWin->display) > 0) {
    XEvent event;
    XNextEvent(mWin->display, &event);
    HandleEvent(event);
    handled = true;
  }
  if (handled && mWin && !mWin->broken) trap.Sync(mWin->display);
}

void IGraphicsX11::HandleEvent(XEvent& event) {
  State& w = *mWin;
  switch (event.type) {
  case DestroyNotify:
    // Children go before their parent: either way the editor window is gone.
    if (event.xdestroywindow.window == w.window || event.xdestroywindow.window == w.parent) {
      w.window = 0;
      ReleaseCapture();
    }
    if (event.xdestroywindow.window == w.parent) w.parent = 0;
    return;
  default:
    break;
  }
  if (!w.window || event.xany.window != w.window) return;
  if (mEntry && HandleEntryEvent(event)) return;

  switch (event.type) {
  case Expose: {
    const XExposeEvent& e = event.xexpose;
    w.exposed = IBox::Union(w.exposed, IBox(e.x, e.y, e.x + e.width, e.y + e.height));
    if (e.count > 0) return;
    const IBox area = IBox::Intersection(w.exposed, IBox(0, 0, Width(), Height()));
    w.exposed = IBox();
    if (!area.Empty()) Redraw(area);
    if (mEntry) PaintEntry();
    return;
  }
  case ButtonPress: {
    const XButtonEvent& e = event.xbutton;
    IMouseKeys keys = KeysOf(e.state);
    if (e.button == Button4 || e.button == Button5) {
      DispatchWheel(e.x, e.y, keys, e.button == Button4 ? 1 : -1);
      return;
    }
    if (e.button != Button1 && e.button != Button2 && e.button != Button3) return;
    if (e.button == Button1) {
      keys.left = 1;
      const bool isDouble = w.havePress &&
                            static_cast<uint32_t>(e.time - w.pressTime) <= kDoublePressMs &&
                            std::abs(e.x - w.pressX) <= kDoublePressDistance &&
                            std::abs(e.y - w.pressY) <= kDoublePressDistance;
      // As with the system's double clicks, the second press of a pair is
      // the double press and a third one starts afresh.
      w.havePress = !isDouble;
      w.pressTime = e.time;
      w.pressX = e.x;
      w.pressY = e.y;
      if (isDouble) {
        // The control may reach the host, and the host may close the editor.
        if (DispatchDoublePress(e.x, e.y, keys) && mWin) mWin->captured = true;
        return;
      }
    } else {
      w.havePress = false;
      if (e.button == Button3) keys.right = 1;
    }
    XSetInputFocus(w.display, w.window, RevertToParent, CurrentTime);
    w.captured = true;
    DispatchPress(e.x, e.y, keys);
    return;
  }
  case ButtonRelease: {
    const XButtonEvent& e = event.xbutton;
    if (e.button != Button1 && e.button != Button3) return;
    IMouseKeys keys = KeysOf(e.state);
    if (e.button == Button1) keys.left = 0;
    if (e.button == Button3) keys.right = 0;
    w.captured = false;
    DispatchRelease(e.x, e.y, keys);
    return;
  }
  case MotionNotify: {
    // Only the latest of a run of motions matters (drags work from the last
    // position), but never skip past another kind of event.
    while (XEventsQueued(w.display, QueuedAlready) > 0) {
      XEvent next;
      XPeekEvent(w.display, &next);
      if (next.type != MotionNotify || next.xany.window != w.window) break;
      XNextEvent(w.display, &event);
    }
    const XMotionEvent& e = event.xmotion;
    const IMouseKeys keys = KeysOf(e.state);
    if (keys.left || keys.right) {
      if (w.captured && !mEntry) DispatchDrag(e.x, e.y, keys);
    } else if (DispatchHover(e.x, e.y, keys) && mWin) {
      mWin->leaveArmed = true;
    }
    return;
  }
  case LeaveNotify:
    if (event.xcrossing.mode == NotifyNormal && w.leaveArmed) {
      w.leaveArmed = false;
      DispatchLeave();
    }
    return;
  case KeyPress: {
    const int code = EditorKeyCode(XLookupKeysym(&event.xkey, 0));
    if (code >= 0) {
      ::Window root = 0, child = 0;
      int rootX = 0, rootY = 0, x = 0, y = 0;
      unsigned mask = 0;
      XQueryPointer(w.display, w.window, &root, &child, &rootX, &rootY, &x, &y, &mask);
      if (DispatchKey(x, y, code)) return;
      if (!mWin || !mWin->window) return;
    }
    mWin->Forward(event);
    return;
  }
  case KeyRelease:
    w.Forward(event);
    return;
  default:
    return;
  }
}

void IGraphicsX11::ResizeEditor(int width, int height) {
  if (width == Width() && height == Height()) return;
  IGraphics::ResizeEditor(width, height);
  if (!mWin || !mWin->window) return;
  X11ErrorTrap trap;
  XResizeWindow(mWin->display, mWin->window, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
  if (mWin->shmImage) {
    // The segment was made for the old size; present without it from now.
    XShmDetach(mWin->display, &mWin->shm);
    shmdt(mWin->shm.shmaddr);
    mWin->shmImage->data = nullptr;
    XDestroyImage(mWin->shmImage);
    mWin->shmImage = nullptr;
  }
  MarkAllDirty();
  trap.Sync(mWin->display);
}

X11Modal IGraphicsX11::Modal() {
  X11Modal modal;
  modal.display = mWin->display;
  modal.visual = mWin->visual;
  modal.depth = mWin->depth;
  modal.tickMs = TickPeriodMs();
  modal.alive = [this] { return mWin && mWin->window && !mWin->broken; };
  modal.connected = [this] { return mWin && !mWin->broken; };
  // The editor keeps painting and notices its end; its input is dropped.
  modal.passOn = [this](XEvent& event) {
    if (event.type == Expose || event.type == DestroyNotify) HandleEvent(event);
  };
  modal.tick = [this] { Tick(); };
  return modal;
}

int IGraphicsX11::ShowMessage(const char* text, const char* caption, int type) {
  if (!mWin || !mWin->window || mWin->broken) return 0;
  X11ErrorTrap trap;
  const int result = ShowX11MessageBox(Modal(), mWin->TopLevel(), text, caption, type);
  if (mWin && !mWin->broken) trap.Sync(mWin->display);
  return result;
}

IMenuTree* IGraphicsX11::ShowMenu(IMenuTree& menu, const IBox& area) {
  ReleaseCapture();
  if (!mWin || !mWin->window || mWin->broken) return nullptr;
  X11ErrorTrap trap;
  Display* display = mWin->display;
  int x = 0, y = 0;
  ::Window child = 0;
  if (!XTranslateCoordinates(display, mWin->window, DefaultRootWindow(display), area.L, area.B, &x,
                             &y, &child))
    return nullptr;
  IMenuTree* chosen = ShowX11PopupMenu(Modal(), menu, x, y);
  if (!mWin || mWin->broken) return chosen;
  // The menu took the release of the press that opened it.
  mWin->captured = false;
  mWin->havePress = false;
  if (mWin->window) Redraw(IBox(0, 0, Width(), Height()));
  trap.Sync(display);
  return chosen;
}

void IGraphicsX11::OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area,
                                 const char* text, IParameter* parameter) {
  if (!control || mEntry || !mWin || !mWin->window) return;
  mEntry.reset(new ITextEntry(control, parameter, style, area, text));
  X11ErrorTrap trap;
  XSetInputFocus(mWin->display, mWin->window, RevertToParent, CurrentTime);
  PaintEntry();
  trap.Sync(mWin->display);
}

void IGraphicsX11::AbortTextEntry() {
  if (mEntry) mEntry->SetState(ITextEntry::EditCancel);
}

void IGraphicsX11::PaintEntry() {
  mEntry->Draw(*this);
  PresentArea(mEntry->Area());
}

bool IGraphicsX11::TickEntry() {
  if (!mEntry) return false;
  switch (mEntry->State()) {
  case ITextEntry::EditIdle:
    return false;
  case ITextEntry::EditActive:
    return true; // typing: the editor waits
  case ITextEntry::EditRefresh:
    mEntry->SetState(ITextEntry::EditIdle);
    return true;
  case ITextEntry::EditCommit:
    mEntry->Commit();
    break;
  case ITextEntry::EditCancel:
    break;
  }
  // The field goes; what it covered is painted again.
  const IBox covered = IBox::Intersection(mEntry->Area(), IBox(0, 0, Width(), Height()));
  mEntry.reset();
  if (!covered.Empty()) Redraw(covered);
  return true;
}

bool IGraphicsX11::HandleEntryEvent(XEvent& event) {
  ITextEntry& entry = *mEntry;
  const bool typing = entry.State() == ITextEntry::EditActive;
  switch (event.type) {
  case ButtonPress: {
    const XButtonEvent& e = event.xbutton;
    if (e.button == Button4 || e.button == Button5) {
      if (!typing) entry.SetState(ITextEntry::EditCancel);
      return true;
    }
    if (entry.Area().Contains(e.x, e.y)) {
      // A press in the field gives it the focus back.
      entry.SetState(ITextEntry::EditActive);
      XSetInputFocus(mWin->display, mWin->window, RevertToParent, CurrentTime);
      return true;
    }
    if (e.button == Button1 || e.button == Button3 || (!typing && e.button == Button2)) {
      entry.SetState(typing ? ITextEntry::EditCancel : ITextEntry::EditCommit);
      return true;
    }
    return typing;
  }
  case FocusOut:
    if (typing && event.xfocus.detail != NotifyInferior && event.xfocus.mode == NotifyNormal)
      entry.SetState(ITextEntry::EditCommit);
    return true;
  case KeyPress: {
    if (!typing) return false;
    char typed[16];
    KeySym sym = NoSymbol;
    const int count = XLookupString(&event.xkey, typed, sizeof typed, &sym, nullptr);
    if (sym == XK_Return || sym == XK_KP_Enter) {
      entry.SetState(ITextEntry::EditCommit);
    } else if (sym == XK_Escape) {
      entry.SetState(ITextEntry::EditCancel);
    } else if (sym == XK_BackSpace) {
      entry.Backspace();
      PaintEntry();
    } else {
      bool changed = false;
      for (int i = 0; i < count; ++i)
        changed |= entry.Type(typed[i]);
      if (changed) PaintEntry();
    }
    return true;
  }
  case KeyRelease:
  case MotionNotify:
  case ButtonRelease:
  case LeaveNotify:
    // The field has the pointer's and the keys' attention while typing.
    return typing;
  default:
    return false;
  }
}

void IGraphicsX11::AskForFile(std::string& file, bool /*save*/, std::string& /*folder*/,
                              const char* /*extensions*/) {
  file.clear();
}

void IGraphicsX11::HostModulePath(std::string& path) {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  path = n > 0 ? DirectoryOf(std::string(buffer, static_cast<size_t>(n))) : std::string();
}

void IGraphicsX11::PluginModulePath(std::string& path) {
  Dl_info info{};
  static const int kAnchor = 0; // any address inside this module
  path = dladdr(&kAnchor, &info) && info.dli_fname ? DirectoryOf(info.dli_fname) : std::string();
}

void IGraphicsX11::DesktopFolder(std::string& path) {
  path = UserDirectory("XDG_DESKTOP_DIR", "/Desktop");
}

void IGraphicsX11::AppDataFolder(std::string& path, bool systemWide) {
  if (systemWide) {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string first = dirs ? std::string(dirs).substr(0, std::string(dirs).find(':')) : "";
    path = first.empty() || first[0] != '/' ? "/usr/local/share" : first;
    return;
  }
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  path = dataHome && dataHome[0] == '/' ? dataHome : HomeFolder() + "/.local/share";
}

bool IGraphicsX11::OpenLink(const char* url, const char* caption, const char* confirmText,
                            const char* failureText) {
  if (confirmText && ShowMessage(confirmText, caption, MessageButtonsYesNo) != MessageYes)
    return false;
  if (url && *url && RunLinkOpener(url)) return true;
  if (failureText) ShowMessage(failureText, caption, MessageButtonsOk);
  return false;
}

bool IGraphicsX11::ClipboardText(std::string& text) {
  text.clear();
  if (!mWin || !mWin->window || mWin->broken) return false;
  X11ErrorTrap trap;
  const bool ok = ReadX11Clipboard(mWin->display, mWin->window, text);
  if (!mWin->broken) trap.Sync(mWin->display);
  return ok;
}

void IGraphicsX11::ConcealCursor() {
  if (!mWin || !mWin->window || mWin->cursorHidden) return;
  State& w = *mWin;
  X11ErrorTrap trap;
  ::Window root = 0, child = 0;
  int x = 0, y = 0;
  unsigned mask = 0;
  if (!XQueryPointer(w.display, w.window, &root, &child, &x, &y, &w.savedX, &w.savedY, &mask))
    return;
  if (!w.blankCursor) {
    static const char kEmpty[1] = {0};
    Pixmap blank = XCreateBitmapFromData(w.display, w.window, kEmpty, 1, 1);
    XColor black{};
    w.blankCursor = XCreatePixmapCursor(w.display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(w.display, blank);
  }
  XDefineCursor(w.display, w.window, w.blankCursor);
  w.cursorHidden = trap.Sync(w.display);
}

void IGraphicsX11::RevealCursor() {
  if (!mWin || !mWin->window || !mWin->cursorHidden) return;
  State& w = *mWin;
  X11ErrorTrap trap;
  XWarpPointer(w.display, None, w.window, 0, 0, 0, 0, w.savedX, w.savedY);
  XUndefineCursor(w.display, w.window);
  w.cursorHidden = false;
  trap.Sync(w.display);
}

LICE_IBitmap* IGraphicsX11::LoadImageResource(int resourceId, const char* name) {
  return LoadPngResource(ModuleResourceFinder(), resourceId, name);
}

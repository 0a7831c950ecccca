#include "X11PopupMenu.h"

#include "IMenuTree.h"
#include "PopupPainter.h"
#include "X11Picture.h"

#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kBorder = 1;
constexpr int kPadding = 3;      // above the first and below the last entry
constexpr int kCheckColumn = 22; // left of the labels
constexpr int kArrowColumn = 22; // right of the labels
constexpr int kSeparatorHeight = 7;
constexpr int kMinWidth = 100;
constexpr int kSubmenuOverlap = 3; // a submenu covers its parent's edge
constexpr int kGrabAttempts = 50;  // 10 ms apart: another client's grab may end
constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

bool Choosable(const IMenuEntry& entry) {
  return !(entry.flags & (IMenuEntry::Separator | IMenuEntry::Greyed | IMenuEntry::Disabled));
}

bool IsSubmenu(const IMenuEntry& entry) {
  return entry.submenu && !(entry.flags & IMenuEntry::Separator);
}

// One open menu: a tree's window and the rows of its entries (window
// coordinates).
struct Level {
  IMenuTree* tree = nullptr;
  std::unique_ptr<X11PictureWindow> window;
  std::vector<IBox> rows;
  int highlight = -1;
};

class MenuSession {
public:
  explicit MenuSession(const X11Modal& modal) : mModal(modal) {}
  ~MenuSession() {
    const bool connected = mModal.connected();
    if (connected && mGrabbed) {
      XUngrabPointer(mModal.display, CurrentTime);
      XUngrabKeyboard(mModal.display, CurrentTime);
    }
    mLevels.clear();
    if (connected) XSync(mModal.display, False);
  }

  IMenuTree* Run(IMenuTree& menu, int x, int y) {
    if (!Open(menu, x, y, -1)) return nullptr;
    mModal.Run([this](XEvent& event) { return Take(event); }, [this] { return mDone; });
    return mChosen;
  }

private:
  // Opens tree's menu at (x, y); a submenu that does not fit there ends at
  // rightEdge instead (-1: the menu is only moved inwards).
  bool Open(IMenuTree& tree, int x, int y, int rightEdge) {
    Level level;
    level.tree = &tree;
    const int line = PopupPainter::LineHeight();
    int width = kMinWidth;
    int top = kBorder + kPadding;
    for (int i = 0; i < tree.NumEntries(); ++i) {
      const IMenuEntry& entry = *tree.Entry(i);
      const int height = entry.flags & IMenuEntry::Separator ? kSeparatorHeight : line + 6;
      level.rows.push_back(IBox(kBorder, top, 0, top + height));
      top += height;
      width = std::max(width, kCheckColumn + PopupPainter::TextWidth(tree.Label(i).c_str()) +
                                  kArrowColumn + 2 * kBorder);
    }
    for (IBox& row : level.rows)
      row.R = width - kBorder;
    IBox box(x, y, x + width, y + top + kPadding + kBorder);
    const int screenW = DisplayWidth(mModal.display, DefaultScreen(mModal.display));
    if (box.R > screenW && rightEdge - width >= 0)
      box = IBox(rightEdge - width, y, rightEdge, box.B);
    level.window.reset(new X11PictureWindow(mModal.display, mModal.visual, mModal.depth,
                                            X11OnScreen(mModal.display, box), true, "menu",
                                            StructureNotifyMask));
    if (!level.window->IsOpen()) return false;
    mLevels.push_back(std::move(level));
    // Mapped first: nothing frames a menu, so it is up when the picture
    // follows, without waiting for an exposure. The top menu holds the
    // pointer before it shows, so the user's first move is the menu's.
    mLevels.back().window->Map();
    if (mLevels.size() == 1 && !Grab()) return false;
    Draw(mLevels.back());
    return true;
  }

  // The pointer and the keyboard come to the top menu, wherever they are;
  // the pointer must, or a press elsewhere could not close the menu.
  bool Grab() {
    const ::Window top = mLevels.front().window->Id();
    XSync(mModal.display, False);
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
      if (XGrabPointer(mModal.display, top, False, kPointerEvents, GrabModeAsync, GrabModeAsync,
                       None, None, CurrentTime) == GrabSuccess) {
        mGrabbed = true;
        break;
      }
      usleep(10000);
    }
    if (!mGrabbed) return false;
    XGrabKeyboard(mModal.display, top, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    return true;
  }

  void Draw(Level& level) {
    X11PictureWindow& window = *level.window;
    PopupPainter paint(&window.Picture());
    const IBox all(0, 0, window.Box().W(), window.Box().H());
    paint.Fill(all, PopupPainter::kBackground);
    paint.Frame(all, PopupPainter::kFrame, kBorder);
    for (int i = 0; i < level.tree->NumEntries(); ++i) {
      const IMenuEntry& entry = *level.tree->Entry(i);
      const IBox& row = level.rows[static_cast<size_t>(i)];
      const int middle = (row.T + row.B) / 2;
      if (entry.flags & IMenuEntry::Separator) {
        paint.Fill(IBox(row.L + 4, middle, row.R - 4, middle + 1), PopupPainter::kSeparator);
        continue;
      }
      LICE_PixelWord ink = PopupPainter::kText;
      if (entry.flags & IMenuEntry::Greyed) ink = PopupPainter::kGreyText;
      if (i == level.highlight) {
        paint.Fill(row, PopupPainter::kHighlight);
        ink = PopupPainter::kHighlightText;
      }
      if (entry.flags & IMenuEntry::Checked) paint.CheckMark(row.L + kCheckColumn / 2, middle, ink);
      paint.Text(level.tree->Label(i).c_str(),
                 IBox(row.L + kCheckColumn, row.T, row.R - kArrowColumn, row.B), ink);
      if (IsSubmenu(entry)) paint.Arrow(row.R - kArrowColumn / 2, middle, ink);
    }
    window.Present();
  }

  // The level and entry at a screen position: depth -1 outside every menu,
  // entry -1 on a menu's border or padding.
  std::pair<int, int> At(int x, int y) const {
    for (int depth = static_cast<int>(mLevels.size()) - 1; depth >= 0; --depth) {
      const Level& level = mLevels[static_cast<size_t>(depth)];
      const IBox& box = level.window->Box();
      if (!box.Contains(x, y)) continue;
      for (size_t i = 0; i < level.rows.size(); ++i)
        if (level.rows[i].Contains(x - box.L, y - box.T)) return {depth, static_cast<int>(i)};
      return {depth, -1};
    }
    return {-1, -1};
  }

  void CloseAfter(size_t depth) {
    if (mLevels.size() > depth + 1) mLevels.resize(depth + 1);
  }

  // Highlights an entry of a level (or nothing with -1); the level's open
  // submenu goes unless it is that entry's, and with open a submenu entry
  // opens its own.
  void Highlight(size_t depth, int index, bool open = true) {
    Level& level = mLevels[depth];
    const IMenuEntry* entry = index >= 0 ? level.tree->Entry(index) : nullptr;
    const bool opens = open && entry && IsSubmenu(*entry) && Choosable(*entry);
    if (!(opens && mLevels.size() > depth + 1 && mLevels[depth + 1].tree == entry->submenu.get()))
      CloseAfter(depth);
    if (level.highlight != index) {
      level.highlight = index;
      Draw(level);
    }
    if (opens && mLevels.size() == depth + 1) {
      const IBox& box = level.window->Box();
      const IBox& row = level.rows[static_cast<size_t>(index)];
      Open(*entry->submenu, box.R - kSubmenuOverlap, box.T + row.T - kPadding - kBorder,
           box.L + kSubmenuOverlap);
    }
  }

  void Choose(IMenuTree& tree, int index) {
    tree.SetChosenIndex(index);
    mChosen = &tree;
    mDone = true;
  }

  // The next entry from the highlight that can be highlighted, in direction
  // step, wrapping round; -1 when none can.
  static int Next(const Level& level, int step) {
    const int count = level.tree->NumEntries();
    int index = level.highlight;
    for (int k = 0; k < count; ++k) {
      index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
      if (Choosable(*level.tree->Entry(index))) return index;
    }
    return -1;
  }

  void Key(XKeyEvent& event) {
    const KeySym sym = XLookupKeysym(&event, 0);
    const size_t depth = mLevels.size() - 1;
    Level& level = mLevels[depth];
    const IMenuEntry* entry = level.highlight >= 0 ? level.tree->Entry(level.highlight) : nullptr;
    switch (sym) {
    case XK_Down:
    case XK_Up:
      // Moving through the entries does not open submenus on its own.
      Highlight(depth, Next(level, sym == XK_Down ? 1 : -1), false);
      return;
    case XK_Right:
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      if (!entry || !Choosable(*entry)) return;
      if (!IsSubmenu(*entry)) {
        if (sym != XK_Right) Choose(*level.tree, level.highlight);
        return;
      }
      Highlight(depth, level.highlight);
      if (mLevels.size() > depth + 1) Highlight(depth + 1, Next(mLevels[depth + 1], 1));
      return;
    case XK_Left:
    case XK_Escape:
      if (depth > 0)
        CloseAfter(depth - 1);
      else if (sym == XK_Escape)
        mDone = true;
      return;
    default:
      return;
    }
  }

  // Every pointer and key event is the menu's while it is open.
  bool Take(XEvent& event) {
    switch (event.type) {
    case Expose:
      for (Level& level : mLevels)
        if (event.xexpose.window == level.window->Id()) {
          level.window->Exposed(event.xexpose);
          return true;
        }
      return false;
    case DestroyNotify:
      // Destroyed by someone else: the menu ends without a choice.
      for (Level& level : mLevels)
        if (event.xdestroywindow.window == level.window->Id()) {
          level.window->Abandon();
          mDone = true;
        }
      return mDone;
    case MotionNotify: {
      mArmed = true;
      const auto [depth, index] = At(event.xmotion.x_root, event.xmotion.y_root);
      if (depth >= 0) {
        const IMenuEntry* entry =
            index >= 0 ? mLevels[static_cast<size_t>(depth)].tree->Entry(index) : nullptr;
        if (index < 0) return true; // between entries: nothing changes
        Highlight(static_cast<size_t>(depth), Choosable(*entry) ? index : -1);
      } else if (mLevels.back().highlight >= 0) {
        Level& last = mLevels.back();
        last.highlight = -1;
        Draw(last);
      }
      return true;
    }
    case ButtonPress:
      if (event.xbutton.button < Button1 || event.xbutton.button > Button3) return true;
      // A press outside ends the menu once its release has come too, so
      // that nothing under the pointer gets a release without a press.
      if (At(event.xbutton.x_root, event.xbutton.y_root).first < 0)
        mDismissButton = event.xbutton.button;
      else
        mArmed = true;
      return true;
    case ButtonRelease: {
      if (event.xbutton.button < Button1 || event.xbutton.button > Button3) return true;
      if (mDismissButton) {
        mDone = event.xbutton.button == mDismissButton;
        return true;
      }
      const auto [depth, index] = At(event.xbutton.x_root, event.xbutton.y_root);
      // The release of the press that opened the menu chooses nothing where
      // the menu came up under a pointer that has not moved since.
      if (!mArmed || depth < 0 || index < 0) return true;
      IMenuTree& tree = *mLevels[static_cast<size_t>(depth)].tree;
      const IMenuEntry& entry = *tree.Entry(index);
      if (Choosable(entry) && !IsSubmenu(entry)) Choose(tree, index);
      return true;
    }
    case KeyPress:
      Key(event.xkey);
      return true;
    case KeyRelease:
    case EnterNotify:
    case LeaveNotify:
      return true;
    default:
      return false;
    }
  }

  const X11Modal& mModal;
  std::vector<Level> mLevels;
  IMenuTree* mChosen = nullptr;
  bool mGrabbed = false;
  bool mArmed = false;         // the pointer moved or pressed since the menu opened
  unsigned mDismissButton = 0; // pressed outside the menus
  bool mDone = false;
};

} // namespace

IMenuTree* ShowX11PopupMenu(const X11Modal& modal, IMenuTree& menu, int x, int y) {
  if (menu.NumEntries() == 0) return nullptr;
  MenuSession session(modal);
  return session.Run(menu, x, y);
}

#include "X11MessageBox.h"

#include "IGraphics.h"
#include "PopupPainter.h"
#include "X11Picture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kMargin = 16;
constexpr int kMaxTextWidth = 420;
constexpr int kMinWidth = 240;
constexpr int kButtonMinWidth = 84;
constexpr int kButtonGap = 8;
constexpr int kButtonBand = 12; // above and below the buttons
constexpr LICE_PixelWord kTextArea = LICE_MakePixel(255, 255, 255, 255);

struct ButtonSet {
  std::vector<int> results;
  int escape; // the answer of Escape and closing, 0 for none
};

ButtonSet ButtonsOf(int type) {
  switch (type & 0xF) {
  case IGraphics::MessageButtonsOkCancel:
    return {{IGraphics::MessageOk, IGraphics::MessageCancel}, IGraphics::MessageCancel};
  case IGraphics::MessageButtonsAbortRetryIgnore:
    return {{IGraphics::MessageAbort, IGraphics::MessageRetry, IGraphics::MessageIgnore}, 0};
  case IGraphics::MessageButtonsYesNoCancel:
    return {{IGraphics::MessageYes, IGraphics::MessageNo, IGraphics::MessageCancel},
            IGraphics::MessageCancel};
  case IGraphics::MessageButtonsYesNo:
    return {{IGraphics::MessageYes, IGraphics::MessageNo}, 0};
  case IGraphics::MessageButtonsRetryCancel:
    return {{IGraphics::MessageRetry, IGraphics::MessageCancel}, IGraphics::MessageCancel};
  default:
    return {{IGraphics::MessageOk}, IGraphics::MessageOk};
  }
}

const char* LabelOf(int result) {
  switch (result) {
  case IGraphics::MessageOk:
    return "OK";
  case IGraphics::MessageCancel:
    return "Cancel";
  case IGraphics::MessageAbort:
    return "Abort";
  case IGraphics::MessageRetry:
    return "Retry";
  case IGraphics::MessageIgnore:
    return "Ignore";
  case IGraphics::MessageYes:
    return "Yes";
  default:
    return "No";
  }
}

// OK and Cancel answer to Enter and Escape; the others to their first
// letter as well.
bool HasAccelerator(int result) {
  return result != IGraphics::MessageOk && result != IGraphics::MessageCancel;
}

// The longest start of text (from byte from) that fits width, ending at a
// space where one is; at least one whole character.
size_t FitLine(const std::string& text, size_t from, int width) {
  size_t fit = from, lastSpace = std::string::npos;
  for (size_t end = from; end < text.size();) {
    size_t next = end + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
      ++next; // a UTF-8 character is never split
    if (PopupPainter::TextWidth(text.substr(from, next - from).c_str()) > width && fit > from)
      break;
    if (text[end] == ' ') lastSpace = end;
    fit = end = next;
  }
  if (fit < text.size() && lastSpace != std::string::npos && lastSpace > from) return lastSpace;
  return fit;
}

// text broken at line feeds and wrapped to width, spaces at the breaks
// dropped.
std::vector<std::string> WrapLines(const char* text, int width) {
  std::vector<std::string> lines;
  const std::string all(text ? text : "");
  size_t start = 0;
  for (;;) {
    const size_t feed = all.find('\n', start);
    std::string paragraph = all.substr(start, feed == std::string::npos ? feed : feed - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    size_t from = 0;
    do {
      const size_t end = FitLine(paragraph, from, width);
      lines.push_back(paragraph.substr(from, end - from));
      from = end;
      while (from < paragraph.size() && paragraph[from] == ' ')
        ++from;
    } while (from < paragraph.size());
    if (feed == std::string::npos) break;
    start = feed + 1;
  }
  return lines;
}

class MessageSession {
public:
  MessageSession(const X11Modal& modal, const char* text, int type)
      : mModal(modal), mButtons(ButtonsOf(type)), mLines(WrapLines(text, kMaxTextWidth)) {
    const int defaultButton = (type >> 8) & 0xF;
    mFocus = defaultButton < static_cast<int>(mButtons.results.size()) ? defaultButton : 0;
  }
  ~MessageSession() {
    mWindow.reset();
    if (mModal.connected()) XSync(mModal.display, False);
  }

  int Run(::Window owner, const char* caption) {
    if (!Open(owner, caption)) return 0;
    if (!mModal.Run([this](XEvent& event) { return Take(event); }, [this] { return mDone; }))
      return 0;
    return mResult;
  }

private:
  bool Open(::Window owner, const char* caption) {
    const int line = PopupPainter::LineHeight();
    int textWidth = 0;
    for (const std::string& text : mLines)
      textWidth = std::max(textWidth, PopupPainter::TextWidth(text.c_str()));
    int buttonsWidth = -kButtonGap;
    for (int result : mButtons.results)
      buttonsWidth += ButtonWidth(result) + kButtonGap;
    const int width = std::max({kMinWidth, textWidth + 2 * kMargin, buttonsWidth + 2 * kMargin});
    mButtonHeight = line + 12;
    mTextBottom = kMargin + static_cast<int>(mLines.size()) * line + kMargin;
    const int height = mTextBottom + mButtonHeight + 2 * kButtonBand;
    int left = (width - buttonsWidth) / 2;
    for (int result : mButtons.results) {
      const int top = mTextBottom + kButtonBand;
      mButtonBoxes.push_back(IBox(left, top, left + ButtonWidth(result), top + mButtonHeight));
      left += ButtonWidth(result) + kButtonGap;
    }

    Display* display = mModal.display;
    IBox over(0, 0, DisplayWidth(display, DefaultScreen(display)),
              DisplayHeight(display, DefaultScreen(display)));
    ::Window root = 0, child = 0;
    int ownerX = 0, ownerY = 0;
    unsigned ownerW = 0, ownerH = 0, border = 0, depth = 0;
    if (owner &&
        XGetGeometry(display, owner, &root, &ownerX, &ownerY, &ownerW, &ownerH, &border, &depth) &&
        XTranslateCoordinates(display, owner, root, 0, 0, &ownerX, &ownerY, &child))
      over = IBox(ownerX, ownerY, ownerX + static_cast<int>(ownerW),
                  ownerY + static_cast<int>(ownerH));
    const int boxX = over.L + (over.W() - width) / 2;
    const int boxY = over.T + (over.H() - height) / 2;
    mWindow.reset(new X11PictureWindow(
        display, mModal.visual, mModal.depth,
        X11OnScreen(display, IBox(boxX, boxY, boxX + width, boxY + height)), false, "message",
        ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask));
    if (!mWindow->IsOpen()) return false;
    Describe(owner, caption);
    Draw();
    mWindow->Map();
    return true;
  }

  // What the window manager needs: title, owner, a fixed size, a dialog that
  // keeps its owner waiting, and closing through the protocol.
  void Describe(::Window owner, const char* caption) {
    Display* display = mModal.display;
    const ::Window window = mWindow->Id();
    const std::string title(caption ? caption : "");
    XStoreName(display, window, title.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    if (owner) XSetTransientForHint(display, window, owner);
    const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
    const Atom modal = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&modal), 1);
    mDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &mDeleteWindow, 1);
    XSizeHints hints{};
    hints.flags = PPosition | PSize | PMinSize | PMaxSize;
    hints.x = mWindow->Box().L;
    hints.y = mWindow->Box().T;
    hints.width = hints.min_width = hints.max_width = mWindow->Box().W();
    hints.height = hints.min_height = hints.max_height = mWindow->Box().H();
    XSetWMNormalHints(display, window, &hints);
  }

  static int ButtonWidth(int result) {
    return std::max(kButtonMinWidth, PopupPainter::TextWidth(LabelOf(result)) + 24);
  }

  void Draw() {
    X11PictureWindow& window = *mWindow;
    PopupPainter paint(&window.Picture());
    const int width = window.Box().W(), height = window.Box().H();
    paint.Fill(IBox(0, 0, width, mTextBottom), kTextArea);
    paint.Fill(IBox(0, mTextBottom, width, height), PopupPainter::kBackground);
    const int line = PopupPainter::LineHeight();
    for (size_t i = 0; i < mLines.size(); ++i) {
      const int top = kMargin + static_cast<int>(i) * line;
      paint.Text(mLines[i].c_str(), IBox(kMargin, top, width - kMargin, top + line),
                 PopupPainter::kText);
    }
    for (size_t i = 0; i < mButtonBoxes.size(); ++i) {
      const IBox& box = mButtonBoxes[i];
      const int result = mButtons.results[i];
      paint.Fill(box, static_cast<int>(i) == mPressed ? PopupPainter::kButtonPressed
                                                      : PopupPainter::kButton);
      paint.Frame(box,
                  static_cast<int>(i) == mFocus ? PopupPainter::kHighlight : PopupPainter::kFrame,
                  static_cast<int>(i) == mFocus ? 2 : 1);
      const char* label = LabelOf(result);
      paint.Text(label, box, PopupPainter::kText, true);
      if (HasAccelerator(result)) {
        const int left = (box.L + box.R - PopupPainter::TextWidth(label)) / 2;
        const char first[2] = {label[0], 0};
        const int under = (box.T + box.B + line) / 2;
        paint.Fill(IBox(left, under, left + PopupPainter::TextWidth(first), under + 1),
                   PopupPainter::kText);
      }
    }
    window.Present();
  }

  int ButtonAt(int x, int y) const {
    for (size_t i = 0; i < mButtonBoxes.size(); ++i)
      if (mButtonBoxes[i].Contains(x, y)) return static_cast<int>(i);
    return -1;
  }

  void Answer(int result) {
    if (!result) return;
    mResult = result;
    mDone = true;
  }

  void Key(XKeyEvent& event) {
    const KeySym sym = XLookupKeysym(&event, 0);
    const int count = static_cast<int>(mButtons.results.size());
    switch (sym) {
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_Right:
    case XK_Left: {
      const bool back =
          sym == XK_Left || sym == XK_ISO_Left_Tab || (sym == XK_Tab && (event.state & ShiftMask));
      mFocus = (mFocus + (back ? count - 1 : 1)) % count;
      Draw();
      return;
    }
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      Answer(mButtons.results[static_cast<size_t>(mFocus)]);
      return;
    case XK_Escape:
      Answer(mButtons.escape);
      return;
    default:
      break;
    }
    for (int result : mButtons.results)
      if (HasAccelerator(result) && sym < 0x80 &&
          std::tolower(static_cast<unsigned char>(LabelOf(result)[0])) ==
              std::tolower(static_cast<int>(sym)))
        Answer(result);
  }

  // The box's own events; the editor's go on (and its input nowhere).
  bool Take(XEvent& event) {
    if (event.xany.window != mWindow->Id()) return false;
    switch (event.type) {
    case Expose:
      mWindow->Exposed(event.xexpose);
      break;
    case MapNotify:
      // The keys come here; with a window manager it may refuse while it
      // frames the window, an error the trap swallows.
      XSetInputFocus(mModal.display, mWindow->Id(), RevertToParent, CurrentTime);
      break;
    case DestroyNotify:
      // Destroyed by someone else: nothing answered.
      mWindow->Abandon();
      mDone = true;
      break;
    case ButtonPress:
      if (event.xbutton.button == Button1) {
        mPressed = ButtonAt(event.xbutton.x, event.xbutton.y);
        if (mPressed >= 0) Draw();
      }
      break;
    case ButtonRelease:
      if (event.xbutton.button == Button1 && mPressed >= 0) {
        const int released = ButtonAt(event.xbutton.x, event.xbutton.y);
        const int pressed = mPressed;
        mPressed = -1;
        Draw();
        if (released == pressed) Answer(mButtons.results[static_cast<size_t>(pressed)]);
      }
      break;
    case KeyPress:
      Key(event.xkey);
      break;
    case ClientMessage:
      if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow)
        Answer(mButtons.escape);
      break;
    default:
      break;
    }
    return true;
  }

  const X11Modal& mModal;
  ButtonSet mButtons;
  std::vector<std::string> mLines;
  std::vector<IBox> mButtonBoxes;
  std::unique_ptr<X11PictureWindow> mWindow;
  Atom mDeleteWindow = 0;
  int mButtonHeight = 0;
  int mTextBottom = 0;
  int mFocus = 0;
  int mPressed = -1;
  int mResult = 0;
  bool mDone = false;
};

} // namespace

int ShowX11MessageBox(const X11Modal& modal, ::Window owner, const char* text, const char* caption,
                      int type) {
  MessageSession session(modal, text, type);
  return session.Run(owner, caption);
}

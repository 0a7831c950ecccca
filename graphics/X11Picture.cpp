#include "X11Picture.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <string>

void X11PutPicture(Display* display, Drawable target, GC gc, Visual* visual, int depth,
                   LICE_IBitmap& picture, const IBox& area) {
  const IBox clip = IBox::Intersection(area, IBox(0, 0, picture.Width(), picture.Height()));
  if (clip.Empty() || clip.W() <= 0 || clip.H() <= 0 || !picture.Pixels()) return;
  XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                               reinterpret_cast<char*>(picture.Pixels()),
                               static_cast<unsigned>(picture.Width()),
                               static_cast<unsigned>(picture.Height()), 32, picture.RowSpan() * 4);
  if (!image) return;
  // The pixels are in this machine's order; Xlib converts for the server.
  image->byte_order = LSBFirst;
  XPutImage(display, target, gc, image, clip.L, clip.T, clip.L, clip.T,
            static_cast<unsigned>(clip.W()), static_cast<unsigned>(clip.H()));
  image->data = nullptr; // the picture's, not the image's
  XDestroyImage(image);
}

IBox X11OnScreen(Display* display, const IBox& box) {
  const int screenW = DisplayWidth(display, DefaultScreen(display));
  const int screenH = DisplayHeight(display, DefaultScreen(display));
  const int dx = std::max(std::min(0, screenW - box.R), -box.L);
  const int dy = std::max(std::min(0, screenH - box.B), -box.T);
  return IBox(box.L + dx, box.T + dy, box.R + dx, box.B + dy);
}

X11PictureWindow::X11PictureWindow(Display* display, Visual* visual, int depth, const IBox& box,
                                   bool overrideRedirect, const char* name, long events)
    : mDisplay(display), mVisual(visual), mDepth(depth), mBox(box), mPicture(box.W(), box.H()) {
  if (box.W() <= 0 || box.H() <= 0) return;
  const ::Window root = DefaultRootWindow(display);
  // The editor's visual need not be the root's: a colormap of its own fits
  // any.
  mColormap = XCreateColormap(display, root, visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = overrideRedirect ? True : False;
  attributes.event_mask = ExposureMask | events;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.colormap = mColormap;
  attributes.save_under = overrideRedirect ? True : False;
  mWindow = XCreateWindow(display, root, box.L, box.T, static_cast<unsigned>(box.W()),
                          static_cast<unsigned>(box.H()), 0, depth, InputOutput, visual,
                          CWOverrideRedirect | CWEventMask | CWBackPixmap | CWBorderPixel |
                              CWColormap | CWSaveUnder,
                          &attributes);
  if (!mWindow) return;
  mGc = XCreateGC(display, mWindow, 0, nullptr);
  XClassHint hint{};
  char className[] = "TOLVEN";
  std::string instance(name ? name : "");
  hint.res_name = instance.data();
  hint.res_class = className;
  XSetClassHint(display, mWindow, &hint);
}

// Also after the connection broke: Xlib then sends nothing, but the GC's
// memory is still ours to free.
X11PictureWindow::~X11PictureWindow() {
  if (mGc) XFreeGC(mDisplay, mGc);
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
  if (mColormap) XFreeColormap(mDisplay, mColormap);
}

void X11PictureWindow::Map() {
  if (mWindow) XMapRaised(mDisplay, mWindow);
}

void X11PictureWindow::Present(const IBox& area) {
  if (!mWindow) return;
  X11PutPicture(mDisplay, mWindow, mGc, mVisual, mDepth, mPicture, area);
  XFlush(mDisplay);
}

void X11PictureWindow::Exposed(const XExposeEvent& event) {
  mExposed =
      IBox::Union(mExposed, IBox(event.x, event.y, event.x + event.width, event.y + event.height));
  if (event.count > 0) return;
  Present(mExposed);
  mExposed = IBox();
}

#pragma once

#include "IGraphicsStructs.h"
#include "LICE_SysBitmap.h"

#include <X11/Xlib.h>

// Pictures drawn with the raster library on X windows. Their pixels are 32-bit
// words 0xAARRGGBB in this machine's order, which a 24-bit true-colour visual
// with 32 bits per pixel takes as they are.

// Copies the part of picture inside area to the same place of target (a
// window or pixmap of the picture's visual and depth) through XPutImage.
void X11PutPicture(Display* display, Drawable target, GC gc, Visual* visual, int depth,
                   LICE_IBitmap& picture, const IBox& area);

// Where box fits on the screen: moved left and up as far as needed, never
// past the top-left corner.
IBox X11OnScreen(Display* display, const IBox& box);

// A top-level window of its own on the editor's connection showing a picture:
// the popup menus and the message box. Override-redirect windows (menus) are
// placed exactly where asked and never framed; others go through the window
// manager. Calls happen inside the caller's X11ErrorTrap.
class X11PictureWindow {
public:
  // box: where on the screen; name: the window's class name (its class is
  // "TOLVEN"); events: the event mask besides exposure.
  X11PictureWindow(Display* display, Visual* visual, int depth, const IBox& box,
                   bool overrideRedirect, const char* name, long events);
  // Destroys the window unless it is gone already (Abandon).
  ~X11PictureWindow();
  X11PictureWindow(const X11PictureWindow&) = delete;
  X11PictureWindow& operator=(const X11PictureWindow&) = delete;

  // False when the server refused the window.
  bool IsOpen() const { return mWindow != 0; }
  ::Window Id() const { return mWindow; }
  const IBox& Box() const { return mBox; }
  LICE_SysBitmap& Picture() { return mPicture; }
  void Map();
  // The picture's area onto the window.
  void Present(const IBox& area);
  void Present() { Present(IBox(0, 0, mBox.W(), mBox.H())); }
  // An Expose of this window: presents once the last of a series arrived.
  void Exposed(const XExposeEvent& event);
  // The window was destroyed by someone else.
  void Abandon() { mWindow = 0; }

private:
  Display* mDisplay;
  Visual* mVisual;
  int mDepth;
  IBox mBox;
  ::Window mWindow = 0;
  Colormap mColormap = 0;
  GC mGc = nullptr;
  IBox mExposed;
  LICE_SysBitmap mPicture;
};

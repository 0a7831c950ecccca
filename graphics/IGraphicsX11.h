#pragma once

#include "IGraphics.h"

#include <memory>

class ITextEntry;
struct X11Modal;
union _XEvent;

// The editor window on X11: a child of the host's window (its id is the
// parent handed to OpenEditorWindow), on a display connection of its own so
// that nothing the editor does disturbs the host's connection. It paints from
// the composition surface (XShm where the server offers it, XPutImage
// otherwise), only ever the exposed or dirty area, and turns X events into the
// core's dispatch operations.
//
// No thread and no timer of its own: whoever embeds it drives it through
// ConnectionFd (ready to read when events wait), ProcessEvents and Tick, or
// Idle, which does both and keeps the tick at its period however often it is
// called. The VST2 binding calls Idle from effEditIdle; a VST3 view can hand
// the descriptor and the tick to the host's run loop, an LV2 UI its idle call.
//
// X errors on the editor's connection are caught around every call the editor
// makes and never reach the host's handler; a broken connection closes the
// window instead of ending the process.
class IGraphicsX11 : public IGraphics {
public:
  IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate = kDefaultFrameRate);
  ~IGraphicsX11() override;

  bool PresentArea(const IBox& area) override;
  void AbortTextEntry() override;
  void ResizeEditor(int width, int height) override;
  const char* ApiName() const override { return "X11"; }
  // A message box the editor draws (see X11MessageBox.h); 0 without an open
  // window.
  int ShowMessage(const char* text, const char* caption, int type) override;
  // A popup menu the editor draws below area's bottom-left corner (see
  // X11PopupMenu.h); none without an open window.
  IMenuTree* ShowMenu(IMenuTree& menu, const IBox& area) override;
  // A field the editor draws itself over area; it takes the keys while it
  // has the focus and closes on the tick after Enter (commit), Escape, a
  // press elsewhere (cancel) or the focus leaving (commit).
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area, const char* text,
                     IParameter* parameter) override;
  void HostModulePath(std::string& path) override;
  void PluginModulePath(std::string& path) override;
  void DesktopFolder(std::string& path) override;
  void AppDataFolder(std::string& path, bool systemWide) override;
  void SandboxAppDataFolder(std::string& path) override { AppDataFolder(path, false); }
  void AskForFile(std::string& file, bool save, std::string& folder,
                  const char* extensions) override;
  bool AskForColour(IArgb& /*colour*/, const char* /*prompt*/) override { return false; }
  // With a confirm text a yes/no message box asks first; the link goes to
  // xdg-open; a failure shows the failure text (if any) in an OK box.
  bool OpenLink(const char* url, const char* caption, const char* confirmText,
                const char* failureText) override;
  // parent: the host's X11 window id. Opens a connection to the display
  // ($DISPLAY) and creates the editor inside parent; a window already open is
  // closed first and the new one takes its place and size. Null when there is
  // no display or parent is not a window.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  // The editor window's id; null while closed (also once the host destroyed
  // it or the connection broke).
  void* EditorWindowHandle() const override;
  bool ClipboardText(std::string& text) override;
  void ConcealCursor() override;
  void RevealCursor() override;
  void ReservedAbstract() override {}
  LICE_IBitmap* LoadImageResource(int resourceId, const char* name) override;

  // ---- Driving the window from outside ------------------------------------------

  // The display connection's file descriptor; -1 while closed.
  int ConnectionFd() const;
  // Handles every event waiting on the connection.
  void ProcessEvents();
  // One redraw-timer tick: the dirty controls' area is redrawn and presented.
  void Tick();
  // The tick's period in milliseconds (1000 / frame rate).
  int TickPeriodMs() const;
  // ProcessEvents, then Tick when a period has passed since the last one.
  void Idle() override;
  // For an embedder that will drive the open window no further: it stops
  // taking events (none wait unread on the connection) and keeps showing
  // its current picture, which the server repaints on Expose by itself.
  void KeepStill();
  // The open text entry, or none.
  const ITextEntry* TextEntry() const { return mEntry.get(); }

private:
  struct State;
  void HandleEvent(_XEvent& event);
  // What a popup of this window waits with (an open window's).
  X11Modal Modal();
  // Input while a text entry is open; true when the event was the entry's.
  bool HandleEntryEvent(_XEvent& event);
  void PaintEntry();
  // The entry's tick: commits or closes it; true when the tick ends there.
  bool TickEntry();

  std::unique_ptr<State> mWin; // while a window is open
  std::unique_ptr<ITextEntry> mEntry;
};

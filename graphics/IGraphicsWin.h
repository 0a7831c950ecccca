#pragma once

#include "IGraphics.h"

#include <windows.h>

#include <memory>
#include <string>

// The editor's window on Windows: a child window of class "IPlugWndClass"
// inside the window the host hands over, repainted from a 40 ms timer out of
// the composition surface, turning window messages into the core's dispatch
// operations, and offering the native services the core declares abstract
// (text entry, popup menus, message boxes, file and colour dialogs, links,
// clipboard, folders, image resources, tooltips).
//
// Everything here runs on the host's UI thread. The only data shared with
// other threads are the control values and dirty flags the core keeps.
//
// Lifetime: the object lives as long as the plug-in instance; the window
// comes and goes. The window never calls into an object that let it go: the
// object detaches itself from the window (its user data) before it destroys
// it, and a host that destroys its own window first is noticed (WM_DESTROY)
// and never touched again.
class IGraphicsWin : public IGraphics {
public:
  // Text-entry states (see the window procedure).
  enum EEditState : int {
    EditIdle = 0,
    EditActive = 1,
    EditRefresh = 2,
    EditCancel = 3,
    EditCommit = 4
  };
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEditControlId = 99;
  // The text field's user data while it is subclassed.
  static constexpr LONG_PTR kEditMarker = static_cast<LONG_PTR>(0xDEADF00B);
  static constexpr const char* kWindowClassName = "IPlugWndClass";
  static constexpr const char* kWindowTitle = "IPlug";

  IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate = kDefaultFrameRate);
  // Closes the window (and its tooltip and text field) without letting a
  // message reach this object, releases its share of the class
  // registration, then frees the colour table.
  ~IGraphicsWin() override;

  // ---- IGraphics ----------------------------------------------------------------

  // BeginPaint / BitBlt from the surface's DC / EndPaint. Without a window
  // (a snapshot drawn by the core alone) nothing is copied.
  bool PresentArea(const IBox& area) override;
  void AbortTextEntry() override;
  void ResizeEditor(int width, int height) override;
  const char* ApiName() const override { return "Windows GDI"; }
  int ShowMessage(const char* text, const char* caption, int type) override;
  IMenuTree* ShowMenu(IMenuTree& menu, const IBox& area) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area, const char* text,
                     IParameter* parameter) override;
  void HostModulePath(std::string& path) override;
  void PluginModulePath(std::string& path) override;
  void DesktopFolder(std::string& path) override;
  void AppDataFolder(std::string& path, bool systemWide) override;
  void SandboxAppDataFolder(std::string& path) override;
  void AskForFile(std::string& file, bool save, std::string& folder,
                  const char* extensions) override;
  bool AskForColour(IArgb& colour, const char* prompt) override;
  bool OpenLink(const char* url, const char* caption, const char* confirmText,
                const char* failureText) override;
  // parent: the host's HWND. Null, or anything that is not a window, opens
  // nothing (null) and leaves the class registration as it was. A window
  // already open is replaced, at its position and size.
  void* OpenEditorWindow(void* parent) override;
  // Harmless without a window, twice, or after the host destroyed its own
  // window (then only the class registration is released).
  void CloseEditorWindow() override;
  void* EditorWindowHandle() const override { return mEditorWindow; }
  bool ClipboardText(std::string& text) override;
  void ConcealCursor() override;
  void RevealCursor() override;
  void ReservedAbstract() override {}
  LICE_IBitmap* LoadImageResource(int resourceId, const char* name) override;

  // ---- Inspection --------------------------------------------------------------------

  HWND EditorWindow() const { return mEditorWindow; }
  HWND ParentWindow() const { return mParentWindow; }
  HWND EditWindow() const { return mEditWindow; }
  HWND TooltipWindow() const { return mTooltipWindow; }
  HWND MainWindow() const { return mMainWindow; }
  int EditState() const { return mEditState; }
  int TooltipIndex() const { return mTooltipIndex; }
  bool TooltipShowing() const { return mTooltipShowing; }
  bool CursorHidden() const { return mCursorHidden; }
  HINSTANCE ModuleInstance() const { return mModuleInstance; }
  // Editor windows of this module open in the process; the class is
  // registered while it is above zero.
  static int OpenWindowCount();

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // The object a window of our class belongs to, or null when the window is
  // not (or no longer) its editor window.
  static IGraphicsWin* FromWindow(HWND window);

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimer();
  void OnKeyDown(HWND window, WPARAM wParam, LPARAM lParam);
  // Takes a share of the class registration (registering it for the first).
  bool AcquireClass();
  void ReleaseClass();
  // Lets go of the window: no message reaches this object any more, the
  // text field's own procedure is back, the state is cleared. The window
  // itself is not destroyed here.
  void DetachWindow(bool destroying);
  // Closes the text field at once without reading it: its own procedure is
  // restored, and the field destroyed unless destroyWindow is false (the
  // system is destroying it with its parent).
  void DestroyTextEntry(bool destroyWindow = true);
  void CreateTooltip();
  void HideTooltip();
  void FindMainWindow();

  HINSTANCE mModuleInstance = nullptr;
  HWND mEditorWindow = nullptr;
  HWND mEditWindow = nullptr;
  HWND mTooltipWindow = nullptr;
  IControl* mEditControl = nullptr;
  IParameter* mEditParam = nullptr;
  WNDPROC mEditPreviousProc = nullptr;
  HFONT mEditFont = nullptr;
  int mEditState = EditIdle;
  bool mTooltipShowing = false;
  int mTooltipIndex = -1;
  std::unique_ptr<COLORREF[]> mCustomColours;
  DWORD mProcessId = 0;
  HWND mParentWindow = nullptr;
  HWND mMainWindow = nullptr;
  std::string mMainWindowClass;
  bool mCursorHidden = false;
  int mSavedCursorX = -1;
  int mSavedCursorY = -1;
  // This object holds one count of the class registration (from opening
  // until its window is closed, also when the host destroyed the window).
  bool mHoldsClass = false;
  // The style the open text field was created with (its colours).
  ITextStyle mEditStyle;
};

#pragma once

#include "IGraphicsStructs.h"
#include "IPlugEditor.h"

#include <memory>
#include <string>
#include <vector>

class IControl;
class IMenuTree;
class IParameter;
class IPlugBase;
class LICE_MemBitmap;
class LICE_SysBitmap;

// The platform-neutral half of the editor: the ordered list of controls (a
// control's index is its identity; index 0 is the background), the surface
// the controls are composed into, and the rules for redrawing, routing mouse
// and keyboard input and keeping controls in step with parameters. A window
// backend derives from it, supplies the window, the timer and the native
// services (the abstract operations), and calls the dispatch operations from
// its event handling.
//
// The object lives as long as the plug-in instance (the plug-in base owns it);
// the window comes and goes. Everything runs on the UI thread except
// SetParamFromHost and SetControlValueFromHost, which only store control
// values and dirty flags (see IPlugEditor).
class IGraphics : public IPlugEditor {
public:
  static constexpr int kDefaultFrameRate = 25;

  // Results of ShowMessage, as the system's message boxes give them.
  enum EMessageResult : int {
    MessageOk = 1,
    MessageCancel = 2,
    MessageAbort = 3,
    MessageRetry = 4,
    MessageIgnore = 5,
    MessageYes = 6,
    MessageNo = 7
  };
  // ShowMessage's type, as the system's message boxes take it: the buttons
  // in the low four bits, the default button (first to third) in bits 8-11.
  enum EMessageType : int {
    MessageButtonsOk = 0,
    MessageButtonsOkCancel = 1,
    MessageButtonsAbortRetryIgnore = 2,
    MessageButtonsYesNoCancel = 3,
    MessageButtonsYesNo = 4,
    MessageButtonsRetryCancel = 5,
    MessageDefaultSecond = 0x100,
    MessageDefaultThird = 0x200
  };

  IGraphics(IPlugBase* plugin, int width, int height, int frameRate = kDefaultFrameRate);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Virtual operations, in slot order -------------------------------------
  // (After the IPlugEditor interface; OpenEditorWindow, CloseEditorWindow and
  // IsEditorOpen are that interface's and keep its places.)

  // Copies that part of the surface to the window.
  virtual bool PresentArea(const IBox& area) = 0;
  // RenderText with measuring: area's right and bottom (and left, by the
  // alignment) become the text's extent. The style caches its font.
  virtual bool MeasureText(ITextStyle& style, const char* text, IBox& area);
  virtual void AbortTextEntry() = 0;
  // Stores the size, releases the capture, deletes every control, makes new
  // surfaces and tells the plug-in base.
  virtual void ResizeEditor(int width, int height);
  // Whether the window exists.
  bool IsEditorOpen() const override;
  virtual const char* ApiName() const;
  // type: an EMessageType; returns an EMessageResult, 0 when no box could
  // be shown.
  virtual int ShowMessage(const char* text, const char* caption, int type) = 0;
  // The menu that holds the user's choice (its ChosenIndex), or none.
  virtual IMenuTree* ShowMenu(IMenuTree& menu, const IBox& area) = 0;
  // A text field over area for control; parameter none means free text.
  virtual void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area,
                             const char* text, IParameter* parameter) = 0;
  virtual void HostModulePath(std::string& path) = 0;
  virtual void PluginModulePath(std::string& path) = 0;
  virtual void DesktopFolder(std::string& path) = 0;
  virtual void AppDataFolder(std::string& path, bool systemWide) = 0;
  virtual void SandboxAppDataFolder(std::string& path) = 0;
  // extensions: space-separated (e.g. "wav aif"). Cancel empties file.
  virtual void AskForFile(std::string& file, bool save, std::string& folder,
                          const char* extensions) = 0;
  virtual bool AskForColour(IArgb& colour, const char* prompt) = 0;
  virtual bool OpenLink(const char* url, const char* caption, const char* confirmText,
                        const char* failureText) = 0;
  // Reserved; nothing calls it.
  virtual void* ReservedQuery() { return nullptr; }
  void* OpenEditorWindow(void* parent) override = 0;
  // Reserved hooks; nothing calls them.
  virtual void ReservedHookA() {}
  virtual void ReservedHookB() {}
  void CloseEditorWindow() override = 0;
  virtual void* EditorWindowHandle() const = 0;
  virtual bool ClipboardText(std::string& text) = 0;
  // Deletes the key catcher, then every control (last first), then the
  // surfaces. Cached images and fonts stay in the process-wide caches.
  ~IGraphics() override;
  virtual void ConcealCursor() {}
  virtual void RevealCursor() {}
  // Reserved; nothing calls it.
  virtual void ReservedAbstract() = 0;
  // Decodes the image resource; none when it is missing or undecodable.
  virtual LICE_IBitmap* LoadImageResource(int resourceId, const char* name) = 0;

  // ---- The editor interface of the plug-in base --------------------------------

  // Creates the surface (width x height) and the scratch bitmap.
  void PrepareSurfaces() override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int NumControls() const override { return static_cast<int>(mControls.size()); }
  // Gives value (normalised, or real when normalized is false) to every
  // control bound to paramIndex and to the first matching extra binding of
  // each control.
  void SetParamFromHost(int paramIndex, double value, bool normalized) override;
  // SetValueFromHost of one control; indices outside the list are ignored.
  void SetControlValueFromHost(int controlIndex, double value) override;

  // ---- Controls -----------------------------------------------------------------

  // Appends control (owned from now on); its index. A null control is not
  // added (-1).
  int AddControl(IControl* control);
  // Puts control (owned) at index 0, moving every other control up by one.
  void SetBackground(IControl* control);
  // Null outside the list.
  IControl* GetControl(int index) const;
  // Receives the keys no control takes (owned; replaces and deletes a
  // previous one).
  void SetKeyCatcher(IControl* control);
  IControl* KeyCatcher() const { return mKeyCatcher.get(); }

  // ---- Images and drawing --------------------------------------------------------

  // The image with that resource id, through the process-wide cache; a load
  // that fails yields an image without raster (drawing it draws nothing), and
  // a later call tries again.
  IImage LoadImage(int resourceId, const char* name, int frameCount);
  // Composes the part of image at (srcX, srcY) that falls into dest and the
  // current draw area onto the surface. Always true.
  bool DrawImage(const IImage& image, const IBox& dest, int srcX, int srcY,
                 const IBlend* blend = nullptr);
  // Draws the controls that area needs onto the surface, marks them clean and
  // presents area.
  bool Redraw(const IBox& area);
  // The union of the boxes of the dirty controls; false (area untouched) when
  // none is dirty.
  bool CollectDirty(IBox& area) const;
  // Draws (or measures) text into the surface within area. False when no
  // font can be made.
  bool RenderText(ITextStyle& style, const char* text, IBox& area, bool measure = false);
  // Asks the user for the parameter's value: a menu of its display texts for
  // a stepped parameter that has them, a text field otherwise.
  void PromptParamInput(IControl* control, IParameter* parameter, const IBox& area);

  // ---- Input from the window (client coordinates) ---------------------------------

  void DispatchPress(int x, int y, const IMouseKeys& keys);
  // True when the control took the double press as a press: the window then
  // takes the pointer capture.
  bool DispatchDoublePress(int x, int y, const IMouseKeys& keys);
  // The window calls this only while it holds the pointer capture and no text
  // entry is open.
  void DispatchDrag(int x, int y, const IMouseKeys& keys);
  void DispatchRelease(int x, int y, const IMouseKeys& keys);
  void DispatchWheel(int x, int y, const IMouseKeys& keys, int notches);
  // True when the key was handled.
  bool DispatchKey(int x, int y, int key);
  // Returns whether hover tracking is on (the window then arms leave
  // notification).
  bool DispatchHover(int x, int y, const IMouseKeys& keys);
  void DispatchLeave();

  // ---- State -------------------------------------------------------------------------

  IPlugBase* Plugin() const { return mPlugin; }
  int FrameRate() const { return mFrameRate; }
  const IBox& DrawArea() const { return mDrawArea; }
  // None until PrepareSurfaces.
  LICE_SysBitmap* Surface() const { return mSurface.get(); }
  LICE_MemBitmap* Scratch() const { return mScratch.get(); }
  int CaptureIndex() const { return mCaptureIndex; }
  int HoverIndex() const { return mHoverIndex; }
  int LastMouseX() const { return mLastMouseX; }
  int LastMouseY() const { return mLastMouseY; }
  bool HandleHover() const { return mHandleHover; }
  void SetHandleHover(bool on) { mHandleHover = on; }
  bool StrictDrawing() const { return mStrictDrawing; }
  void SetStrictDrawing(bool on) { mStrictDrawing = on; }
  bool TooltipsEnabled() const { return mTooltipsEnabled; }
  void SetTooltipsEnabled(bool on) { mTooltipsEnabled = on; }

  // Every control's MarkDirty (false): the next timer tick repaints all.
  void MarkAllDirty();

protected:
  // The press/drag capture ends (menus and resizes end it).
  void ReleaseCapture();

private:
  // Sends the end-edit of the edit a press began, if one is open.
  void EndOpenEdit();
  // Topmost control that takes input at (x, y), or -1.
  int HitTest(int x, int y) const;
  // Topmost control that takes hover at (x, y), or -1.
  int HoverHitTest(int x, int y) const;
  // The captured control's index when it is valid, else -1.
  int ValidCapture() const;
  void DeleteControls();

  IPlugBase* mPlugin;
  std::vector<IControl*> mControls; // owned
  IBox mDrawArea;
  std::unique_ptr<LICE_SysBitmap> mSurface;
  std::unique_ptr<LICE_MemBitmap> mScratch;
  int mWidth;
  int mHeight;
  int mFrameRate;
  int mCaptureIndex = -1;
  int mEditParam = -1; // parameter whose begin-edit awaits its end-edit
  int mHoverIndex = -1;
  int mLastMouseX = 0;
  int mLastMouseY = 0;
  bool mHandleHover = false;
  bool mStrictDrawing = true;
  bool mTooltipsEnabled = false;
  std::unique_ptr<IControl> mKeyCatcher;
};

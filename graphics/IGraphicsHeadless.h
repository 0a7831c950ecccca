#pragma once

#include "IGraphics.h"
#include "PngResource.h"

#include <cstddef>
#include <memory>

class LICE_MemBitmap;

// A window backend without a window system, for tests and tools. Its
// "window" is a bitmap the size of the editor: presenting copies the surface
// into it, and Tick plays the window's redraw timer. Images come from the
// module's embedded PNG resources. Dialogs and menus answer as a user who
// cancels; folders and the clipboard are empty.
class IGraphicsHeadless : public IGraphics {
public:
  using ResourceFinder = ::ResourceFinder;

  IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate = kDefaultFrameRate);
  ~IGraphicsHeadless() override;

  bool PresentArea(const IBox& area) override;
  void AbortTextEntry() override {}
  // Nothing when the size is unchanged; the window bitmap follows the size.
  void ResizeEditor(int width, int height) override;
  const char* ApiName() const override { return "Headless"; }
  int ShowMessage(const char* text, const char* caption, int type) override;
  IMenuTree* ShowMenu(IMenuTree& menu, const IBox& area) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& area, const char* text,
                     IParameter* parameter) override;
  void HostModulePath(std::string& path) override { path.clear(); }
  void PluginModulePath(std::string& path) override { path.clear(); }
  void DesktopFolder(std::string& path) override { path.clear(); }
  void AppDataFolder(std::string& path, bool /*systemWide*/) override { path.clear(); }
  void SandboxAppDataFolder(std::string& path) override { path.clear(); }
  void AskForFile(std::string& file, bool save, std::string& folder,
                  const char* extensions) override;
  bool AskForColour(IArgb& /*colour*/, const char* /*prompt*/) override { return false; }
  bool OpenLink(const char* url, const char* caption, const char* confirmText,
                const char* failureText) override;
  // Creates the off-screen window bitmap (closing a window already open) and
  // marks every control dirty, so the first tick paints the whole editor. A
  // host's parent window is refused (null): there is nothing to embed.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* EditorWindowHandle() const override;
  bool ClipboardText(std::string& text) override;
  void ReservedAbstract() override {}
  // Only names ending in ".png" (any case) are loaded: the PNG resource with
  // that id, decoded. None when it is missing or undecodable.
  LICE_IBitmap* LoadImageResource(int resourceId, const char* name) override;

  // ---- Headless only ---------------------------------------------------------

  // One tick of the redraw timer: with the window open, the dirty controls'
  // union (clipped to the window) is redrawn and presented. True when
  // something was painted.
  bool Tick();
  // The window's pixels; none while closed.
  LICE_MemBitmap* Window() const { return mWindow.get(); }
  // How many times an area was presented, and the last one.
  int PresentCount() const { return mPresentCount; }
  const IBox& LastPresented() const { return mLastPresented; }
  // Where resource bytes come from (the module's embedded images unless
  // replaced); null finds nothing.
  void SetResourceFinder(ResourceFinder finder) { mFinder = finder; }
  static ResourceFinder ModuleResourceFinder() { return ::ModuleResourceFinder(); }

private:
  std::unique_ptr<LICE_MemBitmap> mWindow;
  void* mParent = nullptr;
  int mPresentCount = 0;
  IBox mLastPresented;
  ResourceFinder mFinder;
};

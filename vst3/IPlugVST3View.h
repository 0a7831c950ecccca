#pragma once

#include "IPlugVST3ViewPlatform.h"

#include "public.sdk/source/common/pluginview.h"

#include <memory>

class IPlugVST3;

// The VST3 editor view: binds the host's IPlugView calls to the editor the
// plug-in built at construction. It does not draw; the editor's window is a
// child window of the host's that paints and takes input by itself. The
// view holds one reference to its plug-in and sits in the plug-in's
// open-views list (which holds none) from createView until it is destroyed.
//
// Portable: the window system comes in through IPlugVST3ViewPlatform (the
// accepted platform type, "HWND" on Windows, "X11EmbedWindowID" on Linux,
// and the open/close hooks).
//
// Threads: every call comes from the host's UI thread; no lock is taken.
class IPlugVST3View : public Steinberg::CPluginView {
public:
  // Adds a reference to plugin.
  explicit IPlugVST3View(IPlugVST3* plugin);
  // Closes a window the host never removed, empties the plug-in's whole
  // open-views list and releases the plug-in.
  ~IPlugVST3View() override;

  // kResultTrue when an editor exists and type is exactly the accepted type.
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  // No editor: kResultFalse. The accepted type: the editor's window opens in
  // parent (kResultFalse, nothing opened, when parent is null or the window
  // cannot open). Then EditorOpened and kResultTrue, also for another type
  // (no window then).
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  // With an editor: EditorClosed, and the window this view opened is closed.
  // Harmless when repeated or without attached.
  Steinberg::tresult PLUGIN_API removed() override;
  // (0, 0, editor width, editor height); kResultFalse without an editor.
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  // Stores the host's size; EditorResized when the view had asked for it.
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  // onWheel, onKeyDown, onKeyUp, onFocus, setFrame, canResize and
  // checkSizeConstraint are the SDK's: the window gets its input directly.

  // The editor asked the host for a new size (EditorSizeChanged): the next
  // onSize is the answer.
  void ExpectNewSize() { mExpectingNewSize = true; }
  bool ExpectingNewSize() const { return mExpectingNewSize; }
  Steinberg::IPlugFrame* Frame() const { return plugFrame; }
  // The parent the editor's window is open in, or null.
  void* SystemWindow() const { return systemWindow; }

private:
  IPlugEditor* Editor() const;

  IPlugVST3* mPlugin;
  bool mExpectingNewSize = false;
  std::unique_ptr<IPlugVST3ViewPlatform> mPlatform;
};

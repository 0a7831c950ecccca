#pragma once

#include "IPlugEditor.h"

#include "pluginterfaces/gui/iplugview.h"

#include <memory>

// What the VST3 editor view needs from the window system it embeds the
// editor in: the IPlugView platform type it accepts and how the editor's
// window is opened in the host's parent and closed again. The view itself is
// portable; one small file per platform, chosen in CMake, supplies
// MakeVST3ViewPlatform. A platform whose editor needs more from the host
// than the parent (a run loop from the frame, say) overrides the two hooks.
class IPlugVST3ViewPlatform {
public:
  virtual ~IPlugVST3ViewPlatform() = default;

  // The platform type attached and isPlatformTypeSupported accept (compared
  // exactly), or null when this build embeds in no host window.
  virtual const char* PlatformType() const = 0;

  // Opens editor's window inside parent (a window of PlatformType). frame is
  // the host's IPlugFrame when it gave one (may be null). The window, or
  // null when none could be opened.
  virtual void* OpenWindow(IPlugEditor& editor, void* parent, Steinberg::IPlugFrame* /*frame*/) {
    return editor.OpenEditorWindow(parent);
  }
  // Closes the window OpenWindow opened; harmless when it is gone already.
  virtual void CloseWindow(IPlugEditor& editor) { editor.CloseEditorWindow(); }
};

// One per view, for this build's window system.
std::unique_ptr<IPlugVST3ViewPlatform> MakeVST3ViewPlatform();

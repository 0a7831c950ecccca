#include "IPlugVST3View.h"

#include "IPlugVST3.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cstring>

using namespace Steinberg;

IPlugVST3View::IPlugVST3View(IPlugVST3* plugin)
    : mPlugin(plugin), mPlatform(MakeVST3ViewPlatform()) {
  if (mPlugin) mPlugin->addRef();
}

IPlugVST3View::~IPlugVST3View() {
  if (!mPlugin) return;
  // A host that releases the view without removing it first: the window
  // must not outlive the view that opened it.
  if (systemWindow) {
    if (IPlugEditor* editor = Editor()) {
      mPlugin->EditorClosed();
      if (mPlatform) mPlatform->CloseWindow(*editor);
    }
    systemWindow = nullptr;
  }
  mPlugin->mViews.clear();
  IPlugVST3* plugin = mPlugin;
  mPlugin = nullptr;
  plugin->release();
}

IPlugEditor* IPlugVST3View::Editor() const {
  return mPlugin ? mPlugin->GetEditor() : nullptr;
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
  const char* accepted = mPlatform ? mPlatform->PlatformType() : nullptr;
  if (Editor() && accepted && type && std::strcmp(type, accepted) == 0) return kResultTrue;
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) {
  IPlugEditor* editor = Editor();
  if (!editor) return kResultFalse;
  const char* accepted = mPlatform ? mPlatform->PlatformType() : nullptr;
  if (accepted && type && std::strcmp(type, accepted) == 0) {
    // A host window that is not there (or not a window): nothing opens and
    // the host hears so, rather than seeing an empty frame.
    if (!parent || !mPlatform->OpenWindow(*editor, parent, plugFrame)) return kResultFalse;
    systemWindow = parent;
  }
  mPlugin->EditorOpened();
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::removed() {
  if (IPlugEditor* editor = Editor()) {
    mPlugin->EditorClosed();
    // Only the window this view opened: another view of the same editor may
    // show it now.
    if (systemWindow && mPlatform) mPlatform->CloseWindow(*editor);
  }
  systemWindow = nullptr;
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
  IPlugEditor* editor = Editor();
  if (!editor || !size) return kResultFalse;
  *size = ViewRect(0, 0, editor->Width(), editor->Height());
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
  if (!newSize) return kResultTrue;
  rect = *newSize;
  if (mExpectingNewSize) {
    mExpectingNewSize = false;
    if (mPlugin) mPlugin->EditorResized();
  }
  return kResultTrue;
}

// ---- The IPlugVST3 side of the views ----------------------------------------------------
// (Here rather than in IPlugVST3.cpp: everything about the editor view stays
// in one place.)

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, Vst::ViewType::kEditor) != 0) return nullptr;
  auto* view = new IPlugVST3View(this);
  mViews.push_back(view);
  return view;
}

void IPlugVST3::EditorSizeChanged(int width, int height) {
  if (!GetEditor() || mViews.empty()) return;
  auto* view = static_cast<IPlugVST3View*>(mViews.front());
  view->ExpectNewSize();
  if (IPlugFrame* frame = view->Frame()) {
    ViewRect size(0, 0, width, height);
    frame->resizeView(view, &size);
  }
}

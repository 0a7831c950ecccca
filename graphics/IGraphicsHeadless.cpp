#include "IGraphicsHeadless.h"

#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"
#include "PngResource.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate), mFinder(::ModuleResourceFinder()) {}

IGraphicsHeadless::~IGraphicsHeadless() {
  CloseEditorWindow();
}

bool IGraphicsHeadless::PresentArea(const IBox& area) {
  ++mPresentCount;
  mLastPresented = area;
  if (mWindow && Surface()) {
    const LICE_Rect source = {area.L, area.T, area.R, area.B};
    LICE_Composite(mWindow.get(), Surface(), area.L, area.T, &source, 1.0f, LICE_COMPOSE_COPY);
  }
  return true;
}

void IGraphicsHeadless::ResizeEditor(int width, int height) {
  if (width == Width() && height == Height()) return;
  IGraphics::ResizeEditor(width, height);
  if (mWindow) mWindow->Resize(width, height);
}

int IGraphicsHeadless::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) {
  return MessageCancel;
}

IMenuTree* IGraphicsHeadless::ShowMenu(IMenuTree& /*menu*/, const IBox& /*area*/) {
  ReleaseCapture();
  return nullptr;
}

void IGraphicsHeadless::OpenTextEntry(IControl* /*control*/, const ITextStyle& /*style*/,
                                      const IBox& /*area*/, const char* /*text*/,
                                      IParameter* /*parameter*/) {}

void IGraphicsHeadless::AskForFile(std::string& file, bool /*save*/, std::string& /*folder*/,
                                   const char* /*extensions*/) {
  file.clear();
}

bool IGraphicsHeadless::OpenLink(const char* /*url*/, const char* /*caption*/,
                                 const char* /*confirmText*/, const char* /*failureText*/) {
  return false;
}

void* IGraphicsHeadless::OpenEditorWindow(void* parent) {
  // Only an off-screen window exists here: a host that offers its own window
  // to embed in is told the editor cannot open, not shown an empty frame.
  if (parent) return nullptr;
  CloseEditorWindow();
  mParent = parent;
  mWindow.reset(new LICE_MemBitmap(Width(), Height()));
  LICE_FillArea(mWindow.get(), 0, 0, Width(), Height(), LICE_MakePixel(0, 0, 0, 255));
  MarkAllDirty();
  return mWindow.get();
}

void IGraphicsHeadless::CloseEditorWindow() {
  mWindow.reset();
  mParent = nullptr;
}

void* IGraphicsHeadless::EditorWindowHandle() const {
  return mWindow.get();
}

bool IGraphicsHeadless::ClipboardText(std::string& text) {
  text.clear();
  return false;
}

LICE_IBitmap* IGraphicsHeadless::LoadImageResource(int resourceId, const char* name) {
  return LoadPngResource(mFinder, resourceId, name);
}

bool IGraphicsHeadless::Tick() {
  if (!mWindow) return false;
  IBox area;
  if (!CollectDirty(area)) return false;
  // The system clips an invalidated area to the window.
  area = IBox::Intersection(area, IBox(0, 0, Width(), Height()));
  Redraw(area);
  return true;
}

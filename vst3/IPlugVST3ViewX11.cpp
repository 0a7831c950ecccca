#include "IPlugVST3ViewPlatform.h"

#include "IGraphicsX11.h"

#include <atomic>

using namespace Steinberg;

namespace {

// What the host's run loop calls: the 40 ms tick or the connection's
// readiness. The host may hold a reference past unregistering, so the
// handler outlives its window and only forgets the editor (and the loop,
// which the view holds) then.
class RunLoopHandler : public Linux::ITimerHandler, public Linux::IEventHandler {
public:
  RunLoopHandler(IGraphicsX11* graphics, Linux::IRunLoop* loop)
      : mGraphics(graphics), mLoop(loop) {}
  virtual ~RunLoopHandler() = default;

  void Forget() {
    mGraphics = nullptr;
    mLoop = nullptr;
  }
  // Whether the descriptor is still registered by this handler.
  bool Watching() const { return mWatching; }
  void SetWatching(bool on) { mWatching = on; }

  void PLUGIN_API onTimer() override {
    if (mGraphics) mGraphics->Tick();
  }
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor /*fd*/) override {
    if (!mGraphics) return;
    mGraphics->ProcessEvents();
    // A broken connection stays readable for good: watching it further would
    // spin the host's loop.
    if (mWatching && mLoop && mGraphics->ConnectionFd() < 0) {
      mWatching = false;
      mLoop->unregisterEventHandler(this);
    }
  }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, Linux::ITimerHandler::iid) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      *obj = static_cast<Linux::ITimerHandler*>(this);
    } else if (FUnknownPrivate::iidEqual(iid, Linux::IEventHandler::iid)) {
      *obj = static_cast<Linux::IEventHandler*>(this);
    } else {
      *obj = nullptr;
      return kNoInterface;
    }
    addRef();
    return kResultOk;
  }
  uint32 PLUGIN_API addRef() override { return ++mReferences; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --mReferences;
    if (left == 0) delete this;
    return left;
  }

private:
  IGraphicsX11* mGraphics;
  Linux::IRunLoop* mLoop;
  bool mWatching = false;
  std::atomic<uint32> mReferences{1};
};

// Linux: the host hands an X11 window id. The editor (IGraphicsX11) has no
// thread or timer of its own, so its tick and its connection's events are
// handed to the run loop the host offers on the frame. A host without one
// still gets the window, painted as it opens and kept so.
class IPlugVST3ViewX11 : public IPlugVST3ViewPlatform {
public:
  ~IPlugVST3ViewX11() override { Unregister(); }

  const char* PlatformType() const override { return kPlatformTypeX11EmbedWindowID; }

  void* OpenWindow(IPlugEditor& editor, void* parent, IPlugFrame* frame) override {
    // Attached again without removed: the old window's connection goes.
    Unregister();
    void* window = editor.OpenEditorWindow(parent);
    auto* graphics = dynamic_cast<IGraphicsX11*>(&editor);
    if (!window || !graphics) return window;
    void* loop = nullptr;
    if (frame && frame->queryInterface(Linux::IRunLoop::iid, &loop) == kResultOk && loop) {
      mLoop = static_cast<Linux::IRunLoop*>(loop);
      mHandler = new RunLoopHandler(graphics, mLoop);
      mTimer = mLoop->registerTimer(mHandler, static_cast<Linux::TimerInterval>(
                                                  graphics->TickPeriodMs())) == kResultOk;
      const int fd = graphics->ConnectionFd();
      mHandler->SetWatching(fd >= 0 && mLoop->registerEventHandler(mHandler, fd) == kResultOk);
    }
    // Half a run loop is none: the window shows what it has.
    if (!mTimer || !mHandler || !mHandler->Watching()) {
      Unregister();
      graphics->KeepStill();
    }
    return window;
  }

  void CloseWindow(IPlugEditor& editor) override {
    // Before the connection closes, so the host never polls a stale
    // descriptor.
    Unregister();
    editor.CloseEditorWindow();
  }

private:
  void Unregister() {
    if (!mLoop) return;
    if (mTimer) mLoop->unregisterTimer(mHandler);
    if (mHandler && mHandler->Watching()) mLoop->unregisterEventHandler(mHandler);
    if (mHandler) {
      mHandler->Forget();
      mHandler->release();
    }
    mLoop->release();
    mHandler = nullptr;
    mLoop = nullptr;
    mTimer = false;
  }

  Linux::IRunLoop* mLoop = nullptr; // one reference while registered
  RunLoopHandler* mHandler = nullptr;
  bool mTimer = false;
};

} // namespace

std::unique_ptr<IPlugVST3ViewPlatform> MakeVST3ViewPlatform() {
  return std::make_unique<IPlugVST3ViewX11>();
}

#include "IPlugVST3ViewPlatform.h"

namespace {

// A build without a window system to embed in: the view exists, answers its
// size and the host's calls, but accepts no platform type, so no window is
// ever opened.
class IPlugVST3ViewNone : public IPlugVST3ViewPlatform {
public:
  const char* PlatformType() const override { return nullptr; }
};

} // namespace

std::unique_ptr<IPlugVST3ViewPlatform> MakeVST3ViewPlatform() {
  return std::make_unique<IPlugVST3ViewNone>();
}

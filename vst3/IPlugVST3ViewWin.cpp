#include "IPlugVST3ViewPlatform.h"

namespace {

// Windows: the host hands an HWND, and the editor (IGraphicsWin) opens its
// child window in it; the editor's own timer does the rest.
class IPlugVST3ViewWin : public IPlugVST3ViewPlatform {
public:
  const char* PlatformType() const override { return "HWND"; }
};

} // namespace

std::unique_ptr<IPlugVST3ViewPlatform> MakeVST3ViewPlatform() {
  return std::make_unique<IPlugVST3ViewWin>();
}

#include "link/client/client_windows.h"

namespace mero::link {
namespace {
LinkClientWindows* g_windows = nullptr;
}  // namespace

void SetLinkClientWindows(LinkClientWindows* windows) { g_windows = windows; }
LinkClientWindows* CurrentLinkClientWindows() { return g_windows; }

}  // namespace mero::link

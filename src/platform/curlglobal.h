#pragma once
// libcurl's process-wide set-up, done once before the first transfer of any kind.
namespace wux::platform {
void initCurlOnce();
}  // namespace wux::platform

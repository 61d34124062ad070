#pragma once
#include <string>

namespace wux::platform {

// The logged-on user: USERNAME, else USER, else the password database; "" if none.
std::string userName();
// The computer's host name, "" when unknown.
std::string hostName();

}  // namespace wux::platform

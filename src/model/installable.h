#pragma once
// A service with a built-in implementation that a test (or the window) may replace for a
// while: the prompter, the clipboard, the screen grabber.

namespace wux {

template <class Service>
class Installable {
 public:
  constexpr explicit Installable(Service& builtIn) : builtIn_(builtIn) {}
  Service& get() const { return installed_ ? *installed_ : builtIn_; }
  // Installs `s` (not owned); nullptr restores the built-in one. Returns the previous one.
  Service* install(Service* s) {
    Service* previous = installed_;
    installed_ = s;
    return previous;
  }

 private:
  Service& builtIn_;
  Service* installed_ = nullptr;
};

}  // namespace wux

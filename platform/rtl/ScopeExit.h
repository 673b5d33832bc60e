// Scoped clean-up: "begin something, always end it" written once.
//
//   auto update = orv::UpdateScope(Collection);   // BeginUpdate now, EndUpdate on every way out
//   auto busy = orv::TempValue(FInCancel, true);   // set for the scope, old value back after
//   orv::ScopeExit done([&] { Stream->Free(); });  // any other closing action
//
// On the ordinary way out an error of the closing action propagates like an
// error of the scope's last statement. While an exception unwinds the stack
// the action's own error is dropped, so the first error reaches its handler
// (a second one escaping a destructor would end the program).
#pragma once

#include <exception>
#include <utility>

namespace orv {

template <class F>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(F action) : FAction(std::move(action)), FUncaught(std::uncaught_exceptions()) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  ~ScopeExit() noexcept(false) {
    if (std::uncaught_exceptions() > FUncaught) {
      try {
        FAction();
      } catch (...) {
      }
    } else {
      FAction();
    }
  }

 private:
  F FAction;
  int FUncaught;
};

// BeginUpdate on `target` now, EndUpdate when the scope is left.
template <class T>
[[nodiscard]] auto UpdateScope(T* target) {
  target->BeginUpdate();
  return ScopeExit([target] { target->EndUpdate(); });
}

// The same for a target that may be missing: nothing happens without one.
template <class T>
[[nodiscard]] auto UpdateScopeIf(T* target) {
  if (target) target->BeginUpdate();
  return ScopeExit([target] {
    if (target) target->EndUpdate();
  });
}

// BeginFullUpdate now, EndFullUpdate when the scope is left.
template <class T>
[[nodiscard]] auto FullUpdateScope(T* target) {
  target->BeginFullUpdate();
  return ScopeExit([target] { target->EndFullUpdate(); });
}

// Gives a variable a value for the scope and puts the old one back after.
template <class T, class U>
[[nodiscard]] auto TempValue(T& variable, U&& value) {
  T old = std::exchange(variable, std::forward<U>(value));
  return ScopeExit([&variable, old = std::move(old)]() mutable { variable = std::move(old); });
}

}  // namespace orv

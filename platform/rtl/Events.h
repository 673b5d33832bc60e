// Events: a handler is an object and one of its methods. Two events are
// equal when they name the same object and the same method, so a listener
// can be removed by the pair it was added with, and a handler survives a
// copy of the settings object that holds it.
//
//   Button->SetOnClick(Event<void(TObject*)>::Bind<&TMainForm::RunClick>(this));
//   Button->OnClick(Sender);          // call; only when Assigned()
//
// An event may also hold a lambda; it then compares equal only to copies of
// itself. `var` parameters of a handler are references.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

// The untyped form of an event, as type information and streams see it.
struct TMethod {
  void (*Code)() = nullptr;  // the event's thunk
  void* Data = nullptr;      // the object
  bool operator==(const TMethod&) const = default;
};

namespace orv {
template <auto M>
struct MemberTraits;
template <class C, class R, class... A, R (C::*M)(A...)>
struct MemberTraits<M> {
  using Class = C;
  using Signature = R(A...);
};
template <class C, class R, class... A, R (C::*M)(A...) const>
struct MemberTraits<M> {
  using Class = C;
  using Signature = R(A...);
};

template <class C, auto M, class R, class... A>
R MethodThunk(void* self, A... args) {
  return (static_cast<C*>(self)->*M)(std::forward<A>(args)...);
}
}  // namespace orv

template <class Sig>
class Event;

template <class R, class... A>
class Event<R(A...)> {
 public:
  using Signature = R(A...);
  using Thunk = R (*)(void*, A...);

  Event() = default;
  Event(std::nullptr_t) {}

  // A method of an object.
  template <auto M>
  static Event Bind(typename orv::MemberTraits<M>::Class* obj) {
    using C = typename orv::MemberTraits<M>::Class;
    static_assert(std::is_same_v<typename orv::MemberTraits<M>::Signature, R(A...)>,
                  "handler signature does not match the event");
    Event e;
    e.FData = obj;
    e.FCode = &orv::MethodThunk<C, M, R, A...>;
    return e;
  }

  // A callable; equal only to its own copies.
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, Event> && std::is_invocable_r_v<R, F&, A...>)
  Event(F&& f) {
    using Fn = std::decay_t<F>;
    auto holder = std::make_shared<Fn>(std::forward<F>(f));
    FData = holder.get();
    FHolder = std::move(holder);
    FCode = [](void* self, A... args) -> R { return (*static_cast<Fn*>(self))(std::forward<A>(args)...); };
  }

  bool Assigned() const { return FCode != nullptr; }
  explicit operator bool() const { return Assigned(); }

  R operator()(A... args) const { return FCode(FData, std::forward<A>(args)...); }

  TMethod Method() const { return {reinterpret_cast<void (*)()>(FCode), FData}; }
  static Event FromMethod(const TMethod& m) {
    Event e;
    e.FCode = reinterpret_cast<Thunk>(m.Code);
    e.FData = m.Data;
    return e;
  }

  void* Data() const { return FData; }

  friend bool operator==(const Event& a, const Event& b) { return a.FCode == b.FCode && a.FData == b.FData; }
  friend bool operator==(const Event& a, std::nullptr_t) { return !a.FCode; }

 private:
  void* FData = nullptr;
  Thunk FCode = nullptr;
  std::shared_ptr<void> FHolder;
};

// The event type most handlers have: a notification with the sender.
class TObject;
using TNotifyEvent = Event<void(TObject* Sender)>;

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

#include <atomic>
#include <cstdint>
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

namespace orv {
// A callable an event holds, shared by the event's copies and freed with
// the last of them.
struct HeldCallable {
  std::atomic<long> Refs{1};
  void (*Destroy)(HeldCallable*) = nullptr;
};
template <class Fn>
struct HeldFn : HeldCallable {
  explicit HeldFn(Fn&& f) : F(std::move(f)) { Destroy = [](HeldCallable* h) { delete static_cast<HeldFn*>(h); }; }
  Fn F;
};
}  // namespace orv

// Two words, as objects hold many events and rarely set them: the object
// (or the held callable, marked by the lowest bit of the word, which an
// object's address never has) and the thunk that calls it.
template <class R, class... A>
class Event<R(A...)> {
 public:
  using Signature = R(A...);
  using Thunk = R (*)(void*, A...);

  Event() = default;
  Event(std::nullptr_t) {}
  Event(const Event& other) : FData(other.FData), FCode(other.FCode) {
    if (HeldCallable* h = Held()) h->Refs.fetch_add(1, std::memory_order_relaxed);
  }
  Event(Event&& other) noexcept : FData(other.FData), FCode(other.FCode) {
    other.FData = nullptr;
    other.FCode = nullptr;
  }
  Event& operator=(const Event& other) {
    Event copy(other);
    Swap(copy);
    return *this;
  }
  Event& operator=(Event&& other) noexcept {
    Event taken(std::move(other));
    Swap(taken);
    return *this;
  }
  ~Event() {
    if (HeldCallable* h = Held())
      if (h->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) h->Destroy(h);
  }

  // A method of an object.
  template <auto M>
  static Event Bind(typename orv::MemberTraits<M>::Class* obj) {
    using C = typename orv::MemberTraits<M>::Class;
    static_assert(std::is_same_v<typename orv::MemberTraits<M>::Signature, R(A...)>,
                  "handler signature does not match the event");
    static_assert(alignof(C) >= 2, "the lowest bit of an object's address marks a held callable");
    Event e;
    e.FData = obj;
    e.FCode = &orv::MethodThunk<C, M, R, A...>;
    return e;
  }

  // A callable; equal only to its own copies.
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, Event> && std::is_invocable_r_v<R, F&, A...>)
  Event(F&& f) {
    using Holder = orv::HeldFn<std::decay_t<F>>;
    auto* held = new Holder(std::decay_t<F>(std::forward<F>(f)));
    FData = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(static_cast<HeldCallable*>(held)) | 1);
    FCode = [](void* self, A... args) -> R {
      return static_cast<Holder*>(static_cast<HeldCallable*>(self))->F(std::forward<A>(args)...);
    };
  }

  bool Assigned() const { return FCode != nullptr; }
  explicit operator bool() const { return Assigned(); }

  R operator()(A... args) const { return FCode(Object(), std::forward<A>(args)...); }

  // The untyped form refers to the callable without keeping it.
  TMethod Method() const { return {reinterpret_cast<void (*)()>(FCode), Object()}; }
  static Event FromMethod(const TMethod& m) {
    Event e;
    e.FCode = reinterpret_cast<Thunk>(m.Code);
    e.FData = m.Data;
    return e;
  }

  void* Data() const { return Object(); }

  friend bool operator==(const Event& a, const Event& b) {
    return a.FCode == b.FCode && a.Object() == b.Object();
  }
  friend bool operator==(const Event& a, std::nullptr_t) { return !a.FCode; }

 private:
  using HeldCallable = orv::HeldCallable;
  HeldCallable* Held() const {
    const auto bits = reinterpret_cast<std::uintptr_t>(FData);
    return bits & 1 ? reinterpret_cast<HeldCallable*>(bits & ~std::uintptr_t{1}) : nullptr;
  }
  void* Object() const { return reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(FData) & ~std::uintptr_t{1}); }
  void Swap(Event& other) noexcept {
    std::swap(FData, other.FData);
    std::swap(FCode, other.FCode);
  }

  void* FData = nullptr;
  Thunk FCode = nullptr;
};

// The event type most handlers have: a notification with the sender.
class TObject;
using TNotifyEvent = Event<void(TObject* Sender)>;

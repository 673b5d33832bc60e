#include "platform/forms/FreeWatch.h"

namespace {

class TFreeWatchListener : public TComponent {
  ORV_CLASS(TFreeWatchListener, TComponent)
 public:
  explicit TFreeWatchListener(TComponent* AWatched) : TComponent(nullptr), FWatched(AWatched) {}
  TComponent* FWatched;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWatched) FWatched = nullptr;
  }
};

TFreeWatchListener* Listener(TComponent* C) { return static_cast<TFreeWatchListener*>(C); }

}  // namespace

ORV_REGISTER(TFreeWatchListener)

TFreeWatch::TFreeWatch(TComponent* AComponent) : FListener(New<TFreeWatchListener>(AComponent)) {
  if (AComponent) AComponent->FreeNotification(FListener);
}

TFreeWatch::~TFreeWatch() {
  if (TComponent* watched = Listener(FListener)->FWatched) watched->RemoveFreeNotification(FListener);
  FListener->Free();
}

bool TFreeWatch::Gone() const { return !Listener(FListener)->FWatched; }

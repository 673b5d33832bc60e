// Whether a component was freed while code of its own ran. A handler may
// free the control whose message it answers (a button its OnClick frees, a
// list its OnKeyDown deletes): the code that called the handler must not
// touch the control after that. The watch hears of the freeing through
// free notification and answers Gone() then.
#pragma once

#include "platform/rtl/Component.h"

class TFreeWatch {
 public:
  explicit TFreeWatch(TComponent* AComponent);
  ~TFreeWatch();
  TFreeWatch(const TFreeWatch&) = delete;
  TFreeWatch& operator=(const TFreeWatch&) = delete;

  bool Gone() const;

 private:
  TComponent* FListener;  // hears of the freeing
};

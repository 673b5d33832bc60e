// A control made on a parent and placed there in one step, as the tests
// and the test programs build their forms.
#pragma once

#include "platform/forms/Controls.h"

template <class T>
T* Place(TWinControl* parent, TRect bounds) {
  T* c = New<T>(parent);
  c->SetBoundsRect(bounds);
  c->SetParent(parent);
  return c;
}

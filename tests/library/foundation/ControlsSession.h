// A class-library session with the library's units started, for tests of
// controls: a headless window system, the fake clock, and a form to put
// controls on.
#pragma once

#include <gtest/gtest.h>

#include "library/foundation/FoundationStartup.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/forms/UnitStartup.h"
#include "platform/win/TestHooks.h"

class ControlsSession : public ::testing::Test {
 protected:
  forms::test::Session session;
  TForm* form = nullptr;

  void SetUp() override {
    RegisterFoundationUnits();
    InitializeUnits();
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    win::test::PumpUntilIdle();
  }

  void ShowForm() {
    form->Show();
    win::test::PumpUntilIdle();
  }

  template <class T>
  T* Place(TRect bounds, TWinControl* parent = nullptr) {
    if (!parent) parent = form;
    T* c = New<T>(parent);
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    return c;
  }
};

// Running a program from a docs page (the build takes its C++ block into
// page/<name>.cpp) headless, as a test: a unit listed ahead of the
// program's own watches its first idle moment, hands its main form to the
// test to look at and work with, and closes the form; closing the main
// form ends the program, which frees what it made.
#pragma once

#include <functional>
#include <string>

#include "platform/forms/Application.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Forms.h"
#include "platform/forms/UnitStartup.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/WindowDC.h"

namespace page_program {

inline std::function<void(TCustomForm*)>& Look() {
  static std::function<void(TCustomForm*)> look;
  return look;
}

// ALook runs once, at the program's first idle moment (its own idle time
// goes on after), with the main form; the form closes after it.
inline void LookAtFirstIdle(std::function<void(TCustomForm*)> ALook) {
  Look() = std::move(ALook);
  RegisterUnit("PageProgramWatch", [] {
    Application->OnIdle = [](TObject*, bool& Done) {
      if (!Look()) return;
      const auto look = std::move(Look());
      Look() = nullptr;
      TCustomForm* form = Application->GetMainForm();
      look(form);
      if (form) form->Close();
      Done = true;
    };
  }, nullptr);
}

// Every component AOwner owns, and theirs, depth first.
inline void ForEachOwned(TComponent* AOwner, const std::function<void(TComponent*)>& AVisit) {
  for (Integer i = 0; i < AOwner->GetComponentCount(); ++i) {
    AVisit(AOwner->GetComponent(i));
    ForEachOwned(AOwner->GetComponent(i), AVisit);
  }
}

template <class T>
T* Find(TComponent* AOwner, const AnsiString& AName) {
  T* found = nullptr;
  ForEachOwned(AOwner, [&](TComponent* AComponent) {
    if (AComponent->GetName() == AName) found = dynamic_cast<T*>(AComponent);
  });
  return found;
}

// The form as it shows, frame and all, into a PNG for people to look at.
inline bool SaveSnapshot(TCustomForm* AForm, const std::string& APath) {
  TBitmap* picture = New<TBitmap>();
  picture->SetSize(AForm->GetWidth(), AForm->GetHeight());
  win::HDC dc = win::GetWindowDC(AForm->GetHandle());
  win::BitBlt(picture->GetCanvas()->GetHandle(), 0, 0, AForm->GetWidth(), AForm->GetHeight(), dc, 0, 0, win::SRCCOPY);
  win::ReleaseDC(AForm->GetHandle(), dc);
  const bool saved = win::SaveBitmapPng(picture->GetHandle(), APath);
  picture->Free();
  return saved;
}

}  // namespace page_program

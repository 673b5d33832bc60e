// Feeds arbitrary bytes to the rich text editor as its value, the way a
// stored value or a pasted file reaches it: through SetRichEditText into
// the hidden renderer and through the editor's own value path, in rich or
// plain-text mode. It must never crash, hang or raise, and nothing may be
// lost: bytes that are not rich text come back whole (every line break
// made CR LF), and the editor's value reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/cxRichEdit.h"
#include "library/editors/cxRichEditRenderer.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"

namespace {

void Check(bool ACondition) {
  if (!ACondition) std::abort();
}

// Only CR LF breaks a line.
void CheckBreaks(const AnsiString& AText) {
  for (std::size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] == '\r') Check(i + 1 < AText.size() && AText[i + 1] == '\n');
    if (AText[i] == '\n') Check(i > 0 && AText[i - 1] == '\r');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The units start once and stop at exit.
  static const bool listed = [] {
    RegisterConcreteEditorUnits();
    return true;
  }();
  static forms::test::Session session;
  (void)listed;
  static TForm* form = [] {
    TForm* f = TCustomForm::CreateNew<TForm>(Application);
    f->SetBoundsRect({0, 0, 300, 200});
    return f;
  }();
  if (size == 0) return 0;
  const bool plain = (data[0] & 1) != 0;
  const AnsiString value(reinterpret_cast<const char*>(data) + 1, size - 1);
  const AnsiString asText = AdjustRichLineBreaks(value, false);

  TcxRichInnerEdit* renderer = cxRichRenderer();
  Check(renderer != nullptr);
  renderer->SetMemoMode(false);
  renderer->SetPlainText(plain);
  renderer->HandleNeeded();
  try {
    SetRichEditText(renderer, Variant(value));
  } catch (const Exception&) {
    std::abort();  // plain text always reads
  }
  const AnsiString shown = renderer->GetRichText();
  CheckBreaks(shown);
  if (plain || !IsRichText(value)) Check(shown == asText);

  auto* edit = New<TcxRichEdit>(form);
  edit->SetParent(form);
  edit->GetProperties()->SetPlainText(plain);
  edit->SetEditValue(Variant(value));
  const AnsiString text = edit->GetInnerRichEdit()->GetRichText();
  if (plain || !IsRichText(value)) Check(text == asText);
  // What the editor answers reads back to the same text; rich text holds
  // a vertical tab as the line break it stands for there.
  const Variant answer = edit->GetEditValue();
  edit->SetEditValue(answer);
  AnsiString expected;
  for (char c : text) expected += c == '\v' && !plain ? AnsiString("\r\n") : AnsiString(1, c);
  Check(edit->GetInnerRichEdit()->GetRichText() == expected);
  edit->Free();
  return 0;
}

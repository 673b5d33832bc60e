// The size every concrete editor and control of the library is born with,
// before a parent or a layout changes it: one row per kind, with the
// dimension left open where the kind names none. (The calculator asks for
// 198 x 131 and takes at once what its buttons need at its font.)
#include <functional>
#include <string>
#include <vector>

#include "VGridSession.h"
#include "library/editors/cxGroupBox.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxMemo.h"
#include "library/editors/cxRichEdit.h"
#include "library/grid/filter/cxFilterControl.h"
#include "library/grid/navigator/cxNavigator.h"

namespace {

constexpr Integer Any = -1;

struct DefaultSize {
  std::string Kind;
  std::function<TControl*(TComponent*)> Make;
  Integer Width;
  Integer Height;
};

template <class T>
std::function<TControl*(TComponent*)> Maker() {
  return [](TComponent* AOwner) -> TControl* { return New<T>(AOwner); };
}

class DefaultSizes : public vgrid_test::Session {};

TEST_F(DefaultSizes, EveryKindIsBornWithItsOwnSize) {
  const std::vector<DefaultSize> table = {
      {"text editor", Maker<TcxTextEdit>(), 121, 21},
      {"check box", Maker<TcxCheckBox>(), 121, Any},
      {"group box", Maker<TcxGroupBox>(), 185, 105},
      {"radio group", Maker<TcxRadioGroup>(), 185, 105},
      {"memo", Maker<TcxMemo>(), 185, 89},
      {"rich text editor", Maker<TcxRichEdit>(), 185, 89},
      {"image", Maker<TcxImage>(), 140, 100},
      {"navigator", Maker<TcxNavigator>(), Any, 25},
      {"filter builder", Maker<TcxFilterControl>(), 300, 200},
      {"vertical grid", Maker<TcxVerticalGrid>(), 200, 150},
  };
  for (const DefaultSize& row : table) {
    TControl* control = row.Make(form);
    if (row.Width != Any) {
      EXPECT_EQ(control->GetWidth(), row.Width) << row.Kind;
    }
    if (row.Height != Any) {
      EXPECT_EQ(control->GetHeight(), row.Height) << row.Kind;
    }
    control->Free();
  }
}

}  // namespace

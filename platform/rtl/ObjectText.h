// The text form of component streams: layouts as people write and review
// them, converted to the binary form (Filer.h) for reading, and back.
//
//   object MainForm: TMainForm
//     Caption = 'Orvanta ' + #39'UI'#39
//     OptionsView.RowHeaderWidth = 120
//     Anchors = [akLeft, akTop]
//     Lines.Strings = (
//       'first'
//       'second')
//     Items = <
//       item
//         Caption = 'One'
//       end>
//     Glyph.Data = {0A0B0C}
//     OnClick = MainFormClick
//     object OkButton: TButton
//       Left = 8
//     end
//   end
//
// Numbers are decimal or $hex (up to eight hex digits make a 32-bit value,
// so colours such as $FF00000F read as they are written); floats may carry
// a suffix: s single, c currency, d date. Strings are quoted with '' for a
// quote and #nnn for a character code; a code above 127 makes the string
// wide. `inherited` and `inline` may stand for `object`, and a child may
// give its position as `object Name: TClass [2]`. Syntax errors raise
// EParserError naming the line and column.
#pragma once

#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"

// Converts from input's position to its end; output receives the binary
// form at its position.
void ObjectTextToBinary(TStream& input, TStream& output);
// Converts one binary object record (with its signature) to text, lines
// ending CR LF.
void ObjectBinaryToText(TStream& input, TStream& output);
inline void ObjectTextToBinary(TStream* input, TStream* output) { ObjectTextToBinary(*input, *output); }
inline void ObjectBinaryToText(TStream* input, TStream* output) { ObjectBinaryToText(*input, *output); }

// Reads a text layout into root (or a new root of the layout's class when
// root is null) and answers the root.
TComponent* ReadComponentFromText(const AnsiString& text, TComponent* root);
// The text layout of a component tree.
AnsiString ComponentToText(TComponent* root);
// Reads an embedded layout (type RCDATA), held as text or in binary form.
// A missing resource raises EResNotFound.
TComponent* ReadComponentResource(const AnsiString& name, TComponent* root);

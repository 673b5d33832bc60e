// The default streaming of a component's own state: its properties and
// children, through the filer that reads or writes the enclosing stream.
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

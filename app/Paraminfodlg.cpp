#include "app/Paraminfodlg.h"

ORV_REGISTER(TParameterInfoDlg, ORV_FIELD(cxOkButton), ORV_FIELD(LongDescriptionMemo), ORV_FIELD(Label1),
             ORV_FIELD(Label2), ORV_FIELD(Label3), ORV_FIELD(Label4), ORV_FIELD(Label5), ORV_FIELD(ParameterTypeLabel),
             ORV_FIELD(MinValueLabel), ORV_FIELD(MaxValueLabel), ORV_FIELD(DefaultValueLabel))

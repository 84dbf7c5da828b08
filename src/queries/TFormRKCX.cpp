#include "queries/TFormRKCX.h"

#include "queries/LineQueryKind.h"

TFormRKCX::TFormRKCX(ScreenHost &host, QWidget *parent)
    : LineQueryForm(host, LineQueryKind::stockIn(), parent), ComboBoxgys(partyBox_), ButtonRK(queryButton_)
{
}

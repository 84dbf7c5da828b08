#include "queries/TFormCKCX.h"

#include "queries/LineQueryKind.h"

TFormCKCX::TFormCKCX(ScreenHost &host, QWidget *parent)
    : LineQueryForm(host, LineQueryKind::stockOut(), parent), ComboBoxKH(partyBox_), ButtonCK(queryButton_)
{
}

#include "masterdata/TFormKH.h"

#include "store/DataModule.h"

TFormKH::TFormKH(DataModule &main, QWidget *parent)
    : PickerForm(main, main.ADOQueryKH,
                 {QStringLiteral("FormKH"),
                  QStringLiteral("选择时不要选择第一格。单击其它可以关闭窗口单击其它可以关闭窗口,添加时按+选择第一列,按TAB键"),
                  QStringLiteral("客户"), QStringLiteral("在此可以增加客户，方法看标题"), QStringLiteral("kh"),
                  QStringLiteral("gsmc")},
                 parent)
{
}

#include "masterdata/Tformgys.h"

#include "store/DataModule.h"

Tformgys::Tformgys(DataModule &main, QWidget *parent)
    : PickerForm(main, main.ADOQueryGYS,
                 {QStringLiteral("formgys"),
                  QStringLiteral("选择时不要选择第一格。单击其它可以关闭窗口,添加时按+选择第一列,按TAB键"),
                  QStringLiteral("供应商"), QStringLiteral("在此可以增加供应商，方法看标题"), QStringLiteral("gys"),
                  QStringLiteral("gysmc")},
                 parent)
{
}

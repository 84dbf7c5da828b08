#include "masterdata/Tgys.h"

#include "masterdata/GridColumns.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

Tgys::Tgys(ScreenHost &host, QWidget *parent)
    : EntryForm(host, QStringLiteral("Tgys"), host.data().ADOTableGYS, QStringLiteral("gysmc"), QStringLiteral("供应商资料输入,此资料在入库处可以查询,最少只输入供应商名称即可"), parent)
{
    setObjectName("gys");
    masterdata::hideInitials(DBGrid1);
    fitColumns();
}

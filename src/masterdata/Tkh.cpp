#include "masterdata/Tkh.h"

#include "masterdata/GridColumns.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

Tkh::Tkh(ScreenHost &host, QWidget *parent)
    : EntryForm(host, QStringLiteral("Tkh"), host.data().ADOTableKH, QStringLiteral("gsmc"), QStringLiteral("客户资料输入,此资料在出库处可以查询,最少只输入公司名称即可"), parent)
{
    setObjectName("kh");
    masterdata::hideInitials(DBGrid1);
    fitColumns();
}

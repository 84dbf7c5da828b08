#include "Tkh.h"

#include "GridColumns.h"
#include "Tmain.h"

Tkh::Tkh(Tmain &main, QWidget *parent)
    : EntryForm(main, QStringLiteral("Tkh"), main.ADOTableKH, QStringLiteral("客户资料输入,此资料在出库处可以查询,最少只输入公司名称即可"), parent)
{
    setObjectName("kh");
    masterdata::hideInitials(DBGrid1);
    fitColumns();
}

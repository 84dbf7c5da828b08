#include "Tgys.h"

#include "GridColumns.h"
#include "Tmain.h"

Tgys::Tgys(Tmain &main, QWidget *parent)
    : EntryForm(main, QStringLiteral("Tgys"), main.ADOTableGYS, QStringLiteral("供应商资料输入,此资料在入库处可以查询,最少只输入供应商名称即可"), parent)
{
    setObjectName("gys");
    masterdata::hideInitials(DBGrid1);
    fitColumns();
}

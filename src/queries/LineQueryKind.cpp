#include "queries/LineQueryKind.h"

#include "store/DataModule.h"

QStringList LineQueryKind::statusItems() const
{
    return {lines.lentStatus,     QStringLiteral("报损"), QStringLiteral("归还"),
            QStringLiteral("退单"), QStringLiteral("退换"), QStringLiteral("保存")};
}

const LineQueryKind &LineQueryKind::stockIn()
{
    static const LineQueryKind k{
        LineKind::stockIn(),
        QStringLiteral("TFormRKCX"),
        QStringLiteral("入库查询,按日期查询未保存的后点保存即可全部保存"),
        &DataModule::ADOQueryRKCX,
        &DataModule::ADOQueryDHrk,
        &DataModule::ADOTableGYS,
        QStringLiteral("gysmc"),
        QStringLiteral("ComboBoxgys"),
        QStringLiteral("供 应 商"),
        QStringLiteral("ButtonRK"),
        QStringLiteral("入库查询"),
        QStringLiteral("select * from rk where rq<:rq"),
        QStringLiteral(" and gys=:gys1"),
        QStringLiteral("gys1"),
        QStringLiteral("select * from rk where lsdh=:RKcx"),
        QStringLiteral("RKcx"),
        QStringLiteral("select * from rk where bc='借入'"),
        &DataModule::rkcxTotalAmount,
        &DataModule::rkcxTotalPaid,
        &DataModule::rkcxTotalQuantity,
        QStringLiteral("rKCX.rav"),
        true,
    };
    return k;
}

const LineQueryKind &LineQueryKind::stockOut()
{
    static const LineQueryKind k{
        LineKind::stockOut(),
        QStringLiteral("TFormCKCX"),
        QStringLiteral("出库查询,日期查询时日期两个都今天为全部记录"),
        &DataModule::ADOQueryCKCX,
        &DataModule::ADOQueryDHck,
        &DataModule::ADOTableKH,
        QStringLiteral("gsmc"),
        QStringLiteral("ComboBoxKH"),
        QStringLiteral("客    户"),
        QStringLiteral("ButtonCK"),
        QStringLiteral("出库查询"),
        QStringLiteral("select * from Ck where rq<:rq"),
        QStringLiteral(" and kh=:kh1"),
        QStringLiteral("kh1"),
        QStringLiteral("select * from ck where lsdh=:cKcx"),
        QStringLiteral("cKcx"),
        QStringLiteral("select * from ck where bc='借出'"),
        &DataModule::ckcxTotalAmount,
        &DataModule::ckcxTotalPaid,
        &DataModule::ckcxTotalQuantity,
        QStringLiteral("CKCX.rav"),
        false,
    };
    return k;
}

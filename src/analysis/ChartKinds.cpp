#include "analysis/ChartKinds.h"

#include "store/DataModule.h"

// Each statement sorts by its value, largest first, so the slices run from the largest
// to the smallest.

const ChartKind &ChartKind::customers()
{
    static const ChartKind k{
        "TFormkhfx",
        "ActionKHFX",
        u"客户分析,逆时针的顺序从大到小,右边也有排列",
        u"出库总额分析",
        &DataModule::ADOQuerykhfx,
        "客户",
        "总金额",
        "select kh as 客户,sum(sn*xsj) as 总金额 from ck where fk='已付' and bc='保存' and rq<:rq and rq>:rq1 group "
        "by kh order by sum(sn*xsj) desc ",
        "select kh as 客户,sum(sn*xsj) as 总金额 from ck where fk='已付' and bc='保存'  group by kh order by "
        "sum(sn*xsj) desc ",
        false,
    };
    return k;
}

const ChartKind &ChartKind::products()
{
    static const ChartKind k{
        "TFormspfx",
        "ActionSPFX",
        u"商品分析,逆时针的顺序从大到小,右边也有排列",
        u"出库数量分析",
        &DataModule::ADOQueryspfx,
        "名称",
        "数量",
        "select mc as 名称,sum(sn) as 数量 from ck where fk='已付' and bc='保存' and rq<:rq and rq>:rq1 group by mc "
        "order by sum(sn) desc ",
        "select mc as 名称,sum(sn) as 数量 from ck where fk='已付' and bc='保存' group by mc order by sum(sn) desc",
        false,
    };
    return k;
}

const ChartKind &ChartKind::profit()
{
    // The profit column has no name of its own; the chart reads it by position.
    static const ChartKind k{
        "TFormlr",
        "ActionLRFX",
        u"利润分析,进价与最后一次为准",
        u"利润分析",
        &DataModule::ADOQuerylr,
        "#0",
        "#1",
        "select ck.mc,sum(ck.xsj*ck.sn-pl.cgj*ck.sn) from pl,ck where pl.mc=ck.mc and ck.bc='保存' and ck.rq<:rq and "
        "ck.rq>:rq1 group by ck.mc order by sum(ck.xsj*ck.sn-pl.cgj*ck.sn) desc ",
        "select ck.mc,sum(ck.xsj*ck.sn-pl.cgj*ck.sn) from pl,ck where pl.mc=ck.mc and ck.bc='保存' group by ck.mc "
        "order by sum(ck.xsj*ck.sn-pl.cgj*ck.sn) desc",
        true,
    };
    return k;
}

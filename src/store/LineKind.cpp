#include "store/LineKind.h"

const LineKind &LineKind::stockIn()
{
    static const LineKind k{QStringLiteral("rk"), QStringLiteral("cgj"), QStringLiteral("gys"), QStringLiteral("借入"), +1};
    return k;
}

const LineKind &LineKind::stockOut()
{
    static const LineKind k{QStringLiteral("ck"), QStringLiteral("xsj"), QStringLiteral("kh"), QStringLiteral("借出"), -1};
    return k;
}

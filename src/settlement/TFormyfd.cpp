#include "settlement/TFormyfd.h"

#include "settlement/TFormyf.h"

Money TFormyfd::yfdPartialSum;

TFormyfd::TFormyfd(DataModule &main, const QString &supplier, QWidget *parent)
    : SettlementDetail(main, TFormyf::description(),
                       {QStringLiteral("TFormyfd"), QStringLiteral("付款详细处理"), QStringLiteral("未结金额"), &yfdPartialSum},
                       supplier, parent)
{
}

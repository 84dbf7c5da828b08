#include "settlement/TFormysd.h"

#include "settlement/TFormYS.h"

Money TFormysd::ysdPartialSum;

TFormysd::TFormysd(DataModule &main, const QString &customer, QWidget *parent)
    : SettlementDetail(main, TFormYS::description(),
                       {QStringLiteral("TFormysd"), QStringLiteral("收款详细处理"), QStringLiteral("未结"), &ysdPartialSum},
                       customer, parent)
{
}

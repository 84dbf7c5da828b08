#include "settlement/TFormYS.h"

#include "settlement/TFormysd.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

Money TFormYS::ysBalance;

const SettlementScreen &TFormYS::description()
{
    static const SettlementScreen s{settlement::Kind::receivables(),
                                    DocumentCounter::Receipt,
                                    &DataModule::ADOQueryYS,
                                    &DataModule::ADOQueryys1,
                                    &DataModule::ADOTableYS,
                                    &DataModule::ADOQueryLSDH,
                                    &DataModule::ADOTableKH,
                                    QStringLiteral("gsmc"),
                                    &ysBalance,
                                    QStringLiteral("TFormYS"),
                                    QStringLiteral("应收,剩下一个客户点付款后,第一列与第二列互点即可"),
                                    QStringLiteral("客户"),
                                    QStringLiteral("客户改变功能实现"),
                                    QStringLiteral("收款"),
                                    QStringLiteral("ys.rav")};
    return s;
}

TFormYS::TFormYS(ScreenHost &host, QWidget *parent) : SettlementForm(host, description(), parent) {}

SettlementDetail *TFormYS::makeDetail(const QString &party)
{
    return new TFormysd(host().data(), party, host().hostWindow());
}

#include "settlement/TFormyf.h"

#include "settlement/TFormyfd.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

Money TFormyf::yfBalance;

const SettlementScreen &TFormyf::description()
{
    static const SettlementScreen s{settlement::Kind::payables(),
                                    DocumentCounter::Payment,
                                    &DataModule::ADOQueryYF,
                                    &DataModule::ADOQueryyf1,
                                    &DataModule::ADOTableyf,
                                    &DataModule::ADOQueryRKDH,
                                    nullptr,  // the suppliers table is never filtered here
                                    QString(),
                                    &yfBalance,
                                    QStringLiteral("TFormyf"),
                                    QStringLiteral("应付,剩下一个客户点付款后,第一列与第二列互点即可"),
                                    QStringLiteral("供应商"),
                                    QStringLiteral("供应商改变功能实现"),
                                    QStringLiteral("付款"),
                                    QStringLiteral("yf.rav")};
    return s;
}

TFormyf::TFormyf(ScreenHost &host, QWidget *parent) : SettlementForm(host, description(), parent) {}

SettlementDetail *TFormyf::makeDetail(const QString &party)
{
    return new TFormyfd(host().data(), party, host().hostWindow());
}

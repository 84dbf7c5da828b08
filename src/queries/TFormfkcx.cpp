#include "queries/TFormfkcx.h"

#include "store/DataModule.h"

const MoneyQuery &TFormfkcx::description()
{
    static const MoneyQuery q{QStringLiteral("TFormfkcx"),     QStringLiteral("付款查询"),
                              QStringLiteral("yf"),            &DataModule::ADOQueryfkcx,
                              &DataModule::fkcxTotalJr,        &DataModule::fkcxTotalYr,
                              QStringLiteral("供应商"),        QStringLiteral("gys"),
                              QStringLiteral("gysmc"),         QStringLiteral("yfCX.rav")};
    return q;
}

TFormfkcx::TFormfkcx(ScreenHost &host, QWidget *parent) : MoneyQueryForm(host, description(), parent) {}

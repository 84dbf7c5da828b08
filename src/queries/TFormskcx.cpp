#include "queries/TFormskcx.h"

#include "store/DataModule.h"

const MoneyQuery &TFormskcx::description()
{
    static const MoneyQuery q{QStringLiteral("TFormskcx"),     QStringLiteral("收款查询"),
                              QStringLiteral("ys"),            &DataModule::ADOQueryskcx,
                              &DataModule::skcxTotalJr,        &DataModule::skcxTotalYr,
                              QStringLiteral("客户"),          QStringLiteral("kh"),
                              QStringLiteral("gsmc"),          QStringLiteral("ysCX.rav")};
    return q;
}

TFormskcx::TFormskcx(ScreenHost &host, QWidget *parent) : MoneyQueryForm(host, description(), parent) {}

#include "masterdata/Tgy.h"

#include "store/DataModule.h"
#include "ui/ScreenHost.h"

Tgy::Tgy(ScreenHost &host, QWidget *parent)
    : EntryForm(host, QStringLiteral("Tgy"), host.data().ADOTableGY, QStringLiteral("mz"), QStringLiteral("职员资料输入与权限设置,最少只输入名字即可"), parent)
{
    setObjectName("gy");
    // The password column qggybh is left out on purpose.
    DBGrid1->setColumns({"mz",    "xbmmc", "sfzhm", "gybh",  "ex",    "tx",     "dzyjzfmc", "fj",      "dz",     "sx",
                         "sszzq", "dq",    "yzbm",  "gjdq",  "zzdh",  "dwdh",   "xbmID",    "sr",      "gyrq",   "xj",
                         "jzfl",  "kce",   "glyID", "boxm",  "jjlxrxm", "jjlxdh", "zp",     "fz",      "bgswz"});
    // The role that decides which commands an account may use.
    DBGrid1->setPickList("sx", {QStringLiteral("管理员"), QStringLiteral("入库员"), QStringLiteral("出库员")});
    fitColumns();
}

#include "store/StockSave.h"

#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Errors.h"

#include <algorithm>
#include <vector>

namespace stock {

namespace {
const QString Saved = QStringLiteral("保存");
} // namespace

bool moveStock(Connection &conn, const QString &bh, const QString &mc, qint64 delta)
{
    const QVariant product =
        bh.isEmpty()
            ? conn.scalar(QStringLiteral("SELECT rowid FROM pl WHERE mc=:mc ORDER BY rowid LIMIT 1"), {{"mc", mc}})
            : conn.scalar(QStringLiteral("SELECT rowid FROM pl WHERE bh=:bh ORDER BY rowid LIMIT 1"), {{"bh", bh}});
    if (product.isNull())
        return false;
    conn.exec(QStringLiteral("UPDATE pl SET sn=coalesce(sn,0)+:d WHERE rowid=:p"), {{"d", delta}, {"p", product}});
    return true;
}

int saveListed(Connection &conn, DataSet &list, const LineKind &kind)
{
    if (!list.isActive() || list.recordCount() == 0)
        return 0;
    list.checkBrowseMode();
    int saved = 0;
    {
        Transaction tx(conn);
        // Pending and lent lines are few: found by their status, then kept if listed.
        QList<QVariantList> lines =
            conn.rows(QStringLiteral("SELECT rowid, bh, mc, sn FROM %1 WHERE bc IS NULL OR bc='' OR bc=:lent"
                                     " ORDER BY rowid")
                          .arg(kind.table),
                      {{QStringLiteral("lent"), kind.lentStatus}});
        std::vector<qint64> rowids;
        rowids.reserve(size_t(lines.size()));
        for (const QVariantList &line : lines)
            rowids.push_back(line.value(0).toLongLong());
        QList<bool> listed(lines.size(), false);
        for (const qint64 key : list.listedKeys()) {
            const auto at = std::lower_bound(rowids.cbegin(), rowids.cend(), key);
            if (at != rowids.cend() && *at == key)
                listed[at - rowids.cbegin()] = true;
        }
        qsizetype kept = 0;
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (listed[i])
                lines.swapItemsAt(kept++, i);
        lines.resize(kept);
        for (const QVariantList &line : lines) {
            const qint64 rowid = line.value(0).toLongLong();
            const QString bh = line.value(1).toString(), mc = line.value(2).toString();
            const qint64 quantity = line.value(3).toLongLong();
            try {
                if (!moveStock(conn, bh, mc, quantity * kind.savedStockSign))
                    continue;  // no such product: the line stays pending
                conn.exec(QStringLiteral("UPDATE %1 SET bc=:saved WHERE rowid=:r").arg(kind.table),
                          {{"saved", Saved}, {"r", rowid}});
            } catch (const DbError &e) {
                const QString what = bh.isEmpty() ? mc : bh + u' ' + mc;
                throw DbError(QStringLiteral("第%1行（%2）不能保存：\n%3\n列表中的行都没有保存。")
                                  .arg(list.rowOfKey(rowid) + 1)
                                  .arg(what, e.message()),
                              e.code());
            }
            ++saved;
        }
        tx.commit();
    }
    if (saved > 0) {
        conn.announceWrite(QStringLiteral("pl"));
        list.refresh();
    }
    return saved;
}

} // namespace stock

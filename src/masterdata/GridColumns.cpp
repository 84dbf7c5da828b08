#include "masterdata/GridColumns.h"

#include "dbwidgets/DBGrid.h"

#include <QFontMetrics>
#include <QHeaderView>

namespace masterdata {

void fitColumns(DBGrid *grid)
{
    DataSetModel *model = grid->dataModel();
    DataSet *ds = grid->dataSet();
    if (!model || !ds)
        return;
    const QFontMetrics fm(grid->horizontalHeader()->font());
    for (int c = 0; c < model->columnCount(); ++c) {
        const int f = model->fieldOfColumn(c);
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        int w = fm.horizontalAdvance(title) + 36;  // header padding and sort marker
        if (f >= 0) {
            const FieldDef &d = ds->fieldDef(f);
            // Long texts (addresses, remarks) get room for a short line, not their full size.
            const int chars = d.type == FieldType::Memo || d.size >= 100 ? 12 : d.size >= 30 ? 7 : 5;
            w = qMax(w, fm.horizontalAdvance(QChar(0x4E2D)) * chars + 16);
        }
        grid->setColumnWidth(c, qMin(w, 220));
    }
}

void hideInitials(DBGrid *grid)
{
    DataSet *ds = grid->dataSet();
    if (!ds)
        return;
    QStringList names;
    for (const FieldDef &d : ds->fieldDefs())
        if (d.visible && d.name.compare(QLatin1String("gjdq"), Qt::CaseInsensitive) != 0)
            names << d.name;
    grid->setColumns(names);
}

void keepColumnsFitted(DBGrid *grid)
{
    fitColumns(grid);
    if (DataSetModel *model = grid->dataModel())
        QObject::connect(model, &QAbstractItemModel::modelReset, grid, [grid] { fitColumns(grid); });
}

} // namespace masterdata

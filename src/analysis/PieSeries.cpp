#include "analysis/PieSeries.h"

PieSeries::PieSeries(QObject *parent) : QAbstractListModel(parent)
{
}

QColor PieSeries::colourOf(int index)
{
    // Neighbouring slices always differ; the cycle is long enough that the first and the
    // last of a short list rarely meet in the same colour.
    static const QRgb palette[] = {0xff4e79a7, 0xfff28e2b, 0xffe15759, 0xff76b7b2, 0xff59a14f, 0xffedc948,
                                   0xffb07aa1, 0xffff9da7, 0xff9c755f, 0xffbab0ac, 0xff1f77b4, 0xff2ca02c,
                                   0xffd62728, 0xff9467bd, 0xff8c564b, 0xff17becf, 0xffbcbd22};
    static_assert(sizeof(palette) / sizeof(palette[0]) == ColourCount);
    return QColor::fromRgba(palette[index % ColourCount]);
}

void PieSeries::setSlices(const QList<QPair<QString, Money>> &rows)
{
    beginResetModel();
    slices_.clear();
    drawn_ = 0;
    slices_.reserve(rows.size());
    // Summed on ten-thousandths, so the shares do not depend on the order of addition.
    __extension__ __int128 total = 0;
    for (const auto &r : rows)
        if (r.second > Money())
            total += r.second.raw();
    double at = 0;
    for (const auto &r : rows) {
        PieSlice s;
        s.label = r.first;
        s.value = r.second;
        s.drawn = r.second > Money() && total > 0;
        s.colour = s.drawn ? colourOf(drawn_) : QColor(Qt::lightGray);
        if (s.drawn) {
            s.start = at;
            s.span = 360.0 * double(r.second.raw()) / double(total);
            at += s.span;
            ++drawn_;
        }
        slices_.append(s);
    }
    endResetModel();
}

int PieSeries::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PieSeries::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= count())
        return {};
    const PieSlice &s = slices_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return s.label;
    case Qt::DecorationRole:
        return s.colour;
    case ValueTextRole:
        return s.value.toString();
    case DrawnRole:
        return s.drawn;
    case Qt::ToolTipRole:
        return s.label + QStringLiteral("：") + s.value.toString() + (s.drawn ? QString() : QStringLiteral("（0或负数，未画入饼图）"));
    default:
        return {};
    }
}

#pragma once
// The slices of a pie chart, one per row of its data set in the rows' order, and the
// legend's model. A slice with a value of zero or below cannot be drawn as a piece of
// the pie: it stays in the legend with its value and is left out of the pie.
#include "dataset/Money.h"

#include <QAbstractListModel>
#include <QColor>
#include <QList>
#include <QString>

struct PieSlice {
    QString label;
    Money value;      // exact: the legend shows it as the database summed it
    QColor colour;
    bool drawn = false;   // a piece of the pie (value above zero)
    double start = 0;     // degrees from the top, anticlockwise; drawn slices only
    double span = 0;
};

class PieSeries : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ValueTextRole = Qt::UserRole + 1, DrawnRole };

    explicit PieSeries(QObject *parent = nullptr);

    // Replaces every slice; the drawn ones share the full circle by their values.
    void setSlices(const QList<QPair<QString, Money>> &rows);
    const QList<PieSlice> &slices() const { return slices_; }
    int count() const { return int(slices_.size()); }
    int drawnCount() const { return drawn_; }
    int undrawnCount() const { return count() - drawn_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static QColor colourOf(int index);
    static constexpr int ColourCount = 17;  // colours before they repeat

private:
    QList<PieSlice> slices_;
    int drawn_ = 0;
};

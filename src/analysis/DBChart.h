#pragma once
// A pie chart bound to a data set: one slice per row in the rows' order, drawn
// anticlockwise from the top, a mark with the label and a leader line on each slice that
// has room for one, and a legend on the right listing every row with its value. It reads
// its data set again whenever the data set is reopened.
//
// The pie is painted here rather than by a chart library: a history of 20,000 products
// is 20,000 slices, and a chart that makes one graphics item per slice takes most of a
// minute to show them; this one paints every slice pixel by pixel in a few milliseconds.
#include "dataset/DataSet.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class PieSeries;
class QLabel;
class QListView;

class DBChart : public QWidget {
    Q_OBJECT
public:
    explicit DBChart(QWidget *parent = nullptr);
    ~DBChart() override;

    void setTitle(const QString &title);
    QString title() const;
    // Columns by name, or by position as "#1".
    void setDataSet(DataSet *ds, const QString &labelColumn, const QString &valueColumn);
    DataSet *dataSet() const { return ds_; }

    PieSeries *series() const { return series_; }
    QListView *legend() const { return legend_; }
    QLabel *legendNote() const { return note_; }

    // A mark as placed at the pie's present size, in the chart's coordinates.
    struct Mark {
        int slice = -1;
        QString text;   // the label, shortened with "…" where the side has no room for it
        QRect rect;
        QPoint anchor;  // on the rim of the slice
    };
    QList<Mark> marks() const;
    // The pie's circle in the chart's coordinates (empty when there is no room).
    QRect pieRect() const;

    // Reads the bound data set again.
    void reload();

private:
    friend class PieView;
    QLabel *titleLabel_;
    class PieView *pie_;
    QListView *legend_;
    QLabel *note_;
    PieSeries *series_;
    QPointer<DataSet> ds_;
    QString labelColumn_, valueColumn_;
    bool reloading_ = false;
};

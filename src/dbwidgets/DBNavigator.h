#pragma once
// Ten-button record navigator: first, prior, next, last, insert, delete, edit, post,
// cancel, refresh.
#include "dataset/DataSet.h"

#include <QPointer>
#include <QToolButton>
#include <QWidget>

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Count };

    explicit DBNavigator(QWidget *parent = nullptr);
    void setDataSet(DataSet *ds);
    DataSet *dataSet() const { return ds_; }
    QToolButton *button(Button b) const { return buttons_[b]; }
    void click(Button b);

private:
    void updateButtons();
    QPointer<DataSet> ds_;
    QToolButton *buttons_[Count] = {};
};

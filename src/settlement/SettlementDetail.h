#pragma once
// The detail window of one party ("收款详细处理" / "付款详细处理"): its unpaid lines up to a
// picked day and its money rows; "部分结算" settles exactly the lines up to that day.
// A top-level window of its own, created anew for every double click; it outlives the
// screen that opened it.
#include "dataset/DataSet.h"
#include "dataset/Money.h"
#include "settlement/Settlement.h"

#include <QString>
#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

class DBGrid;
class DBNavigator;
class DataModule;
struct SettlementScreen;

class SettlementDetail : public QWidget {
    Q_OBJECT
public:
    struct Words {
        QString objectName, caption, balanceLabel;
        Money *partialSum;  // ysdPartialSum / yfdPartialSum: one for the whole program
    };
    // The party's lines must already be in the screen's line list.
    SettlementDetail(DataModule &main, const SettlementScreen &screen, const Words &words, const QString &party,
                     QWidget *parent);
    ~SettlementDetail() override;

    QDateEdit *DateTimePicker2;
    QLabel *Label1, *Label8, *Label2;
    QLineEdit *Editzjr, *Editzyr, *Editkh;
    QPushButton *ButtonRK;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1, *DBGrid2;
    QStatusBar *StatusBar1;

    QString party() const { return party_; }

    void FormCreate();
    void DateTimePicker2DropDown();
    void DateTimePicker2Change();
    void ButtonRKClick();

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildUi();
    // A filter of this window on a shared data set; the last window to set one owns it.
    void setOwnFilter(DataSet *ds, const QList<FilterCondition> &conditions);
    void dropOwnFilter(DataSet *ds);
    void showFigures();

    DataModule &m_;
    const SettlementScreen &s_;
    Words w_;
    QString party_;
    settlement::Service service_;
    DataSet *lines_, *table_;
    // False once another screen has put its own statement into the line list.
    bool linesOurs_ = true;
};

#pragma once
// The password window: the logged-in user changes their own password.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class DataModule;
class DBText;

class TFormmmxg : public QWidget {
    Q_OBJECT
public:
    // A window of its own on top of the others, freed when closed; a new one on every use.
    TFormmmxg(DataModule &main, QWidget *parent);

    QLabel *Label1, *Label3, *Label4, *Label5, *Label6, *Label7;
    DBText *DBText1;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *Button1;

    void Button1Click();

private:
    DataModule &main_;
};

#pragma once
// The login dialog: the employee number selects an account, its password lets it in.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Tmain;
class DBText;

class TFormdl : public QDialog {
    Q_OBJECT
public:
    explicit TFormdl(Tmain &main, QWidget *parent = nullptr);

    bool loggedIn() const { return loggedIn_; }

    QLabel *Label4, *Label7, *Label1, *Label2, *Label3, *Label5, *Label6;
    QComboBox *ComboBox1;
    DBText *DBText1;
    QLineEdit *Password;
    QPushButton *Button1;

    void ComboBox1Change();
    void Button1Click();

protected:
    void FormPaint();
    void FormClose();
    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    Tmain &main_;
    bool loggedIn_ = false;
};

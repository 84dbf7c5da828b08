#pragma once
// Data-aware boxes and labels: each shows its field of the current record. The user's
// first keystroke puts the data set into editing; the text is written into the field
// when the box loses focus, and before the data set posts or moves.
#include "dataset/DataSet.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

class FieldLink : public DataEditor {
public:
    virtual ~FieldLink();
    void bindField(DataSet *ds, const QString &field);
    DataSet *dataSet() const { return ds_; }
    QString fieldName() const { return field_; }
    void commitPending() override;
    void discardPending() override;

protected:
    virtual QWidget *widget() = 0;
    virtual QString controlText() const = 0;
    virtual void showText(const QString &text) = 0;
    void userTyped();          // first keystroke: the data set goes into editing
    void refresh();            // show the field of the current record
    int fieldIndex() const;
    bool dirty_ = false;
    bool showing_ = false;
    QPointer<DataSet> ds_;
    QString field_;
    QMetaObject::Connection conn_;
};

class DBEdit : public QLineEdit, public FieldLink {
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);
    void setDataField(DataSet *ds, const QString &field);

protected:
    QWidget *widget() override { return this; }
    QString controlText() const override { return text(); }
    void showText(const QString &t) override;
    void focusOutEvent(QFocusEvent *e) override;
};

class DBComboBox : public QComboBox, public FieldLink {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget *parent = nullptr);
    void setDataField(DataSet *ds, const QString &field);
    // Shows a text without touching the record (as setting the box's text from code does).
    void setShownText(const QString &t);

protected:
    QWidget *widget() override { return this; }
    QString controlText() const override { return currentText(); }
    void showText(const QString &t) override;
    void focusOutEvent(QFocusEvent *e) override;
};

class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget *parent = nullptr);
    void setDataField(DataSet *ds, const QString &field);

private:
    void refresh();
    QPointer<DataSet> ds_;
    QString field_;
};

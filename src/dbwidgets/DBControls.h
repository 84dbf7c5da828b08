#pragma once
// Data-aware boxes and labels: each shows its field of the current record. The user's
// first keystroke puts the data set into editing; the text is written into the field
// when the box loses focus, and before the data set posts or moves.
#include "dataset/DataSet.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace dbwidgets {
// What a person typed into a box or a cell, as the field's value: prices and amounts at
// most 4 decimals and within the entry limit, everything else as the field converts it.
// Throws InputError with the message the boxes and the grids show.
QVariant parseEntry(const FieldDef &f, const QString &text);

// The name column of a data set's records (gysmc, gsmc, mz, ...): a new record left
// without a name is dropped, never stored, by every grid, navigator and picker on it.
void setNameField(DataSet *ds, const QString &field);
// Writes pending control edits, then drops the record being inserted if its name is
// empty. True when it dropped one.
bool dropUnnamedRecord(DataSet *ds);
// Stores a pending edit (checkBrowseMode), dropping a new record without its name.
void storePending(DataSet *ds);
} // namespace dbwidgets

class FieldLink : public DataEditor {
public:
    virtual ~FieldLink();
    void bindField(DataSet *ds, const QString &field);
    DataSet *dataSet() const { return ds_; }
    QString fieldName() const { return field_; }
    void commitPending() override;
    void discardPending() override;
    // Leaving the box: a text the field does not take is refused with its message; the
    // record stays as it was and the box keeps the text, so that nothing goes on with
    // the old value unseen.
    void commitOnLeaving();
    // Shows the field but never edits the record: what is typed stays in the box only
    // (a supplier or customer box whose text goes into the line, not into the master row).
    void setDisplayOnly(bool on);
    bool isDisplayOnly() const { return displayOnly_; }

protected:
    virtual QWidget *widget() = 0;
    virtual QString controlText() const = 0;
    virtual void showText(const QString &text) = 0;
    void userTyped();          // first keystroke: the data set goes into editing
    void write(bool revertOnError);
    void refresh();            // show the field of the current record
    int fieldIndex() const;
    bool dirty_ = false;
    bool showing_ = false;
    bool displayOnly_ = false;
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

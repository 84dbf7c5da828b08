#include "dbwidgets/DBControls.h"

#include "dataset/Errors.h"
#include "ui/Seams.h"

#include <QFocusEvent>

// ---------------------------------------------------------------- FieldLink

FieldLink::~FieldLink()
{
    if (ds_)
        ds_->removeEditor(this);
    QObject::disconnect(conn_);
}

void FieldLink::bindField(DataSet *ds, const QString &field)
{
    if (ds_)
        ds_->removeEditor(this);
    QObject::disconnect(conn_);
    ds_ = ds;
    field_ = field;
    dirty_ = false;
    if (ds) {
        ds->addEditor(this);
        conn_ = QObject::connect(ds, &DataSet::dataChanged, widget(), [this] {
            if (!dirty_)
                refresh();
        });
    }
    refresh();
}

int FieldLink::fieldIndex() const
{
    return ds_ ? ds_->fieldIndex(field_) : -1;
}

void FieldLink::refresh()
{
    QString t;
    const int f = fieldIndex();
    if (ds_ && f >= 0 && ds_->isActive())
        ui::guard(nullptr, [&] { t = ds_->fieldByName(field_).asString(); });
    showing_ = true;
    showText(t);
    showing_ = false;
}

void FieldLink::userTyped()
{
    if (showing_ || !ds_ || dirty_)
        return;
    // Mark first: edit() may notify the controls, which must not overwrite the typing.
    dirty_ = true;
    const QString typed = controlText();
    try {
        ds_->edit();
    } catch (const KorvelError &e) {
        dirty_ = false;
        refresh();
        ui::error(widget(), e.message());
        return;
    }
    if (controlText() != typed) {
        showing_ = true;
        showText(typed);
        showing_ = false;
    }
}

void FieldLink::commitPending()
{
    if (!dirty_ || !ds_)
        return;
    dirty_ = false;
    const int f = fieldIndex();
    if (f < 0)
        return;
    try {
        const QString typed = controlText();
        if (!ds_->isEditing())
            ds_->edit();
        ds_->setText(f, typed);
    } catch (const KorvelError &) {
        // The record stays as it was; the box shows the stored value again.
        refresh();
        throw;
    }
}

void FieldLink::discardPending()
{
    dirty_ = false;
    refresh();
}

// ---------------------------------------------------------------- DBEdit

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this] { userTyped(); });
}

void DBEdit::setDataField(DataSet *ds, const QString &field)
{
    bindField(ds, field);
    const int f = fieldIndex();
    if (f >= 0) {
        const FieldDef &d = ds->fieldDef(f);
        if (d.type == FieldType::Text && d.size > 0)
            setMaxLength(d.size);
        setReadOnly(d.readOnly || d.calculated);
    }
}

void DBEdit::showText(const QString &t)
{
    if (text() != t)
        setText(t);
}

void DBEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    ui::guard(this, [this] { commitPending(); });
}

// ---------------------------------------------------------------- DBComboBox

DBComboBox::DBComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { userTyped(); });
    connect(this, &QComboBox::activated, this, [this](int) {
        userTyped();
    });
}

void DBComboBox::setDataField(DataSet *ds, const QString &field)
{
    bindField(ds, field);
    const int f = fieldIndex();
    if (f >= 0) {
        const FieldDef &d = ds->fieldDef(f);
        if (d.type == FieldType::Text && d.size > 0)
            lineEdit()->setMaxLength(d.size);
    }
}

void DBComboBox::setShownText(const QString &t)
{
    showing_ = true;
    if (currentText() != t)
        setEditText(t);
    showing_ = false;
}

void DBComboBox::showText(const QString &t)
{
    if (currentText() != t)
        setEditText(t);
}

void DBComboBox::focusOutEvent(QFocusEvent *e)
{
    QComboBox::focusOutEvent(e);
    ui::guard(this, [this] { commitPending(); });
}

// ---------------------------------------------------------------- DBText

DBText::DBText(QWidget *parent) : QLabel(parent) {}

void DBText::setDataField(DataSet *ds, const QString &field)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    field_ = field;
    if (ds)
        connect(ds, &DataSet::dataChanged, this, &DBText::refresh);
    refresh();
}

void DBText::refresh()
{
    QString t;
    if (ds_ && ds_->isActive() && ds_->fieldIndex(field_) >= 0)
        ui::guard(nullptr, [&] { t = ds_->fieldByName(field_).asString(); });
    setText(t);
}

#include "dbwidgets/DBControls.h"

#include "dataset/Errors.h"
#include "ui/Seams.h"

#include <QFocusEvent>

// ---------------------------------------------------------------- entry rules

namespace dbwidgets {

QVariant parseEntry(const FieldDef &f, const QString &text)
{
    if (f.type == FieldType::Money) {
        const std::optional<Money> m = Money::parseEntry(text, f.displayLabel());
        return m ? QVariant::fromValue(*m) : QVariant();
    }
    return fields::parseText(f, text);
}

namespace {
const char *const NameFieldProperty = "korvelNameField";
}

void setNameField(DataSet *ds, const QString &field)
{
    if (ds)
        ds->setProperty(NameFieldProperty, field);
}

bool dropUnnamedRecord(DataSet *ds)
{
    if (!ds || ds->state() != DataSet::State::Insert)
        return false;
    const QString field = ds->property(NameFieldProperty).toString();
    if (field.isEmpty() || ds->fieldIndex(field) < 0)
        return false;
    ds->updateRecord();
    if (ds->state() != DataSet::State::Insert || !ds->fieldByName(field).asString().trimmed().isEmpty())
        return false;
    ds->cancel();
    return true;
}

void storePending(DataSet *ds)
{
    if (!ds || dropUnnamedRecord(ds))
        return;
    ds->checkBrowseMode();
}

} // namespace dbwidgets

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

void FieldLink::setDisplayOnly(bool on)
{
    displayOnly_ = on;
    dirty_ = false;
}

void FieldLink::userTyped()
{
    if (showing_ || !ds_ || dirty_ || displayOnly_)
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
    write(true);
}

void FieldLink::commitOnLeaving()
{
    ui::guard(widget(), [this] { write(false); });
}

void FieldLink::write(bool revertOnError)
{
    if (!dirty_ || !ds_)
        return;
    const int f = fieldIndex();
    if (f < 0) {
        dirty_ = false;
        return;
    }
    QVariant value;
    try {
        value = dbwidgets::parseEntry(ds_->fieldDef(f), controlText());
    } catch (const KorvelError &) {
        if (revertOnError) {
            // The record stays as it was; the box shows the stored value again.
            dirty_ = false;
            refresh();
        }
        throw;
    }
    dirty_ = false;
    try {
        if (!ds_->isEditing())
            ds_->edit();
        ds_->setValue(f, value);
    } catch (const KorvelError &) {
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
    commitOnLeaving();
}

// ---------------------------------------------------------------- DBComboBox

DBComboBox::DBComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The box keeps the width its layout gives it: one long entry in the list must not
    // widen the panel around it.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
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
    commitOnLeaving();
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

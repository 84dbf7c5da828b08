#pragma once
#include <QString>
#include <QVariant>

enum class FieldType { Text, Memo, SmallInt, Integer, AutoInc, Money, DateTime, Float, Blob };

// One column of a data set as the grids and boxes see it.
struct FieldDef {
    QString name;
    QString label;
    FieldType type = FieldType::Text;
    int size = 0;        // characters, for text fields
    bool visible = true;
    bool readOnly = false;
    bool calculated = false;

    QString displayLabel() const { return label.isEmpty() ? name : label; }
};

namespace fields {
// Converts a value from code into the field's logical type (QString, int, qlonglong,
// Money, QDateTime, double, QByteArray, or null). Throws InputError when it does not fit.
QVariant coerce(const FieldDef &f, const QVariant &v);
// Parses what a user typed into a control or cell. Empty text is null for non-text fields.
QVariant parseText(const FieldDef &f, const QString &text);
// Text a control shows for the value.
QString displayText(const FieldDef &f, const QVariant &v);
// Value read from the engine (int64/double/text/blob) into the field's logical type.
QVariant fromStorage(const FieldDef &f, const QVariant &v);
} // namespace fields

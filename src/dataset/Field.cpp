#include "dataset/Field.h"

#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dataset/Money.h"

#include <QDateTime>
#include <QRegularExpression>

namespace fields {

namespace {

QString nameOf(const FieldDef &f)
{
    return QStringLiteral("“%1”").arg(f.displayLabel());
}

QVariant integerFromText(const FieldDef &f, const QString &raw)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d+$"));
    const QString t = raw.trimmed();
    if (!re.match(t).hasMatch())
        throw InputError(QStringLiteral("“%1”不是有效的整数，%2只能输入整数").arg(raw, nameOf(f)));
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    const qlonglong lo = f.type == FieldType::SmallInt ? -32768 : -2147483648LL;
    const qlonglong hi = f.type == FieldType::SmallInt ? 32767 : 2147483647LL;
    if (!ok || n < lo || n > hi)
        throw InputError(QStringLiteral("%1必须在%2到%3之间").arg(nameOf(f)).arg(lo).arg(hi));
    return f.type == FieldType::SmallInt || f.type == FieldType::Integer ? QVariant(int(n)) : QVariant(n);
}

void checkLength(const FieldDef &f, const QString &s)
{
    if (f.type == FieldType::Text && f.size > 0 && s.size() > f.size)
        throw InputError(QStringLiteral("%1最多只能输入%2个字符").arg(nameOf(f)).arg(f.size));
}

} // namespace

QVariant parseText(const FieldDef &f, const QString &text)
{
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo:
        checkLength(f, text);
        return text;
    default:
        break;
    }
    if (text.trimmed().isEmpty())
        return {};
    switch (f.type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return integerFromText(f, text);
    case FieldType::Money: {
        const auto m = Money::parse(text);
        if (!m)
            throw InputError(QStringLiteral("“%1”不是有效的金额，%2只能输入数字").arg(text, nameOf(f)));
        return QVariant::fromValue(*m);
    }
    case FieldType::Float: {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (!ok)
            throw InputError(QStringLiteral("“%1”不是有效的数字").arg(text));
        return d;
    }
    case FieldType::DateTime: {
        bool ok = false;
        const QDateTime dt = fmt::parseUserDateTime(text, &ok);
        if (!ok)
            throw InputError(QStringLiteral("“%1”不是有效的日期，%2请按“2010-5-7”的格式输入").arg(text, nameOf(f)));
        return dt;
    }
    case FieldType::Blob:
        return text.toUtf8();
    default:
        return text;
    }
}

QVariant coerce(const FieldDef &f, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    const QMetaType mt = v.metaType();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString s;
        if (mt == QMetaType::fromType<Money>())
            s = v.value<Money>().toString();
        else if (mt.id() == QMetaType::QDateTime)
            s = fmt::displayDateTime(v.toDateTime());
        else if (mt.id() == QMetaType::QDate)
            s = fmt::shortDate(v.toDate());
        else if (mt.id() == QMetaType::Double)
            s = fmt::generalNumber(v.toDouble());
        else
            s = v.toString();
        checkLength(f, s);
        return s;
    }
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (mt.id() == QMetaType::QString)
            return parseText(f, v.toString());
        if (mt == QMetaType::fromType<Money>())
            return integerFromText(f, QString::number(v.value<Money>().raw() / Money::Scale));
        if (mt.id() == QMetaType::Double)
            return integerFromText(f, QString::number(qlonglong(v.toDouble())));
        return integerFromText(f, QString::number(v.toLongLong()));
    case FieldType::Money:
        if (mt == QMetaType::fromType<Money>())
            return v;
        if (mt.id() == QMetaType::QString)
            return parseText(f, v.toString());
        if (mt.id() == QMetaType::Double)
            return QVariant::fromValue(Money::fromDouble(v.toDouble()));
        return QVariant::fromValue(Money::fromUnits(v.toLongLong()));
    case FieldType::DateTime:
        if (mt.id() == QMetaType::QDateTime)
            return fmt::wallClock(v.toDateTime());
        if (mt.id() == QMetaType::QDate)
            return fmt::wallClock(v.toDate());
        return parseText(f, v.toString());
    case FieldType::Float:
        if (mt == QMetaType::fromType<Money>())
            return v.value<Money>().toDouble();
        if (mt.id() == QMetaType::QString)
            return parseText(f, v.toString());
        return v.toDouble();
    case FieldType::Blob:
        return v.toByteArray();
    }
    return v;
}

QVariant fromStorage(const FieldDef &f, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo:
        return v.toString();
    case FieldType::SmallInt:
    case FieldType::Integer:
        return v.toInt();
    case FieldType::AutoInc:
        return v.toLongLong();
    case FieldType::Money:
        if (v.metaType().id() == QMetaType::Double)
            return QVariant::fromValue(Money::fromDouble(v.toDouble()));
        if (v.metaType().id() == QMetaType::QString)
            return QVariant::fromValue(Money::parse(v.toString()).value_or(Money()));
        return QVariant::fromValue(Money::fromRaw(v.toLongLong()));
    case FieldType::DateTime:
        return fmt::parseStorage(v.toString());
    case FieldType::Float:
        return v.toDouble();
    case FieldType::Blob:
        return v.toByteArray();
    }
    return v;
}

QString displayText(const FieldDef &f, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    const QMetaType mt = v.metaType();
    if (mt == QMetaType::fromType<Money>())
        return v.value<Money>().toString();
    if (mt.id() == QMetaType::QDateTime)
        return fmt::displayDateTime(v.toDateTime());
    if (mt.id() == QMetaType::Double)
        return fmt::generalNumber(v.toDouble());
    if (f.type == FieldType::Blob)
        return QStringLiteral("(图片)");
    return v.toString();
}

} // namespace fields

#include "dataset/DataSet.h"

#include "dataset/Errors.h"
#include "dataset/Formats.h"

#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

namespace {

constexpr int WindowSize = 100;
constexpr int CacheLimit = 20000;

const QRegularExpression &selectStarRe()
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)\\b(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re;
}

const QRegularExpression &joinRe()
{
    static const QRegularExpression re(QStringLiteral("\\b(group\\s+by|union|join)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression &trailingOrderRe()
{
    static const QRegularExpression re(QStringLiteral("\\s+order\\s+by\\s+[^()']*$"), QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression &limitRe()
{
    static const QRegularExpression re(QStringLiteral("\\blimit\\b"), QRegularExpression::CaseInsensitiveOption);
    return re;
}

// A statement for a set of rows: its order cannot change the set unless a LIMIT picks
// the rows by it, and without the order the engine need not sort.
QString withoutOrder(const QString &sql)
{
    if (limitRe().match(sql).hasMatch())
        return sql;
    QString s = sql;
    s.remove(trailingOrderRe());
    return s;
}

const QRegularExpression &orderOrLimitRe()
{
    static const QRegularExpression re(QStringLiteral("\\b(order\\s+by|limit)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString quoteIdent(const QString &name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString opText(FilterCondition::Op op)
{
    switch (op) {
    case FilterCondition::Eq: return QStringLiteral("=");
    case FilterCondition::Ne: return QStringLiteral("<>");
    case FilterCondition::Lt: return QStringLiteral("<");
    case FilterCondition::Le: return QStringLiteral("<=");
    case FilterCondition::Gt: return QStringLiteral(">");
    case FilterCondition::Ge: return QStringLiteral(">=");
    }
    return QStringLiteral("=");
}

// Three-way comparison of two values of one field; nullopt when either is null.
std::optional<int> compareValues(const FieldDef &f, const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull() || !a.isValid() || !b.isValid())
        return std::nullopt;
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const int c = a.toString().compare(b.toString(), Qt::CaseInsensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case FieldType::Money: {
        const Money x = fmt::toMoney(a), y = fmt::toMoney(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::DateTime: {
        // Wall-clock values: compared by their date and time, never through a time zone.
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        const auto kx = std::pair(x.date().toJulianDay(), x.time().msecsSinceStartOfDay());
        const auto ky = std::pair(y.date().toJulianDay(), y.time().msecsSinceStartOfDay());
        return kx < ky ? -1 : (kx > ky ? 1 : 0);
    }
    case FieldType::Float: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
}

} // namespace

// ---------------------------------------------------------------- CalcRow / Field

QVariant CalcRow::value(const QString &name) const
{
    return values_.value(ds_.requireField(name));
}

int CalcRow::asInt(const QString &name) const
{
    return value(name).toInt();
}

Money CalcRow::asMoney(const QString &name) const
{
    return fmt::toMoney(value(name));
}

QString CalcRow::asString(const QString &name) const
{
    const int i = ds_.requireField(name);
    return fields::displayText(ds_.fieldDef(i), values_.value(i));
}

void CalcRow::setValue(const QString &name, const QVariant &v)
{
    const int i = ds_.requireField(name);
    values_[i] = fields::coerce(ds_.fieldDef(i), v);
}

QVariant Field::value() const { return ds_->value(index_); }
bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}
QString Field::asString() const { return fields::displayText(def(), value()); }
int Field::asInteger() const { return value().toInt(); }
Money Field::asMoney() const { return fmt::toMoney(value()); }
double Field::asFloat() const
{
    const QVariant v = value();
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toDouble();
    return v.toDouble();
}
QDateTime Field::asDateTime() const { return value().toDateTime(); }
void Field::setValue(const QVariant &v) { ds_->setValue(index_, v); }
void Field::setAsString(const QString &text) { ds_->setText(index_, text); }
const FieldDef &Field::def() const { return ds_->fieldDef(index_); }

// ---------------------------------------------------------------- notifications

DataSet::NotifyScope::NotifyScope(DataSet &ds) : ds_(ds)
{
    ++ds_.notifyDepth_;
}

DataSet::NotifyScope::~NotifyScope()
{
    if (--ds_.notifyDepth_ > 0)
        return;
    if (!ds_.queueFlush_) {
        ds_.flushNotes();
        return;
    }
    // A first read inside a getter (a view asking for its row count while it lays itself
    // out): the observers hear of it from the event loop, never inside that getter.
    ds_.queueFlush_ = false;
    if (ds_.flushQueued_ || ds_.notes_ == 0)
        return;
    ds_.flushQueued_ = true;
    QMetaObject::invokeMethod(
        &ds_,
        [ds = &ds_] {
            ds->flushQueued_ = false;
            if (ds->notifyDepth_ == 0)
                ds->flushNotes();
        },
        Qt::QueuedConnection);
}

void DataSet::note(int what)
{
    notes_ |= what;
    if (notifyDepth_ == 0)
        flushNotes();
}

void DataSet::noteRow(int row)
{
    if (!changedRows_.contains(row))
        changedRows_.append(row);
    note(NoteData);
}

void DataSet::flushNotes()
{
    if (notes_ == 0 && changedRows_.isEmpty())
        return;
    const int notes = notes_;
    const QList<int> rows = changedRows_;
    notes_ = 0;
    changedRows_.clear();
    const QPointer<DataSet> self(this);
    // Observers may act on the data set; each signal goes out only while it still exists.
    auto send = [&](auto signal, auto... args) {
        if (self)
            (this->*signal)(args...);
    };
    if (notes & NoteClosed)
        send(&DataSet::closed);
    if (notes & NoteOpened)
        send(&DataSet::opened);
    if (notes & NoteState)
        send(&DataSet::stateChanged);
    if (notes & NoteRows)
        send(&DataSet::rowsReset);
    else
        for (int r : rows)
            send(&DataSet::rowChanged, r);
    if (notes & (NoteCurrent | NoteRows))
        send(&DataSet::currentChanged, cur_);
    if (notes & NoteData)
        send(&DataSet::dataChanged);
}

// ---------------------------------------------------------------- DataSet

DataSet::DataSet(Connection &conn, const QString &name, QObject *parent)
    : QObject(parent), conn_(conn), name_(name)
{
    setObjectName(name);
    connect(&conn_, &Connection::written, this, [this](const QString &table) {
        if (keyed_ && loaded_ && table.compare(table_, Qt::CaseInsensitive) == 0)
            invalidateCache();
    });
}

DataSet::~DataSet() = default;

void DataSet::setTable(const QString &table, const QString &orderBy)
{
    close();
    isTable_ = true;
    keyed_ = true;
    table_ = table;
    orderBy_ = orderBy;
    sql_.clear();
    if (!fixed_)
        buildDefsFromTable();
}

void DataSet::setSql(const QString &sql)
{
    close();
    isTable_ = false;
    sql_ = sql;
    const auto m = selectStarRe().match(sql);
    keyed_ = m.hasMatch() && !joinRe().match(m.captured(2)).hasMatch() &&
             !m.captured(2).trimmed().startsWith(u',');
    table_ = keyed_ ? m.captured(1) : QString();
    keyedRest_ = keyed_ ? m.captured(2) : QString();
    if (keyed_ && !fixed_)
        buildDefsFromTable();
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    for (auto &p : params_) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    params_.append({name, value});
}

QVariant DataSet::param(const QString &name) const
{
    for (const auto &p : params_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    return {};
}

void DataSet::clearParams()
{
    params_.clear();
}

void DataSet::setFieldDefs(const QList<FieldDef> &defs)
{
    close();
    fixed_ = true;
    fixedDefs_ = defs;
    defs_ = defs;
}

void DataSet::setResultType(const QString &column, FieldType type, int size)
{
    resultTypes_.insert(column.toLower(), {type, size});
}

void DataSet::buildDefsFromTable()
{
    defs_.clear();
    for (FieldDef f : conn_.catalog().columns(table_)) {
        f.label.clear();  // without a field list, grids head columns by their names
        f.visible = true;
        defs_.append(f);
    }
}

int DataSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < defs_.size(); ++i)
        if (defs_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSet::requireField(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("%1: 找不到字段“%2”").arg(name_, name));
    return i;
}

Field DataSet::fieldByName(const QString &name)
{
    return Field(this, requireField(name));
}

// ---------------------------------------------------------------- open / close

void DataSet::open()
{
    NotifyScope scope(*this);
    if (isActive())
        return;
    if (!isTable_ && sql_.trimmed().isEmpty())
        throw DbError(QStringLiteral("%1: 没有查询语句").arg(name_));
    setState(State::Browse);
    loaded_ = false;
    try {
        execute();
    } catch (...) {
        state_ = State::Inactive;
        loaded_ = false;
        throw;
    }
    if (afterOpen)
        afterOpen(*this);
    note(NoteOpened);
    note(NoteRows);
    note(NoteData);
}

void DataSet::openDeferred()
{
    NotifyScope scope(*this);
    if (isActive())
        return;
    setState(State::Browse);
    loaded_ = false;
    note(NoteOpened);
    note(NoteRows);
}

void DataSet::ensureLoaded()
{
    if (state_ == State::Inactive || loaded_)
        return;
    NotifyScope scope(*this);
    if (notifyDepth_ == 1)
        queueFlush_ = true;
    note(NoteRows | NoteData);
    const bool runHandler = afterOpen != nullptr;
    const qint64 orphan = orphanRowid_;
    execute();
    if (orphan >= 0 && keyed_) {
        const int at = int(keys_.indexOf(orphan));
        if (at >= 0)
            cur_ = at;
    }
    if (runHandler) {
        // A deferred open runs its after-open handler the first time the rows are looked at.
        afterOpen(*this);
    }
}

void DataSet::close()
{
    NotifyScope scope(*this);
    if (state_ == State::Inactive && !loaded_)
        return;
    discardEditors();
    state_ = State::Inactive;
    loaded_ = false;
    keys_.clear();
    cache_.clear();
    rows_.clear();
    windows_.clear();
    windowedActive_ = false;
    windowedCount_ = 0;
    buf_.clear();
    modified_.clear();
    insertRow_ = -1;
    orphanRowid_ = -1;
    cur_ = -1;
    eof_ = bof_ = true;
    note(NoteState);
    note(NoteClosed);
    note(NoteRows);
    note(NoteData);
}

void DataSet::refresh()
{
    NotifyScope scope(*this);
    checkBrowseMode();
    if (!isActive())
        return open();
    ensureLoaded();
    const qint64 rowid = (keyed_ && cur_ >= 0 && cur_ < keys_.size()) ? keys_[cur_] : -1;
    const int oldRow = cur_;
    loaded_ = false;
    execute();
    if (keyed_ && rowid >= 0) {
        const int at = keys_.indexOf(rowid);
        cur_ = at >= 0 ? at : std::min(oldRow, int(keys_.size()) - 1);
    }
    eof_ = bof_ = recordCount() == 0;
    note(NoteRows);
    note(NoteCurrent);
    note(NoteData);
}

void DataSet::invalidateCache()
{
    NotifyScope scope(*this);
    cache_.clear();
    if (loaded_)
        note(NoteRows | NoteData);
}

void DataSet::reloadAfterRollback()
{
    NotifyScope scope(*this);
    if (!isActive())
        return;
    // Whatever was being edited or inserted in the transaction is gone with it.
    discardEditors();
    buf_.clear();
    modified_.clear();
    insertRow_ = -1;
    setState(State::Browse);
    note(NoteRows | NoteData);
    if (!loaded_) {
        // Nothing was read yet (a table opened only to take new rows): nothing to read again.
        orphanRowid_ = -1;
        cur_ = -1;
        eof_ = bof_ = true;
        return;
    }
    const int oldRow = cur_;
    loaded_ = false;
    try {
        execute();
    } catch (const KorvelError &) {
        // The data set stays open on what it could read.
    }
    if (oldRow >= 0 && recordCount() > 0)
        cur_ = std::min(oldRow, recordCount() - 1);
}

int DataSet::execSql()
{
    NotifyScope scope(*this);
    close();
    Statement st(conn_.handle(), sql_);
    st.bind(params_);
    while (st.step()) {
    }
    conn_.touched(this);
    return conn_.changes();
}

QString DataSet::keyedColumnList() const
{
    QStringList cols;
    for (const FieldDef &f : defs_)
        if (!f.calculated)
            cols << quoteIdent(f.name);
    return cols.join(u',');
}

QString DataSet::filterSql(Params &params) const
{
    QStringList parts;
    int n = 0;
    for (const FilterCondition &c : filter_) {
        // A column of the data set itself, or of its table when the list leaves it out.
        const int own = fieldIndex(c.column);
        const FieldDef *f = own >= 0 ? &defs_[own] : conn_.catalog().find(table_, c.column);
        if (!f)
            throw DbError(QStringLiteral("%1: 过滤条件中的字段“%2”不存在").arg(name_, c.column));
        const QString p = QStringLiteral(":__f%1").arg(n++);
        parts << quoteIdent(f->name) + opText(c.op) + p;
        QVariant v = c.value;
        if (f->type == FieldType::Text || f->type == FieldType::Memo)
            v = v.isNull() ? QVariant(QString()) : QVariant(v.toString());
        else if (!v.isNull() && v.metaType().id() == QMetaType::QString && v.toString().isEmpty())
            v = QVariant();
        else
            v = fields::coerce(*f, v);
        params.append({p, v});
    }
    return parts.join(QStringLiteral(" AND "));
}

bool DataSet::passesFilter(const QVariantList &values) const
{
    for (const FilterCondition &c : filter_) {
        const int i = fieldIndex(c.column);
        if (i < 0)
            throw DbError(QStringLiteral("%1: 过滤条件中的字段“%2”不存在").arg(name_, c.column));
        QVariant v = c.value;
        if (!v.isNull() && defs_[i].type != FieldType::Text && defs_[i].type != FieldType::Memo)
            v = fields::coerce(defs_[i], v);
        const auto r = compareValues(defs_[i], values.value(i), v);
        if (!r)
            return false;
        bool ok = false;
        switch (c.op) {
        case FilterCondition::Eq: ok = *r == 0; break;
        case FilterCondition::Ne: ok = *r != 0; break;
        case FilterCondition::Lt: ok = *r < 0; break;
        case FilterCondition::Le: ok = *r <= 0; break;
        case FilterCondition::Gt: ok = *r > 0; break;
        case FilterCondition::Ge: ok = *r >= 0; break;
        }
        if (!ok)
            return false;
    }
    return true;
}

void DataSet::loadKeys()
{
    keys_.clear();
    const bool useFilter = filtered_ && !filter_.isEmpty();
    if (isTable_) {
        Params p;
        QString sql = QStringLiteral("SELECT rowid FROM ") + quoteIdent(table_);
        if (useFilter)
            sql += QStringLiteral(" WHERE ") + filterSql(p);
        sql += orderBy_.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                  : QStringLiteral(" ORDER BY ") + orderBy_ + QStringLiteral(", rowid");
        Statement st(conn_.handle(), sql);
        st.bind(p);
        while (st.step())
            keys_.append(st.int64(0));
        return;
    }
    QString sql = QStringLiteral("SELECT ") + table_ + QStringLiteral(".rowid FROM ") + table_ + keyedRest_;
    if (!orderOrLimitRe().match(keyedRest_).hasMatch())
        sql += QStringLiteral(" ORDER BY ") + table_ + QStringLiteral(".rowid");
    {
        Statement st(conn_.handle(), sql);
        st.bind(params_);
        while (st.step())
            keys_.append(st.int64(0));
    }
    if (useFilter) {
        Params p = params_;
        const QString where = filterSql(p);
        const QString fsql = QStringLiteral("SELECT rowid FROM ") + quoteIdent(table_) +
                             QStringLiteral(" WHERE rowid IN (SELECT ") + table_ + QStringLiteral(".rowid FROM ") +
                             table_ + keyedRest_ + QStringLiteral(") AND ") + where;
        Statement st(conn_.handle(), fsql);
        st.bind(p);
        QSet<qint64> pass;
        while (st.step())
            pass.insert(st.int64(0));
        keys_.erase(std::remove_if(keys_.begin(), keys_.end(), [&](qint64 k) { return !pass.contains(k); }),
                    keys_.end());
    }
}

void DataSet::resolveFields(Statement &st)
{
    QList<FieldDef> found;
    for (int i = 0; i < st.columnCount(); ++i) {
        FieldDef f;
        f.name = st.columnName(i);
        const auto byName = resultTypes_.constFind(f.name.toLower());
        const auto byIndex = resultTypes_.constFind(u'#' + QString::number(i));
        if (byName != resultTypes_.constEnd()) {
            f.type = byName->first;
            f.size = byName->second;
        } else if (byIndex != resultTypes_.constEnd()) {
            f.type = byIndex->first;
            f.size = byIndex->second;
        } else if (const FieldDef *c = conn_.catalog().find(st.columnTable(i), st.columnOrigin(i))) {
            f.type = c->type;
            f.size = c->size;
        } else if (!fixed_) {
            // A computed column must say what it holds: read as a bare number, a money sum
            // would show at ten thousand times its value.
            throw DbError(QStringLiteral("%1: 结果列“%2”没有声明类型").arg(name_, f.name));
        }
        found.append(f);
    }
    if (!fixed_)
        defs_ = found;
}

void DataSet::execute()
{
    orphanRowid_ = -1;
    keys_.clear();
    cache_.clear();
    rows_.clear();
    windows_.clear();
    windowedActive_ = false;
    windowedCount_ = 0;
    // A record started before the rows were first read stays the record being inserted.
    const bool inserting = state_ == State::Insert;
    if (!inserting) {
        buf_.clear();
        modified_.clear();
    }
    insertRow_ = -1;
    if (keyed_) {
        loadKeys();
        // The first rows are read at once, as a grid shows them right after opening.
        if (!keys_.isEmpty())
            fetchWindow(0);
    } else if (windowed_ && !(filtered_ && !filter_.isEmpty())) {
        // Only the count now; the rows come in windows where somebody looks.
        {
            Statement st(conn_.handle(), sql_);
            resolveFields(st);
            mapColumns(st);
        }
        Statement count(conn_.handle(), QStringLiteral("SELECT count(*) FROM (") + sql_ + u')');
        count.bind(params_);
        windowedCount_ = count.step() ? int(count.int64(0)) : 0;
        windowedActive_ = true;
    } else {
        Statement st(conn_.handle(), sql_);
        st.bind(params_);
        resolveFields(st);
        const QVector<int> source = mapColumns(st);
        while (st.step()) {
            QVariantList row = readRow(st, source);
            if (!filtered_ || filter_.isEmpty() || passesFilter(row))
                rows_.append(row);
        }
    }
    loaded_ = true;
    if (inserting) {
        insertRow_ = recordCount();
        cur_ = insertRow_;
        bof_ = eof_ = false;
        return;
    }
    cur_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = cur_ < 0;
}

QVector<int> DataSet::mapColumns(Statement &st)
{
    // The statement's columns onto the field list.
    QVector<int> source(defs_.size(), -1);
    for (int i = 0; i < defs_.size(); ++i) {
        for (int c = 0; c < st.columnCount(); ++c)
            if (st.columnName(c).compare(defs_[i].name, Qt::CaseInsensitive) == 0) {
                source[i] = c;
                break;
            }
        if (source[i] < 0 && !defs_[i].calculated)
            throw DbError(QStringLiteral("%1: 找不到字段“%2”").arg(name_, defs_[i].name));
    }
    return source;
}

QVariantList DataSet::readRow(Statement &st, const QVector<int> &source)
{
    QVariantList row;
    row.reserve(defs_.size());
    for (int i = 0; i < defs_.size(); ++i)
        row.append(source[i] < 0 ? QVariant() : fields::fromStorage(defs_[i], st.value(source[i])));
    calc(row);
    return row;
}

QVariantList DataSet::windowedRow(int row)
{
    const int w = row / WindowSize;
    auto it = windows_.constFind(w);
    if (it == windows_.constEnd()) {
        if (windows_.size() > CacheLimit / WindowSize)
            windows_.clear();
        Statement st(conn_.handle(), sql_ + QStringLiteral(" LIMIT %1 OFFSET %2").arg(WindowSize).arg(w * WindowSize));
        st.bind(params_);
        const QVector<int> source = mapColumns(st);
        QList<QVariantList> rows;
        while (st.step())
            rows.append(readRow(st, source));
        it = windows_.insert(w, rows);
    }
    return it->value(row % WindowSize);
}

void DataSet::setWindowedRead(bool on)
{
    close();
    windowed_ = on;
}

void DataSet::calc(QVariantList &values)
{
    if (!onCalcFields)
        return;
    for (int i = 0; i < defs_.size(); ++i)
        if (defs_[i].calculated)
            values[i] = QVariant();
    CalcRow row(*this, values);
    onCalcFields(row);
}

QVariantList DataSet::readKeyedRow(qint64 rowid)
{
    const QString sql = QStringLiteral("SELECT ") + keyedColumnList() + QStringLiteral(" FROM ") + quoteIdent(table_) +
                        QStringLiteral(" WHERE rowid=:id");
    Statement st(conn_.handle(), sql);
    st.bind({{QStringLiteral("id"), rowid}});
    QVariantList row;
    if (st.step()) {
        int c = 0;
        for (const FieldDef &f : defs_)
            row.append(f.calculated ? QVariant() : fields::fromStorage(f, st.value(c++)));
    } else {
        for (int i = 0; i < defs_.size(); ++i)
            row.append(QVariant());
    }
    calc(row);
    return row;
}

void DataSet::fetchWindow(int row)
{
    if (cache_.size() > CacheLimit)
        cache_.clear();
    const int from = std::max(0, row - WindowSize / 4);
    const int to = std::min(int(keys_.size()), from + WindowSize);
    QStringList ids;
    for (int i = from; i < to; ++i)
        if (!cache_.contains(keys_[i]))
            ids << QString::number(keys_[i]);
    if (ids.isEmpty())
        return;
    cache_.insert(readKeyedRows(ids));
}

QHash<qint64, QVariantList> DataSet::readKeyedRows(const QStringList &ids)
{
    QHash<qint64, QVariantList> out;
    if (ids.isEmpty())
        return out;
    out.reserve(ids.size());
    const QString sql = QStringLiteral("SELECT rowid,") + keyedColumnList() + QStringLiteral(" FROM ") +
                        quoteIdent(table_) + QStringLiteral(" WHERE rowid IN (") + ids.join(u',') + u')';
    Statement st(conn_.handle(), sql);
    while (st.step()) {
        QVariantList values;
        values.reserve(defs_.size());
        int c = 1;
        for (const FieldDef &f : defs_)
            values.append(f.calculated ? QVariant() : fields::fromStorage(f, st.value(c++)));
        calc(values);
        out.insert(st.int64(0), values);
    }
    return out;
}

QList<QVariantList> DataSet::listedRows(int from, int count)
{
    QList<QVariantList> out;
    const int to = std::min(from + count, recordCount());
    if (from < 0 || from >= to)
        return out;
    out.reserve(to - from);
    auto buffered = [this](int row) { return (row == cur_ && isEditing()) || row == insertRow_; };
    if (!keyed_) {
        for (int r = from; r < to; ++r)
            out.append(buffered(r) ? buf_ : fetchRow(r));
        return out;
    }
    QStringList ids;
    for (int r = from; r < to; ++r)
        if (!buffered(r))
            ids << QString::number(keys_.at(r));
    const QHash<qint64, QVariantList> read = readKeyedRows(ids);
    QVariantList empty;  // deleted by someone else since the key set was read
    for (int i = 0; i < defs_.size(); ++i)
        empty.append(QVariant());
    for (int r = from; r < to; ++r)
        out.append(buffered(r) ? buf_ : read.value(keys_.at(r), empty));
    return out;
}

QVariantList DataSet::fetchRow(int row)
{
    ensureLoaded();
    if (row < 0 || row >= recordCount())
        return {};
    if (row == insertRow_)
        return buf_;
    if (!keyed_)
        return windowedActive_ ? windowedRow(row) : rows_.at(row);
    const qint64 key = keys_.at(row);
    auto it = cache_.constFind(key);
    if (it == cache_.constEnd()) {
        fetchWindow(row);
        it = cache_.constFind(key);
        if (it == cache_.constEnd()) {
            // Deleted by someone else since the key set was read: show it empty.
            QVariantList empty;
            for (int i = 0; i < defs_.size(); ++i)
                empty.append(QVariant());
            return empty;
        }
    }
    return *it;
}

// ---------------------------------------------------------------- cursor

int DataSet::recordCount()
{
    if (!isActive())
        return 0;
    ensureLoaded();
    const int base = keyed_ ? int(keys_.size()) : windowedActive_ ? windowedCount_ : int(rows_.size());
    return base + (insertRow_ >= 0 ? 1 : 0);
}

int DataSet::recNo()
{
    ensureLoaded();
    return cur_;
}

void DataSet::setCurrent(int row, bool notify)
{
    const int old = cur_;
    cur_ = row;
    if (notify && old != row)
        note(NoteCurrent);
    if (notify)
        note(NoteData);
}

void DataSet::first()
{
    NotifyScope scope(*this);
    checkBrowseMode();
    ensureLoaded();
    const int n = recordCount();
    bof_ = true;
    eof_ = n == 0;
    setCurrent(n > 0 ? 0 : -1);
}

void DataSet::next()
{
    NotifyScope scope(*this);
    checkBrowseMode();
    ensureLoaded();
    const int n = recordCount();
    if (cur_ < n - 1) {
        bof_ = false;
        eof_ = false;
        setCurrent(cur_ + 1);
    } else {
        eof_ = true;
    }
}

void DataSet::prior()
{
    NotifyScope scope(*this);
    checkBrowseMode();
    ensureLoaded();
    if (cur_ > 0) {
        eof_ = false;
        bof_ = false;
        setCurrent(cur_ - 1);
    } else {
        bof_ = true;
    }
}

void DataSet::last()
{
    NotifyScope scope(*this);
    checkBrowseMode();
    ensureLoaded();
    const int n = recordCount();
    eof_ = true;
    bof_ = n == 0;
    setCurrent(n - 1);
}

void DataSet::moveTo(int row)
{
    NotifyScope scope(*this);
    ensureLoaded();
    if (row == cur_ && !isEditing())
        return;
    if (row == cur_)
        return;
    checkBrowseMode();
    const int n = recordCount();
    if (n == 0)
        return;
    row = std::clamp(row, 0, n - 1);
    bof_ = eof_ = false;
    setCurrent(row);
}

// ---------------------------------------------------------------- values

QVariant DataSet::value(int col)
{
    if (col < 0 || col >= defs_.size())
        throw DbError(QStringLiteral("%1: 字段序号%2超出范围").arg(name_).arg(col));
    if (isEditing())
        return buf_.value(col);
    if (!loaded_ && orphanRowid_ >= 0 && isActive()) {
        if (!cache_.contains(orphanRowid_))
            cache_.insert(orphanRowid_, readKeyedRow(orphanRowid_));
        return cache_.value(orphanRowid_).value(col);
    }
    ensureLoaded();
    if (cur_ < 0)
        return {};
    return fetchRow(cur_).value(col);
}

QVariant DataSet::rowValue(int row, int col)
{
    if ((row == cur_ && isEditing()) || row == insertRow_)
        return buf_.value(col);
    return fetchRow(row).value(col);
}

QString DataSet::displayText(int row, int col)
{
    return fields::displayText(defs_.at(col), rowValue(row, col));
}

void DataSet::setValue(int col, const QVariant &v)
{
    NotifyScope scope(*this);
    if (col < 0 || col >= defs_.size())
        throw DbError(QStringLiteral("%1: 字段序号%2超出范围").arg(name_).arg(col));
    const FieldDef &f = defs_[col];
    if (f.calculated)
        throw InputError(QStringLiteral("“%1”是计算出来的，不能修改").arg(f.displayLabel()));
    if (f.readOnly)
        throw InputError(QStringLiteral("“%1”不能修改").arg(f.displayLabel()));
    const QVariant value = fields::coerce(f, v);
    if (!isEditing())
        edit();
    buf_[col] = value;
    modified_[col] = true;
    const auto h = fieldHandlers_.find(f.name.toLower());
    if (h != fieldHandlers_.end() && h->second)
        h->second(*this);
    calc(buf_);
    noteRow(cur_);
    note(NoteData);
}

void DataSet::setText(int col, const QString &text)
{
    setValue(col, fields::parseText(defs_.at(col), text));
}

void DataSet::setFieldChangeHandler(const QString &field, std::function<void(DataSet &)> handler)
{
    fieldHandlers_[field.toLower()] = std::move(handler);
}

// ---------------------------------------------------------------- editing

bool DataSet::canModify() const
{
    return keyed_ && isActive();
}

void DataSet::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    note(NoteState);
}

void DataSet::edit()
{
    NotifyScope scope(*this);
    if (isEditing())
        return;
    if (!isActive())
        throw DbError(QStringLiteral("%1: 数据集没有打开，不能编辑").arg(name_));
    if (!canModify())
        throw DbError(QStringLiteral("%1: 数据集只读，不能编辑").arg(name_));
    conn_.touched(this);
    if (!loaded_ && orphanRowid_ >= 0) {
        buf_ = cache_.contains(orphanRowid_) ? cache_.value(orphanRowid_) : readKeyedRow(orphanRowid_);
        modified_ = QVector<bool>(defs_.size(), false);
        setState(State::Edit);
        return;
    }
    ensureLoaded();
    if (recordCount() == 0) {
        insert();
        return;
    }
    buf_ = fetchRow(cur_);
    modified_ = QVector<bool>(defs_.size(), false);
    setState(State::Edit);
}

void DataSet::insert()
{
    NotifyScope scope(*this);
    // Only a record already under way is posted first; the controls' pending text
    // belongs to the new record when edit() on an empty data set lands here.
    if (isEditing())
        checkBrowseMode();
    if (!isActive())
        throw DbError(QStringLiteral("%1: 数据集没有打开，不能增加").arg(name_));
    if (!canModify())
        throw DbError(QStringLiteral("%1: 数据集只读，不能增加").arg(name_));
    conn_.touched(this);
    // A table opened only to take new rows need not read its key set.
    insertRow_ = loaded_ ? int(keys_.size()) : 0;
    buf_.clear();
    for (int i = 0; i < defs_.size(); ++i)
        buf_.append(QVariant());
    modified_ = QVector<bool>(defs_.size(), false);
    calc(buf_);
    eof_ = bof_ = false;
    state_ = State::Insert;
    cur_ = insertRow_;
    note(NoteState);
    note(NoteRows);
    note(NoteCurrent);
    note(NoteData);
}

bool DataSet::isModified() const
{
    return std::any_of(modified_.begin(), modified_.end(), [](bool b) { return b; });
}

void DataSet::updateRecord()
{
    const QList<DataEditor *> eds = editors_;
    for (DataEditor *e : eds)
        e->commitPending();
}

void DataSet::checkBrowseMode()
{
    if (!isActive())
        return;
    updateRecord();
    if (isEditing())
        post();
}

void DataSet::post()
{
    NotifyScope scope(*this);
    updateRecord();
    if (!isEditing())
        return;
    QStringList cols;
    Params p;
    for (int i = 0; i < defs_.size(); ++i) {
        if (defs_[i].calculated || !modified_[i])
            continue;
        cols << quoteIdent(defs_[i].name);
        p.append({QStringLiteral(":v%1").arg(i), buf_[i]});
    }
    qint64 rowid = -1;
    if (state_ == State::Insert) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO ") + quoteIdent(table_) + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList names;
            for (const auto &pp : p)
                names << pp.first;
            sql = QStringLiteral("INSERT INTO ") + quoteIdent(table_) + u'(' + cols.join(u',') +
                  QStringLiteral(") VALUES (") + names.join(u',') + u')';
        }
        conn_.exec(sql, p);
        rowid = conn_.lastInsertRowid();
        conn_.touched(this);
        if (loaded_) {
            keys_.append(rowid);
            cur_ = int(keys_.size()) - 1;
        } else {
            // The key set stays unread; the new record is current until somebody looks further.
            orphanRowid_ = rowid;
            cur_ = 0;
        }
    } else {
        rowid = currentRowid();
        if (!cols.isEmpty()) {
            QStringList sets;
            for (int k = 0; k < cols.size(); ++k)
                sets << cols[k] + u'=' + p[k].first;
            p.append({QStringLiteral(":rowid"), rowid});
            conn_.exec(QStringLiteral("UPDATE ") + quoteIdent(table_) + QStringLiteral(" SET ") + sets.join(u',') +
                           QStringLiteral(" WHERE rowid=:rowid"),
                       p);
            conn_.touched(this);
        }
    }
    insertRow_ = -1;
    buf_.clear();
    modified_.clear();
    cache_.insert(rowid, readKeyedRow(rowid));
    state_ = State::Browse;
    note(NoteState);
    noteRow(cur_);
    note(NoteData);
}

qint64 DataSet::currentRowid() const
{
    if (!loaded_)
        return orphanRowid_;
    return cur_ >= 0 && cur_ < keys_.size() ? keys_.at(cur_) : -1;
}

void DataSet::cancel()
{
    NotifyScope scope(*this);
    if (!isEditing())
        return;
    discardEditors();
    const bool wasInsert = state_ == State::Insert;
    buf_.clear();
    modified_.clear();
    state_ = State::Browse;
    if (wasInsert) {
        insertRow_ = -1;
        const int n = recordCount();
        cur_ = n > 0 ? std::min(cur_, n - 1) : -1;
        eof_ = bof_ = n == 0;
        note(NoteRows);
    } else {
        noteRow(cur_);
    }
    note(NoteState);
    note(NoteData);
}

void DataSet::remove()
{
    NotifyScope scope(*this);
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (isEditing())
        cancel();
    ensureLoaded();
    if (!canModify())
        throw DbError(QStringLiteral("%1: 数据集只读，不能删除").arg(name_));
    if (cur_ < 0 || recordCount() == 0)
        throw DbError(QStringLiteral("%1: 没有记录，不能删除").arg(name_));
    const qint64 rowid = currentRowid();
    conn_.exec(QStringLiteral("DELETE FROM ") + quoteIdent(table_) + QStringLiteral(" WHERE rowid=:id"),
               {{QStringLiteral("id"), rowid}});
    conn_.touched(this);
    keys_.removeAt(cur_);
    cache_.remove(rowid);
    const int n = recordCount();
    cur_ = n > 0 ? std::min(cur_, n - 1) : -1;
    eof_ = bof_ = n == 0;
    note(NoteRows);
    note(NoteCurrent);
    note(NoteData);
}

// ---------------------------------------------------------------- filter

void DataSet::setFilter(const QList<FilterCondition> &conditions)
{
    NotifyScope scope(*this);
    checkBrowseMode();
    filter_ = conditions;
    if (filtered_ && isActive() && loaded_) {
        execute();
        note(NoteRows);
        note(NoteCurrent);
        note(NoteData);
    }
}

void DataSet::setFiltered(bool on)
{
    NotifyScope scope(*this);
    checkBrowseMode();
    if (filtered_ == on)
        return;
    filtered_ = on;
    if (isActive() && loaded_) {
        execute();
        note(NoteRows);
        note(NoteCurrent);
        note(NoteData);
    }
}

QVariantList DataSet::aggregate(const QList<Aggregate> &columns)
{
    ensureLoaded();
    Params params;
    QString source;
    if (isTable_) {
        source = quoteIdent(table_);
    } else {
        params = params_;
        // Without the order the engine can read a covering index for the totals.
        source = u'(' + withoutOrder(sql_) + u')';
    }
    QStringList list;
    for (const Aggregate &a : columns)
        list << a.expression;
    QString sql = QStringLiteral("SELECT ") + list.join(u',') + QStringLiteral(" FROM ") + source;
    if (filtered_ && !filter_.isEmpty())
        sql += QStringLiteral(" WHERE ") + filterSql(params);
    Statement st(conn_.handle(), sql);
    st.bind(params);
    QVariantList out;
    const bool any = st.step();
    for (int i = 0; i < columns.size(); ++i) {
        FieldDef f;
        f.type = columns[i].type;
        out.append(any ? fields::fromStorage(f, st.value(i)) : QVariant());
    }
    return out;
}

QList<qint64> DataSet::listedKeys()
{
    if (!keyed_)
        throw DbError(QStringLiteral("%1: 不是按行读取的数据集").arg(name_));
    ensureLoaded();
    return keys_;
}

qint64 DataSet::currentKey()
{
    if (!keyed_ || !isActive() || state_ == State::Insert)
        return -1;
    if (loaded_ || orphanRowid_ < 0)
        ensureLoaded();
    return currentRowid();
}

int DataSet::rowOfKey(qint64 rowid)
{
    ensureLoaded();
    return keyed_ ? int(keys_.indexOf(rowid)) : -1;
}

// ---------------------------------------------------------------- editors

void DataSet::addEditor(DataEditor *e)
{
    if (!editors_.contains(e))
        editors_.append(e);
}

void DataSet::removeEditor(DataEditor *e)
{
    editors_.removeAll(e);
}

void DataSet::discardEditors()
{
    const QList<DataEditor *> eds = editors_;
    for (DataEditor *e : eds)
        e->discardPending();
}

#pragma once
// The data set every screen binds to: a table or a statement with named parameters,
// a fixed list of fields, a current record, edit states and typed filters.
//
// Rows are found by a key set of rowids and read in windows as they are needed, so a
// list of a million lines opens without reading them; statements that are not a plain
// "select * from <table> ..." (aggregates, DISTINCT lists) are read whole.
#include "dataset/Connection.h"
#include "dataset/Field.h"
#include "dataset/Money.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <map>

class DataSet;

// A control that holds an edit not yet written into its field.
class DataEditor {
public:
    virtual ~DataEditor() = default;
    // Writes the pending edit into the field; throws InputError if it does not convert.
    virtual void commitPending() = 0;
    // Drops the pending edit (the record was cancelled or changed under it).
    virtual void discardPending() {}
};

struct FilterCondition {
    enum Op { Eq, Ne, Lt, Le, Gt, Ge };
    QString column;
    Op op = Eq;
    QVariant value;
};

// One row handed to a calculation handler.
class CalcRow {
public:
    CalcRow(DataSet &ds, QVariantList &values) : ds_(ds), values_(values) {}
    QVariant value(const QString &name) const;
    int asInt(const QString &name) const;
    Money asMoney(const QString &name) const;
    QString asString(const QString &name) const;
    void setValue(const QString &name, const QVariant &v);

private:
    DataSet &ds_;
    QVariantList &values_;
};

// Convenience access to one field of the current record.
class Field {
public:
    Field(DataSet *ds, int index) : ds_(ds), index_(index) {}
    QVariant value() const;
    bool isNull() const;
    QString asString() const;     // text as a control shows it
    int asInteger() const;         // empty reads as 0
    Money asMoney() const;         // empty reads as 0
    double asFloat() const;
    QDateTime asDateTime() const;
    void setValue(const QVariant &v);
    void setAsString(const QString &text); // parses like a control does
    const FieldDef &def() const;
    int index() const { return index_; }

private:
    DataSet *ds_;
    int index_;
};

class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // Holds the data set's notifications back until the outermost scope ends, then sends
    // each kind once: a row walk, a lazy first read or an assignment with its handlers
    // reaches the grids and boxes as one change, never half done.
    class NotifyScope {
    public:
        explicit NotifyScope(DataSet &ds);
        ~NotifyScope();
        NotifyScope(const NotifyScope &) = delete;
        NotifyScope &operator=(const NotifyScope &) = delete;

    private:
        DataSet &ds_;
    };

    DataSet(Connection &conn, const QString &name, QObject *parent = nullptr);
    ~DataSet() override;

    Connection &connection() const { return conn_; }

    // ---- source
    void setTable(const QString &table, const QString &orderBy = QString());
    void setSql(const QString &sql);   // replacing the statement closes the data set
    QString sql() const { return sql_; }
    QString tableName() const { return table_; }
    bool isTable() const { return isTable_; }
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams();
    // A fixed field list; without one the statement's own columns are exposed.
    void setFieldDefs(const QList<FieldDef> &defs);
    bool hasFixedFields() const { return fixed_; }
    // A long statement that is not a plain table selection (a DISTINCT list of numbers) is
    // counted at open and read in windows where it is looked at, instead of whole.
    void setWindowedRead(bool on);
    // Declared type of a result column of an aggregate ("sum(...) as 总金额" is money).
    void setResultType(const QString &column, FieldType type, int size = 0);

    // ---- open state
    void open();
    // Opened at start: active, but nothing is read until somebody looks.
    void openDeferred();
    void close();
    void refresh();  // close and reopen, keeping the current row where possible
    bool isActive() const { return state_ != State::Inactive; }
    // Executes the statement (update, delete) and leaves the data set closed.
    int execSql();

    // ---- cursor
    int recordCount();
    int recNo();       // current row, -1 when there is none
    bool isEmpty() { return recordCount() == 0; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);

    // ---- fields
    int fieldCount() const { return defs_.size(); }
    const FieldDef &fieldDef(int i) const { return defs_.at(i); }
    const QList<FieldDef> &fieldDefs() const { return defs_; }
    int fieldIndex(const QString &name) const;  // -1 if unknown
    Field fieldByName(const QString &name);
    Field field(int i) { return Field(this, i); }
    QVariant value(int col);                    // current record, edit buffer included
    QVariant value(const QString &name) { return value(requireField(name)); }
    void setValue(int col, const QVariant &v);
    void setValue(const QString &name, const QVariant &v) { setValue(requireField(name), v); }
    void setText(int col, const QString &text); // as typed by a user
    QVariant rowValue(int row, int col);         // any row, for grids
    QString displayText(int row, int col);

    // ---- editing
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }
    bool canModify() const;
    void edit();     // on an empty data set this starts a new record
    void insert();   // new record at the end
    void post();
    void cancel();
    void remove();   // deletes the current record
    // Writes pending control edits into the fields (before posting or moving).
    void updateRecord();
    void checkBrowseMode();  // posts a pending edit
    bool isModified() const;

    // ---- filter
    void setFilter(const QList<FilterCondition> &conditions);
    QList<FilterCondition> filter() const { return filter_; }
    void setFiltered(bool on);
    bool isFiltered() const { return filtered_; }

    // ---- aggregates over exactly the rows the data set shows (its filter and LIMIT
    // included); each result is read as the given type (a money sum stays exact).
    struct Aggregate {
        QString expression;
        FieldType type;
    };
    QVariantList aggregate(const QList<Aggregate> &columns);
    // The rowids of the rows shown, in list order (keyed data sets only): for commands that
    // work on "the listed lines" as the user sees them.
    QList<qint64> listedKeys();
    // The values of the listed rows from..from+count-1 as rowValue() gives them (edit buffer
    // included), for a walk over a long list: a keyed data set reads them in one statement
    // and leaves the rows cached for the grids as they are.
    QList<QVariantList> listedRows(int from, int count);
    // Position of a row in the list, -1 when it is not listed.
    int rowOfKey(qint64 rowid);
    // The rowid of the current record (keyed data sets), -1 when there is none.
    qint64 currentKey();

    // ---- handlers
    std::function<void(DataSet &)> afterOpen;
    std::function<void(CalcRow &)> onCalcFields;
    void setFieldChangeHandler(const QString &field, std::function<void(DataSet &)> handler);

    // ---- bound controls
    void addEditor(DataEditor *e);
    void removeEditor(DataEditor *e);

    // Called by the connection when a transaction this data set wrote in rolls back.
    void reloadAfterRollback();
    // Drops cached rows so that they are read again (after writes by other data sets).
    void invalidateCache();

signals:
    void opened();
    void closed();
    void rowsReset();              // the set of rows changed: open, close, insert, delete, filter
    void rowChanged(int row);      // one row's values changed
    void currentChanged(int row);  // the current record moved
    void stateChanged();
    // Data change as the screens' data sources know it: reopen, move, or a column of the current row.
    void dataChanged();

private:
    friend class CalcRow;
    friend class Field;
    int requireField(const QString &name) const;
    void ensureLoaded();
    void execute();
    void loadKeys();
    void resolveFields(class Statement &st);
    QVector<int> mapColumns(Statement &st);
    QVariantList readRow(Statement &st, const QVector<int> &source);
    QVariantList windowedRow(int row);
    void buildDefsFromTable();
    QVariantList fetchRow(int row);
    void fetchWindow(int row);
    QHash<qint64, QVariantList> readKeyedRows(const QStringList &ids);
    QVariantList readKeyedRow(qint64 rowid);
    void calc(QVariantList &values);
    void setCurrent(int row, bool notify = true);
    QString keyedColumnList() const;
    QString baseStatementForKeys() const;
    QString filterSql(Params &params) const;
    bool passesFilter(const QVariantList &values) const;
    void applyRowFilterIfNeeded();
    void setState(State s);
    void discardEditors();
    qint64 currentRowid() const;

    Connection &conn_;
    QString name_;
    QString sql_;
    QString table_;
    QString orderBy_;
    bool isTable_ = false;
    bool keyed_ = false;        // rows addressed by rowid in table_
    QString keyedRest_;         // "where ... order by ..." of a keyed statement
    Params params_;
    QList<FieldDef> defs_;
    QList<FieldDef> fixedDefs_;
    bool fixed_ = false;
    QHash<QString, QPair<FieldType, int>> resultTypes_;
    std::map<QString, std::function<void(DataSet &)>> fieldHandlers_;
    QList<DataEditor *> editors_;

    State state_ = State::Inactive;
    bool loaded_ = false;       // rows (or keys) have been read
    QVector<qint64> keys_;      // keyed data sets
    QHash<qint64, QVariantList> cache_;
    QList<QVariantList> rows_;  // data sets read whole
    bool windowed_ = false;     // statements read in windows (setWindowedRead)
    bool windowedActive_ = false;
    int windowedCount_ = 0;
    QHash<int, QList<QVariantList>> windows_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    QVariantList buf_;          // edit buffer of the current / new record
    QVector<bool> modified_;
    int insertRow_ = -1;        // row index of the record being inserted
    qint64 orphanRowid_ = -1;   // record posted while the key set was still unread

    QList<FilterCondition> filter_;
    bool filtered_ = false;

    // ---- notifications held back by NotifyScope
    enum Note { NoteOpened = 1, NoteClosed = 2, NoteState = 4, NoteRows = 8, NoteCurrent = 16, NoteData = 32 };
    void note(int what);
    void noteRow(int row);
    void flushNotes();
    int notifyDepth_ = 0;
    int notes_ = 0;
    QList<int> changedRows_;
    bool queueFlush_ = false;   // the outermost scope is a first read inside a getter
    bool flushQueued_ = false;
};

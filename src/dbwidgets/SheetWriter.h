#pragma once
// Writes a list as a spreadsheet file, row by row, without holding the rows: an .xlsx
// workbook (numbers, dates and texts typed as such) or a UTF-8 .csv with a byte order mark.
// The file appears under its name only when it is complete: everything goes to a
// temporary file beside it, renamed at the end; a failure or an abandoned writer leaves
// nothing behind.
#include "dataset/Field.h"
#include "dataset/Money.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace sheet {

enum class Format { Xlsx, Csv };

// One column: its title and the field whose values it holds.
struct Column {
    QString label;
    FieldDef def;
};

// A total written under the rows: its label as the screen shows it and its amount, if the
// screen shows one.
struct Total {
    QString label;
    std::optional<Money> value;
};

// Rows one sheet of a workbook holds: the header, the rows, a blank line and the totals
// must fit.
constexpr qint64 XlsxMaxRows = 1048576;

class Writer {
public:
    // Starts a file that becomes target once finish() succeeds. Throws KorvelError with
    // a message for the user when the folder cannot take it.
    static std::unique_ptr<Writer> create(Format format, const QString &target);
    virtual ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    virtual void header(const QList<Column> &columns) = 0;
    // The values of one row in column order, as the data set holds them.
    virtual void row(const QVariantList &values) = 0;
    // Writes the totals, completes the file and puts it in place; throws KorvelError.
    void finish(const QList<Total> &totals);

    QString target() const { return target_; }

protected:
    explicit Writer(const QString &target);
    const QString &tempPath() const { return temp_; }
    virtual void writeTotals(const QList<Total> &totals) = 0;
    // Completes the temporary file.
    virtual void close() = 0;
    // The message for a write that failed with the system's error number err.
    [[noreturn]] void fail(int err) const;

private:
    QString target_;
    QString temp_;
    bool done_ = false;
};

// Text of a cell as the grid shows it, for widths and for CSV.
QString cellText(const FieldDef &def, const QVariant &value);
// Width of a text in spreadsheet character units (a Chinese character counts two).
int textWidth(const QString &text);

} // namespace sheet

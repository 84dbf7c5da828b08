#pragma once
// Saving a listed selection of lines into stock: every pending or lent line among them
// moves its product's stock by its quantity and becomes "保存", all in one transaction.
#include "store/LineKind.h"

class Connection;
class DataSet;

namespace stock {

// Moves the stock of a line's product by delta: the first product with the line's number,
// or with its name when the line has no number. False when there is no such product; then
// no stock changes.
bool moveStock(Connection &conn, const QString &bh, const QString &mc, qint64 delta);

// Saves the lines the list shows (its own selection, filter included). Each line is decided
// on its status and quantity as stored now, not on what the list read earlier. A line whose
// product is not found stays pending. On any failure nothing is saved and the error names
// the line. Returns how many lines were saved; the list is read again once at the end.
int saveListed(Connection &conn, DataSet &list, const LineKind &kind);

} // namespace stock

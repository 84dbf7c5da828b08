#pragma once
// Column widths that let a person read both the title and a typical entry.
class DBGrid;

namespace masterdata {
void fitColumns(DBGrid *grid);
// Fits the columns now and again whenever the grid's rows are read anew (a reopened
// data set resets the header's sizes).
void keepColumnsFitted(DBGrid *grid);
// Shows the data set's visible fields in their order, less the initials column: that
// one only serves the search.
void hideInitials(DBGrid *grid);
}

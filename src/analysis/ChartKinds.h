#pragma once
// What tells the three analyses apart: their data set, the columns the chart reads,
// their texts and their two statements.
#include <QString>

class DataModule;
class DataSet;

struct ChartKind {
    const char *screen;        // class name, instance flag and object name
    const char *command;
    const char16_t *caption;   // window caption
    const char16_t *title;     // chart title
    DataSet *DataModule::*dataSet;
    const char *labelColumn;   // by name, or "#n" by position
    const char *valueColumn;
    // Over the days from the start day to the end day (parameters rq1 and rq), and over
    // every date when both pickers show the same day.
    const char *rangedSql;
    const char *allDatesSql;
    bool showsProfit;          // the total profit beside the chart

    static const ChartKind &customers();  // TFormkhfx
    static const ChartKind &products();   // TFormspfx
    static const ChartKind &profit();     // TFormlr
};

#!/usr/bin/env python3
# Prints a workbook's first sheet as JSON for the export tests: every row's cells with
# their stored type, value and number format, the frozen pane and the column widths.
import datetime
import json
import sys

import openpyxl


def cell(c):
    v = c.value
    if isinstance(v, (datetime.datetime, datetime.date)):
        v = v.isoformat(sep=" ")
    return {"t": c.data_type, "v": v, "f": c.number_format}


def main(path):
    wb = openpyxl.load_workbook(path)
    ws = wb.worksheets[0]
    out = {
        "freeze": ws.freeze_panes,
        "widths": [ws.column_dimensions[openpyxl.utils.get_column_letter(i)].width
                   for i in range(1, ws.max_column + 1)],
        "rows": [[cell(c) for c in row] for row in ws.iter_rows()],
    }
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])

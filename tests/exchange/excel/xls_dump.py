# Reads a workbook with xlrd (an independent reader) and prints it as JSON:
# sheets, cells (type, value; dates as [y, m, d, h, mi, s]), each cell's bold
# flag and horizontal alignment, and the stored column widths. With "--shape"
# after the file name, the sheets without their cells (a sheet of 65536 rows
# is read in seconds, not the better part of a minute).
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
shape_only = "--shape" in sys.argv[2:]
out = {"biff": book.biff_version, "codepage": book.codepage, "sheets": []}
for sheet in book.sheets():
    rows = []
    for r in range(0 if shape_only else sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            xfx = cell.xf_index
            xf = book.xf_list[xfx] if xfx is not None and 0 <= xfx < len(book.xf_list) else None
            value = cell.value
            if cell.ctype == xlrd.XL_CELL_DATE:
                value = list(xlrd.xldate_as_tuple(value, book.datemode))
            row.append({"t": cell.ctype, "v": value,
                        "bold": xf is not None and book.font_list[xf.font_index].bold == 1,
                        "align": xf.alignment.hor_align if xf is not None else 0})
        rows.append(row)
    widths = {str(c): info.width for c, info in sheet.colinfo_map.items()}
    out["sheets"].append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                          "rows": rows, "widths": widths})
json.dump(out, sys.stdout, ensure_ascii=False)

"""Reads the Stata and spreadsheet files of an export back with pandas, or
the CSV LibreOffice makes of the spreadsheet (--office FILE), and compares
them with the export's CSV and its codebook."""
import csv
import sys

import pandas as pd

folder = sys.argv[1]
book = pd.read_csv(f"{folder}/codebook.csv", dtype=str, keep_default_na=False)
table = pd.read_csv(f"{folder}/clients.csv", dtype=str, keep_default_na=False)
failures = []


def as_csv_text(value):
    """A text as the CSV keeps it: an apostrophe before what a spreadsheet would run."""
    text = "" if pd.isna(value) else str(value)
    return "'" + text if text[:1] in ("=", "+", "-", "@") else text


def as_csv_cell(value, kind):
    if pd.isna(value):
        return ""
    if kind == "text":
        return as_csv_text(value)
    if kind == "date":
        return pd.Timestamp(value).strftime("%Y-%m-%d")
    if kind == "decimal":
        return f"{float(value):.2f}"
    return str(int(value))


def compare(name, data):
    if list(data.columns) != list(table.columns):
        failures.append(f"{name}: other variables")
        return
    for variable, kind in zip(book["variable"], book["type"]):
        got = [as_csv_cell(v, kind) for v in data[variable]]
        if got != list(table[variable]):
            failures.append(f"{name}: {variable} differs: {got[:4]} ...")


def compare_office(path):
    """LibreOffice writes each cell as it shows it: dates and decimals in their formats."""
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    expected = [list(table.columns)] + table.values.tolist()
    texts = set(book["variable"][book["type"] == "text"])
    for r, (got, want) in enumerate(zip(rows, expected)):
        shown = [as_csv_text(c) if table.columns[i] in texts else c for i, c in enumerate(got)]
        if r > 0 and shown != want:
            failures.append(f"LibreOffice: row {r} differs: {shown[:4]} ...")
    if len(rows) != len(expected):
        failures.append(f"LibreOffice: {len(rows)} rows, not {len(expected)}")


def stata_kinds():
    """The extended missing value of each cell whose status names a kind."""
    data = pd.read_stata(f"{folder}/clients.dta", convert_missing=True, convert_dates=False,
                         convert_categoricals=False)
    for variable, kinds in zip(book["variable"], book["missing_kinds"]):
        status = f"{variable}_status"
        if not kinds or status not in table:
            continue
        tags = dict(k.split(" (SPSS ")[0:1] + [k.split("Stata ")[1].rstrip(")")]
                    for k in kinds.split("; "))
        for value, kind in zip(data[variable], table[status]):
            held = value.string if isinstance(value, pd.io.stata.StataMissingValue) else value
            if kind and held != tags[kind]:
                failures.append(f"dta: {variable}: {held} where {tags[kind]} ({kind}) was due")


if "--office" in sys.argv:
    compare_office(sys.argv[sys.argv.index("--office") + 1])
else:
    compare("dta", pd.read_stata(f"{folder}/clients.dta", convert_categoricals=False))
    stata_kinds()
    compare("xlsx", pd.read_excel(f"{folder}/clients.xlsx", sheet_name="clients"))
    if "0070" not in list(table["id_number"]):
        failures.append("the client with leading zeros is missing")

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("pandas: dta and xlsx agree with the CSV" if "--office" not in sys.argv
      else "LibreOffice: the workbook shows the CSV's cells")

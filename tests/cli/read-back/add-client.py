# Adds a client to a record file whose ID number starts with zeros and whose
# name a spreadsheet would take for a formula; age and date of birth typed
# as not available, sex N/A, item 1 not answered.
import sys

fields = [("=Zero Lead", 25), ("0070", 11), ("N", 3), ("0", 1), ("1", 1), ("12", 2), ("1", 1),
          ("N", 10), ("11/20/2026", 10), ("0" + "1" * 159, 160), ("0", 1), ("0", 1)]
record = "".join(value.ljust(width) for value, width in fields).encode("cp1252")
with open(sys.argv[1], "ab") as f:
    f.write(record)

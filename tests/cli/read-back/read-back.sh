#!/usr/bin/env bash
# Exports the demo disk, with a client whose ID number has leading zeros
# added, in every format and reads each file back as researchers do: in R
# (haven, readxl), in pandas and in LibreOffice. Each reader must find the
# CSV's values, the labels, the kinds of missing value as missing, and the
# ID numbers as text. Skipped (77) where a reader is not installed.
# Usage: read-back.sh BUILD_DIR
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
# Debian's Python, with Debian's pandas, whatever other Python is on the PATH.
PYTHON=/usr/bin/python3

missing=()
Rscript -e 'library(haven); library(readxl)' >/dev/null 2>&1 || missing+=("R with haven and readxl")
"$PYTHON" -c 'import pandas, openpyxl' >/dev/null 2>&1 || missing+=("pandas with openpyxl")
command -v soffice >/dev/null || missing+=("LibreOffice")
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: not installed: ${missing[*]} (scripts/test installs them)"
    exit 77
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp -r "$BUILD/demo-disk" "$WORK/disk"
mkdir "$WORK/program"
cp -r "$BUILD/program/." "$WORK/program/"
"$PYTHON" "$HERE/add-client.py" "$WORK/disk/DATA401.MW"

CLI=$BUILD/program/mirrorwise-cli
cd "$WORK"
"$CLI" export --program-dir program --disk disk --missing-kinds --codebook codebook.csv \
    --output clients.csv
for format in sav dta xlsx; do
    "$CLI" export --program-dir program --disk disk --missing-kinds --format "$format" \
        --output "clients.$format"
done
Rscript "$HERE/read-back.R" "$WORK"
"$PYTHON" "$HERE/read-back.py" "$WORK"
# Comma-separated, quoted with ", in UTF-8 (76).
soffice -env:UserInstallation="file://$WORK/office" --headless \
    --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' \
    --outdir "$WORK/office-csv" clients.xlsx >/dev/null 2>&1
"$PYTHON" "$HERE/read-back.py" "$WORK" --office "$WORK/office-csv/clients.csv"
echo "read back: sav, dta and xlsx agree with the CSV in R, pandas and LibreOffice"

# Reads the SPSS, Stata and spreadsheet files of an export back with haven
# and readxl and compares them with the CSV and its codebook.
suppressMessages({
    library(haven)
    library(readxl)
})
dir <- commandArgs(trailingOnly = TRUE)[1]
book <- read.csv(file.path(dir, "codebook.csv"), colClasses = "character")
csv <- read.csv(file.path(dir, "clients.csv"), colClasses = "character", na.strings = NULL)
failures <- character()
check <- function(ok, what) {
    if (!isTRUE(ok)) failures <<- c(failures, what)
}

# A typed text as the CSV keeps it: a leading apostrophe before what a
# spreadsheet would run as a formula.
as_csv_text <- function(x) {
    x <- ifelse(is.na(x), "", as.character(x))
    ifelse(grepl("^[=+@-]", x), paste0("'", x), x)
}

# The kinds of a variable, "not_answered (SPSS -1, Stata .a)", as codes by name.
kind_codes <- function(kinds, which) {
    parts <- regmatches(kinds, gregexpr("[a-z_]+ \\(SPSS -?[0-9]+, Stata \\.[a-z]\\)", kinds))[[1]]
    codes <- sub(if (which == "sav") ".*SPSS (-?[0-9]+),.*" else ".*Stata \\.([a-z])\\)", "\\1", parts)
    setNames(codes, sub(" .*", "", parts))
}

compare <- function(file, data, raw = NULL) {
    check(identical(names(data), names(csv)), paste(file, "has other variables"))
    for (i in seq_len(nrow(book))) {
        v <- book$variable[i]
        type <- book$type[i]
        x <- data[[v]]
        expected <- csv[[v]]
        where <- paste0(file, ": ", v)
        if (type == "text") {
            check(identical(as_csv_text(x), expected), paste(where, "texts differ"))
        } else if (type == "date") {
            got <- format(as.Date(x))
            check(identical(ifelse(is.na(got), "", got), expected), paste(where, "dates differ"))
        } else {
            got <- as.numeric(zap_labels(x))
            check(isTRUE(all.equal(got, as.numeric(ifelse(expected == "", NA, expected)))),
                  paste(where, "values differ"))
        }
        if (is.null(raw)) next
        label <- attr(raw[[v]], "label")
        check(!is.null(label) && startsWith(book$label[i], label), paste(where, "label"))
        coded <- type == "integer" && grepl("^[0-9]+=", book$values[i])
        if (coded) {
            labels <- names(attr(raw[[v]], "labels"))
            texts <- sub("^[0-9]+=", "", strsplit(book$values[i], "; ")[[1]])
            check(all(texts %in% labels), paste(where, "value labels"))
        }
        status <- csv[[paste0(v, "_status")]]
        if (is.null(status) || type == "text") next
        codes <- kind_codes(book$missing_kinds[i], file)
        kinds <- status != ""
        if (!any(kinds)) next
        check(all(is.na(x[kinds])), paste(where, "kinds of missing value not missing"))
        held <- unclass(raw[[v]])[kinds]
        # haven takes an SPSS date's seconds for days since 1970.
        if (file == "sav" && type == "date") held <- round((held + 141428) * 86400)
        found <- if (file == "sav") as.character(as.numeric(held)) else na_tag(held)
        check(identical(unname(found), unname(codes[status[kinds]])),
              paste(where, "kinds of missing value differ"))
    }
}

compare("sav", read_sav(file.path(dir, "clients.sav")),
        read_sav(file.path(dir, "clients.sav"), user_na = TRUE))
dta <- read_dta(file.path(dir, "clients.dta"))
compare("dta", dta, dta)
sheet <- read_excel(file.path(dir, "clients.xlsx"), sheet = "clients", guess_max = 1e5)
compare("xlsx", sheet)
codebook_sheet <- read_excel(file.path(dir, "clients.xlsx"), sheet = "codebook",
                             col_types = "text", na = "")
codebook_sheet[is.na(codebook_sheet)] <- ""
check(identical(as.data.frame(codebook_sheet), book), "xlsx: the codebook sheet differs")
check(nrow(csv) > 0 && "0070" %in% csv$id_number, "the client with leading zeros is missing")

if (length(failures) > 0) {
    writeLines(failures, stderr())
    quit(status = 1)
}
cat("R: sav, dta and xlsx agree with the CSV\n")

#!/usr/bin/env bash
# A print queue of its own for tests: a private print server whose default
# queue turns every job into a PDF file, so that a test can print through
# the system's print path and look at the pages that came out. Nothing of
# the machine's own printing is touched: the server has its own folders and
# socket, and programs reach it through CUPS_SERVER.
#
#   pdf-print-queue.sh start DIR [--not-default]
#                                  sets it up in the empty folder DIR; then
#                                  CUPS_SERVER=DIR/cups.sock, PDFs in DIR/out;
#                                  with --not-default the queue is set up but
#                                  not chosen as the default
#   pdf-print-queue.sh stop DIR    stops the server and removes what start
#                                  put outside DIR
# Needs cupsd, lpadmin and the cups-pdf backend (packages cups, cups-client,
# cups-pdf) and root, which the backend requires.
set -euo pipefail

PPD=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd

usage() {
    echo "usage: $0 start|stop DIR" >&2
    exit 2
}

[ $# -eq 2 ] || { [ $# -eq 3 ] && [ "$3" = --not-default ]; } || usage
dir=$2

# Whether the process runs; one that ended but was not yet reaped does not.
running() {
    [ -r "/proc/$1/stat" ] && ! grep -q '^[0-9]* (.*) Z' "/proc/$1/stat"
}

# The PDF backend reads a queue's settings only from the system's folder,
# under a name taken from the device; the queue's name is unique to DIR.
queue_conf() {
    echo "/etc/cups/cups-pdf-$(cat "$dir/queue").conf"
}

start() {
    local queue=mwtest$$ not_default=${1:-} _
    mkdir -p "$dir"/{spool,cache,state,tmp,log,out}
    # Filters run as the print system's own user: they must reach the job files.
    chmod 755 "$dir"
    chmod 1777 "$dir/tmp"
    echo "$queue" >"$dir/queue"
    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
Printcap $dir/printcap
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
CONF
    cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing No
WebInterface No
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$(queue_conf)" <<CONF
Out $dir/out
Log $dir/log
CONF
    cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/cupsd.pid"
    for _ in $(seq 100); do
        [ -S "$dir/cups.sock" ] && break
        running "$(cat "$dir/cupsd.pid")" || { cat "$dir/log/cupsd.out" >&2; return 1; }
        sleep 0.1
    done
    export CUPS_SERVER=$dir/cups.sock
    lpadmin -p "$queue" -v "cups-pdf:/$queue" -E -m "$PPD" 2>/dev/null
    [ -n "$not_default" ] || lpadmin -d "$queue"
}

stop() {
    local pid _
    if [ -f "$dir/cupsd.pid" ]; then
        pid=$(cat "$dir/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 100); do
            running "$pid" || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$dir/cupsd.pid"
    fi
    [ -f "$dir/queue" ] && rm -f "$(queue_conf)"
    return 0
}

case $1 in
    start) start "${3:-}" ;;
    stop) stop ;;
    *) usage ;;
esac

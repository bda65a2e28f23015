#!/bin/sh
# The Unix side of the printing tests: a CUPS queue that writes PDF files into STATE/out, started and
# removed by the test itself, and the words of the printed files with their positions (pdftotext -bbox).
#   pdf_printer.sh start STATE   queue ready (exit 77 when this machine cannot print to PDF)
#   pdf_printer.sh print STATE EXE  run the printing half of the test (EXE's disabled PdfPrinterJob tests)
#                                in a Wine session of its own: Wine lists the printers only when
#                                the first process of a session starts, before the queue existed
#   pdf_printer.sh words STATE N wait for N PDF files, write STATE/words-1.html .. -N.html
#   pdf_printer.sh stop STATE    remove the queue; stop a scheduler that a run started when no
#                                run's queue is left
state="$2"
# One queue per run: other runs on this machine may print at the same time.
queue="FormsteadTestPDF-${state##*/}"
# Each queue is a PDF backend instance of its own (device cups-pdf:/QUEUE), which reads its settings
# from this file: its output goes to the test's own folder, never to a folder other runs share.
config="/etc/cups/cups-pdf-$queue.conf"
out="$state/out"
# A scheduler started by a run; the last run to leave stops it.
scheduler=/tmp/formstead-print-cupsd.pid

stop_queue() {
    lpadmin -x "$queue" >/dev/null 2>&1
    rm -f "$config"
    if [ -f "$scheduler" ] && ! lpstat -v 2>/dev/null | grep -q 'FormsteadTestPDF-'; then
        kill "$(cat "$scheduler")" 2>/dev/null
        rm -f "$scheduler"
    fi
}

running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

main() {
    case "$1" in
    start)
        mkdir -p "$state" && rm -f "$state/why" || return 1
        for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/bin/pdftotext /usr/lib/cups/backend/cups-pdf; do
            [ -x "$tool" ] || { echo "missing $tool" >"$state/why"; return 77; }
        done
        # 32-bit Wine reaches CUPS only through the i386 client library.
        ls /usr/lib/i386-linux-gnu/libcups.so.2* >/dev/null 2>&1 || { echo "no i386 libcups" >"$state/why"; return 77; }
        if ! running; then
            /usr/sbin/cupsd -f >/dev/null 2>&1 &
            echo $! >"$scheduler"
            tries=0
            until running; do
                tries=$((tries + 1))
                [ $tries -gt 50 ] && { echo "cupsd did not start" >"$state/why"; stop_queue; return 77; }
                sleep 0.1
            done
        fi
        mkdir -p "$out" || return 1
        if ! printf 'Out %s\nGrp lpadmin\nDecodeHexStrings 1\n' "$out" >"$config" 2>/dev/null; then
            echo "cannot write $config" >"$state/why"
            stop_queue
            return 77
        fi
        if ! lpadmin -p "$queue" -v "cups-pdf:/$queue" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E -o PageSize=Letter >/dev/null 2>&1; then
            echo "lpadmin refused the queue" >"$state/why"
            stop_queue
            return 77
        fi
        return 0
        ;;
    print)
        copy="$state/prefix"
        # Hard links are enough: the registry, the only thing the session changes, is copied.
        cp -al "$WINEPREFIX" "$copy" 2>/dev/null || cp -a "$WINEPREFIX" "$copy" || return 1
        for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$reg" "$copy/" || return 1; done
        WINEPREFIX="$copy" WINEDLLOVERRIDES="mscoree,mshtml=" FORMSTEAD_PRINT_QUEUE="$queue" \
            timeout 120 wine "$3" --gtest_also_run_disabled_tests --gtest_filter='DISABLED_PdfPrinterJob.*' >"$state/child.log" 2>&1 </dev/null
        rc=$?
        WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1
        rm -rf "$copy"
        return $rc
        ;;
    words)
        # Only this queue writes to its folder. A file is named <title>-job_<id>.pdf and is complete
        # once its job has left the queue; job order is print order.
        want="$3"
        tries=0
        while :; do
            ready=$(ls "$out" 2>/dev/null | grep -c -- '-job_[0-9]*\.pdf$')
            if [ "$ready" -ge "$want" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then break; fi
            tries=$((tries + 1))
            [ $tries -gt 1200 ] && { echo "only $ready of $want files" >"$state/why"; return 1; }
            sleep 0.1
        done
        ls "$out" | grep -- '-job_[0-9]*\.pdf$' | sed 's/.*-job_\([0-9]*\)\.pdf$/\1 &/' | sort -n | cut -d' ' -f2- >"$state/jobs"
        n=0
        while read -r file; do
            n=$((n + 1))
            pdftotext -bbox "$out/$file" "$state/words-$n.html" || return 1
            rm -f "$out/$file"
        done <"$state/jobs"
        [ "$n" -eq "$want" ] || { echo "$n files for $want jobs" >"$state/why"; return 1; }
        ;;
    stop)
        stop_queue
        rm -rf "$out"
        return 0
        ;;
    *)
        return 2
        ;;
    esac
}

main "$@"
# Wine starts a Unix program without waiting for it: the caller waits for STATE/status-VERB.
echo $? >"$state/status-$1.tmp" && mv "$state/status-$1.tmp" "$state/status-$1"

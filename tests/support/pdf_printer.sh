#!/bin/sh
# The Unix side of the printing tests: a CUPS scheduler of the test's own, with one queue that writes
# PDF files into STATE/out, started and removed by the test itself, and the words of the printed files
# with their positions (pdftotext -bbox). Nothing outside STATE is written: the scheduler has its own
# configuration, socket, spool, logs and backend there, and clients reach it through CUPS_SERVER.
#   pdf_printer.sh start STATE   scheduler and queue ready (exit 77 when this machine cannot print to PDF)
#   pdf_printer.sh print STATE EXE [SUITE]  run the printing half of the test (EXE's disabled tests of
#                                SUITE, DISABLED_PdfPrinterJob when not given)
#                                in a Wine session of its own: Wine lists the printers only when
#                                the first process of a session starts, before the queue existed
#   pdf_printer.sh words STATE N wait for N PDF files, write STATE/words-1.html .. -N.html
#   pdf_printer.sh stop STATE    stop the scheduler and remove everything it made
state="$2"
queue="FormsteadTestPDF"
out="$state/out"
cups="$state/cups"
export CUPS_SERVER="$cups/socket"

# Stops the scheduler this run started and removes its folders.
stop_scheduler() {
    if [ -f "$cups/pid" ]; then
        pid="$(cat "$cups/pid")"
        kill "$pid" 2>/dev/null
        tries=0
        while kill -0 "$pid" 2>/dev/null && [ $tries -lt 100 ]; do tries=$((tries + 1)); sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    fi
    rm -rf "$cups"
}

running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

# The scheduler's folders: its configuration, and a program folder where filters and the rest are the
# system's own and the one backend is a PDF writer into STATE/out (the PostScript each job brings,
# through Ghostscript's pdfwrite as the CUPS-PDF backend calls it, named job_ID.pdf).
configure() {
    mkdir -p "$cups/conf" "$cups/bin/backend" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log" "$out" || return 1
    for part in filter daemon cgi-bin driver monitor notifier; do
        ln -s "/usr/lib/cups/$part" "$cups/bin/$part" || return 1
    done
    cat >"$cups/bin/backend/formsteadpdf" <<'BACKEND' || return 1
#!/bin/sh
[ $# -eq 0 ] && { echo 'file formsteadpdf "Formstead test PDF" "Formstead test PDF"'; exit 0; }
out="${DEVICE_URI#formsteadpdf:}"
part="$out/.job_$1.pdf"
/usr/bin/gs -q -dCompatibilityLevel=1.4 -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$part" \
    -dAutoRotatePages=/PageByPage -dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode \
    -dPDFSETTINGS=/prepress -c -f "${6:--}" || exit 1
chmod 644 "$part" && mv "$part" "$out/job_$1.pdf"
BACKEND
    # Owner only: the scheduler then runs the backend as the user that owns STATE.
    chmod 700 "$cups/bin/backend/formsteadpdf" || return 1
    cat >"$cups/conf/cups-files.conf" <<FILES || return 1
ServerRoot $cups/conf
ServerBin $cups/bin
DataDir /usr/share/cups
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
Printcap $cups/printcap
SystemGroup $(id -gn)
$([ "$(id -u)" -eq 0 ] || echo "User $(id -un)")
FILES
    cat >"$cups/conf/cupsd.conf" <<CONF || return 1
Listen $cups/socket
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
Order allow,deny
Allow all
</Location>
<Policy default>
<Limit All>
Order deny,allow
</Limit>
</Policy>
CONF
}

main() {
    case "$1" in
    start)
        mkdir -p "$state" && rm -f "$state/why" || return 1
        for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/bin/pdftotext /usr/bin/gs \
                    /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd; do
            [ -e "$tool" ] || { echo "missing $tool" >"$state/why"; return 77; }
        done
        # 32-bit Wine reaches CUPS only through the i386 client library.
        ls /usr/lib/i386-linux-gnu/libcups.so.2* >/dev/null 2>&1 || { echo "no i386 libcups" >"$state/why"; return 77; }
        configure || { echo "cannot lay out $cups" >"$state/why"; return 1; }
        /usr/sbin/cupsd -f -c "$cups/conf/cupsd.conf" -s "$cups/conf/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 </dev/null &
        echo $! >"$cups/pid"
        tries=0
        until running; do
            tries=$((tries + 1))
            if [ $tries -gt 100 ]; then
                echo "cupsd did not start: $(cat "$cups/log/cupsd.out" "$cups/log/error_log" 2>/dev/null)" >"$state/why"
                stop_scheduler
                return 77
            fi
            sleep 0.1
        done
        if ! lpadmin -p "$queue" -v "formsteadpdf:$out" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E \
                     -o PageSize=Letter >"$cups/log/lpadmin.out" 2>&1; then
            echo "lpadmin refused the queue: $(cat "$cups/log/lpadmin.out")" >"$state/why"
            stop_scheduler
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
            timeout 120 wine "$3" --gtest_also_run_disabled_tests --gtest_filter="${4:-DISABLED_PdfPrinterJob}.*" >"$state/child.log" 2>&1 </dev/null
        rc=$?
        WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1
        rm -rf "$copy"
        return $rc
        ;;
    words)
        # Only this run's queue writes to its folder. A file is complete once it has its final name
        # and its job has left the queue; job order is print order.
        want="$3"
        tries=0
        while :; do
            ready=$(ls "$out" 2>/dev/null | grep -c '^job_[0-9]*\.pdf$')
            if [ "$ready" -ge "$want" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then break; fi
            tries=$((tries + 1))
            [ $tries -gt 1200 ] && { echo "only $ready of $want files" >"$state/why"; return 1; }
            sleep 0.1
        done
        ls "$out" | grep '^job_[0-9]*\.pdf$' | sed 's/^job_\([0-9]*\)\.pdf$/\1 &/' | sort -n | cut -d' ' -f2- >"$state/jobs"
        n=0
        while read -r file; do
            n=$((n + 1))
            pdftotext -bbox "$out/$file" "$state/words-$n.html" || return 1
            rm -f "$out/$file"
        done <"$state/jobs"
        [ "$n" -eq "$want" ] || { echo "$n files for $want jobs" >"$state/why"; return 1; }
        ;;
    stop)
        stop_scheduler
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

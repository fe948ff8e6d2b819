#!/bin/sh
# Each man page given renders without a single warning from groff (-ww:
# every kind). groff exits 0 after warnings, so anything it says fails.
# Usage: man_pages_render_test.sh PAGE...
if ! command -v groff >/dev/null; then
    echo "SKIP: groff not found (install groff-base)"
    exit 77
fi
status=0
for page in "$@"; do
    if ! warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || [ -n "$warnings" ]; then
        echo "FAIL: $page"
        echo "$warnings"
        status=1
    fi
done
exit $status

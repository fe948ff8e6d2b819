#!/bin/sh
# Runs a validator and fails on anything it reports, hints and pedantic
# remarks included: the validators used here exit 0 after those.
# Usage: quiet_validation.sh PROGRAM ARGUMENT...
if ! report=$("$@" 2>&1); then
    echo "$report"
    exit 1
fi
# appstreamcli's word for a file with nothing to report.
remarks=$(printf '%s\n' "$report" | grep -v -e '^✔ Validation was successful\.$' -e '^$')
if [ -n "$remarks" ]; then
    echo "$remarks"
    exit 1
fi

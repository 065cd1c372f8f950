# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run in steps (scripts/test.sh, .ci/run).

# step NAME COMMAND...: runs the command as a named step, its name printed before it and its time after.
step() {
    local name=$1 started=$SECONDS status=0
    shift
    echo "==> $name"
    "$@" || status=$?
    if [ "$status" = 0 ]; then
        echo "==> $name: $((SECONDS - started)) s"
    else
        echo "==> $name: FAILED (exit status $status) after $((SECONDS - started)) s"
    fi
    return "$status"
}

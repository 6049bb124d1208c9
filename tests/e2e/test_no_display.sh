#!/usr/bin/env bash
# Without a display the game says so, exits with 1 and reads no shader file.
source "$(dirname "$0")/lib.sh" "$@"
unset DISPLAY WAYLAND_DISPLAY
strace -f -e trace=open,openat -o "$E2E_TMP/trace" "$VARNELO" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
code=$?
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
grep -qx 'Failed to initialize OpenGL window.' "$E2E_TMP/stderr" || fail "missing the window failure message"
if grep -q 'Shaders/' "$E2E_TMP/trace"; then
    fail "a shader file was opened: $(grep 'Shaders/' "$E2E_TMP/trace" | head -n 1)"
fi
echo PASS

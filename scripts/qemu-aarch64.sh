#!/usr/bin/env bash
# Runs a cross-built aarch64 Linux program under qemu-user with Debian's aarch64 C library.
# LD_LIBRARY_PATH must name it too: otherwise the host's multiarch libraries can mix in, and
# fork and thread creation then hang.
exec qemu-aarch64 -L /usr/aarch64-linux-gnu -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib "$@"

#!/bin/sh
# Fails unless the program loads only the C and C++ run-times and PCRE2 (and, in a sanitizer
# build, the sanitizers' run-times): the engine stands alone, with nothing of Qt or the editor.
set -eu
program=$1
libs=$(ldd "$program" | awk '{ print $1 }')
echo "$libs"
echo "$libs" | grep -q '^libpcre2-8\.so' || { echo "no PCRE2 in the list: ldd was not read"; exit 1; }
others=$(echo "$libs" | grep -v -E '^(linux-vdso\.so|linux-gate\.so|/lib[^ ]*/ld-linux[^ ]*\.so|libc\.so|libm\.so|libstdc\+\+\.so|libgcc_s\.so|libpcre2-8\.so|libasan\.so|libubsan\.so)' || true)
if [ -n "$others" ]; then
    echo "loads more than the run-times and PCRE2:"
    echo "$others"
    exit 1
fi

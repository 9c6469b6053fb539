#!/usr/bin/env bash
# Two computers, one book: two copies of Leafkeeper, each in a Wine prefix of
# its own (its own wineserver, so neither sees the other's window or counts
# as a second start of it, as on two machines), keep one book file in a
# shared folder. Run by ctest in the Windows tree's prefix and X server.
#
#   TwoComputersTest.sh LEAFKEEPER_EXE LKCTL_EXE LKBOOK_EXE
#
# 1. Each computer types into another page and saves; after both exit the
#    book holds both texts and no conflict.
# 2. Both type into the same page: the book holds both texts, one of them in
#    a copy marked as conflicting, and one of the programs said so.
set -euo pipefail
program=$1
control=$2
lkbook=$3
work=$(mktemp -d)
prefix_a=$WINEPREFIX
prefix_b=$work/prefix-b
shared=$work/shared
book="Z:${shared//\//\\}\\lk.bok"

cleanup() {
    for computer in a b; do
        on "$computer" "$control" quit 10 >/dev/null 2>&1 || true
    done
    WINEPREFIX=$prefix_b wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs a Windows program on one computer, from its own folder.
on() {
    local computer=$1
    shift
    local prefix=$prefix_a
    [ "$computer" = b ] && prefix=$prefix_b
    (cd "$work/$computer" && WINEPREFIX=$prefix wine "$@" </dev/null)
}

# A computer of its own: a copy of the prefix and a folder with the program
# and a settings file naming the shared book and the page shown at start.
prepare() {
    local computer=$1 page=$2
    mkdir -p "$work/$computer"
    cp "$program" "$work/$computer/Leafkeeper.exe"
    printf '[Option]\r\nSave File=%s\r\nBegin Page=%s\r\n' "$book" "$page" >"$work/$computer/Leafkeeper.ini"
}

start() {
    local computer=$1
    local prefix=$prefix_a
    [ "$computer" = b ] && prefix=$prefix_b
    (cd "$work/$computer" && WINEPREFIX=$prefix wine "$work/$computer/Leafkeeper.exe" </dev/null >/dev/null 2>&1 &)
    on "$computer" "$control" wait 60 || fail "Leafkeeper did not start on computer $computer"
}

# The shared book as JSON (UTF-8), read on computer a.
dump() {
    on a "$lkbook" dump "$book" 2>/dev/null || true
}

# Waits (at most 30 seconds) until the shared book holds every text given.
wait_for_texts() {
    for _ in $(seq 150); do
        local json
        json=$(dump)
        local all=yes
        for text in "$@"; do
            grep -qF "\"$text\"" <<<"$json" || all=no
        done
        [ "$all" = yes ] && return 0
        sleep 0.2
    done
    return 1
}

new_book() {
    printf '{"pages": [{"title": "one", "text": "first"}, {"title": "two", "text": "second"}]}' >"$work/book.json"
    on a "$lkbook" build "Z:${work//\//\\}\\book.json" "$book" >/dev/null || fail "lkbook could not write the book"
}

mkdir -p "$shared" "$work/a" "$work/b"
cp -a "$prefix_a" "$prefix_b"

echo "== each computer types into another page"
new_book
prepare a 0
prepare b 1
start a
start b
on a "$control" type "typed on a" || fail "no page shown on a"
on b "$control" type "typed on b" || fail "no page shown on b"
wait_for_texts "typed on a" "typed on b" || fail "the book did not get both texts: $(dump)"
on a "$control" quit 30 || fail "a did not end"
on b "$control" quit 30 || fail "b did not end"
wait_for_texts "typed on a" "typed on b" || fail "the book lost a text at the exit: $(dump)"
if dump | grep -q '競合'; then
    fail "pages changed on one computer each were taken for a conflict: $(dump)"
fi

echo "== both computers type into the same page"
new_book
prepare b 0
start a
start b
on a "$control" type "typed on a" || fail "no page shown on a"
on b "$control" type "typed on b" || fail "no page shown on b"
wait_for_texts "typed on a" "typed on b" || fail "the book did not get both texts: $(dump)"
told=""
for _ in $(seq 50); do
    for computer in a b; do
        if message=$(on "$computer" "$control" answer 0 2>/dev/null); then
            grep -q 'one' <<<"$message" || fail "the message does not name the page: $message"
            told=$computer
        fi
    done
    [ -n "$told" ] && break
    sleep 0.2
done
[ -n "$told" ] || fail "neither computer told of the page changed on both"
dump | grep -q 'one（競合コピー）' || fail "no page marked as the conflicting copy: $(dump)"
on a "$control" quit 30 || fail "a did not end"
on b "$control" quit 30 || fail "b did not end"
wait_for_texts "typed on a" "typed on b" || fail "the book lost a text at the exit: $(dump)"
echo "two computers: passed"

#!/usr/bin/env bash
# What the executable carries, read without running it: it imports only
# Windows' own DLLs, is no larger than 300 KB as the 32-bit program, and holds icon group 1 with images 30001 to 30006, the
# version record with its texts, and the manifest.
# Usage: static_checks.sh OBJDUMP KELVARO.EXE
set -euo pipefail
objdump=$1 exe=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort)
for dll in $imports; do
    case "$dll" in
        KERNEL32.DLL | USER32.DLL | GDI32.DLL | COMCTL32.DLL | OLE32.DLL | MSVCRT.DLL) ;;
        *) fail "imports $dll" ;;
    esac
done

size=$(stat -c %s "$exe")
if "$objdump" -f "$exe" | grep -q 'file format pei-i386'; then
    [ "$size" -le 307200 ] || fail "$size bytes, more than 300 KB"
fi

resources=$(wrestool -l "$exe")
for id in 30001 30002 30003 30004 30005 30006; do
    grep -q -- "--type=3 --name=$id " <<<"$resources" || fail "no icon image $id"
done
[ "$(grep -c -- '--type=3 ' <<<"$resources")" -eq 6 ] || fail "not six icon images"
grep -q -- "--type=14 --name=1 " <<<"$resources" || fail "no icon group 1"
grep -q -- "--type=16 --name=1 " <<<"$resources" || fail "no version record"
grep -q -- "--type=24 --name=1 " <<<"$resources" || fail "no manifest"
manifest=$(wrestool -x --raw --type=24 "$exe")
for setting in 'level="asInvoker"' PerMonitorV2 true/pm; do
    grep -qF "$setting" <<<"$manifest" || fail "the manifest lacks $setting"
done
# The version record's texts, read as the UTF-16 they are stored in.
version=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n')
for text in 080404B0 "自动计算功率因数和功率" Kelvaro.exe 1.00; do
    grep -qF "$text" <<<"$version" || fail "the version record lacks $text"
done

echo "imports: $(echo $imports); icon group 1 with images 30001-30006, version record, manifest"
echo "$size bytes"

#!/usr/bin/env bash
# What the executable carries, read without running it: it imports only
# Windows' own DLLs, is no larger than 300 KB as the 32-bit program, and holds
# icon group 1 with images 30001 to 30006 (16 and 32 pixels, each at 4, 8 and
# 32 bits), the version record with the program's version in numbers and as
# text, and the manifest.
# Usage: static_checks.sh OBJDUMP KELVARO.EXE FILE_VERSION VERSION_TEXT
#   (FILE_VERSION as 1.0.0.0, VERSION_TEXT as 1.00)
set -euo pipefail
objdump=$1 exe=$2 file_version=$3 version_text=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort)
for dll in $imports; do
    case "$dll" in
        KERNEL32.DLL | USER32.DLL | GDI32.DLL | COMCTL32.DLL | OLE32.DLL | OLEAUT32.DLL | MSVCRT.DLL) ;;
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
# The group's entries (14 bytes each, after a 6-byte header), as ID:WIDTH:BITS.
group=($(wrestool -x --raw --type=14 --name=1 "$exe" | od -An -v -tu1))
images=
for ((at = 6; at + 14 <= ${#group[@]}; at += 14)); do
    images+="$((group[at + 12] + 256 * group[at + 13])):${group[at]}:$((group[at + 6] + 256 * group[at + 7])) "
done
expected_images="30001:16:4 30002:16:8 30003:16:32 30004:32:4 30005:32:8 30006:32:32 "
[ "$images" = "$expected_images" ] || fail "icon group 1 holds $images, not $expected_images"
grep -q -- "--type=16 --name=1 " <<<"$resources" || fail "no version record"
grep -q -- "--type=24 --name=1 " <<<"$resources" || fail "no manifest"
manifest=$(wrestool -x --raw --type=24 "$exe")
for setting in 'level="asInvoker"' PerMonitorV2 true/pm; do
    grep -qF "$setting" <<<"$manifest" || fail "the manifest lacks $setting"
done
# The version record's fixed part, after its signature FEEF04BD: file and
# product version, two 16-bit numbers to a double word, for 32-bit Windows,
# an application.
record=$(wrestool -x --raw --type=16 "$exe" | od -An -v -tx1 | tr -s ' \n' '  ')
fixed=($(grep -o 'bd 04 ef fe\( [0-9a-f]\{2\}\)\{36\}' <<<"$record")) ||
    fail "the version record has no fixed part"
word() { # the little-endian double word N after the signature
    local at=$((4 + 4 * $1))
    echo "${fixed[at + 3]}${fixed[at + 2]}${fixed[at + 1]}${fixed[at]}"
}
IFS=. read -r major minor patch build <<<"$file_version"
numbers=$(printf '%04x%04x.%04x%04x' "$major" "$minor" "$patch" "$build")
[ "$(word 1).$(word 2)" = "$numbers" ] || fail "the file version is not $file_version"
[ "$(word 3).$(word 4)" = "$numbers" ] || fail "the product version is not $file_version"
[ "$(word 7)" = 00000004 ] || fail "the version record is not for 32-bit Windows"
[ "$(word 8)" = 00000001 ] || fail "the version record is not an application's"
# Its translation: Chinese (PRC), 0x0804, in code page 1200 (UTF-16).
translation='54 00 72 00 61 00 6e 00 73 00 6c 00 61 00 74 00 69 00 6f 00 6e 00 00 00'
grep -q "$translation\( 00 00\)\? 04 08 b0 04" <<<"$record" ||
    fail "the version record's translation is not 0x0804, 1200"
# Its texts, read as the UTF-16 they are stored in: a name ends one line (after
# the entry's length and type), its text is the next line that is not empty.
version=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n')
grep -q '080404B0$' <<<"$version" || fail "the version record has no string block 080404B0"
for field in "FileDescription=自动计算功率因数和功率" ProductName=Kelvaro InternalName=Kelvaro \
    OriginalFilename=Kelvaro.exe "FileVersion=$version_text" "ProductVersion=$version_text"; do
    name=${field%%=*}
    text=$(awk -v name="$name" 'found && NF { print; exit }
        substr($0, length($0) - length(name) + 1) == name { found = 1 }' <<<"$version")
    [ "$text" = "${field#*=}" ] || fail "the version record's $name is '$text', not '${field#*=}'"
done

echo "imports: $(echo $imports); icon group 1 with images 30001-30006, version record, manifest"
echo "$size bytes"

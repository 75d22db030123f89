#!/bin/sh
# The Windows package: cpack -G ZIP in the mingw build gives tolvane-cli-<version>-windows-x64.zip
# with the programs (their version resource and icon inside), Define, the samples and README.txt
# (UTF-8 with a byte-order mark, CR LF).
#   zip-test.sh BUILD-DIR SOURCE-DIR VERSION OBJDUMP
set -u
build=$1
source=$2
version=$3
objdump=$4
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
name=tolvane-cli-$version-windows-x64

(cd "$build" && cpack -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
[ -f "$work/out/$name.zip" ] || fail "no $name.zip: $(ls "$work/out")"
mkdir "$work/x"
(cd "$work/x" && cmake -E tar xf "$work/out/$name.zip") || fail "the ZIP does not unpack"
top=$work/x/$name
for file in tolvane-cli.exe tolvane-gen.exe README.txt LICENSE.txt "Define/データ項目.txt" \
            samples/G06-50M-48.txt; do
    [ -s "$top/$file" ] || fail "$file is missing"
done
[ "$(ls "$top/samples")" = "$(ls "$source/data/samples")" ] || fail "samples differ: $(ls "$top/samples")"
[ "$(ls "$top/Define")" = "$(ls "$source/data/Define")" ] || fail "Define differs: $(ls "$top/Define")"

readme=$top/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "README.txt has no BOM"
lines=$(wc -l <"$readme")
[ "$(grep -c "$(printf '\r')\$" "$readme")" -eq "$lines" ] || fail "README.txt has lines without CR LF"
grep -q "PowerShell" "$readme" && grep -q "cmd" "$readme" || fail "README.txt says nothing of cmd and PowerShell"
grep -q "$version" "$readme" || fail "README.txt does not name the version"

# The resource types (the first level of the table): 14 a group icon, 16 the version.
for exe in tolvane-cli tolvane-gen; do
    types=$("$objdump" -p "$top/$exe.exe" | grep -E '^[0-9a-f]+   Entry: ID: ')
    echo "$types" | grep -q 'ID: 0x00000e,' || fail "$exe.exe has no icon"
    echo "$types" | grep -q 'ID: 0x000010,' || fail "$exe.exe has no version resource"
    tr -d '\000' <"$top/$exe.exe" | grep -a -q "ProductVersion$version" ||
        fail "$exe.exe: the version resource does not say $version"
done
echo PASS

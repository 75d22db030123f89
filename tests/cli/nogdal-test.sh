#!/bin/sh
# A build without GDAL (-DTOLVANE_WITH_GDAL=OFF, as on a machine without libgdal-dev): only
# tolvane-cli and what it needs, built in a tree of its own that later runs reuse. It links no
# GDAL, refuses GeoPackage and GeoJSON destinations (a conversion, a batch row, a merged file,
# --to-crs) with the clear message before writing anything, and still writes MIF.
set -u
sourceDir=$1
buildDir=$2
define=$3
source=$4
fail() { echo "FAIL: $*"; exit 1; }

# A fifth argument names a program built without GDAL already (the Windows build's).
if [ $# -ge 5 ]; then
    cli=$5
else
    launcher=
    if command -v ccache >/dev/null 2>&1; then
        launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    if [ ! -f "$buildDir/build.ninja" ]; then
        cmake -S "$sourceDir" -B "$buildDir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_WERROR=ON \
            -DTOLVANE_WITH_GDAL=OFF -DTOLVANE_BUILD_GUI=OFF -DTOLVANE_BUILD_TESTS=OFF $launcher \
            >"$buildDir.log" 2>&1 || { cat "$buildDir.log"; fail "configure"; }
    fi
    nice -n 10 cmake --build "$buildDir" --target tolvane-cli -j2 >"$buildDir.log" 2>&1 \
        || { tail -40 "$buildDir.log"; fail "build"; }
    cli=$buildDir/bin/tolvane-cli
    grep -q "TOLVANE_WITH_GDAL:BOOL=OFF" "$buildDir/CMakeCache.txt" \
        || fail "the tree was configured with GDAL"
    ! ldd "$cli" | grep -qi gdal || fail "tolvane-cli links GDAL"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
for dst in out.gpkg out.geojson OUT.JSON; do
    out=$("$cli" convert --define "$define" --item 0 "$source" "$work/$dst" 2>&1); rc=$?
    [ $rc -eq 2 ] || fail "$dst exited $rc: $out"
    echo "$out" | grep -q "This build has no GDAL, so \"$work/$dst\" (GeoPackage or GeoJSON) cannot be written. Use the extension .mif" \
        || fail "$dst: no clear message: $out"
done
[ -z "$(ls -A "$work")" ] || fail "a refused job left files: $(ls -A "$work")"

out=$("$cli" convert --define "$define" --item 0 --to-crs EPSG:6668 "$source" "$work/t.gpkg" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "--to-crs exited $rc: $out"
echo "$out" | grep -q "no GDAL" || fail "--to-crs: no clear message: $out"

crlf() { printf '%s\r\n' "$@"; }
entry() { printf '"%s"\t"%s"\t"%s"\t"%s"' "$1" "$2" "$3" "$4"; }
crlf tolvane 200 0 "" "$(entry 0 "$source" "$work/a.mif" 0)" "$(entry 0 "$source" "$work/b.gpkg" 0)" >"$work/rows.txt"
crlf tolvane 200 -1 "$work/all.gpkg" "$(entry 0 "$source" "$work/a.mif" 0)" "$(entry 0 "$source" "$work/b.mif" 0)" >"$work/merge.txt"
for list in rows merge; do
    out=$("$cli" batch --define "$define" "$work/$list.txt" 2>&1); rc=$?
    [ $rc -eq 2 ] || fail "batch $list exited $rc: $out"
    echo "$out" | grep -q "This build has no GDAL" || fail "batch $list: no clear message: $out"
    [ ! -e "$work/a.mif" ] || fail "batch $list: a row ran"
done

"$cli" -q convert --define "$define" --item 0 "$source" "$work/ok.mif" || fail "MIF is not written"
[ -s "$work/ok.mif" ] && [ -f "$work/ok.mid" ] || fail "no MIF and MID"
echo PASS

#!/usr/bin/env bash
# Whole-conversion benchmark: builds the release programs, writes large source files with
# tolvane-gen into a scratch folder, converts each several times with tolvane-cli and prints one
# table row per case, with the time `cp` takes to copy the produced files measured in the same
# run. The outputs are compared with the checksums in bench/expected-outputs.sha256, which were
# recorded with the converter before any speed work: a faster converter must write the same bytes.
#
#   bench/run.sh [--runs N] [--scratch DIR] [--only CASE[,CASE...]] [--cli PATH] [--no-build]
#                [--record]
#
# --runs N      timed runs per case (default 5); the table shows medians
# --scratch DIR parent of the scratch folder (default: $TMPDIR or /tmp); it must have about
#               7 GB free: the largest case (M3_10 at four times the size) writes 3.3 GB and its
#               copy another 3.3 GB; each source (at most 0.4 GB, 0.5 GB for the batch) is
#               removed after its case. The folder is removed at the end.
# --only        run only these cases (names as in the first column, e.g. M3_10,A,batch,gdal;
#               "check" is the pre-run check of a million-row batch list)
# --cli PATH    time another tolvane-cli (for example an older build) instead of the fresh one
# --no-build    use build/release as it is
# --record      write the checksums of this run's outputs to bench/expected-outputs.sha256
#
# Every run starts with its outputs removed and `sync`, so no run pays for an earlier one's
# writeback; the sources are in the page cache (warm), the outputs go to the page cache of the
# scratch folder's filesystem, and `cp` copies them to a fresh folder on that filesystem.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
runs=5
scratchParent=${TMPDIR:-/tmp}
only=""
cli=""
build=1
record=0
while [[ $# -gt 0 ]]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --scratch) scratchParent=$2; shift 2 ;;
    --only) only=",$2,"; shift 2 ;;
    --cli) cli=$(realpath "$2"); shift 2 ;;
    --no-build) build=0; shift ;;
    --record) record=1; shift ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

bin=$repo/build/release/bin
if [[ $build -eq 1 ]]; then
    # The release preset builds the micro-benchmarks too; /usr/bin/time gives the peak RSS.
    "$repo/scripts/install-deps.sh" libbenchmark-dev time
    [[ -f $repo/build/release/CMakeCache.txt ]] || cmake --preset release -S "$repo" >/dev/null
    cmake --build "$repo/build/release" --target tolvane-cli tolvane-gen >/dev/null
fi
cli=${cli:-$bin/tolvane-cli}
gen=$bin/tolvane-gen
mainDefine=$bin/Define
genDefine=$repo/tests/data/gen/Define
expected=$repo/bench/expected-outputs.sha256

scratch=$(mktemp -d "$scratchParent/tolvane-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/src" "$scratch/out" "$scratch/copy"
sums=$scratch/sums.txt
: >"$sums"

want() { [[ -z $only || $only == *",$1,"* ]]; }

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs "$@" once with its outputs gone and the disk synced; appends "nanoseconds rssKB
# cpuSeconds" (user + system) to $times.
timed() {
    rm -f "$scratch"/out/* "$scratch"/copy/*
    sync
    local t0 t1
    t0=$(date +%s%N)
    if ! /usr/bin/time -f '%M %U %S' -o "$scratch/rss" "$@" >"$scratch/log" 2>&1; then
        echo "run.sh: failed: $*" >&2
        cat "$scratch/log" >&2
        exit 1
    fi
    t1=$(date +%s%N)
    echo "$((t1 - t0)) $(tail -n 1 "$scratch/rss" | awk '{ print $1, $2 + $3 }')" >>"$times"
}

# Time of `cp` copying the files now in out/ to copy/ (they are kept), in nanoseconds.
cp_time() {
    local files=("$scratch"/out/*)
    rm -f "$scratch"/copy/*
    sync
    local t0 t1
    t0=$(date +%s%N)
    cp "${files[@]}" "$scratch/copy/"
    t1=$(date +%s%N)
    echo $((t1 - t0))
}

check_sums() { # case
    local name=$1 f
    for f in "$scratch"/out/*; do
        echo "$(sha256sum <"$f" | cut -d' ' -f1)  $name/$(basename "$f")" >>"$sums"
    done
}

mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }
bytes_of() { local s=0 f; for f in "$@"; do s=$((s + $(stat -c %s "$f"))); done; echo $s; }

printf '%-9s %8s %8s %7s %7s %8s %8s %10s %7s %7s %6s\n' format "in MB" "out MB" seconds \
    "cpu s" "in MB/s" "out MB/s" "objects/s" "RSS MB" "cp s" "/cp"

# case name, item, define dir, objects kind, gen arguments...
run_case() {
    local name=$1 item=$2 define=$3 kind=$4
    shift 4
    local file=${name//\//_}
    local src=$scratch/src/$file.txt
    "$gen" --define "$define" "$@" --out "$src" >/dev/null
    times=$scratch/times.txt
    : >"$times"
    local cpTimes=() i
    for ((i = 0; i < runs; i++)); do
        timed "$cli" convert --define "$define" --item "$item" "$src" "$scratch/out/$file.mif"
        [[ $i -eq 0 ]] && check_sums "$file"
        cpTimes+=("$(cp_time)")
    done
    local ns rss cpu cpns outBytes inBytes objects
    ns=$(cut -d' ' -f1 "$times" | median)
    rss=$(cut -d' ' -f2 "$times" | median)
    cpu=$(cut -d' ' -f3 "$times" | median)
    cpns=$(printf '%s\n' "${cpTimes[@]}" | median)
    outBytes=$(bytes_of "$scratch"/out/*)
    inBytes=$(bytes_of "$src")
    if [[ $kind == ledger ]]; then
        objects=$(($(wc -l <"$scratch/out/$file.csv") - 1))
    else
        objects=$(wc -l <"$scratch/out/$file.mid")
    fi
    awk -v n="$name" -v i="$inBytes" -v o="$outBytes" -v t="$ns" -v u="$cpu" -v r="$rss" \
        -v c="$cpns" -v k="$objects" 'BEGIN {
            s = t / 1e9
            printf "%-9s %8.1f %8.1f %7.3f %7.2f %8.1f %8.1f %10.0f %7.1f %7.3f %6.2f\n", n,
                i / 1e6, o / 1e6, s, u, i / 1e6 / s, o / 1e6 / s, k / s, r / 1024, c / 1e9, t / c }'
    eval "${file}_ns=$ns"
    eval "${file}_cpu=$cpu"
    if [[ $name == A* || $name == S* ]]; then
        # The converter keeps the chains' coordinate text in memory: peak memory against it.
        LC_ALL=C awk -v n="$name" -v r="$rss" '{ sub(/\r$/, "") }
            left > 0 { total += length($0); left--; next }
            { h = substr($0, 1, 3); gsub(/ /, "", h)
              if (h == "L") { left = int((substr($0, 46, 6) + 4) / 5) } }
            END { printf "          %s: chain text %.1f MB, peak RSS %.2f times that\n", n,
                  total / 1e6, r * 1024 / total }' "$src" >>"$scratch/notes"
    fi
    rm -f "$src" "$scratch"/out/* "$scratch"/copy/*
}

# A case at full and at quarter size; the quarter row is named NAME/4.
run_pair() { # name item define kind records [chains]
    local name=$1 item=$2 define=$3 kind=$4 records=$5 chains=${6:-0}
    want "$name" || return 0
    local extra=() quarter=()
    [[ $chains -gt 0 ]] && extra=(--chains "$chains") && quarter=(--chains $((chains / 4)))
    run_case "$name" "$item" "$define" "$kind" --item "$item" --records "$records" "${extra[@]}"
    run_case "$name/4" "$item" "$define" "$kind" --item "$item" --records $((records / 4)) \
        "${quarter[@]}"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
run_pair M3_10 4 "$mainDefine" objects 50000
if want M3_10; then
    run_case "M3_10x4" 4 "$mainDefine" objects --item 4 --records 200000
fi
run_pair M3 2 "$mainDefine" objects 1000000
run_pair P 0 "$mainDefine" objects 2000000
run_pair L 8 "$mainDefine" objects 500000
run_pair A 12 "$genDefine" objects 200000 500000
run_pair S 10 "$genDefine" objects 200000
run_pair PCSV2 1 "$mainDefine" objects 1000000
run_pair T 13 "$mainDefine" ledger 1000000

[[ -f $scratch/notes ]] && cat "$scratch/notes"

# Linear growth: four times the input should take at most 4.4 times as long.
echo
echo "time at full size / time at a quarter of it (elapsed, and processor time user + system):"
for name in M3_10 M3 P L A S PCSV2 T; do
    full=${name}_ns
    quarter=${name}_4_ns
    fullCpu=${name}_cpu
    quarterCpu=${name}_4_cpu
    if [[ -n ${!full:-} && -n ${!quarter:-} ]]; then
        awk -v n="$name" -v f="${!full}" -v q="${!quarter}" -v fc="${!fullCpu}" \
            -v qc="${!quarterCpu}" 'BEGIN { printf "  %-8s %5.2f  %5.2f\n", n, f / q, fc / qc }'
    fi
done
if [[ -n ${M3_10x4_ns:-} && -n ${M3_10_ns:-} ]]; then
    awk -v f="$M3_10x4_ns" -v q="$M3_10_ns" -v fc="$M3_10x4_cpu" -v qc="$M3_10_cpu" \
        'BEGIN { printf "  %-8s %5.2f  %5.2f (four times the M3_10 case)\n", "M3_10x4", f / q, fc / qc }'
fi

# Parallel batch: eight equal M3 jobs with one job at a time and with one per core, merged as
# the list asks, and once more without the merge (the conversions alone).
if want batch; then
    echo
    jobs=$(nproc)
    for k in 1 2 3 4 5 6 7 8; do
        "$gen" --item 2 --records 250000 --seed "$k" --out "$scratch/src/b$k.txt" >/dev/null
    done
    for merge in -1 0; do
        list=$scratch/src/batch$merge.txt
        {
            printf 'tolvane\r\n200\r\n%s\r\n%s\r\n' "$merge" "$scratch/out/merged.mif"
            for k in 1 2 3 4 5 6 7 8; do
                printf '"2"\t"%s"\t"%s"\t"0"\r\n' "$scratch/src/b$k.txt" "$scratch/out/b$k.mif"
            done
        } >"$list"
        label=$([[ $merge == -1 ]] && echo "merged" || echo "not merged")
        declare -A batchNs
        for j in 1 "$jobs"; do
            times=$scratch/times.txt
            : >"$times"
            for ((i = 0; i < runs; i++)); do
                timed "$cli" batch --define "$mainDefine" --jobs "$j" "$list"
                if [[ $i -eq 0 && $merge == -1 ]]; then
                    check_sums "batch-jobs$j"
                fi
            done
            batchNs[$j]=$(cut -d' ' -f1 "$times" | median)
            rss=$(cut -d' ' -f2 "$times" | median)
            cpu=$(cut -d' ' -f3 "$times" | median)
            outBytes=$(bytes_of "$scratch"/out/*)
            awk -v j="$j" -v t="${batchNs[$j]}" -v c="$cpu" -v o="$outBytes" -v r="$rss" \
                -v l="$label" 'BEGIN {
                printf "batch of 8 M3 jobs (2M records), %-10s --jobs %-2s %7.3f s (cpu %5.2f s)  %7.1f MB written  RSS %.1f MB\n",
                    l, j, t / 1e9, c, o / 1e6, r / 1024 }'
        done
        awk -v a="${batchNs[1]}" -v b="${batchNs[$jobs]}" -v j="$jobs" -v l="$label" \
            'BEGIN { printf "speed-up of --jobs %s over --jobs 1, %s: %.2f\n", j, l, a / b }'
    done
    # Both runs must write the same bytes.
    if ! diff <(grep ' batch-jobs1/' "$sums" | sed 's| batch-jobs1/| |') \
        <(grep " batch-jobs$jobs/" "$sums" | sed "s| batch-jobs$jobs/| |") >/dev/null; then
        echo "run.sh: --jobs $jobs wrote other bytes than --jobs 1" >&2
        exit 1
    fi
    sed -i "/ batch-jobs$jobs\//d" "$sums"
    sed -i 's| batch-jobs1/| batch/|' "$sums"
fi
# GeoPackage and GeoJSON through GDAL, on the 200,000-cell M3_10 job: the GeoPackage written
# directly against our MIF followed by `ogr2ogr -f GPKG`, timed in the same run with the same
# feature count (the target: at least three times as fast), and GeoJSON beside them, with its
# peak memory at four times the size (the target: under 100 MB). GDAL's files are not byte for
# byte the same from run to run (they hold times), so they have no checksums. A tolvane-cli that
# writes no GeoPackage (built without GDAL, or before the driver writes one) is skipped.
if want gdal; then
    echo
    gdalSrc=$scratch/src/gdal.txt
    "$gen" --define "$mainDefine" --item 4 --records 2000 --out "$gdalSrc" >/dev/null
    "$cli" convert --define "$mainDefine" --item 4 "$gdalSrc" "$scratch/out/probe.gpkg" \
        >/dev/null 2>&1 || true
    if [[ "$(head -c 15 "$scratch/out/probe.gpkg" 2>/dev/null)" != "SQLite format 3" ]]; then
        echo "gdal: skipped: $cli writes no GeoPackage"
    else
        features() { ogrinfo -ro -so -al "$1" | awk '/^Feature Count:/ { print $3; exit }'; }
        times=$scratch/times.txt
        : >"$times"
        for ((i = 0; i < runs; i++)); do
            timed "$cli" convert --define "$mainDefine" --item 4 "$gdalSrc" "$scratch/out/m.gpkg"
        done
        directNs=$(cut -d' ' -f1 "$times" | median)
        directCpu=$(cut -d' ' -f3 "$times" | median)
        directCount=$(features "$scratch/out/m.gpkg")
        : >"$times"
        for ((i = 0; i < runs; i++)); do
            timed sh -c '"$1" convert --define "$2" --item 4 "$3" "$4/m.mif" &&
                ogr2ogr -f GPKG "$4/o.gpkg" "$4/m.mif"' sh "$cli" "$mainDefine" "$gdalSrc" \
                "$scratch/out"
        done
        twoNs=$(cut -d' ' -f1 "$times" | median)
        twoCpu=$(cut -d' ' -f3 "$times" | median)
        twoCount=$(features "$scratch/out/o.gpkg")
        awk -v d="$directNs" -v dc="$directCpu" -v n="$directCount" -v t="$twoNs" -v tc="$twoCpu" \
            -v m="$twoCount" 'BEGIN {
            printf "%-46s %7.3f s (cpu %5.2f s)\n", "GeoPackage directly, " n " features:", d / 1e9, dc
            printf "%-46s %7.3f s (cpu %5.2f s)\n", "MIF, then ogr2ogr -f GPKG, " m " features:", t / 1e9, tc
            printf "GeoPackage against the two steps: %.2f times as fast (target: 3)%s\n", t / d,
                n == m ? "" : "  FEATURE COUNTS DIFFER" }'
        for records in 2000 8000; do
            "$gen" --define "$mainDefine" --item 4 --records "$records" --out "$gdalSrc" >/dev/null
            for format in geojson gpkg; do
                [[ $format == gpkg && $records -eq 2000 ]] && continue
                : >"$times"
                timed "$cli" convert --define "$mainDefine" --item 4 "$gdalSrc" "$scratch/out/m.$format"
                read -r ns rss cpu <"$times"
                awk -v f="$([[ $format == gpkg ]] && echo GeoPackage || echo GeoJSON)" -v r="$records" \
                    -v t="$ns" -v c="$cpu" -v k="$rss" -v n="$(features "$scratch/out/m.$format")" \
                    'BEGIN { printf "%s, %d records (%s features): %7.3f s (cpu %5.2f s), peak RSS %.1f MB (target at 8000: under 100)\n",
                             f, r, n, t / 1e9, c, k / 1024 }'
            done
        done
    fi
    rm -f "$gdalSrc" "$scratch"/out/*
fi

# The pre-run check of a batch list of a million rows (1,000 sources, a million destinations in
# one folder): loaded and checked, then refused at its last row, whose output is the first row's
# source, so that every row is checked and nothing converted.
if want check; then
    echo
    mkdir -p "$scratch/check/s" "$scratch/check/o"
    for ((k = 1; k <= 1000; k++)); do
        printf 'P  533945 5022000 1278000\r\n' >"$scratch/check/s/$k.txt"
    done
    awk 'BEGIN {
        printf "tolvane\r\n200\r\n0\r\n\r\n"
        for (i = 1; i <= 1000000; i++) {
            d = (i == 1000000) ? "s/2.txt" : "o/" i ".mif"
            printf "\"0\"\t\"s/%d.txt\"\t\"%s\"\t\"0\"\r\n", (i % 1000) + 1, d
        } }' >"$scratch/check/list.txt"
    times=$scratch/times.txt
    : >"$times"
    for ((i = 0; i < runs; i++)); do
        sync
        t0=$(date +%s%N)
        rc=0
        (cd "$scratch/check" && /usr/bin/time -f '%M %U %S' -o "$scratch/rss" \
            "$cli" batch --define "$mainDefine" list.txt >"$scratch/log" 2>&1) || rc=$?
        t1=$(date +%s%N)
        if [[ $rc -ne 2 ]] || ! grep -q 's/2.txt' "$scratch/log"; then
            echo "run.sh: the check of the million-row list did not refuse its last row" >&2
            cat "$scratch/log" >&2
            exit 1
        fi
        echo "$((t1 - t0)) $(tail -n 1 "$scratch/rss" | awk '{ print $1, $2 + $3 }')" >>"$times"
    done
    ns=$(cut -d' ' -f1 "$times" | median)
    rss=$(cut -d' ' -f2 "$times" | median)
    cpu=$(cut -d' ' -f3 "$times" | median)
    awk -v t="$ns" -v c="$cpu" -v r="$rss" -v b="$(stat -c %s "$scratch/check/list.txt")" 'BEGIN {
        printf "pre-run check of a 1,000,000-row batch list (%.1f MB, loaded and checked): %.3f s (cpu %.2f s)  RSS %.1f MB\n",
            b / 1e6, t / 1e9, c, r / 1024 }'
    rm -rf "$scratch/check"
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

# Output identity with the recorded checksums.
echo
if [[ $record -eq 1 ]]; then
    sort -k2 "$sums" >"$expected"
    echo "recorded $(wc -l <"$expected") checksums in $expected"
elif [[ -f $expected ]]; then
    mismatch=0
    while read -r sum file; do
        ref=$(awk -v f="$file" '$2 == f { print $1 }' "$expected")
        if [[ -z $ref ]]; then
            echo "no recorded checksum for $file"
        elif [[ $ref != "$sum" ]]; then
            echo "DIFFERENT: $file"
            mismatch=1
        fi
    done <"$sums"
    if [[ $mismatch -eq 1 ]]; then
        echo "outputs differ from the recorded ones" >&2
        exit 1
    fi
    echo "all $(wc -l <"$sums") outputs are byte for byte the recorded ones"
fi

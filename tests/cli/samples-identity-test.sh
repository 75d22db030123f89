#!/bin/sh
# The Windows tolvane-cli writes exactly the bytes that the Linux one writes: every item of each
# Define folder converts each sample its file mask takes, read from and written to folders with
# Japanese names, by both programs; then one batch list merges two of them. Every output file
# must be the same, byte for byte, and so must the exit status.
#   samples-identity-test.sh WINDOWS-CLI LINUX-CLI DEFINE SAMPLES [DEFINE SAMPLES ...]
set -u
windows=$1
linux=$2
shift 2
fail() { echo "FAIL: $*"; exit 1; }
[ -x "$linux" ] || fail "no Linux reference program at $linux (build the dev preset first)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

# Whether the file name $1 fits the mask $2 ("a*.txt;b?.csv", without regard to case).
fits() {
    name=$(printf '%s' "$1" | tr a-z A-Z)
    masks=$(printf '%s' "$2" | tr a-z A-Z)
    old_ifs=$IFS
    IFS=';'
    for mask in $masks; do
        # shellcheck disable=SC2254
        case $name in $mask) IFS=$old_ifs; return 0 ;; esac
    done
    IFS=$old_ifs
    return 1
}

conversions=0
set_no=0
while [ $# -ge 2 ]; do
    define=$1
    set_no=$((set_no + 1))
    src="$work/国土数値情報 $set_no/元データ"
    mkdir -p "$src" "$work/出力/linux" "$work/出力/windows"
    cp "$2"/* "$src/"
    shift 2
    items=$("$linux" items --define "$define" | grep '^  ' | sort -u -n)
    [ -n "$items" ] || fail "no items in $define"
    tab=$(printf '\t')
    while IFS="$tab" read -r index name _ _ mask; do
        index=$(echo "$index" | tr -d ' ')
        for sample in "$src"/*; do
            fits "$(basename "$sample")" "$mask" || continue
            out="$set_no-$index-$(basename "$sample" | sed 's/\.[^.]*$//')"
            "$linux" -q convert --define "$define" --item "$index" "$sample" "$work/出力/linux/$out.mif"
            want=$?
            "$windows" -q convert --define "$define" --item "$index" "$sample" "$work/出力/windows/$out.mif"
            got=$?
            [ $got -eq $want ] || fail "$name ($sample): exit $got on Windows, $want on Linux"
            [ $want -eq 0 ] || fail "$name ($sample): exit $want"
            conversions=$((conversions + 1))
            [ -n "${merge_item:-}" ] || { merge_item=$index; merge_source=$sample; merge_define=$define; }
        done
    done <<EOF
$items
EOF
done
[ $conversions -ge 25 ] || fail "only $conversions conversions"

# A batch list with Japanese paths in CP932 that merges two conversions of the first sample.
crlf() { printf '%s\r\n' "$@"; }
entry() { printf '"%s"\t"%s"\t"%s"\t"%s"' "$1" "$2" "$3" "$4"; }
for system in linux windows; do
    dir="$work/出力/$system"
    crlf tolvane 200 -1 "$dir/結合.mif" \
        "$(entry "$merge_item" "$merge_source" "$dir/一つ目.mif" 0)" \
        "$(entry "$merge_item" "$merge_source" "$dir/二つ目.mif" 0)" |
        iconv -f UTF-8 -t CP932 >"$work/$system.txt"
done
"$linux" -q batch --define "$merge_define" "$work/linux.txt" || fail "Linux batch"
"$windows" -q batch --define "$merge_define" "$work/windows.txt" || fail "Windows batch"
[ -s "$work/出力/windows/結合.mif" ] || fail "no merged file"

files=$(ls "$work/出力/linux" | wc -l)
[ "$(ls "$work/出力/windows" | wc -l)" -eq "$files" ] ||
    fail "other files: $(diff -r "$work/出力/linux" "$work/出力/windows" | head -5)"
diff -r "$work/出力/linux" "$work/出力/windows" >/dev/null ||
    fail "the bytes differ: $(diff -rq "$work/出力/linux" "$work/出力/windows" | head -5)"
echo "$conversions conversions and a merge, $files files alike"
echo PASS

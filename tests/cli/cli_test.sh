#!/usr/bin/env bash
# Tests of srt2rt as users call it. Usage: cli_test.sh PATH/TO/srt2rt [wine]
# With "wine", the Windows build runs under Wine and only the cases that
# differ by platform are run.
set -uo pipefail
program=$(realpath "$1")
mode=${2:-native}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

sep=/
[ "$mode" = wine ] && sep='\'
passed=0
failed=0
run() {  # run ARGS...: sets $status, $out, $err; standard input from $input (or none)
  if [ "$mode" = wine ]; then
    "$here/../../scripts/wine-run" "$program" "$@" <"${input:-/dev/null}" >out.txt 2>err.txt
  else
    "$program" "$@" <"${input:-/dev/null}" >out.txt 2>err.txt
  fi
  status=$?
  out=$(cat out.txt)
  err=$(tr -d '\r' <err.txt)
}
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
    echo "  status=$status"
    echo "  stderr: $err"
  fi
}

entries=$'1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nA|B\r\nC\r\n'
expected=$'<window duration="3:00:00.00" width="640" height="50" wordwrap="true" loop="true" bgcolor="black">\r\n<font color="white" face="Arial" size="+2">\r\n<center>\r\n<b>\r\n<Time Begin="0:00:01.00" End="0:00:02.50" /><clear/> Hi\r\n<Time Begin="0:00:03.00" End="0:00:04.00" /><clear/> A<BR>B<BR>C\r\n</b>\r\n</center>\r\n</font>\r\n</window>\r\n'
printf '%s' "$entries" >film.srt
cp film.srt original.srt
printf '%s' "$expected" >expected.rt

# The default destination is the source with its last extension replaced by ".rt".
mkdir -p my.subs
cp film.srt my.subs/film.en.srt
run "my.subs${sep}film.en.srt"
check "default destination beside the source" [ "$status" = 0 ]
check "dotted folder keeps its name" cmp -s my.subs/film.en.rt expected.rt
cp film.srt Show.S01E01.srt
cp film.srt Show.S01E02.srt
cp film.srt noext
run Show.S01E01.srt Show.S01E02.srt noext
check "episodes keep their names" cmp -s Show.S01E02.rt expected.rt
check "the first episode is not overwritten" cmp -s Show.S01E01.rt expected.rt
check "a name without extension gains one" cmp -s noext.rt expected.rt

# A batch goes on after a failing file and exits 1.
printf '1\r\n00:00:01.000 --> 00:00:02.000\r\n' >bad.srt
cp film.srt good.srt
run bad.srt missing.srt good.srt
check "batch with failures exits 1" [ "$status" = 1 ]
check "the good file is still converted" cmp -s good.rt expected.rt
check "time-format message names the file and line" grep -qx "srt2rt: bad.srt:2: Line 1 . Time format error in .srt file." <<<"$err"
check "missing source message gives the system's reason" grep -q "^srt2rt: missing.srt: cannot open: ." <<<"$err"
check "a failed entry leaves no document" [ ! -e bad.rt ]
printf 'precious' >good.rt
run -f -o good.rt bad.srt
check "a failed entry leaves the old destination as it was" [ "$(cat good.rt)" = precious ]
check "and no temporary file" [ -z "$(ls -A | grep srt2rt)" ]

# Without a terminal an existing destination is left untouched and counts as a failure.
printf 'precious' >keep.rt
cp film.srt keep.srt
run keep.srt
check "refuses to overwrite without a terminal" [ "$status" = 1 ]
check "the existing file is untouched" [ "$(cat keep.rt)" = precious ]
check "it says so" grep -q "srt2rt: keep.rt: exists" <<<"$err"
run -f keep.srt
check "--force replaces it" cmp -s keep.rt expected.rt

# -o, standard input and standard output.
input=film.srt run - -o -
check "stdin to stdout" [ "$status" = 0 ]
check "stdout gets the same bytes" cmp -s out.txt expected.rt
input=film.srt run - --output=piped.rt
check "stdin to a file" cmp -s piped.rt expected.rt
run film.srt -o named.rt
check "-o names the destination" cmp -s named.rt expected.rt

# Verification can be switched off.
printf '5\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n' >numbered.srt
run numbered.srt
check "verification on by default" grep -q "Line 1 . Line number error in .srt file." <<<"$err"
run -f --no-verify numbered.srt
check "--no-verify converts" [ "$status" = 0 ]

# --smil writes the presentation beside the document, named after it.
run -f --smil "films${sep}film.rmvb" film.srt
check "--smil succeeds" [ "$status" = 0 ]
check "--smil names both files bare" [ "$(tr -d '\r' <film.smil)" = $'<smil>\n<body>\n<par>\n<video src="film.rmvb"/>\n<textstream src="film.rt"/>\n</par>\n</body>\n</smil>\t' ]
check "a video elsewhere is warned about" grep -q "^srt2rt: film.smil: warning: the video .* will not find it" <<<"$err"
mkdir -p out
run -f -o "out${sep}Tom & Jerry.rt" --smil 'Tom & Jerry "1".rmvb' film.srt
check "the presentation lies beside the document" grep -qF '<textstream src="Tom &amp; Jerry.rt"/>' "out/Tom & Jerry.smil"
check "names are XML attribute values" grep -qF '<video src="Tom &amp; Jerry &quot;1&quot;.rmvb"/>' "out/Tom & Jerry.smil"

# The source is never truncated, whichever name the destination uses.
run -f film.srt -o ".${sep}film.srt"
check "destination = source fails" [ "$status" = 1 ]
check "the source is intact" cmp -s film.srt original.srt
input=film.srt run -f -o film.srt -
check "destination = standard input fails" [ "$status" = 1 ]
check "standard input's file is intact" cmp -s film.srt original.srt
cp film.srt film.smil
run -f --smil v.rmvb film.smil
check "a presentation that is the source fails" grep -q "^srt2rt: film.smil: is the source film.smil itself" <<<"$err"
check "that source is intact" cmp -s film.smil original.srt
run -f -o x.smil --smil v.rmvb film.srt
check "document = presentation fails" [ "$status" = 1 ]
rm -f film.smil
cp film.srt film.txt
run -f film.srt film.txt
check "two sources, one destination: exit 2" [ "$status" = 2 ]
check "naming both" grep -qx "srt2rt: film.srt and film.txt would both write film.rt; nothing converted" <<<"$err"

# GNU option syntax.
rm -f opt*.rt
run -fq -oopt1.rt film.srt
check "clustered flags and -oFILE" cmp -s opt1.rt expected.rt
run --forc --output=opt2.rt film.srt
check "--output=FILE and abbreviations" cmp -s opt2.rt expected.rt
cp film.srt ./-dash.srt
run -f -- -dash.srt
check "-- ends the options" cmp -s ./-dash.rt expected.rt

# Usage errors exit 2 and convert nothing.
for args in "--bogus film.srt" "-o x.rt film.srt good.srt" "film.srt -o" "-" "" \
  "-o a.rt -o b.rt film.srt" "-o a.rt - -" "--f film.srt"; do
  # shellcheck disable=SC2086
  run $args
  check "usage error: '$args'" [ "$status" = 2 ]
done
run --help
check "--help" grep -q "Usage: srt2rt" <<<"$out"

# --check: every problem, located, and a summary; no file written.
printf '1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n3\r\n00:00:03.000 --> 00:00:04,000\r\n\r\n4\r\n00:00:03,500 --> 03:00:04,500\r\n' >flawed.srt
run --check flawed.srt
check "--check finds something: exit 1" [ "$status" = 1 ]
check "--check writes nothing" [ ! -e flawed.rt ]
check "--check lists every problem in order" [ "$(tr -d '\r' <out.txt)" = "flawed.srt:5:1: error: entry 2 is numbered 3; entries must be numbered 1, 2, 3... (or convert with --no-verify) [index-mismatch]
flawed.srt:6:9: error: entry 2's time line does not read: '.' before the milliseconds, where ',' is needed [time-format]
flawed.srt:9:1: warning: entry 3 ends at 3:00:04.50, after the document's 3:00:00.00: cut short [past-duration]
flawed.srt: 3 entries, 2 errors, 1 warning" ]
input=flawed.srt run --check --no-verify --no-limits --format=json - film.srt missing.srt
check "--check --format=json: exit 1" [ "$status" = 1 ]
check "--format=json: JSON Lines only" python3 -c '
import json, sys
rows = [json.loads(line) for line in open("out.txt")]
assert [(r.get("code"), r.get("line"), r.get("column"), r.get("entry")) for r in rows if "code" in r] == [
    ("time-format", 6, 9, 2), ("past-duration", 9, 1, 3), ("cannot-open", None, None, None)], rows
assert [(r["file"], r["entries"], r["errors"], r["warnings"]) for r in rows if "entries" in r] == [
    ("-", 3, 1, 1), ("film.srt", 2, 0, 0), ("missing.srt", 0, 1, 0)], rows
'
run --check --no-limits film.srt
check "--check of a clean file: exit 0" [ "$status" = 0 ]
check "a clean file gives its summary alone" [ "$(tr -d '\r' <out.txt)" = "film.srt: 2 entries, 0 errors, 0 warnings" ]
for args in "--check -o x.rt film.srt" "--format=json film.srt" "--check --format=xml film.srt" \
  "--check --max-cps=1.2345 film.srt" "--check --max-line=4.5 film.srt" \
  "--check --no-limits --max-lines=3 film.srt"; do
  # shellcheck disable=SC2086
  run $args
  check "usage error: '$args'" [ "$status" = 2 ]
done

# What a viewer can read: --check holds entries to every reading limit, at
# its default unless given (film.srt's "A|B" and "C" are three lines); a
# conversion and --fix only to those given, and -q to none. JSON carries the
# figure and the limit as numbers, the speed rounded up to the thousandth.
run --check film.srt
check "--check holds entries to the reading limits" [ "$(tr -d '\r' <out.txt)" = "film.srt:8:1: warning: entry 2: 3 lines (limit 2) [line-count]
film.srt: 2 entries, 0 errors, 1 warning" ]
run --check --format=json --max-lines=0 --max-cps=1.3 film.srt
check "a reading limit's figure and limit are JSON numbers" python3 -c '
import json
rows = [json.loads(line) for line in open("out.txt")]
assert [(r["code"], r["entry"], r["figure"], r["limit"]) for r in rows if "code" in r] == [
    ("reading-speed", 1, 1.334, 1.3), ("reading-speed", 2, 5, 1.3)], rows
'
run -f film.srt
check "a conversion given no limit says nothing of them" [ -z "$err" ]
run -f --max-line=1 film.srt
check "a conversion holds entries to the limits given alone" [ "$err" = "srt2rt: film.srt:3:1: warning: entry 1: a line of 2 characters (limit 1) [line-length]" ]
check "and converts as it did" cmp -s film.rt expected.rt
run -f -q --max-line=1 film.srt
check "-q silences the reading limits" [ -z "$err" ]
run --fix --max-line=1 film.srt
check "--fix leaves what a reading limit finds alone" cmp -s out.txt film.srt
check "and says it is left" grep -qx "film.srt: 2 entries, 0 fixed, 1 warning left" <<<"$err"

# A conversion tells of what converts but shows wrongly; -q keeps quiet.
printf '1\r\n00:00:01,000 --> 03:00:01,000\r\nLong\r\n' >long.srt
run -f long.srt
check "a warning does not fail the conversion" [ "$status" = 0 ]
check "the warning goes to standard error" grep -qx "srt2rt: long.srt:2:1: warning: entry 1 ends at 3:00:01.00, after the document's 3:00:00.00: cut short \[past-duration\]" <<<"$err"
run -f -q long.srt
check "-q drops warnings" [ -z "$err" ]

# The timing options: the document follows the moved times, --fix moves
# only the time lines' numbers and gives the file back when moved back; a
# time that cannot be moved, or a --sync entry that is not there, writes
# nothing; --sync refuses standard input, which it would read twice.
run -f --shift=+1.5 -o - film.srt
check "--shift moves the document's times" grep -qF '<Time Begin="0:00:02.50" End="0:00:04.00" /><clear/> Hi' out.txt
run -f --sync=1@0:00:10,2@0:00:30 -o - film.srt
check "--sync puts both entries in place" grep -qF '<Time Begin="0:00:30.00" End="0:00:40.00" /><clear/> A<BR>B<BR>C' out.txt
run --fix --fps=23.976:25 -o pal.srt film.srt
check "--fix --fps rewrites the times alone" [ "$(sed -n 2p pal.srt)" = $'00:00:00,959 --> 00:00:02,398\r' ]
run --fix --shift=+1:02.3 -o there.srt film.srt
run --fix --shift=-1:02.3 -o back.srt there.srt
check "a shift and its opposite give the file back" cmp -s back.srt film.srt
check "and what is left is checked as written, not moved again" [ "$status" = 0 ]
printf '1\r\n00:00:05,000 --> 00:00:08,000\r\nWo\x1arld\r\n\r\n2\r\n00:01:00,000 --> 00:01:02,000\r\nB\r\n' >ctrlz.srt
run --fix --shift=+1.5 -o moved.srt ctrlz.srt
check "a Ctrl-Z before time lines stops a retiming --fix" grep -q 'holds a Ctrl-Z before time lines: .*\[retime\]' <<<"$err"
check "which writes nothing" [ ! -e moved.srt ]
printf '1\r\n00:02:12,16 --> 00:02:14,500\r\nx\r\n' >ms.srt
run --fix --shift=+1.5 -o moved.srt ms.srt
check "two digits of milliseconds moved into three are said" grep -q '^ms.srt:2:10: warning: entry 1.s milliseconds "16" were read as 16 ms.*\[ms-digits\]$' <<<"$err"
printf '1\r\n4294967297:00:00,000 --> 4294967297:00:05,000\r\nx\r\n' >wrap.srt
printf '1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n' >joined.srt
for name in wrap joined; do
  run --fix --shift=+1 -o $name-moved.srt $name.srt
  check "$name.srt: a time line a shift cannot move stops --fix" grep -q "^$name.srt:.*\[retime\]$" <<<"$err"
  check "$name.srt: and writes nothing" [ ! -e $name-moved.srt ]
done
printf 'precious' >film.rt
run -f --shift=-2.5 film.srt
check "a time moved before 0:00 fails the file" [ "$status" = 1 ]
check "naming the entry, its times and the option" grep -qxF "srt2rt: film.srt:2:1: error: entry 1 (0:00:01,000 --> 0:00:02,500) would move by --shift=-2.5 to -0:00:01,500 --> 0:00:00,000: it would end by 0:00:00,000 and never show [retime]" <<<"$err"
check "and the destination keeps its bytes" [ "$(cat film.rt)" = precious ]
run -f -q --shift=-1.5 film.srt
check "a begin moved before 0:00, its end after, is clamped" grep -qF '<Time Begin="0:00:00.00" End="0:00:01.00" />' film.rt
run --check --shift=-1.5 film.srt
check "with a warning" grep -q '^film.srt:2:1: warning: .* it begins at 0:00:00,000 instead \[retime-clamp\]$' <<<"$(tr -d '\r' <out.txt)"
run -f --sync=1@1,3@2 film.srt
check "a --sync entry the file lacks fails it" grep -qxF "srt2rt: film.srt: --sync=1@1,3@2: the file has no entry 3 (it has 2 entries); nothing is written" <<<"$err"
input=film.srt run --sync=1@1 -o - -
check "--sync refuses standard input" grep -q "^srt2rt: --sync reads each source twice" <<<"$err"
check "as a usage error" [ "$status" = 2 ]
for args in "--shift=1.2345 film.srt" "--fps=0:25 film.srt" "--fps=25 film.srt" "--sync=2@1,2@2 film.srt" \
  "--sync=2@1,1@2 film.srt" "--sync=1@1 --shift=1 film.srt" "--shift=1 --shift=2 film.srt"; do
  # shellcheck disable=SC2086
  run $args
  check "usage error: '$args'" [ "$status" = 2 ]
done
run --shift=+1 -dash.srt
check "a name with a leading '-' is not blamed on the option before it" grep -qx "srt2rt: unknown option '-d'" <<<"$err"

# A "|" that a double-byte code page keeps inside a character: warned of
# without --codepage, kept whole with it; UTF-8 never draws the warning.
printf '1\r\n00:00:01,000 --> 00:00:02,000\r\n\xb7|A\r\n' >big5.srt
run --check big5.srt
check "a split character is warned of" grep -q '^big5.srt:3:2: warning: .*(936, 949 or 950) \[split-character\]$' <<<"$(tr -d '\r' <out.txt)"
run --check --codepage=950 big5.srt
check "--codepage says how to walk it" [ "$status" = 0 ]
run -f --codepage=950 big5.srt
check "--codepage keeps the character whole" grep -q $'\xb7|A' big5.rt
printf '1\r\n00:00:01,000 --> 00:00:02,000\r\n\xc3\xa9|A\r\n' >utf8.srt
run --check utf8.srt
check "UTF-8 draws no split-character warning" [ "$status" = 0 ]

# A file that only starts as UTF-16 (two files joined) is not mended in
# place on that guess when errors are left: the source keeps its bytes.
python3 -c "import sys; sys.stdout.buffer.write('1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n'.encode('utf-16-le') + b'2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n')" >joined.srt
cp joined.srt joined-before.srt
run --fix -i joined.srt
check "a guessed encoding is not mended in place with errors left" [ "$status" = 1 ]
check "the joined file keeps its bytes" cmp -s joined.srt joined-before.srt

# A pipe named as a file is never read twice, written into or mended in
# place; one file named twice is not retimed twice.
if [ "$mode" = native ]; then
  err=$(cat film.srt | timeout 10 "$program" --sync=1@5 -o - /dev/stdin 2>&1 >/dev/null)
  check "--sync refuses a pipe given by its name" grep -q "this one is a pipe or a device" <<<"$err"
  err=$(cat film.srt | timeout 10 "$program" --fix -o /dev/stdin - 2>&1 >/dev/null)
  check "--fix never writes into the pipe it reads" grep -q "is the source, standard input, itself" <<<"$err"
  rm -f pipe.srt && mkfifo pipe.srt
  run --fix -i pipe.srt
  check "-i refuses a pipe" grep -q "is a pipe or a device, not a file" <<<"$err"
fi
cp film.srt same.srt
run --fix -i --shift=+1 same.srt .${sep}same.srt
check "one file named twice is not retimed twice" [ "$status" = 2 ]
check "and keeps its times" cmp -s same.srt film.srt

# A file name's control bytes never break a report's line.
if [ "$mode" = native ]; then
  cp film.srt $'two\nlines.srt'
  run --check --no-limits $'two\nlines.srt'
  check "a newline in a name is shown, not written" grep -qx 'two\\x0Alines.srt: 2 entries, 0 errors, 0 warnings' <<<"$out"
fi

# UTF-16 and UTF-32 are refused before anything is written, -q or not.
printf '\0\0\0001\0\0\0\n' >wide.srt
printf 'precious' >wide.rt
for quiet in "" -q; do
  run -f $quiet --no-verify wide.srt
  check "a UTF-32 file fails${quiet:+ with $quiet}" [ "$status" = 1 ]
  check "and says why${quiet:+ with $quiet}" grep -qx "srt2rt: wide.srt: the file is UTF-32 (big-endian), which srt2rt does not convert: srt2rt --fix transcodes it to UTF-8" <<<"$err"
  check "its destination keeps its bytes${quiet:+ with $quiet}" [ "$(cat wide.rt)" = precious ]
done

if [ "$mode" = native ]; then
  run film.srt -o /dev/null
  check "a device is written without asking" [ "$status" = 0 ]
  run -f film.srt -o /dev/full
  check "a full disk is reported" grep -qx "srt2rt: /dev/full: cannot write: No space left on device" <<<"$err"
  "$program" --check film.srt >/dev/full 2>err.txt
  check "a report that cannot be written fails the check" [ $? = 1 ]
  check "and says so" grep -qx "srt2rt: standard output: cannot write: No space left on device" err.txt
  check "a full disk exits 1" [ "$status" = 1 ]
  mkfifo fifo.rt
  (timeout 10 cat fifo.rt >fifo.out) &
  timeout 10 "$program" film.srt -o fifo.rt </dev/null 2>err.txt
  status=$?
  wait
  check "a FIFO is written without a question" cmp -s fifo.out expected.rt
  printf 'precious' >keep.rt
  chmod 640 keep.rt
  run -f -o keep.rt /proc/self/mem
  check "a failed read keeps the destination" [ "$(cat keep.rt)" = precious ]
  run -f -o keep.rt film.srt
  check "a replaced file keeps its permissions" [ "$(stat -c %a keep.rt)" = 640 ]
  mkdir -p real
  ln -s real/target.rt link.rt
  run -f -o link.rt film.srt
  check "a link stays a link" [ -L link.rt ]
  check "its target is replaced" cmp -s real/target.rt expected.rt
  # Under a memory limit (not for sanitized builds, which reserve terabytes).
  # grep reads all of ldd's output: with -q it could stop early, and ldd,
  # cut off, fail the pipeline.
  if ! ldd "$program" 2>/dev/null | grep asan >/dev/null; then
    { printf '1\r\n00:00:01,000 --> 00:00:02,000\r\n'; head -c 100000000 /dev/zero | tr '\0' x; } >huge.srt
    printf 'precious' >huge.rt
    (ulimit -v 120000; "$program" -f huge.srt film.srt </dev/null >out.txt 2>err.txt)
    status=$?
    err=$(cat err.txt)
    check "a line too long for memory is named" grep -qx "srt2rt: huge.srt:3: the line is too long to hold in memory" <<<"$err"
    check "the old document stays" [ "$(cat huge.rt)" = precious ]
    rm -f huge.srt
  fi
else
  run -f film.srt -o 'Z:\dev\full'
  check "a full disk is reported with the system's reason" grep -q '^srt2rt: Z:\\dev\\full: cannot write: .' <<<"$err"
  # Any name Windows can hold, whatever the code page, and paths past 260 characters.
  cp film.srt 日本語.srt
  run 日本語.srt
  check "a name outside the code page converts" cmp -s 日本語.rt expected.rt
  long=$(printf 'd%.0s' {1..120})
  mkdir -p "$long/$long"
  cp film.srt "$long/$long/film.srt"
  run -f "Z:$(tr / '\\' <<<"$PWD/$long/$long/film.srt")"
  check "a path past 260 characters converts" cmp -s "$long/$long/film.rt" expected.rt
  run -f -o "\\\\.\\Z:$(tr / '\\' <<<"$PWD/dotted.rt")" film.srt
  check "a \\.\\ path names a file as \\?\\ does" cmp -s dotted.rt expected.rt
fi

# --fix mends in place through the safe replacement (on Windows too, where
# nothing is renamed over a file still open), and never writes into its source.
printf '2\r\n00:00:01.000 --> 00:00:02,000\r\n<i>Hi\r\n' >mend.srt
run --fix -i mend.srt
check "--fix -i mends the source" [ "$status" = 0 ]
check "--fix -i leaves the mended bytes" [ "$(cat mend.srt)" = "$(printf '1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>Hi</i>\r\n')" ]
cp mend.srt mend-before.srt
run --fix mend.srt -o mend.srt
check "--fix -o SOURCE is refused" [ "$status" = 1 ]
check "--fix -o SOURCE keeps the source" cmp -s mend.srt mend-before.srt
if [ "$mode" = native ]; then
  "$program" --fix - <mend.srt >>mend.srt 2>err.txt
  check "--fix from standard input onto itself is refused" [ $? = 1 ]
  check "--fix from standard input onto itself keeps it" cmp -s mend.srt mend-before.srt
  # Standard input is read where it stands, never again from its start (nor
  # from a file named "-").
  printf 'JUNK\n\n' >./-
  cat mend-before.srt >>./-
  { read -r _ && read -r _ && "$program" --fix -o from-stdin.srt - 2>err.txt; } <./-
  check "--fix reads standard input from where it stands" [ $? = 0 ]
  rm ./-
fi

if [ "$mode" = native ]; then
  # Every document lists every problem code --help lists (the core's table),
  # and shows the options of the usage text.
  run --help
  codes=$(sed -n 's/^  \([a-z-]*\) (\(error\|warning\|fixed\)):$/\1/p' <<<"$out")
  check "--help lists the problem codes" [ "$(wc -l <<<"$codes")" -ge 15 ]
  for doc in README.md cli/srt2rt.1 docs/README.txt; do
    text=$(sed 's/\\-/-/g' "$here/../../$doc")
    for code in $codes; do
      check "$doc lists the code $code" grep -qwF -- "$code" <<<"$text"
    done
    for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$out" | sort -u); do
      check "$doc shows the option $option" grep -qF -- "$option" <<<"$text"
    done
  done
fi

if [ "$mode" = wine ]; then
  # Japanese Windows (code page 932): the trail byte of 表 is '\', which must
  # not split the name. The stem of "x.y表.srt" is "x".
  mkdir 表
  cp film.srt '表/x.y表.srt'
  LC_ALL=ja_JP.UTF-8 run '表\x.y表.srt'
  check "double-byte names convert" [ "$status" = 0 ]
  check "a trail byte is no folder separator" cmp -s '表/x.y表.rt' expected.rt
  LC_ALL=ja_JP.UTF-8 run '表\無い.srt'
  check "double-byte names in messages, in UTF-8 when redirected" grep -qF "srt2rt: 表\\無い.srt: cannot open: " <<<"$err"
  # As Windows users run it: wildcards expanded in Explorer's order, a
  # pattern that matches nothing named, /? and -?, devices refused, a name
  # with a trailing dot named after the file Windows opens.
  mkdir -p wild
  for n in 'ep 10' 'ep 2' 'Фильм'; do cp film.srt "wild/$n.srt"; done
  cp film.srt wild/extra.srtx  # matches *.srt by its short 8.3 name only
  run -f 'wild\*.srt' 'none*.srt'
  check "a pattern that matches nothing fails" [ "$status" = 1 ]
  check "and is named" grep -qx "srt2rt: none\*.srt: no file matches" <<<"$err"
  check "wildcards are expanded" cmp -s 'wild/ep 10.rt' expected.rt
  check "names outside the code page match" cmp -s 'wild/Фильм.rt' expected.rt
  check "a short name's match is no match" [ ! -e wild/extra.rt ]
  run --check --no-limits 'wild\ep*.srt'
  check "in Explorer's order" [ "$(grep -o '^wild.ep [0-9]*' <<<"$out" | tr '\n' ,)" = 'wild\ep 2,wild\ep 10,' ]
  for help in '/?' '-?'; do
    run "$help"
    check "$help shows the help" grep -q '^Usage: srt2rt' <<<"$out"
  done
  for device in nul.srt com1.srt 'NUL .srt' com1:; do
    run -f "$device"
    check "the device name $device is refused" grep -q "names the device [A-Z0-9]*, which Windows keeps for itself" <<<"$err"
  done
  run -f -o nul.rt film.srt
  check "a device destination is refused" [ "$status" = 1 ]
  rm -f film.rt
  run -f film.srt.
  check "a trailing dot names the document as Windows opens the file" cmp -s film.rt expected.rt
  run -f film.srt film.srt.
  check "one file named twice is refused" [ "$status" = 2 ]
  run -f -o dotted2.rt. --smil=v.rmvb film.srt
  check "a presentation names the document Windows wrote" grep -q 'src="dotted2.rt"' dotted2.smil
  cp film.srt Фильм.srt
  run -f --smil=Фильм.rmvb Фильм.srt
  check "a presentation the code page cannot spell fails" [ "$status" = 1 ]
  check "and says why" grep -q "^srt2rt: Фильм.smil: not written: " <<<"$err"
  check "its document stays written" cmp -s Фильм.rt expected.rt
  # A console gets characters, so names survive code page 932 even where it
  # has no place for them. script(1) gives the program a terminal.
  console=$(LC_ALL=ja_JP.UTF-8 script -qec "$(printf '%q ' "$here/../../scripts/wine-run" "$program" \
    -f 'café.srt')" /dev/null </dev/null | tr -d '\r')
  check "a console shows the name's characters" grep -qF "srt2rt: café.srt: cannot open: " <<<"$console"
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

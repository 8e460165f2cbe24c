#!/bin/sh
# Drives the archive tool through pack, list, extract and verify, then feeds
# it damaged archives and bad command lines: each must give a message and a
# non-zero exit, never a crash (a crash exits above 128, a sanitizer report
# with its own code).
set -u
HKCA=$1
work=$(mktemp -d /tmp/hkca_tool_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
errors=0
bad() { echo "FAIL: $*" >&2; errors=$((errors + 1)); }
# Runs the tool expecting no crash and no sanitizer report.
survives() {
  "$HKCA" "$@" >out.txt 2>err.txt
  code=$?
  if [ $code -gt 2 ] || grep -q Sanitizer err.txt; then bad "hkca $* crashed ($code)"; fi
}
# Runs the tool expecting a refusal: exit 1 or 2 and something on stderr.
fails() {
  survives "$@"
  if [ $code -eq 0 ] || ! [ -s err.txt ]; then bad "hkca $* did not refuse with a message"; fi
}

mkdir -p in/gfx in/sfx
i=0
while [ $i -lt 300 ]; do echo "line $i of the story screen"; i=$((i + 1)); done >in/story.txt
head -c 20000 /dev/zero >in/gfx/tiles.bmp
printf 'tiny' >"in/sfx/small theme.mod"
printf 'B' >in/B.txt
printf 'a' >in/a.txt

"$HKCA" pack in one.bin >/dev/null && "$HKCA" pack in best.bin --best >/dev/null || bad "pack"
"$HKCA" verify one.bin >/dev/null && "$HKCA" verify best.bin >/dev/null || bad "verify"
"$HKCA" list one.bin >list.txt || bad "list"
# Byte order: upper case before lower case, folders by their full path.
names=$(tail -n +2 list.txt | head -n 5 | awk '{print $1}' | tr '\n' ' ')
[ "$names" = "B.txt a.txt gfx/tiles.bmp sfx/small story.txt " ] || bad "member order: $names"
grep -q "^gfx/tiles.bmp *20000 " list.txt || bad "list sizes"
"$HKCA" extract one.bin "sfx/small theme.mod" got.mod && cmp -s got.mod "in/sfx/small theme.mod" || bad "extract to OUT"
"$HKCA" extract best.bin story.txt && cmp -s story.txt in/story.txt || bad "extract to its own name"
# Packing a folder into an archive inside it twice does not swallow the
# first archive; the same folder packs to the same bytes.
"$HKCA" pack in in/self.bin >/dev/null && "$HKCA" pack in in/self.bin >/dev/null &&
  ! "$HKCA" list in/self.bin | grep -q "^self.bin" || bad "the old archive was packed into the new one"
rm -f in/self.bin
"$HKCA" pack in again.bin >/dev/null && cmp -s one.bin again.bin || bad "pack is not stable"

fails
fails frobnicate x
fails pack in
fails pack in x.bin --fast
fails pack missing_folder x.bin
fails list missing.bin
fails verify in
fails extract one.bin no/such/member
: >in/empty.dat
fails pack in x.bin
grep -q "empty" err.txt || bad "empty file message"
[ -e x.bin ] && bad "a refused pack left an archive behind"
rm in/empty.dat

# Damaged archives: prefixes of a real one, which verify refuses, and bytes
# flipped, which no command may crash on; verify must also refuse a member
# whose record claims a byte more than its stream gives (the size of B.txt,
# the first member, stands at byte 39).
head -c 33 one.bin >header_only.bin
"$HKCA" verify header_only.bin >/dev/null || bad "an archive without members is valid"
size=$(wc -c <one.bin)
for cut in 0 10 31 32 40 60 100 $((size - 1)); do
  head -c $cut one.bin >cut.bin
  fails verify cut.bin
  survives list cut.bin
done
for at in 0 30 31 40 45 48 52 60 200 400; do
  cp one.bin flip.bin
  printf '\377' | dd of=flip.bin bs=1 seek=$at conv=notrunc 2>/dev/null
  survives list flip.bin
  survives extract flip.bin story.txt out.txt
  survives verify flip.bin
done
cp one.bin flip.bin
printf '\002' | dd of=flip.bin bs=1 seek=39 conv=notrunc 2>/dev/null
fails verify flip.bin
grep -q "decodes to 1 bytes, its record says 2" err.txt || bad "verify did not name the short member"

[ $errors -eq 0 ] && echo "hkca tool: all checks passed"
exit $((errors > 0))

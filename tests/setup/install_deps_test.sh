#!/usr/bin/env bash
# The set-up's decisions when the package mirror misbehaves, with apt-get and dpkg replaced
# by stubs on PATH: which apt-get commands run, in which order, what the set-up says and how
# it ends; and that the test command then takes the 64-bit Windows build.
set -u
scripts=$1
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
release=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
release=${release:-bookworm}

# apt-get: every call is logged as "update" or "install[ -t RELEASE][ wine32]"; $SCENARIO says how
# the mirror answers.
cat >"$stubs/apt-get" <<'STUB'
#!/usr/bin/env bash
args="$*"
if [ "$1" = update ]; then
  echo update >>"$LOG"
  case $SCENARIO in
    partial*) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" >&2
              echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
              exit 100 ;;
    offline) echo "E: Could not resolve the mirror" >&2; exit 100 ;;
  esac
  exit 0
fi
entry="install$([[ $args =~ -t\ ([a-z]+) ]] && echo " -t ${BASH_REMATCH[1]}")$([[ $args == *wine32:i386* ]] && echo " wine32")"
echo "$entry" >>"$LOG"
case $SCENARIO in
  *unmet-once) [[ $args == *"-t "* ]] && exit 0 ;;
  *no-wine32) [[ $args != *wine32:i386* ]] && exit 0 ;;
  *broken) echo "E: Sub-process /usr/bin/dpkg returned an error code (1)" >&2; exit 100 ;;
  *) exit 0 ;;
esac
echo "E: Unable to correct problems, you have held broken packages." >&2
echo "The following packages have unmet dependencies:" >&2
exit 100
STUB
printf '#!/bin/sh\necho 0\n' >"$stubs/id"
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n' >"$stubs/dpkg"
printf '#!/bin/sh\nexit 1\n' >"$stubs/dpkg-query"  # nothing is installed
printf '#!/bin/sh\necho zh_CN.utf8\n' >"$stubs/locale"
chmod +x "$stubs"/*

failures=0
# scenario | exit status | apt-get calls, in order | a line the set-up must print
cases=(
  "partial|0|update, update, update, install wine32|going on with the ones that came"
  "unmet-once|0|update, install wine32, install -t $release wine32|trying the release's own versions"
  "partial-no-wine32|0|update, update, update, install wine32, install -t $release wine32, install|32-bit Wine (wine32:i386) could not be installed"
  "offline|1|update, update, update|apt-get update failed; run scripts/install-deps again later"
  "broken|1|update, install wine32|installing packages failed (apt-get install); run scripts/install-deps again later"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r scenario want_status want_calls want_line <<<"$entry"
  log="$stubs/$scenario.log"
  : >"$log"
  out=$(PATH="$stubs:$PATH" LOG=$log SCENARIO=$scenario QUILLREAP_APT_PAUSE=0 \
    "$scripts/install-deps" 2>&1)
  status=$?
  calls=$(paste -sd, "$log" | sed 's/,/, /g')
  want=$want_calls
  if [ "$status" != "$want_status" ] || [ "$calls" != "$want" ] || [[ $out != *"$want_line"* ]]; then
    echo "FAILED $scenario: exit $status (want $want_status); calls '$calls' (want '$want')"
    echo "$out" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
done

# With 32-bit Wine missing the Windows tests take the 64-bit build, saying why.
choice=$(QUILLREAP_WINE32_LOADER="$stubs/no-such-loader" QUILLREAP_NO_32BIT=0 \
  "$scripts/windows-test-build")
if [ "$choice" != "64 32-bit Wine (wine32:i386) is not installed" ]; then
  echo "FAILED: without 32-bit Wine the test command chose '$choice'"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "every set-up case passed"
exit "$failures"

#!/usr/bin/env bash
# 32-bit Wine needs the i386 build of many shared libraries that the machine
# has for amd64 too. A library marked "Multi-Arch: same" must have one version
# on both architectures, so when one architecture's index of a suite lags or
# cannot be read (a mirror may serve it damaged for days), the two candidates
# differ and apt's resolver gives up on the whole install.
#
#   align-multiarch.sh FILE [NAME...]
#
# writes to FILE an apt preferences file that pins each such package (or each
# of the NAMEs among them) to the
# newest version that both architectures' indexes list, and with it every
# other binary package of the same source at that version (a tool that
# depends on its library's exact version would otherwise be removed). It
# prints one line per pinned package: NAME VERSION NEWEST, NEWEST being the
# version that apt would otherwise choose.
#
# The file is for one apt call (-o Dir::Etc::Preferences=FILE): nothing on the
# machine keeps it, so a later "apt-get upgrade" brings the libraries up to
# date once the indexes agree again. The pins are above 1000 so that a plan
# that would need a package the machine has to go back shows it as such,
# and the caller can refuse it, rather than fail with the resolver's riddle.
set -euo pipefail
prefs=$1
shift
only="$*"
native=$(dpkg --print-architecture)
foreign=i386

# One record per line: name, architecture, version, Multi-Arch, source.
records() {
  local file
  apt-get indextargets --format '$(FILENAME)' 'Created-By: Packages' | while read -r file; do
    [ -e "$file" ] && /usr/lib/apt/apt-helper cat-file "$file"
    echo
  done | awk '
    /^Package:/ { p = $2 } /^Architecture:/ { a = $2 } /^Version:/ { v = $2 }
    /^Multi-Arch:/ { m = $2 } /^Source:/ { s = $2 }
    /^$/ { if (p != "") print p, a, v, (m == "" ? "-" : m), (s == "" ? p : s); p = a = v = m = s = "" }'
}

# The newest of the versions given.
newest() {
  local best=$1 v
  shift
  for v; do dpkg --compare-versions "$v" gt "$best" && best=$v; done
  echo "$best"
}

all=$(records)

# For each "Multi-Arch: same" package on both architectures whose versions
# differ: NAME|the versions both list|every version.
skewed=$(awk -v n="$native" -v f="$foreign" -v only="$only" '
  BEGIN { k = split(only, w, " "); for (i = 1; i <= k; i++) wanted[w[i]] = 1 }
  $4 == "same" && (k == 0 || $1 in wanted) && ($2 == n || $2 == f) { vs[$1 " " $2] = vs[$1 " " $2] " " $3; both[$1] = 1 }
  END {
    for (p in both) {
      if (!((p " " n) in vs) || !((p " " f) in vs)) continue
      split(vs[p " " n], a, " "); split(vs[p " " f], b, " ")
      delete inb; delete ina; common = ""; differ = 0
      for (i in b) inb[b[i]] = 1
      for (i in a) { ina[a[i]] = 1; if (a[i] in inb) common = common " " a[i]; else differ = 1 }
      for (i in b) if (!(b[i] in ina)) differ = 1
      if (differ && common != "") print p "|" common "|" vs[p " " n] " " vs[p " " f]
    }
  }' <<<"$all")

pins=$(while IFS='|' read -r name common every; do
  [ -n "$name" ] || continue
  # shellcheck disable=SC2086  # version lists split at blanks
  target=$(newest $common)
  # shellcheck disable=SC2086
  top=$(newest $every)
  [ "$target" = "$top" ] || echo "$name $target $top"
done <<<"$skewed")

# The same source's other binaries at the same version, for any architecture,
# each with every version it has, of which the newest is what apt would choose.
held=$(awk -v pinned="$pins" '
  BEGIN {
    n = split(pinned, lines, "\n")
    for (i = 1; i <= n; i++) { split(lines[i], w, " "); if (w[1] != "") { want[w[1]] = w[2]; top[w[1]] = w[3] } }
  }
  { name[NR] = $1; ver[NR] = $3; src[NR] = $5; if ($1 in want && $3 == want[$1]) held[$5 " " $3] = 1 }
  END {
    for (i = 1; i <= NR; i++)
      if ((src[i] " " ver[i]) in held && !(name[i] in want)) { want[name[i]] = ver[i]; sibling[name[i]] = 1 }
    for (i = 1; i <= NR; i++) if (name[i] in sibling) top[name[i]] = top[name[i]] " " ver[i]
    for (p in want) print p, want[p], top[p]
  }' <<<"$all" | sort | while read -r name target every; do
  # shellcheck disable=SC2086
  echo "$name $target $(newest $target $every)"
done)

awk 'NF { printf "Package: %s:any\nPin: version %s\nPin-Priority: 1001\n\n", $1, $2 }' <<<"$held" >"$prefs"
[ -z "$held" ] || echo "$held"

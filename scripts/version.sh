# Sourced by the scripts that name files after the effect's version, one of its facts in
# description/EffectIds.h.
#
#   effect_version                    the 64-bit generation's version, e.g. 2.7.50
#   effect_version FIRST_GENERATION   the first generation's, e.g. 2.6.0
#
# Prints nothing and fails when the header does not hold a whole version.

effect_version_header="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/description/EffectIds.h"

effect_version() {
  local prefix=MORLENT_${1:+$1_}VERSION part version=
  for part in MAJOR MINOR PATCH; do
    version+=${version:+.}$(sed -nE "s/^#define ${prefix}_${part} ([0-9]+)$/\1/p" "$effect_version_header")
  done
  [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || return 1
  echo "$version"
}

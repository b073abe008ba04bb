#!/usr/bin/env bash
# LV2's validator (lv2_validate, from lv2-dev with sord_validate from sordi) on every Turtle file
# of the bundle: no errors and no warnings.
#   validate-bundle.sh BUNDLE_FOLDER
set -uo pipefail
bundle=${1:?usage: validate-bundle.sh BUNDLE_FOLDER}
output=$(lv2_validate "$bundle"/*.ttl 2>&1)
status=$?
echo "$output"
[ $status -eq 0 ] || exit 1
! grep -qiE '^(error|warning)' <<<"$output" && grep -qE '^Found 0 errors' <<<"$output"

#!/usr/bin/env bash
# Checks a built plug-in DLL as a host machine would see it: it exports exactly its entry points
# (the VST 2 entry point under its two names, unless told others), and imports nothing but DLLs
# every Windows installation has.
# Usage: check-dll.sh OBJDUMP DLL [EXPORTS]
# EXPORTS: the sorted export names, space-separated (default: the VST 2 entry point's two).
set -u
objdump=$1
dll=$2
expected="${3:-VSTPluginMain main} "
dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }

exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && /^[ \t]*\[/ {print $NF; next} t && !/^[ \t]*\[/ {t=0}' | LC_ALL=C sort | tr '\n' ' ')
if [ "$exports" != "$expected" ]; then
  echo "exports are '$exports', expected exactly '${expected% }'"
  exit 1
fi

status=0
system='^(kernel32|user32|gdi32|gdiplus|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|advapi32|msvcrt|uxtheme|msimg32|winmm|version|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r name; do
  lower=$(printf '%s' "$name" | tr 'A-Z' 'a-z')
  if ! printf '%s' "$lower" | grep -qE "$system"; then
    echo "imports a non-system DLL: $name"
    status=1
  fi
done < <(printf '%s\n' "$dump" | awk '/DLL Name:/ {print $3}')
[ $status -eq 0 ] && echo "exports: $exports; imports: $(printf '%s\n' "$dump" | awk '/DLL Name:/ {printf "%s ", $3}')"
exit $status

#!/bin/sh
# Checks the shipped program: a GUI executable of the expected format (the product is
# 32-bit x86) that stands alone (no runtime DLLs beside it) and binds WinInet by name
# instead of importing it.
#   check_executable.sh EXE "FORMAT AS file(1) SAYS IT" OBJDUMP
exe=$1
expected=$2
objdump=$3
fail=0
kind=$(file -b "$exe")
echo "$kind"
case $kind in
  "$expected"*) ;;
  *) echo "not a \"$expected\" file"; fail=1 ;;
esac
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "imports:" $imports
[ -n "$imports" ] || { echo "no import table"; fail=1; }
for dll in $imports; do
  case $dll in
    wininet.dll) echo "imports wininet.dll: it must be bound at run time"; fail=1 ;;
    libstdc++*|libgcc*|libwinpthread*|*mingw*|zlib*|libz*) echo "needs a runtime DLL: $dll"; fail=1 ;;
  esac
done
exit $fail

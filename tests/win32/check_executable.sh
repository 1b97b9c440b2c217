#!/bin/sh
# Checks the shipped program: a 32-bit GUI executable for x86 that stands alone (no
# runtime DLLs beside it) and binds WinInet by name instead of importing it.
exe=$1
fail=0
kind=$(file -b "$exe")
echo "$kind"
case $kind in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "not a 32-bit x86 GUI executable"; fail=1 ;;
esac
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "imports:" $imports
[ -n "$imports" ] || { echo "no import table"; fail=1; }
for dll in $imports; do
  case $dll in
    wininet.dll) echo "imports wininet.dll: it must be bound at run time"; fail=1 ;;
    libstdc++*|libgcc*|libwinpthread*|*mingw*) echo "needs a runtime DLL: $dll"; fail=1 ;;
  esac
done
exit $fail

#!/bin/sh
# Checks a built program without running it: pecheck.sh OBJDUMP EXE imports|format FORMAT
#   imports: it imports Windows' own DLLs and nothing else (a static build needs no other)
#   format FORMAT: it is a PE file of that format (pei-i386, pei-x86-64) for the GUI subsystem
# objdump speaks the environment's language (the tests run under zh_CN): read it in English.
export LC_ALL=C
objdump=$1 exe=$2
case $3 in
  imports)
    dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
    echo "$dlls" | grep -qix 'KERNEL32.dll' || { echo "no import table read from $exe" >&2; exit 1; }
    other=$(echo "$dlls" | grep -viE '^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|WININET|MSVCRT|MSIMG32|COMDLG32|UxTheme)\.dll$')
    [ -z "$other" ] || { echo "imports DLLs that are not Windows' own: $other" >&2; exit 1; } ;;
  format)
    "$objdump" -f "$exe" | grep -q "file format $4\$" || { echo "$exe is not $4" >&2; exit 1; }
    "$objdump" -p "$exe" | grep -qE '^Subsystem[[:space:]]+00000002' || { echo "$exe is not a GUI program" >&2; exit 1; } ;;
  *) echo "usage: pecheck.sh OBJDUMP EXE imports|format FORMAT" >&2; exit 2 ;;
esac

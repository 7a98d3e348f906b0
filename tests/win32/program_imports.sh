#!/bin/sh
# Refuses what the oldest Windows the program starts on, Windows 7 SP1, does not have among the
# program's imports: a DLL outside the system's own set, or a function that came later (those
# are looked up at run time instead, so that an older system falls back rather than refusing
# to start). Wine has them all, so only the import table shows such a mistake.
# Usage: program_imports.sh objdump program
set -eu
objdump=$1
program=$2

# DLL and function, one a line, from the import tables alone.
imports=$("$objdump" -p "$program" | awk '
    /^The Import Tables/ { on = 1; next }
    /^The [A-Z]|^PE File Base/ { on = 0 }
    on && /DLL Name:/ { dll = tolower($3); next }
    on && dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }')
if [ -z "$imports" ]; then
    echo "no import table read from $program" >&2
    exit 1
fi

windows7_dlls='advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll
ole32.dll oleacc.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll'
# Functions of these DLLs that came after Windows 7: the per-monitor DPI calls (Windows 10),
# and the kernel's newer calls that a toolchain or the standard library might reach for.
later_functions='AdjustWindowRectExForDpi AreDpiAwarenessContextsEqual EnableNonClientDpiScaling
GetAwarenessFromDpiAwarenessContext GetDpiForSystem GetDpiForWindow GetDpiFromDpiAwarenessContext
GetSystemDpiForProcess GetSystemMetricsForDpi GetThreadDpiAwarenessContext
GetWindowDpiAwarenessContext LogicalToPhysicalPointForPerMonitorDPI
PhysicalToLogicalPointForPerMonitorDPI SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext
SetThreadDpiHostingBehavior SystemParametersInfoForDpi GetPointerType
CopyFile2 CreateFile2 GetCurrentThreadStackLimits GetOverlappedResultEx
GetSystemTimePreciseAsFileTime PrefetchVirtualMemory SetThreadDescription SetThreadInformation
WaitOnAddress WakeByAddressAll WakeByAddressSingle'

refused=$(echo "$imports" | while read -r dll function; do
    case " $(echo $windows7_dlls) " in
    *" $dll "*) ;;
    *) echo "$dll $function (no such DLL on Windows 7)"; continue ;;
    esac
    case " $(echo $later_functions) " in
    *" $function "*) echo "$dll $function (newer than Windows 7: look it up at run time)" ;;
    esac
done)
if [ -n "$refused" ]; then
    echo "$program imports what Windows 7 lacks:" >&2
    echo "$refused" >&2
    exit 1
fi
echo "$(echo "$imports" | wc -l) imports, all on Windows 7 SP1"

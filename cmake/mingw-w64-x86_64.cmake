# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads flavour, which
# std::thread and std::mutex need). Programs are linked statically, so an .exe runs on a
# bare Windows and under wine without any DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEK_MINGW_TRIPLE}-windres)
# Libraries for Windows come from the compiler's own root and from the prefixes given, such
# as the Qt for Windows built by scripts/qt-windows.sh.
set(CMAKE_FIND_ROOT_PATH /usr/${ZEK_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(ZEK_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(ZEK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZEK_WINE})
endif()
# GCC 12's libstdc++ string concatenation trips a known false -Wrestrict at -O2 (GCC bug 105329).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

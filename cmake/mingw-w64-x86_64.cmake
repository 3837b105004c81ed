# Cross-builds for 64-bit Windows with the distribution's MinGW-w64 (the posix
# thread model, for std::thread and std::mutex); the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime linked in, so an executable runs without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Test discovery and ctest start the test programs through Wine.
find_program(VIVEZE_WINE wine)
if(VIVEZE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VIVEZE_WINE})
endif()

# add_program(<name> RC <file.rc> SOURCES <main.cpp ...> LIBS <libs>)
# Builds <name>.exe (32-bit) or <name>64.exe (64-bit) as a GUI program with its version block.
function(add_program name)
  cmake_parse_arguments(P "" "RC" "SOURCES;LIBS" ${ARGN})
  set(exe ${name}${ARCH_SUFFIX})
  add_executable(${exe} WIN32 ${P_SOURCES} ${P_RC})
  # The file name goes into the version block through a generated header (windres mangles quoted -D values).
  file(WRITE ${CMAKE_BINARY_DIR}/generated/${exe}/ProgramNames.h "#define VI_ORIGINAL_FILENAME \"${exe}.exe\"\n")
  target_include_directories(${exe} PRIVATE ${CMAKE_BINARY_DIR}/generated/${exe} ${PROJECT_SOURCE_DIR}/res
                             ${CMAKE_BINARY_DIR}/generated)
  if(MINGW)
    target_link_options(${exe} PRIVATE -municode)
  endif()
  target_link_libraries(${exe} PRIVATE ${P_LIBS})
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# Test executables: native ones run directly, Windows ones through the emulator (Wine).
# add_unit_test(<name> SOURCES ... LIBS ... [TIMEOUT s])
function(add_unit_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(WIN32)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/TestManifest.rc)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/res)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "TEST_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()

# wWinMain / wmain entry for a MinGW-built helper program (MSVC picks the entry point by itself).
function(use_wide_entry target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()

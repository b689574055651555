# Shared build settings and helpers for every folder.

option(KELVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(KELVO_CACHE "$ENV{XDG_CACHE_HOME}/kelvo")
else()
  set(KELVO_CACHE "$ENV{HOME}/.cache/kelvo")
endif()

add_library(kelvo_options INTERFACE)
target_compile_options(kelvo_options INTERFACE -Wall -Wextra -Wpedantic)
if(DEFINED ENV{CI})
  target_compile_options(kelvo_options INTERFACE -Werror)
endif()
target_include_directories(kelvo_options INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
  target_compile_definitions(kelvo_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # One self-contained executable: no MinGW runtime DLLs beside it.
  target_link_options(kelvo_options INTERFACE -static -static-libgcc -static-libstdc++)

  list(APPEND CMAKE_FIND_ROOT_PATH "${KELVO_CACHE}/gtest-win/current")
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run")

  # cairo, pixman and libpng cross-built by scripts/setup; zlib from Debian.
  set(deps "${KELVO_CACHE}/deps/current")
  add_library(kelvo_cairo INTERFACE)
  target_include_directories(kelvo_cairo SYSTEM INTERFACE "${deps}/include/cairo" "${deps}/include")
  target_compile_definitions(kelvo_cairo INTERFACE CAIRO_WIN32_STATIC_BUILD)
  target_link_libraries(kelvo_cairo INTERFACE
    "${deps}/lib/libcairo.a" "${deps}/lib/libpixman-1.a" "${deps}/lib/libpng16.a"
    -l:libz.a ssp gdi32 msimg32 user32)
  add_library(kelvo_png INTERFACE)
  target_include_directories(kelvo_png SYSTEM INTERFACE "${deps}/include")
  target_link_libraries(kelvo_png INTERFACE "${deps}/lib/libpng16.a" -l:libz.a)
else()
  if(KELVO_SANITIZE)
    target_compile_options(kelvo_options INTERFACE
      -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(kelvo_options INTERFACE -fsanitize=address,undefined)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      # Coverage hooks everywhere, so the fuzzers see into the libraries they
      # link; in the tests the sanitizer runtime supplies empty ones.
      target_compile_options(kelvo_options INTERFACE -fsanitize=fuzzer-no-link)
    endif()
  endif()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(KELVO_PNG REQUIRED IMPORTED_TARGET libpng)
  add_library(kelvo_png INTERFACE)
  target_link_libraries(kelvo_png INTERFACE PkgConfig::KELVO_PNG)
endif()

# nlohmann/json, header-only, from the build machine's packages for both
# builds. The cross build sees it through a folder that holds nothing else,
# so that no other header of the build machine can stand in for MinGW's.
find_path(KELVO_JSON_DIR nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH)
if(NOT KELVO_JSON_DIR)
  message(FATAL_ERROR "nlohmann/json.hpp not found (scripts/setup installs nlohmann-json3-dev)")
endif()
add_library(kelvo_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
  set(json_link_dir ${CMAKE_BINARY_DIR}/nlohmann-json)
  file(MAKE_DIRECTORY ${json_link_dir})
  file(CREATE_LINK ${KELVO_JSON_DIR}/nlohmann ${json_link_dir}/nlohmann SYMBOLIC)
  target_include_directories(kelvo_json SYSTEM INTERFACE ${json_link_dir})
else()
  target_include_directories(kelvo_json SYSTEM INTERFACE ${KELVO_JSON_DIR})
endif()

find_package(GTest REQUIRED)

# One test executable per folder: kelvo_add_tests(<folder> SOURCES ... LIBS ...)
function(kelvo_add_tests folder)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT arg_SOURCES)
    return()
  endif()
  set(name ${folder}_test)
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} kelvo_options GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# libFuzzer targets (native clang builds only), each with a short run as a test.
function(kelvo_add_fuzzer name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} kelvo_options)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name} COMMAND ${name} -max_total_time=20 -rss_limit_mb=1024 -print_final_stats=0 ${corpus})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()

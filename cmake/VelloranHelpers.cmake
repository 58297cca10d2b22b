# Build conventions shared by every folder.

find_program(VL_CCACHE ccache)
if(VL_CCACHE)
    # Base dir + no hashed cwd: a fresh clone in another folder still hits the cache. The
    # sloppiness lets ccache cache sources that use a precompiled header; the depend mode keys
    # on the compiler's own dependency list instead of preprocessing every source a second time,
    # which a build from nothing would pay for in full.
    set(_vl_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
        CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
        CCACHE_DEPEND=1 ${VL_CCACHE})
    set(CMAKE_C_COMPILER_LAUNCHER ${_vl_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_vl_launcher})
endif()

add_compile_options(-Wall -Wextra)
option(VL_WERROR "Treat compiler warnings as errors" OFF)
if(VL_WERROR)
    add_compile_options(-Werror)
endif()

# How much debug information the objects carry: "full" (-g, the build type's own), "lines" (line
# tables only: stack traces and sanitizer reports keep file and line, objects and links shrink)
# or "none". CI trees take "lines"; nobody steps through them in a debugger.
set(VL_DEBUG_INFO "full" CACHE STRING "Debug information: full, lines or none")
set_property(CACHE VL_DEBUG_INFO PROPERTY STRINGS full lines none)
if(VL_DEBUG_INFO STREQUAL "lines")
    # Given after the build type's -g, so this level wins.
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        add_compile_options(-gline-tables-only)
    else()
        add_compile_options(-g1)
    endif()
elseif(VL_DEBUG_INFO STREQUAL "none")
    add_compile_options(-g0)
elseif(NOT VL_DEBUG_INFO STREQUAL "full")
    message(FATAL_ERROR "VL_DEBUG_INFO is full, lines or none, not '${VL_DEBUG_INFO}'")
endif()

if(VL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VL_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    # The libraries and the fuzz targets are instrumented for coverage (vl_fuzz_coverage); only
    # the fuzz targets get libFuzzer's main. With VL_SANITIZE as well, one tree serves both: the
    # tests are built too and run under the same sanitizers (the coverage hooks are no-ops
    # without libFuzzer), so the libraries are compiled once for the tests and the fuzz targets.
    if(NOT VL_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

# vl_fuzz_coverage(<target> ...): coverage for libFuzzer in what the fuzz targets run; tests and
# programs need none.
function(vl_fuzz_coverage)
    if(VL_FUZZ)
        foreach(target IN LISTS ARGN)
            target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
        endforeach()
    endif()
endfunction()
# lld links the hundred-odd test programs several times faster than the system's default
# linker; with line tables only, linking is a good part of a cold build on two cores.
option(VL_LLD "Link with lld when the compiler can use it" ON)
if(VL_LLD)
    include(CheckLinkerFlag)
    check_linker_flag(CXX "-fuse-ld=lld" VL_HAVE_LLD)
    if(VL_HAVE_LLD)
        add_link_options(-fuse-ld=lld)
    endif()
endif()

# Precompiled headers (cmake/pch/) for the targets with many sources, where parsing Qt's and
# GoogleTest's headers again for every source costs more than building the image once.
option(VL_PCH "Precompile the common Qt and GoogleTest headers of large targets" ON)
set(VL_PCH_MIN_SOURCES 6 CACHE STRING "Sources a target needs before it gets a precompiled header")
if(VL_PCH AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The image carries no time stamp, so ccache can reuse the sources compiled against it.
    add_compile_options("SHELL:-Xclang -fno-pch-timestamp")
endif()

# Libraries compile their sources in batches of eight (one translation unit each), so the
# headers and the inline and template code they share are parsed and compiled once per batch,
# not once per source: about half the compile time of a cold build. A source whose file-local
# names clash with another's, or that the compilers judge differently once batched, is marked
# SKIP_UNITY_BUILD_INCLUSION in its folder and compiles alone.
option(VL_UNITY "Compile each library's sources in batches" ON)

# vl_precompile(<target> <qt|test>): the target's precompiled header, when it has enough C++
# sources to pay for it; counted when its folder is done, since sources may be added later.
function(vl_precompile target kind)
    if(VL_PCH)
        cmake_language(EVAL CODE "cmake_language(DEFER CALL _vl_precompile_now ${target} ${kind})")
    endif()
endfunction()
function(_vl_precompile_now target kind)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count GREATER_EQUAL VL_PCH_MIN_SOURCES)
        target_precompile_headers(${target} PRIVATE
            $<$<COMPILE_LANGUAGE:CXX>:${CMAKE_SOURCE_DIR}/cmake/pch/${kind}.h>)
    endif()
endfunction()

# The tests of one folder that link the same libraries and have the same definitions and
# options of their own share one precompiled header (test.h): the first builds it, the others
# reuse it. A compiler takes an image only under the very flags that made it, hence the
# grouping. Most test programs have one or two sources, so one image per program would not pay.
set(VL_PCH_MIN_TEST_SOURCES 5 CACHE STRING "Sources a group of tests needs before it shares a precompiled header")
function(_vl_share_test_pch)
    get_property(tests DIRECTORY PROPERTY VL_PCH_TESTS)
    set(keys "")
    foreach(test IN LISTS tests)
        get_target_property(group ${test} VL_PCH_GROUP)
        get_target_property(definitions ${test} COMPILE_DEFINITIONS)
        get_target_property(options ${test} COMPILE_OPTIONS)
        get_target_property(automoc ${test} AUTOMOC)
        string(SHA1 key "${group}|${definitions}|${options}|${automoc}")
        list(APPEND keys ${key})
        list(APPEND members_${key} ${test})
    endforeach()
    list(REMOVE_DUPLICATES keys)
    foreach(key IN LISTS keys)
        set(count 0)
        foreach(test IN LISTS members_${key})
            get_target_property(sources ${test} SOURCES)
            list(FILTER sources INCLUDE REGEX "\\.cpp$")
            list(LENGTH sources n)
            math(EXPR count "${count} + ${n}")
        endforeach()
        if(count LESS VL_PCH_MIN_TEST_SOURCES)
            continue()
        endif()
        list(POP_FRONT members_${key} donor)
        target_precompile_headers(${donor} PRIVATE
            $<$<COMPILE_LANGUAGE:CXX>:${CMAKE_SOURCE_DIR}/cmake/pch/test.h>)
        foreach(test IN LISTS members_${key})
            target_precompile_headers(${test} REUSE_FROM ${donor})
        endforeach()
    endforeach()
endfunction()

# Tests (and the programs and helpers only they use) are built except in a fuzz-only tree.
if(VL_FUZZ AND NOT VL_SANITIZE)
    set(VL_TESTS OFF)
else()
    set(VL_TESTS ON)
endif()

find_package(Threads REQUIRED)
find_package(GTest REQUIRED)

# Qt is looked for only by the folders that use it, so that the Qt-free libraries (and their
# sanitizer and fuzz builds) never depend on it. Imported targets are folder-local, so every
# such folder asks again; the answer is cached.
macro(vl_need_qt)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network Xml Test Multimedia Core5Compat)
    set(CMAKE_AUTOMOC ON)
    set(VL_QT_FOLDER ON)
endmacro()

# Mail bytes are Latin-1 in the records: no implicit byte-array/string conversion may decode
# them as UTF-8 without a word, and every connect names its context object.
set(VL_QT_STRICT_DEFINITIONS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_CONTEXTLESS_CONNECT)

# vl_qt_strict(<target> ...): the same rules for programs and helper libraries made without
# vl_add_library. Tests, fuzz targets and benchmarks get them from their helpers whether or not
# their folder asked for Qt: many reach Qt through the libraries they link, and the defines
# mean nothing to a source that never includes a Qt header.
function(vl_qt_strict)
    foreach(target IN LISTS ARGN)
        target_compile_definitions(${target} PRIVATE ${VL_QT_STRICT_DEFINITIONS})
    endforeach()
endfunction()

# vl_add_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# builds the shared library libvl_<name> as target vl_<name>; its folder is the include root.
function(vl_add_library name)
    cmake_parse_arguments(A "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(vl_${name} SHARED ${A_SOURCES})
    set_target_properties(vl_${name} PROPERTIES OUTPUT_NAME vl_${name})
    # Another library's headers are named by folder ("data/data_email.h"); a library's own
    # sources may name its headers plainly.
    target_include_directories(vl_${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT VL_SANITIZE AND NOT VL_FUZZ)
        target_link_options(vl_${name} PRIVATE -Wl,--no-undefined)
    endif()
    target_link_libraries(vl_${name} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
    vl_fuzz_coverage(vl_${name})
    if(VL_UNITY)
        set_target_properties(vl_${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
    if(VL_QT_FOLDER)
        target_compile_definitions(vl_${name} PRIVATE ${VL_QT_STRICT_DEFINITIONS})
        vl_precompile(vl_${name} qt)
    endif()
    # A local that hides another local or a parameter is a mix-up waiting to happen. Members
    # named by constructor parameters stay allowed, and tests are left out: GoogleTest's
    # naming macros hide their own parameter.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(vl_${name} PRIVATE -Wshadow=local)
    endif()
    # Installed side by side in <prefix>/lib/velloran, where they find one another.
    set_target_properties(vl_${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS vl_${name} LIBRARY DESTINATION lib/velloran)
endfunction()

# vl_add_test(<name> SOURCES ... LIBS ... [QT] [XVFB] [ENV k=v ...] [SERIAL] [ISOLATED])
# a GoogleTest binary; QT gives it a main that creates the application object
# (offscreen platform), XVFB the same main on a private Xvfb display (1024x768, no window
# manager, xcb), otherwise its main is Qt-free.
# The binary runs as one test: its servers, display and application object are started once
# for all its cases, not once per case (GoogleTest names the case that failed). ISOLATED runs
# each case in a process of its own instead, for binaries whose cases share the program's
# process-wide stores and lists.
function(vl_add_test name)
    if(NOT VL_TESTS)
        return()
    endif()
    cmake_parse_arguments(A "QT;XVFB;SERIAL;ISOLATED" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    if(A_XVFB)
        target_link_libraries(${name} PRIVATE vl_testmain_xvfb ${A_LIBS})
    elseif(A_QT)
        target_link_libraries(${name} PRIVATE vl_testmain_qt ${A_LIBS})
    else()
        target_link_libraries(${name} PRIVATE vl_testmain ${A_LIBS})
    endif()
    vl_qt_strict(${name})
    # Few tests declare a QObject of their own; moc over the others costs a compiler run per
    # program for nothing. A test that gains one is seen at the next configure (which
    # scripts/build.sh runs every time).
    set(needs_moc OFF)
    foreach(source IN LISTS A_SOURCES)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} OUTPUT_VARIABLE path)
        if(EXISTS ${path})
            file(STRINGS ${path} hits REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE|#include \".*moc")
            if(hits)
                set(needs_moc ON)
                break()
            endif()
        endif()
    endforeach()
    if(NOT needs_moc)
        set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    endif()
    if(VL_PCH)
        # Grouped with the folder's other tests at the end of the folder (_vl_share_test_pch).
        set(libs ${A_LIBS})
        list(SORT libs)
        set_property(TARGET ${name} PROPERTY VL_PCH_GROUP "${A_QT}${A_XVFB};${libs}")
        set_property(DIRECTORY APPEND PROPERTY VL_PCH_TESTS ${name})
        get_property(scheduled DIRECTORY PROPERTY VL_PCH_SCHEDULED)
        if(NOT scheduled)
            set_property(DIRECTORY PROPERTY VL_PCH_SCHEDULED ON)
            cmake_language(DEFER CALL _vl_share_test_pch)
        endif()
    endif()
    # The test's own code is checks and set-up: optimising it costs more compile time than it
    # ever saves at run time (the code under test keeps its build's optimisation).
    target_compile_options(${name} PRIVATE -O0)
    target_compile_definitions(${name} PRIVATE
        VL_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
        VL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        VL_BINARY_DIR="${CMAKE_BINARY_DIR}")
    if(A_ENV)
        # Set by the binary itself before main: a list handed through the test-discovery
        # properties is flattened on the way, and its variables would be lost.
        set(lines "")
        foreach(entry IN LISTS A_ENV)
            string(FIND "${entry}" "=" eq)
            string(SUBSTRING "${entry}" 0 ${eq} key)
            math(EXPR start "${eq} + 1")
            string(SUBSTRING "${entry}" ${start} -1 value)
            string(APPEND lines "    ::setenv(\"${key}\", \"${value}\", 1);\n")
        endforeach()
        set(env_source "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cpp")
        file(CONFIGURE OUTPUT "${env_source}" CONTENT
"// Generated by vl_add_test: the environment this test binary runs in.
#include <cstdlib>
#include <ctime>
namespace {
[[maybe_unused]] const bool kEnvironmentSet = [] {
${lines}    ::tzset();
    return true;
}();
} // namespace
")
        target_sources(${name} PRIVATE "${env_source}")
    endif()
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    if(NOT A_ISOLATED)
        # The time-out is per case; a whole binary gets what its slowest run may need.
        math(EXPR A_TIMEOUT "${A_TIMEOUT} * 5")
    endif()
    if(A_XVFB)
        set(props ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT ${A_TIMEOUT})
    else()
        set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${A_TIMEOUT})
    endif()
    if(A_SERIAL)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    if(A_ISOLATED)
        # Listing at test time keeps the build free of test runs (sanitizer builds, no display).
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
            PROPERTIES ${props})
    else()
        add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        set_tests_properties(${name} PROPERTIES ${props})
    endif()
endfunction()

# vl_add_fuzzer(<name> SOURCES ... LIBS ... [SEEDS <dir> ...] [DICT <file>]): a libFuzzer
# target, built only with VL_FUZZ. Its runs start from corpus/<name> (where an input that once
# crashed it is kept, named after the fault) and from the SEEDS folders, typically the tests'
# own inputs; DICT names the libFuzzer dictionary of the input's format. Relative paths are
# taken from the calling folder. .ci/run reads the list from ${CMAKE_BINARY_DIR}/fuzzers.txt,
# one line per target: name, program, seed folders joined by ":", dictionary or "-".
function(vl_add_fuzzer name)
    if(NOT VL_FUZZ)
        return()
    endif()
    cmake_parse_arguments(A "" "DICT" "SOURCES;LIBS;SEEDS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    vl_fuzz_coverage(${name})
    vl_qt_strict(${name})
    set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    foreach(dir IN LISTS A_SEEDS)
        cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
        if(NOT IS_DIRECTORY ${dir})
            message(FATAL_ERROR "vl_add_fuzzer(${name}): no seed folder ${dir}")
        endif()
        list(APPEND seeds ${dir})
    endforeach()
    list(JOIN seeds ":" seeds)
    set(dict -)
    if(A_DICT)
        cmake_path(ABSOLUTE_PATH A_DICT BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE dict)
        if(NOT EXISTS ${dict})
            message(FATAL_ERROR "vl_add_fuzzer(${name}): no dictionary ${dict}")
        endif()
    endif()
    set_property(GLOBAL APPEND PROPERTY VL_FUZZERS ${name})
    set_property(GLOBAL APPEND PROPERTY VL_FUZZER_LINES "${name} $<TARGET_FILE:${name}> ${seeds} ${dict}")
endfunction()

function(vl_finish_fuzzers)
    if(NOT VL_FUZZ)
        return()
    endif()
    get_property(fuzzers GLOBAL PROPERTY VL_FUZZERS)
    get_property(lines GLOBAL PROPERTY VL_FUZZER_LINES)
    list(JOIN lines "\n" text)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers.txt CONTENT "${text}\n")
    add_custom_target(fuzzers ALL DEPENDS ${fuzzers})
endfunction()

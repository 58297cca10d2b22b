# Build conventions shared by every folder.

find_program(VL_CCACHE ccache)
if(VL_CCACHE)
    # Base dir + no hashed cwd: a fresh clone in another folder still hits the cache.
    set(_vl_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${VL_CCACHE})
    set(CMAKE_C_COMPILER_LAUNCHER ${_vl_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_vl_launcher})
endif()

add_compile_options(-Wall -Wextra)
option(VL_WERROR "Treat compiler warnings as errors" OFF)
if(VL_WERROR)
    add_compile_options(-Werror)
endif()

if(VL_SANITIZE AND VL_FUZZ)
    message(FATAL_ERROR "VL_SANITIZE and VL_FUZZ are separate builds")
endif()
if(VL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VL_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    # Project code is instrumented for coverage; only the fuzz targets get libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
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
    if(VL_QT_FOLDER)
        target_compile_definitions(vl_${name} PRIVATE ${VL_QT_STRICT_DEFINITIONS})
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

# vl_add_test(<name> SOURCES ... LIBS ... [QT] [XVFB] [ENV k=v ...] [SERIAL])
# a GoogleTest binary; QT gives it a main that creates the application object
# (offscreen platform), XVFB the same main on a private Xvfb display (1024x768, no window
# manager, xcb), otherwise its main is Qt-free.
function(vl_add_test name)
    if(VL_FUZZ)
        return()
    endif()
    cmake_parse_arguments(A "QT;XVFB;SERIAL" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    if(A_XVFB)
        target_link_libraries(${name} PRIVATE vl_testmain_xvfb ${A_LIBS})
    elseif(A_QT)
        target_link_libraries(${name} PRIVATE vl_testmain_qt ${A_LIBS})
    else()
        target_link_libraries(${name} PRIVATE vl_testmain ${A_LIBS})
    endif()
    vl_qt_strict(${name})
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
    if(A_XVFB)
        set(props ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT ${A_TIMEOUT})
    else()
        set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${A_TIMEOUT})
    endif()
    if(A_SERIAL)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    # Listing at test time keeps the build free of test runs (sanitizer builds, no display).
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ${props})
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

# Tests of the Windows builds under Wine. Both Windows presets set
# CMAKE_CROSSCOMPILING_EMULATOR to tests/wine/wine-run.sh; the i686 build's
# programs run on Wine's 32-bit side (loader `wine`, the 32-bit registry
# view), the x86_64 build's on wine64. Every Wine test is registered once,
# through quillora_wine_test(), and so runs for both builds.
#
# quillora_wine_test(<name> COMMAND <command...> [PACKAGE] [REGISTRY]
#                    [PROVIDER | NO_PROVIDER] [TIMEOUT <seconds>] [LABELS <labels...>])
#   COMMAND   a test program target (run through the emulator) or a command
#             such as a script, which then runs with QUILLORA_WINE_BITS set:
#             tests/wine/wine-env.sh picks the loader and registry view from it.
#   PACKAGE   the test runs programs of the release package (below), so it
#             needs the package unpacked first.
#   REGISTRY  the test changes Wine's registry: it runs alone among those.
#   PROVIDER  mailsim.dll of this build is the registered mail provider.
#   NO_PROVIDER  runs after the provider has been unregistered again.
#   (PROVIDER and NO_PROVIDER imply REGISTRY.)
# (tests/e2e/CMakeLists.txt registers the scenarios, the Simple MAPI peer and
# the real callers this way.)
# Where this build's programs cannot run (no wine32, or a kernel that does
# not run 32-bit code), each test prints one line saying why and is skipped.
#
# The programs under test are those of the release package, unpacked from
# the zip that cmake/Package.cmake makes: QUILLORA_PACKAGED_QUILLORA and
# QUILLORA_PACKAGED_MAILTOPROBE (host paths), and QUILLORA_PACKAGED_DIR_WINDOWS
# (the same directory as the programs see it, Z:\...).
set(QUILLORA_RUNS_WINDOWS_TESTS OFF)
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR))
    return()
endif()
set(QUILLORA_RUNS_WINDOWS_TESTS ON)
set(QUILLORA_WINE_DIR ${PROJECT_SOURCE_DIR}/tests/wine)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUILLORA_WINE_BITS 32)
else()
    set(QUILLORA_WINE_BITS 64)
endif()

# Said once at configure time as well, so the skips are no surprise.
execute_process(
    COMMAND env QUILLORA_WINE_BITS=${QUILLORA_WINE_BITS} bash -c ". \"$1\"" _
            ${QUILLORA_WINE_DIR}/wine-env.sh
    RESULT_VARIABLE quillora_wine_usable
    OUTPUT_VARIABLE quillora_wine_why OUTPUT_STRIP_TRAILING_WHITESPACE)
if(quillora_wine_usable EQUAL 77)
    string(REGEX REPLACE "^SKIP: " "" quillora_wine_why "${quillora_wine_why}")
    message(WARNING "The Wine tests of this build will be skipped: ${quillora_wine_why}")
endif()

set(QUILLORA_PACKAGED_DIR ${CMAKE_BINARY_DIR}/package/unpacked/${QUILLORA_PACKAGE_NAME})
set(QUILLORA_PACKAGED_QUILLORA ${QUILLORA_PACKAGED_DIR}/Quillora.exe)
set(QUILLORA_PACKAGED_MAILTOPROBE ${QUILLORA_PACKAGED_DIR}/mailtoprobe.exe)
string(REPLACE "/" "\\" QUILLORA_PACKAGED_DIR_WINDOWS "Z:${QUILLORA_PACKAGED_DIR}")

function(quillora_wine_test name)
    cmake_parse_arguments(W "PACKAGE;REGISTRY;PROVIDER;NO_PROVIDER" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
    list(GET W_COMMAND 0 first)
    if(TARGET ${first})
        add_test(NAME ${name} COMMAND ${W_COMMAND})
    else()
        # A script: wine-test.sh skips it where this build cannot run.
        add_test(NAME ${name} COMMAND bash ${QUILLORA_WINE_DIR}/wine-test.sh ${W_COMMAND})
    endif()
    set(fixtures wine)
    if(W_PACKAGE)
        list(APPEND fixtures quillora_package_unpacked)
    endif()
    if(W_PROVIDER)
        list(APPEND fixtures wine_provider)
    endif()
    if(NOT W_TIMEOUT)
        set(W_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT QUILLORA_WINE_BITS=${QUILLORA_WINE_BITS}
        SKIP_RETURN_CODE 77
        FIXTURES_REQUIRED "${fixtures}"
        TIMEOUT ${W_TIMEOUT}
        LABELS "wine;${W_LABELS}")
    if(W_REGISTRY OR W_PROVIDER OR W_NO_PROVIDER)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_registry)
    endif()
    if(W_NO_PROVIDER)
        set_tests_properties(${name} PROPERTIES DEPENDS wine_provider_unregister)
    endif()
endfunction()

# quillora_wine_fixture(<name> <FIXTURES_SETUP|FIXTURES_CLEANUP> <fixture> <command...>)
function(quillora_wine_fixture name role fixture)
    add_test(NAME ${name} COMMAND bash ${QUILLORA_WINE_DIR}/wine-test.sh ${ARGN})
    set_tests_properties(${name} PROPERTIES ${role} ${fixture}
        ENVIRONMENT QUILLORA_WINE_BITS=${QUILLORA_WINE_BITS} SKIP_RETURN_CODE 77 TIMEOUT 240)
endfunction()

quillora_wine_fixture(wine_prefix_setup FIXTURES_SETUP wine ${QUILLORA_WINE_DIR}/wine-prefix.sh setup)
quillora_wine_fixture(wine_prefix_teardown FIXTURES_CLEANUP wine
                      ${QUILLORA_WINE_DIR}/wine-prefix.sh teardown)

# The programs of the release package, unpacked afresh for each test run.
add_test(NAME quillora_package_unpack
         COMMAND bash -c "rm -rf \"$1\" && mkdir -p \"$1\" && unzip -q \"$2\" -d \"$1\"" _
                 ${CMAKE_BINARY_DIR}/package/unpacked ${QUILLORA_PACKAGE_ZIP})
set_tests_properties(quillora_package_unpack PROPERTIES FIXTURES_SETUP quillora_package_unpacked)

# mailsim.dll of this build as the mail provider, in this build's registry view.
quillora_wine_fixture(wine_provider_register FIXTURES_SETUP wine_provider
                      ${QUILLORA_WINE_DIR}/mail-provider.sh register $<TARGET_FILE:mailsim>)
quillora_wine_fixture(wine_provider_unregister FIXTURES_CLEANUP wine_provider
                      ${QUILLORA_WINE_DIR}/mail-provider.sh unregister)
set_tests_properties(wine_provider_register wine_provider_unregister PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK wine_registry)

# With TMPDIR set no Wine process sees it, and the tests' files still follow it.
quillora_wine_test(wine_without_tmpdir COMMAND ${QUILLORA_WINE_DIR}/wine_without_tmpdir.sh TIMEOUT 120)

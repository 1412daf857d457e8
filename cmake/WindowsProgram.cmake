# quillora_windows_program(<target> [VERSION_RESOURCE])
#
# Makes an executable target one of the shipped Windows programs: GUI
# subsystem (no console), stripped, the toolchain's runtimes linked statically
# so that only the system's own DLLs are imported, and built for size. With
# VERSION_RESOURCE the program carries the version block (res/version.rc.in).
# Elsewhere (the native build on the platform stand-in) it does nothing.
# quillora_program_code(<target>)
#
# Marks a target as code of the shipped programs. For Windows it is built
# without C++ exceptions and RTTI, and with every function and object in a
# section of its own: the programs then need nothing of the C++ library's
# runtime, and the linker drops what nothing references. The native build
# keeps the defaults, so tests and sanitizers see ordinary C++.
function(quillora_program_code target)
    if(WIN32)
        target_compile_options(${target} PRIVATE
            $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
            -ffunction-sections -fdata-sections)
    endif()
endfunction()

function(quillora_windows_program target)
    cmake_parse_arguments(P "VERSION_RESOURCE" "" "" ${ARGN})
    if(NOT WIN32)
        return()
    endif()

    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)

    # Size: every function and object in a section of its own, so that the
    # linker drops what nothing references.
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
    target_link_options(${target} PRIVATE
        -static -static-libgcc -static-libstdc++
        -s
        -Wl,--gc-sections)

    if(P_VERSION_RESOURCE)
        target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/res/version.rc)
    endif()
endfunction()

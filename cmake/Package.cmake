# The release package of a Windows build: package/quillora-<version>-<arch>.zip
# in the build directory (x86 for i686, x64 for x86_64), made from the built
# programs by scripts/make-package.sh as part of the build. The Wine tests
# run the programs unpacked from this zip, and scripts/package.sh ships it.
# Sets QUILLORA_PACKAGE_NAME and QUILLORA_PACKAGE_ZIP.
if(NOT WIN32)
    return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(quillora_package_arch x86)
else()
    set(quillora_package_arch x64)
endif()
set(QUILLORA_PACKAGE_NAME quillora-${PROJECT_VERSION}-${quillora_package_arch})
set(QUILLORA_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/package/${QUILLORA_PACKAGE_NAME}.zip)

set(quillora_package_readme ${PROJECT_SOURCE_DIR}/packaging/README-windows.txt)
set(quillora_package_script ${PROJECT_SOURCE_DIR}/scripts/make-package.sh)
add_custom_command(
    OUTPUT ${QUILLORA_PACKAGE_ZIP}
    COMMAND bash ${quillora_package_script} $<TARGET_FILE:Quillora> $<TARGET_FILE:mailtoprobe>
            ${quillora_package_readme} ${PROJECT_VERSION} ${quillora_package_arch}
            ${QUILLORA_PACKAGE_ZIP}
    DEPENDS Quillora mailtoprobe ${quillora_package_readme} ${quillora_package_script}
    COMMENT "Packaging ${QUILLORA_PACKAGE_NAME}.zip"
    VERBATIM)
add_custom_target(quillora_package ALL DEPENDS ${QUILLORA_PACKAGE_ZIP})

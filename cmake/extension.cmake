# The browser extension's store packages in dist/, written from the one source extension/ by
# tools/pack_extension.py, reproducibly: lviehlp-extension.zip (Chrome Web Store, Edge Add-ons)
# and lviehlp-extension.xpi (Firefox Add-ons), each with the manifest its browser reads.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB_RECURSE LV_EXTENSION_FILES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/extension/*")
set(LV_EXTENSION_ZIP "${LV_DIST_DIR}/lviehlp-extension.zip")
set(LV_EXTENSION_XPI "${LV_DIST_DIR}/lviehlp-extension.xpi")
add_custom_command(OUTPUT "${LV_EXTENSION_ZIP}" "${LV_EXTENSION_XPI}"
    COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/tools/pack_extension.py" "${CMAKE_SOURCE_DIR}/extension"
            "${LV_EXTENSION_ZIP}" "${LV_EXTENSION_XPI}"
    DEPENDS ${LV_EXTENSION_FILES} "${CMAKE_SOURCE_DIR}/tools/pack_extension.py"
    COMMENT "Browser extension packages"
    VERBATIM)
add_custom_target(lviehlp_extension ALL DEPENDS "${LV_EXTENSION_ZIP}" "${LV_EXTENSION_XPI}")

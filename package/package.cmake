# Windows Installer package of the shippable files, dist/lviehlp-<version>.msi, built with wixl
# (msitools for the fix-ups) when both are installed; without them the build skips it.
find_program(LV_WIXL wixl)
find_program(LV_MSIBUILD msibuild)
find_program(LV_FAKETIME faketime)
if(NOT LV_WIXL OR NOT LV_MSIBUILD OR NOT LV_FAKETIME)
    message(STATUS "wixl, msibuild or faketime not found: no Windows Installer package")
    return()
endif()
# Reproducible package: wixl and msibuild stamp the clock's time and wixl a random package code,
# and the cabinet records each file's time. The clock is fixed for both (SOURCE_DATE_EPOCH when
# given), the files are packed with that time, and package/pin-msi.cmake sets the package code
# from the package's own bytes: the same package code for the same package, another for any change.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(LV_PACKAGE_TIME "$ENV{SOURCE_DATE_EPOCH}")
else()
    set(LV_PACKAGE_TIME 1767225600)  # 2026-01-01 00:00 UTC
endif()
execute_process(COMMAND date -u -d "@${LV_PACKAGE_TIME}" "+%Y-%m-%d %H:%M:%S" OUTPUT_VARIABLE lv_clock
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(LV_FIXED_CLOCK "${LV_FAKETIME}" -f "@${lv_clock}")
set(LV_PACKAGE_CLOCK "${lv_clock}")

# The package version is the program's own file version, from the one file that holds it.
file(STRINGS "${CMAKE_SOURCE_DIR}/src/version.h" lv_version_lines REGEX "^#define LV_VERSION_(MAJOR|MINOR|PATCH|BUILD) [0-9]+$")
string(REGEX REPLACE "#define LV_VERSION_[A-Z]+ " "" lv_version_numbers "${lv_version_lines}")
list(JOIN lv_version_numbers "." LV_PACKAGE_VERSION)
if(NOT LV_PACKAGE_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "src/version.h gives no version of four numbers: ${LV_PACKAGE_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/version.h")
# The upgrade code stays the same for ever: it is how a newer package finds an older one.
set(LV_UPGRADE_CODE "D35CA736-C26F-4E33-933F-3948C3CCFCAA")
# The installation folder's access rules (SDDL); its semicolons must not split the command line.
string(REPLACE ";" "$<SEMICOLON>" LV_INSTALLDIR_SDDL "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)")
set(LV_MSI_NAME "lviehlp-${LV_PACKAGE_VERSION}.msi")

# lv_add_msi(target output version ids [manifests]): builds the package of dist/'s files as that
# version, with the host manifests of the folder manifests (dist/ by default), offering the
# extension under the store ids that the ids file ids holds (lv_host_manifests has checked them).
# The product code is one per version, the same in every build of it (a name-based UUID); an
# offer's component GUID is one per store id, the same in every version.
function(lv_add_msi target output version ids)
    set(manifests "${LV_DIST_DIR}/lviehlp-chromium.json" "${LV_DIST_DIR}/lviehlp-firefox.json")
    if(ARGC GREATER 4)
        set(manifests "${ARGV4}/lviehlp-chromium.json" "${ARGV4}/lviehlp-firefox.json")
    endif()
    string(UUID product NAMESPACE ${LV_UPGRADE_CODE} NAME "lviehlp ${version}" TYPE SHA1 UPPER)
    file(READ "${ids}" json)
    set(offers "")
    foreach(browser_store Chrome:chrome-web-store Edge:edge-add-ons)
        string(REPLACE ":" ";" browser_store "${browser_store}")
        list(GET browser_store 0 browser)
        list(GET browser_store 1 store)
        string(JSON id GET "${json}" "${store}")
        string(UUID guid NAMESPACE ${LV_UPGRADE_CODE} NAME "${browser} offer ${id}" TYPE SHA1 UPPER)
        list(APPEND offers -D "${browser}StoreId=${id}" -D "${browser}OfferGuid={${guid}}")
    endforeach()
    set(wxs "${CMAKE_SOURCE_DIR}/package/lviehlp.wxs")
    # wixl takes source files only by paths relative to the folder it runs in.
    set(work "${CMAKE_BINARY_DIR}/package/${target}")
    file(MAKE_DIRECTORY "${work}/files")
    file(RELATIVE_PATH res "${work}" "${CMAKE_SOURCE_DIR}/res")
    # wixl writes every Execute= other than "deferred" as an immediate action, and it drops
    # IncludeMaximum= (a key column of the Upgrade table, so the row is written anew). Type 3410 =
    # program from an installed file (18) + exit code ignored (64) + rollback (256) + in script
    # (1024) + no impersonation (2048); attributes 768 = both version bounds inclusive.
    set(fixups
        -q "UPDATE `CustomAction` SET `Type` = 3410 WHERE `Action` = 'LvRegisterRollback' OR `Action` = 'LvUnregisterRollback'"
        -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'LV_OLDER_VERSION'"
        -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${LV_UPGRADE_CODE}}', '0.0.0', '${version}', 768, 'LV_OLDER_VERSION')"
        # The installation folder's permissions, set as it is created, before the files go in
        # (which inherit them), whoever could write there before: SYSTEM and Administrators full
        # control, Users read and execute, nothing inherited. Windows Installer 5 (Windows 7 on).
        -q "CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` LONGCHAR NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)"
        -q "INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('LockInstallDir', 'INSTALLDIR', 'CreateFolder', '${LV_INSTALLDIR_SDDL}')"
        # The program and the icon library carry that version; the manifests are unversioned files.
        -q "UPDATE `File` SET `Version` = '${LV_PACKAGE_VERSION}' WHERE `File` = 'lviehlp.exe' OR `File` = 'lvieres.dll'"
        # The offer follows ANNOUNCE_EXTENSION, which must reach the installer's service from the
        # command line (a secure property); wixl writes neither.
        -q "UPDATE `Component` SET `Condition` = 'ANNOUNCE_EXTENSION <> \"0\"' WHERE `Component` = 'ChromeOffer' OR `Component` = 'EdgeOffer'"
        -q "UPDATE `Property` SET `Value` = 'LV_OLDER_VERSION$<SEMICOLON>LV_NEWER_VERSION$<SEMICOLON>ANNOUNCE_EXTENSION' WHERE `Property` = 'SecureCustomProperties'")
    set(files "${work}/files")
    lv_sign_command(sign lviehlp.msi "Lorvane/MSIE Integration ${version}")  # last: over the pinned package
    add_custom_command(OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" -E copy "${LV_DIST_DIR}/lviehlp.exe" "${LV_DIST_DIR}/lvieres.dll" ${manifests} "${files}"
        COMMAND touch -d "@${LV_PACKAGE_TIME}" "${files}/lviehlp.exe" "${files}/lvieres.dll"
                "${files}/lviehlp-chromium.json" "${files}/lviehlp-firefox.json"
        COMMAND ${LV_FIXED_CLOCK} "${LV_WIXL}" -D "Version=${version}" -D "ProductCode={${product}}" -D "UpgradeCode={${LV_UPGRADE_CODE}}"
                -D "DistDir=files" -D "ResDir=${res}" ${offers} -o lviehlp.msi "${wxs}"
        COMMAND ${LV_FIXED_CLOCK} "${LV_MSIBUILD}" lviehlp.msi ${fixups}
        COMMAND "${CMAKE_COMMAND}" "-DMSI=lviehlp.msi" "-DMSIBUILD=${LV_MSIBUILD}" "-DFAKETIME=${LV_FAKETIME}" "-DCLOCK=${LV_PACKAGE_CLOCK}"
                "-DNAMESPACE=${LV_UPGRADE_CODE}" "-DTITLE=Lorvane/MSIE Integration ${version}"
                -P "${CMAKE_SOURCE_DIR}/package/pin-msi.cmake"
        ${sign}
        COMMAND "${CMAKE_COMMAND}" -E copy lviehlp.msi "${output}"
        DEPENDS "${wxs}" "${CMAKE_SOURCE_DIR}/res/lviehlp.ico" "${CMAKE_SOURCE_DIR}/package/pin-msi.cmake" ${manifests} "${ids}"
                lviehlp lvieres
        WORKING_DIRECTORY "${work}"
        COMMENT "Windows Installer package ${output}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS "${output}")
endfunction()

lv_add_msi(lviehlp_msi "${LV_DIST_DIR}/${LV_MSI_NAME}" ${LV_PACKAGE_VERSION} "${LV_EXTENSION_IDS}")

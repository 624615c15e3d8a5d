# The native messaging host manifests, written at configuration: lviehlp-chromium.json (Chrome and
# Edge) and lviehlp-firefox.json. "path" is relative to the manifest, which Windows allows. They
# allow every id extension/ids.json lists (the development id of the source's key, then the ids the
# Chrome Web Store and Edge Add-ons assigned, and the gecko id), then the ids an integrator adds
# with the options below. Each id is checked here: a bad one would leave a manifest that no browser
# honours, or broken JSON.
set(LV_EXTENSION_IDS "${CMAKE_SOURCE_DIR}/extension/ids.json" CACHE FILEPATH "The extension's ids (JSON) the host manifests allow")
set(LV_EXTRA_CHROME_IDS "" CACHE STRING "Further Chrome/Edge extension ids allowed to start the host (semicolon list)")
set(LV_EXTRA_FIREFOX_IDS "" CACHE STRING "Further Firefox extension ids allowed to start the host (semicolon list)")

# Firefox takes an email-like id or a {GUID}, at most 80 characters.
string(REPEAT "[0-9a-fA-F]" 4 lv_x4)
set(LV_GUID_RE "^{${lv_x4}${lv_x4}-${lv_x4}-${lv_x4}-${lv_x4}-${lv_x4}${lv_x4}${lv_x4}}$")

# lv_check_id(kind id where): stops the configuration when id is no Chrome (kind chrome: 32 letters
# a to p) or Firefox extension id.
function(lv_check_id kind id where)
    string(LENGTH "${id}" n)
    if(kind STREQUAL "chrome" AND (NOT n EQUAL 32 OR NOT id MATCHES "^[a-p]+$"))
        message(FATAL_ERROR "${where}: \"${id}\" is not a Chrome extension id (32 letters a to p)")
    elseif(kind STREQUAL "firefox" AND (n GREATER 80 OR NOT (id MATCHES "^[A-Za-z0-9._-]*@[A-Za-z0-9._-]+$" OR id MATCHES "${LV_GUID_RE}")))
        message(FATAL_ERROR "${where}: \"${id}\" is not a Firefox extension id (name@domain or {GUID}, at most 80 characters)")
    endif()
endfunction()

# lv_host_manifest(file key ids): one manifest allowing ids under key. file(CONFIGURE) rewrites it
# only when its text changes, so equal ids give equal bytes.
function(lv_host_manifest file key ids)
    list(JOIN ids "\",\n    \"" list)
    file(CONFIGURE OUTPUT "${file}" @ONLY CONTENT [=[{
  "name": "com.lorvane.lviehlp",
  "description": "Lorvane query dialog for the page in the browser",
  "path": "lviehlp.exe",
  "type": "stdio",
  "@key@": [
    "@list@"
  ]
}
]=])
endfunction()

# lv_host_manifests(ids_file folder): both manifests in folder, for the ids ids_file lists and the
# options add. A release build warns while a store's id is missing: that store's extension would
# be refused by the host, and the package built from the file leaves out its offer to that store's
# browser (package.cmake).
function(lv_host_manifests ids_file folder)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ids_file}")
    file(READ "${ids_file}" ids)
    set(chrome_ids "")
    set(missing "")
    set(left_out "")
    set(store_development "development")
    set(store_chrome-web-store "the Chrome Web Store")
    set(store_edge-add-ons "Edge Add-ons")
    set(browser_chrome-web-store "Chrome")
    set(browser_edge-add-ons "Edge")
    foreach(store development chrome-web-store edge-add-ons)
        string(JSON id ERROR_VARIABLE error GET "${ids}" "${store}")
        if(error)
            message(FATAL_ERROR "${ids_file}: no \"${store}\" (${error})")
        elseif(id STREQUAL "")
            list(APPEND missing "${store_${store}} (\"${store}\")")
            list(APPEND left_out "${browser_${store}}")
        else()
            lv_check_id(chrome "${id}" "${ids_file}, \"${store}\"")
            list(APPEND chrome_ids "${id}")
        endif()
    endforeach()
    if("development (\"development\")" IN_LIST missing)
        message(FATAL_ERROR "${ids_file}: \"development\" is empty")
    endif()
    if(missing AND CMAKE_BUILD_TYPE STREQUAL "Release")
        list(JOIN missing " and " names)
        list(JOIN left_out " and " browsers)
        message(WARNING "${ids_file} has no id for ${names}: the host manifests of this build refuse the "
            "extension as that store publishes it, and the package leaves out its offer to ${browsers}. "
            "After the first upload, copy the id the store assigned into the file and build again.")
    endif()
    string(JSON gecko ERROR_VARIABLE error GET "${ids}" firefox)
    if(error OR gecko STREQUAL "")
        message(FATAL_ERROR "${ids_file}: no \"firefox\" id")
    endif()
    lv_check_id(firefox "${gecko}" "${ids_file}, \"firefox\"")
    set(firefox_ids "${gecko}")
    foreach(id IN LISTS LV_EXTRA_CHROME_IDS)
        lv_check_id(chrome "${id}" LV_EXTRA_CHROME_IDS)
        list(APPEND chrome_ids "${id}")
    endforeach()
    foreach(id IN LISTS LV_EXTRA_FIREFOX_IDS)
        lv_check_id(firefox "${id}" LV_EXTRA_FIREFOX_IDS)
        list(APPEND firefox_ids "${id}")
    endforeach()
    list(REMOVE_DUPLICATES chrome_ids)
    list(REMOVE_DUPLICATES firefox_ids)
    list(TRANSFORM chrome_ids PREPEND "chrome-extension://")
    list(TRANSFORM chrome_ids APPEND "/")
    lv_host_manifest("${folder}/lviehlp-chromium.json" allowed_origins "${chrome_ids}")
    lv_host_manifest("${folder}/lviehlp-firefox.json" allowed_extensions "${firefox_ids}")
endfunction()

lv_host_manifests("${LV_EXTENSION_IDS}" "${LV_DIST_DIR}")

# The native messaging host manifests, written into dist/ beside the program at configuration:
# lviehlp-chromium.json (Chrome and Edge) and lviehlp-firefox.json. "path" is relative to the
# manifest, which Windows allows. The project's own extension ids come first, then the ids an
# integrator publishes the extension under (the stores give their own). Each id is checked here:
# a bad one would leave a manifest that no browser honours, or broken JSON.
set(LV_EXTRA_CHROME_IDS "" CACHE STRING "Further Chrome/Edge extension ids allowed to start the host (semicolon list)")
set(LV_EXTRA_FIREFOX_IDS "" CACHE STRING "Further Firefox extension ids allowed to start the host (semicolon list)")

set(lv_chrome_ids hphpifhccdajjhnlkcodaieopjgdeafg)
foreach(lv_id IN LISTS LV_EXTRA_CHROME_IDS)
    string(LENGTH "${lv_id}" lv_n)
    if(NOT lv_n EQUAL 32 OR NOT lv_id MATCHES "^[a-p]+$")
        message(FATAL_ERROR "LV_EXTRA_CHROME_IDS: \"${lv_id}\" is not a Chrome extension id (32 letters a to p)")
    endif()
    list(APPEND lv_chrome_ids "${lv_id}")
endforeach()

# Firefox takes an email-like id or a {GUID}, at most 80 characters.
string(REPEAT "[0-9a-fA-F]" 4 lv_x4)
set(lv_guid "{${lv_x4}${lv_x4}-${lv_x4}-${lv_x4}-${lv_x4}-${lv_x4}${lv_x4}${lv_x4}}")
set(lv_firefox_ids lviehlp@lorvane.com)
foreach(lv_id IN LISTS LV_EXTRA_FIREFOX_IDS)
    string(LENGTH "${lv_id}" lv_n)
    if(lv_n GREATER 80 OR NOT (lv_id MATCHES "^[A-Za-z0-9._-]*@[A-Za-z0-9._-]+$" OR lv_id MATCHES "^${lv_guid}$"))
        message(FATAL_ERROR "LV_EXTRA_FIREFOX_IDS: \"${lv_id}\" is not a Firefox extension id (name@domain or {GUID}, at most 80 characters)")
    endif()
    list(APPEND lv_firefox_ids "${lv_id}")
endforeach()
list(REMOVE_DUPLICATES lv_chrome_ids)
list(REMOVE_DUPLICATES lv_firefox_ids)
list(TRANSFORM lv_chrome_ids PREPEND "chrome-extension://")
list(TRANSFORM lv_chrome_ids APPEND "/")

# lv_host_manifest(file key ids): one manifest allowing ids under key. file(CONFIGURE) rewrites it
# only when its text changes, so equal options give equal bytes.
function(lv_host_manifest file key ids)
    list(JOIN ids "\",\n    \"" list)
    file(CONFIGURE OUTPUT "${LV_DIST_DIR}/${file}" @ONLY CONTENT [=[{
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
lv_host_manifest(lviehlp-chromium.json allowed_origins "${lv_chrome_ids}")
lv_host_manifest(lviehlp-firefox.json allowed_extensions "${lv_firefox_ids}")
set(LV_HOST_MANIFESTS "${LV_DIST_DIR}/lviehlp-chromium.json" "${LV_DIST_DIR}/lviehlp-firefox.json")

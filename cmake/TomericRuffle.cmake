# Ruffle, the Flash Player emulator behind the Flash objects, is not built
# here: scripts/install-deps fetches its web build (the version pinned in
# scripts/ruffle.pin) into the user's cache folder. This copies it into the
# build's data folder, where the player finds it at run time, and installs
# it as the player's data (share/tomeric-player/ruffle). Without it the
# player builds all the same and Flash objects show their notice.

file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/ruffle.pin ruffle_version_line REGEX "^version=")
string(REPLACE "version=" "" ruffle_version "${ruffle_version_line}")
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(ruffle_cache "$ENV{XDG_CACHE_HOME}")
else()
  set(ruffle_cache "$ENV{HOME}/.cache")
endif()
set(TOMERIC_RUFFLE_DIR "${ruffle_cache}/tomeric-player/ruffle-${ruffle_version}"
    CACHE PATH "Folder of Ruffle's self-hosted web build (scripts/install-deps fetches it)")

set(ruffle_build_dir ${PROJECT_BINARY_DIR}/share/tomeric-player/ruffle)
if(EXISTS "${TOMERIC_RUFFLE_DIR}/ruffle.js")
  # The scripts, their WebAssembly and the licences; not the source maps.
  file(GLOB ruffle_files ${TOMERIC_RUFFLE_DIR}/*.js ${TOMERIC_RUFFLE_DIR}/*.wasm
                         ${TOMERIC_RUFFLE_DIR}/LICENSE_* ${TOMERIC_RUFFLE_DIR}/package.json)
  file(COPY ${ruffle_files} DESTINATION ${ruffle_build_dir})
  install(DIRECTORY ${ruffle_build_dir}/ DESTINATION share/tomeric-player/ruffle)
  message(STATUS "Ruffle ${ruffle_version} for Flash objects: ${TOMERIC_RUFFLE_DIR}")
else()
  message(STATUS "Ruffle not found in ${TOMERIC_RUFFLE_DIR}: Flash objects show their notice "
                 "(scripts/install-deps fetches it)")
endif()
# The build's own copy, looked at after the installed one.
target_compile_definitions(tomeric_browser PRIVATE TOMERIC_RUFFLE_BUILD_DIR="${ruffle_build_dir}")

# cmake -DORACLE_DIR=<folder> -P install_packages.cmake
# Installs the npm packages of the node readers in ORACLE_DIR (npm ci) unless they are there and as new as the lock
# file.
find_program(NODE_PROGRAM node)
find_program(NPM_PROGRAM npm)
if(NOT NODE_PROGRAM OR NOT NPM_PROGRAM)
    message(FATAL_ERROR "The tests' independent readers need Node.js and npm, which are not installed. "
                        "Install them (Debian: apt-get install nodejs npm; or bash tools/install-deps.sh).")
endif()
set(stamp ${ORACLE_DIR}/node_modules/.package-lock.json)
if(EXISTS ${stamp} AND NOT ${ORACLE_DIR}/package-lock.json IS_NEWER_THAN ${stamp})
    return()
endif()
execute_process(COMMAND ${NPM_PROGRAM} ci --no-audit --no-fund --silent WORKING_DIRECTORY ${ORACLE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "npm ci in ${ORACLE_DIR} failed (${result}): the npm registry must be reachable once.")
endif()

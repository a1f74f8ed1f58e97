# CLI11 for the Windows build: the header-only library that the host's
# libcli11-dev installs. Its CMake package would put the host's /usr/include
# on the include path of the cross compiler, so its CLI/ folder is copied
# into the build tree alone and offered as the target CLI11::CLI11.

set(TAVLINK_CLI11_INCLUDE_DIR /usr/include CACHE PATH "The folder that holds CLI11's CLI/ headers")
if(NOT EXISTS ${TAVLINK_CLI11_INCLUDE_DIR}/CLI/CLI.hpp)
  message(FATAL_ERROR "CLI11 not found: no ${TAVLINK_CLI11_INCLUDE_DIR}/CLI/CLI.hpp "
                      "(install libcli11-dev, or set TAVLINK_CLI11_INCLUDE_DIR).")
endif()
set(TAVLINK_CLI11_COPY ${CMAKE_BINARY_DIR}/cli11/include)
file(REMOVE_RECURSE ${TAVLINK_CLI11_COPY})
file(COPY ${TAVLINK_CLI11_INCLUDE_DIR}/CLI DESTINATION ${TAVLINK_CLI11_COPY})
add_library(tavlink_cli11 INTERFACE)
# A system folder, like the host's: its headers are not ours to warn about.
target_include_directories(tavlink_cli11 SYSTEM INTERFACE ${TAVLINK_CLI11_COPY})
add_library(CLI11::CLI11 ALIAS tavlink_cli11)

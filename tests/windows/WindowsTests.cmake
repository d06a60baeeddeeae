# The tests of the Windows build, run under wine (CMAKE_CROSSCOMPILING_EMULATOR) by
# scripts/test-windows.sh. Every core test that needs no Linux facility (X11, AT-SPI,
# speech-dispatcher, libmpv, a forked helper) is built and run; those that start a local
# server in their own process wait for the Windows side of that server.
find_package(GTest REQUIRED)
include(GoogleTest)

set(ORVALIS_TEST_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(ORVALIS_TEST_ENV "ORVALIS_TEST_DATA=${ORVALIS_TEST_DATA};ORVALIS_BIN=${ORVALIS_BIN_DIR};WINEDEBUG=-all")

# The Linux-only tests: their facility has no Windows side in this build.
set(ORVALIS_LINUX_ONLY_TESTS
    test_screen_reader    # speech-dispatcher, Orca
    test_audio_engine     # libmpv and a forked radio server
    test_autostart        # the desktop's autostart folder
)

# orvalis-tool.exe fetch with each download method (WinINet, urlmon, WinHTTP, Winsock)
# against a local server on the Linux side, compared outcome by outcome with the Linux
# build's program when it stands beside (ORVALIS_LINUX_TOOL).
set(ORVALIS_LINUX_TOOL ${CMAKE_SOURCE_DIR}/build/bin/orvalis-tool
    CACHE FILEPATH "The Linux build's orvalis-tool, for the Windows tests that compare")
find_program(ORVALIS_HOST_PYTHON NAMES python3 REQUIRED)
add_test(NAME tool_fetch_methods
         COMMAND ${ORVALIS_HOST_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/fetch_methods.py
                 $<TARGET_FILE:orvalis-tool> --emulator ${CMAKE_CROSSCOMPILING_EMULATOR}
                 --linux-tool ${ORVALIS_LINUX_TOOL})
set_tests_properties(tool_fetch_methods PROPERTIES ENVIRONMENT "WINEDEBUG=-all")

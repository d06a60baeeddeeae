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

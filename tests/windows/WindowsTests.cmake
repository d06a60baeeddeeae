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
    test_extractors_programs # runs the programs under faketime (the Windows run is below)
)

# The core tests: every tests/test_*.cpp that needs none of the Linux-only pieces above and
# starts no server in its own process (tests/support/LocalHttpServer is POSIX sockets and
# OpenSSL; the Windows tests reach servers on the Linux side from Python scripts instead).
# Paths are given to the programs in wine's form of the host's root ("Z:").
add_library(orvalis_test_support_win STATIC ${CMAKE_CURRENT_LIST_DIR}/TestSupportWin.cpp)
target_include_directories(orvalis_test_support_win PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvalis_test_support_win PUBLIC orvalis_core GTest::gtest)
target_compile_definitions(orvalis_test_support_win PUBLIC
    ORVALIS_TEST_DATA="Z:${ORVALIS_TEST_DATA}" ORVALIS_BIN="Z:${ORVALIS_BIN_DIR}")
file(GLOB CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
set(ORVALIS_WINDOWS_CORE_TESTS)
foreach(src ${CORE_TESTS})
    get_filename_component(name ${src} NAME_WE)
    if(name IN_LIST ORVALIS_LINUX_ONLY_TESTS)
        continue()
    endif()
    file(READ ${src} text)
    if(text MATCHES "LocalHttpServer|AudioFixtures|fork\\(|sys/wait|setenv|unistd|<dirent|sys/stat|kill\\(")
        continue()
    endif()
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE orvalis_test_support_win GTest::gtest_main GTest::gmock)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_dependencies(${name} orvalis-tool orvalis_data)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "${ORVALIS_TEST_ENV}")
    list(APPEND ORVALIS_WINDOWS_CORE_TESTS ${name})
endforeach()

# orvalis-tool.exe fetch with each download method (WinINet, urlmon, WinHTTP, Winsock)
# against a local server on the Linux side, compared outcome by outcome with the Linux
# build's program when it stands beside (ORVALIS_LINUX_TOOL).
set(ORVALIS_LINUX_TOOL ${CMAKE_SOURCE_DIR}/build/bin/orvalis-tool
    CACHE FILEPATH "The Linux build's orvalis-tool, for the Windows tests that compare")
find_program(ORVALIS_HOST_PYTHON NAMES python3 REQUIRED)
add_test(NAME tool_fetch_methods
         COMMAND ${ORVALIS_HOST_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/fetch_methods.py
                 $<TARGET_FILE:orvalis-tool-full> --emulator ${CMAKE_CROSSCOMPILING_EMULATOR}
                 --linux-tool ${ORVALIS_LINUX_TOOL})
set_tests_properties(tool_fetch_methods PROPERTIES ENVIRONMENT "WINEDEBUG=-all")

# Speech on Windows against stand-ins of the screen readers' client libraries and
# processes (tests/windows/fakes), built beside the test program in fakes/.
set(ORVALIS_FAKES ${CMAKE_CURRENT_LIST_DIR}/fakes)
set(ORVALIS_FAKES_OUT ${CMAKE_BINARY_DIR}/tests/fakes)
add_executable(FakeScreenReaderProcess ${ORVALIS_FAKES}/FakeScreenReaderProcess.c)
set_target_properties(FakeScreenReaderProcess PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVALIS_FAKES_OUT})
foreach(fake nvda:nvdaControllerClient64: jaws:JFWAPI:FAKE_JAWS jaws-partial:JFWAPI:FAKE_JAWS_PARTIAL)
    string(REPLACE ":" ";" parts ${fake})
    list(GET parts 0 folder)
    list(GET parts 1 library)
    list(GET parts 2 definition)
    add_library(fake_client_${folder} MODULE ${ORVALIS_FAKES}/FakeScreenReaderClient.c)
    set_target_properties(fake_client_${folder} PROPERTIES PREFIX "" OUTPUT_NAME ${library}
                          LIBRARY_OUTPUT_DIRECTORY ${ORVALIS_FAKES_OUT}/${folder})
    if(definition)
        target_compile_definitions(fake_client_${folder} PRIVATE ${definition})
    endif()
endforeach()
add_executable(test_screen_reader_win ${CMAKE_CURRENT_LIST_DIR}/test_screen_reader_win.cpp)
target_link_libraries(test_screen_reader_win PRIVATE orvalis_access GTest::gtest_main)
set_target_properties(test_screen_reader_win PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(test_screen_reader_win FakeScreenReaderProcess fake_client_nvda fake_client_jaws
                 fake_client_jaws-partial)
gtest_add_tests(TARGET test_screen_reader_win
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_screen_reader_win.cpp TEST_LIST speech_cases)
# Each looks at the whole process list: never beside another.
set_tests_properties(${speech_cases} PROPERTIES RUN_SERIAL TRUE ENVIRONMENT "WINEDEBUG=-all")

# The same output as the Linux program: --version, date, html2text, parse and catalogue on
# the fixtures, run from the same folder with the same names by both programs.
add_test(NAME tool_same_output
         COMMAND ${ORVALIS_HOST_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/same_output.py
                 $<TARGET_FILE:orvalis-tool-full> --emulator ${CMAKE_CROSSCOMPILING_EMULATOR}
                 --data ${ORVALIS_TEST_DATA} --linux-tool ${ORVALIS_LINUX_TOOL})
set_tests_properties(tool_same_output PROPERTIES ENVIRONMENT "WINEDEBUG=-all" TIMEOUT 600)

# orvalis-tool.exe update on a data folder whose path holds accents and spaces, from a local
# server, running the shipped OV-YouTube.exe as the feed's extractor; the articles must be
# stored under the feed's accented file name, and the Linux program must say the same.
add_test(NAME tool_update_extractor
         COMMAND ${ORVALIS_HOST_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/update_extractor.py
                 $<TARGET_FILE:orvalis-tool-full> --emulator ${CMAKE_CROSSCOMPILING_EMULATOR}
                 --linux-tool ${ORVALIS_LINUX_TOOL})
set_tests_properties(tool_update_extractor PROPERTIES ENVIRONMENT "WINEDEBUG=-all" TIMEOUT 300)

# The Windows download methods' own cases (stall and stop, bound, memory, XML check) against a
# Winsock server inside the test program.
add_executable(test_download_win ${CMAKE_CURRENT_LIST_DIR}/test_download_win.cpp)
target_link_libraries(test_download_win PRIVATE orvalis_net GTest::gtest_main)
set_target_properties(test_download_win PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
gtest_add_tests(TARGET test_download_win
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_download_win.cpp TEST_LIST download_cases)
set_tests_properties(${download_cases} PROPERTIES ENVIRONMENT "WINEDEBUG=-all")

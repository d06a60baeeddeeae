# The Windows build's libraries (included by CMakeLists.txt when cross-building with
# cmake/mingw-w64.cmake). zlib is mingw's, expat and GoogleTest are built for the target by
# scripts/windows-deps.sh, nlohmann-json is headers only; the network, hashes, known folders
# and processes are the system's own DLLs. The windows (wx), the sound (libmpv), the
# speech-dispatcher client, curl, OpenSSL and libarchive have no part in this build.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
# expat is a static library here: its header must not declare the functions as imported.
set_property(TARGET EXPAT::EXPAT APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
find_path(ORVALIS_NLOHMANN_INCLUDE nlohmann/json.hpp REQUIRED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES ${ORVALIS_NLOHMANN_INCLUDE})

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
# Windows 7 and later (known folders, WinHTTP, condition variables); wide-character API by
# default, so that a plain Windows name always means its UTF-16 form.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                        _POSIX_THREAD_SAFE_FUNCTIONS
                        NOMINMAX)

set(ORVALIS_PLATFORM_LIBS ZLIB::ZLIB ws2_32 winhttp wininet urlmon bcrypt crypt32 advapi32
                          shell32 ole32 uuid)
set(ORVALIS_SPEECH_LIBS)
set(ORVALIS_SOUND_LIBS)
set(ORVALIS_ARCHIVE_LIBS)





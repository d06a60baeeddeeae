# orvalis_room(<folder> <target> [PROGRAM] [WX] [USES <folder>...] [LIBS <library>...])
#
# One room of the house: the sources of src/<folder> (a CONFIGURE_DEPENDS glob of the
# folder itself, so a file added there lands in this target) built as <target>, linking
# the rooms it USES, which must have been declared before it: the order of the calls is
# the order of the floors, and a circle between rooms cannot be written.
#
# A room without sources yet is an INTERFACE target: it keeps its place in the graph and
# passes its links on, until its first .cpp turns it into a static library. PROGRAM makes
# an executable of the sources; WX gives the room the wx headers and libraries (rooms
# without it cannot even find <wx/...>).
#
# Headers: each room has its own include root <build>/rooms/<target>/ holding only
# <folder> (a link to src/<folder>), so "#include "<folder>/X.h"" is found from the room
# itself and from the rooms above that link it, and from nowhere else: including a
# header of a room that is not below fails the build. tests/test_include_graph.py reads
# these same calls to check every #include of src/ against the graph.
function(orvalis_room folder target)
    cmake_parse_arguments(R "PROGRAM;WX" "" "USES;LIBS" ${ARGN})
    set(dir ${CMAKE_SOURCE_DIR}/src/${folder})
    set(root ${CMAKE_BINARY_DIR}/rooms/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent} ${dir})
    if(NOT IS_SYMLINK ${root}/${folder})
        file(CREATE_LINK ${dir} ${root}/${folder} SYMBOLIC)
    endif()

    set(links)
    foreach(used ${R_USES})
        get_property(t GLOBAL PROPERTY ORVALIS_ROOM_${used})
        if(NOT t)
            message(FATAL_ERROR "room ${folder} uses ${used}, which is not declared below it")
        endif()
        list(APPEND links ${t})
    endforeach()
    if(R_WX)
        list(APPEND links orvalis_wx)
    endif()

    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    # The two sides of a platform layer: "<Name>Win.cpp" is built for Windows only,
    # "<Name>Posix.cpp" everywhere else.
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "Posix\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "Win\\.cpp$")
    endif()
    if(R_PROGRAM)
        add_executable(${target} ${sources})
        set(scope PRIVATE)
    elseif(sources)
        add_library(${target} STATIC ${sources})
        set(scope PUBLIC)
    else()
        add_library(${target} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${root})
    target_link_libraries(${target} ${scope} ${links} ${R_LIBS})
    set_property(GLOBAL PROPERTY ORVALIS_ROOM_${folder} ${target})
    set_property(GLOBAL APPEND PROPERTY ORVALIS_ROOMS ${folder})
endfunction()

# Adds compile definitions to a room whatever its kind (static library or INTERFACE).
function(orvalis_room_definitions target)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_compile_definitions(${target} INTERFACE ${ARGN})
    elseif(type STREQUAL "EXECUTABLE")
        target_compile_definitions(${target} PRIVATE ${ARGN})
    else()
        target_compile_definitions(${target} PUBLIC ${ARGN})
    endif()
endfunction()

# Every source of src/ must sit in a declared room: a folder nobody declared would not be
# built at all (its functions then missing at link time, far from the cause).
function(orvalis_rooms_check)
    get_property(rooms GLOBAL PROPERTY ORVALIS_ROOMS)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/src
         ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h)
    foreach(f ${files})
        set(found FALSE)
        foreach(r ${rooms})
            string(FIND "${f}" "${r}/" at)
            if(at EQUAL 0)
                set(found TRUE)
                break()
            endif()
        endforeach()
        if(NOT found)
            message(FATAL_ERROR "src/${f} is in no room: declare its folder with "
                                "orvalis_room(...) in CMakeLists.txt, above the rooms it uses")
        endif()
    endforeach()
endfunction()

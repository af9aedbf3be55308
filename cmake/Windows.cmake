# The Windows build: one house.exe a person can download and double-click.
#   freeglut    built from its release source in this same run and linked in
#               statically, with the compiler's C and C++ runtimes, so the
#               program loads only DLLs that come with Windows
#               (HOUSE_FREEGLUT_FROM_SOURCE=OFF uses an installed freeglut)
#   resources   the program's icon and its version, from project()
#   the zip     house-VERSION-windows-x64.zip: house.exe, the README, our
#               licence and freeglut's, whose notice must go with every copy
#   GoogleTest  built from its source for the unit tests, when
#               HOUSE_GTEST_SOURCE names it (Debian's googletest package
#               puts it at /usr/src/googletest)
# Included by the top-level CMakeLists.txt once the house target exists.
include(FetchContent)

set(HOUSE_FREEGLUT_TAG v3.8.0)
# Of the release source as `git archive` makes it from that tag.
set(HOUSE_FREEGLUT_SHA256 67731056766b13a30414c22f0562a9c82544cca73cb51915abba52b9da35dc5e)
option(HOUSE_FREEGLUT_FROM_SOURCE
  "Build freeglut ${HOUSE_FREEGLUT_TAG} from source and link it into house.exe" ON)
set(HOUSE_FREEGLUT_ARCHIVE "" CACHE FILEPATH
  "freeglut ${HOUSE_FREEGLUT_TAG}'s source as a .tar.gz, for a build with no network")

# --- GLUT ------------------------------------------------------------------
if(HOUSE_FREEGLUT_FROM_SOURCE)
  if(HOUSE_FREEGLUT_ARCHIVE)
    set(freeglut_source URL ${HOUSE_FREEGLUT_ARCHIVE} URL_HASH SHA256=${HOUSE_FREEGLUT_SHA256})
    if(NOT CMAKE_VERSION VERSION_LESS 3.24)
      list(APPEND freeglut_source DOWNLOAD_EXTRACT_TIMESTAMP TRUE)
    endif()
  else()
    set(freeglut_source GIT_REPOSITORY https://github.com/freeglut/freeglut.git
      GIT_TAG ${HOUSE_FREEGLUT_TAG} GIT_SHALLOW TRUE)
  endif()
  if(NOT CMAKE_VERSION VERSION_LESS 3.28)
    # Its headers and library are no part of what this project installs.
    list(APPEND freeglut_source EXCLUDE_FROM_ALL)
  endif()
  FetchContent_Declare(freeglut ${freeglut_source})
  set(FREEGLUT_BUILD_SHARED_LIBS OFF)
  set(FREEGLUT_BUILD_STATIC_LIBS ON)
  set(FREEGLUT_BUILD_DEMOS OFF)
  FetchContent_MakeAvailable(freeglut)
  # Its warnings are not ours to fix.
  target_compile_options(freeglut_static PRIVATE $<IF:$<C_COMPILER_ID:MSVC>,/w,-w>)

  add_library(GLUT::GLUT ALIAS freeglut_static)
  target_include_directories(housescene PUBLIC ${freeglut_SOURCE_DIR}/include)
  # Without it the header declares freeglut's functions as imported from a DLL.
  set(glut_definitions FREEGLUT_STATIC)
  set(freeglut_licence ${freeglut_SOURCE_DIR}/COPYING)
else()
  find_package(GLUT REQUIRED)
  target_include_directories(housescene PUBLIC ${GLUT_INCLUDE_DIR})
endif()
# GL, GLU and GLUT functions are declared as plain functions, as on Linux,
# and not as imported from a DLL (the linker reaches opengl32's and glu32's
# all the same, through their import libraries), and glutInit is glutInit,
# not an inline wrapper that passes exit() along (which matters only for a
# freeglut DLL with a C runtime of its own). The tests' recording stand-in
# can then define them. Whatever includes the GLUT header must see the same:
# the scene library passes it on to the program and whatever else links it,
# and everything made after this file gets it too.
list(APPEND glut_definitions _GDI32_ GLUT_DISABLE_ATEXIT_HACK)
target_compile_definitions(housescene PUBLIC ${glut_definitions})
add_compile_definitions(${glut_definitions})

# --- The executable ----------------------------------------------------------
# A window program: started from Explorer it opens no console beside it.
set_target_properties(house PROPERTIES WIN32_EXECUTABLE ON)
if(MSVC)
  # The program's entry point is main, not WinMain.
  target_link_options(house PRIVATE /ENTRY:mainCRTStartup)
elseif(MINGW)
  # The C and C++ runtimes and the thread library go in, not beside it; so
  # for every program that follows (the tests), so that Wine runs them with
  # no DLLs of the compiler's.
  target_link_options(house PRIVATE -static)
  add_link_options(-static)
endif()

# The icon is an icon group whose images are the committed PNGs themselves
# (Windows reads PNG icon images since Vista), written into the resource
# script as data: no .ico file and no image tool is needed. It is named
# GLUT_ICON because freeglut gives its window class the icon of that name,
# so the one icon stands for the file in Explorer and for the window in its
# title bar and on the task bar.
file(GLOB icon_images ${PROJECT_SOURCE_DIR}/data/icons/house-*.png)
set(icon_group "")
set(icon_entries "")
set(icon_id 0)
foreach(image ${icon_images})
  string(REGEX MATCH "house-([0-9]+)\\.png$" name_matches ${image})
  set(size ${CMAKE_MATCH_1})
  math(EXPR icon_id "${icon_id} + 1")
  file(SIZE ${image} bytes)
  # Width and height are one byte each, packed into one word; 0 means 256.
  math(EXPR size_byte "${size} % 256")
  math(EXPR width_and_height "${size_byte} * 257" OUTPUT_FORMAT HEXADECIMAL)
  # width and height, colours and reserved, planes, bits, bytes, image id
  string(APPEND icon_group ",\n  ${width_and_height}, 0, 1, 32, ${bytes}L, ${icon_id}")
  string(APPEND icon_entries "${icon_id} 3 \"${image}\"\n")
endforeach()
list(LENGTH icon_images icon_count)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${icon_images})

file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright_line LIMIT_COUNT 1 REGEX "^Copyright ")
configure_file(${CMAKE_CURRENT_LIST_DIR}/house.rc.in ${PROJECT_BINARY_DIR}/house.rc @ONLY)
target_sources(house PRIVATE ${PROJECT_BINARY_DIR}/house.rc)

# --- The zip -------------------------------------------------------------------
# Only a house.exe with freeglut inside stands alone.
if(HOUSE_FREEGLUT_FROM_SOURCE)
  set(HOUSE_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/house-${PROJECT_VERSION}-windows-x64.zip)
  set(stage ${PROJECT_BINARY_DIR}/windows-zip)
  # What a person unpacks: the program stripped of its debugging symbols,
  # and the texts under names Windows opens with a double click.
  if(CMAKE_STRIP)
    set(place_program ${CMAKE_STRIP} -o ${stage}/house.exe $<TARGET_FILE:house>)
  else()
    set(place_program ${CMAKE_COMMAND} -E copy $<TARGET_FILE:house> ${stage}/house.exe)
  endif()
  set(zip_files house.exe README.md LICENSE.txt freeglut-COPYING.txt)
  add_custom_command(OUTPUT ${HOUSE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${HOUSE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${place_program}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md ${stage}/README.md
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${freeglut_licence} ${stage}/freeglut-COPYING.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
      ${CMAKE_COMMAND} -E tar cf ${HOUSE_WINDOWS_ZIP} --format=zip ${zip_files}
    DEPENDS house ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
    COMMENT "Packing house-${PROJECT_VERSION}-windows-x64.zip"
    VERBATIM)
  add_custom_target(windows-zip ALL DEPENDS ${HOUSE_WINDOWS_ZIP})
endif()

# --- GoogleTest --------------------------------------------------------------
# A cross-build finds no GoogleTest built for Windows; given its source, it
# is built here and stands in for what find_package(GTest) would find.
set(HOUSE_GTEST_SOURCE "" CACHE PATH "GoogleTest's source, built for the unit tests")
if(HOUSE_GTEST_SOURCE)
  if(CMAKE_VERSION VERSION_LESS 3.24)
    message(FATAL_ERROR "HOUSE_GTEST_SOURCE needs CMake 3.24 or later")
  endif()
  FetchContent_Declare(GTest SOURCE_DIR ${HOUSE_GTEST_SOURCE} OVERRIDE_FIND_PACKAGE)
  # GoogleTest's options take these values only under the newer policy.
  set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
  set(BUILD_GMOCK OFF)
  set(INSTALL_GTEST OFF)
  # What follows (GoogleTest, the tests and their harness) builds without
  # optimisation, in half the time: what the tests test, the scene library,
  # is compiled as house.exe has it, before this file is read.
  add_compile_options($<IF:$<CXX_COMPILER_ID:MSVC>,/Od,-O0>)
  FetchContent_MakeAvailable(GTest)
  foreach(library gtest gtest_main)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
endif()

# The Windows build: one house.exe a person can download and double-click.
#   freeglut    built from its release source in this same run and linked in
#               statically, with the compiler's C and C++ runtimes, so the
#               program loads only DLLs that come with Windows
#               (HOUSE_FREEGLUT_FROM_SOURCE=OFF uses an installed freeglut)
#   resources   the program's icon and its version, from project()
#   the zip     house-VERSION-windows-x64.zip: house.exe, the README, our
#               licence and freeglut's, whose notice must go with every copy
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
  # Everything that includes the GLUT header must see FREEGLUT_STATIC, or
  # the header declares its functions as imported from a DLL; the scene
  # library passes both on to the tests and tools that link it.
  target_include_directories(housescene PUBLIC ${freeglut_SOURCE_DIR}/include)
  target_compile_definitions(housescene PUBLIC FREEGLUT_STATIC)
  set(freeglut_licence ${freeglut_SOURCE_DIR}/COPYING)
else()
  find_package(GLUT REQUIRED)
  target_include_directories(housescene PUBLIC ${GLUT_INCLUDE_DIR})
endif()

# --- The executable ----------------------------------------------------------
# A window program: started from Explorer it opens no console beside it.
set_target_properties(house PROPERTIES WIN32_EXECUTABLE ON)
if(MSVC)
  # The program's entry point is main, not WinMain.
  target_link_options(house PRIVATE /ENTRY:mainCRTStartup)
elseif(MINGW)
  target_link_options(house PRIVATE -static-libgcc -static-libstdc++)
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

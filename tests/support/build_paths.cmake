# house_build_paths(TARGET NAME PATH [NAME PATH ...]) defines, for TARGET,
# the constants of support/build_paths.h it uses, in a file of its own that
# the build writes (PATH may be a generator expression). Each constant is
# defined once in a program: by the program or by one library it links.
function(house_build_paths target)
  set(text "#include \"support/build_paths.h\"\n")
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs name path)
    string(APPEND text "const char ${name}[] = \"${path}\";\n")
  endwhile()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}_build_paths.cpp)
  file(GENERATE OUTPUT ${file} CONTENT "${text}")
  set_source_files_properties(${file} PROPERTIES GENERATED TRUE SKIP_UNITY_BUILD_INCLUSION TRUE)
  target_sources(${target} PRIVATE ${file})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endfunction()

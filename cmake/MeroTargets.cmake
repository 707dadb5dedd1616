# Helpers shared by every folder: one library per folder, warnings as errors in
# our own code, sources picked up by folder so that adding a file needs no edit.

function(mero_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror
    # GCC 12 reports std::string concatenation at -O3 as overlapping memcpy
    # (a known false positive of its -Wrestrict).
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()

# mero_library(NAME folder-relative-to-src [QT] [DEPS ...]): every .cpp of the
# folder but main.cpp, which is the folder's executable (mero_executable).
# QT runs Qt's meta-object compiler over the folder's headers.
function(mero_library name dir)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(ARG_QT)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
    list(APPEND sources ${headers})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  mero_warnings(${name})
endfunction()

# mero_test(NAME folder-relative-to-tests [QT] [ENV VAR=VALUE ...] DEPS ...):
# one test program per folder. QT runs Qt's meta-object compiler; ENV adds
# variables to the tests' environment.
function(mero_test name dir)
  cmake_parse_arguments(ARG "QT" "" "DEPS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(ARG_QT)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.h)
    list(APPEND sources ${headers})
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  mero_warnings(${name})
  set(environment "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1" ${ARG_ENV})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${environment}")
endfunction()

# mero_bench(NAME source DEPS ...): one Google Benchmark program.
function(mero_bench name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/bench/${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  mero_warnings(${name})
endfunction()

# mero_executable(NAME folder-relative-to-src DEPS ...): the folder's main.cpp.
function(mero_executable name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/src/${dir}/main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  mero_warnings(${name})
endfunction()

# mero_embed(TARGET folder-relative-to-src GLOB): compiles the matching files
# into the target as `std::string_view mero::embedded::File(name)`, so that a
# program carries its SQL scripts with it.
function(mero_embed target dir pattern)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/${pattern})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded.cpp)
  # The list travels as one argument: its semicolons must not end the command.
  string(REPLACE ";" "$<SEMICOLON>" fileList "${files}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DFILES=${fileList}" -P ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    COMMENT "Embedding ${dir}/${pattern} into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

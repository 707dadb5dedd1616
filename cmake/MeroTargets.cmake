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

# mero_library(NAME folder-relative-to-src [QT] [PUBLIC ...] [PRIVATE ...]):
# every .cpp of the folder but main.cpp, which is the folder's executable
# (mero_executable). PUBLIC lists what the folder's headers include, PRIVATE
# what only its sources include, so that a target above gets no more than the
# headers it is handed. QT runs Qt's meta-object compiler over the headers.
function(mero_library name dir)
  cmake_parse_arguments(ARG "QT" "" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(ARG_QT)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
    list(APPEND sources ${headers})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  mero_warnings(${name})
endfunction()

# mero_test(NAME folder-relative-to-tests [QT | WIDGETS] [EXCLUDE file ...]
#           [ENV VAR=VALUE ...] DEPS ...): one test program per folder, of every
# .cpp in the folder but those EXCLUDEd (fixtures built into a library of
# their own). QT programs run in the QCoreApplication of the shared Qt main,
# WIDGETS programs in its QApplication; both take the leak suppressions of the
# Qt libraries. ENV adds variables to the tests' environment.
function(mero_test name dir)
  cmake_parse_arguments(ARG "QT;WIDGETS" "" "DEPS;ENV;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
  foreach(file ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/tests/${dir}/${file})
  endforeach()
  set(environment "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if(ARG_WIDGETS)
    set(main test_main_widgets)
  elseif(ARG_QT)
    set(main test_main_qt)
  else()
    set(main GTest::gtest_main)
  endif()
  if(ARG_QT OR ARG_WIDGETS)
    list(APPEND environment "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp")
  endif()
  list(APPEND environment ${ARG_ENV})
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ${main} GTest::gtest GTest::gmock)
  mero_warnings(${name})
  # Labelled by their program, so that `ctest -L server_tests` runs one program's tests.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS PROPERTIES LABELS ${name})
  # The environment is set once the tests are known: handed to the discovery
  # itself, a list of variables would reach only its first entry.
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${script}"
    "foreach(test IN LISTS ${name}_TESTS)\n"
    "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT \"${environment}\")\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()

# mero_test_library(NAME SOURCES ... DEPS ...): fixtures that several test
# programs share.
function(mero_test_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  mero_warnings(${name})
endfunction()

# mero_bench(NAME source DEPS ...): one Google Benchmark program.
function(mero_bench name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/bench/${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  mero_warnings(${name})
endfunction()

# mero_executable(NAME source-relative-to-project DEPS ...): a thin main.cpp
# over the libraries.
function(mero_executable name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/${source})
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

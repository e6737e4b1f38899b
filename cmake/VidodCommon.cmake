# Settings and helper functions shared by every subdirectory.

if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

option(VIDOD_TRAP_UNDEFINED "Trap on undefined behaviour (MinGW has no address sanitizer)" OFF)
if(VIDOD_TRAP_UNDEFINED AND NOT MSVC)
  add_compile_options(-fsanitize=undefined -fsanitize-undefined-trap-on-error)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(MINGW)
    # The player must run on a bare Windows: no MinGW runtime DLLs beside it.
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endif()

# Test data kept outside the repository (the PNG suite, the benchmark
# pictures): in a "shared" folder beside the checkout, or beside the folder
# that holds several worktrees of it; a checkout elsewhere names the folder.
set(vidod_shared_guess "${PROJECT_SOURCE_DIR}/../shared")
if(NOT EXISTS "${vidod_shared_guess}" AND EXISTS "${PROJECT_SOURCE_DIR}/../../shared")
  set(vidod_shared_guess "${PROJECT_SOURCE_DIR}/../../shared")
endif()
set(VIDOD_SHARED_DIR "${vidod_shared_guess}" CACHE PATH "Folder of the PNG suite and the benchmark pictures")

# Header-only libraries from the system (toml++, CLI11). A cross build must not
# see /usr/include as a whole, so each library gets a private folder that links
# only its own directory.
set(VIDOD_THIRDPARTY_INCLUDE ${CMAKE_BINARY_DIR}/thirdparty-include)
file(MAKE_DIRECTORY ${VIDOD_THIRDPARTY_INCLUDE})
foreach(dir toml++ CLI)
  if(EXISTS /usr/include/${dir} AND NOT EXISTS ${VIDOD_THIRDPARTY_INCLUDE}/${dir})
    file(CREATE_LINK /usr/include/${dir} ${VIDOD_THIRDPARTY_INCLUDE}/${dir} SYMBOLIC)
  endif()
endforeach()
add_library(vidod_thirdparty_headers INTERFACE)
target_include_directories(vidod_thirdparty_headers SYSTEM INTERFACE ${VIDOD_THIRDPARTY_INCLUDE})
target_compile_definitions(vidod_thirdparty_headers INTERFACE TOML_HEADER_ONLY=1 TOML_EXCEPTIONS=1)

# vidod_native_test(name SOURCES ... LIBS ...): a GoogleTest executable of the
# native build, each test registered with ctest.
function(vidod_native_test name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VIDOD_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VIDOD_SHARED_DIR="${VIDOD_SHARED_DIR}"
    VIDOD_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
endfunction()

# vidod_win_test(name SOURCES ... LIBS ...): a GoogleTest executable of the
# Windows build, registered as one ctest test: every Wine start costs seconds,
# so one test exe covers one area.
function(vidod_win_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_compile_definitions(${name} PRIVATE
    VIDOD_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VIDOD_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "VIDOD_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

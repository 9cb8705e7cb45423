# Build-wide settings shared by every target of our own.

option(QUORVANE_SANITIZE "Build the native code with AddressSanitizer and UBSan" OFF)

# OFF: the program alone (scripts/run), without tests/ and bench/ (the measurements link the
# tests' reference code, so they go with them).
option(QUORVANE_TESTS "Build the tests and the measurements beside the program" ON)

# Warnings are errors in our own code (not in FFmpeg or the test frameworks).
function(quorvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion
                                           -Werror)
endfunction()

option(QUORVANE_FUZZ "Build the libFuzzer targets (clang) instead of the unit tests" OFF)
if(QUORVANE_FUZZ)
  # Our libraries instrumented for coverage; the fuzz targets link libFuzzer itself.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

option(QUORVANE_SANITIZE_THREAD "Build the native code with ThreadSanitizer (the player's tests)" OFF)
if(QUORVANE_SANITIZE_THREAD AND NOT WIN32)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(QUORVANE_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  enable_language(RC)
  # Unicode Win32 everywhere; the program's own text is UTF-8 inside.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # One self-contained executable: nothing but Windows' own DLLs is imported.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The same bytes from every build of a commit, wherever it is built: no link time in the PE
  # header, and no folder of the build machine's in the objects (the relink kit ships them).
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit Windows calls window procedures, thread entries and callbacks with the stack
    # aligned to 4 bytes only (Wine aligns it to 16, so no test there would fault): every
    # function that needs 16 (an SSE spill, an aligned local) realigns it itself.
    add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-mincoming-stack-boundary=2>")
  endif()
endif()

# The headers a module gives those who use it (paths under src/, folders or files), included as
# "module/file.h" or "player/part/file.h": a folder of the build holding links to them alone is
# the module's include folder. A target sees only the headers of the modules it declares with
# target_link_libraries (and theirs), so including any other fails the build.
function(quorvane_module_headers target)
  set(stage ${PROJECT_BINARY_DIR}/modules/${target})
  foreach(path ${ARGN})
    get_filename_component(parent ${stage}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${stage}/${path})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${path} ${stage}/${path} SYMBOLIC COPY_ON_ERROR)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    target_include_directories(${target} INTERFACE ${stage})
  else()
    target_include_directories(${target} PUBLIC ${stage})
  endif()
endfunction()

# A library of our own: its sources in one folder of src/, whose headers it gives its users.
function(quorvane_library name)
  add_library(${name} STATIC ${ARGN})
  list(GET ARGN 0 first)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR}/${first} DIRECTORY)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${folder})
  quorvane_module_headers(${name} ${folder})
  quorvane_warnings(${name})
endfunction()

# A native unit-test program, registered with CTest (one CTest test per GoogleTest case).
function(quorvane_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  quorvane_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# The modules under src/ and the modules each declares with target_link_libraries, one line per
# module ("saver_win -> player_win, saver, settings_win, win_base"), "quorvane_" left off and
# the executable called program, written to file: the drawing in ARCHITECTURE.md, which
# tests/package/check-architecture compares with it.
function(quorvane_write_module_graph file)
  set(targets)
  set(folders ${PROJECT_SOURCE_DIR}/src)
  while(folders)
    list(POP_FRONT folders folder)
    get_property(here DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(below DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND targets ${here})
    list(APPEND folders ${below})
  endwhile()
  set(lines)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    set(links)
    if(NOT type STREQUAL INTERFACE_LIBRARY)
      get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
    set(declared)
    foreach(link ${links} ${interface_links})
      if(link IN_LIST targets AND NOT link STREQUAL target)
        string(REPLACE "quorvane_" "" link ${link})
        list(APPEND declared ${link})
      endif()
    endforeach()
    if(declared)
      list(REMOVE_DUPLICATES declared)
      list(SORT declared)
      list(JOIN declared ", " declared)
      string(REPLACE "quorvane_" "" name ${target})
      string(REPLACE "Quorvane" "program" name ${name})
      list(APPEND lines "${name} -> ${declared}")
    endif()
  endforeach()
  list(SORT lines)
  list(JOIN lines "\n" text)
  file(WRITE ${file} "${text}\n")
endfunction()

# Helpers that turn the folder layout into targets, so adding a source file or
# a test file never needs an edit here.
#
#   src/<area>/*.cpp     -> static library tomeric_<area>
#   tools/<tool>/*.cpp   -> executable <tool>, linked to the whole core
#   tests/<area>/*.cpp   -> test executable test_<area>, linked to tomeric_<area>
#   bench/*.cpp          -> one benchmark executable each: bench_<name>

function(tomeric_area area)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${area}/*.cpp ${PROJECT_SOURCE_DIR}/src/${area}/*.h)
  set(target tomeric_${area})
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core ZLIB::ZLIB)
    foreach(dep ${ARG_DEPENDS})
      target_link_libraries(${target} PUBLIC tomeric_${dep})
    endforeach()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE Qt6::Core ZLIB::ZLIB)
    foreach(dep ${ARG_DEPENDS})
      target_link_libraries(${target} INTERFACE tomeric_${dep})
    endforeach()
  endif()
endfunction()

function(tomeric_tools)
  file(GLOB tool_dirs LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tools/*)
  foreach(dir ${tool_dirs})
    if(IS_DIRECTORY ${dir})
      get_filename_component(tool ${dir} NAME)
      file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
      if(sources)
        add_executable(${tool} ${sources})
        target_link_libraries(${tool} PRIVATE tomeric_core)
      endif()
    endif()
  endforeach()
endfunction()

function(tomeric_tests)
  file(GLOB test_dirs LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/*)
  foreach(dir ${test_dirs})
    get_filename_component(area ${dir} NAME)
    if(IS_DIRECTORY ${dir} AND EXISTS ${PROJECT_SOURCE_DIR}/src/${area})
      file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
      if(sources)
        add_executable(test_${area} ${sources})
        target_link_libraries(test_${area} PRIVATE tomeric_${area} GTest::gtest GTest::gtest_main GTest::gmock)
        target_compile_definitions(test_${area} PRIVATE
          TOMERIC_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
          TOMERIC_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
        gtest_discover_tests(test_${area} DISCOVERY_TIMEOUT 60
          PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
      endif()
    endif()
  endforeach()
  if(EXISTS ${PROJECT_SOURCE_DIR}/tests/CMakeLists.txt)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests ${PROJECT_BINARY_DIR}/tests-extra)
  endif()
endfunction()

function(tomeric_benchmarks)
  file(GLOB benches CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
  foreach(src ${benches})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_link_libraries(bench_${name} PRIVATE tomeric_core benchmark::benchmark)
  endforeach()
endfunction()

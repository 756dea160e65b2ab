# Fuzz targets for the level reader, the importer and the score store, built
# with clang's libFuzzer in a build directory of their own:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCRATORIA_FUZZ=ON
#   cmake --build build-fuzz --target fuzz_level_reader fuzz_import fuzz_score_store
# The ordinary build never sees them: libFuzzer comes only with clang.
option(CRATORIA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(CRATORIA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CRATORIA_FUZZ needs clang: configure with CXX=clang++")
  endif()
  # The libraries under test get the coverage hooks the fuzzer steers by,
  # and the sanitizers that turn a silent fault into a crash it can see.
  set(CRATORIA_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined
      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  foreach(lib cratoria_level cratoria_score)
    target_compile_options(${lib} PRIVATE ${CRATORIA_FUZZ_FLAGS})
  endforeach()
  foreach(target fuzz_level_reader fuzz_import fuzz_score_store)
    add_executable(${target} ${CMAKE_SOURCE_DIR}/tests/fuzz/${target}.cpp)
    target_compile_options(${target} PRIVATE ${CRATORIA_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
  target_link_libraries(fuzz_level_reader PRIVATE cratoria_level)
  target_sources(fuzz_import PRIVATE
    ${CMAKE_SOURCE_DIR}/import/import.cpp ${CMAKE_SOURCE_DIR}/import/latin1.cpp)
  target_link_libraries(fuzz_import PRIVATE cratoria_level PkgConfig::TINYXML)
  target_link_libraries(fuzz_score_store PRIVATE cratoria_score)
endif()

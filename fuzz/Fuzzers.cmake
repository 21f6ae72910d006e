# The fuzz targets in the main build: fuzz/ is a project of its own, built
# with clang (libFuzzer) into <build>/fuzz, and each target runs for a few
# seconds under ctest on the seed corpus kept in fuzz/corpus/. New inputs it
# finds go to <build>/fuzz/work/, crashes to <build>/fuzz/artifacts/; the
# repository's corpus is only read. Longer runs: docs/appserver.md.
find_program(PLA_CLANGXX NAMES clang++ clang++-14)
if(PLA_CLANGXX)
  set(pla_fuzz_default ON)
else()
  set(pla_fuzz_default OFF)
endif()
option(PLA_FUZZ "Build the libFuzzer targets with clang and run each briefly under ctest" ${pla_fuzz_default})
set(PLA_FUZZ_SECONDS 4 CACHE STRING "Seconds each fuzz target runs under ctest")
if(NOT PLA_FUZZ)
  return()
endif()
if(NOT PLA_CLANGXX)
  message(FATAL_ERROR "PLA_FUZZ needs clang++ (Debian: clang libclang-rt-14-dev)")
endif()

include(ExternalProject)
set(pla_fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
set(pla_fuzz_targets rpc_request variant_codec filter_expression scenario)
set(pla_fuzz_args -DCMAKE_CXX_COMPILER=${PLA_CLANGXX})
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND pla_fuzz_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
ExternalProject_Add(fuzzers
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${pla_fuzz_dir}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS ${pla_fuzz_args}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD OFF)

if(PLA_BUILD_TESTS)
  # The scenario parser also starts from the project's own scenarios, read in place.
  set(pla_fuzz_seeds_scenario ${CMAKE_SOURCE_DIR}/tests/scenarios)
  foreach(t IN LISTS pla_fuzz_targets)
    file(MAKE_DIRECTORY ${pla_fuzz_dir}/work/${t} ${pla_fuzz_dir}/artifacts)
    add_test(NAME fuzz.${t}
             COMMAND ${pla_fuzz_dir}/fuzz_${t} -max_total_time=${PLA_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=1024
                     -print_final_stats=1 -artifact_prefix=${pla_fuzz_dir}/artifacts/${t}-
                     ${pla_fuzz_dir}/work/${t} ${CMAKE_CURRENT_LIST_DIR}/corpus/${t} ${pla_fuzz_seeds_${t}})
    set_tests_properties(fuzz.${t} PROPERTIES TIMEOUT 120)
  endforeach()
endif()

# Resource text compiled into a library, byte for byte, so that accents,
# quotes and '|' need no escaping and the program carries no loose files.
#
#   pla_embed_text(<target> <file> <namespace> <function>)
#
# adds to <target> a source that defines `std::string_view <namespace>::<function>()`
# returning the file's bytes. The source is regenerated when the file changes.
include_guard(GLOBAL)

if(CMAKE_SCRIPT_MODE_FILE)
  # Called by the build: INPUT, OUTPUT, NS and FUNC are given with -D.
  file(READ "${INPUT}" hex HEX)
  string(LENGTH "${hex}" hex_len)
  set(body "")
  set(pos 0)
  while(pos LESS hex_len)
    string(SUBSTRING "${hex}" ${pos} 64 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" chunk "${chunk}")
    string(APPEND body "    \"${chunk}\"\n")
    math(EXPR pos "${pos} + 64")
  endwhile()
  if(body STREQUAL "")
    set(body "    \"\"\n")
  endif()
  file(WRITE "${OUTPUT}"
    "// Generated from ${INPUT}; edit that file instead.\n"
    "#include <string_view>\n\n"
    "namespace ${NS} {\n\n"
    "std::string_view ${FUNC}() {\n"
    "    static constexpr char kText[] =\n${body}    ;\n"
    "    return {kText, sizeof kText - 1};\n"
    "}\n\n"
    "}  // namespace ${NS}\n")
  return()
endif()

set(PLA_EMBED_TEXT_SCRIPT "${CMAKE_CURRENT_LIST_FILE}" CACHE INTERNAL "")

function(pla_embed_text target input ns func)
  get_filename_component(input_abs "${input}" ABSOLUTE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${func}.cpp")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input_abs} -DOUTPUT=${output} -DNS=${ns} -DFUNC=${func}
            -P "${PLA_EMBED_TEXT_SCRIPT}"
    DEPENDS "${input_abs}" "${PLA_EMBED_TEXT_SCRIPT}"
    COMMENT "Embedding ${input}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()

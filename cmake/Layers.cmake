# The layers of the tree and the arrows between them: which folder's code may
# include which. This list is the one place they are written; the framework's
# parts take their include paths from it and the include check (ctest
# "layer_includes") reads every #include of the tree against it.
#
# Each entry is "<layer>: <layers it may include>". A layer is a folder; a file
# belongs to the longest layer its path starts with, and may always include
# its own layer. FRAMEWORK stands for the six framework parts. Tests and
# benchmarks are not layers: they may include anything.
include_guard(GLOBAL)

set(PLA_FRAMEWORK_PARTS core data db net ui services)

set(PLA_LAYER_ARROWS
  "framework/core:"
  "framework/data: framework/core"
  "framework/db: framework/core framework/data"
  "framework/net: framework/core framework/data"
  "framework/ui: framework/core framework/data"
  "framework/services: framework/core framework/data framework/db framework/net framework/ui"
  "stocklib: FRAMEWORK"
  "Cli_pla02000/model: FRAMEWORK"
  "Cli_pla02010/model: FRAMEWORK"
  "Cli_pla02015/model: FRAMEWORK"
  "Cli_pla02030/model: FRAMEWORK"
  "Cli_pla02010: FRAMEWORK Cli_pla02010/model"
  "Cli_pla02015: FRAMEWORK Cli_pla02015/model"
  "Cli_pla02030: FRAMEWORK Cli_pla02030/model"
  "Cli_pla02000: FRAMEWORK stocklib Cli_pla02000/model Cli_pla02010 Cli_pla02015 Cli_pla02030"
  "Pkg_pla02000: FRAMEWORK Cli_pla02000 Cli_pla02010 Cli_pla02015 Cli_pla02030"
  "Cli_pla02100: FRAMEWORK"
  "Pla08000/model: FRAMEWORK"
  "Pla08000: FRAMEWORK Pla08000/model Cli_pla02000/model"
  "appserver/store: FRAMEWORK"
  "appserver/rpc: FRAMEWORK"
  "appserver/modules: FRAMEWORK appserver/rpc appserver/store"
  "appserver: FRAMEWORK appserver/rpc appserver/modules appserver/store"
  # The driver and the host reach into the server for the embedded start only.
  "script: FRAMEWORK appserver appserver/store"
  "host/qtview: FRAMEWORK"
  "host: FRAMEWORK host/qtview appserver appserver/store")

# Folders an #include "..." is looked up in, after the including file's own
# folder, in this order (the include roots the targets expose).
set(PLA_INCLUDE_ROOTS framework . appserver host script)

# pla_layer_allowed(<layer> <out-var>): the layers <layer> may include, its own
# first, FRAMEWORK spelled out.
function(pla_layer_allowed layer out)
  set(result ${layer})
  foreach(entry IN LISTS PLA_LAYER_ARROWS)
    string(REGEX MATCH "^([^:]+):(.*)$" _ "${entry}")
    if(NOT CMAKE_MATCH_1 STREQUAL layer)
      continue()
    endif()
    separate_arguments(targets UNIX_COMMAND "${CMAKE_MATCH_2}")
    foreach(t IN LISTS targets)
      if(t STREQUAL "FRAMEWORK")
        foreach(p IN LISTS PLA_FRAMEWORK_PARTS)
          list(APPEND result framework/${p})
        endforeach()
      else()
        list(APPEND result ${t})
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# pla_include_root(<folder> <out-var>): a folder of the build tree from which
# "#include "<name>/..."" reaches <source-folder> and nothing else, so that a
# target sees exactly the folders it is given. <folder> is "<source-folder>"
# or "<source-folder>=<name>" (the framework's parts are included as "core/...").
function(pla_include_root folder out)
  if(folder MATCHES "^([^=]+)=(.+)$")
    set(src ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
  else()
    set(src ${folder})
    set(name ${folder})
  endif()
  string(REPLACE "/" "_" tag "${src}")
  set(root ${CMAKE_BINARY_DIR}/include/${tag})
  set(link ${root}/${name})
  set(target ${PROJECT_SOURCE_DIR}/${src})
  set(current "")
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} current)
  endif()
  # Made again when the source tree has moved since the last configure.
  if(NOT current STREQUAL target)
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(REMOVE ${link})
    file(CREATE_LINK ${target} ${link} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# pla_expose(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>...): <target> (and,
# for PUBLIC, what links it) includes "<folder>/..." from those folders only.
function(pla_expose target scope)
  foreach(folder IN LISTS ARGN)
    pla_include_root(${folder} root)
    target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
  endforeach()
endfunction()

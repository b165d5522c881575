# kx_add_resources(target RESOURCES TYPE NAME FILE [TYPE NAME FILE ...])
#
# Embeds files into `target` as resources found at run time by type and name
# (host/rtl/Resources.h). tools/respack turns the files into a generated source at build time;
# editing a file, or respack itself, regenerates it. Relative FILE paths are taken from the
# current source directory; a FILE may be the OUTPUT of a custom command of the same directory.
# Call it in the directory that defines `target`.
#
# The generated code registers its resources from a static initialiser, which the linker would
# drop from a static library that nothing references. For a static library the generated
# source therefore defines an anchor symbol that the library's link interface asks the linker
# for (--undefined), which pulls the object and its initialiser into every program linking the
# library, the installed one too; a shared library or a program simply compiles it.
function(kx_add_resources target)
  cmake_parse_arguments(R "" "" "RESOURCES" ${ARGN})
  list(LENGTH R_RESOURCES n)
  math(EXPR rest "${n} % 3")
  if(R_UNPARSED_ARGUMENTS OR n EQUAL 0 OR NOT rest EQUAL 0)
    message(FATAL_ERROR "kx_add_resources(${target}): expected RESOURCES followed by TYPE NAME FILE triples")
  endif()

  set(args)
  set(files)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR j "${i} + 1")
    math(EXPR k "${i} + 2")
    list(GET R_RESOURCES ${i} type)
    list(GET R_RESOURCES ${j} name)
    list(GET R_RESOURCES ${k} file)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    # A file made at build time (the OUTPUT of a custom command of this directory) need not exist yet.
    get_source_file_property(generated "${file}" GENERATED)
    if(NOT generated AND NOT EXISTS "${file}")
      message(FATAL_ERROR "kx_add_resources(${target}): resource ${name} of type ${type}: no file ${file}")
    endif()
    list(APPEND args "${type}" "${name}" "${file}")
    list(APPEND files "${file}")
  endforeach()

  # One generated source per call; a target may call this more than once.
  get_property(index TARGET ${target} PROPERTY KX_RESOURCE_SETS)
  if(NOT index)
    set(index 0)
  endif()
  math(EXPR next "${index} + 1")
  set_property(TARGET ${target} PROPERTY KX_RESOURCE_SETS ${next})
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources${index}.cpp")

  string(MAKE_C_IDENTIFIER "kx_resources_${target}_${index}" anchor)
  add_custom_command(OUTPUT "${out}"
    COMMAND respack --anchor ${anchor} "${out}" ${args}
    DEPENDS respack ${files}
    COMMENT "Packing resources for ${target}"
    VERBATIM)

  target_sources(${target} PRIVATE "${out}")
  target_link_libraries(${target} PRIVATE kx_rtl)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "STATIC_LIBRARY")
    target_link_options(${target} INTERFACE "LINKER:--undefined=${anchor}")
    set_property(TARGET ${target} APPEND PROPERTY KX_RESOURCE_ANCHORS ${anchor})
  endif()
endfunction()

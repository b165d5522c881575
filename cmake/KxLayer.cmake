# kx_layer(target DIRS dir... DEPS lib... [PRIVATE_DEPS lib...] [USES header...])
# A layer is one library built from every .cpp in its folders; it links only the layers below
# it (DEPS), which is what keeps the layering honest. The library is static unless
# BUILD_SHARED_LIBS is on. Every layer is installed with the headers of its folders (under
# include/kexora/ with the paths the sources use) and joins the Kexora::Kexora package target.
#
# Includes are written from the project root ("host/gdi/Gdi.h"). While a layer's own sources
# compile, the headers of every layer that is not itself or below it are shadowed by guard
# headers that stop the compilation with an error (kx_finish_layers), so an upward include
# fails to build. USES names headers of layers not below this one (paths from the project root)
# that it may include all the same: header-only declarations it shares without linking them.
function(kx_layer target)
  cmake_parse_arguments(L "" "" "DIRS;DEPS;PRIVATE_DEPS;USES" ${ARGN})
  set(srcs)
  set(folders)
  foreach(d ${L_DIRS})
    file(GLOB s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
    list(APPEND srcs ${s})
    get_filename_component(abs "${CMAKE_CURRENT_SOURCE_DIR}/${d}" ABSOLUTE)
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${abs}")
    list(APPEND folders "${folder}")
  endforeach()
  set(root $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/kexora>)
  if(srcs)
    add_library(${target} ${srcs})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${L_DEPS} PRIVATE ${L_PRIVATE_DEPS})
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "SHARED_LIBRARY")
      # Only the public namespaces leave a shared library (cmake/kexora.map).
      # Installed, the libraries find each other beside themselves.
      set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION}
                                                 SOVERSION ${PROJECT_VERSION_MAJOR}
                                                 INSTALL_RPATH "$ORIGIN")
      target_link_options(${target} PRIVATE
        "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/kexora.map")
      set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/cmake/kexora.map")
    endif()
  else()
    # Nothing written yet in this layer: a header-only stand-in keeps the tree configurable.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${L_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY KX_LAYERS ${target})
  set_property(GLOBAL PROPERTY KX_LAYER_FOLDERS_${target} ${folders})
  set_property(GLOBAL PROPERTY KX_LAYER_DEPS_${target} ${L_DEPS})
  set_property(GLOBAL PROPERTY KX_LAYER_USES_${target} ${L_USES})

  if(KX_INSTALL)
    install(TARGETS ${target} EXPORT KexoraTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    foreach(folder ${folders})
      file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
      if(headers)
        install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kexora/${folder})
      endif()
    endforeach()
  endif()
endfunction()

# The layers `target` may include from: itself and everything below it through DEPS.
function(_kx_layer_closure target out)
  set(seen)
  set(pending ${target})
  get_property(layers GLOBAL PROPERTY KX_LAYERS)
  while(pending)
    list(POP_FRONT pending t)
    if(t IN_LIST seen OR NOT t IN_LIST layers)
      continue()
    endif()
    list(APPEND seen ${t})
    get_property(deps GLOBAL PROPERTY KX_LAYER_DEPS_${t})
    list(APPEND pending ${deps})
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Called once after every layer has been added: gives each layer its guard headers. The guard
# tree of a folder holds, for each of its headers, a header of the same relative path that
# stops the compilation; a layer's sources see the guard trees of the folders of every layer
# that is neither itself nor below it, ahead of the project root.
function(kx_finish_layers)
  get_property(layers GLOBAL PROPERTY KX_LAYERS)
  set(guards "${PROJECT_BINARY_DIR}/kx-layer-guards")
  file(REMOVE_RECURSE "${guards}")
  foreach(layer ${layers})
    get_property(folders GLOBAL PROPERTY KX_LAYER_FOLDERS_${layer})
    foreach(folder ${folders})
      string(MAKE_C_IDENTIFIER "${folder}" id)
      set_property(GLOBAL PROPERTY KX_GUARD_DIR_${id} "${guards}/${id}")
      file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
      foreach(h ${headers})
        get_filename_component(name "${h}" NAME)
        file(WRITE "${guards}/${id}/${folder}/${name}"
          "#error \"${folder}/${name} belongs to the layer ${layer}, which is not below the layer including it (layer order: CMakeLists.txt)\"\n")
      endforeach()
    endforeach()
  endforeach()
  foreach(layer ${layers})
    get_target_property(kind ${layer} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    _kx_layer_closure(${layer} allowed)
    get_property(uses GLOBAL PROPERTY KX_LAYER_USES_${layer})
    set(dirs)
    foreach(other ${layers})
      if(other IN_LIST allowed)
        continue()
      endif()
      get_property(folders GLOBAL PROPERTY KX_LAYER_FOLDERS_${other})
      foreach(folder ${folders})
        string(MAKE_C_IDENTIFIER "${folder}" id)
        if(NOT EXISTS "${guards}/${id}")
          continue()
        endif()
        set(exempt)
        foreach(u ${uses})
          get_filename_component(udir "${u}" DIRECTORY)
          if(udir STREQUAL folder)
            list(APPEND exempt "${u}")
          endif()
        endforeach()
        if(exempt)
          # This layer's own guard tree of the folder, without the headers it uses.
          file(COPY "${guards}/${id}/" DESTINATION "${guards}/${layer}/${id}")
          foreach(u ${exempt})
            file(REMOVE "${guards}/${layer}/${id}/${u}")
          endforeach()
          list(APPEND dirs "${guards}/${layer}/${id}")
        else()
          list(APPEND dirs "${guards}/${id}")
        endif()
      endforeach()
    endforeach()
    if(dirs)
      target_include_directories(${layer} BEFORE PRIVATE ${dirs})
    endif()
  endforeach()
endfunction()

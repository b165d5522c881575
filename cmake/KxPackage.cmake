# The library as a package: the version header, the Kexora::Kexora target that links every
# layer, and (with KX_INSTALL) the installed CMake package and pkg-config file.
#
#   find_package(Kexora CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE Kexora::Kexora)
include(CMakePackageConfigHelpers)

configure_file(${PROJECT_SOURCE_DIR}/cmake/kxVersion.h.in ${PROJECT_BINARY_DIR}/kx-generated/kxVersion.h @ONLY)
target_include_directories(kx_rtl PUBLIC $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/kx-generated>)
if(KX_SANITIZE)
  # Sanitized libraries need a sanitized link, wherever they are used.
  target_link_options(kx_rtl INTERFACE -fsanitize=address,undefined)
endif()

get_property(kx_layers GLOBAL PROPERTY KX_LAYERS)
set(kx_layers_top_down ${kx_layers})
list(REVERSE kx_layers_top_down)
add_library(kexora INTERFACE)
add_library(Kexora::Kexora ALIAS kexora)
set_target_properties(kexora PROPERTIES EXPORT_NAME Kexora)
target_link_libraries(kexora INTERFACE ${kx_layers_top_down})

if(NOT KX_INSTALL)
  return()
endif()

set(kx_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kexora)
install(TARGETS kexora EXPORT KexoraTargets)
install(FILES ${PROJECT_BINARY_DIR}/kx-generated/kxVersion.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kexora)
install(EXPORT KexoraTargets NAMESPACE Kexora:: DESTINATION ${kx_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KexoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KexoraConfig.cmake INSTALL_DESTINATION ${kx_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KexoraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KexoraConfig.cmake ${PROJECT_BINARY_DIR}/KexoraConfigVersion.cmake
  DESTINATION ${kx_cmake_dir})

# pkg-config: the layers top down; for static libraries the anchors that keep their embedded
# resources (cmake/KxResources.cmake) come first.
set(kx_pc_libs)
foreach(layer ${kx_layers_top_down})
  get_target_property(kind ${layer} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    continue()
  endif()
  get_target_property(anchors ${layer} KX_RESOURCE_ANCHORS)
  if(anchors)
    foreach(a ${anchors})
      string(PREPEND kx_pc_libs "-Wl,--undefined=${a} ")
    endforeach()
  endif()
  string(APPEND kx_pc_libs " -l${layer}")
endforeach()
if(KX_SANITIZE)
  string(APPEND kx_pc_libs " -fsanitize=address,undefined")
endif()
foreach(lib ${CMAKE_DL_LIBS})
  string(APPEND kx_pc_libs " -l${lib}")
endforeach()
string(REGEX REPLACE "  +" " " kx_pc_libs "${kx_pc_libs}")
string(STRIP "${kx_pc_libs}" kx_pc_libs)
configure_file(${PROJECT_SOURCE_DIR}/cmake/kexora.pc.in ${PROJECT_BINARY_DIR}/kexora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kexora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

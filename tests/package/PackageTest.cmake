# The library as an application sees it (run by CTest, see CMakeLists.txt):
#   MODE=installed           install the build KX_BUILD into a prefix whose name has a space,
#                            twice; build examples/hello against that prefix alone; run it
#                            headless and probe its screenshots
#   MODE=subproject_shared   build examples/hello with the source tree KX_SOURCE as its
#                            subproject and shared libraries; run and probe it; check what the
#                            shared libraries export; install that build and build and run the
#                            example against the installed shared package
# Other variables: WORK (scratch folder), PROBE (kx_pngprobe), GENERATOR, CXX, BUILD_TYPE, JOBS,
# LSAN_SUPP (leak suppressions for sanitized builds).
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# A copy of the example's sources, so that nothing of the source tree is near its build.
function(copy_example dest)
  file(REMOVE_RECURSE "${dest}")
  file(COPY "${KX_SOURCE}/examples/hello/" DESTINATION "${dest}")
endfunction()

function(build_example src bin)
  run(${CMAKE_COMMAND} -S "${src}" -B "${bin}" -G "${GENERATOR}" "-DCMAKE_CXX_COMPILER=${CXX}"
      "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF ${ARGN})
  run(${CMAKE_COMMAND} --build "${bin}" --target hello -j ${JOBS})
endfunction()

# Runs the example headless, once as it starts and once after its button was pressed, and
# probes both screenshots: the window's size, the tool-bar panel apart from the form, the
# glowing title, the greeting, check box and button drawn, and the greeting changed by the
# button's handler; and once in the embedded style "Glow".
function(check_example exe tag)
  set(env "LSAN_OPTIONS=suppressions=${LSAN_SUPP}")
  set(start "${WORK}/${tag}-start.png")
  set(greeted "${WORK}/${tag}-greeted.png")
  run(${CMAKE_COMMAND} -E env ${env} "${exe}" --headless "${start}" --style Windows)
  run(${CMAKE_COMMAND} -E env ${env} "${exe}" --headless "${greeted}" --style Windows --greet)
  run("${PROBE}" "${start}" ${HELLO_PROBES})
  message(STATUS "${tag}, as it starts:\n${run_output}")
  run("${PROBE}" "${greeted}" ${HELLO_GREETED_PROBES} "${HELLO_GREETING}:differs=${start}")
  message(STATUS "${tag}, after the button:\n${run_output}")
  set(glow "${WORK}/${tag}-glow.png")
  run(${CMAKE_COMMAND} -E env ${env} "${exe}" --headless "${glow}" --style Glow)
  run("${PROBE}" "${glow}" ${HELLO_GLOW_PROBES})
  message(STATUS "${tag}, in the style Glow:\n${run_output}")
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/HelloProbes.cmake")

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

if(MODE STREQUAL "installed")
  set(prefix "${WORK}/pre fix")
  run(${CMAKE_COMMAND} --install "${KX_BUILD}" --prefix "${prefix}")
  file(GLOB_RECURSE first LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
  # Installing again over the same prefix leaves the same files.
  run(${CMAKE_COMMAND} --install "${KX_BUILD}" --prefix "${prefix}")
  file(GLOB_RECURSE second LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "a second install changed the files of the prefix")
  endif()
  # Every installed file is inside the prefix (the manifest lists what was written).
  file(STRINGS "${KX_BUILD}/install_manifest.txt" manifest)
  foreach(f ${manifest})
    string(FIND "${f}" "${prefix}/" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "installed outside the prefix: ${f}")
    endif()
  endforeach()
  foreach(f include/kexora/controls/kxControls.h include/kexora/host/vcl/Forms.h
            include/kexora/kxVersion.h lib/cmake/Kexora/KexoraConfig.cmake
            lib/cmake/Kexora/KexoraConfigVersion.cmake lib/pkgconfig/kexora.pc)
    if(NOT EXISTS "${prefix}/${f}")
      message(FATAL_ERROR "not installed: ${f}")
    endif()
  endforeach()
  # pkg-config users get the prefix's include folder and the libraries.
  set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
  run(pkg-config --cflags --libs kexora)
  # pkg-config escapes the space of the prefix for the shell.
  string(REPLACE " " "\\ " escaped "${prefix}")
  string(FIND "${run_output}" "-I${escaped}/lib/pkgconfig/../../include/kexora " at_include)
  string(FIND "${run_output}" " -lkx_controls " at_lib)
  if(at_include EQUAL -1 OR at_lib EQUAL -1)
    message(FATAL_ERROR "pkg-config --cflags --libs kexora gave: ${run_output}")
  endif()
  unset(ENV{PKG_CONFIG_PATH})

  copy_example("${WORK}/hello")
  build_example("${WORK}/hello" "${WORK}/hello-build" "-DCMAKE_PREFIX_PATH=${prefix}")
  # Nothing of the source tree or its build on the example's compile and link lines.
  # (The scratch folder itself may lie inside them: its paths are taken out first.)
  file(READ "${WORK}/hello-build/build.ninja" ninja)
  string(REPLACE "${WORK}" "<work>" ninja "${ninja}")
  string(REPLACE " " "$ " work_escaped "${WORK}")
  string(REPLACE "${work_escaped}" "<work>" ninja "${ninja}")
  foreach(tree "${KX_SOURCE}" "${KX_BUILD}")
    string(FIND "${ninja}" "${tree}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "the example's build refers to ${tree}")
    endif()
  endforeach()
  check_example("${WORK}/hello-build/hello" installed)

elseif(MODE STREQUAL "subproject_shared")
  copy_example("${WORK}/hello")
  set(options -DBUILD_SHARED_LIBS=ON -DKX_BUILD_TESTS=OFF -DKX_BUILD_BENCH=OFF)
  build_example("${WORK}/hello" "${WORK}/sub" "-DHELLO_KEXORA_SOURCE_DIR=${KX_SOURCE}" ${options})
  if(NOT EXISTS "${WORK}/sub/kexora/controls/libkx_controls.so")
    message(FATAL_ERROR "no shared kx_controls library in the subproject's build")
  endif()
  check_example("${WORK}/sub/hello" subproject)
  # Only the public namespaces leave the shared libraries.
  file(GLOB_RECURSE libs "${WORK}/sub/kexora/*.so")
  foreach(lib ${libs})
    run(nm -D -C --defined-only "${lib}")
    string(REPLACE "\n" ";" symbols "${run_output}")
    set(count 0)
    foreach(line ${symbols})
      if(line MATCHES "^[0-9a-f]+ [A-Za-z] (.*)$")
        set(name "${CMAKE_MATCH_1}")
        math(EXPR count "${count} + 1")
        if(NOT name MATCHES "(vcl|kx)::" AND NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$"
           AND NOT name MATCHES "^KX_[0-9_]+$")
          message(FATAL_ERROR "${lib} exports ${name}")
        endif()
      endif()
    endforeach()
    if(count EQUAL 0)
      message(FATAL_ERROR "${lib} exports nothing")
    endif()
  endforeach()
  set(prefix "${WORK}/shared prefix")
  run(${CMAKE_COMMAND} --install "${WORK}/sub" --prefix "${prefix}")
  build_example("${WORK}/hello" "${WORK}/hello-build" "-DCMAKE_PREFIX_PATH=${prefix}")
  check_example("${WORK}/hello-build/hello" installed-shared)
else()
  message(FATAL_ERROR "MODE must be installed or subproject_shared")
endif()

include_guard(GLOBAL)
# arclib_library(TARGET FILE SOURCES...): one of our archiver libraries,
# an ELF shared object named exactly like the Windows library, in bin/.
function(arclib_library target file)
  add_library(${target} SHARED ${ARGN})
  get_filename_component(stem ${file} NAME_WE)
  get_filename_component(ext ${file} EXT)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${stem} SUFFIX ${ext}
    LIBRARY_OUTPUT_DIRECTORY ${VX_BIN_DIR})
  target_link_libraries(${target} PRIVATE arccommon)
  # The programs that run the module (make demo) build every library.
  set_property(GLOBAL APPEND PROPERTY ARCLIB_RUNTIME_TARGETS ${target})
endfunction()

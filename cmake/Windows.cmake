# The Windows product, cross-built with MinGW-w64 (mingw-i686.cmake,
# mingw-x86_64.cmake): the Win32 views of the dialogs, VxArc.dll with its
# exports and version resource, the substitute host and the tests that run
# under Wine. Included by the top-level CMakeLists.txt on WIN32.
enable_language(RC)

# Modules carry their C and C++ runtime: they must load on a bare system
# (msvcrt.dll is the system's).
set(VX_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
add_link_options(${VX_STATIC_RUNTIME})

add_subdirectory(${CMAKE_SOURCE_DIR}/src/platform/win32 ${CMAKE_BINARY_DIR}/win32)

# VxArc.dll: the module (src/plugin) with the views of its dialogs. Its
# exports come from VxArc.def alone; on i686 the linker matches the plain
# names there to the stdcall-decorated symbols.
target_link_libraries(VxArc PRIVATE vxwin32)
target_link_options(VxArc PRIVATE ${VX_STATIC_RUNTIME} $<$<CONFIG:Release>:-s>)
# The link map names the places of functions the stripped module no longer
# does (DllMain), for scripts/check-dll.sh.
target_link_options(VxArc PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/VxArc.map)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(VxArc PRIVATE -Wl,--enable-stdcall-fixup)
endif()
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/vxhost-win ${CMAKE_BINARY_DIR}/vxhost-win)
if(VX_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/tests-win32)
endif()

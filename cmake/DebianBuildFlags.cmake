# Debian's hardening flags, as dpkg-buildflags gives them with every
# hardening feature on: the stack protector, fortified C library calls,
# format-string checks, and relocations made read-only and bound at start.
# They go into the optimised builds (Release, RelWithDebInfo), which the
# package is made from; dpkg-buildflags' own optimisation and debugging
# flags are left to the build type. The paths of the sources are recorded
# relative to the source folder, as in a Debian package build. Without
# dpkg-buildflags (not a Debian system) the build goes on without them.
find_program(MW_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT MW_DPKG_BUILDFLAGS OR MW_SANITIZE OR MW_FUZZ)
  return()
endif()

function(mw_debian_flags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${MW_DPKG_BUILDFLAGS} --get ${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O.?|g)$")
  set(${out} "${flags}" PARENT_SCOPE)
endfunction()

mw_debian_flags(CPPFLAGS cppflags)
mw_debian_flags(CXXFLAGS cxxflags)
mw_debian_flags(LDFLAGS ldflags)
add_compile_options("$<$<CONFIG:Release,RelWithDebInfo>:${cppflags};${cxxflags}>")
add_link_options("$<$<CONFIG:Release,RelWithDebInfo>:${ldflags}>")

# Sources are collected by glob so that a new module needs no list edit;
# CONFIGURE_DEPENDS makes the build re-glob when files are added.
function(qs_glob_sources out dir)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_files} PARENT_SCOPE)
endfunction()

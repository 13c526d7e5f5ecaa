# Fails the configuration when a core target links the GUI toolkit, the media framework or a
# platform implementation: the core must build unchanged for another back end.
function(solka_check_core_isolation target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "Qt|gst|GStreamer|PkgConfig|solka_platform_(qt|gst|posix|dbus|x11|memory)")
      message(FATAL_ERROR "${target} must not link ${lib}")
    endif()
  endforeach()
endfunction()

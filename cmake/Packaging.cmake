# The Debian package, made by CPack from the install rules: the package holds exactly what
# `cmake --install` puts in place, built from the tree that was tested, in seconds.
#   cpack --config build/CPackConfig.cmake -B build/package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinetrope)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Ostrevan)
set(CPACK_PACKAGE_CONTACT "Ostrevan <kinetrope@ostrevan.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "media player with frame-exact transport and a skinned control window")
# CPack puts the summary first and indents this body.
set(CPACK_PACKAGE_DESCRIPTION "Kinetrope plays video and sound files, play lists, VideoCDs, SVCDs and DVDs
from a small skinned control window with segment-LED time displays: start
and stop points, frame steps, a jog shuttle on the mouse wheel, preset and
stepped play speeds. Video plays in a borderless window that docks beside
the control window. Playback is libmpv, DVD menus come from GStreamer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kinetrope.ostrevan.org/)
# The libraries linked come from dpkg-shlibdeps; libqt6gui6 among them holds the xcb platform
# plugin. What is loaded at run time is named here, the GStreamer elements of the DVD player:
#   base      videoconvert, appsink, audioconvert, audioresample
#   good      pulsesink
#   bad       rsndvdbin, dvdspu
#   libav     the MPEG-2 picture (avdec_mpeg2video), AC-3 and MPEG sound; without a picture
#             decoder no disc plays at all
#   ugly      LPCM sound (dvdlpcmdec, the only decoder for it): only recommended, a disc
#             plays without it, its LPCM tracks silent
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gstreamer1.0-plugins-ugly, libgl1-mesa-dri, xdg-utils, pulseaudio | pipewire-pulse")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

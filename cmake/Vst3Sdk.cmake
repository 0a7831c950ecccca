# The VST3 SDK sources as Debian ships them (juce-modules-source-data), built
# into static libraries. They are not ours, so they compile warning-quiet and
# their headers are system includes; -DRELEASE=1 is what fdebug.h requires.
set(TOLVEN_VST3_SDK_DIR
    /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK
    CACHE PATH "VST3 SDK source tree (pluginterfaces, base, public.sdk)")

if(NOT EXISTS ${TOLVEN_VST3_SDK_DIR}/pluginterfaces/base/funknown.h)
  message(WARNING "VST3 SDK not found at ${TOLVEN_VST3_SDK_DIR}: "
                  "install juce-modules-source-data; VST3 targets are skipped")
  set(TOLVEN_HAVE_VST3_SDK OFF)
  return()
endif()
set(TOLVEN_HAVE_VST3_SDK ON)

if(NOT TARGET tolven_vst3sdk)
  set(_sdk ${TOLVEN_VST3_SDK_DIR})
  # Only what the binding and its hosts use: interfaces and IIDs, FObject and
  # strings, the component base, buses, parameters and the edit controller.
  add_library(tolven_vst3sdk STATIC
    ${_sdk}/pluginterfaces/base/funknown.cpp
    ${_sdk}/pluginterfaces/base/coreiids.cpp
    ${_sdk}/pluginterfaces/base/ustring.cpp
    ${_sdk}/base/source/baseiids.cpp
    ${_sdk}/base/source/fobject.cpp
    ${_sdk}/base/source/fstring.cpp
    ${_sdk}/base/source/fdebug.cpp
    ${_sdk}/base/source/updatehandler.cpp
    ${_sdk}/base/thread/source/flock.cpp
    ${_sdk}/public.sdk/source/common/pluginview.cpp
    ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
    ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
    ${_sdk}/public.sdk/source/vst/vstbus.cpp
    ${_sdk}/public.sdk/source/vst/vstparameters.cpp
    ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
    # ours: IIDs the package declares but never defines
    ${CMAKE_CURRENT_LIST_DIR}/../vst3/Vst3InterfaceIds.cpp)
  target_include_directories(tolven_vst3sdk SYSTEM PUBLIC ${_sdk})
  target_compile_definitions(tolven_vst3sdk PUBLIC RELEASE=1)
  target_compile_options(tolven_vst3sdk PRIVATE -w -ffp-contract=off)
  set_target_properties(tolven_vst3sdk PROPERTIES CXX_STANDARD 17)
  if(WIN32)
    target_link_libraries(tolven_vst3sdk PUBLIC ole32)
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(tolven_vst3sdk PUBLIC Threads::Threads)
  endif()

  # Host side: a memory stream and the SDK's message and attribute classes.
  add_library(tolven_vst3sdk_hosting STATIC
    ${_sdk}/public.sdk/source/common/memorystream.cpp
    ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
    ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp)
  target_link_libraries(tolven_vst3sdk_hosting PUBLIC tolven_vst3sdk)
  target_compile_options(tolven_vst3sdk_hosting PRIVATE -w -ffp-contract=off)
endif()

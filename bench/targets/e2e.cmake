# The end-to-end figures need the whole atlas, so they exist only where the windows are built.
if(OSTRELIN_BUILD_UI)
  ostrelin_bench(e2e DEPENDS app_ui resources_ui Qt6::Widgets)
endif()

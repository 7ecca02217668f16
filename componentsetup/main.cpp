// The entry point of one component's installer. The build compiles this file
// once per component with that component's names and links the resource that
// carries its program.

#include <windows.h>

#include "componentsetup/component_setup.h"

#ifndef ZED_COMPONENT_NAME
#error "ZED_COMPONENT_NAME, ZED_COMPONENT_FILE and ZED_COMPONENT_DISPLAY come from the build"
#endif
#ifndef ZED_COMPONENT_VERSION
#define ZED_COMPONENT_VERSION L"1.00"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const componentsetup::ComponentInfo component{ZED_COMPONENT_NAME, ZED_COMPONENT_FILE, ZED_COMPONENT_DISPLAY,
                                                ZED_COMPONENT_VERSION};
  return componentsetup::installComponent(component);
}

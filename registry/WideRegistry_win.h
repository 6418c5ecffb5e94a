// The wide view of the registry over advapi32's wide functions.
#pragma once

#include "registry/WideRegistry.h"

namespace panestow {

WideRegistryPtr NewWinWideRegistry();

}  // namespace panestow

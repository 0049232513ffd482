#pragma once

#include "engine/ServiceAddresses.h"

namespace lexoria {

// Points `addresses` at the maker's site this build was made for: its public address
// when the build names one, else the installed copy of site/ (share/lexoria/site beside
// the program's bin), or the source tree's site/ for a program run from its build tree.
void useBuiltInSite(ServiceAddresses& addresses);

}  // namespace lexoria

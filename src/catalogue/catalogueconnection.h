#pragma once

#include "catalogue.h"

// The connection beneath a catalogue, for the files of the catalogue's own
// operations that are no members of it, and for the core's tests. Nothing
// else reaches it: the windows and the programs call the operations.
struct CatalogueConnection
{
    static Connection &of(const Catalogue &catalogue) { return catalogue.connection(); }
};

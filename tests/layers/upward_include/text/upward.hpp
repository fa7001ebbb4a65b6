#pragma once

// A folder that uses one above it: the layer check must refuse this tree.
#include "files/file_io.hpp"

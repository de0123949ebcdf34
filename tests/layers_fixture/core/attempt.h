#pragma once
// Includes a folder above it: the layer check must refuse this tree.
#include "history/store.h"

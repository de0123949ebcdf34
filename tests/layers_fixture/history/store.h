#pragma once
#include "core/attempt.h"

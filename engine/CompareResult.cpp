#include "engine/CompareResult.h"

#include "engine/LineComparer.h"

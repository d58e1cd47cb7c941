// The resource library: identifiers (Resource.h), tables and images.
#include "resources/Resource.h"

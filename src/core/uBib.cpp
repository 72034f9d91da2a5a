#include "core/uBib.h"

#include "core/uGlobal.h"

#include "support/supporto.h"

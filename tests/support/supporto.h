#pragma once
// Helpers shared by the tests.
#include "support/archivioprova.h"

#include <QString>

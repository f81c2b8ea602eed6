#pragma once

// Numbers as text, both ways, and the rounding done before a number is shown.
#include "base/NumberReading.h"
#include "base/NumberWriting.h"
#include "base/Rounding.h"

#include <gtest/gtest.h>

#include "levelsrc.h"

// Filled in by the commands work in progress.
#include <gtest/gtest.h>

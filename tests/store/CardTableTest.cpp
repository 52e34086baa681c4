#include "store/CardTable.h"
#include <gtest/gtest.h>
TEST(CardTable, Placeholder) {}
